# Header-only libraries for the Windows build. There is no MinGW build of them
# to find, and none is needed: the host's headers serve the cross compiler as
# they are. They are seen through a folder of their own in the build tree
# (a link to the library's one header folder), because the host's
# /usr/include as a whole must never reach the cross compiler: its C library
# headers are not MinGW's.
#
#   quorvex_host_header_library(TARGET HEADER_FOLDER)
#
# makes the imported target TARGET whose include folder holds HEADER_FOLDER,
# a link to /usr/include/HEADER_FOLDER.
function(quorvex_host_header_library target header_folder)
  if(TARGET ${target})
    return()
  endif()
  set(source /usr/include/${header_folder})
  if(NOT IS_DIRECTORY ${source})
    message(FATAL_ERROR "${source} is missing: the Windows build takes its headers from the host's package")
  endif()
  string(MAKE_C_IDENTIFIER ${target} root_name)
  set(root ${CMAKE_BINARY_DIR}/host-headers/${root_name})
  file(MAKE_DIRECTORY ${root})
  file(CREATE_LINK ${source} ${root}/${header_folder} SYMBOLIC)
  add_library(${target} INTERFACE IMPORTED GLOBAL)
  set_target_properties(${target} PROPERTIES INTERFACE_INCLUDE_DIRECTORIES ${root})
endfunction()
