// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/windows/DriveTimeRules.h"

#include <algorithm>
#include <cctype>

namespace kx::win {

DriveTimeRules driveTimeRules(const std::string& fileSystemName)
{
    std::string name = fileSystemName;
    std::transform(name.begin(), name.end(), name.begin(),
                   [](unsigned char c) { return char(std::tolower(c)); });
    DriveTimeRules rules;
    // FAT keeps the local time of the writer in two-second steps. exFAT keeps the writer's UTC
    // offset beside each time, so Windows shows it right all year, but its steps are still
    // coarser than NTFS's; a medium of unknown kind keeps the tolerance too.
    if (name == "fat" || name == "fat12" || name == "fat16" || name == "fat32")
        rules.localTime = true;
    else if (name == "ntfs" || name == "refs")
        rules.exactTimes = true;
    return rules;
}

} // namespace kx::win
