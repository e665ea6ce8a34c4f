// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/DirListing.h"
#include "platform/FileInfo.h"
#include "platform/FolderHandle.h"
#include "platform/Result.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace kx {

/** A copy written to a temporary file beside its destination and not yet put in its place. */
struct StagedCopy
{
    std::string dest;            // drive path of the destination
    std::string temp;            // native path of the temporary file
    std::uint64_t device = 0;    // the file system the temporary file lies on
    std::int64_t size = 0;       // bytes copied
    std::int64_t mtime = 0;      // the source's modification time, given to the copy
    std::int32_t mtimeTicks = 0; // and its 100-nanosecond units past mtime
};

/** What comparing two files byte by byte found. */
struct FileComparison
{
    enum Outcome
    {
        Same,    // the same length and the same bytes
        Differs, // the lengths or some byte differ
        Failed   // the comparison could not be made to its end
    };
    Outcome outcome = Failed;
    /** With Failed: which file could not be read (0 the first, 1 the second) and why. The code
     *  is kStopped when the watched stop flag ended it, kChangedWhileCopied when the first
     *  file's size or time moved while it was read (the first is the one others may write). */
    int failedFile = 0;
    SystemError error;
};

/**
 * The files on the drives: status, listings, copies, and the changes a run makes. Paths are drive
 * paths; the implementation maps them to native paths through its drive table, name for name and
 * with exactly the case given (see findPath for the one lookup without regard to case). Names are
 * bytes: nothing is required to be valid UTF-8. A native name that holds a backslash shows it as
 * U+F05C, so that a name can never read as two.
 *
 * A walk lists folders on a second thread while the first one copies, and asks for the status of
 * its entries on more threads: openDir and its listings, openFolder and its handles, and
 * fileStatus may be used there at the same time as any other call here.
 */
class Files
{
public:
    virtual ~Files() = default;

    /** Status of a path; a link reports its target's kind, size and time with isLink set. The
     *  error when there is none: 2 or 3 when it does not exist, 21 or 15 when its drive is not
     *  there, any other code when it cannot be reached. */
    virtual Result<FileInfo> fileStatus(const std::string& path) = 0;
    /** The status of a path, where the reason it has none does not matter. */
    bool fileInfo(const std::string& path, FileInfo& info)
    {
        Result<FileInfo> status = fileStatus(path);
        if (status)
            info = status.value();
        return bool(status);
    }
    /** The path with each name as it stands on disk, for a path whose case the program changed
     *  itself (a lower-cased proposal, a fixed name). Exact names are taken as they are; a name
     *  that is not there exactly is matched without regard to case, but never when two names
     *  differ in case alone. Empty when there is no such path. */
    virtual std::string findPath(const std::string& drivePath) = 0;
    /** A listing of the folder (never null), or why it cannot be read. */
    virtual Result<std::unique_ptr<DirListing>> openDir(const std::string& path) = 0;
    /** Holds a folder open for status queries of its entries; null when it cannot be opened
     *  (fileStatus of each entry then tells why). By default each query is a fileStatus. */
    virtual std::unique_ptr<FolderHandle> openFolder(const std::string& path);
    /** Copies `source` over `dest` through a temporary file beside `dest` that is written to its
     *  medium and then renamed over it; keeps the modification time and permissions. On failure
     *  `dest` is as it was and no temporary file remains. Missing folders are not created. */
    virtual Result<void> copyFile(const std::string& source, const std::string& dest) = 0;
    /** The first half of a copy: `source` into a new temporary file beside `dest`, with the
     *  source's time and permissions. Fails with kChangedWhileCopied (and nothing left behind)
     *  when the source's size or time moved during the copy. Temporary files of runs that have
     *  ended are removed from the folder first. */
    virtual Result<StagedCopy> stageCopy(const std::string& source, const std::string& dest) = 0;
    /** The flag a copy reads between its chunks: once it is set, a copy in progress is
     *  abandoned (its temporary file removed, the destination as it was) and fails with
     *  kStopped. Null for copies that run to their end. */
    virtual void watchStop(const std::atomic<bool>* flag) { m_stopFlag = flag; }
    /** Compares two files byte by byte, reading both at once in large pieces; the watched
     *  stop flag ends it between two pieces. Links are followed; what is not a regular file
     *  cannot be read. */
    virtual FileComparison compareFiles(const std::string& first, const std::string& second) = 0;
    /** Writes the staged files to their media. */
    virtual Result<void> flushStaged(const std::vector<StagedCopy>& staged) = 0;
    /** Renames a staged (and flushed) copy over its destination. */
    virtual Result<void> commitStaged(const StagedCopy& staged) = 0;
    /** Removes a staged copy that will not be used. */
    virtual void discardStaged(const StagedCopy& staged) = 0;
    /** Creates a folder and every missing parent. */
    virtual Result<void> makeDirs(const std::string& path) = 0;
    virtual Result<void> removeFile(const std::string& path) = 0;
    virtual Result<void> removeDir(const std::string& path) = 0;
    virtual Result<void> renamePath(const std::string& from, const std::string& to) = 0;
    virtual Result<void> moveToTrash(const std::string& path) = 0;
    /** Sets the modification time: `mtime` seconds and `ticks` 100-nanosecond units. */
    virtual Result<void> setModificationTime(const std::string& path, std::int64_t mtime,
                                             std::int32_t ticks) = 0;
    virtual Result<void> setReadOnly(const std::string& path, bool readOnly) = 0;
    /** Creates or replaces a small file with the given bytes. */
    virtual Result<void> writeFile(const std::string& path, const std::string& bytes) = 0;

    /** The current folder of the walks (a drive path without trailing backslash, "c:\" for a
     *  root). Setting it checks that the folder exists; it does not change the process's own. */
    virtual std::string currentDirectory() = 0;
    virtual Result<void> setCurrentDirectory(const std::string& path) = 0;

protected:
    /** Whether the watched stop flag is set: one relaxed load, cheap enough for every chunk. */
    bool stopFlagged() const { return m_stopFlag && m_stopFlag->load(std::memory_order_relaxed); }

private:
    const std::atomic<bool>* m_stopFlag = nullptr;
};

} // namespace kx
