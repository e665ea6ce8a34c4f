#pragma once

#include "platform/Platform.h"

#include <map>
#include <memory>
#include <optional>

namespace kx::test {

/** A real platform with a few answers overridden (file-system names, label errors, the zone, the
 *  locale, the clock) and the drive queries and trash calls counted, for what a fixture of plain
 *  folders cannot show. */
class ProbePlatform : public Platform
{
public:
    explicit ProbePlatform(std::unique_ptr<Platform> inner) : m_inner(std::move(inner)) {}

    std::map<char, std::string> fileSystems;
    std::map<char, SystemError> labelErrors;
    std::optional<TimeZoneRecords> zone;
    std::optional<std::string> locale;
    std::optional<std::int64_t> clock;
    int driveQueries = 0;
    int trashCalls = 0;

    std::vector<char> driveLetters() override { return m_inner->driveLetters(); }
    std::string driveType(char letter) override
    {
        ++driveQueries;
        return m_inner->driveType(letter);
    }
    bool volumeLabel(char letter, std::string& label, SystemError& error) override
    {
        ++driveQueries;
        const auto it = labelErrors.find(letter);
        if (it == labelErrors.end())
            return m_inner->volumeLabel(letter, label, error);
        error = it->second;
        return false;
    }
    std::string fileSystemName(char letter) override
    {
        ++driveQueries;
        const auto it = fileSystems.find(letter);
        return it == fileSystems.end() ? m_inner->fileSystemName(letter) : it->second;
    }
    std::int64_t freeSpace(char letter) override { return m_inner->freeSpace(letter); }
    std::int64_t totalSpace(char letter) override { return m_inner->totalSpace(letter); }
    bool setVolumeLabel(char letter, const std::string& label) override
    {
        return m_inner->setVolumeLabel(letter, label);
    }
    void flushDrive(char letter) override { m_inner->flushDrive(letter); }
    std::string nativePath(const std::string& drivePath) override
    {
        return m_inner->nativePath(drivePath);
    }

    bool fileInfo(const std::string& path, FileInfo& info) override
    {
        return m_inner->fileInfo(path, info);
    }
    std::unique_ptr<DirListing> openDir(const std::string& path, SystemError& error) override
    {
        return m_inner->openDir(path, error);
    }
    bool copyFile(const std::string& source, const std::string& dest, SystemError& error) override
    {
        return m_inner->copyFile(source, dest, error);
    }
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
        ++trashCalls;
        return m_inner->moveToTrash(path, error);
    }
    bool setModificationTime(const std::string& path, std::int64_t mtime,
                             SystemError& error) override
    {
        return m_inner->setModificationTime(path, mtime, error);
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

    std::string dataFolder() override { return m_inner->dataFolder(); }
    bool appendDataFile(const std::string& name, const std::string& bytes) override
    {
        return m_inner->appendDataFile(name, bytes);
    }
    bool renameDataFile(const std::string& from, const std::string& to) override
    {
        return m_inner->renameDataFile(from, to);
    }
    bool removeDataFile(const std::string& name) override { return m_inner->removeDataFile(name); }
    std::unique_ptr<SettingsStore> openSettings() override { return m_inner->openSettings(); }

    std::int64_t now() override { return clock ? *clock : m_inner->now(); }
    LocalTime toLocal(std::int64_t utcSeconds) override { return m_inner->toLocal(utcSeconds); }
    std::int64_t fromLocal(const LocalTime& local) override { return m_inner->fromLocal(local); }
    TimeZoneRecords timeZone(int year) override { return zone ? *zone : m_inner->timeZone(year); }
    std::string localeName() override { return locale ? *locale : m_inner->localeName(); }
    char decimalSeparator() override { return m_inner->decimalSeparator(); }
    std::string formatDateTime(double dateTime) override
    {
        return m_inner->formatDateTime(dateTime);
    }
    std::string computerName() override { return m_inner->computerName(); }

private:
    std::unique_ptr<Platform> m_inner;
};

} // namespace kx::test
