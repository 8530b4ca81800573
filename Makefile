# The two commands a newcomer needs: `make run` and `make test`. Each first
# makes sure its Debian packages are there (tools/dependencies: installed with
# apt-get when run as root, otherwise the apt-get line to run is printed).
.PHONY: run test build build-all bench clean sanitize-test fuzz fuzz-build lint format format-check

DEPENDENCIES := tools/dependencies

# The program alone: no tests, no benchmarks, no GoogleTest needed.
build:
	@$(DEPENDENCIES) build
	cmake --preset release
	cmake --build --preset release --target quorvex

run: build
	./build/release/quorvex

# Everything the release preset holds: the program, the tests and the benchmarks.
build-all:
	@$(DEPENDENCIES) build test
	cmake --preset release
	cmake --build --preset release

test: build-all
	ctest --preset release

bench: build-all
	./build/release/bench/model_bench
	./build/release/bench/engine_bench
	./build/release/bench/engine_batch_bench
	./build/release/bench/score_tally_bench
	./build/release/bench/general_real_bench
	./build/release/bench/simulate_bench
	./build/release/bench/sweep_bench

# The whole suite again, built with AddressSanitizer and UndefinedBehaviorSanitizer.
sanitize-test:
	@$(DEPENDENCIES) build test
	cmake --preset sanitize
	cmake --build --preset sanitize
	ctest --preset sanitize

# libFuzzer harnesses (clang): FUZZ_SECONDS per harness, new inputs kept in
# build/fuzz/corpus/<harness>, the seeds in fuzz/corpus/<harness> left as they are.
FUZZ_SECONDS ?= 60
FUZZ_HARNESSES := typed_reading general_real run_request

fuzz-build:
	cmake --preset fuzz
	cmake --build --preset fuzz

fuzz: fuzz-build
	@for h in $(FUZZ_HARNESSES); do \
	  mkdir -p build/fuzz/corpus/$$h build/fuzz/artifacts && \
	  ./build/fuzz/fuzz/$${h}_fuzz -max_total_time=$(FUZZ_SECONDS) -print_final_stats=1 \
	    -artifact_prefix=build/fuzz/artifacts/$$h- build/fuzz/corpus/$$h fuzz/corpus/$$h || exit 1; \
	done

# clang-tidy over every translation unit of the release build, with its
# compile commands minus the tests' precompiled GoogleTest header: that is
# gcc's, and clang cannot read it (each test includes the header itself).
LINT_SOURCES = $(filter-out src/platform/windows/% %_windows.cpp,$(shell git ls-files 'src/*.cpp' 'tests/*.cpp' 'bench/*.cpp'))
FORMAT_SOURCES = $(shell git ls-files '*.cpp' '*.h' '*.c')

lint: build-all
	mkdir -p build/lint
	sed -E 's# -Winvalid-pch -include [^ ]*cmake_pch[.]hxx##' build/release/compile_commands.json \
	    > build/lint/compile_commands.json
	clang-tidy -p build/lint --quiet --warnings-as-errors='*' $(LINT_SOURCES)

format:
	clang-format -i $(FORMAT_SOURCES)

format-check:
	clang-format --dry-run --Werror $(FORMAT_SOURCES)

clean:
	rm -rf build

# The native Windows build, cross-compiled with MinGW-w64: build/windows/quorvex.exe.
# Its tests run under wine: the unit and end-to-end tests, then the program
# against the Linux build byte for byte (which is built first for that).
.PHONY: windows windows-test

windows:
	@$(DEPENDENCIES) build windows
	cmake --preset windows
	cmake --build --preset windows --target quorvex

windows-test:
	@$(DEPENDENCIES) build test windows
	cmake --preset release
	cmake --build --preset release --target quorvex
	cmake --preset windows
	cmake --build --preset windows
	tests/windows/wine_session.sh ctest --preset windows

# Installation: the program, its manual page, its bash completion, and the
# README, LICENSE and docs pages in share/doc/quorvex, under PREFIX (and
# DESTDIR, for staging).
.PHONY: install package package-check windows-package windows-package-check
PREFIX ?= /usr/local

install: build
	DESTDIR="$(DESTDIR)" cmake --install build/release --prefix "$(PREFIX)"

# The Debian package: build/release/quorvex_<version>_amd64.deb.
package: build
	@$(DEPENDENCIES) package
	cd build/release && cpack -G DEB

# lintian on the package (any error fails; warnings and notes are shown), and
# its files against the list the install test uses.
package-check: package
	@$(DEPENDENCIES) package-check
	tools/check-package build/release/quorvex_*_amd64.deb

# The Windows zip: build/windows/quorvex-<version>-win64.zip with quorvex.exe,
# README.md and LICENSE.
windows-package: windows
	cd build/windows && cpack -G ZIP

# The zip unpacked into a fresh folder: its files, and its quorvex.exe under
# wine against the Linux program for seeded runs, byte for byte.
windows-package-check: windows-package build
	tools/check-windows-zip build/windows/quorvex-*-win64.zip build/release/quorvex
