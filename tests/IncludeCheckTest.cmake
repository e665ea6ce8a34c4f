# SPDX-License-Identifier: GPL-3.0-or-later
# The include check against a tree planted in WORK: a clean tree passes, and each forbidden
# include fails it with the file and line named. Then the real tree SOURCE must pass, unless the
# build was told to only warn about it.
#   cmake -DCHECK=<CheckIncludes.cmake> -DWORK=<dir> -DSOURCE=<src> -DREAL_TREE=ON|OFF -P ...

string(JOIN "," own platform/Platform.h platform/OperationLock.h platform/Clock.h
     platform/DataStore.h platform/DirListing.h platform/Drives.h platform/FileInfo.h
     platform/Files.h platform/FolderHandle.h platform/Locale.h platform/Result.h
     platform/SettingsStore.h platform/SystemError.h)

function(run_check root outResult outOutput)
    execute_process(
        COMMAND ${CMAKE_COMMAND} -DROOT=${root} -DLAYERS=engine,support -DOWN=${own}
                -DWARN_ONLY=OFF -P ${CHECK}
        RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE err)
    set(${outResult} ${result} PARENT_SCOPE)
    set(${outOutput} "${out}${err}" PARENT_SCOPE)
endfunction()

function(plant_tree)
    file(REMOVE_RECURSE ${WORK})
    file(WRITE ${WORK}/engine/Clean.h "#pragma once\n\n#include \"support/Helper.h\"\n"
                                      "#include \"platform/Platform.h\"\n\n#include <string>\n")
    file(WRITE ${WORK}/engine/Clean.cpp
         "#include \"engine/Clean.h\"\n#  include <cstdint> // why not\n#include <vector>\n"
         "// #include <QString> in a comment is no include\nint clean() { return 0; }\n")
    file(WRITE ${WORK}/support/Helper.h "#pragma once\n#include <array>\n")
endfunction()

plant_tree()
run_check(${WORK} result output)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "a clean tree fails the check:\n${output}")
endif()

# Each case: the file it is planted in, its third line, and what the report must say.
set(cases
    "engine/Planted.cpp|#include <QString>|<QString>"
    "support/Planted.h|#include <QtCore/QDir>|<QtCore/QDir>"
    "engine/Planted.h|#include <unistd.h>|<unistd.h>"
    "engine/Planted.cpp|#include <strings.h>|<strings.h>"
    "support/deeper/Planted.cpp|  #  include <sys/stat.h>|<sys/stat.h>"
    "engine/Planted.cpp|#include <fcntl.h>|<fcntl.h>"
    "engine/Planted.cpp|#include \"platform/linux/LinuxPlatform.h\"|platform/linux/LinuxPlatform.h"
    "engine/Planted.cpp|#include \"dialogs/UiText.h\"|dialogs/UiText.h"
    "engine/Planted.cpp|#include \"support/../app/Main.h\"|support/../app/Main.h"
    "engine/Planted.cpp|#include_next <string>|include_next"
    "engine/Planted.cpp|#include SOME_HEADER|cannot be read")
foreach(case IN LISTS cases)
    string(REPLACE "|" ";" parts "${case}")
    list(GET parts 0 file)
    list(GET parts 1 line)
    list(GET parts 2 expected)
    plant_tree()
    file(WRITE ${WORK}/${file} "// planted\n\n${line}\n#include <string>\n")
    run_check(${WORK} result output)
    if(result EQUAL 0)
        message(FATAL_ERROR "the check passes ${file} with \"${line}\"")
    endif()
    string(FIND "${output}" "${WORK}/${file}:3: " at)
    string(FIND "${output}" "${expected}" named)
    if(at EQUAL -1 OR named EQUAL -1)
        message(FATAL_ERROR "\"${line}\" in ${file} is not reported as ${file}:3 with "
                            "\"${expected}\":\n${output}")
    endif()
    string(REGEX MATCHALL "Planted[^:]*:[0-9]+: " reported "${output}")
    list(LENGTH reported count)
    if(NOT count EQUAL 1)
        message(FATAL_ERROR "\"${line}\" gives ${count} reports, not one:\n${output}")
    endif()
endforeach()
file(REMOVE_RECURSE ${WORK})

if(REAL_TREE)
    run_check(${SOURCE} result output)
    if(NOT result EQUAL 0)
        message(FATAL_ERROR "the program's own tree fails the check:\n${output}")
    endif()
endif()
