// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace kx {

/** A failure in the codes the program's rules speak of: 21 not ready (no medium, missing root),
 *  5 access denied, 32 in use, 51 remote computer not available, 65 network access denied;
 *  other failures keep a code of their own. The message is the system's text. */
struct SystemError
{
    int code = 0;
    std::string message;
};

/** The codes of SystemError that the program tells apart. */
namespace errors {
constexpr int kFileNotFound = 2;
constexpr int kPathNotFound = 3;
constexpr int kAccessDenied = 5;
constexpr int kNoSuchDrive = 15;
constexpr int kNotReady = 21;
/** A source whose size or time moved while it was being copied (a code of the program's own,
 *  outside the system's range). */
constexpr int kChangedWhileCopied = 0x20000001;
/** A copy abandoned because the user asked the run to stop (the program's own code). */
constexpr int kStopped = 0x20000002;
/** A folder that can never hold a backup: the system's root, a pseudo file system (the
 *  program's own code). */
constexpr int kUnfitForBackup = 0x20000003;
} // namespace errors

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

/** A moment in local time, broken down. */
struct LocalTime
{
    int year = 1980;
    int month = 1;
    int day = 1;
    int hour = 0;
    int minute = 0;
    int second = 0;
};

/** What a folder listing or a status query tells about one entry. */
struct FileInfo
{
    std::string name;    // the entry's name as bytes (a listing fills it; status queries leave it)
    bool isDir = false;  // a folder, or a symbolic link to one (the walks never enter links)
    bool isLink = false; // a symbolic link (to a file or a folder)
    bool isHidden = false;    // the name starts with "."
    bool isReadOnly = false;  // no write bit for the owner
    bool otherDevice = false; // a folder that is the mount point of another file system
    std::int64_t size = 0;
    std::int64_t mtime = 0;      // seconds since 1970-01-01 UTC
    std::int32_t mtimeTicks = 0; // 100-nanosecond units past mtime (0..9,999,999)
};

/** A copy written to a temporary file beside its destination and not yet put in its place. */
struct StagedCopy
{
    std::string dest;            // drive path of the destination
    std::string temp;            // native path of the temporary file
    std::uint64_t device = 0;    // the file system the temporary file lies on
    std::int64_t size = 0;       // bytes copied
    std::int64_t mtime = 0;      // the source's modification time, given to the copy
    std::int32_t mtimeTicks = 0; // and its 100-nanosecond units past mtime
};

/** What comparing two files byte by byte found. */
struct FileComparison
{
    enum Outcome
    {
        Same,    // the same length and the same bytes
        Differs, // the lengths or some byte differ
        Failed   // the comparison could not be made to its end
    };
    Outcome outcome = Failed;
    /** With Failed: which file could not be read (0 the first, 1 the second) and why. The code
     *  is kStopped when the watched stop flag ended it, kChangedWhileCopied when the first
     *  file's size or time moved while it was read (the first is the one others may write). */
    int failedFile = 0;
    SystemError error;
};

/** A name from a folder listing whose status may still have to be asked for. */
struct ListedName
{
    /** What the listing knows of the entry without asking: `kind` from the folder itself. */
    enum Kind
    {
        Unknown,
        File,
        Folder,
        Link
    };
    FileInfo info;       // the name always; the rest once `known`
    Kind kind = Unknown; // a hint: the entry may have changed since
    bool known = false;
};

/** A streaming folder listing: one open handle, entries in the file system's order, without
 *  "." and "..", and without the program's own temporary files. */
class DirListing
{
public:
    virtual ~DirListing() = default;
    virtual bool next(FileInfo& entry) = 0;
    /** The next name, where the listing can give it without a status query each (which then
     *  costs a request to the disk each). By default the whole entry, known at once. */
    virtual bool nextName(ListedName& entry)
    {
        entry.kind = ListedName::Unknown;
        entry.known = next(entry.info);
        return entry.known;
    }
    /** Fills in the status of a name that nextName gave. False when the entry is gone or is
     *  nothing a walk lists (a pipe, a device). May be called from several threads at once,
     *  while the listing is alive, also after its end. */
    virtual bool status(ListedName& entry) const
    {
        entry.known = true;
        return true;
    }
};

