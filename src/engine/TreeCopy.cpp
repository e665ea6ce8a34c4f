// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/TreeCopy.h"

#include "engine/BackupLayout.h"
#include "engine/EngineTexts.h"
#include "engine/QuietUserInterface.h"
#include "support/FileDate.h"
#include "support/TextHelpers.h"

#include <algorithm>
#include <memory>

namespace kx {

namespace {

constexpr std::size_t kTempPrefixLength = 9;

// The folder a destination file goes into, with its final backslash ("C:\" for a root file).
// Only a backslash separates: a colon is an ordinary character of a name here ("notes 10:30").
std::string folderOf(const std::string& path)
{
    const std::size_t end = path.rfind('\\');
    return end == std::string::npos ? std::string() : path.substr(0, end + 1);
}

bool hasTempPrefixAt(const std::string& path, std::size_t pos)
{
    return path.size() >= pos + kTempPrefixLength &&
           path.compare(pos, kTempPrefixLength, TreeCopy::kTempPrefix) == 0;
}

} // namespace

TreeCopy::TreeCopy(EngineContext& ctx, RunResult& counts, std::int64_t progressStep)
    : m_ctx(ctx), m_counts(counts), m_progressStep(progressStep),
      m_copy(ctx.platform, ctx.facts.dst), m_batch(ctx.platform), m_walk(ctx)
{
}

void TreeCopy::copy(const std::string& source, const std::string& dest, bool toSource,
                    std::function<void(std::int64_t size)> done)
{
    m_copy.makeAndEnterDir(folderOf(dest));
    SystemError error;
    auto settle = [this, source, dest, done = std::move(done)](const StagedCopy& staged,
                                                               const SystemError* failure) {
        if (failure)
            copyFailed(source, dest, *failure);
        else
            done(staged.size);
    };
    // Only a drive that got a copy is flushed: one that is not there has nothing to flush.
    if (m_batch.add(source, dest, std::move(settle), error)) {
        m_written.add(dest);
        return;
    }
    // A copy the stop abandoned half-way is no failure: the old file is still there.
    if (error.code == errors::kStopped)
        return;
    // A restore whose source drive is not there is told once for the drive, not for each file.
    if (toSource && (error.code == errors::kNotReady || error.code == errors::kNoSuchDrive))
        m_failures.sourceDriveMissing(dest[0]);
    else
        copyFailed(source, dest, error);
}

void TreeCopy::copyFailed(const std::string& source, const std::string& dest,
                          const SystemError& error)
{
    m_failures.copyFailed(m_ctx, source, dest, error);
    m_failedCopies.push_back({source, dest});
}

bool TreeCopy::stopped() const
{
    return m_walk.stopped() || m_ctx.stopRequested();
}

void TreeCopy::finish()
{
    // Copies not yet in their place when the user stopped are dropped, not counted.
    if (stopped())
        m_batch.abandon();
    else
        m_batch.commit();
    // Also after a stop: the copies already renamed must not be lost to a power cut.
    m_flushFailures += m_written.flush(m_ctx);
}

bool TreeCopy::inBackupFolder(const std::string& folder) const
{
    // Files of the medium's root (the program's own among them) are no backup files. Below a
    // computer's folder the source-drive folders lie one level deeper.
    const std::size_t r = m_ctx.target.computerFolder.size();
    return folder.size() >= r + 5 && folder[r + 4] == '-';
}

void TreeCopy::copied(std::int64_t size)
{
    ++m_counts.copiedCount;
    m_counts.copiedSize += size;
    // Without a known total there is no scale: the bar stays where it is.
    if (m_progressStep > 0)
        m_ctx.ui.progress(static_cast<int>(
            std::clamp<std::int64_t>(m_counts.copiedSize / m_progressStep, 0, 100)));
    if (m_bytesTotal > 0)
        m_ctx.ui.progressBytes(m_counts.copiedSize, m_bytesTotal);
    m_ctx.ui.runCounts(m_counts);
}

void TreeCopy::setRoom(RoomCheck* room, std::int64_t bytesTotal)
{
    m_room = room;
    m_bytesTotal = bytesTotal;
    if (bytesTotal > 0)
        m_ctx.ui.progressBytes(0, bytesTotal);
}

bool TreeCopy::measureRestore(const std::string& start, CopyCost& cost, SystemError& error)
{
    // The same walk as the restore's, heard by nobody: what it finds wrong, the restore tells.
    QuietUserInterface quietUi;
    ActivityLog quietLog(m_ctx.platform, m_ctx.platform);
    quietLog.silence();
    EngineContext quiet{m_ctx.platform, m_ctx.target, m_ctx.media, quietUi,
                        quietLog,       m_ctx.facts,  m_ctx.stop};
    TreeWalk walk(quiet);
    const std::size_t r = m_ctx.target.computerFolder.size();
    const std::string level = ":\\" + m_ctx.target.computerFolder;
    walk.onFile([&](const std::string& cur, const FileInfo& entry) {
        if (cur.compare(1, level.size(), level) != 0)
            return;
        const auto dest = layout::sourcePathOf(cur, entry.name, r);
        if (!dest)
            return;
        FileInfo old;
        const bool there = m_ctx.platform.fileInfo(*dest, old) && !old.isDir;
        cost.add((*dest)[0], entry.size, there ? old.size : -1);
    });
    walk.setHiddenLevels(1);
    return walk.run(start, error);
}

bool TreeCopy::restoreTree(const std::string& start, SystemError& error)
{
    const std::size_t r = m_ctx.target.computerFolder.size();
    const std::string level = ":\\" + m_ctx.target.computerFolder;
    m_walk.onFile([&](const std::string& cur, const FileInfo& entry) {
        // Only files in a source-drive folder of this computer's level are backup files; a
        // file in the root of the medium (or of the computer's folder) is none.
        if (cur.compare(1, level.size(), level) != 0)
            return;
        const auto dest = layout::sourcePathOf(cur, entry.name, r);
        if (!dest)
            return;
        m_counts.backupTotalSize += entry.size;
        const std::string source = TreeWalk::join(cur, entry.name);
        FileInfo old;
        if (m_room && !m_room->fits() &&
            !m_room->take((*dest)[0], entry.size,
                          m_ctx.platform.fileInfo(*dest, old) && !old.isDir ? old.size : -1)) {
            copyFailed(source, *dest, RoomCheck::noRoomError(m_ctx.language()));
            ++m_counts.backupFileCount;
            m_ctx.ui.runCounts(m_counts);
            return;
        }
        const FileDate sourceDate = fileDateOf(m_ctx.platform, entry);
        copy(source, *dest, true, [this, source, dest = *dest, sourceDate](std::int64_t size) {
            m_copy.correctCopiedFileTime(source, dest, sourceDate);
            const std::string line = m_ctx.platform.displayPath(source) +
                                     inLanguage(m_ctx.language(), text::copiedTo) +
                                     m_ctx.platform.displayPath(dest);
            m_ctx.ui.addLine(line);
            m_ctx.log.writeLog(line);
            copied(size);
        });
        ++m_counts.backupFileCount;
        m_ctx.ui.runCounts(m_counts);
    });
    m_walk.setHiddenLevels(1);
    const bool ok = m_walk.run(start, error);
    finish();
    m_lastDir = m_walk.lastDir();
    return ok;
}

bool TreeCopy::measureBackupFiles(const std::string& start, std::int64_t& bytes, SystemError& error)
{
    bytes = 0;
    // A silent walk of its own: a folder it cannot read is told by the copy that follows, once.
    // As there, links are not followed, other file systems not entered, and the dot-folders at
    // the start (the medium's own) passed over.
    std::string first = start;
    if (first.size() > 3 && first.back() == '\\')
        first.pop_back();
    std::vector<std::string> pending{first};
    while (!pending.empty()) {
        const std::string folder = std::move(pending.back());
        pending.pop_back();
        const auto opened = m_ctx.platform.openDir(folder);
        if (!opened) {
            if (folder == first) {
                error = opened.error();
                return false;
            }
            continue;
        }
        DirListing* const listing = opened.value().get();
        FileInfo entry;
        while (listing->next(entry)) {
            if (entry.isLink)
                continue;
            if (!entry.isDir) {
                if (inBackupFolder(folder))
                    bytes += entry.size;
            } else if (!entry.otherDevice && !(entry.isHidden && folder == first)) {
                pending.push_back(TreeWalk::join(folder, entry.name));
            }
        }
    }
    return true;
}

bool TreeCopy::copyToTemp(const std::string& start, const std::string& tempArea,
                          std::vector<std::string>& tempFolders, SystemError& error)
{
    m_walk.onFile([&](const std::string& cur, const FileInfo& entry) {
        // The system attribute that would drop a file here does not exist on this system. A
        // computer's folder keeps its level in the temporary area, so that the new medium gets
        // the same layout.
        if (!inBackupFolder(cur))
            return;
        const std::string source = TreeWalk::join(cur, entry.name);
        const std::string inArea = source.substr(3);
        addTempFolder(tempFolders, tempArea + kTempPrefix + inArea.substr(0, inArea.find('\\')));
        copy(source, tempArea + kTempPrefix + inArea, false,
             [this](std::int64_t size) { copied(size); });
    });
    m_walk.setHiddenLevels(1);
    const bool ok = m_walk.run(start, error);
    finish();
    m_lastDir = m_walk.lastDir();
    return ok;
}

bool TreeCopy::copyFromTemp(const std::string& tempArea, std::vector<std::string>& tempFolders,
                            SystemError& error)
{
    const std::string& root = tempArea;
    const std::string backupRoot =
        std::string(1, m_ctx.target.base.empty() ? 'c' : m_ctx.target.base[0]) + ":\\";
    // The temporary files go once their copies are in place on the new medium and flushed
    // there: until then a power cut could take both.
    std::vector<std::string> settled;
    m_walk.onFile([&](const std::string& cur, const FileInfo& entry) {
        if (!hasTempPrefixAt(cur, root.size()))
            return;
        const std::string source = TreeWalk::join(cur, entry.name);
        const std::string dest = backupRoot + source.substr(root.size() + kTempPrefixLength);
        copy(source, dest, false, [this, source, &settled](std::int64_t size) {
            settled.push_back(source);
            copied(size);
        });
    });
    // The area holds the inside of mirror folders only: a dot-folder there is user data.
    m_walk.setHiddenLevels(0);

    const auto opened = m_ctx.platform.openDir(root);
    if (!opened) {
        error = opened.error();
        return false;
    }
    DirListing* const listing = opened.value().get();
    m_lastDir = root;
    // Only the area's own folders are walked: the temporary disk is usually the system's
    // largest, and nothing else on it takes part.
    FileInfo entry;
    while (!stopped() && listing->next(entry)) {
        if (!entry.isDir || entry.isHidden || entry.isLink || entry.otherDevice ||
            entry.name.compare(0, kTempPrefixLength, kTempPrefix) != 0)
            continue;
        const std::string sub = root + entry.name;
        SystemError subError;
        if (!m_walk.run(sub, subError)) {
            ++m_unreadable;
            const std::string line =
                inLanguage(m_ctx.language(), text::folder) + m_ctx.platform.displayPath(sub) +
                inLanguage(m_ctx.language(), text::cannotBeRead) + subError.message;
            m_ctx.ui.failure(line);
            m_ctx.log.writeLog(line);
            continue;
        }
        m_lastDir = m_walk.lastDir();
        addTempFolder(tempFolders, sub);
    }
    finish();
    if (!flushFailed()) {
        for (const std::string& source : settled)
            m_ctx.platform.removeFile(source);
    }
    return true;
}

void TreeCopy::addTempFolder(std::vector<std::string>& folders, const std::string& folder)
{
    // Sorted and distinct without regard to case, as the system compares names.
    const auto it = std::lower_bound(folders.begin(), folders.end(), folder, lessIgnoringCase);
    if (it != folders.end() && equalIgnoringCase(*it, folder))
        return;
    folders.insert(it, folder);
}

} // namespace kx
