// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/windows/WindowsPlatform.h"

namespace kx {

namespace {

SystemError notYet()
{
    return SystemError{50, "Not supported yet"};
}

} // namespace

WindowsPlatform::WindowsPlatform() = default;
WindowsPlatform::~WindowsPlatform() = default;

std::vector<char> WindowsPlatform::driveLetters()
{
    return {};
}

DriveType WindowsPlatform::driveType(char /*letter*/)
{
    return {};
}

Result<std::string> WindowsPlatform::volumeLabel(char /*letter*/)
{
    return notYet();
}

std::string WindowsPlatform::fileSystemName(char /*letter*/)
{
    return {};
}

std::int64_t WindowsPlatform::freeSpace(char /*letter*/)
{
    return -1;
}

std::int64_t WindowsPlatform::totalSpace(char /*letter*/)
{
    return -1;
}

bool WindowsPlatform::setVolumeLabel(char /*letter*/, const std::string& /*label*/)
{
    return false;
}

Result<void> WindowsPlatform::flushDrive(char /*letter*/)
{
    return notYet();
}

std::string WindowsPlatform::unfitForBackup(char /*letter*/)
{
    return {};
}

std::string WindowsPlatform::nativePath(const std::string& /*drivePath*/)
{
    return {};
}

void WindowsPlatform::reloadDrives() {}

std::string WindowsPlatform::temporaryArea(char /*letter*/)
{
    return {};
}

bool WindowsPlatform::namesIgnoreCase(char /*letter*/)
{
    return false;
}

bool WindowsPlatform::mediaTimesFollowDaylightSaving(char /*letter*/)
{
    return false;
}

bool WindowsPlatform::keepsExactTimes(char /*letter*/)
{
    return false;
}

bool WindowsPlatform::wantsAutorunFile()
{
    return false;
}

std::string WindowsPlatform::homeFolder()
{
    return {};
}

std::string WindowsPlatform::drivePathOf(const std::string& /*nativePath*/)
{
    return {};
}

Result<char> WindowsPlatform::driveForFolder(const std::string& /*nativeFolder*/)
{
    return notYet();
}

std::int64_t WindowsPlatform::now()
{
    return -1;
}

LocalTime WindowsPlatform::toLocal(std::int64_t /*utcSeconds*/)
{
    return {};
}

std::int64_t WindowsPlatform::fromLocal(const LocalTime& /*local*/)
{
    return -1;
}

TimeZoneRecords WindowsPlatform::timeZone(int /*year*/)
{
    return {};
}

std::string WindowsPlatform::formatDateTime(double /*dateTime*/)
{
    return {};
}

std::string WindowsPlatform::formatWindowDateTime(double /*dateTime*/)
{
    return {};
}

std::string WindowsPlatform::localeName()
{
    return {};
}

char WindowsPlatform::decimalSeparator()
{
    return '.';
}

std::string WindowsPlatform::computerName()
{
    return {};
}

std::unique_ptr<Platform> createPlatform()
{
    return std::make_unique<WindowsPlatform>();
}

bool displayAvailable()
{
    return false;
}

} // namespace kx
