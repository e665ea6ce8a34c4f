// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "engine/BackupTarget.h"
#include "engine/MediaRecords.h"
#include "worker/DriveFindings.h"

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
};

} // namespace kx
