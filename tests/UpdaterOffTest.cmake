# SPDX-License-Identifier: GPL-3.0-or-later
# The program as distributions build it, without the update check: the project must configure
# without the update libraries and install a completion that offers no check-update; the program
# built so (the build folder's kopierix-without-update, made the same way beside the program)
# holds none of their code and offers check-update nowhere. Only the configuration has a folder
# of its own: the program is not compiled a second time for it.
#   cmake -DSOURCE=<source dir> -DWORK=<dir> -DGENERATOR=<generator> -DPROGRAM=<program>
#         -P UpdaterOffTest.cmake

file(REMOVE_RECURSE ${WORK})
execute_process(
    COMMAND ${CMAKE_COMMAND} -S ${SOURCE} -B ${WORK} -G ${GENERATOR} -DCMAKE_BUILD_TYPE=Release
            -DKOPIERIX_UPDATER=OFF -DKOPIERIX_TESTS=OFF -DKOPIERIX_WERROR=ON
    RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "Configuring without the updater failed:\n${out}${err}")
endif()

set(program ${PROGRAM})
file(STRINGS ${program} updateCode REGEX "_ZN2kx(11UpdateCheck|12UpdateWindow|17UpdateCheckDialog)")
if(updateCode)
    message(FATAL_ERROR "The program holds the update check's code:\n${updateCode}")
endif()

execute_process(COMMAND ${program} check-update
    RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT result EQUAL 2)
    message(FATAL_ERROR "check-update should be an unknown command (2), got ${result}:\n${out}${err}")
endif()
execute_process(COMMAND ${program} --help
    RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT result EQUAL 0 OR out MATCHES "check-update" OR NOT out MATCHES "\n  drives ")
    message(FATAL_ERROR "--help should list the commands but check-update (${result}):\n${out}${err}")
endif()
# Nor does the completion that such a build installs.
file(READ ${WORK}/doc/kopierix completion)
if(completion MATCHES "check-update" OR NOT completion MATCHES " drives")
    message(FATAL_ERROR "The completion should offer the commands but check-update:\n${completion}")
endif()
file(REMOVE_RECURSE ${WORK})
