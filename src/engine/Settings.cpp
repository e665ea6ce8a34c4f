// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/Settings.h"

#include "engine/EngineTexts.h"
#include "support/TextHelpers.h"

#include <algorithm>
#include <cctype>

namespace kx {

namespace {

constexpr const char* kLeft = "Left";
constexpr const char* kTop = "Top";
constexpr const char* kWidth = "Width";
constexpr const char* kHeight = "Height";

bool isDrivePath(const std::string& path)
{
    const char c = path.size() >= 3 ? path[0] : '\0';
    return ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z')) && path[1] == ':' && path[2] == '\\';
}

} // namespace

// In per-computer mode the root carries the computer's folder (e:\OFFICE7\); storing that
// would switch the mode off at the next start, so the mode's own form is stored instead.
std::string storedBackupDrive(const BackupTarget& target)
{
    if (target.perComputerFolders && !target.base.empty())
        return std::string(1, target.base[0]) + ":\\\\";
    return target.base;
}

char chosenBackupDrive(DataStore& data)
{
    const std::string stored =
        data.openSettings()->readString(settings::kDefaults, settings::kBackupDrive, std::string());
    if (!isDrivePath(stored))
        return 0;
    const char letter = static_cast<char>(std::tolower(static_cast<unsigned char>(stored[0])));
    return letter == 'c' ? '\0' : letter;
}

bool storeBackupDrive(DataStore& data, char letter, bool perComputerFolders)
{
    BackupTarget target;
    target.base = std::string(1, letter) + ":\\";
    target.perComputerFolders = perComputerFolders;
    auto store = data.openSettings();
    store->writeString(settings::kDefaults, settings::kBackupDrive, storedBackupDrive(target));
    return store->sync();
}

void readSettings(DataStore& data, BackupTarget& target, MediaRecords& media, UserInterface& ui,
                  Language language)
{
    auto store = data.openSettings();
    target.base = store->readString(settings::kDefaults, settings::kBackupDrive, "c:\\");
    // An empty or garbled value would name no drive: it counts as missing.
    if (!isDrivePath(target.base))
        target.base = "c:\\";
    target.perComputerFolders =
        target.base.size() >= 4 && target.base[2] == '\\' && target.base[3] == '\\';

    if (!readMediaRecords(*store, media))
        ui.warn(inLanguage(language, text::atMost25BackupDrives));
}

bool readMediaRecords(SettingsStore& store, MediaRecords& media)
{
    // Each section counts on its own: one of more than kMaxMedia media gives no values at all,
    // as the program has always done, and its dates are told about.
    media.byKey.clear();
    const std::vector<std::string> dated = store.idents(settings::kLastBackup);
    const bool datesRead = dated.size() <= static_cast<std::size_t>(kMaxMedia);
    if (datesRead)
        for (const std::string& key : dated)
            media.byKey[key].lastBackupDate = store.readDate(settings::kLastBackup, key);
    const std::vector<std::string> sized = store.idents(settings::kTotalSize);
    if (sized.size() <= static_cast<std::size_t>(kMaxMedia))
        for (const std::string& key : sized)
            media.byKey[key].totalSize = store.readInteger(settings::kTotalSize, key, 0);
    return datesRead;
}

bool readFirstTime(DataStore& data)
{
    return data.openSettings()->readFlag(settings::kDefaults, settings::kFirstTime, true);
}

void writeSettings(DataStore& data, const BackupTarget& target, const WindowGeometry& geometry)
{
    auto store = data.openSettings();
    store->writeInteger(settings::kDefaults, kLeft, geometry.left);
    store->writeInteger(settings::kDefaults, kTop, geometry.top);
    store->writeInteger(settings::kDefaults, kHeight, geometry.height);
    store->writeInteger(settings::kDefaults, kWidth, geometry.width);
    store->writeFlag(settings::kDefaults, settings::kFirstTime, false);
    store->writeString(settings::kDefaults, settings::kBackupDrive, storedBackupDrive(target));
    store->sync();
}

WindowGeometry readMainWindowGeometry(DataStore& data)
{
    auto store = data.openSettings();
    WindowGeometry g;
    g.left = static_cast<int>(store->readInteger(settings::kDefaults, kLeft, 130));
    if (g.left < 0)
        g.left = 100;
    g.top = static_cast<int>(store->readInteger(settings::kDefaults, kTop, 100));
    g.width = static_cast<int>(store->readInteger(settings::kDefaults, kWidth, 600));
    g.height = static_cast<int>(store->readInteger(settings::kDefaults, kHeight, 342));
    return g;
}

} // namespace kx
