// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/TreeWalk.h"

#include "engine/EngineTexts.h"

#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace kx {

namespace {
// Events travel in batches, so the two threads meet once per batch rather than once per file;
// a few batches in flight keep the lister ahead without holding more than a few thousand.
constexpr std::size_t kBatchSize = 256;
constexpr std::size_t kBatchesInFlight = 8;
} // namespace

namespace detail {

struct WalkEvent
{
    enum Kind
    {
        File,
        Skipped,
        Entered,
        Unreadable,
        FolderDone
    };
    Kind kind = File;
    // The folder of the entry; the folder entered or done; the unreadable one. Shared by the
    // events of one folder rather than copied into each.
    std::shared_ptr<const std::string> folder;
    std::shared_ptr<const std::string> parent; // for FolderDone
    FileInfo entry;
    SystemError error;
};

} // namespace detail

namespace {

using detail::WalkEvent;

/** Batches of events from the lister to the handlers, bounded in number. */
class Queue
{
public:
    void push(std::vector<WalkEvent>&& batch)
    {
        std::unique_lock lock(m_mutex);
        m_space.wait(lock, [&] { return m_batches.size() < kBatchesInFlight || m_cancelled; });
        if (m_cancelled)
            return;
        m_batches.push_back(std::move(batch));
        m_ready.notify_one();
    }
    void finish()
    {
        std::lock_guard lock(m_mutex);
        m_finished = true;
        m_ready.notify_one();
    }
    /** False when the lister has finished and everything was taken. */
    bool pop(std::vector<WalkEvent>& batch)
    {
        std::unique_lock lock(m_mutex);
        m_ready.wait(lock, [&] { return !m_batches.empty() || m_finished; });
        if (m_batches.empty())
            return false;
        batch = std::move(m_batches.front());
        m_batches.pop_front();
        m_space.notify_one();
        return true;
    }
    /** Stops the lister when the handlers end early. */
    void cancel()
    {
        std::lock_guard lock(m_mutex);
        m_cancelled = true;
        m_space.notify_one();
    }
    bool cancelled()
    {
        std::lock_guard lock(m_mutex);
        return m_cancelled;
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_ready;
    std::condition_variable m_space;
    std::deque<std::vector<WalkEvent>> m_batches;
    bool m_finished = false;
    bool m_cancelled = false;
};

/** Lists folders depth first, in the file system's order, and sends what it meets. */
class Lister
{
public:
    Lister(Platform& platform, int hiddenLevels, std::function<void(std::vector<WalkEvent>&&)> send,
           std::function<bool()> cancelled)
        : m_platform(platform), m_hiddenLevels(hiddenLevels), m_send(std::move(send)),
          m_cancelled(std::move(cancelled))
    {
    }

    // Without recursion: however deep a medium's folders go, the walk needs no more stack.
    void walk(const std::shared_ptr<const std::string>& root, std::unique_ptr<DirListing> listing)
    {
        std::vector<Level> path;
        path.push_back(read(root, nullptr, std::move(listing)));
        while (!path.empty()) {
            if (m_cancelled())
                return;
            Level& level = path.back();
            if (level.next == level.entries.size()) {
                if (level.parent)
                    add({WalkEvent::FolderDone, level.folder, level.parent, {}, {}});
                path.pop_back();
                continue;
            }
            FileInfo& e = level.entries[level.next++];
            // Don't follow links: a link on a medium can point back at its own folder, or out of
            // the medium, and nothing may be read or written through it. A mount point belongs
            // to another drive, and a walk stays on its own.
            if (e.isDir && e.otherDevice)
                continue;
            const bool hidden = e.isDir && e.isHidden && int(path.size()) <= m_hiddenLevels;
            if (e.isLink || hidden) {
                add({WalkEvent::Skipped, level.folder, {}, std::move(e), {}});
                continue;
            }
            if (!e.isDir) {
                add({WalkEvent::File, level.folder, {}, std::move(e), {}});
                continue;
            }
            const auto sub =
                std::make_shared<const std::string>(TreeWalk::join(*level.folder, e.name));
            SystemError error;
            auto subListing = m_platform.openDir(*sub, error);
            if (!subListing) {
                add({WalkEvent::Unreadable, sub, {}, {}, error});
                continue;
            }
            add({WalkEvent::Entered, sub, {}, {}, {}});
            const auto parent = level.folder;
            path.push_back(read(sub, parent, std::move(subListing)));
        }
    }

