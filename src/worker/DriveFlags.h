// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace kx {

/**
 * What the backup drive last told the windows of its medium, as they learn it from the choice of
 * the drive and from the runs' results. BackupDrive keeps it up to date and reads it when it
 * stores the drive: a drive that held no medium is not stored as the backup drive. One object,
 * owned by the application and shared by its windows.
 */
struct DriveFlags
{
    bool noDisk = false;   // the backup drive reported that it is not ready
    bool noFloppy = false; // drive a: holds no floppy
};

} // namespace kx
