# `cpack -G DEB` in the build folder: one Debian package holding exactly what
# `cmake --install` installs, under /usr.
set(CPACK_PACKAGE_NAME ffgl-sdk)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Vavo Rozar")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
  "FFGL 2.1 plug-in SDK for Linux, the plughost headless host and the Vavo Rozar clock")
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES OFF)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION devel)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Vavo Rozar developers <vavorozar@example.org>")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Headers, static library (libffgl-sdk.a), CMake package (find_package(FFGLSDK))
and pkg-config file (ffgl-sdk) for writing FFGL 2.1 plug-ins, the plughost
library and tool that load, list and render plug-ins on a headless OpenGL 4.1
context, plughost isf and ffgl_add_isf_plugin() with the ISF shell that turn
ISF shader files into plug-ins, and the Vavo Rozar clock with three example
plug-ins in /usr/lib/ffgl.")
# Libraries the binaries link come from dpkg-shlibdeps; these are what nothing
# links but rendering (Mesa's software renderer) and building against the
# installed headers and CMake package need.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libgl1-mesa-dri, libgl-dev, libegl-dev, libopengl-dev, libpng-dev")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "cmake (>= 3.25), g++")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "pkgconf")

include(CPack)
