# Run by CPack between staging the installed files and packing them (DEB
# only): Debian wants the licence as usr/share/doc/<package>/copyright, the
# manual page and the changelog compressed with gzip -9n (no name, no time,
# so that the same sources give the same package).
if(NOT CPACK_GENERATOR STREQUAL "DEB")
  return()
endif()

set(staged "${CPACK_TEMPORARY_INSTALL_DIRECTORY}${CPACK_PACKAGING_INSTALL_PREFIX}")
set(doc "${staged}/share/doc/${CPACK_PACKAGE_NAME}")
if(NOT EXISTS "${doc}/LICENSE")
  message(FATAL_ERROR "debian_layout: no ${doc}/LICENSE to make the copyright file from")
endif()
file(RENAME "${doc}/LICENSE" "${doc}/copyright")

file(WRITE "${doc}/changelog"
     "${CPACK_PACKAGE_NAME} (${CPACK_PACKAGE_VERSION}) unstable; urgency=medium\n\n"
     "  * Release ${CPACK_PACKAGE_VERSION}.\n\n"
     " -- ${CPACK_DEBIAN_PACKAGE_MAINTAINER}  ${CPACK_QUORVEX_CHANGELOG_DATE}\n")

foreach(file "${doc}/changelog" "${staged}/share/man/man1/${CPACK_PACKAGE_NAME}.1")
  execute_process(COMMAND gzip -9n "${file}" RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "debian_layout: gzip -9n ${file} failed")
  endif()
endforeach()
