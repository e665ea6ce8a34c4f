# SPDX-License-Identifier: GPL-3.0-or-later
# Checks that the OS-free layers include nothing but the C++ standard library and the project's
# own OS-free headers. Run as a script:
#   cmake -DROOT=<src> -DLAYERS=engine,support -DOWN=platform/Platform.h,... [-DREACH=...]
#         [-DLIBRARY_HEADERS=...] [-DQT_FILES=... -DQT_REACH=... -DQT_CORE_DIR=<dir>]
#         [-DWARN_ONLY=ON]
#         -P CheckIncludes.cmake
# LAYERS are folders under ROOT whose files are checked; a quoted include may name a header of
# one of them or of the REACH folders ("engine/x.h"), or one of the OWN headers; an include in
# angle brackets a header of the C++ standard library or one of the LIBRARY_HEADERS (of a
# header-only library that every system has, such as <CLI/CLI.hpp>). The files that
# match the QT_FILES patterns (relative to ROOT) may also include QtCore's headers (those in
# QT_CORE_DIR, also as <QtCore/...>) and the headers of the QT_REACH folders. Each offence is
# printed as "file:line: ..." and fails the run, unless WARN_ONLY is set.

if(NOT DEFINED ROOT OR NOT DEFINED LAYERS)
    message(FATAL_ERROR "CheckIncludes.cmake needs ROOT and LAYERS")
endif()
string(REPLACE "," ";" layers "${LAYERS}")
string(REPLACE "," ";" ownHeaders "${OWN}")
string(REPLACE "," ";" reach "${REACH}")
string(REPLACE "," ";" libraryHeaders "${LIBRARY_HEADERS}")
string(REPLACE "," ";" qtReach "${QT_REACH}")
string(REPLACE "," ";" qtPatterns "${QT_FILES}")
set(qtFiles)
foreach(pattern IN LISTS qtPatterns)
    file(GLOB_RECURSE matched LIST_DIRECTORIES false "${ROOT}/${pattern}")
    list(APPEND qtFiles ${matched})
endforeach()
if(qtFiles AND NOT IS_DIRECTORY "${QT_CORE_DIR}")
    message(FATAL_ERROR "CheckIncludes.cmake needs QT_CORE_DIR, QtCore's header folder, for QT_FILES")
endif()

# Whether the quoted `header` is one of the folders' headers (no "..", no deeper folder).
function(kx_header_of_folders header folders outResult)
    set(found FALSE)
    foreach(folder IN LISTS folders)
        if(header MATCHES "^${folder}/[^/]+$" AND NOT header MATCHES "\\.\\.")
            set(found TRUE)
        endif()
    endforeach()
    set(${outResult} ${found} PARENT_SCOPE)
endfunction()

# The headers of the C++20 standard library, the C ones in their <cxxx> form. An allow-list:
# a system header that is not here (<unistd.h>, <sys/stat.h>, <QString>) belongs in platform/.
set(standardHeaders
    algorithm any array atomic barrier bit bitset charconv chrono codecvt compare complex
    concepts condition_variable coroutine deque exception execution filesystem format
    forward_list fstream functional future initializer_list iomanip ios iosfwd iostream istream
    iterator latch limits list locale map memory memory_resource mutex new numbers numeric
    optional ostream queue random ranges ratio regex scoped_allocator semaphore set shared_mutex
    source_location span sstream stack stdexcept stop_token streambuf string string_view
    syncstream system_error thread tuple type_traits typeindex typeinfo unordered_map
    unordered_set utility valarray variant vector version
    cassert cctype cerrno cfenv cfloat cinttypes climits clocale cmath csetjmp csignal cstdarg
    cstddef cstdint cstdio cstdlib cstring ctime cuchar cwchar cwctype)

set(globs)
foreach(layer IN LISTS layers)
    foreach(ext h hh hpp hxx ipp inl tpp c cc cpp cxx)
        list(APPEND globs "${ROOT}/${layer}/*.${ext}")
    endforeach()
endforeach()
file(GLOB_RECURSE files LIST_DIRECTORIES false ${globs})
list(SORT files)

set(offences 0)
foreach(file IN LISTS files)
    list(FIND qtFiles "${file}" qtAt)
    if(qtAt EQUAL -1)
        set(qtAllowed FALSE)
    else()
        set(qtAllowed TRUE)
    endif()
    file(READ "${file}" content)
    if(NOT content MATCHES "#")
        continue()
    endif()
    # One list element a line: semicolons and brackets would break the list apart or glue it.
    string(REPLACE ";" "<semicolon>" content "${content}")
    string(REPLACE "[" "<open>" content "${content}")
    string(REPLACE "]" "<close>" content "${content}")
    string(REPLACE "\n" ";" lines "${content}")
    set(number 0)
    foreach(line IN LISTS lines)
        math(EXPR number "${number} + 1")
        if(NOT line MATCHES "^[ \t]*#[ \t]*(include|include_next|import)([^a-zA-Z_].*)?$")
            continue()
        endif()
        set(directive "${CMAKE_MATCH_1}")
        string(STRIP "${CMAKE_MATCH_2}" target)
        set(reason "")
        if(NOT directive STREQUAL "include")
            set(reason "#${directive} is not allowed here")
        elseif(target MATCHES "^<([^>]*)>")
            set(header "${CMAKE_MATCH_1}")
            list(FIND standardHeaders "${header}" at)
            if(at EQUAL -1)
                list(FIND libraryHeaders "${header}" at)
            endif()
            string(REGEX REPLACE "^QtCore/" "" coreHeader "${header}")
            if(at EQUAL -1 AND qtAllowed AND NOT header MATCHES "\\.\\." AND
               EXISTS "${QT_CORE_DIR}/${coreHeader}" AND
               NOT IS_DIRECTORY "${QT_CORE_DIR}/${coreHeader}")
                set(at 0)
            endif()
            if(at EQUAL -1 AND qtAllowed)
                set(reason "<${header}> is neither a C++ standard library header nor QtCore's")
            elseif(at EQUAL -1)
                set(reason "<${header}> is not a C++ standard library header")
            endif()
        elseif(target MATCHES "^\"([^\"]*)\"")
            set(header "${CMAKE_MATCH_1}")
            list(FIND ownHeaders "${header}" at)
            kx_header_of_folders("${header}" "${layers};${reach}" ofLayer)
            if(qtAllowed AND NOT ofLayer)
                kx_header_of_folders("${header}" "${qtReach}" ofLayer)
            endif()
            if(at EQUAL -1 AND NOT ofLayer)
                set(reason "\"${header}\" is not one of the project's OS-free headers")
            endif()
        else()
            set(reason "an include whose header cannot be read off the line")
        endif()
        if(reason)
            message("${file}:${number}: ${reason}")
            math(EXPR offences "${offences} + 1")
        endif()
    endforeach()
endforeach()

if(offences GREATER 0)
    string(REPLACE "," ", " shownLayers "${LAYERS}")
    string(CONCAT summary "${offences} include(s) in ${shownLayers} reach outside the C++ "
                  "standard library and the project's OS-free headers: operating-system and Qt "
                  "code belongs in platform/")
    if(WARN_ONLY)
        message(WARNING "${summary}")
    else()
        message(FATAL_ERROR "${summary}")
    endif()
endif()
