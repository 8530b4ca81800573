# Where an installation puts each file (GNUInstallDirs), and the packages CPack
# makes from them: the Debian package on Linux, a zip on Windows. The version
# is the project's, the one --version shows.
include(GNUInstallDirs)

if(WIN32)
  # The zip: the program with its README and licence, side by side.
  install(TARGETS quorvex RUNTIME DESTINATION .)
  install(FILES ${PROJECT_SOURCE_DIR}/README.md ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION .)
else()
  # The manual page carries the version and the date of the build (or of
  # SOURCE_DATE_EPOCH, for reproducible packages).
  string(TIMESTAMP QUORVEX_MANUAL_DATE "%Y-%m-%d" UTC)
  configure_file(${PROJECT_SOURCE_DIR}/dist/quorvex.1.in ${PROJECT_BINARY_DIR}/quorvex.1 @ONLY)

  install(TARGETS quorvex RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  install(FILES ${PROJECT_BINARY_DIR}/quorvex.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  install(FILES ${PROJECT_SOURCE_DIR}/dist/quorvex.bash-completion
          DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/bash-completion/completions RENAME quorvex)
  install(FILES ${PROJECT_SOURCE_DIR}/README.md ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION ${CMAKE_INSTALL_DOCDIR})
  # The docs pages keep their place beside the README, so its links hold.
  install(DIRECTORY ${PROJECT_SOURCE_DIR}/docs/ DESTINATION ${CMAKE_INSTALL_DOCDIR}/docs
          FILES_MATCHING PATTERN "*.md" PATTERN "*.svg")
endif()

set(CPACK_PACKAGE_NAME quorvex)
set(CPACK_PACKAGE_VENDOR "The Quorvex authors")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "dance rhythm game score simulator")
set(CPACK_PACKAGE_DESCRIPTION
    "Estimates by Monte Carlo simulation how a player of a dance rhythm game
scores over many songs, given the chance that a step is judged perfect.
Seeded runs give the same bytes on any machine: summaries with intervals,
curves over the perfect ratio, the ratio a goal needs, as text, csv, json
and SVG plots; with no arguments, an interactive dialogue.")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_STRIP_FILES ON)

if(WIN32)
  set(CPACK_GENERATOR ZIP)
  set(CPACK_PACKAGE_FILE_NAME quorvex-${PROJECT_VERSION}-win64)
  set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
else()
  set(QUORVEX_MAINTAINER "The Quorvex authors <maintainers@users.noreply.c-seed-fd9ff839.example>"
      CACHE STRING "The Maintainer field of the Debian package")
  set(CPACK_GENERATOR DEB)
  set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_SECTION math)
  set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
  set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${QUORVEX_MAINTAINER}")
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  # Debian's layout of the staged files: the licence as the copyright file,
  # the manual page compressed, a changelog (cmake/debian_layout.cmake).
  set(CPACK_PRE_BUILD_SCRIPTS ${PROJECT_SOURCE_DIR}/cmake/debian_layout.cmake)
  string(TIMESTAMP CPACK_QUORVEX_CHANGELOG_DATE "%a, %d %b %Y %H:%M:%S +0000" UTC)
endif()

include(CPack)
