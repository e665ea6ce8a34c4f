// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

namespace kx {

/** Where the backups go: the backup root on the backup drive and, in per-computer mode, the
 *  computer's own folder on it. Chosen with the backup drive, stored at close. */
struct BackupTarget
{
    /** The root of the backup on the backup drive, ending in "\": "e:\", or "e:\OFFICE7\" in
     *  per-computer mode. */
    std::string base = "c:\\";
    /** Empty, or the computer's name and "\" in per-computer mode. */
    std::string computerFolder;
    bool perComputerFolders = false;
};

} // namespace kx
