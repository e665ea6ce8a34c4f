// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/TreeCopy.h"

#include "engine/BackupLayout.h"
#include "engine/EngineTexts.h"
#include "support/FileDate.h"
#include "support/TextHelpers.h"

#include <algorithm>

namespace kx {

namespace {

constexpr std::size_t kTempPrefixLength = 9;

// The folder a destination file goes into, with its final backslash ("C:\" for a root file).
std::string folderOf(const std::string& path)
{
    const std::size_t end = path.find_last_of("\\:");
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
            m_failures.copyFailed(m_ctx, source, dest, *failure);
        else
            done(staged.size);
    };
    if (m_batch.add(source, dest, std::move(settle), error))
        return;
    // A copy the stop abandoned half-way is no failure: the old file is still there.
    if (error.code == errors::kStopped)
        return;
    // A restore whose source drive is not there is told once for the drive, not for each file.
    if (toSource && (error.code == errors::kNotReady || error.code == errors::kNoSuchDrive))
        m_failures.sourceDriveMissing(dest[0]);
    else
        m_failures.copyFailed(m_ctx, source, dest, error);
}

bool TreeCopy::stopped() const
{
    return m_walk.stopped() || m_ctx.stopRequested();
}

void TreeCopy::settleBatch()
{
    // Copies not yet in their place when the user stopped are dropped, not counted.
    if (stopped())
        m_batch.abandon();
    else
        m_batch.commit();
}

void TreeCopy::copied(std::int64_t size)
{
    ++m_counts.copiedCount;
    m_counts.copiedSize += size;
    // Without a known total there is no scale: the bar stays where it is.
    if (m_progressStep > 0)
        m_ctx.ui.progress(static_cast<int>(
            std::clamp<std::int64_t>(m_counts.copiedSize / m_progressStep, 0, 100)));
    m_ctx.ui.runCounts(m_counts);
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
        const FileDate sourceDate = fileDateOf(m_ctx.platform, entry);
        copy(source, *dest, true, [this, source, dest = *dest, sourceDate](std::int64_t size) {
            m_copy.correctCopiedFileTime(source, dest, sourceDate);
            const std::string line = source + inLanguage(m_ctx.language(), text::copiedTo) + dest;
            m_ctx.ui.memo(line);
            m_ctx.log.writeLog(line);
            copied(size);
        });
        ++m_counts.backupFileCount;
        m_ctx.ui.runCounts(m_counts);
    });
    m_walk.setHiddenLevels(1);
    const bool ok = m_walk.run(start, error);
    settleBatch();
    m_lastDir = m_walk.lastDir();
    return ok;
}

bool TreeCopy::copyToTemp(const std::string& start, const std::string& tempArea, SystemError& error)
{
    const std::size_t r = m_ctx.target.computerFolder.size();
    m_walk.onFile([&](const std::string& cur, const FileInfo& entry) {
        // Files of the medium's root (the program's own among them) are no backup files. The
        // system attribute that would drop a file here does not exist on this system. Below a
        // computer's folder the source-drive folders lie one level deeper; the temporary area
        // then keeps that level, so that the new medium gets the same layout.
        if (cur.size() < r + 5 || cur[r + 4] != '-')
            return;
        const std::string source = TreeWalk::join(cur, entry.name);
        const std::string dest = tempArea + kTempPrefix + source.substr(3);
        copy(source, dest, false, [this](std::int64_t size) { copied(size); });
    });
    m_walk.setHiddenLevels(1);
    const bool ok = m_walk.run(start, error);
    settleBatch();
    m_lastDir = m_walk.lastDir();
    return ok;
}

bool TreeCopy::copyFromTemp(const std::string& tempArea, std::vector<std::string>& tempFolders,
                            SystemError& error)
{
    const std::string& root = tempArea;
    const std::string backupRoot =
        std::string(1, m_ctx.target.base.empty() ? 'c' : m_ctx.target.base[0]) + ":\\";
    m_walk.onFile([&](const std::string& cur, const FileInfo& entry) {
        if (!hasTempPrefixAt(cur, root.size()))
            return;
        const std::string source = TreeWalk::join(cur, entry.name);
        const std::string dest = backupRoot + source.substr(root.size() + kTempPrefixLength);
        // The temporary file goes once its copy is in place on the new medium.
        copy(source, dest, false, [this, source](std::int64_t size) {
            SystemError ignored;
            m_ctx.platform.removeFile(source, ignored);
            copied(size);
        });
    });
    // The area holds the inside of mirror folders only: a dot-folder there is user data.
    m_walk.setHiddenLevels(0);

    auto listing = m_ctx.platform.openDir(root, error);
    if (!listing)
        return false;
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
    settleBatch();
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
