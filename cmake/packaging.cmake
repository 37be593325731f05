# `cpack` in a release build tree (or `cmake --workflow --preset package`) makes a
# Debian package and a tarball of everything `cmake --install` installs; in a Windows
# build tree (`cmake --workflow --preset windows`), a ZIP: tamsel-VERSION-win64.zip.
if(WIN32)
  set(CPACK_GENERATOR ZIP)
else()
  set(CPACK_GENERATOR DEB TGZ)
endif()
set(CPACK_PACKAGE_NAME tamsel)
set(CPACK_PACKAGE_VENDOR "the tamsel authors")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "list the primitive roots modulo each number read (tamsel4-2, tamsel4-3, tamsel)")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_RESOURCE_FILE_README ${PROJECT_SOURCE_DIR}/README.md)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "the tamsel authors")
set(CPACK_DEBIAN_PACKAGE_SECTION math)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)  # needs dpkg-shlibdeps (Debian's dpkg-dev)

include(CPack)
