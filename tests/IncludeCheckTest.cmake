# SPDX-License-Identifier: GPL-3.0-or-later
# The include check against a tree planted in WORK: a clean tree passes, and each forbidden
# include fails it with the file and line named. Then the real tree SOURCE must pass, unless the
# build was told to only warn about it. The check runs as the build runs it: on engine/ and
# support/, on worker/ (QtCore allowed) and on cli/ (QtCore in its Linux-only commands only).
#   cmake -DCHECK=<CheckIncludes.cmake> -DWORK=<dir> -DSOURCE=<src> -DREAL_TREE=ON|OFF
#         -DQT_CORE_DIR=<QtCore's headers> -P ...

string(JOIN "," own platform/Platform.h platform/OperationLock.h platform/Clock.h
     platform/DataStore.h platform/DirListing.h platform/Drives.h platform/FileInfo.h
     platform/Files.h platform/FolderHandle.h platform/Locale.h platform/Result.h
     platform/SettingsStore.h platform/SystemError.h)
set(cliOwn ${own},platform/Console.h,platform/StopSignals.h,platform/MediumMounts.h)
set(cliOwn ${cliOwn},platform/DesktopNotifier.h,app/Version.h)
set(cliQtFiles "cli/MediumWatch.*,cli/Schedule.*,cli/ConsoleUpdateUi.*")

# run_check(<root> <zone> <result> <output>): the check of one zone (core, worker or cli); on a
# planted tree (<root> is WORK) the command line's Linux-only files are those named Qt*, and
# QtCore's headers are the stand-ins planted beside it.
function(run_check root outResult outOutput)
    set(zone core)
    if(ARGC GREATER 3)
        set(zone ${ARGV3})
    endif()
    if(root STREQUAL WORK_ROOT)
        set(qtCore ${WORK}-qt/QtCore)
        set(qtFiles "cli/Qt*")
    else()
        set(qtCore ${QT_CORE_DIR})
        set(qtFiles ${cliQtFiles})
    endif()
    if(zone STREQUAL "worker")
        set(args -DLAYERS=worker -DREACH=engine,support -DOWN=${own} "-DQT_FILES=worker/*")
    elseif(zone STREQUAL "cli")
        set(args -DLAYERS=cli -DREACH=engine,support -DOWN=${cliOwn} -DLIBRARY_HEADERS=CLI/CLI.hpp
                 "-DQT_FILES=${qtFiles}" -DQT_REACH=update)
    else()
        set(args -DLAYERS=engine,support -DOWN=${own})
    endif()
    execute_process(
        COMMAND ${CMAKE_COMMAND} -DROOT=${root} ${args} -DQT_CORE_DIR=${qtCore} -DWARN_ONLY=OFF
                -P ${CHECK}
        RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE err)
    set(${outResult} ${result} PARENT_SCOPE)
    set(${outOutput} "${out}${err}" PARENT_SCOPE)
endfunction()
set(WORK_ROOT ${WORK})

function(plant_tree)
    file(REMOVE_RECURSE ${WORK})
    file(WRITE ${WORK}/engine/Clean.h "#pragma once\n\n#include \"support/Helper.h\"\n"
                                      "#include \"platform/Platform.h\"\n\n#include <string>\n")
    file(WRITE ${WORK}/engine/Clean.cpp
         "#include \"engine/Clean.h\"\n#  include <cstdint> // why not\n#include <vector>\n"
         "// #include <QString> in a comment is no include\nint clean() { return 0; }\n")
    file(WRITE ${WORK}/support/Helper.h "#pragma once\n#include <array>\n")
    file(WRITE ${WORK}/worker/Clean.cpp "#include \"engine/Clean.h\"\n#include <QObject>\n"
                                        "#include <QtCore/QThread>\n#include <atomic>\n")
    file(WRITE ${WORK}/cli/Clean.cpp "#include \"cli/Clean.h\"\n#include \"engine/Clean.h\"\n"
                                     "#include \"platform/Console.h\"\n#include <CLI/CLI.hpp>\n")
    file(WRITE ${WORK}/cli/Clean.h "#pragma once\n#include <string>\n")
    file(WRITE ${WORK}/cli/QtClean.cpp "#include \"cli/Clean.h\"\n#include \"update/Check.h\"\n"
                                       "#include <QObject>\n#include <QtCore/QThread>\n")
    # Stand-ins for Qt's headers: QtCore's, and one of another Qt module.
    file(REMOVE_RECURSE ${WORK}-qt)
    foreach(header QtCore/QObject QtCore/QThread QtCore/QString QtWidgets/QWidget)
        file(WRITE ${WORK}-qt/${header} "")
    endforeach()
endfunction()

plant_tree()
foreach(zone core worker cli)
    run_check(${WORK} result output ${zone})
    if(NOT result EQUAL 0)
        message(FATAL_ERROR "a clean tree fails the check of ${zone}:\n${output}")
    endif()
endforeach()

# Each case: the file it is planted in, its third line, and what the report must say; the zone
# that checks it follows from the folder.
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
    "engine/Planted.cpp|#include SOME_HEADER|cannot be read"
    "worker/Planted.cpp|#include <unistd.h>|<unistd.h>"
    "worker/Planted.h|#  include <sys/socket.h>|<sys/socket.h>"
    "worker/Planted.cpp|#include <QWidget>|<QWidget>"
    "worker/Planted.cpp|#include <QtWidgets/QWidget>|<QtWidgets/QWidget>"
    "worker/Planted.cpp|#include <QtCore/../QtWidgets/QWidget>|<QtCore/../QtWidgets/QWidget>"
    "worker/Planted.cpp|#include \"dialogs/UiText.h\"|dialogs/UiText.h"
    "cli/Planted.cpp|#include <QString>|<QString>"
    "cli/Planted.h|#include <QtCore/QObject>|<QtCore/QObject>"
    "cli/Planted.cpp|#include <fcntl.h>|<fcntl.h>"
    "cli/Planted.cpp|#include \"update/Check.h\"|update/Check.h"
    "cli/Planted.cpp|#include \"app/MainWindow.h\"|app/MainWindow.h"
    "cli/QtPlanted.cpp|#include <unistd.h>|<unistd.h>"
    "cli/QtPlanted.cpp|#include <QWidget>|<QWidget>")
foreach(case IN LISTS cases)
    string(REPLACE "|" ";" parts "${case}")
    list(GET parts 0 file)
    list(GET parts 1 line)
    list(GET parts 2 expected)
    plant_tree()
    file(WRITE ${WORK}/${file} "// planted\n\n${line}\n#include <string>\n")
    string(REGEX MATCH "^[a-z]+" zone "${file}")
    if(NOT zone STREQUAL "worker" AND NOT zone STREQUAL "cli")
        set(zone core)
    endif()
    run_check(${WORK} result output ${zone})
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
file(REMOVE_RECURSE ${WORK} ${WORK}-qt)

if(REAL_TREE)
    foreach(zone core worker cli)
        run_check(${SOURCE} result output ${zone})
        if(NOT result EQUAL 0)
            message(FATAL_ERROR "the program's own tree fails the check of ${zone}:\n${output}")
        endif()
    endforeach()
endif()
