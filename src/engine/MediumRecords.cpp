// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/MediumRecords.h"

#include "engine/BackupLayout.h"
#include "engine/EngineTexts.h"
#include "engine/Settings.h"
#include "engine/StatusLine.h"
#include "support/DriveQueries.h"
#include "support/FileDate.h"
#include "support/TextHelpers.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace kx {

namespace {

char backupLetter(const BackupTarget& target)
{
    return target.base.empty()
               ? 'c'
               : static_cast<char>(std::tolower(static_cast<unsigned char>(target.base[0])));
}

bool onFloppyDrive(const std::string& base)
{
    return !base.empty() && (base[0] == 'a' || base[0] == 'A' || base[0] == 'b' || base[0] == 'B');
}

// The keys under which the records of the medium were kept until now: a label was cut at its
// first "]", and network drives and RAM disks showed no label in the drive lists, so their
// media were known by the letter alone ("f-").
std::vector<std::string> earlierKeys(EngineContext& ctx, char letter, const std::string& listText)
{
    std::vector<std::string> keys;
    const std::size_t close = listText.find(']');
    if (close != std::string::npos)
        keys.push_back(layout::driveKeyOf(letter, listText.substr(0, close + 1)));
    const DriveType type = driveTypeOf(ctx.platform, letter);
    if (type == DriveType::Remote || type == DriveType::RamDisk)
        keys.push_back(layout::driveKeyOf(letter, std::string(1, letter) + ":"));
    return keys;
}

// When the medium's own key has no record yet, a record under an earlier key is taken to be its
// own and moves there.
void carryOverEarlierRecord(EngineContext& ctx, char letter, const std::string& listText,
                            const std::string& key)
{
    auto store = ctx.platform.openSettings();
    const auto recorded = [&store](const std::string& k) {
        return store->contains(settings::kLastBackup, k) ||
               store->contains(settings::kTotalSize, k);
    };
    if (recorded(key))
        return;
    for (const std::string& earlier : earlierKeys(ctx, letter, listText)) {
        if (earlier == key || !recorded(earlier))
            continue;
        if (store->contains(settings::kLastBackup, earlier))
            store->writeDate(settings::kLastBackup, key,
                             store->readDate(settings::kLastBackup, earlier));
        if (store->contains(settings::kTotalSize, earlier))
            store->writeInteger(settings::kTotalSize, key,
                                store->readInteger(settings::kTotalSize, earlier, 0));
        store->remove(settings::kLastBackup, earlier);
        store->remove(settings::kTotalSize, earlier);
        store->sync();
        return;
    }
}

} // namespace

std::string backupDriveText(EngineContext& ctx)
{
    return driveListText(ctx.platform, backupLetter(ctx.target));
}

std::string dateText(EngineContext& ctx, double dateTime)
{
    return ctx.facts.windowDates ? ctx.platform.formatWindowDateTime(dateTime)
                                 : ctx.platform.formatDateTime(dateTime);
}

void writeLastDate(EngineContext& ctx, std::int64_t totalSize, double lastDate)
{
    // A medium holds no less than nothing: such a total is no record to keep.
    if (totalSize <= 0)
        return;
    const std::string listText = backupDriveText(ctx);
    const std::string key = layout::driveKeyOf(backupLetter(ctx.target), listText);
    {
        auto store = ctx.platform.openSettings();
        store->writeDate(settings::kLastBackup, key, lastDate);
        store->writeInteger(settings::kTotalSize, key, totalSize);
        store->sync();
    }
    ctx.ui.status(backupDriveStatusLine(ctx.language(), DriveStatus::LastBackup, listText,
                                        dateText(ctx, now(ctx.platform))));
}

void writeBackRecord(EngineContext& ctx)
{
    // Without a date no backup of the medium is known: a window makes up no record.
    const MediumRecord& current = ctx.media.current;
    if (current.lastBackupDate == 0)
        return;
    const std::string key = layout::driveKeyOf(backupLetter(ctx.target), backupDriveText(ctx));
    if (current.lastBackupDate < ctx.platform.openSettings()->readDate(settings::kLastBackup, key))
        return;
    writeLastDate(ctx, current.totalSize, current.lastBackupDate);
}

std::string lastBackupText(EngineContext& ctx, double lastDate)
{
    if (lastDate == 0)
        return backupDriveText(ctx) + inLanguage(ctx.language(), text::statusDateUnknown);
    return dateText(ctx, lastDate);
}

std::string lastBackupStatusLine(EngineContext& ctx, DriveStatus form, double lastDate)
{
    if (lastDate == 0)
        return backupDriveStatusLine(ctx.language(), DriveStatus::DateUnknown,
                                     backupDriveText(ctx));
    return backupDriveStatusLine(ctx.language(), form, backupDriveText(ctx),
                                 dateText(ctx, lastDate));
}

