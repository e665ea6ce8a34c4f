#include "engine/MakeBackups.h"

#include "engine/BackupLayout.h"
#include "engine/MediumRecords.h"
#include "engine/TreeWalk.h"
#include "engine/WalkSummary.h"
#include "support/CopyBatch.h"
#include "support/FileCopy.h"
#include "support/FileDate.h"
#include "support/SizeText.h"

#include <algorithm>

namespace kx {

bool makeBackups(EngineContext& ctx)
{
    ctx.log.writeLog(ctx.nlEn("Knop \"Backups Maken\" geklikt", "Button \"Make Backups\" clicked"));
    ensureAutorunFile(ctx);
    ctx.ui.clearMemo();
    ctx.ui.progress(0);
    ctx.state.progressStep = ctx.state.backupTotalSize / 100;
    ctx.ui.showProgress(true);
    ctx.ui.pump();
    const bool entered = refreshBackups(ctx);
    ctx.ui.showProgress(false);
    return entered;
}

bool refreshBackups(EngineContext& ctx)
{
    ProgramState& state = ctx.state;
    ctx.ui.busy(true);
    ctx.ui.clearMemo();
    state.noDisk = false;

    SystemError error;
    state.copiedCount = 0;
    state.backupFileCount = 0;
    state.progressStep = state.backupTotalSize / 100;
    state.backupTotalSize = 0;
    state.copiedSize = 0;

    FileCopy copy(ctx.platform, ctx.facts.dst);
    CopyBatch batch(ctx.platform);
    TreeWalk walk(ctx);
    WalkFailures failures;
    const std::size_t r = state.computerFolder.size();
    walk.onFile([&](const std::string& folder, const FileInfo& entry) {
        const auto source = layout::sourcePathOf(folder, entry.name, r);
        if (!source)
            return;
        ++state.backupFileCount;
        state.backupTotalSize += entry.size;
        if (state.progressStep > 0)
            ctx.ui.progress(static_cast<int>(
                std::min<std::int64_t>(100, state.backupTotalSize / state.progressStep)));
        const std::string backup = TreeWalk::join(folder, entry.name);
        const std::string drive = folder.substr(0, 1) + ":";
        FileInfo sourceInfo;
        SystemError error;
        if (!ctx.platform.fileStatus(*source, sourceInfo, error)) {
            failures.sourceNotReached(ctx, *source, backup, drive, error);
            return;
        }
        if (sourceInfo.isDir) {
            failures.copyFailed(ctx, *source, drive,
                                SystemError{errors::kAccessDenied, "The source is a folder"});
            return;
        }
        const FileDate sourceDate = fileDateOf(ctx.platform, sourceInfo);
        if (!copy.needsCopy(*source, sourceDate, backup, fileDateOf(ctx.platform, entry)))
            return;
        const std::int64_t oldSize = entry.size;
        auto settle = [&, source = *source, backup, drive, sourceDate,
                       oldSize](const StagedCopy& staged, const SystemError* failure) {
            if (failure) {
                failures.copyFailed(ctx, source, drive, *failure);
                return;
            }
            copy.correctCopiedFileTime(source, backup, sourceDate);
            const std::string line = source + ctx.nlEn(" gekopieerd naar ", " copied to ") + drive;
            ctx.ui.memo(line);
            ctx.log.writeLog(line);
            ++state.copiedCount;
            // What the medium holds now: the new copy's size, not the old one's.
            state.copiedSize += staged.size;
            state.backupTotalSize += staged.size - oldSize;
        };
        if (!batch.add(*source, backup, settle, error))
            failures.copyFailed(ctx, *source, drive, error);
    });
    bool entered = ctx.platform.setCurrentDirectory(state.backupBase, error);
    if (!entered) {
        showDriveError(ctx, error);
    } else {
        walk.setHiddenLevels(1);
        SystemError walkError;
        // A root that cannot be listed is a drive that could not be entered, not an empty one.
        entered = walk.run(state.backupBase, walkError);
        batch.commit();
        if (!entered)
            showDriveError(ctx, walkError);
        ctx.platform.flushDrive(state.backupBase[0]);
    }

    if (state.copiedCount > 0) {
        state.firstTime = false;
        state.lastBackupDate = now(ctx.platform);
        ctx.ui.status(ctx.nlEn(" Backupschijf: ", " Backup drive: ") + backupDriveText(ctx) +
                      ctx.nlEn(", laatste backup: ", ", latest backup: ") +
                      dateText(ctx, state.lastBackupDate));
        writeLastDate(ctx, state.backupTotalSize, state.lastBackupDate);
    }

    const std::string d = (entered ? walk.lastDir() : state.backupBase).substr(0, 1);
    const char sep = ctx.platform.decimalSeparator();
    const std::vector<std::string> summary = {
        ctx.nlEn("Aantal bestanden gekopieerd naar ", "Number of files copied to ") + d +
            ": = " + std::to_string(state.copiedCount),
        ctx.nlEn("Totale grootte gekopieerde bestanden = ", "Total size of copied files = ") +
            formatSize(state.copiedSize, sep) + "bytes",
        ctx.nlEn("Totaal aantal Backup-bestanden = ", "Total number of Backup files = ") +
            std::to_string(state.backupFileCount),
        ctx.nlEn("Totaal schijfgebruik Backup-bestanden = ", "Total disk usage Backup files = ") +
            formatSize(state.backupTotalSize, sep) + "bytes",
    };
    ctx.ui.memo("");
    for (const auto& line : summary)
        ctx.ui.memo(line);
    ctx.log.writeLog("");
    for (const auto& line : summary)
        ctx.log.writeLog(line);
    failures.summarise(ctx, walk.unreadableFolders());

    const std::string listText = backupDriveText(ctx);
    const std::string freeLine =
        ctx.nlEn("Vrije ruimte op ", "Free space on ") + listText + " =" +
        formatSize(ctx.platform.freeSpace(listText.empty() ? 'c' : listText[0]), sep) + "Bytes";
    ctx.ui.memo(freeLine);
    ctx.log.writeLog(freeLine);

    if (!state.startDir.empty())
        ctx.platform.setCurrentDirectory(state.startDir, error);
    ctx.ui.busy(false);
    return entered;
}

} // namespace kx
