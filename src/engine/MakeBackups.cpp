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

bool MaakBackupBtnClick(EngineContext& ctx)
{
    ctx.log.WriteLog(ctx.nlEn("Knop \"Backups Maken\" geklikt", "Button \"Make Backups\" clicked"));
    EnsureAutorunFile(ctx);
    ctx.ui.clearMemo();
    ctx.ui.progress(0);
    ctx.state.ProgressStep = ctx.state.BackupTotalSize / 100;
    ctx.ui.showProgress(true);
    ctx.ui.pump();
    const bool entered = MakeBackups(ctx);
    ctx.ui.showProgress(false);
    return entered;
}

bool MakeBackups(EngineContext& ctx)
{
    ProgramState& state = ctx.state;
    ctx.ui.busy(true);
    ctx.ui.clearMemo();
    state.NoDisk = false;

    SystemError error;
    state.CopiedCount = 0;
    state.BackupFileCount = 0;
    state.ProgressStep = state.BackupTotalSize / 100;
    state.BackupTotalSize = 0;
    state.CopiedSize = 0;

    FileCopy copy(ctx.platform, ctx.facts.Dst);
    CopyBatch batch(ctx.platform);
    TreeWalk walk(ctx);
    WalkFailures failures;
    const std::size_t r = state.ComputerFolder.size();
    walk.onFile([&](const std::string& folder, const FileInfo& entry) {
        const auto source = layout::SourcePathOf(folder, entry.name, r);
        if (!source)
            return;
        ++state.BackupFileCount;
        state.BackupTotalSize += entry.size;
        if (state.ProgressStep > 0)
            ctx.ui.progress(static_cast<int>(
                std::min<std::int64_t>(100, state.BackupTotalSize / state.ProgressStep)));
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
        const FileDate sourceDate = FileDateOf(ctx.platform, sourceInfo);
        if (!copy.NeedsCopy(*source, sourceDate, backup, FileDateOf(ctx.platform, entry)))
            return;
        const std::int64_t oldSize = entry.size;
        auto settle = [&, source = *source, backup, drive, sourceDate,
                       oldSize](const StagedCopy& staged, const SystemError* failure) {
            if (failure) {
                failures.copyFailed(ctx, source, drive, *failure);
                return;
            }
            copy.CorrectCopiedFileTime(source, backup, sourceDate);
            const std::string line = source + ctx.nlEn(" gekopieerd naar ", " copied to ") + drive;
            ctx.ui.memo(line);
            ctx.log.WriteLog(line);
            ++state.CopiedCount;
            // What the medium holds now: the new copy's size, not the old one's.
            state.CopiedSize += staged.size;
            state.BackupTotalSize += staged.size - oldSize;
        };
        if (!batch.add(*source, backup, settle, error))
            failures.copyFailed(ctx, *source, drive, error);
    });
    bool entered = ctx.platform.setCurrentDirectory(state.BackupBase, error);
    if (!entered) {
        ShowDriveError(ctx, error);
    } else {
        walk.setHiddenLevels(1);
        SystemError walkError;
        // A root that cannot be listed is a drive that could not be entered, not an empty one.
        entered = walk.run(state.BackupBase, walkError);
        batch.commit();
        if (!entered)
            ShowDriveError(ctx, walkError);
        ctx.platform.flushDrive(state.BackupBase[0]);
    }

    if (state.CopiedCount > 0) {
        state.FirstTime = false;
        state.LastBackupDate = Now(ctx.platform);
        ctx.ui.status(ctx.nlEn(" Backupschijf: ", " Backup drive: ") + BackupDriveText(ctx) +
                      ctx.nlEn(", laatste backup: ", ", latest backup: ") +
                      DateText(ctx, state.LastBackupDate));
        WriteLastDate(ctx, state.BackupTotalSize, state.LastBackupDate);
    }

    const std::string d = (entered ? walk.lastDir() : state.BackupBase).substr(0, 1);
    const char sep = ctx.platform.decimalSeparator();
    const std::vector<std::string> summary = {
        ctx.nlEn("Aantal bestanden gekopieerd naar ", "Number of files copied to ") + d +
            ": = " + std::to_string(state.CopiedCount),
        ctx.nlEn("Totale grootte gekopieerde bestanden = ", "Total size of copied files = ") +
            FormatSize(state.CopiedSize, sep) + "bytes",
        ctx.nlEn("Totaal aantal Backup-bestanden = ", "Total number of Backup files = ") +
            std::to_string(state.BackupFileCount),
        ctx.nlEn("Totaal schijfgebruik Backup-bestanden = ", "Total disk usage Backup files = ") +
            FormatSize(state.BackupTotalSize, sep) + "bytes",
    };
    ctx.ui.memo("");
    for (const auto& line : summary)
        ctx.ui.memo(line);
    ctx.log.WriteLog("");
    for (const auto& line : summary)
        ctx.log.WriteLog(line);
    failures.summarise(ctx, walk.unreadableFolders());

    const std::string listText = BackupDriveText(ctx);
    const std::string freeLine =
        ctx.nlEn("Vrije ruimte op ", "Free space on ") + listText + " =" +
        FormatSize(ctx.platform.freeSpace(listText.empty() ? 'c' : listText[0]), sep) + "Bytes";
    ctx.ui.memo(freeLine);
    ctx.log.WriteLog(freeLine);

    if (!state.StartDir.empty())
        ctx.platform.setCurrentDirectory(state.StartDir, error);
    ctx.ui.busy(false);
    return entered;
}

} // namespace kx
