// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/FileCommands.h"

#include "engine/BackupLayout.h"
#include "engine/EngineTexts.h"
#include "engine/MediumRecords.h"
#include "support/FileCopy.h"
#include "support/FileDate.h"

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

} // namespace

FileCommandResult addFiles(EngineContext& ctx, const std::string& sourceFolder,
                           const std::vector<std::string>& names)
{
    if (sourceFolder.empty())
        return {};
    BusyCursor busy(ctx.ui);
    const BackupTarget& target = ctx.target;
    FileCopy copy(ctx.platform, ctx.facts.dst);
    const std::string mirror = layout::mirrorFolder(target.base, sourceFolder);
    std::size_t added = 0;
    CopyStopScope copyStop(ctx);
    for (const std::string& name : names) {
        if (ctx.stopRequested())
            break;
        const std::string from = sourceFolder + name;
        ctx.log.writeLog(inLanguage(ctx.language(), text::addFromName) + from);
        const std::string to = mirror + name;
        ctx.log.writeLog(inLanguage(ctx.language(), text::addToName) + to);
        // Copying an unchanged file again is no addition: it warns as a failed copy does.
        if (!copy.makeAndEnterDir(mirror) || !copy.copyIfNewer(from, to)) {
            ctx.ui.warn(to + " is niet toegevoegd aan " + target.base);
            continue;
        }
        const std::int64_t size = copy.fileSizeOf(from);
        if (size > 0)
            ctx.media.current.totalSize += size;
        copy.correctCopiedFileTime(from, to, fileDateOf(ctx.platform, from));
        ctx.ui.memo(from + inLanguage(ctx.language(), text::added));
        ctx.log.writeLog(from + inLanguage(ctx.language(), text::addedToBackup) + to.substr(0, 1) +
                         ":");
        ++added;
    }
    return {added, ctx.stopRequested(), {}};
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
        SystemError error;
        bool deleted = ctx.platform.removeFile(path, error);
        if (!deleted) {
            FileInfo info;
            if (ctx.platform.fileInfo(path, info) && !info.isDir && info.isReadOnly &&
                ctx.platform.setReadOnly(path, false, error))
                deleted = ctx.platform.removeFile(path, error);
        }
        if (!deleted)
            continue;
        // The file's bytes have left the medium however it was deleted, so the total follows
        // also when its read-only bit had to be cleared first.
        if (size > 0)
            ctx.media.current.totalSize -= size;
        ctx.ui.memo(path + inLanguage(ctx.language(), text::removed));
        ctx.log.writeLog(namePart(path) + inLanguage(ctx.language(), text::removedFromBackup) +
                         folderPart(path));
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
    const bool capitalise = ctx.platform.namesIgnoreCase();
    CopyStopScope copyStop(ctx);
    for (auto it = names.rbegin(); it != names.rend() && !ctx.stopRequested(); ++it) {
        const std::string name = capitalise ? capitalised(*it) : *it;
        const std::string from = backupFolder + "\\" + name;
        const std::string to = sourceFolder + name;
        // A source folder deleted since the file was added is made again.
        copy.makeAndEnterDir(folderPart(to));
        SystemError error;
        if (!ctx.platform.setCurrentDirectory(backupFolder, error)) {
            if (showDriveError(ctx, error))
                result.noDisk = true;
            break;
        }
        if (!copy.copyFileTo(from, to, false))
            continue;
        copy.correctCopiedFileTime(from, to, fileDateOf(ctx.platform, from));
        ctx.ui.memo(from + inLanguage(ctx.language(), text::restored));
        // The current folder is the backup folder, so it stands twice in this line, as it
        // always has.
        ctx.log.writeLog(namePart(from) + inLanguage(ctx.language(), text::restoredFromBackup) +
                         ctx.platform.currentDirectory() + "\\" + from);
        ++result.done;
    }
    result.stopped = ctx.stopRequested();
    return result;
}

} // namespace kx
