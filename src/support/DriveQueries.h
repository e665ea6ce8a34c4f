// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/Platform.h"

#include <string>

namespace kx {

/** The drive's type, for either case of the letter; None for a letter that names no drive. */
DriveType driveTypeOf(Platform& platform, char letter);
/** The volume label, or "Error " + code + " " + the system's message (code 21: no medium). */
std::string volumeLabel(Platform& platform, char letter);
/** True when the drive is there but holds no medium (it reports "not ready"). */
bool mediumMissing(Platform& platform, char letter);
/** The file system's name; empty when the drive cannot be read. */
std::string fileSystemName(Platform& platform, char letter);
/** The text a drive list shows: "e:", plus " [label]" in lower case for a drive that has a
 *  label and is not removable. */
std::string driveListText(Platform& platform, char letter);

} // namespace kx
