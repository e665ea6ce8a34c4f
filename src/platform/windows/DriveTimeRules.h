// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

namespace kx::win {

/** How a file system keeps file times, as Windows reads them. */
struct DriveTimeRules
{
    /** Local time on the medium: Windows shows its times an hour off while daylight saving is
     *  in force, and the program corrects for that. */
    bool localTime = false;
    /** Times kept to the tenth of a microsecond in UTC: no tolerance when comparing. */
    bool exactTimes = false;
};

/** The rules of a file system by the name Windows gives it ("FAT32", "exFAT", "NTFS", …);
 *  a name it does not know, or none, gets neither. */
DriveTimeRules driveTimeRules(const std::string& fileSystemName);

} // namespace kx::win
