// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "engine/EngineContext.h"
#include "engine/RunResult.h"
#include "engine/TreeWalk.h"
#include "engine/WalkSummary.h"
#include "support/CopyBatch.h"
#include "support/FileCopy.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace kx {

/**
 * The walks that move whole trees of backup files: back to their sources (Restore All), from the
 * medium into the temporary area and from there onto a new medium (Duplicate). They add to the
 * counts of the caller's run and move the progress bar by the copied bytes. A copy that fails is
 * passed over and logged with the system's reason.
 */
class TreeCopy
{
public:
    /** The prefix of the temporary area's top-level folders: e:\C-Docs is held as
     *  t:\Kopierix-C-Docs, or in a folder of the user's as t:\…\Kopierix\Kopierix-C-Docs. */
    static constexpr const char* kTempPrefix = "Kopierix-";

    /** Counts the copied files and their bytes into `counts`; the bar moves by one for each
     *  `progressStep` bytes copied, and not at all for 0. */
    TreeCopy(EngineContext& ctx, RunResult& counts, std::int64_t progressStep = 0);

    /** Copies every backup file below `start` (the backup root) over its source, whatever
     *  their dates; each copy gets a memo and log line. Counts every backup file met in
     *  backupFileCount and backupTotalSize. False with `error` when `start` cannot be read. */
    bool restoreTree(const std::string& start, SystemError& error);
    /** Copies the backup files below `start` into the temporary area `tempArea` (a drive path
     *  ending in "\": a drive's root or a folder on it). */
    bool copyToTemp(const std::string& start, const std::string& tempArea, SystemError& error);
    /** Copies the temporary area `tempArea` (as given to copyToTemp) onto the backup drive,
     *  removing each temporary file once it is copied, and adds the area's top-level folders to
     *  `tempFolders` (sorted and distinct). */
    bool copyFromTemp(const std::string& tempArea, std::vector<std::string>& tempFolders,
                      SystemError& error);

    /** The last folder a walk entered (its start when it entered none). */
    const std::string& lastDir() const { return m_lastDir; }
    const WalkFailures& failures() const { return m_failures; }
    std::uint64_t unreadableFolders() const { return m_walk.unreadableFolders() + m_unreadable; }
    /** Whether the user's stop ended the walk; the copies not yet in place were then dropped. */
    bool stopped() const;

private:
    /** Makes the destination's folder and stages the copy; `done` follows once the copy is in
     *  place, with the bytes copied. A failure is told with its reason; when the destination is
     *  a source (`toSource`), a drive that is not there is counted once for the drive. */
    void copy(const std::string& source, const std::string& dest, bool toSource,
              std::function<void(std::int64_t size)> done);
    /** Counts a copied file and moves the progress bar. */
    void copied(std::int64_t size);
    static void addTempFolder(std::vector<std::string>& folders, const std::string& folder);
    void settleBatch();

    EngineContext& m_ctx;
    RunResult& m_counts;
    const std::int64_t m_progressStep;
    FileCopy m_copy;
    CopyBatch m_batch;
    TreeWalk m_walk;
    WalkFailures m_failures;
    std::string m_lastDir;
    std::uint64_t m_unreadable = 0;
};

} // namespace kx
