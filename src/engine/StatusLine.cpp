// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/StatusLine.h"

#include "engine/EngineTexts.h"

namespace kx {

std::string backupDriveStatusLine(Language language, DriveStatus status,
                                  const std::string& driveText, const std::string& date)
{
    auto t = [language](const Text& text) { return std::string(inLanguage(language, text)); };
    switch (status) {
    case DriveStatus::LastBackup:
        return t(text::statusDrive) + driveText + t(text::statusLastBackup) + date;
    case DriveStatus::LastBackupAfterDuplicate:
        return t(text::statusDriveAfterDuplicate) + driveText + t(text::statusLastBackup) + date;
    case DriveStatus::DateUnknown:
        return t(text::statusDrive) + driveText + t(text::statusDateUnknown);
    case DriveStatus::NoDisk:
        return t(text::statusDriveNoMedium) + driveText + t(text::statusNoDisk);
    case DriveStatus::NotMounted:
        return t(text::statusDriveNoMedium) + driveText + t(text::statusNotMounted);
    case DriveStatus::NoFloppy:
        return t(text::statusDriveNoMedium) + driveText + t(text::statusNoFloppy);
    case DriveStatus::NoBackupDrive:
        return t(text::statusNoBackupDrive);
    }
    return std::string();
}

} // namespace kx
