// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "engine/EngineContext.h"

#include <cstdint>
#include <functional>
#include <string>

namespace kx {

namespace detail {
struct WalkEvent;
}

/**
 * The walk every operation over a medium shares: a folder and every folder below it, in the
 * file system's order. Links (to files and to folders) and mount points of other file systems are
 * passed over, and so are hidden folders in the top levels (the medium's own, such as
 * ".Trash-1000"); below those a folder whose name starts with "." is user data like any other. A
 * folder that cannot be read is reported in the memo and the log with the system's reason, and
 * the walk goes on with the rest.
 *
 * The folders are listed on a second thread that runs ahead of the handlers, so the listing of
 * the medium and the work on each file (looking up its source, copying) overlap. The handlers
 * still see every entry in the order of a plain walk, on the calling thread. Each folder is read
 * to its end before its entries are handed on: a copy into a folder must not change a listing
 * that is still being read (a file system may then report the same name twice). Memory stays
 * bounded by the folders of one path and a short queue, whatever the size of the medium.
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

    /** A subfolder's drive path. */
    static std::string join(const std::string& folder, const std::string& name);

private:
    void dispatch(detail::WalkEvent& event);

    EngineContext& m_ctx;
    FileHandler m_onFile;
    SkippedHandler m_onSkipped;
    FolderDoneHandler m_onFolderDone;
    std::string m_lastDir;
    std::uint64_t m_unreadable = 0;
    int m_hiddenLevels = 1;
    bool m_stopped = false;
};

} // namespace kx
