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
// The status of a folder's files is looked up in runs of consecutive entries. Enough threads
// ask at once to keep a disk busy while it fetches what is not cached (one request at a time
// leaves it waiting most of the time); the runs in flight bound how far the lookups go ahead.
constexpr std::size_t kRunLength = 64;
constexpr std::size_t kRunsInFlight = 48;
constexpr unsigned kLookupThreads = 8;
} // namespace

namespace detail {

/** Consecutive files of one folder, whose status and sources are looked up together. */
struct LookupRun
{
    struct Item
    {
        ListedName entry;
        bool listed = false; // false: gone since the folder was read, or nothing a walk lists
        bool sourceFound = false;
        FileInfo source;
    };
    std::shared_ptr<DirListing> listing;
    std::shared_ptr<const FolderHandle> sourceFolder;    // null: look up no sources
    std::shared_ptr<const std::string> sourceFolderPath; // null: the folder mirrors none
    std::vector<Item> items;
    bool done = false; // guarded by the lookups' mutex
};

struct WalkEvent
{
    enum Kind
    {
        File, // item `index` of `run`
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
    FileInfo entry;                            // for Skipped
    SystemError error;                         // for Unreadable
    std::shared_ptr<LookupRun> run;
    std::size_t index = 0;
};

/** Threads that look up the status of the runs' entries and sources, in the order given. */
class Lookups
{
public:
    explicit Lookups(unsigned threads)
    {
        for (unsigned i = 0; i < threads; ++i)
            m_threads.emplace_back([this] { work(); });
    }
    ~Lookups()
    {
        {
            std::lock_guard lock(m_mutex);
            m_ending = true;
            m_space.notify_all();
            m_work.notify_all();
        }
        for (std::thread& thread : m_threads)
            thread.join();
    }
    Lookups(const Lookups&) = delete;
    Lookups& operator=(const Lookups&) = delete;

    bool hasRoom()
    {
        std::lock_guard lock(m_mutex);
        return m_inFlight < kRunsInFlight;
    }
    /** Waits until fewer than kRunsInFlight runs are unfinished; false when the walk ends. */
    bool waitForRoom(const std::function<bool()>& cancelled)
    {
        std::unique_lock lock(m_mutex);
        m_space.wait(lock, [&] { return m_inFlight < kRunsInFlight || m_ending || cancelled(); });
        return !m_ending && !cancelled();
    }
    void submit(std::shared_ptr<LookupRun> run)
    {
        std::lock_guard lock(m_mutex);
        ++m_inFlight;
        m_queue.push_back(std::move(run));
        m_work.notify_one();
    }
    void waitFor(const LookupRun& run)
    {
        std::unique_lock lock(m_mutex);
        m_done.wait(lock, [&] { return run.done; });
    }
    /** The handlers are through with a run: its place is free for the next. */
    void release()
    {
        std::lock_guard lock(m_mutex);
        --m_inFlight;
        m_space.notify_one();
    }
    /** Wakes the lister when the walk is cancelled. */
    void wake()
    {
        std::lock_guard lock(m_mutex);
        m_space.notify_all();
    }

private:
    void work()
    {
        for (;;) {
            std::shared_ptr<LookupRun> run;
            {
                std::unique_lock lock(m_mutex);
                m_work.wait(lock, [&] { return !m_queue.empty() || m_ending; });
                if (m_ending)
                    return;
                run = std::move(m_queue.front());
                m_queue.pop_front();
            }
            lookUp(*run);
            std::lock_guard lock(m_mutex);
            run->done = true;
            m_done.notify_all();
        }
    }

    static void lookUp(LookupRun& run)
    {
        for (LookupRun::Item& item : run.items) {
            item.listed = run.listing->status(item.entry);
            const FileInfo& info = item.entry.info;
            if (item.listed && run.sourceFolder && !info.isDir && !info.isLink)
                item.sourceFound = run.sourceFolder->status(info.name, item.source);
        }
    }

