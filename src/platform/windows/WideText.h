// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/SystemError.h"

#include <string>

namespace kx::win {

// Names are UTF-16 on Windows and bytes in the program: UTF-8, or WTF-8 for a name that is not
// valid UTF-16 (a lone surrogate), so that every name the system gives round-trips.

/** UTF-16 (lone surrogates included) as WTF-8. */
std::string fromWide(const std::wstring& wide);
std::string fromWide(const wchar_t* wide, std::size_t length);
/** WTF-8 as UTF-16; a byte that is no part of a well-formed sequence becomes U+FFFD. */
std::wstring toWide(const std::string& text);

/** The path for the wide calls: a drive path (`e:\C-Docs\a.txt`) with the \\?\ prefix, so that
 *  no length limit applies and no name is changed on the way (a trailing dot or space stays). */
std::wstring longPath(const std::string& drivePath);

/** The error of the last failed call (GetLastError), in the program's codes, with the system's
 *  text. */
SystemError lastError();
/** The error of a Windows error code. */
SystemError errorOf(unsigned long code);

} // namespace kx::win
