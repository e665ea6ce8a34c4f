#include "engine/RestoreAll.h"

#include "engine/MediumRecords.h"
#include "engine/TreeCopy.h"
#include "support/SizeText.h"

#include <vector>

namespace kx {

namespace {

constexpr const char* kProductName = "Kopierix";
constexpr const char* kCr = "\r";

std::string confirmation(EngineContext& ctx)
{
    const std::string date = dateText(ctx, ctx.state.lastBackupDate);
    if (ctx.dutch())
        return std::string("U staat op het punt om uw gegevens te overschijven. De toestand van ") +
               date + " zal worden hersteld. " +
               "Alle latere wijzigingen zullen worden ongedaan gemaakt." + kCr + kCr +
               "N.b. Dit geldt alleen voor de bestanden, die op de Backupschijf " +
               "aanwezig zijn." + kCr + kCr +
               "Wilt u slechts enkele bestanden herstellen, klik dan op \"Nee\" en " +
               "vervolgens op Beheer." + kCr +
               "Wilt u inderdaad al uw gegevens herstellen, klik dan op \"Ja\".";
    return std::string("You are at the brink of overwriting your data. The state of ") + date +
           " will be restored. " + "All changes of later dates will be overwritten." + kCr + kCr +
           "N.b. This is only true for the files that exist on the Backup Drive." + kCr + kCr +
           "If you only want to restore a small number of files, then click \"No\" and " +
           "next click Manage." + kCr +
           "Do you want  to restore all your data, then click the \"Yes\" Button.";
}

void writeSummary(EngineContext& ctx, const TreeCopy& walk)
{
    const ProgramState& state = ctx.state;
    const char sep = ctx.platform.decimalSeparator();
    const std::string letter = walk.lastDir().substr(0, 1);
    const std::string copiedSize = formatSize(state.copiedSize, sep) + "bytes";
    const std::string totalSize = formatSize(state.backupTotalSize, sep) + "bytes";
    const std::vector<std::string> lines = {
        ctx.nlEn("Aantal bestanden hersteld vanuit ", "Number of files restored from ") + letter +
            ": = " + std::to_string(state.copiedCount),
        ctx.nlEn("Totale grootte gekopieerde bestanden = ", "Total size of copied files = ") +
            copiedSize,
        ctx.nlEn("Totaal aantal Backup-bestanden = ", "Total number of Backup files = ") +
            std::to_string(state.backupFileCount),
    };
    // The English window and log spell the last line differently; both are kept as users know
    // them.
    const std::string diskUseMemo =
        ctx.nlEn("Totaal schijfgebruik Backup-bestanden = ", "Total disk Use of Backup files = ") +
        totalSize;
    const std::string diskUseLog =
        ctx.nlEn("Totaal schijfgebruik Backup-bestanden = ", "Total Disk Use of Backup files = ") +
        totalSize;

    ctx.ui.memo("");
    for (const auto& line : lines)
        ctx.ui.memo(line);
    ctx.ui.memo(diskUseMemo);
    ctx.log.writeLog("");
    for (const auto& line : lines)
        ctx.log.writeLog(line);
    ctx.log.writeLog(diskUseLog);
    walk.failures().summarise(ctx, walk.unreadableFolders());

    const std::string& base = state.backupBase;
    const std::string freeLine =
        ctx.nlEn("Vrije ruimte op ", "Free Space on ") + base + " =" +
        formatSize(ctx.platform.freeSpace(base.empty() ? 'c' : base[0]), sep) + "Bytes";
    ctx.ui.memo(freeLine);
    ctx.log.writeLog(freeLine);
}

} // namespace

bool restoreAll(EngineContext& ctx)
{
    ProgramState& state = ctx.state;
    ctx.log.writeLog(ctx.nlEn("Knop \"Herstellen\" geklikt", "Button \"Restore\" clicked"));
    ctx.ui.progress(0);
    ctx.ui.showProgress(true);
    const std::string caption = std::string(kProductName) + ctx.nlEn(" - Herstellen", " - Recover");
    if (!ctx.ui.askYesNo(caption, confirmation(ctx))) {
        ctx.ui.showProgress(false);
        return false;
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
    const bool entered = ctx.platform.setCurrentDirectory(state.backupBase, error) &&
                         walk.restoreTree(state.backupBase, error);
    if (entered)
        writeSummary(ctx, walk);
    else
        ctx.ui.warn(error.message);

    SystemError ignored;
    if (!state.startDir.empty())
        ctx.platform.setCurrentDirectory(state.startDir, ignored);
    ctx.ui.showProgress(false);
    return entered;
}

} // namespace kx
