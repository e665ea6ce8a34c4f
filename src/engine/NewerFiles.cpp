// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/NewerFiles.h"

#include "engine/BackupLayout.h"
#include "engine/CopyCost.h"
#include "engine/EngineTexts.h"
#include "engine/FileCommands.h"
#include "engine/MediumRecords.h"
#include "engine/RoomCheck.h"
#include "engine/RunReport.h"
#include "engine/TreeWalk.h"
#include "engine/WalkSummary.h"
#include "engine/WrittenDrives.h"
#include "support/FileCopy.h"
#include "support/FileDate.h"
#include "support/TextHelpers.h"

#include <algorithm>
#include <unordered_set>

namespace kx {

namespace {

bool endsWith(const std::string& s, const std::string& tail)
{
    return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

/** A folder as a listing wants it: without trailing backslash, except for a root. */
std::string folderPath(std::string folder)
{
    while (folder.size() > 3 && folder.back() == '\\')
        folder.pop_back();
    return folder;
}

/** The bar counts `max` steps; the interface counts 0..100. */
void showStep(EngineContext& ctx, std::size_t position, std::size_t max)
{
    ctx.ui.progress(max == 0 ? 0
                             : static_cast<int>(std::min<std::size_t>(100, position * 100 / max)));
}

/**
 * Every folder on the medium that lies in a top-level backup folder and holds a file (or a
 * hidden folder), once each, sorted. Folders that hold only subfolders are not listed.
 */
bool collectBackupFolders(EngineContext& ctx, TreeWalk& walk, std::vector<std::string>& folders,
                          SystemError& error)
{
    const std::size_t r = ctx.target.computerFolder.size();
    const std::string prefix = ":\\" + lowerCase(ctx.target.computerFolder);
    // A folder's files arrive together, interrupted only by its subfolders: the test is made
    // once per run of files, and a folder listed twice (before and after a subfolder) is merged
    // by the sort below.
    std::string lastSeen;
    auto consider = [&](const std::string& folder, const FileInfo&) {
        if (folder == lastSeen)
            return;
        lastSeen = folder;
        const std::string k = lowerCase(folder);
        if (k.size() < 5 || k.size() <= r + 4 || k.compare(1, prefix.size(), prefix) != 0 ||
            k[r + 4] != '-')
            return;
        // Kept with the case it has on the medium: that is how the folder and its source are
        // found.
        folders.push_back(k.size() - r > 5 ? folder + "\\" : folder);
    };
    walk.onFile(consider);
    // A hidden folder (and a link to a folder, passed over in the same way) lists its folder as
    // a file does.
    walk.onSkipped(consider);
    if (!walk.run(ctx.target.base, error))
        return false;
    std::sort(folders.begin(), folders.end(), [](const std::string& a, const std::string& b) {
        const std::string la = lowerCase(a), lb = lowerCase(b);
        return la != lb ? la < lb : a < b;
    });
    folders.erase(std::unique(folders.begin(), folders.end()), folders.end());
    return true;
}

/**
 * Proposes the files of source folder S that B's extensions match, that B lacks, and that are
 * newer than the last backup. Only the names of this one pair of folders are held.
 */
void scanFolderPair(EngineContext& ctx, const std::string& s, const std::string& b,
                    std::vector<std::string>& proposals)
{
    std::unordered_set<std::string> extensions;
    std::unordered_set<std::string> backupNames;
    // The mirror folder came from the walk, so it exists; it is read, never created.
    // Extensions are matched without regard to case, names exactly: a source that differs from
    // a backup file in case alone is another file, never hidden by it.
    if (const auto listing = ctx.platform.openDir(folderPath(b))) {
        FileInfo entry;
        while (listing.value()->next(entry)) {
            extensions.insert(newerExtensionOf(entry.name));
            backupNames.insert(entry.name);
        }
    }
    if (extensions.empty())
        return;

    // A source folder that no longer exists has nothing to propose. Listing it must not bring it
    // back: the scan only proposes, it never creates folders on a source drive.
    const auto opened = ctx.platform.openDir(folderPath(s));
    if (!opened)
        return;
    DirListing* const listing = opened.value().get();
    FileInfo entry;
    while (!ctx.stopRequested() && listing->next(entry)) {
        if (entry.isDir)
            continue;
        if (extensions.count(newerExtensionOf(entry.name)) == 0 ||
            backupNames.count(entry.name) != 0)
            continue;
        // A link's listing entry may describe the link itself; its target's time counts.
        FileInfo target;
        if (entry.isLink && (!ctx.platform.fileInfo(s + entry.name, target) || target.isDir))
            continue;
        // The whole time, to the fraction of its second: a file saved a second after the last
        // backup is newer than it.
        const FileInfo& dated = entry.isLink ? target : entry;
        if (fileDateTimeOf(ctx.platform, dated) > ctx.media.current.lastBackupDate)
            proposals.push_back(s + entry.name);
    }
}

} // namespace

bool isInList(const std::string& name, const std::vector<std::string>& list)
{
    const std::string wanted = lowerCase(name);
    return std::any_of(list.begin(), list.end(),
                       [&](const std::string& line) { return lowerCase(line) == wanted; });
}

std::string newerExtensionOf(const std::string& name)
{
    const std::size_t dot = name.find('.');
    return dot == std::string::npos ? std::string() : lowerCase(name.substr(dot + 1));
}

std::string newerBackupLabel(EngineContext& ctx)
{
    const std::string first =
        inLanguage(ctx.language(), text::newerLabelDrive) + backupDriveText(ctx);
    if (ctx.media.current.lastBackupDate == 0)
        return first + "\r" + inLanguage(ctx.language(), text::dateLatestBackupUnknown);
    return first + "\r" + inLanguage(ctx.language(), text::dateOfLatestBackup) +
           dateText(ctx, ctx.media.current.lastBackupDate);
}

std::string noNewerFilesLine(EngineContext& ctx)
{
    return inLanguage(ctx.language(), text::noNewerFiles);
}

bool isNoNewerFilesLine(const std::string& line)
{
    // Lines of either language: a list may outlive a change of language.
    return std::any_of(text::noNewerFiles.begin(), text::noNewerFiles.end(),
                       [&](const char* form) { return line == form; });
}

bool isAddedLine(const std::string& line)
{
    return std::any_of(text::addedMarker.begin(), text::addedMarker.end(),
                       [&](const char* form) { return endsWith(line, form); });
}

std::string shownProposal(Platform& platform, const std::string& line)
{
    if (isNoNewerFilesLine(line))
        return line;
    for (const char* marker : text::addedMarker) {
        if (endsWith(line, marker)) {
            const std::size_t path = line.size() - std::string(marker).size();
            return platform.displayPath(line.substr(0, path)) + line.substr(path);
        }
    }
    return platform.displayPath(line);
}

bool showScanDriveError(EngineContext& ctx, const SystemError& error)
{
    const std::string& base = ctx.target.base;
    const char letter = base.empty() ? '\0' : base[0];
    const bool floppy = letter == 'a' || letter == 'A' || letter == 'b' || letter == 'B';
    std::string text = error.code == 21 ? notMountedText(ctx) : std::string();
    if (text.empty() && error.code == 21)
        text =
            inLanguage(ctx.language(), floppy ? text::noFloppyInDrive : text::noCdInDrive) + base;
    else if (text.empty())
        text = inLanguage(ctx.language(), text::somethingIsWrongWithDrive) + base;
    ctx.ui.warn(text);
    return error.code == 21;
}

NewerScanResult scanNewFiles(EngineContext& ctx)
{
    const BackupTarget& target = ctx.target;
    NewerScanResult result;
    ctx.ui.busy(true);
    result.label = newerBackupLabel(ctx);

    if (const Result<void> entered = ctx.platform.setCurrentDirectory(target.base); !entered) {
        result.noDisk = showScanDriveError(ctx, entered.error());
        ctx.ui.busy(false);
        return result;
    }
    ctx.ui.progress(2);
    ctx.ui.showProgress(true);

    TreeWalk walk(ctx);
    std::vector<std::string> folders;
    SystemError error;
    if (!collectBackupFolders(ctx, walk, folders, error)) {
        result.noDisk = showScanDriveError(ctx, error);
        ctx.ui.showProgress(false);
        ctx.ui.busy(false);
        return result;
    }
    result.entered = true;

    const std::size_t r = target.computerFolder.size();
    const std::size_t steps = folders.size() + 3;
    showStep(ctx, 3, steps);
    for (std::size_t i = 0; i < folders.size(); ++i) {
        if (ctx.stopRequested()) {
            result.stopped = true;
            break;
        }
        showStep(ctx, i + 4, steps);
        std::string b = folders[i];
        if (b.size() - r > 5 && b.back() != '\\')
            b += '\\';
        // e:\c- stands for c:\ , e:\c-docs\sub\ for c:\docs\sub\ .
        std::string s = lowerCase(std::string(1, b[r + 3])) + ":\\" + b.substr(r + 5);
        if (s.size() == 4)
            s.resize(3);
        // The medium's folder names its source without regard to case (a medium written
        // elsewhere, a folder renamed in case since): the source folder is taken as it stands
        // on its drive, so that the proposals carry their names as listed.
        if (s.size() > 3) {
            const std::string found = ctx.platform.findPath(folderPath(s));
            if (!found.empty())
                s = found + "\\";
        }
        scanFolderPair(ctx, s, b, result.proposals);
    }

    // The walk over the medium's folders ends at a stop too, without a word of its own.
    result.stopped = result.stopped || ctx.stopRequested();
    result.found = !result.proposals.empty();
    if (!result.found)
        result.proposals.push_back(noNewerFilesLine(ctx));
    if (!ctx.facts.startDir.empty())
        ctx.platform.setCurrentDirectory(ctx.facts.startDir);
    ctx.ui.showProgress(false);
    ctx.ui.busy(false);
    return result;
}

RunResult addNewFiles(EngineContext& ctx, std::vector<std::string>& lines,
                      const std::vector<bool>& selected)
{
    const BackupTarget& target = ctx.target;
    MediumRecord& medium = ctx.media.current;
    RunResult result;
    result.entered = true;
    const auto toAdd = [&](std::size_t i) {
        return selected[i] && !isAddedLine(lines[i]) && !isNoNewerFilesLine(lines[i]);
    };
    bool anything = false;
    for (std::size_t i = 0; i < lines.size() && i < selected.size(); ++i)
        anything = anything || toAdd(i);
    // Nothing to add is no backup: the medium's records stay as they are.
    if (!anything)
        return result;
    CopyStopScope copyStop(ctx);
    ctx.ui.busy(true);
    FileCopy copy(ctx.platform, ctx.facts.dst);
    WalkFailures failures;
    const std::string drive = target.base.substr(0, 1) + ":";
    // The sizes of a proposal's source and of the copy it replaces (negative for none).
    const auto sizes = [&](const std::string& src) {
        FileInfo source;
        FileInfo old;
        const std::string dst = layout::backupPathOf(target.base, src);
        const bool there = !dst.empty() && ctx.platform.fileInfo(dst, old) && !old.isDir;
        return std::pair<std::int64_t, std::int64_t>(
            ctx.platform.fileInfo(src, source) && !source.isDir ? source.size : -1,
            there ? old.size : -1);
    };
    // What the adding will write is found first: a medium that cannot hold it is told before
    // the first copy.
    CopyCost cost;
    for (std::size_t i = 0; i < lines.size() && i < selected.size(); ++i) {
        if (!toAdd(i))
            continue;
        const auto [newSize, oldSize] = sizes(lines[i]);
        if (newSize >= 0)
            cost.add(target.base[0], newSize, oldSize);
    }
    result.filesToWrite = cost.files();
    result.bytesToWrite = cost.bytesToWrite();
    RoomCheck room(ctx.platform, cost);
    if (!room.fits()) {
        result.noRoom = true;
        if (!room.askCopyWhatFits(ctx)) {
            result.declined = true;
            ctx.ui.busy(false);
            return result;
        }
    }
    WrittenDrives written;
    std::size_t added = 0;
    for (std::size_t i = 0; i < lines.size() && i < selected.size(); ++i) {
        if (ctx.stopRequested()) {
            result.stopped = true;
            break;
        }
        if (!toAdd(i))
            continue;
        // The proposals are the files' own paths; each is copied under its own name into the
        // mirror folder as it stands on the medium.
        const std::string src = lines[i];
        const std::string& line = src;
        std::string dst = layout::backupPathOf(target.base, src);
        if (dst.empty())
            continue;
        const std::size_t slash = dst.rfind('\\');
        const std::string found = ctx.platform.findPath(dst.substr(0, slash));
        const std::string mirror = (found.empty() ? dst.substr(0, slash) : found) + "\\";
        dst = mirror + dst.substr(slash + 1);
        const std::string other = copyOfOtherCase(ctx, src.substr(0, src.rfind('\\') + 1), mirror,
                                                  dst.substr(mirror.size()));
        if (!other.empty()) {
            failures.copyFailed(ctx, line, drive, otherCaseError(ctx, other));
            continue;
        }
        if (!room.fits()) {
            const auto [newSize, oldSize] = sizes(src);
            if (newSize >= 0 && !room.take(target.base[0], newSize, oldSize)) {
                failures.copyFailed(ctx, line, drive, RoomCheck::noRoomError(ctx.language()));
                continue;
            }
        }
        if (!copy.copyFileTo(src, dst, false)) {
            if (copy.lastError().code == errors::kStopped) {
                result.stopped = true;
                break;
            }
            // The line stays as it was, so the user can try again; the log says why it failed.
            failures.copyFailed(ctx, line, drive, copy.lastError());
            continue;
        }
        written.add(dst);
        const std::int64_t size = copy.fileSizeOf(src);
        if (size > 0)
            medium.totalSize += size;
        copy.correctCopiedFileTime(src, dst, fileDateOf(ctx.platform, ctx.platform, src));
        const std::string shown = ctx.platform.displayPath(line);
        lines[i] += inLanguage(ctx.language(), text::addedMarker);
        ctx.ui.addLine(shown + inLanguage(ctx.language(), text::added));
        ctx.log.writeLog(shown + inLanguage(ctx.language(), text::addedToBackup) + drive);
        ++added;
    }
    const std::uint64_t flushFailures = written.flush(ctx);
    result.flushFailed = flushFailures > 0;
    // The moment of the command becomes the medium's last backup date once every proposal is on
    // the medium; the date in memory stays, so a later scan in this run compares against the
    // same date. A run the user stopped is no backup. After a failed copy the date stays, or the
    // failed file, older than the new date, would never be proposed again; the total still
    // grows by what was added.
    if (result.stopped) {
        ctx.ui.addLine(stoppedLine(ctx.language()));
        ctx.log.writeLog(stoppedLine(ctx.language()));
    } else if (failures.failedCopies() == 0 && !result.flushFailed) {
        writeLastDate(ctx, medium.totalSize, now(ctx.platform));
    } else if (added > 0 && !result.flushFailed && medium.lastBackupDate != 0) {
        writeLastDate(ctx, medium.totalSize, medium.lastBackupDate);
    }
    result.copiedCount = added;
    result.failedCount = failures.failedCopies() + flushFailures;
    ctx.ui.busy(false);
    return result;
}

} // namespace kx