/** A folder held open, so that the status of many names in it costs no lookup of the folder's
 *  path each. */
class FolderHandle
{
public:
    virtual ~FolderHandle() = default;
    /** The status of the entry `name` in the folder, as Platform::fileStatus gives it. False
     *  when there is none: ask fileStatus for the reason. May be called from several threads at
     *  once. */
    virtual bool status(const std::string& name, FileInfo& info) const = 0;
};

/** One transition of a time zone as the daylight-saving rules describe it. With year 0 it is a
 *  rule: occurrence `day` (1..5, 5 = last) of weekday `dayOfWeek` (0 = Sunday) in `month`. */
struct TransitionRecord
{
    int year = 0;
    int month = 0;
    int dayOfWeek = 0;
    int day = 0;
    int hour = 0;
    int minute = 0;
    int second = 0;
};

/** The system zone: biases in minutes (UTC = local + bias), and the two transitions. */
struct TimeZoneRecords
{
    int bias = 0;
    int standardBias = 0;
    int daylightBias = 0;
    TransitionRecord standardDate; // end of daylight saving
    TransitionRecord daylightDate; // start of daylight saving; month 0 = no daylight saving
};

/** The program's persistent settings: sections of named values, opened for one access and
 *  dropped at once. Values of the wrong type read as the default. */
class SettingsStore
{
public:
    virtual ~SettingsStore() = default;
    virtual bool contains(const std::string& section, const std::string& ident) = 0;
    virtual std::string readString(const std::string& section, const std::string& ident,
                                   const std::string& fallback) = 0;
    virtual std::int64_t readInteger(const std::string& section, const std::string& ident,
                                     std::int64_t fallback) = 0;
    virtual bool readFlag(const std::string& section, const std::string& ident, bool fallback) = 0;
    /** A date-time: days since 30 December 1899; 0 when missing or unreadable. */
    virtual double readDate(const std::string& section, const std::string& ident) = 0;
    virtual void writeString(const std::string& section, const std::string& ident,
                             const std::string& value) = 0;
    virtual void writeInteger(const std::string& section, const std::string& ident,
                              std::int64_t value) = 0;
    virtual void writeFlag(const std::string& section, const std::string& ident, bool value) = 0;
    virtual void writeDate(const std::string& section, const std::string& ident, double value) = 0;
    /** Removes the value; nothing happens where there is none. */
    virtual void remove(const std::string& section, const std::string& ident) = 0;
    /** The idents of a section, in no particular order. Every ident reads back exactly as it
     *  was written, whatever bytes it holds. */
    virtual std::vector<std::string> idents(const std::string& section) = 0;
    /** Writes pending changes; false when the file could not be written. */
    virtual bool sync() = 0;
};

/**
 * Everything the program needs of the operating system.
 *
 * Paths are drive paths as the program's rules write them: a drive letter, ":", and a
 * backslash-separated path (`e:\C-Docs\a.txt`, `e:\` for a root). The implementation maps them
 * to native paths through its drive table, name for name and with exactly the case given (see
 * findPath for the one lookup without regard to case). Names are bytes: nothing is required to be
 * valid UTF-8. A native name that holds a backslash shows it as U+F05C, so that a name can never
 * read as two.
 *
 * A walk lists folders on a second thread while the first one copies, and asks for the status of
 * its entries on more threads: openDir and its listings, openFolder and its handles, and
 * fileStatus may be used there at the same time as any other call here.
 */
class Platform
{
public:
    virtual ~Platform() = default;

