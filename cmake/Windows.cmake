# SPDX-License-Identifier: GPL-3.0-or-later
# The build for Windows (cmake/mingw-w64-posix.cmake): the command line over the engine, support
# and the Windows platform, as one statically linked kopierix.exe. The windows need Qt, which
# this build does not have.

# CLI11 and doctest are header-only: the build machine's packages serve this build too. Their
# headers are copied into the build folder, so that no other header of the build machine's
# system can be reached.
find_path(KX_CLI11_DIR CLI/CLI.hpp PATHS /usr/include NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH)
if(NOT KX_CLI11_DIR)
    message(FATAL_ERROR "CLI11's headers are missing: scripts/build-windows installs libcli11-dev")
endif()
file(COPY ${KX_CLI11_DIR}/CLI DESTINATION ${PROJECT_BINARY_DIR}/headers)
add_library(kx_cli11 INTERFACE)
target_include_directories(kx_cli11 SYSTEM INTERFACE ${PROJECT_BINARY_DIR}/headers)
add_library(CLI11::CLI11 ALIAS kx_cli11)

# Nothing here is a Qt class.
set(CMAKE_AUTOMOC OFF)

# Wide Win32 calls throughout, and nothing of the old Windows headers' min/max macros.
add_compile_definitions(UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0A00)
# The whole program in one file: the C and C++ runtimes and the threads are linked in.
add_link_options(-static -static-libgcc -static-libstdc++)

add_subdirectory(src)

if(KOPIERIX_TESTS)
    enable_testing()
    add_subdirectory(tests/windows)
endif()
