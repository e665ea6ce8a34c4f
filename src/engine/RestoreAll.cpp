// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/RestoreAll.h"

#include "engine/CopyCost.h"
#include "engine/EngineTexts.h"
#include "engine/MediumRecords.h"
#include "engine/RoomCheck.h"
#include "engine/RunReport.h"
#include "engine/TreeCopy.h"
#include "support/CopyBatch.h"
#include "support/SizeText.h"
#include "support/TextHelpers.h"

#include <vector>

namespace kx {

namespace {

std::string confirmation(EngineContext& ctx)
{
    const std::string date = lastBackupText(ctx, ctx.media.current.lastBackupDate);
    return fillIn(inLanguage(ctx.language(), text::restoreConfirmation), {date});
}

void writeSummary(EngineContext& ctx, const TreeCopy& walk, RunResult& result)
{
    const char sep = ctx.platform.decimalSeparator();
    const std::string letter = walk.lastDir().substr(0, 1);
    ctx.ui.addLine("");
    for (const auto& line : summaryLines(result, RunKind::RestoreAll, ctx.language(), letter, sep,
                                         ReportTarget::Output))
        ctx.ui.addLine(line);
    ctx.log.writeLog("");
    for (const auto& line :
         summaryLines(result, RunKind::RestoreAll, ctx.language(), letter, sep, ReportTarget::Log))
        ctx.log.writeLog(line);
    // A drive that did not take its flush has been told already; it counts as a failure.
    result.failedCount =
        walk.failures().summarise(ctx, walk.unreadableFolders()) + walk.flushFailures();
    if (result.stopped) {
        ctx.ui.addLine(stoppedLine(ctx.language()));
        ctx.log.writeLog(stoppedLine(ctx.language()));
    }

    const std::string& base = ctx.target.base;
    // Free space that cannot be read (the medium is away) is not shown as a number.
    const std::int64_t free = ctx.platform.freeSpace(base.empty() ? 'c' : base[0]);
    if (free >= 0) {
        const std::string freeLine = inLanguage(ctx.language(), text::restoredFreeSpaceOn) + base +
                                     " =" + formatSize(free, sep) + "Bytes";
        ctx.ui.addLine(freeLine);
        ctx.log.writeLog(freeLine);
    }
}

} // namespace

RunResult restoreAll(EngineContext& ctx)
{
    const BackupTarget& target = ctx.target;
    MediumRecord& medium = ctx.media.current;
    CopyStopScope copyStop(ctx);
    RunResult result;
    ctx.ui.progress(0);
    ctx.ui.showProgress(true);
    const std::string caption =
        std::string(kProductName) + inLanguage(ctx.language(), text::restoreCaption);
    if (!ctx.ui.askYesNo(caption, confirmation(ctx))) {
        ctx.ui.showProgress(false);
        result.declined = true;
        return result;
    }

    const std::string driveRoot = target.base.substr(0, 1) + ":\\";
    if (const auto root = ctx.platform.openDir(driveRoot);
        !root && showDriveError(ctx, root.error()))
        result.noDisk = true;

    ctx.ui.clearLines();
    // The bar is scaled by the medium's total as recorded; the walk counts it anew.
    const std::int64_t recordedTotal = medium.totalSize;
    const std::int64_t progressStep = recordedTotal / 100;
    ctx.ui.progressTotalKnown(progressStep > 0);
    medium.totalSize = 0;

    // What the restore will write is found first: drives that cannot hold it are told before
    // the first copy.
    CopyCost cost(CopyBatch::kMaxBytes);
    SystemError measureError;
    const bool measured = ctx.platform.setCurrentDirectory(target.base) &&
                          TreeCopy(ctx, result).measureRestore(target.base, cost, measureError);
    result.filesToWrite = cost.files();
    result.bytesToWrite = cost.bytesToWrite();
    RoomCheck room(ctx.platform, cost);
    if (measured && !ctx.stopRequested() && !room.fits()) {
        result.noRoom = true;
        if (!room.askCopyWhatFits(ctx)) {
            result.entered = true;
            result.declined = true;
            medium.totalSize = recordedTotal;
            if (!ctx.facts.startDir.empty())
                ctx.platform.setCurrentDirectory(ctx.facts.startDir);
            ctx.ui.showProgress(false);
            return result;
        }
    }
    // Where the medium has no recorded total, the bar goes by the bytes to copy.
    const bool byBytes = progressStep == 0 && cost.bytesToWrite() >= 100;
    if (byBytes)
        ctx.ui.progressTotalKnown(true);
    TreeCopy walk(ctx, result, byBytes ? cost.bytesToWrite() / 100 : progressStep);
    walk.setRoom(&room, cost.bytesToWrite());
    SystemError error;
    const Result<void> entered = ctx.platform.setCurrentDirectory(target.base);
    if (!entered)
        error = entered.error();
    result.entered = entered && walk.restoreTree(target.base, error);
    result.stopped = walk.stopped();
    result.flushFailed = walk.flushFailed();
    // A stopped walk counted part of the medium, which is no total for the next run's bar.
    medium.totalSize = result.stopped ? recordedTotal : result.backupTotalSize;
    if (result.entered)
        writeSummary(ctx, walk, result);
    else
        ctx.ui.warn(error.message);

    if (!ctx.facts.startDir.empty())
        ctx.platform.setCurrentDirectory(ctx.facts.startDir);
    ctx.ui.showProgress(false);
    return result;
}

} // namespace kx
