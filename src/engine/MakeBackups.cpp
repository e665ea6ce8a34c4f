// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/MakeBackups.h"

#include "engine/BackupLayout.h"
#include "engine/CopyCost.h"
#include "engine/EngineTexts.h"
#include "engine/MediumRecords.h"
#include "engine/QuietUserInterface.h"
#include "engine/RoomCheck.h"
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
#include <functional>
#include <vector>

namespace kx {

namespace {

// How many files the first pass remembers for the second: half a megabyte of hashes.
constexpr std::size_t kFilesRemembered = 65536;

} // namespace

FileVerdict decideFile(FileCopy& copy, const std::string& folder, const FileInfo& entry,
                       const SourceStatus& status)
{
    if (!status.found)
        return {FileVerdict::NotReached};
    if (status.info.isDir)
        return {FileVerdict::SourceIsFolder};
    if (!copy.needsCopy(status.path, status.info, TreeWalk::join(folder, entry.name), &entry))
        return {FileVerdict::LeaveAlone};
    return {FileVerdict::Copy, status.info.size, entry.size};
}

RunResult makeBackups(EngineContext& ctx)
{
    const BackupTarget& target = ctx.target;
    MediumRecord& medium = ctx.media.current;
    CopyStopScope copyStop(ctx);
    ensureAutorunFile(ctx);
    ctx.ui.clearLines();
    ctx.ui.progress(0);
    ctx.ui.showProgress(true);
    ctx.ui.busy(true);
    ctx.ui.clearLines();

    RunResult result;
    result.noDisk = false;
    // The bar is scaled by the medium's total as recorded; the walk counts it anew.
    const std::int64_t recordedTotal = medium.totalSize;
    const std::int64_t progressStep = recordedTotal / 100;
    ctx.ui.progressTotalKnown(progressStep > 0);

    FileCopy copy(ctx.platform, ctx.facts.dst);
    const std::size_t r = target.computerFolder.size();
    // Counts a backup file met, as either pass does.
    const auto met = [&](const FileInfo& entry) {
        ++result.backupFileCount;
        medium.totalSize += entry.size;
        if (progressStep > 0)
            ctx.ui.progress(
                static_cast<int>(std::min<std::int64_t>(100, medium.totalSize / progressStep)));
        ctx.ui.runCounts(result);
    };

    // The first pass copies nothing and tells nothing: it finds what the run will write, so
    // that a target too small for it is known before the first copy. Over a medium with
    // nothing to copy and nothing to tell, it is the whole run.
    QuietUserInterface quietUi;
    ActivityLog quietLog(ctx.platform, ctx.platform);
    quietLog.silence();
    EngineContext quiet{ctx.platform, ctx.target, ctx.media, quietUi,
                        quietLog,     ctx.facts,  ctx.stop};
    CopyCost cost(CopyBatch::kMaxBytes);
    TreeWalk counting(quiet);
    const auto sourceFolderOf = [r](const std::string& folder) {
        return layout::sourceFolderOf(folder, r);
    };
    // The files where the first pass found something to copy or to tell, by a hash of their
    // paths, so that the second pass looks at those again and not at every file: eight bytes
    // a file, and none for a file that is current. Past a bound the hashes are dropped and the
    // second pass looks at every file again, so that the memory a run takes stays flat.
    std::vector<std::uint64_t> filesToVisit;
    bool visitAll = false;
    const auto fileHash = [](const std::string& folder, const std::string& name) {
        const std::hash<std::string> hash;
        return std::uint64_t(hash(folder)) * 0x9E3779B97F4A7C15ull ^ std::uint64_t(hash(name));
    };
    counting.onSourcedFile(sourceFolderOf, [&](const std::string& folder, const FileInfo& entry,
                                               const SourceStatus* source) {
        if (!source)
            return;
        met(entry);
        const FileVerdict verdict = decideFile(copy, folder, entry, *source);
        if (verdict.kind == FileVerdict::LeaveAlone)
            return;
        if (filesToVisit.size() < kFilesRemembered)
            filesToVisit.push_back(fileHash(folder, entry.name));
        else
            visitAll = true;
        if (verdict.kind == FileVerdict::Copy)
            cost.add(folder[0], verdict.newSize, verdict.oldSize);
        else
            cost.noteReport();
    });
    medium.totalSize = 0;
    bool entered = bool(ctx.platform.setCurrentDirectory(target.base));
    bool counted = false;
    if (entered) {
        counting.setHiddenLevels(1);
        SystemError walkError;
        counted = counting.run(target.base, walkError);
        if (counting.unreadableFolders() > 0)
            cost.noteReport();
    }
    result.filesToWrite = cost.files();
    result.bytesToWrite = cost.bytesToWrite();
    const bool countingStopped = counting.stopped() || ctx.stopRequested();
    // A root that could not be entered or listed is told by the pass that tells.
    const bool secondPass = !counted || (!countingStopped && !cost.nothingToDo());

    RoomCheck room(ctx.platform, cost);
    if (secondPass && counted && !room.fits()) {
        result.noRoom = true;
        if (!room.askCopyWhatFits(ctx)) {
            result.entered = true;
            result.declined = true;
            medium.totalSize = recordedTotal;
            if (!ctx.facts.startDir.empty())
                ctx.platform.setCurrentDirectory(ctx.facts.startDir);
            ctx.ui.busy(false);
            ctx.ui.showProgress(false);
            return result;
        }
    }

    // The first pass moved the bar as the medium's total grew; the second moves it by the bytes
    // to copy.
    const bool byBytes = cost.bytesToWrite() > 0;
    CopyBatch batch(ctx.platform);
    TreeWalk walk(ctx);
    WalkFailures failures;
    walk.onSourcedFile(sourceFolderOf, [&](const std::string& folder, const FileInfo& entry,
                                           const SourceStatus* sourceStatus) {
        if (!sourceStatus)
            return;
        const SourceStatus& status = *sourceStatus;
        const std::string* source = &status.path;
        // The first pass counted every backup file; without it this pass counts them.
        if (!counted)
            met(entry);
        const std::string backup = TreeWalk::join(folder, entry.name);
        const std::string drive = folder.substr(0, 1) + ":";
        const FileVerdict verdict = decideFile(copy, folder, entry, status);
        switch (verdict.kind) {
        case FileVerdict::LeaveAlone:
            return;
        case FileVerdict::NotReached:
            failures.sourceNotReached(ctx, *source, backup, drive, status.error);
            return;
        case FileVerdict::SourceIsFolder:
            failures.copyFailed(ctx, *source, drive,
                                SystemError{errors::kAccessDenied, "The source is a folder"});
            return;
        case FileVerdict::Copy:
            break;
        }
        if (!room.take(folder[0], verdict.newSize, verdict.oldSize)) {
            failures.copyFailed(ctx, *source, drive, RoomCheck::noRoomError(ctx.language()));
            return;
        }
        const FileDate sourceDate = fileDateOf(ctx.platform, status.info);
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
            ctx.ui.addLine(line);
            ctx.log.writeLog(line);
            ++result.copiedCount;
            // What the medium holds now: the new copy's size, not the old one's.
            result.copiedSize += staged.size;
            medium.totalSize += staged.size - oldSize;
            if (byBytes)
                ctx.ui.progress(static_cast<int>(std::clamp<std::int64_t>(
                    result.copiedSize * 100 / cost.bytesToWrite(), 0, 100)));
            ctx.ui.progressBytes(result.copiedSize, cost.bytesToWrite());
            ctx.ui.runCounts(result);
        };
        SystemError error;
        // A copy the stop abandoned half-way is no failure: the old copy is still there.
        if (!batch.add(*source, backup, settle, error) && error.code != errors::kStopped)
            failures.copyFailed(ctx, *source, drive, error);
    });
    if (secondPass && counted && !visitAll) {
        // A file the first pass found current is not looked at again: what changes from here
        // on is the next run's, as for a file the walk has passed.
        std::sort(filesToVisit.begin(), filesToVisit.end());
        walk.handOnlyFiles([&](const std::string& folder, const std::string& name) {
            return std::binary_search(filesToVisit.begin(), filesToVisit.end(),
                                      fileHash(folder, name));
        });
    }
    if (secondPass) {
        if (!counted) {
            result.backupFileCount = 0;
            medium.totalSize = 0;
        }
        // With nothing to copy the bar stays where the first pass left it.
        if (byBytes) {
            ctx.ui.progress(0);
            ctx.ui.progressTotalKnown(true);
        }
        ctx.ui.progressBytes(0, cost.bytesToWrite());
    }
    std::uint64_t flushFailures = 0;
    const TreeWalk& ran = secondPass ? walk : counting;
    if (secondPass) {
        const Result<void> enteredBase = ctx.platform.setCurrentDirectory(target.base);
        entered = bool(enteredBase);
        if (!entered) {
            result.noDisk = showDriveError(ctx, enteredBase.error());
        } else {
            walk.setHiddenLevels(1);
            SystemError walkError;
            // A root that cannot be listed is a drive that could not be entered, not an empty
            // one.
            entered = walk.run(target.base, walkError);
            // Copies not yet in their place when the user stopped are dropped, not counted.
            if (walk.stopped() || ctx.stopRequested())
                batch.abandon();
            else
                batch.commit();
            if (!entered)
                result.noDisk = showDriveError(ctx, walkError);
        }
    }
    if (entered) {
        // After the last rename, before the run calls itself done; a stopped run too.
        WrittenDrives written;
        written.add(target.base);
        flushFailures = written.flush(ctx);
    }

