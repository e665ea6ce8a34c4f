// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "engine/BackupTarget.h"
#include "engine/MediaRecords.h"
#include "worker/DriveFindings.h"
#include "worker/DriveFlags.h"

namespace kx {

/**
 * What a run leaves for its window: the backup target and the media's records as the run left
 * its own copies of them (taken when it started), and what it found of the backup drive. The
 * window applies it on the GUI thread once the run has ended; until then the worker touches
 * nothing the window owns.
 */
struct RunOutcome
{
    BackupTarget target;
    MediaRecords media;
    DriveFindings drive;

    /** Puts the run's target and records in place of the window's, and keeps the flags it
     *  found; a flag the run did not look at stays as it was. */
    void applyTo(BackupTarget& toTarget, MediaRecords& toMedia, DriveFlags& toFlags) const
    {
        toTarget = target;
        toMedia = media;
        if (drive.noDisk)
            toFlags.noDisk = *drive.noDisk;
        if (drive.noFloppy)
            toFlags.noFloppy = *drive.noFloppy;
    }
};

} // namespace kx
