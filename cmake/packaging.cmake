# SPDX-License-Identifier: GPL-3.0-or-later
# The Debian package: `cpack -G DEB` in a build folder configured with -DVORNETTA_INSTALL_DIR=/usr/lib/vornetta
# (tools/package does both) makes vornetta_<version>-<revision>_<arch>.deb with the program folder there,
# the launchers in /usr/bin, and the desktop entry, icons, metadata and documentation in /usr/share.

# The maker's web site, from the one place the program keeps it; a change there configures anew.
file(STRINGS ${CMAKE_SOURCE_DIR}/core/weblinks.h _web_host_line REGEX "kWebHost\\[\\] = \"[^\"]+\"")
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/core/weblinks.h)
string(REGEX REPLACE ".*kWebHost\\[\\] = \"([^\"]+)\".*" "\\1" VORNETTA_WEB_HOST "${_web_host_line}")

# The package's version and the date of its release come from the top entry of the Debian changelog,
# whose upstream part must be the project's version.
file(STRINGS ${CMAKE_SOURCE_DIR}/packaging/changelog _changelog_lines)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/packaging/changelog)
list(GET _changelog_lines 0 _changelog_top)
if(NOT _changelog_top MATCHES "^vornetta \\(${PROJECT_VERSION}-([0-9]+)\\) ")
    message(FATAL_ERROR "packaging/changelog: the top entry is not for ${PROJECT_VERSION}: ${_changelog_top}")
endif()
set(VORNETTA_DEBIAN_REVISION ${CMAKE_MATCH_1})
set(VORNETTA_PACKAGE_VERSION ${PROJECT_VERSION}-${VORNETTA_DEBIAN_REVISION})
list(FILTER _changelog_lines INCLUDE REGEX "^ -- ")
list(GET _changelog_lines 0 _changelog_trailer)
if(NOT _changelog_trailer MATCHES ", ([0-9][0-9]) ([A-Z][a-z][a-z]) ([0-9][0-9][0-9][0-9]) ")
    message(FATAL_ERROR "packaging/changelog: no date in ${_changelog_trailer}")
endif()
set(_months Jan Feb Mar Apr May Jun Jul Aug Sep Oct Nov Dec)
list(FIND _months ${CMAKE_MATCH_2} _month)
math(EXPR _month "${_month} + 1" OUTPUT_FORMAT DECIMAL)
string(LENGTH "${_month}" _digits)
if(_digits EQUAL 1)
    set(_month 0${_month})
endif()
set(VORNETTA_RELEASE_DATE ${CMAKE_MATCH_3}-${_month}-${CMAKE_MATCH_1})

add_subdirectory(packaging)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vornetta)
set(CPACK_PACKAGE_VENDOR Brembloc)
set(CPACK_PACKAGE_CONTACT "Brembloc <support@brembloc.com>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Convert HEIC photos to JPG, PNG or BMP")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Vornetta turns the HEIC photos phones save into JPG, PNG or BMP files. Drop a
batch of photos on its window, pick a format and a folder, and every file is
converted one after the other, upright, with its colour profile and Exif data.
vornetta-convert runs the same conversion from scripts and the command line.")
set(CPACK_DEBIAN_PACKAGE_RELEASE ${VORNETTA_DEBIAN_REVISION})
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
# Qt's own texts (the file dialogs' buttons) in the window's language, where the user has them.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n")
set(CPACK_STRIP_FILES ON)
# The program folder may be an absolute folder outside the prefix: install into the staging root
# through DESTDIR, with the prefix the package installs to.
set(CPACK_SET_DESTDIR ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_INSTALL_PREFIX /usr)
include(CPack)
