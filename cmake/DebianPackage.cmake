# The Debian package of quibex-report, for CI runners: "cpack -G DEB" in a
# native build (scripts/package runs it) writes quibex-report_VERSION_ARCH.deb
# with the program in /usr/bin, its man page, the README and the licence.
# Included by report/CMakeLists.txt, which defines QUIBEX_LIBGIT2_ABI.

# The version and home page come from common/ (QUIBEX_VERSION_TEXT,
# QUIBEX_HOME_PAGE); the maker from the header the About window reads.
file(STRINGS ${QUIBEX_ROOT}/ui/Maker.h maker_lines REGEX "kAuthorName|kAuthorEmail")
foreach(line ${maker_lines})
  string(REGEX REPLACE ".*(kAuthorName|kAuthorEmail) = \"([^\"]*)\".*" "\\1;\\2" pair "${line}")
  list(GET pair 0 key)
  list(GET pair 1 value)
  set(maker_${key} "${value}")
endforeach()

# The man page, written at build time from the help texts of the program
# just built, so the two never disagree.
find_program(QUIBEX_GZIP gzip REQUIRED)
set(QUIBEX_MAN_PAGE ${CMAKE_CURRENT_BINARY_DIR}/quibex-report.1)
add_custom_command(OUTPUT ${QUIBEX_MAN_PAGE}.gz
  COMMAND ${CMAKE_COMMAND} -DREPORTER=$<TARGET_FILE:quibex-report> -DOUTPUT=${QUIBEX_MAN_PAGE}
          -P ${QUIBEX_ROOT}/cmake/ManPage.cmake
  COMMAND ${QUIBEX_GZIP} -9nf ${QUIBEX_MAN_PAGE}
  DEPENDS quibex-report ${QUIBEX_ROOT}/cmake/ManPage.cmake
  COMMENT "Writing the man page of quibex-report"
  VERBATIM)
add_custom_target(quibex-report-man ALL DEPENDS ${QUIBEX_MAN_PAGE}.gz)

# Only the "reporter" component goes into the package.
install(TARGETS quibex-report RUNTIME DESTINATION bin COMPONENT reporter)
install(FILES ${QUIBEX_MAN_PAGE}.gz DESTINATION share/man/man1 COMPONENT reporter)
install(FILES ${QUIBEX_ROOT}/README.md DESTINATION share/doc/quibex-report COMPONENT reporter)
install(FILES ${QUIBEX_ROOT}/LICENSE DESTINATION share/doc/quibex-report RENAME copyright COMPONENT reporter)

set(CPACK_GENERATOR DEB)
set(CPACK_INSTALL_CMAKE_PROJECTS "${CMAKE_BINARY_DIR};Quibex;reporter;/")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_PACKAGE_NAME quibex-report)
set(CPACK_PACKAGE_VERSION ${QUIBEX_VERSION_TEXT})
set(CPACK_PACKAGE_VENDOR "Olvek")
set(CPACK_PACKAGE_CONTACT "${maker_kAuthorName} <${maker_kAuthorEmail}>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "measures and checks Visual Basic 6 projects")
set(CPACK_PACKAGE_DESCRIPTION "quibex-report reads VB6 project (.vbp) and group (.vbg) files and their
members and reports their figures as text, CSV, JSON or HTML. Its check
command finds what breaks a VB6 build (line endings, encodings, missing
members, the IDE's limits) and writes the findings in the formats CI
systems read: SARIF, SonarQube's generic issues, GitLab's code quality
report and JUnit XML. It also writes a CycloneDX bill of materials.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION devel)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${QUIBEX_HOME_PAGE}")
# The libraries the program links against, found by dpkg-shlibdeps.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# libgit2 is opened only when --git is given (platform/GitFileSystem_git2.cpp),
# so the program runs without it: recommended, not required.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "libgit2-${QUIBEX_LIBGIT2_ABI}")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_STRIP_FILES ON)
include(CPack)
