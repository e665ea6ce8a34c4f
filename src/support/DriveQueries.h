// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/Drives.h"

#include <string>

namespace kx {

/** The drive's type, for either case of the letter; None for a letter that names no drive. */
DriveType driveTypeOf(Drives& drives, char letter);
/** The volume label, or "Error " + code + " " + the system's message (code 21: no medium). */
std::string volumeLabel(Drives& drives, char letter);
/** True when the drive is there but holds no medium (it reports "not ready"). */
bool mediumMissing(Drives& drives, char letter);
/** The file system's name; empty when the drive cannot be read. */
std::string fileSystemName(Drives& drives, char letter);
/** The text a drive list shows: "e:", plus " [label]" in lower case for a drive that has a
 *  label and is not removable. */
std::string driveListText(Drives& drives, char letter);

} // namespace kx
