# The Debian package: `cpack -G DEB` in a build folder configured with -DVORNETTA_INSTALL_DIR=/opt/vornetta
# (tools/package does both) makes vornetta_<version>_<arch>.deb with the program folder there, the
# launchers in /usr/bin, the desktop entry and the icon in /usr/share.

# The maker's web site, from the one place the program keeps it; a change there configures anew.
file(STRINGS ${CMAKE_SOURCE_DIR}/core/weblinks.h _web_host_line REGEX "kWebHost\\[\\] = \"[^\"]+\"")
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/core/weblinks.h)
string(REGEX REPLACE ".*kWebHost\\[\\] = \"([^\"]+)\".*" "\\1" VORNETTA_WEB_HOST "${_web_host_line}")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vornetta)
set(CPACK_PACKAGE_VENDOR Brembloc)
set(CPACK_PACKAGE_CONTACT "Brembloc <support@brembloc.com>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Convert HEIC photos to JPG, PNG or BMP")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Vornetta turns the HEIC photos phones save into JPG, PNG or BMP files. Drop a
batch of photos on its window, pick a format and a folder, and every file is
converted one after the other, upright, with its colour profile and Exif data.
vornetta-convert runs the same conversion from scripts and the command line.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${VORNETTA_WEB_HOST}")
# The libraries' packages come from dpkg-shlibdeps (dpkg-dev). The program folder's fonts are links to
# the font packages' files, and the system's ffmpeg, when it decodes the tiles, is a dependency too.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-lato, fonts-liberation2")
if(VORNETTA_TILE_DECODER STREQUAL "system")
    string(PREPEND CPACK_DEBIAN_PACKAGE_DEPENDS "ffmpeg, ")
endif()
set(CPACK_STRIP_FILES ON)
# The program folder may be an absolute folder outside the prefix: install into the staging root
# through DESTDIR, with the prefix the package installs to.
set(CPACK_SET_DESTDIR ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_INSTALL_PREFIX /usr)
include(CPack)
