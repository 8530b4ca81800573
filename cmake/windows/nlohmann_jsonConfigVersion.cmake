# The host package's own version check (it does not depend on the platform).
include(/usr/share/cmake/nlohmann_json/nlohmann_jsonConfigVersion.cmake)
