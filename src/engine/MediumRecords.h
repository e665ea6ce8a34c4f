// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "engine/EngineContext.h"
#include "engine/StatusLine.h"

#include <cstdint>
#include <string>

namespace kx {

/** The drive-list text of the backup drive ("e: [backup1]", or "e:"). */
std::string backupDriveText(EngineContext& ctx);
/** The user's date-and-time text of a date-time, in the windows' form where the texts go to
 *  windows. */
std::string dateText(EngineContext& ctx, double dateTime);

/** Stores the date and total of the current medium under its drive key and shows the present
 *  moment in the status line; does nothing at all for a total of 0 or less. */
void writeLastDate(EngineContext& ctx, std::int64_t totalSize, double lastDate);
/** Stores the current medium's record as a window holds it, unless it has no date (no backup
 *  of the medium is known) or the settings hold a later date for the medium: a window never
 *  makes up a record, nor writes back one older than the one stored. */
void writeBackRecord(EngineContext& ctx);
/** The date of a last backup as a question shows it; for a date of 0 the drive and the status
 *  line's words that the date is unknown ("e:, latest backup date unknown"). */
std::string lastBackupText(EngineContext& ctx, double lastDate);
/** The status line about the backup drive and its last backup (in `form`, LastBackup or
 *  LastBackupAfterDuplicate); for a date of 0 the line that says the date is unknown. */
std::string lastBackupStatusLine(EngineContext& ctx, DriveStatus form, double lastDate);
/** Puts "Autorun.inf" on a removable, CD or RAM-disk backup medium that has none, on a system
 *  that reads such files. */
void ensureAutorunFile(EngineContext& ctx);
/** What choosing a backup drive found, for the window to act on. */
struct BackupDriveChoice
{
    /** The choice took effect (the windows were ready for it). */
    bool made = false;
    /** The drive reported that it holds no medium. */
    bool noDisk = false;
    /** Drive a: holds no floppy; the root stays a:\ without its records. */
    bool noFloppy = false;
    /** The missing floppy was told in the status line by this choice. */
    bool floppyTold = false;
};

/** What the windows know as they choose a backup drive. */
struct DriveChoiceFlags
{
    /** The windows are up; before, a choice only sets the computer's folder. */
    bool windowsReady = false;
    /** The missing floppy has been told in the status line already: it is told once. */
    bool floppyTold = false;
};

/** A backup drive was chosen: sets the backup root, the drive key, the medium's last date and
 *  total from the records, the drive flags and the status line. */
BackupDriveChoice selectBackupDrive(EngineContext& ctx, char letter, DriveChoiceFlags flags);
/** Where media are mounted, the line that says the backup drive's medium is not mounted
 *  ("Backup drive e: (STICK) is not mounted"); empty elsewhere. */
std::string notMountedText(EngineContext& ctx);
/** Turns a failed access to the backup drive into a warning; true for a drive that is not ready
 *  (no medium). */
bool showDriveError(EngineContext& ctx, const SystemError& error);

} // namespace kx
