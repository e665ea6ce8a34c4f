// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "engine/EngineContext.h"
#include "engine/RunResult.h"

#include <optional>

namespace kx {

/** What a Duplicate did, and where it held the medium's copy meanwhile. */
struct DuplicateResult : RunResult
{
    /** The drive of the temporary area, once one was chosen; 0 before. */
    char tempDrive = 0;
    /** Whether drive a: held no floppy when the run looked; empty when it did not look. */
    std::optional<bool> noFloppy;
};

/** Duplicate: copies the backup medium through a temporary area on the drive with the most free
 *  space onto a new medium in the same drive, makes sure the new medium has a name of its own,
 *  removes the temporary area and records the new medium. `completed` when the run went to its
 *  end; a cancel, a check or the user's stop ends it before (a stop shows the half's summary so
 *  far with the stop line and records nothing, and removes the temporary copies made so far).
 *  The copied counts are those of the last half run; `failedCount` counts the failures of both
 *  halves, and a run with any says that the copy is not complete and which files it lacks. */
DuplicateResult duplicateMedium(EngineContext& ctx);

} // namespace kx
