// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "engine/CopyCost.h"
#include "engine/EngineContext.h"
#include "engine/RoomCheck.h"
#include "engine/RunResult.h"
#include "engine/TreeWalk.h"
#include "engine/WalkSummary.h"
#include "engine/WrittenDrives.h"
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
 * passed over and logged with the system's reason. Each walk ends by flushing every drive it
 * wrote to, after its last rename.
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

    /** What restoreTree would copy from `start`, found without copying or telling anything:
     *  each backup file's size and the size of the source it replaces, by source drive. False
     *  with `error` when `start` cannot be read. */
    bool measureRestore(const std::string& start, CopyCost& cost, SystemError& error);
    /** From now on each copy first takes its room from `room`; one that does not fit is a
     *  failed copy. `bytesTotal` is what the walk will copy, for the progress in bytes. */
    void setRoom(RoomCheck* room, std::int64_t bytesTotal);

    /** Copies every backup file below `start` (the backup root) over its source, whatever
     *  their dates; each copy gets an output line and a log line. Counts every backup file met in
     *  backupFileCount and backupTotalSize. False with `error` when `start` cannot be read. */
    bool restoreTree(const std::string& start, SystemError& error);
    /** The bytes of the backup files below `start` that copyToTemp would copy. False with
     *  `error` when `start` cannot be read. */
    bool measureBackupFiles(const std::string& start, std::int64_t& bytes, SystemError& error);
    /** Copies the backup files below `start` into the temporary area `tempArea` (a drive path
     *  ending in "\": a drive's root or a folder on it), and adds the area's top-level folders
     *  it writes into to `tempFolders` (sorted and distinct). */
    bool copyToTemp(const std::string& start, const std::string& tempArea,
                    std::vector<std::string>& tempFolders, SystemError& error);
    /** Copies the temporary area `tempArea` (as given to copyToTemp) onto the backup drive,
     *  removing the temporary files once their copies are in place and flushed there, and adds
     *  the area's top-level folders to `tempFolders` (sorted and distinct). */
    bool copyFromTemp(const std::string& tempArea, std::vector<std::string>& tempFolders,
                      SystemError& error);

    /** The last folder a walk entered (its start when it entered none). */
    const std::string& lastDir() const { return m_lastDir; }
    const WalkFailures& failures() const { return m_failures; }
    /** A copy that could not be made, as its source and destination. */
    struct FailedCopy
    {
        std::string source;
        std::string dest;
    };
    /** Every copy that failed, in the order the walk met them. */
    const std::vector<FailedCopy>& failedCopies() const { return m_failedCopies; }
    /** The drives whose flush at the walk's end failed (each told with its reason). */
    std::uint64_t flushFailures() const { return m_flushFailures; }
    /** Whether any flush failed, a batch's or the last one: copies may not be on their disk. */
    bool flushFailed() const { return m_flushFailures > 0 || m_batch.flushFailed(); }
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
    void copyFailed(const std::string& source, const std::string& dest, const SystemError& error);
    static void addTempFolder(std::vector<std::string>& folders, const std::string& folder);
    /** Whether files of `folder` are backup files of a source-drive folder. */
    bool inBackupFolder(const std::string& folder) const;
    /** Puts the last copies in place (or drops them after a stop) and flushes what was written. */
    void finish();

    EngineContext& m_ctx;
    RunResult& m_counts;
    const std::int64_t m_progressStep;
    FileCopy m_copy;
    CopyBatch m_batch;
    TreeWalk m_walk;
    WalkFailures m_failures;
    std::string m_lastDir;
    std::uint64_t m_unreadable = 0;
    WrittenDrives m_written;
    std::uint64_t m_flushFailures = 0;
    std::vector<FailedCopy> m_failedCopies;
    RoomCheck* m_room = nullptr;
    std::int64_t m_bytesTotal = 0;
};

} // namespace kx