    // --- Drives -------------------------------------------------------------------------------
    /** The letters of the drive table, lower case, in alphabetical order. */
    virtual std::vector<char> driveLetters() = 0;
    /** The drive's type; None for a letter that names no drive. Either case of the letter. */
    virtual DriveType driveType(char letter) = 0;
    /** The volume label (possibly empty); false with the error (21 for a missing medium). */
    virtual bool volumeLabel(char letter, std::string& label, SystemError& error) = 0;
    /** The file system's name, empty when the drive cannot be read. */
    virtual std::string fileSystemName(char letter) = 0;
    /** Free and total bytes of the drive; -1 when they cannot be read. */
    virtual std::int64_t freeSpace(char letter) = 0;
    virtual std::int64_t totalSpace(char letter) = 0;
    /** Renames the volume; false when the medium cannot be renamed. */
    virtual bool setVolumeLabel(char letter, const std::string& label) = 0;
    /** Writes everything pending on the drive's medium to it; false with the reason when the
     *  medium did not take it (a run that wrote there has then failed). */
    virtual bool flushDrive(char letter, SystemError& error) = 0;
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

    // --- Files --------------------------------------------------------------------------------
    /** Status of a path; a link reports its target's kind, size and time with isLink set. False
     *  with the error when there is none: 2 or 3 when it does not exist, 21 or 15 when its drive
     *  is not there, any other code when it cannot be reached. */
    virtual bool fileStatus(const std::string& path, FileInfo& info, SystemError& error) = 0;
    bool fileInfo(const std::string& path, FileInfo& info)
    {
        SystemError ignored;
        return fileStatus(path, info, ignored);
    }
    /** The path with each name as it stands on disk, for a path whose case the program changed
     *  itself (a lower-cased proposal, a fixed name). Exact names are taken as they are; a name
     *  that is not there exactly is matched without regard to case, but never when two names
     *  differ in case alone. Empty when there is no such path. */
    virtual std::string findPath(const std::string& drivePath) = 0;
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
    virtual std::unique_ptr<DirListing> openDir(const std::string& path, SystemError& error) = 0;
    /** Holds a folder open for status queries of its entries; null when it cannot be opened
     *  (fileStatus of each entry then tells why). By default each query is a fileStatus. */
    virtual std::unique_ptr<FolderHandle> openFolder(const std::string& path);
    /** Copies `source` over `dest` through a temporary file beside `dest` that is written to its
     *  medium and then renamed over it; keeps the modification time and permissions. On failure
     *  `dest` is as it was and no temporary file remains. Missing folders are not created. */
    virtual bool copyFile(const std::string& source, const std::string& dest,
                          SystemError& error) = 0;
    /** The first half of a copy: `source` into a new temporary file beside `dest`, with the
     *  source's time and permissions. Fails with kChangedWhileCopied (and nothing left behind)
     *  when the source's size or time moved during the copy. Temporary files of runs that have
     *  ended are removed from the folder first. */
    virtual bool stageCopy(const std::string& source, const std::string& dest, StagedCopy& staged,
                           SystemError& error) = 0;
    /** The flag a copy reads between its chunks: once it is set, a copy in progress is
     *  abandoned (its temporary file removed, the destination as it was) and fails with
     *  kStopped. Null for copies that run to their end. */
    virtual void watchStop(const std::atomic<bool>* flag) { m_stopFlag = flag; }
    /** Compares two files byte by byte, reading both at once in large pieces; the watched
     *  stop flag ends it between two pieces. Links are followed; what is not a regular file
     *  cannot be read. */
    virtual FileComparison compareFiles(const std::string& first, const std::string& second) = 0;
    /** Writes the staged files to their media; false when that failed. */
    virtual bool flushStaged(const std::vector<StagedCopy>& staged, SystemError& error) = 0;
    /** Renames a staged (and flushed) copy over its destination. */
    virtual bool commitStaged(const StagedCopy& staged, SystemError& error) = 0;
    /** Removes a staged copy that will not be used. */
    virtual void discardStaged(const StagedCopy& staged) = 0;
    /** Creates a folder and every missing parent. */
    virtual bool makeDirs(const std::string& path, SystemError& error) = 0;
    virtual bool removeFile(const std::string& path, SystemError& error) = 0;
    virtual bool removeDir(const std::string& path, SystemError& error) = 0;
    virtual bool renamePath(const std::string& from, const std::string& to, SystemError& error) = 0;
    virtual bool moveToTrash(const std::string& path, SystemError& error) = 0;
    /** Sets the modification time: `mtime` seconds and `ticks` 100-nanosecond units. */
    virtual bool setModificationTime(const std::string& path, std::int64_t mtime,
                                     std::int32_t ticks, SystemError& error) = 0;
    virtual bool setReadOnly(const std::string& path, bool readOnly, SystemError& error) = 0;
    /** Creates or replaces a small file with the given bytes. */
    virtual bool writeFile(const std::string& path, const std::string& bytes,
                           SystemError& error) = 0;

