// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/VerifyBackups.h"

#include "engine/BackupLayout.h"
#include "engine/ComparisonPool.h"
#include "engine/EngineTexts.h"
#include "engine/MakeBackups.h"
#include "engine/MediumRecords.h"
#include "engine/RunReport.h"
#include "engine/TreeWalk.h"
#include "engine/WalkSummary.h"
#include "engine/WrittenDrives.h"
#include "support/FileCopy.h"
#include "support/FileDate.h"
#include "support/SizeText.h"
#include "support/TextHelpers.h"

#include <algorithm>
#include <cstdio>

namespace kx {

namespace {

// Comparisons in flight: enough to keep both cores and the devices busy, few enough that a
// stop is quick and memory stays small.
constexpr std::size_t kComparingThreads = 2;
constexpr std::size_t kInFlight = 64;

// The hidden folder at the backup's root that keeps the copies a repair replaced.
constexpr const char* kReplacedFolder = ".kopierix-replaced";

// The run's own folder in it, by its local start time; without colons, which FAT-family media
// cannot hold in a name.
std::string runFolderName(Platform& platform)
{
    const LocalTime t = platform.toLocal(platform.now());
    char name[32];
    std::snprintf(name, sizeof name, "%04d-%02d-%02d %02d.%02d.%02d", t.year, t.month, t.day,
                  t.hour, t.minute, t.second);
    return name;
}

std::string parentOf(const std::string& path)
{
    return path.substr(0, path.rfind('\\'));
}

class Verifier
{
public:
    Verifier(EngineContext& ctx, bool repair)
        : m_ctx(ctx), m_repair(repair), m_copy(ctx.platform, ctx.facts.dst),
          m_pool(ctx.platform, kComparingThreads, kInFlight)
    {
    }

    VerifyResult run();

private:
    void check(const std::string& folder, const FileInfo& entry, const SourceStatus* source);
    void compared(const std::string& source, const std::string& backup, const std::string& drive,
                  const FileInfo& entry, const FileInfo& sourceInfo, const FileComparison& found);
    void unreadable(const std::string& path, const std::string& reason);
    void mismatch(const std::string& source, const std::string& backup, const std::string& drive,
                  const FileInfo& sourceInfo);
    Result<StagedCopy> copyAgain(const std::string& source, const std::string& backup,
                                 const std::string& kept);
    void report(const std::string& line);
    void showCounts();
    void summarise(bool stopped);

