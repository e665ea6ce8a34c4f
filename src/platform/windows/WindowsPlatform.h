// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/Platform.h"

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_set>
#include <vector>

namespace kx {

/**
 * The platform on Windows: the drive letters are the system's own, files through the wide Win32
 * calls (long paths with the \\?\ prefix), settings in the registry under
 * HKEY_CURRENT_USER\Software\Kopierix, the log in the user's application-data folder.
 *
 * Its calls are implemented by part: the drives, clock and locale in WindowsPlatform.cpp, the
 * files in WindowsFiles.cpp, the data store in WindowsDataStore.cpp.
 */
class WindowsPlatform : public Platform
{
public:
    WindowsPlatform();
    ~WindowsPlatform() override;

    // Drives
    std::vector<char> driveLetters() override;
    DriveType driveType(char letter) override;
    Result<std::string> volumeLabel(char letter) override;
    std::string fileSystemName(char letter) override;
    std::int64_t freeSpace(char letter) override;
    std::int64_t totalSpace(char letter) override;
    bool setVolumeLabel(char letter, const std::string& label) override;
    Result<void> flushDrive(char letter) override;
    std::string unfitForBackup(char letter) override;
    std::string nativePath(const std::string& drivePath) override;
    void reloadDrives() override;
    std::string temporaryArea(char letter) override;
    bool namesIgnoreCase(char letter) override;
    bool mediaTimesFollowDaylightSaving(char letter) override;
    bool keepsExactTimes(char letter) override;
    bool wantsAutorunFile() override;
    std::string homeFolder() override;
    std::string drivePathOf(const std::string& nativePath) override;
    Result<char> driveForFolder(const std::string& nativeFolder) override;

    // Files
    Result<FileInfo> fileStatus(const std::string& path) override;
    std::string findPath(const std::string& drivePath) override;
    Result<std::unique_ptr<DirListing>> openDir(const std::string& path) override;
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

    // DataStore
    std::string dataFolder() override;
    Result<void> appendDataFile(const std::string& name, const std::string& bytes) override;
    bool renameDataFile(const std::string& from, const std::string& to) override;
    bool removeDataFile(const std::string& name) override;
    std::unique_ptr<SettingsStore> openSettings() override;

    // Clock
    std::int64_t now() override;
    LocalTime toLocal(std::int64_t utcSeconds) override;
    std::int64_t fromLocal(const LocalTime& local) override;
    TimeZoneRecords timeZone(int year) override;
    std::string formatDateTime(double dateTime) override;
    std::string formatWindowDateTime(double dateTime) override;

    // Locale
    std::string localeName() override;
    char decimalSeparator() override;
    std::string computerName() override;

private:
    std::mutex m_currentMutex;
    std::string m_currentDir = "c:\\";

    // Files
    void markSwept(const std::wstring& folder);
    void sweep(const std::wstring& folder);
    std::mutex m_sweptMutex;
    std::unordered_set<std::wstring> m_swept; // folders cleared of dead runs' temporary files
    std::uint64_t m_sweptRun = 0;             // the run of the operation they were cleared in
    std::mutex m_stagedMutex;
    std::unordered_set<std::string> m_readOnlyStaged; // staged copies that go in read-only
};

} // namespace kx
