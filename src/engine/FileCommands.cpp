// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/FileCommands.h"

#include "engine/BackupLayout.h"
#include "engine/CopyCost.h"
#include "engine/EngineTexts.h"
#include "engine/MediumRecords.h"
#include "engine/RoomCheck.h"
#include "engine/WalkSummary.h"
#include "engine/WrittenDrives.h"
#include "support/FileCopy.h"
#include "support/FileDate.h"
#include "support/TextHelpers.h"

#include <algorithm>
#include <functional>
#include <memory>

namespace kx {

namespace {

/** The hourglass for the length of a command. */
class BusyCursor
{
public:
    explicit BusyCursor(UserInterface& ui) : m_ui(ui) { m_ui.busy(true); }
    ~BusyCursor() { m_ui.busy(false); }

private:
    UserInterface& m_ui;
};

/** The name with its first letter in capitals; only a to z change. */
std::string capitalised(std::string name)
{
    if (!name.empty() && name[0] >= 'a' && name[0] <= 'z')
        name[0] = static_cast<char>(name[0] - 'a' + 'A');
    return name;
}

std::string folderPart(const std::string& path)
{
    const std::size_t slash = path.rfind('\\');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string namePart(const std::string& path)
{
    const std::size_t slash = path.rfind('\\');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// A folder as a listing wants it: without its final "\", but for a root.
std::string listedFolder(const std::string& folder)
{
    return folder.size() > 3 && folder.back() == '\\' ? folder.substr(0, folder.size() - 1)
                                                      : folder;
}

bool folderLists(EngineContext& ctx, const std::string& folder, const std::string& name)
{
    const auto opened = ctx.platform.openDir(listedFolder(folder));
    if (!opened)
        return false;
    DirListing* const listing = opened.value().get();
    FileInfo entry;
    while (listing->next(entry)) {
        if (entry.name == name)
            return true;
    }
    return false;
}

} // namespace

std::string copyOfOtherCase(EngineContext& ctx, const std::string& sourceFolder,
                            const std::string& mirror, const std::string& name)
{
    if (mirror.empty() || !ctx.platform.namesIgnoreCase(mirror[0]))
        return {};
    // The medium answers for a name without regard to case: what it does not hold in any case
    // needs no listing.
    FileInfo held;
    if (!ctx.platform.fileInfo(mirror + name, held))
        return {};
    const auto opened = ctx.platform.openDir(listedFolder(mirror));
    if (!opened)
        return {};
    DirListing* const listing = opened.value().get();
    std::vector<std::string> others;
    FileInfo entry;
    while (listing->next(entry)) {
        if (entry.name == name)
            return {};
        if (!entry.isDir && equalIgnoringCase(entry.name, name))
            others.push_back(entry.name);
    }
    // A copy whose source was only renamed in case is this file's own copy.
    for (const std::string& other : others) {
        if (folderLists(ctx, sourceFolder, other))
            return other;
    }
    return {};
}

SystemError otherCaseError(EngineContext& ctx, const std::string& other)
{
    return {errors::kAccessDenied,
            fillIn(inLanguage(ctx.language(), text::otherCaseInBackup), {other})};
}

namespace {

enum class AddOutcome
{
    Added,
    AlreadyThere,
    Failed,
    Stopped
};

/** A copy the add command would make: the sizes of the source and of the copy it replaces
 *  (negative for none). */
struct AddCopy
{
    bool needed = false;
    std::int64_t newSize = 0;
    std::int64_t oldSize = -1;
};

// The add command's rule for one file, asked by the pass that counts and by the one that
// copies.
AddCopy addCopyOf(EngineContext& ctx, FileCopy& copy, const std::string& from,
                  const std::string& to)
{
    FileInfo source;
    if (!ctx.platform.fileInfo(from, source) || source.isDir)
        return {};
    FileInfo old;
    const bool there = ctx.platform.fileInfo(to, old);
    if (!copy.needsCopy(from, source, to, there ? &old : nullptr))
        return {};
    return {true, source.size, there && !old.isDir ? old.size : -1};
}

// Whether the copy of `from` over `to` still fits, in a run that copies what fits; one that
// does not is a failed copy, told with its reason.
bool roomFor(EngineContext& ctx, FileCopy& copy, RoomCheck* room, const std::string& from,
             const std::string& to)
{
    if (!room || room->fits())
        return true;
    const AddCopy needed = addCopyOf(ctx, copy, from, to);
    if (!needed.needed || room->take(to[0], needed.newSize, needed.oldSize))
        return true;
    WalkFailures().copyFailed(ctx, from, to.substr(0, 1) + ":",
                              RoomCheck::noRoomError(ctx.language()));
    return false;
}

// Tells a run that does not fit, and asks whether to copy what fits. False when nothing is to
// be copied.
bool roomOrWhatFits(EngineContext& ctx, RoomCheck& room, bool& noRoom)
{
    if (room.fits())
        return true;
    noRoom = true;
    return room.askCopyWhatFits(ctx);
}

// One file of the add command: its two log lines first, whatever comes of it, then the copy
// into the mirror folder of `sourceFolder` (ending in "\").
AddOutcome addFile(EngineContext& ctx, FileCopy& copy, const std::string& sourceFolder,
                   const std::string& mirror, const std::string& name, RoomCheck* room)
{
    const std::string from = sourceFolder + name;
    ctx.log.writeLog(inLanguage(ctx.language(), text::addFromName) +
                     ctx.platform.displayPath(from));
    const std::string to = mirror + name;
    ctx.log.writeLog(inLanguage(ctx.language(), text::addToName) + ctx.platform.displayPath(to));
    // A copy that could not be made is told with its reason, as in every other walk.
    const auto failed = [&] {
        if (copy.lastError().code != 0)
            WalkFailures().copyFailed(ctx, from, to.substr(0, 1) + ":", copy.lastError());
        return AddOutcome::Failed;
    };
    if (!copy.makeAndEnterDir(mirror))
        return failed();
    const std::string other = copyOfOtherCase(ctx, sourceFolder, mirror, name);
    if (!other.empty()) {
        WalkFailures().copyFailed(ctx, from, to.substr(0, 1) + ":", otherCaseError(ctx, other));
        return AddOutcome::Failed;
    }
    if (!roomFor(ctx, copy, room, from, to))
        return AddOutcome::Failed;
    if (!copy.copyIfNewer(from, to)) {
        const int code = copy.lastError().code;
        if (code == errors::kStopped)
            return AddOutcome::Stopped;
        if (code != 0)
            return failed();
        // No copy was needed, unless the source went away before it could be read.
        return copy.fileSizeOf(to) >= 0 ? AddOutcome::AlreadyThere : AddOutcome::Failed;
    }
    const std::int64_t size = copy.fileSizeOf(from);
    if (size > 0)
        ctx.media.current.totalSize += size;
    copy.correctCopiedFileTime(from, to, fileDateOf(ctx.platform, ctx.platform, from));
    const std::string shown = ctx.platform.displayPath(from);
    ctx.ui.addLine(shown + inLanguage(ctx.language(), text::added));
    ctx.log.writeLog(shown + inLanguage(ctx.language(), text::addedToBackup) + to.substr(0, 1) +
                     ":");
    return AddOutcome::Added;
}

void warnNotAdded(EngineContext& ctx, const std::string& mirror, const std::string& name)
{
    ctx.ui.warn(ctx.platform.displayPath(mirror + name) +
                inLanguage(ctx.language(), text::isNotAddedTo) + ctx.target.base);
}

std::string withBackslash(const std::string& folder)
{
    return !folder.empty() && folder.back() == '\\' ? folder : folder + "\\";
}

} // namespace

FileCommandResult addFiles(EngineContext& ctx, const std::string& sourceFolder,
                           const std::vector<std::string>& names)
{
    if (sourceFolder.empty())
        return {};
    BusyCursor busy(ctx.ui);
    FileCopy copy(ctx.platform, ctx.facts.dst);
    const std::string mirror = layout::mirrorFolder(ctx.target.base, sourceFolder);
    std::size_t added = 0;
    CopyStopScope copyStop(ctx);
    CopyCost cost;
    for (const std::string& name : names) {
        const AddCopy needed = addCopyOf(ctx, copy, sourceFolder + name, mirror + name);
        if (needed.needed)
            cost.add(mirror[0], needed.newSize, needed.oldSize);
    }
    RoomCheck room(ctx.platform, cost);
    FileCommandResult result;
    if (!roomOrWhatFits(ctx, room, result.noRoom))
        return result;
    WrittenDrives written;
    for (const std::string& name : names) {
        if (ctx.stopRequested())
            break;
        // Copying an unchanged file again is no addition: it warns as a failed copy does.
        switch (addFile(ctx, copy, sourceFolder, mirror, name, &room)) {
        case AddOutcome::Added:
            written.add(mirror);
            ++added;
            break;
        case AddOutcome::Stopped:
            break;
        case AddOutcome::AlreadyThere:
        case AddOutcome::Failed:
            warnNotAdded(ctx, mirror, name);
            break;
        }
    }
    result.done = added;
    result.stopped = ctx.stopRequested();
    result.flushFailed = written.flush(ctx) > 0;
    return result;
}

namespace {

/** Each file that adding `paths` meets, in the add command's order: `file` with its folder
 *  (ending in "\"), its mirror folder and its name, `unreadable` for a path or folder that
 *  cannot be read. Ends early when `ended` says so. */
void forEachFileToAdd(
    EngineContext& ctx, const std::vector<std::string>& paths,
    const std::function<void(const std::string& folder, const std::string& mirror,
                             const std::string& name)>& file,
    const std::function<void(const std::string& path, const SystemError& error)>& unreadable,
    const std::function<bool()>& ended)
{
    // The backup drive is never added to itself, also where its root lies inside a source
    // folder: each new copy would otherwise be fed back into the walk.
    const std::string backupRoot = ctx.target.base.substr(0, 3);
    for (const std::string& path : paths) {
        if (ended())
            break;
        const Result<FileInfo> status = ctx.platform.fileStatus(path);
        if (!status) {
            unreadable(path, status.error());
            continue;
        }
        const FileInfo& info = status.value();
        if (!info.isDir) {
            const std::size_t slash = path.rfind('\\');
            const std::string folder = path.substr(0, slash + 1);
            file(folder, layout::mirrorFolder(ctx.target.base, folder), path.substr(slash + 1));
            continue;
        }
        // Folder by folder from a list of its own, never by recursion: a deep tree cannot
        // exhaust the stack. Within a folder the names go in order, files first.
        std::vector<std::string> pending{withBackslash(path)};
        while (!pending.empty() && !ended()) {
            const std::string folder = std::move(pending.back());
            pending.pop_back();
            if (ctx.platform.drivePathOf(ctx.platform.nativePath(folder)) == backupRoot)
                continue;
            const auto opened = ctx.platform.openDir(folder);
            if (!opened) {
                unreadable(folder, opened.error());
                continue;
            }
            DirListing* const listing = opened.value().get();
            std::vector<std::string> files;
            std::vector<std::string> folders;
            FileInfo entry;
            while (listing->next(entry)) {
                // Links are not followed, to files or folders: one may lead back into its own
                // tree or out of the drive. Another file system mounted here is its own drive.
                if (entry.isLink || (entry.isDir && entry.otherDevice))
                    continue;
                (entry.isDir ? folders : files).push_back(entry.name);
            }
            std::sort(files.begin(), files.end());
            std::sort(folders.begin(), folders.end(), std::greater<>());
            const std::string mirror = layout::mirrorFolder(ctx.target.base, folder);
            for (const std::string& name : files) {
                if (ended())
                    break;
                file(folder, mirror, name);
            }
            for (const std::string& name : folders)
                pending.push_back(folder + name + "\\");
        }
    }
}

} // namespace

AddResult addPaths(EngineContext& ctx, const std::vector<std::string>& paths)
{
    BusyCursor busy(ctx.ui);
    FileCopy copy(ctx.platform, ctx.facts.dst);
    CopyStopScope copyStop(ctx);
    AddResult result;

    // What the adding will write is found first, silently: a backup drive that cannot hold it
    // is told before the first copy.
    CopyCost cost;
    forEachFileToAdd(
        ctx, paths,
        [&](const std::string& folder, const std::string& mirror, const std::string& name) {
            const AddCopy needed = addCopyOf(ctx, copy, folder + name, mirror + name);
            if (needed.needed)
                cost.add(mirror[0], needed.newSize, needed.oldSize);
        },
        [](const std::string&, const SystemError&) {}, [&] { return ctx.stopRequested(); });
    RoomCheck room(ctx.platform, cost);
    if (!roomOrWhatFits(ctx, room, result.noRoom))
        return result;

    WrittenDrives written;
    const auto count = [&](AddOutcome outcome, const std::string& mirror, const std::string& name) {
        switch (outcome) {
        case AddOutcome::Added:
            written.add(mirror);
            ++result.added;
            break;
        case AddOutcome::AlreadyThere:
            ++result.alreadyThere;
            break;
        case AddOutcome::Failed:
            ++result.failed;
            warnNotAdded(ctx, mirror, name);
            break;
        case AddOutcome::Stopped:
            result.stopped = true;
            break;
        }
    };
    const auto unreadable = [&](const std::string& path, const SystemError& error) {
        ++result.failed;
        const std::string line = inLanguage(ctx.language(), text::folder) +
                                 ctx.platform.displayPath(path) +
                                 inLanguage(ctx.language(), text::cannotBeRead) + error.message;
        ctx.ui.failure(line);
        ctx.log.writeLog(line);
    };
    forEachFileToAdd(
        ctx, paths,
        [&](const std::string& folder, const std::string& mirror, const std::string& name) {
            count(addFile(ctx, copy, folder, mirror, name, &room), mirror, name);
        },
        unreadable, [&] { return ctx.stopRequested() || result.stopped; });
    result.stopped = result.stopped || ctx.stopRequested();
    result.flushFailed = written.flush(ctx) > 0;
    return result;
}

FileCommandResult removeFiles(EngineContext& ctx, const std::string& backupFolder,
                              const std::vector<std::string>& names)
{
    if (backupFolder.empty())
        return {};
    BusyCursor busy(ctx.ui);
    FileCopy copy(ctx.platform, ctx.facts.dst);
    std::size_t removed = 0;
    for (auto it = names.rbegin(); it != names.rend() && !ctx.stopRequested(); ++it) {
        const std::string path = backupFolder + "\\" + *it;
        const std::int64_t size = copy.fileSizeOf(path);
        bool deleted = bool(ctx.platform.removeFile(path));
        if (!deleted) {
            FileInfo info;
            if (ctx.platform.fileInfo(path, info) && !info.isDir && info.isReadOnly &&
                ctx.platform.setReadOnly(path, false))
                deleted = bool(ctx.platform.removeFile(path));
        }
        if (!deleted)
            continue;
        // The file's bytes have left the medium however it was deleted, so the total follows
        // also when its read-only bit had to be cleared first.
        // A medium without a record has no total to lower.
        if (size > 0)
            ctx.media.current.totalSize =
                std::max<std::int64_t>(0, ctx.media.current.totalSize - size);
        ctx.ui.addLine(ctx.platform.displayPath(path) + inLanguage(ctx.language(), text::removed));
        ctx.log.writeLog(namePart(path) + inLanguage(ctx.language(), text::removedFromBackup) +
                         ctx.platform.displayPath(folderPart(path)));
        ++removed;
    }
    return {removed, ctx.stopRequested(), {}};
}

FileCommandResult restoreFiles(EngineContext& ctx, const std::string& backupFolder,
                               const std::string& sourceFolder,
                               const std::vector<std::string>& names)
{
    if (backupFolder.empty() || sourceFolder.empty())
        return {};
    BusyCursor busy(ctx.ui);
    FileCopy copy(ctx.platform, ctx.facts.dst);
    FileCommandResult result;
    // Where case tells names apart, the capitalised name would be another file: the backup
    // file's own name is read and restored.
    const bool capitalise = ctx.platform.namesIgnoreCase(backupFolder.front()) &&
                            ctx.platform.namesIgnoreCase(sourceFolder.front());
    CopyStopScope copyStop(ctx);
    // What the restore will write is found first: a drive that cannot hold it is told before
    // the first copy.
    const auto sizes = [&](const std::string& from, const std::string& to) {
        FileInfo backup;
        FileInfo old;
        const bool there = ctx.platform.fileInfo(to, old) && !old.isDir;
        return std::pair<std::int64_t, std::int64_t>(
            ctx.platform.fileInfo(from, backup) && !backup.isDir ? backup.size : -1,
            there ? old.size : -1);
    };
    CopyCost cost;
    for (const std::string& selected : names) {
        const std::string name = capitalise ? capitalised(selected) : selected;
        const auto [newSize, oldSize] = sizes(backupFolder + "\\" + name, sourceFolder + name);
        if (newSize >= 0)
            cost.add(sourceFolder[0], newSize, oldSize);
    }
    RoomCheck room(ctx.platform, cost);
    if (!roomOrWhatFits(ctx, room, result.noRoom))
        return result;
    WrittenDrives written;
    for (auto it = names.rbegin(); it != names.rend() && !ctx.stopRequested(); ++it) {
        const std::string name = capitalise ? capitalised(*it) : *it;
        const std::string from = backupFolder + "\\" + name;
        const std::string to = sourceFolder + name;
        // A copy that does not fit is passed over, with its reason: unlike a copy that fails,
        // it was never tried.
        if (!room.fits()) {
            const auto [newSize, oldSize] = sizes(from, to);
            if (newSize >= 0 && !room.take(to[0], newSize, oldSize)) {
                WalkFailures().copyFailed(ctx, from, to, RoomCheck::noRoomError(ctx.language()));
                continue;
            }
        }
        // A source folder deleted since the file was added is made again.
        copy.makeAndEnterDir(folderPart(to));
        if (const Result<void> entered = ctx.platform.setCurrentDirectory(backupFolder); !entered) {
            if (showDriveError(ctx, entered.error()))
                result.noDisk = true;
            break;
        }
        if (!copy.copyFileTo(from, to, false))
            continue;
        written.add(to);
        copy.correctCopiedFileTime(from, to, fileDateOf(ctx.platform, ctx.platform, from));
        ctx.ui.addLine(ctx.platform.displayPath(from) + inLanguage(ctx.language(), text::restored));
        // The current folder is the backup folder, so it stands twice in this line, as it
        // always has: each of the two as the user reads paths.
        ctx.log.writeLog(namePart(from) + inLanguage(ctx.language(), text::restoredFromBackup) +
                         ctx.platform.displayPath(ctx.platform.currentDirectory()) + "\\" +
                         ctx.platform.displayPath(from));
        ++result.done;
    }
    result.stopped = ctx.stopRequested();
    result.flushFailed = written.flush(ctx) > 0;
    return result;
}

} // namespace kx
