# SPDX-License-Identifier: GPL-3.0-or-later
# The build refuses operating-system and Qt headers in the layers that must stay without them.

option(KOPIERIX_INCLUDE_CHECK_WARN_ONLY
       "Only warn about forbidden includes in engine/ and support/ instead of failing the build"
       OFF)

set(KX_INCLUDE_CHECK_SCRIPT ${CMAKE_CURRENT_LIST_DIR}/CheckIncludes.cmake)

# kx_check_includes(<name> ROOT <dir> LAYERS <folder>... OWN <header>... TARGETS <target>...)
# Adds the check <name> of the LAYERS folders under ROOT; it runs whenever one of their files
# changes, before any of TARGETS is built.
function(kx_check_includes name)
    cmake_parse_arguments(ARG "" "ROOT" "LAYERS;OWN;TARGETS" ${ARGN})
    set(globs)
    foreach(layer IN LISTS ARG_LAYERS)
        list(APPEND globs ${ARG_ROOT}/${layer}/*)
    endforeach()
    # CONFIGURE_DEPENDS: a new file in a layer is checked without a manual re-run of CMake.
    file(GLOB_RECURSE files CONFIGURE_DEPENDS LIST_DIRECTORIES false ${globs})
    string(REPLACE ";" "," layers "${ARG_LAYERS}")
    string(REPLACE ";" "," own "${ARG_OWN}")
    set(stamp ${CMAKE_CURRENT_BINARY_DIR}/${name}.stamp)
    add_custom_command(OUTPUT ${stamp}
        COMMAND ${CMAKE_COMMAND} -DROOT=${ARG_ROOT} -DLAYERS=${layers} -DOWN=${own}
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
