// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>

namespace kx {

/** What an operation did, for its caller to show, to log and to turn into an exit status. */
struct RunResult
{
    /** The backup drive (or the root the run works on) could be entered. */
    bool entered = false;
    /** The user declined before anything was done (a No to the operation's question). */
    bool declined = false;
    /** The run went to its end (a Duplicate can also end at a check or a cancel). */
    bool completed = false;
    /** The user's stop ended the run before its end; nothing was recorded as a backup. */
    bool stopped = false;
    /** Files copied and put in their place, and their bytes. */
    std::uint64_t copiedCount = 0;
    std::int64_t copiedSize = 0;
    /** The backup files met and the space they take on the medium. */
    std::uint64_t backupFileCount = 0;
    std::int64_t backupTotalSize = 0;
    /** What could not be done: failed copies, unreadable folders, files of missing drives. */
    std::uint64_t failedCount = 0;
    /** A drive the run wrote to did not take its flush: what was reported copied may not be on
     *  it. Counted in failedCount too; the run records no new last-backup date. */
    bool flushFailed = false;
    /** Backup files whose source no longer exists: the user deleted it; no failure. */
    std::uint64_t withoutSourceCount = 0;
    /** What the run found before its first copy that it would copy: files and their bytes. */
    std::uint64_t filesToWrite = 0;
    std::int64_t bytesToWrite = 0;
    /** The target could not hold all that the run would copy; `declined` too when nothing
     *  was copied for it, else the files that did not fit are failed copies. */
    bool noRoom = false;
    /** What the run found of the backup drive: true when it reported that it holds no medium;
     *  empty when the run did not look. The windows keep it for the manage window. */
    std::optional<bool> noDisk;
};

} // namespace kx
