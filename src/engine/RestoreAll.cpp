#include "engine/RestoreAll.h"

#include "engine/EngineTexts.h"
#include "engine/MediumRecords.h"
#include "engine/RunReport.h"
#include "engine/TreeCopy.h"
#include "support/SizeText.h"
#include "support/TextHelpers.h"

#include <vector>

namespace kx {

namespace {

std::string confirmation(EngineContext& ctx)
{
    const std::string date = dateText(ctx, ctx.state.lastBackupDate);
    return fillIn(inLanguage(ctx.language(), text::restoreConfirmation), {date});
}

void writeSummary(EngineContext& ctx, const TreeCopy& walk, RunResult& result)
{
    const ProgramState& state = ctx.state;
    const char sep = ctx.platform.decimalSeparator();
    const std::string letter = walk.lastDir().substr(0, 1);
    result.copiedCount = state.copiedCount;
    result.copiedSize = state.copiedSize;
    result.backupFileCount = state.backupFileCount;
    result.backupTotalSize = state.backupTotalSize;
    ctx.ui.memo("");
    for (const auto& line :
         summaryLines(result, RunKind::RestoreAll, ctx.language(), letter, sep, ReportTarget::Memo))
        ctx.ui.memo(line);
    ctx.log.writeLog("");
    for (const auto& line :
         summaryLines(result, RunKind::RestoreAll, ctx.language(), letter, sep, ReportTarget::Log))
        ctx.log.writeLog(line);
    walk.failures().summarise(ctx, walk.unreadableFolders());
    result.failedCount = state.failedCount;
    if (result.stopped) {
        ctx.ui.memo(stoppedLine(ctx.language()));
        ctx.log.writeLog(stoppedLine(ctx.language()));
    }

    const std::string& base = state.backupBase;
    const std::string freeLine =
        inLanguage(ctx.language(), text::restoredFreeSpaceOn) + base + " =" +
        formatSize(ctx.platform.freeSpace(base.empty() ? 'c' : base[0]), sep) + "Bytes";
    ctx.ui.memo(freeLine);
    ctx.log.writeLog(freeLine);
}

} // namespace

RunResult restoreAll(EngineContext& ctx)
{
    ProgramState& state = ctx.state;
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

    SystemError error;
    const std::string driveRoot = state.backupBase.substr(0, 1) + ":\\";
    if (!ctx.platform.openDir(driveRoot, error))
        showDriveError(ctx, error);

    ctx.ui.clearMemo();
    state.copiedCount = 0;
    state.copiedSize = 0;
    state.backupFileCount = 0;
    state.backupTotalSize = 0;

    TreeCopy walk(ctx);
    result.entered = ctx.platform.setCurrentDirectory(state.backupBase, error) &&
                     walk.restoreTree(state.backupBase, error);
    result.stopped = walk.stopped();
    if (result.entered)
        writeSummary(ctx, walk, result);
    else
        ctx.ui.warn(error.message);

    SystemError ignored;
    if (!state.startDir.empty())
        ctx.platform.setCurrentDirectory(state.startDir, ignored);
    ctx.ui.showProgress(false);
    return result;
}

} // namespace kx
