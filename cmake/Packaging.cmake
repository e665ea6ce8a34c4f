# SPDX-License-Identifier: GPL-3.0-or-later
# The Debian package (cpack -G DEB, see scripts/package): everything under /usr, its Qt libraries
# found by dpkg-shlibdeps, the copyright file and changelog where Debian's policy wants them.

set(KOPIERIX_MAINTAINER "The Kopierix developers <kopierix@users.noreply.github.com>"
    CACHE STRING "Maintainer named in the Debian package")
set(KOPIERIX_DEB_VERSION "${PROJECT_VERSION}${KOPIERIX_RELEASE_LETTER}-1")

# Debian's documentation folder is named after the package, in lower case.
set(KOPIERIX_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/kopierix)
install(FILES ${PROJECT_SOURCE_DIR}/data/copyright DESTINATION ${KOPIERIX_DOC_DIR})
# The changelog says how this build was made.
if(KOPIERIX_UPDATER)
    set(KOPIERIX_BUILD_NOTE "Built with the update check: the program looks for a newer version itself.")
else()
    set(KOPIERIX_BUILD_NOTE "Built without the update check: the package manager updates the program.")
endif()
configure_file(${PROJECT_SOURCE_DIR}/data/changelog.in ${PROJECT_BINARY_DIR}/changelog.Debian @ONLY)
find_program(KOPIERIX_GZIP gzip)
if(KOPIERIX_GZIP)
    # -n: no name or time stamp inside, so that the same changelog gives the same bytes.
    add_custom_command(OUTPUT ${PROJECT_BINARY_DIR}/changelog.Debian.gz
        COMMAND ${KOPIERIX_GZIP} -9nc ${PROJECT_BINARY_DIR}/changelog.Debian
                > ${PROJECT_BINARY_DIR}/changelog.Debian.gz
        DEPENDS ${PROJECT_BINARY_DIR}/changelog.Debian
        VERBATIM)
    add_custom_target(kopierix_changelog ALL DEPENDS ${PROJECT_BINARY_DIR}/changelog.Debian.gz)
    install(FILES ${PROJECT_BINARY_DIR}/changelog.Debian.gz DESTINATION ${KOPIERIX_DOC_DIR})
endif()

set(CPACK_PACKAGE_NAME kopierix)
set(CPACK_PACKAGE_VENDOR "The Kopierix developers")
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}${KOPIERIX_RELEASE_LETTER}")
set(CPACK_PACKAGE_CONTACT "${KOPIERIX_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "backup program for USB sticks and other media")
set(CPACK_PACKAGE_HOMEPAGE_URL "https://kopierix.github.io/")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_PRE_BUILD_SCRIPTS ${PROJECT_SOURCE_DIR}/cmake/CompressManPages.cmake)
# Whatever the umask of the build, the package's folders are the usual 0755.
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_VERSION "${PROJECT_VERSION}${KOPIERIX_RELEASE_LETTER}")
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${KOPIERIX_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The window icon is an SVG: Qt draws it with the plug-in of its SVG library, which no symbol
# of the program names.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6svg6")
# The package's long description; cpack indents it and marks the empty line between paragraphs.
set(CPACK_PACKAGE_DESCRIPTION "Kopierix keeps a mirror of your files on a backup medium: a second disk, a
USB stick or a memory card. The backup is simply what lies on the medium:
add the files and folders you want kept once, and from then on one button,
Make Backups, brings every file on the medium up to date.

Lost or damaged files are copied back from the medium one by one or all at
once, and new files beside the kept ones are found and proposed. The program
speaks English and Dutch, and every command also runs from a terminal.")

include(CPack)
