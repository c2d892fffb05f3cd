# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the Debian package from a built tree with cpack (or takes PACKAGE, a .deb made elsewhere) and
# checks it as Debian would take it: lintian, its fields, the copyright file, the changelog, the man pages,
# the AppStream metadata and the icons; then unpacks it into a throwaway root with dpkg -x, checks the
# layout and the fonts' links, and converts a HEIC file with the unpacked vornetta-convert, started
# through its /usr/bin link.
#   cmake -DBUILD_DIR=... -DSOURCE_DIR=... -DWORK_DIR=... -DVERSION=2.0.0-1 -DTILE_DECODER=own|system
#         [-DPACKAGE=file.deb] -P checkpackage.cmake
cmake_minimum_required(VERSION 3.25)

function(run)
    execute_process(COMMAND ${ARGN} RESULT_VARIABLE _result OUTPUT_VARIABLE _output ERROR_VARIABLE _output)
    if(NOT _result EQUAL 0)
        message(FATAL_ERROR "${ARGN} failed (${_result}):\n${_output}")
    endif()
    set(output "${_output}" PARENT_SCOPE)
endfunction()

# expect(MESSAGE CONDITION...): fails with MESSAGE unless the if() condition holds.
function(expect text)
    if(NOT (${ARGN}))
        message(FATAL_ERROR "${text}")
    endif()
endfunction()

file(REMOVE_RECURSE ${WORK_DIR})
file(MAKE_DIRECTORY ${WORK_DIR})

execute_process(COMMAND dpkg --print-architecture OUTPUT_VARIABLE arch OUTPUT_STRIP_TRAILING_WHITESPACE)
set(expected_name vornetta_${VERSION}_${arch}.deb)
if(NOT PACKAGE)
    run(cpack -G DEB --config ${BUILD_DIR}/CPackConfig.cmake -B ${WORK_DIR}/cpack)
    set(PACKAGE ${WORK_DIR}/cpack/${expected_name})
endif()
get_filename_component(package_name ${PACKAGE} NAME)
expect("the package is ${package_name}, not ${expected_name}" package_name STREQUAL expected_name)
expect("${PACKAGE} was not made" EXISTS ${PACKAGE})

# lintian: no error and no warning (what cannot be mended is overridden in the package, with its reason).
execute_process(COMMAND lintian --fail-on error,warning ${PACKAGE} RESULT_VARIABLE _result
    OUTPUT_VARIABLE lintian_report ERROR_VARIABLE _lintian_errors)
message(STATUS "lintian:\n${lintian_report}")
expect("lintian failed (${_result}):\n${lintian_report}${_lintian_errors}" _result EQUAL 0)

# The control fields.
run(dpkg-deb --field ${PACKAGE} Package Version Architecture Section Maintainer Homepage Depends Description)
set(fields "${output}")
message(STATUS "Control fields:\n${fields}")
foreach(expected "Package: vornetta" "Version: ${VERSION}" "Architecture: ${arch}" "Section: graphics"
        "Maintainer: Brembloc <" "Homepage: https://www.brembloc.com" "Description: Convert HEIC photos")
    string(FIND "${fields}" "${expected}\n" _at)
    if(_at EQUAL -1)
        string(FIND "${fields}" "${expected}" _at)
    endif()
    expect("the control fields lack \"${expected}\"" NOT _at EQUAL -1)
endforeach()
string(REGEX MATCH "Depends: [^\n]*" depends "${fields}")
set(needed libqt6widgets6 libqt6gui6 libqt6core6 libqt6network6 libexiv2 libc6 libstdc++6 libjpeg62-turbo
    libpng16-16 fonts-lato fonts-liberation2)
if(TILE_DECODER STREQUAL "system")
    list(APPEND needed ffmpeg)
else()
    list(APPEND needed libde265-0)
endif()
foreach(package IN LISTS needed)
    string(FIND "${depends}" "${package}" _at)
    expect("Depends lacks ${package}: ${depends}" NOT _at EQUAL -1)