    void flush()
    {
        if (!m_batch.empty())
            m_send(std::move(m_batch));
        m_batch = {};
    }

private:
    // One folder of the current path: its entries and how far they have been handed on.
    struct Level
    {
        std::shared_ptr<const std::string> folder;
        std::shared_ptr<const std::string> parent;
        std::vector<FileInfo> entries;
        std::size_t next = 0;
    };

    static Level read(std::shared_ptr<const std::string> folder,
                      std::shared_ptr<const std::string> parent,
                      std::unique_ptr<DirListing> listing)
    {
        // Read the whole folder and close it before anything is done in it.
        Level level{std::move(folder), std::move(parent), {}, 0};
        FileInfo entry;
        while (listing->next(entry))
            level.entries.push_back(std::move(entry));
        return level;
    }

    void add(WalkEvent&& event)
    {
        m_batch.push_back(std::move(event));
        if (m_batch.size() >= kBatchSize)
            flush();
    }

    Platform& m_platform;
    int m_hiddenLevels;
    std::function<void(std::vector<WalkEvent>&&)> m_send;
    std::function<bool()> m_cancelled;
    std::vector<WalkEvent> m_batch;
};

} // namespace

TreeWalk::TreeWalk(EngineContext& ctx) : m_ctx(ctx) {}

std::string TreeWalk::join(const std::string& folder, const std::string& name)
{
    if (!folder.empty() && folder.back() == '\\')
        return folder + name;
    return folder + "\\" + name;
}

bool TreeWalk::run(const std::string& root, SystemError& error)
{
    std::string folder = root;
    // The folder as the system reports it: without trailing backslash, except for a root.
    while (folder.size() > 3 && folder.back() == '\\')
        folder.pop_back();
    m_lastDir = folder;
    auto listing = m_ctx.platform.openDir(folder, error);
    if (!listing)
        return false;

    Queue queue;
    std::thread lister([&] {
        Lister walker(
            m_ctx.platform, m_hiddenLevels,
            [&](std::vector<WalkEvent>&& batch) { queue.push(std::move(batch)); },
            [&] { return queue.cancelled(); });
        walker.walk(std::make_shared<const std::string>(folder), std::move(listing));
        walker.flush();
        queue.finish();
    });
    try {
        std::vector<WalkEvent> batch;
        while (!m_stopped && queue.pop(batch)) {
            for (WalkEvent& event : batch) {
                // A stop ends the walk between two files: the lister is told to end too.
                if (m_ctx.stopRequested()) {
                    m_stopped = true;
                    queue.cancel();
                    break;
                }
                dispatch(event);
            }
        }
    } catch (...) {
        queue.cancel();
        lister.join();
        throw;
    }
    lister.join();
    return true;
}

void TreeWalk::dispatch(WalkEvent& event)
{
    switch (event.kind) {
    case WalkEvent::File:
        if (m_onFile)
            m_onFile(*event.folder, event.entry);
        break;
    case WalkEvent::Skipped:
        if (m_onSkipped)
            m_onSkipped(*event.folder, event.entry);
        break;
    case WalkEvent::Entered:
        m_lastDir = *event.folder;
        break;
    case WalkEvent::Unreadable: {
        ++m_unreadable;
        const std::string line =
            inLanguage(m_ctx.language(), text::folder) + m_ctx.platform.displayPath(*event.folder) +
            inLanguage(m_ctx.language(), text::cannotBeRead) + event.error.message;
        m_ctx.ui.failure(line);
        m_ctx.log.writeLog(line);
        break;
    }
    case WalkEvent::FolderDone:
        if (m_onFolderDone)
            m_onFolderDone(*event.folder, *event.parent);
        break;
    }
}

} // namespace kx
