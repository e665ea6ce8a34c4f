#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace kx {

/** The most media whose records the program keeps. */
constexpr int kMaxMedia = 25;

/** What the settings record of one medium: the date of its last backup and the space its
 *  backup takes; 0 for what is not recorded. */
struct MediumRecord
{
    double lastBackupDate = 0;
    std::int64_t totalSize = 0;
};

/**
 * The process-wide values the operations share. One object, owned by the application and
 * passed to the engine.
 */
struct ProgramState
{
    std::string languageCode;

    // Backup layout
    std::string backupBase = "c:\\"; // root of the backup on the backup drive, ends in "\"
    std::string computerFolder;      // empty, or the computer's name and "\" in per-computer mode
    bool perComputerFolders = false;

    // The current medium
    std::string driveKey;
    double lastBackupDate = 0;
    std::int64_t backupTotalSize = 0;

    /** The records of every medium by drive key ("e-backup1"), as loaded at start and after a
     *  Duplicate. A settings section of more than kMaxMedia media gives none of its values. */
    std::map<std::string, MediumRecord> media;

    // Statistics of the walks
    std::uint64_t copiedCount = 0;
    std::uint64_t backupFileCount = 0;
    std::int64_t copiedSize = 0;
    std::int64_t progressStep = 0;
    /** What the last run could not do: failed copies plus folders that could not be read. */
    std::uint64_t failedCount = 0;

    bool firstTime = true;
    bool mainFormReady = false;

    // Drive flags of the backup-drive choice
    bool noDisk = false;       // the backup drive reported that it is not ready
    bool noFloppy = false;     // drive a: holds no floppy
    bool floppyWarned = false; // the missing floppy was reported once

    // The temporary area of a Duplicate
    char tempDrive = 0;
    std::vector<std::string> tempFolders; // sorted, distinct

    // Folders, each ending in "\"
    std::string startDir;
};

} // namespace kx
