# SPDX-License-Identifier: GPL-3.0-or-later
# Makes the Debian package of the build with cpack, into a folder of the test's own, and reads it
# back with dpkg-deb: every file lies under /usr, the installed tree is all there (the manual page
# compressed, as Debian wants it), and the dependencies name the Qt libraries the program links.
#   cmake -DBUILD=<build dir> -DWORK=<dir> -DFILES=<path,...> -P PackageTest.cmake

cmake_minimum_required(VERSION 3.19)
string(REPLACE "," ";" FILES "${FILES}")
find_program(dpkg_deb dpkg-deb REQUIRED)
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})
execute_process(
    COMMAND ${CMAKE_CPACK_COMMAND} -G DEB --config ${BUILD}/CPackConfig.cmake -B ${WORK}
    RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "cpack failed (${result}):\n${out}${err}")
endif()
file(GLOB deb ${WORK}/kopierix_*.deb)
list(LENGTH deb count)
if(NOT count EQUAL 1)
    message(FATAL_ERROR "Expected one package in ${WORK}, found: ${deb}")
endif()

execute_process(COMMAND ${dpkg_deb} -c ${deb} RESULT_VARIABLE result OUTPUT_VARIABLE listing)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "dpkg-deb -c failed (${result})")
endif()
string(REGEX MATCHALL "\\./[^\n]*" paths "${listing}")
foreach(path IN LISTS paths)
    if(NOT path MATCHES "^\\./usr/" AND NOT path STREQUAL "./")
        message(FATAL_ERROR "The package puts ${path} outside /usr")
    endif()
endforeach()
foreach(file IN LISTS FILES)
    string(REGEX REPLACE "^(share/man/.*\\.[1-9])$" "\\1.gz" file "${file}")
    if(NOT "./usr/${file}" IN_LIST paths)
        message(FATAL_ERROR "The package lacks /usr/${file}:\n${listing}")
    endif()
endforeach()

execute_process(COMMAND ${dpkg_deb} -f ${deb} Depends RESULT_VARIABLE result OUTPUT_VARIABLE depends)
foreach(library IN ITEMS libqt6core6 libqt6gui6 libqt6widgets6 libqt6dbus6 libqt6svg6)
    if(NOT depends MATCHES "(^|, )${library}( |,|\n|$)")
        message(FATAL_ERROR "The package's dependencies name no ${library}: ${depends}")
    endif()
endforeach()

file(REMOVE_RECURSE ${WORK})
