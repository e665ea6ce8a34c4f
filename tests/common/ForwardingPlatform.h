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

    std::vector<char> driveLetters() override { return m_inner->driveLetters(); }
    DriveType driveType(char letter) override { return m_inner->driveType(letter); }
    bool volumeLabel(char letter, std::string& label, SystemError& error) override
    {
        return m_inner->volumeLabel(letter, label, error);
    }
    std::string fileSystemName(char letter) override { return m_inner->fileSystemName(letter); }
    std::int64_t freeSpace(char letter) override { return m_inner->freeSpace(letter); }
    std::int64_t totalSpace(char letter) override { return m_inner->totalSpace(letter); }
    bool setVolumeLabel(char letter, const std::string& label) override
    {
        return m_inner->setVolumeLabel(letter, label);
    }
    bool flushDrive(char letter, SystemError& error) override
    {
        return m_inner->flushDrive(letter, error);
    }
    std::string unfitForBackup(char letter) override { return m_inner->unfitForBackup(letter); }
    std::string nativePath(const std::string& drivePath) override
    {
        return m_inner->nativePath(drivePath);
    }
    bool mediumNotMounted(char letter, std::string& label) override
    {
        return m_inner->mediumNotMounted(letter, label);
    }
    std::string displayPath(const std::string& drivePath) override
    {
        return m_inner->displayPath(drivePath);
    }
    void reloadDrives() override { m_inner->reloadDrives(); }
    std::string temporaryArea(char letter) override { return m_inner->temporaryArea(letter); }

    bool fileStatus(const std::string& path, FileInfo& info, SystemError& error) override
    {
        return m_inner->fileStatus(path, info, error);
    }
    std::string findPath(const std::string& drivePath) override
    {
        return m_inner->findPath(drivePath);
    }
    bool namesIgnoreCase(char letter) override { return m_inner->namesIgnoreCase(letter); }
    bool keepsExactTimes(char letter) override { return m_inner->keepsExactTimes(letter); }
    bool wantsAutorunFile() override { return m_inner->wantsAutorunFile(); }
    bool mediaTimesFollowDaylightSaving(char letter) override
    {
        return m_inner->mediaTimesFollowDaylightSaving(letter);
    }
    std::unique_ptr<DirListing> openDir(const std::string& path, SystemError& error) override
    {
        return m_inner->openDir(path, error);
    }
    bool copyFile(const std::string& source, const std::string& dest, SystemError& error) override
    {
        return m_inner->copyFile(source, dest, error);
    }
    bool stageCopy(const std::string& source, const std::string& dest, StagedCopy& staged,
                   SystemError& error) override
    {
        return m_inner->stageCopy(source, dest, staged, error);
    }
    void watchStop(const std::atomic<bool>* flag) override
    {
        Platform::watchStop(flag);
        m_inner->watchStop(flag);
    }
    FileComparison compareFiles(const std::string& first, const std::string& second) override
    {
        return m_inner->compareFiles(first, second);
    }
    bool flushStaged(const std::vector<StagedCopy>& staged, SystemError& error) override
    {
        return m_inner->flushStaged(staged, error);
    }
    bool commitStaged(const StagedCopy& staged, SystemError& error) override
    {
        return m_inner->commitStaged(staged, error);
    }
    void discardStaged(const StagedCopy& staged) override { m_inner->discardStaged(staged); }
    bool makeDirs(const std::string& path, SystemError& error) override
    {
        return m_inner->makeDirs(path, error);
    }
    bool removeFile(const std::string& path, SystemError& error) override
    {
        return m_inner->removeFile(path, error);
    }
    bool removeDir(const std::string& path, SystemError& error) override
    {
        return m_inner->removeDir(path, error);
    }
    bool renamePath(const std::string& from, const std::string& to, SystemError& error) override
    {
        return m_inner->renamePath(from, to, error);
    }
    bool moveToTrash(const std::string& path, SystemError& error) override
    {
        return m_inner->moveToTrash(path, error);
    }
    bool setModificationTime(const std::string& path, std::int64_t mtime, std::int32_t ticks,
                             SystemError& error) override
    {
        return m_inner->setModificationTime(path, mtime, ticks, error);
    }
    bool setReadOnly(const std::string& path, bool readOnly, SystemError& error) override
    {
        return m_inner->setReadOnly(path, readOnly, error);
    }
    bool writeFile(const std::string& path, const std::string& bytes, SystemError& error) override
    {
        return m_inner->writeFile(path, bytes, error);
    }
    std::string currentDirectory() override { return m_inner->currentDirectory(); }
    bool setCurrentDirectory(const std::string& path, SystemError& error) override
    {
        return m_inner->setCurrentDirectory(path, error);
    }

    std::string homeFolder() override { return m_inner->homeFolder(); }
    std::string drivePathOf(const std::string& nativePath) override
    {
        return m_inner->drivePathOf(nativePath);
    }
    char driveForFolder(const std::string& nativeFolder, SystemError& error) override
    {
        return m_inner->driveForFolder(nativeFolder, error);
    }
    std::string dataFolder() override { return m_inner->dataFolder(); }
    bool appendDataFile(const std::string& name, const std::string& bytes,
                        SystemError& error) override
    {
        return m_inner->appendDataFile(name, bytes, error);
    }
    bool renameDataFile(const std::string& from, const std::string& to) override
    {
        return m_inner->renameDataFile(from, to);
    }
    bool removeDataFile(const std::string& name) override { return m_inner->removeDataFile(name); }
    std::unique_ptr<SettingsStore> openSettings() override { return m_inner->openSettings(); }

    std::int64_t now() override { return m_inner->now(); }
    LocalTime toLocal(std::int64_t utcSeconds) override { return m_inner->toLocal(utcSeconds); }
    std::int64_t fromLocal(const LocalTime& local) override { return m_inner->fromLocal(local); }
    TimeZoneRecords timeZone(int year) override { return m_inner->timeZone(year); }
    std::string localeName() override { return m_inner->localeName(); }
    char decimalSeparator() override { return m_inner->decimalSeparator(); }
    std::string formatDateTime(double dateTime) override
    {
        return m_inner->formatDateTime(dateTime);
    }
    std::string formatWindowDateTime(double dateTime) override
    {
        return m_inner->formatWindowDateTime(dateTime);
    }
    std::string computerName() override { return m_inner->computerName(); }

private:
    std::unique_ptr<Platform> m_inner;
};

} // namespace kx::test