endforeach()
if(NOT TILE_DECODER STREQUAL "system")
    string(REGEX MATCH "(^| |,)(ffmpeg|libswscale[0-9]*|libavutil[0-9]*)( |,|$)" _ffmpeg "${depends}")
    expect("our own tile decoder needs no ffmpeg package nor its libraries: ${depends}" NOT _ffmpeg)
endif()

# The layout, unpacked as dpkg would install it: the program folder is /usr/lib/vornetta with the tile
# tools where the program looks for them.
set(root ${WORK_DIR}/root)
run(dpkg -x ${PACKAGE} ${root})
set(program_folder /usr/lib/vornetta)
set(folder ${root}${program_folder})
foreach(file vornetta vornetta-convert heic/heic ffmpeg picturereader/picturereader)
    expect("${program_folder}/${file} is missing" EXISTS ${folder}/${file})
endforeach()
# The window's translations, where the program looks for them.
foreach(language de es fr it ja ko pt_BR zh_CN)
    expect("${program_folder}/translations/vornetta_${language}.qm is missing"
        EXISTS ${folder}/translations/vornetta_${language}.qm)
endforeach()
foreach(launcher vornetta vornetta-convert)
    set(link ${root}/usr/bin/${launcher})
    expect("/usr/bin/${launcher} is not a link" IS_SYMLINK ${link})
    file(REAL_PATH ${link} _target)
    file(REAL_PATH ${folder}/${launcher} _program)
    expect("/usr/bin/${launcher} leads to ${_target}, not to the program folder" _target STREQUAL _program)
endforeach()
# The fonts are links to the files of the packages Depends names.
foreach(font Arial.ttf Lato-Bold.ttf Lato-Regular.ttf)
    set(link ${folder}/font/${font})
    expect("${program_folder}/font/${font} is not a link" IS_SYMLINK ${link})
    file(READ_SYMLINK ${link} _target)
    cmake_path(ABSOLUTE_PATH _target BASE_DIRECTORY ${program_folder}/font NORMALIZE)
    run(dpkg-query --search ${_target})
    string(REGEX MATCH "^[^:]+" _owner "${output}")
    expect("${program_folder}/font/${font} leads to ${_target}, which is in ${_owner}, not a package Depends names"
        _owner IN_LIST needed)
endforeach()
expect("the desktop entry is missing" EXISTS ${root}/usr/share/applications/vornetta.desktop)
file(STRINGS ${root}/usr/share/applications/vornetta.desktop desktop_entry)
expect("the desktop entry does not start /usr/bin/vornetta with the chosen files" "Exec=vornetta %F" IN_LIST desktop_entry)
foreach(size 16 24 32 48 64 128 256)
    set(icon ${root}/usr/share/icons/hicolor/${size}x${size}/apps/vornetta.png)
    expect("the ${size} pixel icon is missing" EXISTS ${icon})
    run(ffprobe -v error -show_entries stream=width,height -of csv=p=0 ${icon})
    string(STRIP "${output}" _size)
    expect("the ${size} pixel icon is ${_size}" _size STREQUAL "${size},${size}")
