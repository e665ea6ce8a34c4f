// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "engine/EngineContext.h"
#include "engine/RunResult.h"

namespace kx {

/** Restore All: after the user's confirmation, copies every backup file of the medium back over
 *  its source and writes the summary. `declined` when the user said No; `entered` false when the
 *  backup root could not be entered (then no summary is written). A stop ends the run at the
 *  next file boundary and shows the summary so far with the stop line. Every drive written to
 *  is flushed before the summary; a flush that fails is a failure (`flushFailed`). Before the
 *  first copy a silent walk finds what the restore will write (`filesToWrite`, `bytesToWrite`);
 *  a drive that cannot hold it is told, and the user may have what fits copied (`noRoom`; with
 *  `declined` when nothing was copied). */
RunResult restoreAll(EngineContext& ctx);

} // namespace kx