    /** The current folder of the walks (a drive path without trailing backslash, "c:\" for a
     *  root). Setting it checks that the folder exists; it does not change the process's own. */
    virtual std::string currentDirectory() = 0;
    virtual bool setCurrentDirectory(const std::string& path, SystemError& error) = 0;

    // --- The user's folders ----------------------------------------------------------------------
    /** The user's home folder as a drive path (`c:\home\anna`), on the drive whose root holds it
     *  most closely; empty when no drive holds it. */
    virtual std::string homeFolder() = 0;
    /** The drive path of a native file or folder (`/home/anna/a.txt` → `c:\home\anna\a.txt`),
     *  through canonical paths, on the drive whose root holds it most closely; empty when it does
     *  not exist or no drive holds it. */
    virtual std::string drivePathOf(const std::string& nativePath) = 0;
    /** The drive letter that stands for a native folder: the drive whose root it is, or else a
     *  new entry of the drive table (the next free letter from d:, typed like the volume the
     *  folder lies on). 0 with the error when the folder is missing, can never hold a backup
     *  (kUnfitForBackup, with the reason) or no letter is free. */
    virtual char driveForFolder(const std::string& nativeFolder, SystemError& error) = 0;

    // --- The program's own data folder (log files) ---------------------------------------------
    /** Native path of the per-user data folder of the program, created when missing. */
    virtual std::string dataFolder() = 0;
    /** Appends to a file of the data folder; false with the system's reason when it could not. */
    virtual bool appendDataFile(const std::string& name, const std::string& bytes,
                                SystemError& error) = 0;
    virtual bool renameDataFile(const std::string& from, const std::string& to) = 0;
    virtual bool removeDataFile(const std::string& name) = 0;

    // --- Settings -----------------------------------------------------------------------------
    virtual std::unique_ptr<SettingsStore> openSettings() = 0;

    // --- Time and system facts ----------------------------------------------------------------
    virtual std::int64_t now() = 0;
    virtual LocalTime toLocal(std::int64_t utcSeconds) = 0;
    virtual std::int64_t fromLocal(const LocalTime& local) = 0;
    /** The zone's records for the given year. */
    virtual TimeZoneRecords timeZone(int year) = 0;
    /** The user's locale name, for example "nl_BE". */
    virtual std::string localeName() = 0;
    virtual char decimalSeparator() = 0;
    /** A date-time in the user's short date and long time format. */
    virtual std::string formatDateTime(double dateTime) = 0;
    /** A date-time as the windows show it: the user's short date with its year in four digits,
     *  and the long time. */
    virtual std::string formatWindowDateTime(double dateTime) { return formatDateTime(dateTime); }
    virtual std::string computerName() = 0;

protected:
    /** Whether the watched stop flag is set: one relaxed load, cheap enough for every chunk. */
    bool stopFlagged() const { return m_stopFlag && m_stopFlag->load(std::memory_order_relaxed); }

private:
    const std::atomic<bool>* m_stopFlag = nullptr;
};

/** The platform of the system the program was built for (the build picks its implementation). */
std::unique_ptr<Platform> createPlatform();

/** Whether the windows can be shown: a display server to connect to, or a window system that
 *  needs none (such as the offscreen one). Asked before the windows' application exists. */
bool displayAvailable();

} // namespace kx
