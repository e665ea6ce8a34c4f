// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

namespace kx::win {

// A temporary copy is named as on every system the program runs on, after the process that
// writes it, its user, the run of an operation it belongs to (0 outside one) and its computer:
// ".kopierix-tmp-<pid>-<n>-<random>-u<user>-r<run>@<computer>". The user is a number made
// from the account's security identifier.

/** Whether a name is one of the program's temporary files, which listings never show. */
bool isTempName(const std::wstring& name);
/** A fresh name for a temporary file. */
std::wstring tempName();
/** True for a temporary file of this computer that no run will finish: its process is gone,
 *  or, while this process holds the operation lock, it belongs to another run of this user.
 *  Another computer's files on a shared medium, another user's, and those of a run that may
 *  still be going are left alone. */
bool isStaleTemp(const std::wstring& name);

} // namespace kx::win
