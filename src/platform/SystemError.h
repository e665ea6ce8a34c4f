// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

namespace kx {

/** A failure in the codes the program's rules speak of: 21 not ready (no medium, missing root),
 *  5 access denied, 32 in use, 51 remote computer not available, 65 network access denied;
 *  other failures keep a code of their own. The message is the system's text. */
struct SystemError
{
    int code = 0;
    std::string message;
};

/** The codes of SystemError that the program tells apart. */
namespace errors {
constexpr int kFileNotFound = 2;
constexpr int kPathNotFound = 3;
constexpr int kAccessDenied = 5;
constexpr int kNoSuchDrive = 15;
constexpr int kNotReady = 21;
/** A source whose size or time moved while it was being copied (a code of the program's own,
 *  outside the system's range). */
constexpr int kChangedWhileCopied = 0x20000001;
/** A copy abandoned because the user asked the run to stop (the program's own code). */
constexpr int kStopped = 0x20000002;
/** A folder that can never hold a backup: the system's root, a pseudo file system (the
 *  program's own code). */
constexpr int kUnfitForBackup = 0x20000003;
} // namespace errors

} // namespace kx
