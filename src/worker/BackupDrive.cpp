// SPDX-License-Identifier: GPL-3.0-or-later
#include "worker/BackupDrive.h"

#include "engine/MediumRecords.h"
#include "engine/Settings.h"
#include "engine/StatusLine.h"
#include "support/DriveQueries.h"
#include "worker/BackupDriveTexts.h"

#include <algorithm>
#include <cctype>

namespace kx {

namespace {

char lowerLetter(char letter)
{
    return static_cast<char>(std::tolower(static_cast<unsigned char>(letter)));
}

bool onFloppyDrive(const std::string& base)
{
    return !base.empty() && (lowerLetter(base[0]) == 'a' || lowerLetter(base[0]) == 'b');
}

} // namespace

BackupDrive::BackupDrive(EngineContext& ctx, DriveFlags& flags, QObject* parent)
    : QObject(parent), m_ctx(ctx), m_flags(flags)
{
    auto store = m_ctx.platform.openSettings();
    m_ctx.target.base = store->readString(settings::kDefaults, settings::kBackupDrive, "c:\\");
}

char BackupDrive::letter() const
{
    return m_ctx.target.base.empty() ? '\0' : lowerLetter(m_ctx.target.base[0]);
}

void BackupDrive::start()
{
    emit aboutToStart();
    m_ready = true;
    // The drive lists hold the drives of the table; where the stored drive is not among them,
    // they stand on c:, or on their first drive where there is no c:.
    const std::vector<char> letters = m_ctx.platform.driveLetters();
    const auto listed = [&letters](char letter) {
        return std::any_of(letters.begin(), letters.end(),
                           [letter](char l) { return lowerLetter(l) == letter; });
    };
    char letter = m_ctx.target.base.empty() ? 'c' : lowerLetter(m_ctx.target.base[0]);
    if (!listed(letter))
        letter = listed('c') ? 'c' : (letters.empty() ? '\0' : lowerLetter(letters.front()));
    if (letter != 0)
        choose(letter);
}

void BackupDrive::choose(char letter)
{
    letter = lowerLetter(letter);
    const BackupDriveChoice choice =
        selectBackupDrive(m_ctx, letter, {.windowsReady = m_ready, .floppyTold = m_floppyTold});
    m_floppyTold = m_floppyTold || choice.floppyTold;
    if (!choice.made)
        return;
    // Kept for store(), which keeps only a drive that held a medium.
    m_flags.noFloppy = choice.noFloppy;
    if (!choice.noFloppy)
        m_flags.noDisk = choice.noDisk;

    m_floppyMissing = mediumMissing(m_ctx.platform, 'a');
    if (m_floppyMissing && letter == 'a') {
        // The status line names the drive list's entry as it reads while the floppy is missing.
        if (choice.floppyTold)
            m_ctx.ui.status(backupDriveStatusLine(
                m_ctx.language(), DriveStatus::NoFloppy,
                inLanguage(m_ctx.language(), driveChoiceText::noFloppyEntry)));
        emit chosen(letter);
        return;
    }

    const DriveType type =
        driveTypeOf(m_ctx.platform, m_ctx.target.base.empty() ? letter : m_ctx.target.base[0]);
    emit chosen(letter);
    emit duplicateAllowedChanged(type == DriveType::CdRom || type == DriveType::Removable);
}

bool BackupDrive::checkFloppy()
{
    m_flags.noFloppy = mediumMissing(m_ctx.platform, 'a');
    return m_flags.noFloppy;
}

void BackupDrive::apply(const RunOutcome& outcome)
{
    outcome.applyTo(m_ctx.target, m_ctx.media, m_flags);
    emit changed();
}

void BackupDrive::store()
{
    // A drive that was not ready is not remembered, unless it is a floppy drive with a disk.
    if (m_flags.noDisk && !(onFloppyDrive(m_ctx.target.base) && !m_flags.noFloppy))
        return;
    auto store = m_ctx.platform.openSettings();
    store->writeString(settings::kDefaults, settings::kBackupDrive,
                       storedBackupDrive(m_ctx.target));
    store->sync();
}

} // namespace kx
