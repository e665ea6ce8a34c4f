# SPDX-License-Identifier: GPL-3.0-or-later
# Run by cpack once the package's files are in place: Debian's policy wants manual pages
# compressed with gzip -9n (no name or time stamp inside, so the same page gives the same bytes).
# A plain install keeps the page as it is; man reads both.

file(GLOB_RECURSE pages "${CPACK_TEMPORARY_INSTALL_DIRECTORY}/usr/share/man/*.[1-9]")
foreach(page IN LISTS pages)
    execute_process(COMMAND gzip -9n "${page}" RESULT_VARIABLE result)
    if(NOT result EQUAL 0)
        message(FATAL_ERROR "gzip -9n ${page} failed (${result})")
    endif()
endforeach()
