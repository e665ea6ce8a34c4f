// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/Result.h"

#include <cstdint>
#include <string>
#include <vector>

namespace kx {

/** The kinds of drive the program tells apart; None for a letter that names no drive. */
enum class DriveType
{
    None,
    Removable,
    Fixed,
    Remote,
    CdRom,
    RamDisk
};

/** The word a drive type is written as in the settings' drive table, the log and the display:
 *  "DRIVE_REMOVABLE", …; empty for None. */
constexpr const char* driveTypeWord(DriveType type)
{
    switch (type) {
    case DriveType::Removable:
        return "DRIVE_REMOVABLE";
    case DriveType::Fixed:
        return "DRIVE_FIXED";
    case DriveType::Remote:
        return "DRIVE_REMOTE";
    case DriveType::CdRom:
        return "DRIVE_CDROM";
    case DriveType::RamDisk:
        return "DRIVE_RAMDISK";
    case DriveType::None:
        break;
    }
    return "";
}

/** The drive type a word stands for; None for any other word. */
inline DriveType driveTypeFromWord(const std::string& word)
{
    for (DriveType type : {DriveType::Removable, DriveType::Fixed, DriveType::Remote,
                           DriveType::CdRom, DriveType::RamDisk}) {
        if (word == driveTypeWord(type))
            return type;
    }
    return DriveType::None;
}

/**
 * The drives: the letters of the drive table, their types, labels and space, and the questions a
 * run asks of a drive before it writes there. Paths are drive paths as the program's rules write
 * them: a drive letter, ":", and a backslash-separated path (`e:\C-Docs\a.txt`, `e:\` for a
 * root).
 */
class Drives
{
public:
    virtual ~Drives() = default;

    /** The letters of the drive table, lower case, in alphabetical order. */
    virtual std::vector<char> driveLetters() = 0;
    /** The drive's type; None for a letter that names no drive. Either case of the letter. */
    virtual DriveType driveType(char letter) = 0;
    /** The volume label (possibly empty), or the error (21 for a missing medium). */
    virtual Result<std::string> volumeLabel(char letter) = 0;
    /** The file system's name, empty when the drive cannot be read. */
    virtual std::string fileSystemName(char letter) = 0;
    /** Free and total bytes of the drive; -1 when they cannot be read. */
    virtual std::int64_t freeSpace(char letter) = 0;
    virtual std::int64_t totalSpace(char letter) = 0;
    /** Renames the volume; false when the medium cannot be renamed. */
    virtual bool setVolumeLabel(char letter, const std::string& label) = 0;
    /** Writes everything pending on the drive's medium to it; the reason when the medium did not
     *  take it (a run that wrote there has then failed). */
    virtual Result<void> flushDrive(char letter) = 0;
    /** Why the drive's root can never hold a backup (the system's root, a pseudo file system
     *  such as proc or sysfs, the mount roots /dev, /run and the like), as a line for the user;
     *  empty when it can. */
    virtual std::string unfitForBackup(char letter) = 0;
    /** The native path a drive path stands for; empty when its letter names no drive. */
    virtual std::string nativePath(const std::string& drivePath) = 0;
    /** A drive path as a person reads it in every text of the program (output lines, log, command
     *  line, questions, lists): the system's own form of the path, with each name as the user
     *  wrote it (a backslash again instead of its stand-in). A letter alone ("e:") names the
     *  drive and stays as it is. Never mapped back. This form shows drive paths. */
    virtual std::string displayPath(const std::string& drivePath) { return drivePath; }
    /** True where a drive whose medium is away is a volume that is not mounted, rather than a
     *  drive standing empty; `label` is then the label its medium was last seen with (empty when
     *  none is known). False for a letter that names no drive. */
    virtual bool mediumNotMounted(char letter, std::string& label)
    {
        (void)letter;
        label.clear();
        return false;
    }
    /** Forgets what is known of the drives, after a medium has been mounted or unmounted: the
     *  next call reads them afresh. */
    virtual void reloadDrives() = 0;
    /** The folder where a duplicate keeps its temporary copies on the drive, as a drive path
     *  ending in "\" and created when missing. On the drive that holds the user's own folder for
     *  such files, a folder in it; on any other drive its root. Empty when the user can create no
     *  folder there. */
    virtual std::string temporaryArea(char letter) = 0;

    /** True where two names that differ in case alone name the same file on the drive. */
    virtual bool namesIgnoreCase(char letter) = 0;
    /** True where the drive, when removable, shows file times an hour off while daylight saving
     *  is in force (a file system that keeps local time, read by a system that corrects for it). */
    virtual bool mediaTimesFollowDaylightSaving(char letter) = 0;
    /** True where the drive keeps file times exactly (ext4, btrfs, xfs, tmpfs, …): false for the
     *  FAT family, with its two-second times, and for a file system that cannot be identified. */
    virtual bool keepsExactTimes(char letter) = 0;
    /** True where a removable medium gets an autorun file that starts the program from it: a
     *  system that reads such files. Elsewhere it is only a foreign file on the user's medium. */
    virtual bool wantsAutorunFile() = 0;

    /** The user's home folder as a drive path (`c:\home\anna`), on the drive whose root holds it
     *  most closely; empty when no drive holds it. */
    virtual std::string homeFolder() = 0;
    /** The drive path of a native file or folder (`/home/anna/a.txt` → `c:\home\anna\a.txt`),
     *  through canonical paths, on the drive whose root holds it most closely; empty when it does
     *  not exist or no drive holds it. */
    virtual std::string drivePathOf(const std::string& nativePath) = 0;
    /** The drive letter that stands for a native folder: the drive whose root it is, or else a
     *  new entry of the drive table (the next free letter from d:, typed like the volume the
     *  folder lies on). The error when the folder is missing, can never hold a backup
     *  (kUnfitForBackup, with the reason) or no letter is free. */
    virtual Result<char> driveForFolder(const std::string& nativeFolder) = 0;
};

} // namespace kx