    std::mutex m_mutex;
    std::condition_variable m_work;
    std::condition_variable m_done;
    std::condition_variable m_space;
    std::deque<std::shared_ptr<LookupRun>> m_queue;
    std::size_t m_inFlight = 0;
    bool m_ending = false;
    std::vector<std::thread> m_threads;
};

} // namespace detail

namespace {

using detail::LookupRun;
using detail::Lookups;
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

WalkEvent event(WalkEvent::Kind kind, std::shared_ptr<const std::string> folder)
{
    WalkEvent made;
    made.kind = kind;
    made.folder = std::move(folder);
    return made;
}

/** Lists folders depth first, in the file system's order, and sends what it meets. */
class Lister
{
public:
    Lister(Files& files, int hiddenLevels, const TreeWalk::SourceFolderOf& sourceFolderOf,
           const TreeWalk::EntryFilter& filesWanted, Lookups& lookups,
           std::function<void(std::vector<WalkEvent>&&)> send, std::function<bool()> cancelled)
        : m_files(files), m_hiddenLevels(hiddenLevels), m_sourceFolderOf(sourceFolderOf),
          m_filesWanted(filesWanted), m_lookups(lookups), m_send(std::move(send)),
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
                if (level.parent) {
                    WalkEvent done = event(WalkEvent::FolderDone, level.folder);
                    done.parent = level.parent;
                    add(std::move(done));
                }
                path.pop_back();
                continue;
            }
            ListedName& e = level.entries[level.next++];
            // A folder must be known before the walk goes on; the status of everything else is
            // looked up ahead, and the handlers sort it out.
            if (e.kind == ListedName::File || e.kind == ListedName::Link) {
                if (wanted(level, e) && !lookUp(level, std::move(e)))
                    return;
                continue;
            }
            if (!level.listing->status(e))
                continue;
            if (!e.info.isDir || e.info.isLink) {
                if (wanted(level, e) && !lookUp(level, std::move(e)))
                    return;
                continue;
            }
            // Don't follow links: a link on a medium can point back at its own folder, or out of
            // the medium, and nothing may be read or written through it. A mount point belongs
            // to another drive, and a walk stays on its own.
            if (e.info.otherDevice)
                continue;
            if (e.info.isHidden && int(path.size()) <= m_hiddenLevels) {
                WalkEvent skipped = event(WalkEvent::Skipped, level.folder);
                skipped.entry = std::move(e.info);
                add(std::move(skipped));
                continue;
            }
            const auto sub =
                std::make_shared<const std::string>(TreeWalk::join(*level.folder, e.info.name));
            auto subListing = m_files.openDir(*sub);
            if (!subListing) {
                WalkEvent unreadable = event(WalkEvent::Unreadable, sub);
                unreadable.error = subListing.error();
                add(std::move(unreadable));
                continue;
            }
            add(event(WalkEvent::Entered, sub));
            const auto parent = level.folder;
            path.push_back(read(sub, parent, std::move(subListing).value()));
        }
    }

    void flush()
    {
        submitRun();
        if (!m_batch.empty())
            m_send(std::move(m_batch));
        m_batch = {};
    }

private:
    // One folder of the current path: its names and how far they have been handed on.
    struct Level
    {
        std::shared_ptr<const std::string> folder;
        std::shared_ptr<const std::string> parent;
        std::shared_ptr<DirListing> listing;
        std::shared_ptr<const FolderHandle> sourceFolder;
        std::shared_ptr<const std::string> sourceFolderPath;
        std::vector<ListedName> entries;
        std::size_t next = 0;
    };

    Level read(std::shared_ptr<const std::string> folder, std::shared_ptr<const std::string> parent,
               std::unique_ptr<DirListing> listing)
    {
        // Read all names before anything is done in the folder. The listing stays open for the
        // lookups of its entries' status.
        Level level{std::move(folder), std::move(parent), std::move(listing), {}, {}, {}, 0};
        ListedName entry;
        while (level.listing->nextName(entry))
            level.entries.push_back(std::move(entry));
        if (m_sourceFolderOf) {
            if (auto source = m_sourceFolderOf(*level.folder)) {
                level.sourceFolder = m_files.openFolder(*source);
                level.sourceFolderPath = std::make_shared<const std::string>(std::move(*source));
            }
        }
        return level;
    }

    bool wanted(const Level& level, const ListedName& entry) const
    {
        return !m_filesWanted || m_filesWanted(*level.folder, entry.info.name);
    }

    // Adds a file (or what may be one) to the run of lookups of its folder; false when the walk
    // was cancelled while it waited for room.
    bool lookUp(const Level& level, ListedName&& entry)
    {
        if (m_run && m_run->listing != level.listing)
            submitRun();
        if (!m_run) {
            // The handlers free room as they go through the runs already sent: send them all
            // before waiting.
            if (!m_lookups.hasRoom())
                flush();
            if (!m_lookups.waitForRoom(m_cancelled)) {
                m_batch.clear();
                return false;
            }
            m_run = std::make_shared<LookupRun>();
            m_run->listing = level.listing;
            m_run->sourceFolder = level.sourceFolder;
            m_run->sourceFolderPath = level.sourceFolderPath;
            m_run->items.reserve(kRunLength);
        }
        LookupRun::Item item;
        item.entry = std::move(entry);
        m_run->items.push_back(std::move(item));
        WalkEvent file = event(WalkEvent::File, level.folder);
        file.run = m_run;
        file.index = m_run->items.size() - 1;
        m_batch.push_back(std::move(file));
        if (m_run->items.size() == kRunLength)
            submitRun();
        if (m_batch.size() >= kBatchSize)
            flush();
        return true;
    }

    void submitRun()
    {
        if (m_run)
            m_lookups.submit(std::move(m_run));
        m_run.reset();
    }

    void add(WalkEvent&& event)
    {
        submitRun();
        m_batch.push_back(std::move(event));
        if (m_batch.size() >= kBatchSize)
            flush();
    }

    Files& m_files;
    int m_hiddenLevels;
    const TreeWalk::SourceFolderOf& m_sourceFolderOf;
    const TreeWalk::EntryFilter& m_filesWanted;
    Lookups& m_lookups;
    std::function<void(std::vector<WalkEvent>&&)> m_send;
    std::function<bool()> m_cancelled;
    std::vector<WalkEvent> m_batch;
    std::shared_ptr<LookupRun> m_run; // the run being filled
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
    auto opened = m_ctx.platform.openDir(folder);
    if (!opened) {
        error = opened.error();
        return false;
    }
    std::unique_ptr<DirListing> listing = std::move(opened).value();

    Queue queue;
    Lookups lookups(kLookupThreads);
    std::thread lister([&] {
        Lister walker(
            m_ctx.platform, m_hiddenLevels, m_sourceFolderOf, m_filesWanted, lookups,
            [&](std::vector<WalkEvent>&& batch) { queue.push(std::move(batch)); },
            [&] { return queue.cancelled(); });
        walker.walk(std::make_shared<const std::string>(folder), std::move(listing));
        walker.flush();
        queue.finish();
    });
    auto cancel = [&] {
        queue.cancel();
        lookups.wake();
    };
    try {
        std::vector<WalkEvent> batch;
        while (!m_stopped && queue.pop(batch)) {
            for (WalkEvent& event : batch) {
                // A stop ends the walk between two files: the lister is told to end too.
                if (m_ctx.stopRequested()) {
                    m_stopped = true;
                    cancel();
                    break;
                }
                dispatch(event, lookups);
            }
        }
    } catch (...) {
        cancel();
        lister.join();
        throw;
    }
    lister.join();
    return true;
}

