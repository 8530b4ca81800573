# CLI11 (header-only) for the Windows build: see host_header_library.cmake.
include(${CMAKE_CURRENT_LIST_DIR}/host_header_library.cmake)
quorvex_host_header_library(CLI11::CLI11 CLI)
set(CLI11_FOUND TRUE)
