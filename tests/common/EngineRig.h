// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "common/Fixture.h"
#include "common/RecordingUi.h"
#include "engine/ActivityLog.h"
#include "engine/EngineContext.h"
#include "engine/MediumRecords.h"
#include "worker/DriveFlags.h"

#include <QFile>
#include <QStringList>

#include <memory>

namespace kx::test {

/** An engine context over a fixture's platform, with a recording user and no daylight saving. */
struct EngineRig
{
    explicit EngineRig(std::unique_ptr<Platform> p, const std::string& language = "")
        : platform(std::move(p)), log(*platform, *platform)
    {
        facts.languageCode = language;
    }

    /** Chooses the backup drive as the windows do once they are up. */
    BackupDriveChoice selectBackupDrive(char letter = 'e')
    {
        return kx::selectBackupDrive(ctx, letter, {.windowsReady = true});
    }

    QStringList shownLines() const
    {
        QStringList lines;
        for (const auto& l : ui.outputLines)
            lines << QString::fromStdString(l);
        return lines;
    }

    std::unique_ptr<Platform> platform;
    BackupTarget target;
    MediaRecords media;
    RecordingUi ui;
    ActivityLog log;
    SystemFacts facts;
    EngineContext ctx{*platform, target, media, ui, log, facts};
    /** What the windows learn of the backup drive, for the windows a test builds on the rig. */
    DriveFlags driveFlags;
};

} // namespace kx::test
