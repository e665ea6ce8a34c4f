// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/MakeBackups.h"

#include "engine/BackupLayout.h"
#include "engine/EngineTexts.h"
#include "engine/MediumRecords.h"
#include "engine/RunReport.h"
#include "engine/StatusLine.h"
#include "engine/TreeWalk.h"
#include "engine/WalkSummary.h"
#include "engine/WrittenDrives.h"
#include "support/CopyBatch.h"
#include "support/FileCopy.h"
#include "support/FileDate.h"
#include "support/SizeText.h"

#include <algorithm>

namespace kx {

RunResult makeBackups(EngineContext& ctx)
{
    const BackupTarget& target = ctx.target;
    MediumRecord& medium = ctx.media.current;
    CopyStopScope copyStop(ctx);
    ensureAutorunFile(ctx);
    ctx.ui.clearMemo();
    ctx.ui.progress(0);
    ctx.ui.showProgress(true);
    ctx.ui.busy(true);
    ctx.ui.clearMemo();

    SystemError error;
    RunResult result;
    result.noDisk = false;
    // The bar is scaled by the medium's total as recorded; the walk counts it anew.
    const std::int64_t recordedTotal = medium.totalSize;
    const std::int64_t progressStep = recordedTotal / 100;
    ctx.ui.progressTotalKnown(progressStep > 0);
    medium.totalSize = 0;

    FileCopy copy(ctx.platform, ctx.facts.dst);
    CopyBatch batch(ctx.platform);
    TreeWalk walk(ctx);
    WalkFailures failures;
    const std::size_t r = target.computerFolder.size();
    auto sourceFolderOf = [r](const std::string& folder) {
        return layout::sourceFolderOf(folder, r);
    };
    walk.onSourcedFile(sourceFolderOf, [&](const std::string& folder, const FileInfo& entry,
                                           const SourceStatus* sourceStatus) {
        if (!sourceStatus)
            return;
        const std::string* source = &sourceStatus->path;
        ++result.backupFileCount;
        medium.totalSize += entry.size;
        if (progressStep > 0)
            ctx.ui.progress(
                static_cast<int>(std::min<std::int64_t>(100, medium.totalSize / progressStep)));
        ctx.ui.runCounts(result);
        const std::string backup = TreeWalk::join(folder, entry.name);
        const std::string drive = folder.substr(0, 1) + ":";
        if (!sourceStatus->found) {
            failures.sourceNotReached(ctx, *source, backup, drive, sourceStatus->error);
            return;
        }
        const FileInfo& sourceInfo = sourceStatus->info;
        SystemError error;
        if (sourceInfo.isDir) {
            failures.copyFailed(ctx, *source, drive,
                                SystemError{errors::kAccessDenied, "The source is a folder"});
            return;
        }
        if (!copy.needsCopy(*source, sourceInfo, backup, &entry))
            return;
        const FileDate sourceDate = fileDateOf(ctx.platform, sourceInfo);
        const std::int64_t oldSize = entry.size;
        auto settle = [&, source = *source, backup, drive, sourceDate,
                       oldSize](const StagedCopy& staged, const SystemError* failure) {
            if (failure) {
                failures.copyFailed(ctx, source, drive, *failure);
                return;
            }
            copy.correctCopiedFileTime(source, backup, sourceDate);
            const std::string line = ctx.platform.displayPath(source) +
                                     inLanguage(ctx.language(), text::copiedTo) + drive;
            ctx.ui.memo(line);
            ctx.log.writeLog(line);
            ++result.copiedCount;
            // What the medium holds now: the new copy's size, not the old one's.
            result.copiedSize += staged.size;
            medium.totalSize += staged.size - oldSize;
            ctx.ui.runCounts(result);
        };
        // A copy the stop abandoned half-way is no failure: the old copy is still there.
        if (!batch.add(*source, backup, settle, error) && error.code != errors::kStopped)
            failures.copyFailed(ctx, *source, drive, error);
    });
    std::uint64_t flushFailures = 0;
    bool entered = ctx.platform.setCurrentDirectory(target.base, error);
    if (!entered) {
        result.noDisk = showDriveError(ctx, error);
    } else {
        walk.setHiddenLevels(1);
        SystemError walkError;
        // A root that cannot be listed is a drive that could not be entered, not an empty one.
        entered = walk.run(target.base, walkError);
        // Copies not yet in their place when the user stopped are dropped, not counted.
        if (walk.stopped() || ctx.stopRequested())
            batch.abandon();
        else
            batch.commit();
        if (!entered)
            result.noDisk = showDriveError(ctx, walkError);
        // After the last rename, before the run calls itself done; a stopped run too.
        WrittenDrives written;
        written.add(target.base);
        flushFailures = written.flush(ctx);
    }

    const bool stopped = walk.stopped() || ctx.stopRequested();
    // A run whose copies may not be on the medium records no backup date.
    result.flushFailed = flushFailures > 0 || batch.flushFailed();
    if (result.copiedCount > 0 && !stopped && !result.flushFailed) {
        medium.lastBackupDate = now(ctx.platform);
        ctx.ui.status(backupDriveStatusLine(ctx.language(), DriveStatus::LastBackup,
                                            backupDriveText(ctx),
                                            dateText(ctx, medium.lastBackupDate)));
        writeLastDate(ctx, medium.totalSize, medium.lastBackupDate);
    }

    const std::string d = (entered ? walk.lastDir() : target.base).substr(0, 1);
    const char sep = ctx.platform.decimalSeparator();
    result.entered = entered;
    result.stopped = stopped;
    result.backupTotalSize = medium.totalSize;
    // A stopped walk counted part of the medium: taken as its total, it would fill the next
    // run's bar long before its end.
    if (stopped)
        medium.totalSize = recordedTotal;
    const std::vector<std::string> summary =
        summaryLines(result, RunKind::Refresh, ctx.language(), d, sep, ReportTarget::Memo);
    ctx.ui.memo("");
    for (const auto& line : summary)
        ctx.ui.memo(line);
    ctx.log.writeLog("");
    for (const auto& line : summary)
        ctx.log.writeLog(line);
    result.failedCount = failures.summarise(ctx, walk.unreadableFolders()) + flushFailures;
    result.withoutSourceCount = failures.withoutSource();
    if (stopped) {
        ctx.ui.memo(stoppedLine(ctx.language()));
        ctx.log.writeLog(stoppedLine(ctx.language()));
    }

    const std::string listText = backupDriveText(ctx);
    // Free space that cannot be read (the medium is away) is not shown as a number.
    const std::int64_t free = ctx.platform.freeSpace(listText.empty() ? 'c' : listText[0]);
    if (free >= 0) {
        const std::string freeLine = inLanguage(ctx.language(), text::freeSpaceOn) + listText +
                                     " =" + formatSize(free, sep) + "Bytes";
        ctx.ui.memo(freeLine);
        ctx.log.writeLog(freeLine);
    }

    if (!ctx.facts.startDir.empty())
        ctx.platform.setCurrentDirectory(ctx.facts.startDir, error);
    ctx.ui.busy(false);
    ctx.ui.showProgress(false);
    return result;
}

} // namespace kx
