# Builds the Debian package from a built tree with cpack (or takes PACKAGE, a .deb made elsewhere),
# unpacks it into a throwaway root with dpkg -x, checks its fields and layout, and converts a HEIC
# file with the unpacked vornetta-convert, started through its /usr/bin link.
#   cmake -DBUILD_DIR=... -DSOURCE_DIR=... -DWORK_DIR=... -DPROGRAM_FOLDER=/opt/vornetta
#         -DVERSION=2.0.0 -DTILE_DECODER=own|system [-DPACKAGE=file.deb] -P checkpackage.cmake
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
    libpng16-16)
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

# The layout, unpacked as dpkg would install it.
set(root ${WORK_DIR}/root)
run(dpkg -x ${PACKAGE} ${root})
set(folder ${root}${PROGRAM_FOLDER})
foreach(file vornetta vornetta-convert heic/heic ffmpeg picturereader/picturereader)
    expect("${PROGRAM_FOLDER}/${file} is missing" EXISTS ${folder}/${file})
endforeach()
foreach(font Arial.ttf Lato-Bold.ttf Lato-Regular.ttf)
    expect("${PROGRAM_FOLDER}/font/${font} is missing" EXISTS ${folder}/font/${font})
endforeach()
foreach(launcher vornetta vornetta-convert)
    set(link ${root}/usr/bin/${launcher})
    expect("/usr/bin/${launcher} is not a link" IS_SYMLINK ${link})
    file(REAL_PATH ${link} _target)
    file(REAL_PATH ${folder}/${launcher} _program)
    expect("/usr/bin/${launcher} leads to ${_target}, not to the program folder" _target STREQUAL _program)
endforeach()
expect("the desktop entry is missing" EXISTS ${root}/usr/share/applications/vornetta.desktop)
expect("the icon is missing" EXISTS ${root}/usr/share/icons/hicolor/256x256/apps/vornetta.png)
file(STRINGS ${root}/usr/share/applications/vornetta.desktop desktop_entry)
expect("the desktop entry does not start /usr/bin/vornetta with the chosen files" "Exec=vornetta %F" IN_LIST desktop_entry)
# Nothing of the build or the tests comes along.
file(GLOB_RECURSE packaged RELATIVE ${root} LIST_DIRECTORIES false ${root}/*)
list(SORT packaged)
message(STATUS "Packaged files:\n${packaged}")
foreach(path IN LISTS packaged)
    string(REGEX MATCH "^(opt|usr/bin|usr/share/applications|usr/share/icons|usr/share/doc|usr/lib)/" _top "${path}")
    expect("unexpected file in the package: ${path}" _top)
    string(REGEX MATCH "(^|/)(tests?|tst_[^/]*|CMakeFiles|system-decoder)(/|$)" _stray "${path}")
    expect("build output in the package: ${path}" NOT _stray)
endforeach()

# A HEIC file made by heif-enc, converted by the unpacked program through its /usr/bin link: the
# program finds its splitter, decoder and fonts in its own folder, not in the build tree.
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
message(STATUS "${package_name}: fields, layout and conversion checked")
