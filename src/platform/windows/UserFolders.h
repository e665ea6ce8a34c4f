// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

namespace kx::win {

/** The program's own folder of the user's roaming application data, `%APPDATA%\Kopierix`,
 *  created when missing; empty when the system names no such folder. */
std::wstring programDataFolder();
/** The user's profile folder (`C:\Users\anna`); empty when unknown. */
std::wstring profileFolder();
/** The full path of `path`, through links, junctions and substituted drives to the file it
 *  is, in the case the file system keeps its names; the full path alone where the file
 *  cannot be opened or lies on no drive letter (a network share). Empty when the path names
 *  nothing. */
std::wstring finalPath(const std::wstring& path);

} // namespace kx::win
