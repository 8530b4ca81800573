# The Windows side of the shared test support, for the build that runs under
# wine (or on Windows): the same interfaces as the POSIX support, a program
# runner on CreateProcess, pipes and temporary files of the C library, and a
# twin of the program whose clock can be pinned (Windows has no preloading).
# Pseudo-terminals, fork and the preload clock library have no Windows side:
# the tests that need them are skipped there, each with its reason.

# The twin: the program's own sources and libraries, and the pinned clock.
get_target_property(program_sources quorvex SOURCES)
get_target_property(program_source_dir quorvex SOURCE_DIR)
set(program_source_paths)
foreach(source IN LISTS program_sources)
  cmake_path(ABSOLUTE_PATH source BASE_DIRECTORY ${program_source_dir})
  list(APPEND program_source_paths ${source})
endforeach()
add_executable(quorvex_pinned_clock ${program_source_paths} ${CMAKE_CURRENT_SOURCE_DIR}/support/pinned_clock_windows.c)
target_link_libraries(quorvex_pinned_clock PRIVATE $<TARGET_PROPERTY:quorvex,LINK_LIBRARIES>)

add_library(quorvex_test_support STATIC
  ${CMAKE_CURRENT_SOURCE_DIR}/support/program_runner_windows.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/support/pipe_windows.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/support/temp_file_windows.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/support/temp_folder.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/support/file_contents.cpp)
target_include_directories(quorvex_test_support PUBLIC ${CMAKE_CURRENT_SOURCE_DIR}/support)
target_compile_definitions(quorvex_test_support PRIVATE
  QUORVEX_BINARY="$<TARGET_FILE:quorvex>"
  QUORVEX_PINNED_BINARY="$<TARGET_FILE:quorvex_pinned_clock>")
add_dependencies(quorvex_test_support quorvex quorvex_pinned_clock)

# The Windows program against the Linux one, byte for byte
# (tests/windows/compare_with_linux.sh): the dialogue's end-to-end cases in
# the same second, seeded command lines, and a seeded run asked of
# `quorvex.exe serve` over loopback; when the preset names the Linux
# build to compare with (`make windows-test` builds it first).
set(QUORVEX_LINUX_PROGRAM "" CACHE FILEPATH "The Linux build of the program, to compare the Windows build with")
if(QUORVEX_LINUX_PROGRAM)
  add_test(NAME WindowsMatchesLinux.DialogueCasesByteForByte
           COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/windows/compare_with_linux.sh dialogue ${QUORVEX_LINUX_PROGRAM}
                   $<TARGET_FILE:quorvex>)
  add_test(NAME WindowsMatchesLinux.SeededCommandLinesByteForByte
           COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/windows/compare_with_linux.sh command-line
                   ${QUORVEX_LINUX_PROGRAM} $<TARGET_FILE:quorvex>)
  if(TARGET quorvex_serve)
    add_test(NAME WindowsMatchesLinux.ServeJsonByteForByte
             COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/windows/compare_with_linux.sh serve ${QUORVEX_LINUX_PROGRAM}
                     $<TARGET_FILE:quorvex>)
  endif()
endif()