    EngineContext& m_ctx;
    bool m_repair;
    FileCopy m_copy;
    ComparisonPool m_pool;
    WalkFailures m_failures;
    WrittenDrives m_written;
    VerifyResult m_result;
    std::uint64_t m_unreadableFiles = 0;
    std::uint64_t m_flushFailures = 0;
    std::int64_t m_progressStep = 0;
    std::uint64_t m_unreadableFolders = 0;
    std::string m_keptRoot;
};

void Verifier::report(const std::string& line)
{
    m_ctx.ui.addLine(line);
    m_ctx.log.writeLog(line);
}

void Verifier::unreadable(const std::string& path, const std::string& reason)
{
    ++m_unreadableFiles;
    const std::string line = fillIn(inLanguage(m_ctx.language(), text::fileCannotBeRead),
                                    {m_ctx.platform.displayPath(path), reason});
    m_ctx.ui.failure(line);
    m_ctx.log.writeLog(line);
}

void Verifier::check(const std::string& folder, const FileInfo& entry,
                     const SourceStatus* sourceStatus)
{
    if (!sourceStatus)
        return;
    const std::string* source = &sourceStatus->path;
    RunResult& run = m_result.run;
    ++run.backupFileCount;
    run.backupTotalSize += entry.size;
    if (m_progressStep > 0)
        m_ctx.ui.progress(
            static_cast<int>(std::min<std::int64_t>(100, run.backupTotalSize / m_progressStep)));
    const std::string backup = TreeWalk::join(folder, entry.name);
    const std::string drive = folder.substr(0, 1) + ":";
    const FileInfo& sourceInfo = sourceStatus->info;
    const SystemError& error = sourceStatus->error;
    // What is told of a file waits its turn behind the comparisons of the files before it.
    switch (decideFile(m_copy, folder, entry, *sourceStatus).kind) {
    case FileVerdict::NotReached:
        m_pool.then([this, source = *source, backup, drive, error](const FileComparison*) {
            // Gone, or on a drive that is not there: as Make Backups counts them. Any other
            // reason is a file that could not be read.
            switch (error.code) {
            case errors::kFileNotFound:
            case errors::kPathNotFound:
            case errors::kNotReady:
            case errors::kNoSuchDrive:
                m_failures.sourceNotReached(m_ctx, source, backup, drive, error);
                break;
            default:
                unreadable(source, error.message);
            }
        });
        return;
    case FileVerdict::SourceIsFolder:
        m_pool.then([this, source = *source](const FileComparison*) {
            unreadable(source, inLanguage(m_ctx.language(), text::sourceIsAFolder));
        });
        return;
    case FileVerdict::Copy:
        // A copy that Make Backups would refresh holds older bytes by right.
        showCounts();
        return;
    case FileVerdict::LeaveAlone:
        break;
    }
    m_pool.compare(
        *source, backup,
        [this, source = *source, backup, drive, entry, sourceInfo](const FileComparison* found) {
            compared(source, backup, drive, entry, sourceInfo, *found);
        });
}

void Verifier::compared(const std::string& source, const std::string& backup,
                        const std::string& drive, const FileInfo& entry, const FileInfo& sourceInfo,
                        const FileComparison& found)
{
    switch (found.outcome) {
    case FileComparison::Same:
    case FileComparison::Differs:
        ++m_result.checkedCount;
        m_result.checkedSize += entry.size;
        if (found.outcome == FileComparison::Differs)
            mismatch(source, backup, drive, sourceInfo);
        break;
    case FileComparison::Failed:
        // A stop ends the walk at once; a source changed meanwhile is newer than its copy now.
        if (found.error.code == errors::kStopped || found.error.code == errors::kChangedWhileCopied)
            break;
        unreadable(found.failedFile == 0 ? source : backup, found.error.message);
        break;
    }
    showCounts();
}

// The counts for a display of the run's own: the files walked, the files compared and their
// bytes in the place of the copies.
void Verifier::showCounts()
{
    RunResult soFar = m_result.run;
    soFar.copiedCount = m_result.checkedCount;
    soFar.copiedSize = m_result.checkedSize;
    m_ctx.ui.runCounts(soFar);
}

void Verifier::mismatch(const std::string& source, const std::string& backup,
                        const std::string& drive, const FileInfo& sourceInfo)
{
    ++m_result.mismatchCount;
    report(fillIn(inLanguage(m_ctx.language(), text::differsFromBackupCopy),
                  {m_ctx.platform.displayPath(source)}));
    if (!m_repair)
        return;
    const std::string& base = m_ctx.target.base;
    if (m_keptRoot.empty())
        m_keptRoot = base + kReplacedFolder + "\\" + runFolderName(m_ctx.platform) + "\\";
    const std::string kept = m_keptRoot + backup.substr(base.size());
    m_written.add(base);
    const Result<StagedCopy> copied = copyAgain(source, backup, kept);
    if (!copied) {
        // A copy the stop abandoned is no failure: the old copy is still there.
        if (copied.error().code != errors::kStopped)
            m_failures.copyFailed(m_ctx, source, drive, copied.error());
        return;
    }
    m_copy.correctCopiedFileTime(source, backup, fileDateOf(m_ctx.platform, sourceInfo));
    ++m_result.run.copiedCount;
    m_result.run.copiedSize += copied.value().size;
    report(fillIn(inLanguage(m_ctx.language(), text::copiedAgain),
                  {m_ctx.platform.displayPath(source), drive, m_ctx.platform.displayPath(kept)}));
}

Result<StagedCopy> Verifier::copyAgain(const std::string& source, const std::string& backup,
                                       const std::string& kept)
{
    Platform& platform = m_ctx.platform;
    // The new copy is on the medium before the old one moves aside, and the old one is put back
    // when the new one cannot take its place: a failure never leaves the backup without a copy.
    Result<StagedCopy> copy = platform.stageCopy(source, backup);
    if (!copy)
        return copy;
    const StagedCopy& staged = copy.value();
    Result<void> step = platform.flushStaged({staged});
    if (step)
        step = platform.makeDirs(parentOf(kept));
    if (step)
        step = platform.renamePath(backup, kept);
    if (!step) {
        platform.discardStaged(staged);
        return step.error();
    }
    if (const Result<void> committed = platform.commitStaged(staged); !committed) {
        platform.renamePath(kept, backup);
        return committed.error();
    }
    return copy;
}

void Verifier::summarise(bool stopped)
{
    const Language language = m_ctx.language();
    const char sep = m_ctx.platform.decimalSeparator();
    auto t = [language](const Text& text) { return std::string(inLanguage(language, text)); };
    const RunResult& run = m_result.run;
    report("");
    report(t(text::filesChecked) + std::to_string(m_result.checkedCount));
    report(t(text::checkedSize) + formatSize(m_result.checkedSize, sep) + "bytes");
    report(t(text::backupFileCount) + std::to_string(run.backupFileCount));
    report(t(text::filesThatDiffer) + std::to_string(m_result.mismatchCount));
    if (m_repair)
        report(t(text::filesCopiedAgain) + std::to_string(run.copiedCount));
    if (m_unreadableFiles > 0)
        report(t(text::unreadableFiles) + std::to_string(m_unreadableFiles));
    m_result.run.failedCount =
        m_failures.summarise(m_ctx, m_unreadableFolders) + m_unreadableFiles + m_flushFailures;
    m_result.run.withoutSourceCount = m_failures.withoutSource();
    if (stopped)
        report(stoppedLine(language));
}

VerifyResult Verifier::run()
{
    const BackupTarget& target = m_ctx.target;
    CopyStopScope copyStop(m_ctx);
    m_ctx.ui.clearLines();
    m_ctx.ui.progress(0);
    m_ctx.ui.showProgress(true);
    m_ctx.ui.busy(true);
    // The bar is scaled by the medium's total as the last backup recorded it.
    m_progressStep = m_ctx.media.current.totalSize / 100;
    m_ctx.ui.progressTotalKnown(m_progressStep > 0);
    m_result.run.noDisk = false;

    TreeWalk walk(m_ctx);
    const std::size_t r = m_ctx.target.computerFolder.size();
    walk.onSourcedFile([r](const std::string& folder) { return layout::sourceFolderOf(folder, r); },
                       [this](const std::string& folder, const FileInfo& entry,
                              const SourceStatus* source) { check(folder, entry, source); });
    // Told in its turn, behind the comparisons of the files met before it.
    walk.onUnreadable([this, &walk](const std::string& folder, const SystemError& reason) {
        m_pool.then([&walk, folder, reason](const FileComparison*) {
            walk.reportUnreadable(folder, reason);
        });
    });
    SystemError error;
    const Result<void> enteredBase = m_ctx.platform.setCurrentDirectory(target.base);
    bool entered = bool(enteredBase);
    if (!entered) {
        m_result.run.noDisk = showDriveError(m_ctx, enteredBase.error());
    } else {
        walk.setHiddenLevels(1);
        entered = walk.run(target.base, error);
        m_pool.finish();
        if (!entered)
            m_result.run.noDisk = showDriveError(m_ctx, error);
        m_flushFailures = m_written.flush(m_ctx);
    }
    m_unreadableFolders = walk.unreadableFolders();
    const bool stopped = walk.stopped() || m_ctx.stopRequested();
    m_result.run.entered = entered;
    m_result.run.stopped = stopped;
    m_result.run.completed = entered && !stopped;
    m_result.run.flushFailed = m_flushFailures > 0;
    summarise(stopped);

    if (!m_ctx.facts.startDir.empty())
        m_ctx.platform.setCurrentDirectory(m_ctx.facts.startDir);
    m_ctx.ui.busy(false);
    m_ctx.ui.showProgress(false);
    return m_result;
}

} // namespace

VerifyResult verifyBackups(EngineContext& ctx, bool repair)
{
    Verifier verifier(ctx, repair);
    return verifier.run();
}

} // namespace kx
