# The Debian package, built by CPack (scripts/dev.sh package). Its contents
# are the install rules; the package's own files (copyright and
# changelog.Debian.gz in /usr/share/doc/lumaquill, where Debian expects
# them, and its lintian overrides) are installed only when
# LUMAQUILL_DEBIAN_DOCS is on, as the package build sets it.

option(LUMAQUILL_DEBIAN_DOCS "Install the Debian package's copyright and changelog" OFF)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME lumaquill)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Lumaquill developers")
set(CPACK_PACKAGE_CONTACT "Lumaquill developers <maintainers@lumaquill.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "hide a message or a file inside a picture")
set(CPACK_PACKAGE_DESCRIPTION
  "Lumaquill hides a typed message or a whole file inside the pixels of an\n"
  "ordinary picture and gets it back later. To anyone without the password\n"
  "the picture looks the same as before. A picture of your own can be used,\n"
  "shrunk to fit, or a picture of random noise made for the purpose. Instead\n"
  "of a password, up to five personal questions can unlock the picture.\n"
  "\n"
  "The package holds the desktop program lumaquill and the command-line tool\n"
  "lumaquill-cli, which does the same from scripts and terminals.")
string(JOIN "" CPACK_PACKAGE_DESCRIPTION ${CPACK_PACKAGE_DESCRIPTION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

# Version 1.1.0-1: the project's release, then the packaging's.
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(LUMAQUILL_DEBIAN_VERSION ${PROJECT_VERSION}-${CPACK_DEBIAN_PACKAGE_RELEASE})
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://quill.example/")
# The dependencies are those of the linked libraries, found by dpkg-shlibdeps.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

if(LUMAQUILL_DEBIAN_DOCS)
  set(doc_dir ${CMAKE_INSTALL_DATADIR}/doc/${CPACK_PACKAGE_NAME})
  configure_file(${PROJECT_SOURCE_DIR}/res/debian/changelog.in ${PROJECT_BINARY_DIR}/debian/changelog.Debian @ONLY)
  add_custom_command(OUTPUT ${PROJECT_BINARY_DIR}/debian/changelog.Debian.gz
    COMMAND gzip -9 -n -f -k ${PROJECT_BINARY_DIR}/debian/changelog.Debian
    DEPENDS ${PROJECT_BINARY_DIR}/debian/changelog.Debian
    VERBATIM)
  add_custom_target(debian_changelog ALL DEPENDS ${PROJECT_BINARY_DIR}/debian/changelog.Debian.gz)
  install(FILES ${PROJECT_SOURCE_DIR}/res/debian/copyright ${PROJECT_BINARY_DIR}/debian/changelog.Debian.gz
          DESTINATION ${doc_dir})
  install(FILES ${PROJECT_SOURCE_DIR}/res/debian/lintian-overrides
          DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides RENAME ${CPACK_PACKAGE_NAME})
endif()

include(CPack)
