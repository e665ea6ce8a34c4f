// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "engine/EngineContext.h"
#include "engine/RunResult.h"
#include "engine/TreeWalk.h"

#include <cstdint>

namespace kx {

/**
 * Make Backups: writes the autorun file on the medium, refreshes every backup file on it from
 * its newer source, records the medium's date and total when anything was copied, and writes the
 * summary to the output lines and the log. A run the user stops ends at the next file boundary,
 * shows its summary so far with the stop line, and records nothing as the medium's last backup. The
 * medium is flushed after the last rename; a flush that fails (a batch's or that last one) is a
 * failure, and nothing is recorded then either. The result's `entered` is false when the backup
 * root could not be entered (the summary then shows zero files).
 *
 * The medium is walked twice: first without a word, to find what the run will copy
 * (`filesToWrite`, `bytesToWrite`), then to copy, deciding again each file the first walk found
 * something to copy or to tell for (every file, past a bound of them). A first walk that
 * finds nothing to copy and nothing to tell is the whole run. A medium that cannot hold what
 * the run will write is told before the first copy; the user may have what fits copied, file by
 * file in the usual order, the rest failed copies and no new last-backup date (`noRoom`; with
 * `declined` when nothing was copied).
 */
RunResult makeBackups(EngineContext& ctx);

class FileCopy;

/** What Make Backups does with one backup file, and the sizes of a copy. */
struct FileVerdict
{
    enum Kind
    {
        LeaveAlone,
        NotReached,
        SourceIsFolder,
        Copy
    };
    Kind kind = LeaveAlone;
    std::int64_t newSize = 0;
    std::int64_t oldSize = 0;
};

/** The one rule for backup file `entry` in medium folder `folder`, given its source's status:
 *  asked by both of Make Backups' passes (between the two the source may change) and by the
 *  check of the copies it would leave alone. */
FileVerdict decideFile(FileCopy& copy, const std::string& folder, const FileInfo& entry,
                       const SourceStatus& status);

} // namespace kx
