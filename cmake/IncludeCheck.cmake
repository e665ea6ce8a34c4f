# SPDX-License-Identifier: GPL-3.0-or-later
# The build refuses operating-system and Qt headers in the layers that must stay without them.

option(KOPIERIX_INCLUDE_CHECK_WARN_ONLY
       "Only warn about forbidden includes in engine/, support/, worker/ and cli/ instead of failing the build"
       OFF)

set(KX_INCLUDE_CHECK_SCRIPT ${CMAKE_CURRENT_LIST_DIR}/CheckIncludes.cmake)

# QtCore's own header folder: the layers that may use QtCore, and no more of Qt, find its headers
# there.
get_target_property(kx_qt_includes Qt6::Core INTERFACE_INCLUDE_DIRECTORIES)
list(FILTER kx_qt_includes INCLUDE REGEX "/QtCore$")
list(GET kx_qt_includes 0 KX_QT_CORE_INCLUDE_DIR)

# kx_check_includes(<name> ROOT <dir> LAYERS <folder>... [REACH <folder>...] OWN <header>...
#                   [LIBRARY_HEADERS <header>...] [QT_FILES <pattern>... [QT_REACH <folder>...]]
#                   TARGETS <target>...)
# Adds the check <name> of the LAYERS folders under ROOT; it runs whenever one of their files
# changes, before any of TARGETS is built. Their files may include the headers of the LAYERS and
# REACH folders, the OWN headers and the LIBRARY_HEADERS; the files matching QT_FILES also
# QtCore's headers and those of the QT_REACH folders.
function(kx_check_includes name)
    cmake_parse_arguments(ARG "" "ROOT"
                          "LAYERS;REACH;OWN;LIBRARY_HEADERS;QT_FILES;QT_REACH;TARGETS" ${ARGN})
    set(globs)
    foreach(layer IN LISTS ARG_LAYERS)
        list(APPEND globs ${ARG_ROOT}/${layer}/*)
    endforeach()
    # CONFIGURE_DEPENDS: a new file in a layer is checked without a manual re-run of CMake.
    file(GLOB_RECURSE files CONFIGURE_DEPENDS LIST_DIRECTORIES false ${globs})
    string(REPLACE ";" "," layers "${ARG_LAYERS}")
    string(REPLACE ";" "," own "${ARG_OWN}")
    string(REPLACE ";" "," reach "${ARG_REACH}")
    string(REPLACE ";" "," libraryHeaders "${ARG_LIBRARY_HEADERS}")
    string(REPLACE ";" "," qtFiles "${ARG_QT_FILES}")
    string(REPLACE ";" "," qtReach "${ARG_QT_REACH}")
    set(stamp ${CMAKE_CURRENT_BINARY_DIR}/${name}.stamp)
    add_custom_command(OUTPUT ${stamp}
        COMMAND ${CMAKE_COMMAND} -DROOT=${ARG_ROOT} -DLAYERS=${layers} -DOWN=${own}
                -DREACH=${reach} -DLIBRARY_HEADERS=${libraryHeaders} -DQT_FILES=${qtFiles}
                -DQT_REACH=${qtReach} -DQT_CORE_DIR=${KX_QT_CORE_INCLUDE_DIR}
                -DWARN_ONLY=${KOPIERIX_INCLUDE_CHECK_WARN_ONLY} -P ${KX_INCLUDE_CHECK_SCRIPT}
        COMMAND ${CMAKE_COMMAND} -E touch ${stamp}
        DEPENDS ${files} ${KX_INCLUDE_CHECK_SCRIPT}
        COMMENT "Checking the includes of ${layers}"
        VERBATIM)
    add_custom_target(${name} ALL DEPENDS ${stamp})
    foreach(target IN LISTS ARG_TARGETS)
        add_dependencies(${target} ${name})
    endforeach()
endfunction()
