# nlohmann/json (header-only) for the Windows build: see host_header_library.cmake.
include(${CMAKE_CURRENT_LIST_DIR}/host_header_library.cmake)
quorvex_host_header_library(nlohmann_json::nlohmann_json nlohmann)
set(nlohmann_json_FOUND TRUE)