void TreeWalk::dispatch(WalkEvent& event, Lookups& lookups)
{
    switch (event.kind) {
    case WalkEvent::File: {
        LookupRun& run = *event.run;
        if (event.index == 0)
            lookups.waitFor(run);
        if (event.index + 1 == run.items.size())
            lookups.release();
        dispatchFile(*event.folder, run, event.index);
        break;
    }
    case WalkEvent::Skipped:
        if (m_onSkipped)
            m_onSkipped(*event.folder, event.entry);
        break;
    case WalkEvent::Entered:
        m_lastDir = *event.folder;
        break;
    case WalkEvent::Unreadable:
        ++m_unreadable;
        if (m_onUnreadable)
            m_onUnreadable(*event.folder, event.error);
        else
            reportUnreadable(*event.folder, event.error);
        break;
    case WalkEvent::FolderDone:
        if (m_onFolderDone)
            m_onFolderDone(*event.folder, *event.parent);
        break;
    }
}

void TreeWalk::reportUnreadable(const std::string& folder, const SystemError& error)
{
    const std::string line = inLanguage(m_ctx.language(), text::folder) +
                             m_ctx.platform.displayPath(folder) +
                             inLanguage(m_ctx.language(), text::cannotBeRead) + error.message;
    m_ctx.ui.failure(line);
    m_ctx.log.writeLog(line);
}

void TreeWalk::dispatchFile(const std::string& folder, const LookupRun& run, std::size_t index)
{
    const LookupRun::Item& item = run.items[index];
    if (!item.listed)
        return;
    const FileInfo& entry = item.entry.info;
    if (entry.isLink) {
        if (m_onSkipped)
            m_onSkipped(folder, entry);
        return;
    }
    // A folder that took a file's place after the folder was read is seen by the next walk.
    if (entry.isDir)
        return;
    if (!m_onSourcedFile) {
        if (m_onFile)
            m_onFile(folder, entry);
        return;
    }
    if (!run.sourceFolderPath) {
        m_onSourcedFile(folder, entry, nullptr);
        return;
    }
    SourceStatus source;
    source.path = join(*run.sourceFolderPath, entry.name);
    source.found = item.sourceFound;
    if (source.found) {
        source.info = item.source;
    } else {
        // Why it was not found is asked here, by path, as a lookup without the walk would.
        Result<FileInfo> status = m_ctx.platform.fileStatus(source.path);
        source.found = bool(status);
        if (status)
            source.info = std::move(status).value();
        else
            source.error = status.error();
    }
    m_onSourcedFile(folder, entry, &source);
}

} // namespace kx