endforeach()
# Nothing of the build or the tests comes along; any program of the program folder may.
file(GLOB_RECURSE packaged RELATIVE ${root} LIST_DIRECTORIES false ${root}/*)
list(SORT packaged)
message(STATUS "Packaged files:\n${packaged}")
foreach(path IN LISTS packaged)
    string(REGEX MATCH "^usr/(bin|lib/vornetta|share/(applications|icons/hicolor|doc/vornetta|man/man1|metainfo|lintian/overrides))/"
        _top "${path}")
    expect("unexpected file in the package: ${path}" _top)
    string(REGEX MATCH "(^|/)(tests?|tst_[^/]*|CMakeFiles|system-decoder|vornetta-(icons|screenshot))(/|$)"
        _stray "${path}")
    expect("build output in the package: ${path}" NOT _stray)
endforeach()

# The documentation: a machine-readable copyright file that names each licence of what the package holds
# (libyuv's is in the tile decoder), the changelog of this version, and man pages that man renders
# without a warning.
set(doc ${root}/usr/share/doc/vornetta)
set(licences GPL-3.0-or-later)
if(NOT TILE_DECODER STREQUAL "system")
    list(APPEND licences BSD-3-Clause)
endif()
run(/usr/bin/python3 ${CMAKE_CURRENT_LIST_DIR}/checkcopyright.py ${doc}/copyright ${licences})
message(STATUS "${output}")
run(gzip -d -k ${doc}/changelog.Debian.gz)
run(dpkg-parsechangelog -l ${doc}/changelog.Debian -S Version)
string(STRIP "${output}" _changelog_version)
expect("the changelog's top entry is ${_changelog_version}, not ${VERSION}" _changelog_version STREQUAL VERSION)
run(${root}/usr/bin/vornetta-convert --help)
string(REGEX MATCHALL "--[a-z-]+" convert_options "${output}")
foreach(page vornetta vornetta-convert)
    set(file ${root}/usr/share/man/man1/${page}.1.gz)
    expect("the man page ${page}(1) is missing" EXISTS ${file})
    execute_process(COMMAND ${CMAKE_COMMAND} -E env LC_ALL=C.UTF-8 MANWIDTH=80
        man --warnings -E UTF-8 -l -Tutf8 -Z ${file} RESULT_VARIABLE _result OUTPUT_QUIET ERROR_VARIABLE _warnings)
    expect("man ${page}(1) failed or warned (${_result}):\n${_warnings}" _result EQUAL 0 AND NOT _warnings)
    run(${CMAKE_COMMAND} -E env LC_ALL=C.UTF-8 MANWIDTH=80 man -P cat -l ${file})
    set(sections "NAME" "SYNOPSIS" "EXIT STATUS" "EXAMPLES")
    if(page STREQUAL "vornetta-convert")
        list(APPEND sections "OUTPUT" ${convert_options})
    endif()
    foreach(section IN LISTS sections)
        string(FIND "${output}" "${section}" _at)
        expect("${page}(1) lacks ${section}" NOT _at EQUAL -1)
    endforeach()
endforeach()

# The AppStream metadata, which software centres show: valid, and launching the packaged desktop entry.
set(metainfo ${root}/usr/share/metainfo/com.brembloc.vornetta.metainfo.xml)
expect("the AppStream metadata is missing" EXISTS ${metainfo})
run(appstreamcli validate --no-net ${metainfo})
file(READ ${metainfo} _metainfo)
string(REGEX MATCH "<launchable type=\"desktop-id\">([^<]+)</launchable>" _launchable "${_metainfo}")
expect("the metadata launches ${CMAKE_MATCH_1}, which the package lacks"
    EXISTS ${root}/usr/share/applications/${CMAKE_MATCH_1})

# A HEIC file made by heif-enc, converted by the unpacked program through its /usr/bin link: the
# program finds its splitter and decoder in its own folder, not in the build tree.
set(picture ${WORK_DIR}/picture.heic)
run(ffmpeg -v error -f lavfi -i testsrc=size=320x240 -frames:v 1 ${WORK_DIR}/picture.png)
run(heif-enc -q 90 ${WORK_DIR}/picture.png -o ${picture})
file(MAKE_DIRECTORY ${WORK_DIR}/out)
run(${CMAKE_COMMAND} -E env --unset=VORNETTA_PROGRAM_DIR
    ${root}/usr/bin/vornetta-convert -f png -o ${WORK_DIR}/out ${picture})
message(STATUS "vornetta-convert: ${output}")
expect("vornetta-convert made no picture.png" EXISTS ${WORK_DIR}/out/picture.png)
run(ffprobe -v error -select_streams v:0 -show_entries stream=width,height -of csv=p=0
    ${WORK_DIR}/out/picture.png)
string(STRIP "${output}" size)
expect("picture.png is ${size}, not 320,240" size STREQUAL "320,240")
message(STATUS "${package_name}: lintian, fields, layout, documentation, metadata and conversion checked")