void ensureAutorunFile(EngineContext& ctx)
{
    if (!ctx.platform.wantsAutorunFile())
        return;
    const DriveType type = driveTypeOf(ctx.platform, backupLetter(ctx.target));
    if (type != DriveType::CdRom && type != DriveType::Removable && type != DriveType::RamDisk)
        return;
    const std::string path = ctx.target.base + "Autorun.inf";
    // A fixed name: a medium written elsewhere may hold it as AUTORUN.INF.
    if (!ctx.platform.findPath(path).empty())
        return;
    const std::string contents =
        "[autorun]\r\nopen= " + ctx.facts.startDir + kProductName + ".exe\r\n";
    if (!ctx.platform.writeFile(path, contents))
        ctx.ui.warn(inLanguage(ctx.language(), text::backupDriveNotWritable) + ctx.target.base +
                    inLanguage(ctx.language(), text::isNotWritable));
}

BackupDriveChoice selectBackupDrive(EngineContext& ctx, char letter, DriveChoiceFlags flags)
{
    BackupTarget& target = ctx.target;
    letter = static_cast<char>(std::tolower(static_cast<unsigned char>(letter)));
    target.computerFolder = target.perComputerFolders ? computerName(ctx.platform) + "\\" : "";
    BackupDriveChoice choice;
    if (!flags.windowsReady)
        return choice;
    choice.made = true;

    if (letter == 'a' && mediumMissing(ctx.platform, 'a')) {
        target.base = "a:\\";
        choice.noFloppy = true;
        if (!flags.floppyTold) {
            choice.floppyTold = true;
            ctx.ui.status(backupDriveStatusLine(ctx.language(), DriveStatus::NoFloppy,
                                                driveListText(ctx.platform, 'a')));
        }
        return choice;
    }

    target.base = std::string(1, letter) + ":\\" + target.computerFolder;
    if (const auto root = ctx.platform.openDir(std::string(1, letter) + ":\\"); !root)
        choice.noDisk = showDriveError(ctx, root.error());

    const std::string listText = backupDriveText(ctx);
    MediaRecords& media = ctx.media;
    media.currentKey = layout::driveKeyOf(letter, listText);
    // Read afresh: a run of the command line, or of this program, may have stored a record
    // since the last choice.
    carryOverEarlierRecord(ctx, letter, listText, media.currentKey);
    readMediaRecords(*ctx.platform.openSettings(), media);
    const auto record = media.byKey.find(media.currentKey);
    media.current = record == media.byKey.end() ? MediumRecord{} : record->second;

    std::string lastLabel;
    // The default c: stands for no choice at all: the line says how to make one.
    if (letter == 'c' && chosenBackupDrive(ctx.platform) == 0)
        ctx.ui.status(backupDriveStatusLine(ctx.language(), DriveStatus::NoBackupDrive, listText));
    else if (choice.noDisk && ctx.platform.mediumNotMounted(letter, lastLabel))
        ctx.ui.status(backupDriveStatusLine(ctx.language(), DriveStatus::NotMounted, listText));
    else if (choice.noDisk)
        ctx.ui.status(backupDriveStatusLine(ctx.language(), DriveStatus::NoDisk, listText));
    else if (media.current.lastBackupDate == 0)
        ctx.ui.status(backupDriveStatusLine(ctx.language(), DriveStatus::DateUnknown, listText));
    else
        ctx.ui.status(backupDriveStatusLine(ctx.language(), DriveStatus::LastBackup, listText,
                                            dateText(ctx, media.current.lastBackupDate)));
    return choice;
}

std::string notMountedText(EngineContext& ctx)
{
    const std::string& base = ctx.target.base;
    std::string label;
    if (base.empty() || !ctx.platform.mediumNotMounted(base[0], label))
        return std::string();
    const std::string drive = base.substr(0, 1) + ":";
    return label.empty() ? fillIn(inLanguage(ctx.language(), text::backupDriveNotMounted), {drive})
                         : fillIn(inLanguage(ctx.language(), text::labelledBackupDriveNotMounted),
                                  {drive, label});
}

bool showDriveError(EngineContext& ctx, const SystemError& error)
{
    const std::string& base = ctx.target.base;
    const auto say = [&](const Text& text) {
        return std::string(inLanguage(ctx.language(), text));
    };
    std::string text;
    switch (error.code) {
    case 51:
        text = say(text::networkComputerNotListening);
        break;
    case 65:
        text = say(text::noAccessToNetwork);
        break;
    case 32:
        text = say(text::fileAlreadyInUse);
        break;
    case 5:
        text = say(text::noAccessTo) + base;
        break;
    case 21:
        text = notMountedText(ctx);
        if (text.empty())
            text = say(onFloppyDrive(base) ? text::noFloppyInDrive : text::noCdInDrive) + base;
        break;
    default:
        text = say(onFloppyDrive(base) ? text::somethingIsWrongWithFloppy
                                       : text::somethingIsWrongWithDisk) +
               base;
    }
    ctx.ui.warn(text);
    return error.code == 21;
}

} // namespace kx
