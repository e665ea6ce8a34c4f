// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "engine/BackupTarget.h"
#include "engine/MediaRecords.h"
#include "engine/UserInterface.h"
#include "platform/DataStore.h"
#include "support/Language.h"

namespace kx {

namespace settings {
// Sections
inline constexpr const char* kDefaults = "Defaults";
inline constexpr const char* kLastBackup = "Last BackUp";
inline constexpr const char* kTotalSize = "Total Size";
// Idents of "Defaults"
inline constexpr const char* kFirstTime = "First Time";
inline constexpr const char* kBackupDrive = "BackUp Drive";
inline constexpr const char* kCheckForUpdates = "Check for Updates";
} // namespace settings

/** The main window's place and size as stored in the settings. */
struct WindowGeometry
{
    int left = 130;
    int top = 100;
    int width = 600;
    int height = 342;
};

/** Loads the backup root with its per-computer mode, and the records of at most 25 media
 *  (warning through `ui` in `language` when there are more). */
void readSettings(DataStore& data, BackupTarget& target, MediaRecords& media, UserInterface& ui,
                  Language language);
/** Reads the records of at most kMaxMedia media into `media.byKey`; false when the dates of
 *  more were stored, which then gives no dates at all. */
bool readMediaRecords(SettingsStore& store, MediaRecords& media);
/** "First Time": true until the program has been closed once. */
bool readFirstTime(DataStore& data);
/** The form in which "BackUp Drive" stores the backup root: in per-computer mode the drive,
 *  ":" and two backslashes, which switch the mode on again at the next start. */
std::string storedBackupDrive(const BackupTarget& target);
/** The backup drive the user chose, lower case: 0 when "BackUp Drive" is missing, empty or
 *  garbled, or names c:, the default that nobody chose. */
char chosenBackupDrive(DataStore& data);
/** Stores `letter` as the backup drive, in per-computer mode or not, in the form the manage
 *  window stores a drive the user picked. False when the settings could not be written. */
bool storeBackupDrive(DataStore& data, char letter, bool perComputerFolders);
/** Stores the main window's geometry, "First Time" = false and the backup root. */
void writeSettings(DataStore& data, const BackupTarget& target, const WindowGeometry& geometry);
/** The geometry stored for the main window; a negative left edge is taken as 100. */
WindowGeometry readMainWindowGeometry(DataStore& data);

} // namespace kx
