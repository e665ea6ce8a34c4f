// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "engine/EngineContext.h"
#include "engine/RunResult.h"

#include <cstdint>

namespace kx {

/** What a check of the backup files found. */
struct VerifyResult
{
    /** As Make Backups counts them: the root entered, the stop, the backup files met and their
     *  size, the failures (files and folders that could not be read, missing source drives,
     *  copies that could not be made again, a failed flush) and the backup files without a
     *  source. The copies counted are those made again. */
    RunResult run;
    /** The backup files compared with their sources, and their bytes. */
    std::uint64_t checkedCount = 0;
    std::int64_t checkedSize = 0;
    /** Those whose bytes differ from their source's. */
    std::uint64_t mismatchCount = 0;
};

/**
 * Checks the backup files: walks the medium as Make Backups does and compares each backup file
 * that Make Backups would leave alone (its source is not newer) with its source, byte by byte.
 * Each one that differs is told in the output lines and the log; one of the two is damaged, and
 * which one only the user can tell. A copy that is out of date is no mismatch: the next Make
 * Backups refreshes it. With `repair` each mismatching source is copied again, durably, after its
 * old copy has been moved into a hidden folder at the backup's root
 * (".kopierix-replaced\<date time>\" and the copy's own path), which the walks pass over; the
 * line tells where. Nothing is recorded as the medium's last backup. A stop ends the check at
 * the next file, or inside a large one, with the summary so far.
 */
VerifyResult verifyBackups(EngineContext& ctx, bool repair);

} // namespace kx
