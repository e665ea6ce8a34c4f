# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the build into a folder of the test's own, as a package would (prefix /usr under
# DESTDIR) and as the README says (stripped), and checks that every file the desktop and the user
# need is there and passes the desktop's validators, and that the changelog tells how the build
# was made.
#   cmake -DBUILD=<build dir> -DWORK=<dir> -DFILES=<path,...> -DHELP_FROM_BINDIR=<rel>
#         -DDESKTOP_FILE=<path> -DMETAINFO=<path> -DUPDATER=ON|OFF -P InstallTest.cmake

string(REPLACE "," ";" FILES "${FILES}")
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})
execute_process(
    COMMAND ${CMAKE_COMMAND} -E env DESTDIR=${WORK} ${CMAKE_COMMAND} --install ${BUILD} --prefix /usr --strip
    RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "cmake --install failed (${result}):\n${out}${err}")
endif()

set(missing "")
foreach(path IN LISTS FILES)
    if(NOT EXISTS ${WORK}/usr/${path})
        list(APPEND missing ${path})
    endif()
endforeach()
if(missing)
    message(FATAL_ERROR "Not installed under /usr: ${missing}")
endif()

# Nothing may land outside the prefix: a package holds only what lies under /usr.
file(GLOB top RELATIVE ${WORK} ${WORK}/*)
if(NOT top STREQUAL "usr")
    message(FATAL_ERROR "Installed outside /usr: ${top}")
endif()

# The program looks for its help pages this way from its own folder.
if(NOT EXISTS ${WORK}/usr/bin/${HELP_FROM_BINDIR}/Backup_e.html)
    message(FATAL_ERROR "The help pages are not at bin/${HELP_FROM_BINDIR}")
endif()

execute_process(COMMAND ${WORK}/usr/bin/kopierix --version
    RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT result EQUAL 0 OR NOT out MATCHES "^Kopierix ")
    message(FATAL_ERROR "The installed program does not run (${result}): ${out}${err}")
endif()

# Stripped: the installed program carries no symbol table.
find_program(readelf readelf REQUIRED)
execute_process(COMMAND ${readelf} -S ${WORK}/usr/bin/kopierix OUTPUT_VARIABLE sections)
if(sections MATCHES "\\.symtab|\\.debug_")
    message(FATAL_ERROR "The installed program is not stripped:\n${sections}")
endif()

find_program(gzip gzip REQUIRED)
execute_process(COMMAND ${gzip} -dc ${WORK}/usr/share/doc/kopierix/changelog.Debian.gz
    OUTPUT_VARIABLE changelog RESULT_VARIABLE result)
if(UPDATER)
    set(expected "Built with the update check")
else()
    set(expected "Built without the update check")
endif()
if(NOT result EQUAL 0 OR NOT changelog MATCHES "${expected}")
    message(FATAL_ERROR "The changelog should say \"${expected}\":\n${changelog}")
endif()

find_program(desktop_file_validate desktop-file-validate REQUIRED)
find_program(appstreamcli appstreamcli REQUIRED)
foreach(check IN ITEMS "${desktop_file_validate};${WORK}/usr/${DESKTOP_FILE}"
                       "${appstreamcli};validate;--no-net;${WORK}/usr/${METAINFO}")
    execute_process(COMMAND ${check} RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE err)
    # desktop-file-validate exits 0 on hints too: anything it prints is a finding.
    if(NOT result EQUAL 0 OR (check MATCHES "desktop-file-validate" AND NOT "${out}${err}" STREQUAL ""))
        message(FATAL_ERROR "${check}:\n${out}${err}")
    endif()
endforeach()

file(REMOVE_RECURSE ${WORK})
