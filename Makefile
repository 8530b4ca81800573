# The two commands a newcomer needs: `make run` and `make test`.
.PHONY: run test build bench clean

build:
	cmake --preset release
	cmake --build --preset release

run: build
	./build/release/quorvex

test: build
	ctest --preset release

bench: build
	./build/release/bench/model_bench
	./build/release/bench/engine_bench

clean:
	rm -rf build
