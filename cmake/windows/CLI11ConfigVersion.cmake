# The host package's own version check (it does not depend on the platform).
include(/usr/share/cmake/CLI11/CLI11ConfigVersion.cmake)
