// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/Platform.h"

#include <memory>

namespace kx::test {

/** A platform that hands every call to a real one; test platforms derive from it and override
 *  only what they change or record. */
class ForwardingPlatform : public Platform
{
public:
    explicit ForwardingPlatform(std::unique_ptr<Platform> inner) : m_inner(std::move(inner)) {}

    Platform& inner() { return *m_inner; }

    // Drives
    std::vector<char> driveLetters() override { return m_inner->driveLetters(); }
    DriveType driveType(char letter) override { return m_inner->driveType(letter); }
    Result<std::string> volumeLabel(char letter) override { return m_inner->volumeLabel(letter); }
    std::string fileSystemName(char letter) override { return m_inner->fileSystemName(letter); }
    std::int64_t freeSpace(char letter) override { return m_inner->freeSpace(letter); }
    std::int64_t totalSpace(char letter) override { return m_inner->totalSpace(letter); }
    bool setVolumeLabel(char letter, const std::string& label) override
    {
        return m_inner->setVolumeLabel(letter, label);
    }
    Result<void> flushDrive(char letter) override { return m_inner->flushDrive(letter); }
    std::string unfitForBackup(char letter) override { return m_inner->unfitForBackup(letter); }
    std::string nativePath(const std::string& drivePath) override
    {
        return m_inner->nativePath(drivePath);
    }
    std::string displayPath(const std::string& drivePath) override
    {
        return m_inner->displayPath(drivePath);
    }
    bool mediumNotMounted(char letter, std::string& label) override
    {
        return m_inner->mediumNotMounted(letter, label);
    }
    void reloadDrives() override { m_inner->reloadDrives(); }
    std::string temporaryArea(char letter) override { return m_inner->temporaryArea(letter); }
    bool namesIgnoreCase(char letter) override { return m_inner->namesIgnoreCase(letter); }
    bool mediaTimesFollowDaylightSaving(char letter) override
    {
        return m_inner->mediaTimesFollowDaylightSaving(letter);
    }
    bool keepsExactTimes(char letter) override { return m_inner->keepsExactTimes(letter); }
    bool wantsAutorunFile() override { return m_inner->wantsAutorunFile(); }
    std::string homeFolder() override { return m_inner->homeFolder(); }
    std::string drivePathOf(const std::string& nativePath) override
    {
        return m_inner->drivePathOf(nativePath);
    }
    Result<char> driveForFolder(const std::string& nativeFolder) override
    {
        return m_inner->driveForFolder(nativeFolder);
    }

    // Files
    Result<FileInfo> fileStatus(const std::string& path) override
    {
        return m_inner->fileStatus(path);
    }
    std::string findPath(const std::string& drivePath) override
    {
        return m_inner->findPath(drivePath);
    }
    Result<std::unique_ptr<DirListing>> openDir(const std::string& path) override
    {
        return m_inner->openDir(path);
    }
    Result<void> copyFile(const std::string& source, const std::string& dest) override
    {
        return m_inner->copyFile(source, dest);
    }
    Result<StagedCopy> stageCopy(const std::string& source, const std::string& dest) override
    {
        return m_inner->stageCopy(source, dest);
    }
    void watchStop(const std::atomic<bool>* flag) override
    {
        Files::watchStop(flag);
        m_inner->watchStop(flag);
    }
    FileComparison compareFiles(const std::string& first, const std::string& second) override
    {
        return m_inner->compareFiles(first, second);
    }
    Result<void> flushStaged(const std::vector<StagedCopy>& staged) override
    {
        return m_inner->flushStaged(staged);
    }
    Result<void> commitStaged(const StagedCopy& staged) override
    {
        return m_inner->commitStaged(staged);
    }
    void discardStaged(const StagedCopy& staged) override { m_inner->discardStaged(staged); }
    Result<void> makeDirs(const std::string& path) override { return m_inner->makeDirs(path); }
    Result<void> removeFile(const std::string& path) override { return m_inner->removeFile(path); }
    Result<void> removeDir(const std::string& path) override { return m_inner->removeDir(path); }
    Result<void> renamePath(const std::string& from, const std::string& to) override
    {
        return m_inner->renamePath(from, to);
    }
    Result<void> moveToTrash(const std::string& path) override
    {
        return m_inner->moveToTrash(path);
    }
    Result<void> setModificationTime(const std::string& path, std::int64_t mtime,
                                     std::int32_t ticks) override
    {
        return m_inner->setModificationTime(path, mtime, ticks);
    }
    Result<void> setReadOnly(const std::string& path, bool readOnly) override
    {
        return m_inner->setReadOnly(path, readOnly);
    }
    Result<void> writeFile(const std::string& path, const std::string& bytes) override
    {
        return m_inner->writeFile(path, bytes);
    }
    std::string currentDirectory() override { return m_inner->currentDirectory(); }
    Result<void> setCurrentDirectory(const std::string& path) override
    {
        return m_inner->setCurrentDirectory(path);
    }

    // DataStore
    std::string dataFolder() override { return m_inner->dataFolder(); }
    Result<void> appendDataFile(const std::string& name, const std::string& bytes) override
    {
        return m_inner->appendDataFile(name, bytes);
    }
    bool renameDataFile(const std::string& from, const std::string& to) override
    {
        return m_inner->renameDataFile(from, to);
    }
    bool removeDataFile(const std::string& name) override { return m_inner->removeDataFile(name); }
    std::unique_ptr<SettingsStore> openSettings() override { return m_inner->openSettings(); }

    // Clock
    std::int64_t now() override { return m_inner->now(); }
    LocalTime toLocal(std::int64_t utcSeconds) override { return m_inner->toLocal(utcSeconds); }
    std::int64_t fromLocal(const LocalTime& local) override { return m_inner->fromLocal(local); }
    TimeZoneRecords timeZone(int year) override { return m_inner->timeZone(year); }
    std::string formatDateTime(double dateTime) override
    {
        return m_inner->formatDateTime(dateTime);
    }
    std::string formatWindowDateTime(double dateTime) override
    {
        return m_inner->formatWindowDateTime(dateTime);
    }

    // Locale
    std::string localeName() override { return m_inner->localeName(); }
    char decimalSeparator() override { return m_inner->decimalSeparator(); }
    std::string computerName() override { return m_inner->computerName(); }

private:
    std::unique_ptr<Platform> m_inner;
};

} // namespace kx::test
