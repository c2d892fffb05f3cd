# SPDX-License-Identifier: GPL-3.0-or-later
# The libFuzzer build (VORNETTA_FUZZ, clang only; tools/fuzz makes it in build-fuzz). Each target links a copy
# of the library it fuzzes made from that library's own sources, so that a file added to the library is in
# its copy too, built with the fuzzer's coverage and the sanitizers.
if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    message(FATAL_ERROR "VORNETTA_FUZZ needs clang: configure with CXX=clang++")
endif()

# vornetta_fuzz_library(NAME LIBRARY...): the libraries' sources in one static library, instrumented, linking
# what they link but each other. The system's libraries (Qt, Exiv2, libde265, libjpeg, libpng) stay as they
# are, uninstrumented: the fuzzer sees the coverage of our code only.
function(vornetta_fuzz_library name)
    set(_sources "")
    set(_links "")
    set(_definitions "")
    set(_automoc OFF)
    foreach(_library IN LISTS ARGN)
        get_target_property(_dir ${_library} SOURCE_DIR)
        get_target_property(_library_sources ${_library} SOURCES)
        foreach(_source IN LISTS _library_sources)
            if(NOT IS_ABSOLUTE "${_source}")
                set(_source "${_dir}/${_source}")
            endif()
            list(APPEND _sources "${_source}")
        endforeach()
        foreach(_property LINK_LIBRARIES COMPILE_DEFINITIONS)
            get_target_property(_values ${_library} ${_property})
            if(_values AND _property STREQUAL "LINK_LIBRARIES")
                list(APPEND _links ${_values})
            elseif(_values)
                list(APPEND _definitions ${_values})
            endif()
        endforeach()
        get_target_property(_library_automoc ${_library} AUTOMOC)
        if(_library_automoc)
            set(_automoc ON)
        endif()
    endforeach()
    list(REMOVE_DUPLICATES _links)
    list(REMOVE_ITEM _links ${ARGN})
    add_library(${name} STATIC ${_sources})
    target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR})
    target_link_libraries(${name} PUBLIC ${_links})
    target_compile_definitions(${name} PUBLIC ${_definitions})
    target_compile_options(${name} PUBLIC -fsanitize=fuzzer-no-link,address,undefined
        -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
    set_target_properties(${name} PROPERTIES AUTOMOC ${_automoc})
endfunction()

# vornetta_fuzz_target(NAME SOURCE LIBRARY): a libFuzzer program in the build folder.
function(vornetta_fuzz_target name source library)
    add_executable(${name} ${source})
    target_link_libraries(${name} PRIVATE ${library})
    target_compile_options(${name} PRIVATE -fsanitize=fuzzer,address,undefined)
    target_link_options(${name} PRIVATE -fsanitize=fuzzer,address,undefined)
    set_target_properties(${name} PROPERTIES AUTOMOC OFF RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
endfunction()
