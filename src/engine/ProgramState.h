#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace kx {

/** The most media whose records the program keeps. */
constexpr int kMaxMedia = 25;

/**
 * The process-wide values the operations share. One object, owned by the application and
 * passed to the engine.
 */
struct ProgramState
{
    std::string LanguageCode;

    // Backup layout
    std::string BackupBase = "c:\\"; // root of the backup on the backup drive, ends in "\"
    std::string ComputerFolder;      // empty, or the computer's name and "\" in per-computer mode
    bool PerComputerFolders = false;

    // The current medium
    std::string DriveKey;
    double LastBackupDate = 0;
    std::int64_t BackupTotalSize = 0;

    // The records of every medium, as loaded at start and after a Duplicate
    std::vector<std::string> LastBackupNames; // sorted without regard to case
    std::vector<double> LastBackupDates;
    std::vector<std::string> TotalSizeNames;
    std::vector<std::int64_t> TotalSizes;

    // Statistics of the walks
    std::uint64_t CopiedCount = 0;
    std::uint64_t BackupFileCount = 0;
    std::int64_t CopiedSize = 0;
    std::int64_t ProgressStep = 0;
    /** What the last run could not do: failed copies plus folders that could not be read. */
    std::uint64_t FailedCount = 0;

    bool FirstTime = true;
    bool MainFormReady = false;

    // Drive flags of the backup-drive choice
    bool NoDisk = false;       // the backup drive reported that it is not ready
    bool NoFloppy = false;     // drive a: holds no floppy
    bool FloppyWarned = false; // the missing floppy was reported once

    // The temporary area of a Duplicate
    char TempDrive = 0;
    std::vector<std::string> TempFolders; // sorted, distinct

    // Folders, each ending in "\"
    std::string StartDir;

    /** Set while a file operation runs; a second one is refused. */
    bool OperationRunning = false;
};

} // namespace kx