    const bool stopped = ran.stopped() || ctx.stopRequested();
    // A run whose copies may not be on the medium records no backup date, and nor does one
    // that passed over what did not fit.
    result.flushFailed = flushFailures > 0 || batch.flushFailed();
    if (result.copiedCount > 0 && !stopped && !result.flushFailed && !result.noRoom) {
        medium.lastBackupDate = now(ctx.platform);
        ctx.ui.status(backupDriveStatusLine(ctx.language(), DriveStatus::LastBackup,
                                            backupDriveText(ctx),
                                            dateText(ctx, medium.lastBackupDate)));
        writeLastDate(ctx, medium.totalSize, medium.lastBackupDate);
    }

    const std::string d = (entered ? ran.lastDir() : target.base).substr(0, 1);
    const char sep = ctx.platform.decimalSeparator();
    result.entered = entered;
    result.stopped = stopped;
    result.backupTotalSize = medium.totalSize;
    // A stopped walk counted part of the medium: taken as its total, it would fill the next
    // run's bar long before its end.
    if (stopped)
        medium.totalSize = recordedTotal;
    const std::vector<std::string> summary =
        summaryLines(result, RunKind::Refresh, ctx.language(), d, sep, ReportTarget::Output);
    ctx.ui.addLine("");
    for (const auto& line : summary)
        ctx.ui.addLine(line);
    ctx.log.writeLog("");
    for (const auto& line : summary)
        ctx.log.writeLog(line);
    result.failedCount = failures.summarise(ctx, ran.unreadableFolders()) + flushFailures;
    result.withoutSourceCount = failures.withoutSource();
    if (stopped) {
        ctx.ui.addLine(stoppedLine(ctx.language()));
        ctx.log.writeLog(stoppedLine(ctx.language()));
    }

    const std::string listText = backupDriveText(ctx);
    // Free space that cannot be read (the medium is away) is not shown as a number.
    const std::int64_t free = ctx.platform.freeSpace(listText.empty() ? 'c' : listText[0]);
    if (free >= 0) {
        const std::string freeLine = inLanguage(ctx.language(), text::freeSpaceOn) + listText +
                                     " =" + formatSize(free, sep) + "Bytes";
        ctx.ui.addLine(freeLine);
        ctx.log.writeLog(freeLine);
    }

    if (!ctx.facts.startDir.empty())
        ctx.platform.setCurrentDirectory(ctx.facts.startDir);
    ctx.ui.busy(false);
    ctx.ui.showProgress(false);
    return result;
}

} // namespace kx
