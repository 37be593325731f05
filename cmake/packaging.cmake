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

# Three Debian packages: the programs, the shared library (named for its SONAME's major
# version, libtamsel2) and what developers need.
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL tamsel)
set(tamsel_library_package libtamsel${PROJECT_VERSION_MAJOR})
string(TOUPPER ${tamsel_library_package} library_component)
if(NOT WIN32)
  list(APPEND CPACK_COMPONENTS_ALL ${tamsel_library_package} libtamsel-dev)
endif()
set(CPACK_DEBIAN_TAMSEL_PACKAGE_NAME tamsel)
set(CPACK_DEBIAN_${library_component}_PACKAGE_NAME ${tamsel_library_package})
set(CPACK_DEBIAN_${library_component}_PACKAGE_SECTION libs)
set(CPACK_COMPONENT_${library_component}_DESCRIPTION
    "primitive roots modulo every n below 2^64: shared library")
set(CPACK_DEBIAN_LIBTAMSEL-DEV_PACKAGE_NAME libtamsel-dev)
set(CPACK_DEBIAN_LIBTAMSEL-DEV_PACKAGE_SECTION libdevel)
set(CPACK_DEBIAN_LIBTAMSEL-DEV_PACKAGE_DEPENDS "${tamsel_library_package} (= ${PROJECT_VERSION})")
set(CPACK_COMPONENT_LIBTAMSEL-DEV_DESCRIPTION
    "primitive roots modulo every n below 2^64: headers, static library, CMake and pkg-config files")

include(CPack)
