// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/Platform.h"

#include <ctime>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace kx {

class ConfinedFolder;
class DriveTable;
class VolumeSource;

/**
 * The platform on Linux: drive letters through the drive table of the settings and the mount
 * table, files through POSIX calls, settings in an ini file, time and locale through QtCore.
 */
class LinuxPlatform : public Platform
{
public:
    LinuxPlatform();
    ~LinuxPlatform() override;

    std::vector<char> driveLetters() override;
    DriveType driveType(char letter) override;
    Result<std::string> volumeLabel(char letter) override;
    std::string fileSystemName(char letter) override;
    std::int64_t freeSpace(char letter) override;
    std::int64_t totalSpace(char letter) override;
    /** Renames the volume itself, through the volume service or the file system's own tool;
     *  false for a plain folder, a kind of file system without a tool, or a failed rename. */
    bool setVolumeLabel(char letter, const std::string& label) override;
    Result<void> flushDrive(char letter) override;
    std::string unfitForBackup(char letter) override;
    std::string nativePath(const std::string& drivePath) override;
    /** The native path, below the folder the drive was last mounted at when its volume is
     *  away; a letter that names no drive keeps the drive path. */
    std::string displayPath(const std::string& drivePath) override;
    bool mediumNotMounted(char letter, std::string& label) override;
    /** Reads the mounted volumes again. */
    void reloadDrives() override;
    /** On the drive that holds the user's cache folder most closely, the folder Kopierix in it
     *  (the root of a system drive is not the user's to write); on any other drive its root, when
     *  a folder can be made there. */
    std::string temporaryArea(char letter) override;

    Result<FileInfo> fileStatus(const std::string& path) override;
    std::string findPath(const std::string& drivePath) override;
    bool namesIgnoreCase(char letter) override;
    bool wantsAutorunFile() override;
    bool mediaTimesFollowDaylightSaving(char letter) override;
    bool keepsExactTimes(char letter) override;
    Result<std::unique_ptr<DirListing>> openDir(const std::string& path) override;
    std::unique_ptr<FolderHandle> openFolder(const std::string& path) override;
    Result<void> copyFile(const std::string& source, const std::string& dest) override;
    FileComparison compareFiles(const std::string& first, const std::string& second) override;
    Result<StagedCopy> stageCopy(const std::string& source, const std::string& dest) override;
    Result<void> flushStaged(const std::vector<StagedCopy>& staged) override;
    Result<void> commitStaged(const StagedCopy& staged) override;
    void discardStaged(const StagedCopy& staged) override;
    Result<void> makeDirs(const std::string& path) override;
    Result<void> removeFile(const std::string& path) override;
    Result<void> removeDir(const std::string& path) override;
    Result<void> renamePath(const std::string& from, const std::string& to) override;
    Result<void> moveToTrash(const std::string& path) override;
    Result<void> setModificationTime(const std::string& path, std::int64_t mtime,
                                     std::int32_t ticks) override;
    Result<void> setReadOnly(const std::string& path, bool readOnly) override;
    Result<void> writeFile(const std::string& path, const std::string& bytes) override;

    std::string currentDirectory() override;
    Result<void> setCurrentDirectory(const std::string& path) override;

    /** Through the canonical paths of the home and of the drive roots, so that a home reached
     *  through a link still finds its drive. */
    std::string homeFolder() override;
    std::string drivePathOf(const std::string& nativePath) override;
    /** A new entry is written as a user's own, so that detection leaves it as it is. */
    Result<char> driveForFolder(const std::string& nativeFolder) override;
    std::string dataFolder() override;
    Result<void> appendDataFile(const std::string& name, const std::string& bytes) override;
    bool renameDataFile(const std::string& from, const std::string& to) override;
    bool removeDataFile(const std::string& name) override;

    std::unique_ptr<SettingsStore> openSettings() override;

