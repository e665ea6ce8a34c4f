// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "engine/EngineContext.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace kx {

namespace detail {
struct WalkEvent;
struct LookupRun;
class Lookups;
} // namespace detail

/** The status of a file's source, as a walk looked it up. */
struct SourceStatus
{
    std::string path; // drive path
    bool found = false;
    FileInfo info;     // when found
    SystemError error; // when not: why, as fileStatus tells it
};

/**
 * The walk every operation over a medium shares: a folder and every folder below it, in the
 * file system's order. Links (to files and to folders) and mount points of other file systems are
 * passed over, and so are hidden folders in the top levels (the medium's own, such as
 * ".Trash-1000"); below those a folder whose name starts with "." is user data like any other. A
 * folder that cannot be read is reported in the output lines and the log with the system's reason,
 * and the walk goes on with the rest.
 *
 * The folders are listed on a second thread that runs ahead of the handlers, and the status of
 * their entries (and of the files' sources, where the operation asks for them) is looked up by a
 * few more threads, many requests at once, so that a disk's latency is paid in parallel and the
 * listing, the lookups and the work on each file (comparing, copying) overlap. The handlers still
 * see every entry in the order of a plain walk, on the calling thread. Each folder is read to its
 * end before its entries are handed on: a copy into a folder must not change a listing that is
 * still being read (a file system may then report the same name twice). Memory stays bounded by
 * the folders of one path and a short window of entries, whatever the size of the medium.
 */
class TreeWalk
{
public:
    /** A file in `folder`, a drive path without trailing backslash. */
    using FileHandler = std::function<void(const std::string& folder, const FileInfo& entry)>;
    /** An entry that is passed over: a link, or a hidden folder of the top levels. */
    using SkippedHandler = FileHandler;
    /** After the walk of folder `sub` in folder `parent`. */
    using FolderDoneHandler =
        std::function<void(const std::string& sub, const std::string& parent)>;

    explicit TreeWalk(EngineContext& ctx);

    void onFile(FileHandler handler) { m_onFile = std::move(handler); }
    void onSkipped(SkippedHandler handler) { m_onSkipped = std::move(handler); }
    void onFolderDone(FolderDoneHandler handler) { m_onFolderDone = std::move(handler); }
    /** A folder that cannot be read, for an operation that tells its lines later than the walk
     *  meets them: it then reports it with reportUnreadable in its turn. By default the walk
     *  reports it at once. */
    using UnreadableHandler =
        std::function<void(const std::string& folder, const SystemError& error)>;
    void onUnreadable(UnreadableHandler handler) { m_onUnreadable = std::move(handler); }
    /** Tells in the output lines and the log that `folder` cannot be read, with the system's
     * reason. */
    void reportUnreadable(const std::string& folder, const SystemError& error);
    /** How many levels, counted from the root's own entries, pass hidden folders over: 1 for a
     *  walk from the backup root, 0 for one inside a mirror folder. */
    void setHiddenLevels(int levels) { m_hiddenLevels = levels; }

    /** Walks `root`; false with `error` when root itself cannot be read. */
    bool run(const std::string& root, SystemError& error);

    /** The last folder entered (the root when none was). */
    const std::string& lastDir() const { return m_lastDir; }
    std::uint64_t unreadableFolders() const { return m_unreadable; }
    /** Whether the user's stop ended a walk before its end. */
    bool stopped() const { return m_stopped; }

    /** A file with its source's status; `source` is null for a file in a folder that mirrors
     *  none. */
    using SourcedFileHandler = std::function<void(const std::string& folder, const FileInfo& entry,
                                                  const SourceStatus* source)>;
    /** The source folder (a drive path) whose files medium folder `folder` mirrors, if any. */
    using SourceFolderOf = std::function<std::optional<std::string>(const std::string& folder)>;

    /** Hands each file to `handler` with its source, looked up ahead; onFile is then not used. */
    void onSourcedFile(SourceFolderOf sourceFolderOf, SourcedFileHandler handler)
    {
        m_sourceFolderOf = std::move(sourceFolderOf);
        m_onSourcedFile = std::move(handler);
    }

    /** Hands on only the files (and links) that `wanted` accepts, by their folder and name; the
     *  others cost no lookup. Every folder is still entered. */
    using EntryFilter = std::function<bool(const std::string& folder, const std::string& name)>;
    void handOnlyFiles(EntryFilter wanted) { m_filesWanted = std::move(wanted); }

    /** A subfolder's drive path. */
    static std::string join(const std::string& folder, const std::string& name);

private:
    void dispatch(detail::WalkEvent& event, detail::Lookups& lookups);
    void dispatchFile(const std::string& folder, const detail::LookupRun& run, std::size_t index);

    EngineContext& m_ctx;
    FileHandler m_onFile;
    SkippedHandler m_onSkipped;
    FolderDoneHandler m_onFolderDone;
    UnreadableHandler m_onUnreadable;
    SourceFolderOf m_sourceFolderOf;
    SourcedFileHandler m_onSourcedFile;
    EntryFilter m_filesWanted;
    std::string m_lastDir;
    std::uint64_t m_unreadable = 0;
    int m_hiddenLevels = 1;
    bool m_stopped = false;
};

} // namespace kx
