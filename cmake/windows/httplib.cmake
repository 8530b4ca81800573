# cpp-httplib for the Windows build. Debian ships the library split into a
# header and a Linux shared library; MinGW needs the single header that holds
# the whole implementation, which the Debian source package carries
# (tools/dependencies windows fetches it with apt-get source into
# build/windows-sources). It talks through Winsock: ws2_32, and Windows 10's
# API level for the socket calls it uses.
set(QUORVEX_HTTPLIB_SINGLE_HEADER_DIR "${PROJECT_SOURCE_DIR}/build/windows-sources/httplib" CACHE PATH
    "A folder holding cpp-httplib's single-header httplib.h, for the Windows build")
if(NOT EXISTS ${QUORVEX_HTTPLIB_SINGLE_HEADER_DIR}/httplib.h)
  message(WARNING "${QUORVEX_HTTPLIB_SINGLE_HEADER_DIR}/httplib.h is missing: this Windows build has no `quorvex serve`")
  return()
endif()
add_library(httplib::httplib INTERFACE IMPORTED GLOBAL)
set_target_properties(httplib::httplib PROPERTIES
  INTERFACE_INCLUDE_DIRECTORIES ${QUORVEX_HTTPLIB_SINGLE_HEADER_DIR}
  INTERFACE_COMPILE_DEFINITIONS "_WIN32_WINNT=0x0A00"
  INTERFACE_LINK_LIBRARIES "ws2_32")
