// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "support/Language.h"

#include <string>

namespace kx {

/** What the status line tells about the backup drive. */
enum class DriveStatus
{
    LastBackup,               // the date of the medium's last backup
    LastBackupAfterDuplicate, // the same, in the form the Duplicate shows
    DateUnknown,              // no backup of this medium is recorded
    NoDisk,                   // the drive holds no medium
    NotMounted,               // the drive's medium is not mounted
    NoFloppy,                 // drive a: holds no floppy
    NoBackupDrive             // no backup drive has been chosen (driveText is not shown)
};

/**
 * The status line about the backup drive, the one builder every layer shows it with:
 * `driveText` is the drive as its list shows it ("e: [backup1]"), `date` the formatted date of
 * the last backup (for the LastBackup forms).
 */
std::string backupDriveStatusLine(Language language, DriveStatus status,
                                  const std::string& driveText,
                                  const std::string& date = std::string());

} // namespace kx