    std::int64_t now() override;
    LocalTime toLocal(std::int64_t utcSeconds) override;
    std::int64_t fromLocal(const LocalTime& local) override;
    TimeZoneRecords timeZone(int year) override;
    std::string localeName() override;
    char decimalSeparator() override;
    std::string formatDateTime(double dateTime) override;
    std::string formatWindowDateTime(double dateTime) override;
    std::string computerName() override;

protected:
    /** Forces what is written to the open file `fd` to its medium: the whole file system that
     *  holds it, or the file's own data alone. Returns 0 or the errno of the failure. */
    virtual int forceToMedium(int fd, bool wholeFileSystem);

private:
    // A drive path turned into a native one.
    struct Mapped
    {
        std::string root;   // the drive's root folder
        std::string native; // the path itself
    };

    // The names of one folder by their lower-case form, for the lookup without regard to case
    // (empty where two names share the form); valid while the folder's modification time stays
    // the same.
    struct FolderNames
    {
        timespec mtime{};
        std::unordered_map<std::string, std::string> byLower;
    };

    DriveTable& drives();
    // `anyRoot` maps the drive of an absent volume too, to the folder it was last mounted at.
    bool splitPath(const std::string& drivePath, std::string& root, std::vector<std::string>& parts,
                   SystemError& error, bool anyRoot = false);
    /** The native path, name for name with exactly the case given. */
    bool mapExact(const std::string& drivePath, Mapped& mapped, SystemError& error,
                  bool anyRoot = false);
    /** The root of a drive whose volume is there; false with the error otherwise. */
    bool presentRoot(char letter, std::string& root, SystemError& error, bool anyRoot);
    std::optional<std::string> matchingName(const std::string& folder, const std::string& name);
    /** Removes what killed runs left in a native folder, once per folder; `folderFd` is that
     *  folder, already opened below its drive's root. */
    void sweep(const std::string& folder, int folderFd);
    void markSwept(const std::string& folder);
    void forgetFolder(const std::string& folder);
    void forgetTree(const std::string& path);
    SystemError errorFor(int err, const Mapped& mapped) const;
    /** Opens the folder that holds a mapped path below its drive's root (see ConfinedFolder),
     *  and gives the path's name in it ("." for the root itself); 0 or the errno. */
    int openFolderOf(const Mapped& mapped, ConfinedFolder& folder, std::string& name);
    /** errorFor, and a link in the way of a write said as such. */
    SystemError writeError(int err, const Mapped& mapped) const;
    /** Opens a staged copy's temporary file for reading, below its drive's root; -1 with `err`
     *  set when it cannot be reached. */
    int openStaged(const StagedCopy& staged, int& err);
    /** Renames `temp` over `name` in the open folder, unless what is there is neither a file nor
     *  a folder; removes `temp` when that fails. */
    bool putInPlace(int folder, const std::string& temp, const std::string& name,
                    const Mapped& mapped, SystemError& error);
    /** The error of a new name that could not be made (created, or renamed to): a name the
     *  medium refuses says so. `from`, for a rename, is the native path renamed. */
    SystemError errorForNewName(int err, const Mapped& mapped,
                                const std::string& from = std::string()) const;
    bool checkRoot(char letter, std::string& root, SystemError& error);
    /** Whether the drive holds a FAT-family file system (vfat, msdos, exfat, also through FUSE):
     *  two-second local times, no owners or modes, names that ignore case. */
    bool fatFamily(char letter);

    // A walk lists folders on a thread of its own while the copies go on: the state below is
    // shared between them.
    std::mutex m_drivesMutex;
    std::unique_ptr<DriveTable> m_drives;
    std::unique_ptr<VolumeSource> m_volumes;
    // The volumes present at the last reading: one gone since was seen until now.
    std::set<std::string> m_presentBefore;
    std::mutex m_currentMutex;
    std::string m_currentDir = "c:\\";
    std::mutex m_namesMutex;
    std::map<std::string, FolderNames> m_folderNames;
    // Folders cleared of dead runs' temporary files (bounded like the names above).
    std::mutex m_sweptMutex;
    std::unordered_set<std::string> m_swept;
    std::uint64_t m_sweptRun = 0; // the run of the operation they were cleared in
};

} // namespace kx
