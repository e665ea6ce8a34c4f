// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "engine/EngineContext.h"
#include "engine/RunResult.h"

namespace kx {

/**
 * Make Backups: writes the autorun file on the medium, refreshes every backup file on it from
 * its newer source, records the medium's date and total when anything was copied, and writes the
 * summary to the memo and the log. A run the user stops ends at the next file boundary, shows
 * its summary so far with the stop line, and records nothing as the medium's last backup. The
 * medium is flushed after the last rename; a flush that fails (a batch's or that last one) is a
 * failure, and nothing is recorded then either. The result's `entered` is false when the backup
 * root could not be entered (the summary then shows zero files).
 */
RunResult makeBackups(EngineContext& ctx);

} // namespace kx
