// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/Duplicate.h"

#include "engine/BackupLayout.h"
#include "engine/EngineTexts.h"
#include "engine/MediumRecords.h"
#include "engine/RunReport.h"
#include "engine/Settings.h"
#include "engine/StatusLine.h"
#include "engine/TreeCopy.h"
#include "support/DriveQueries.h"
#include "support/FileCopy.h"
#include "support/FileDate.h"
#include "support/SizeText.h"
#include "support/TextHelpers.h"

#include <cctype>
#include <cstdint>

namespace kx {

namespace {

constexpr const char* kCr = "\r";
// The copies in the temporary area take the bytes of the backup files, give or take the temporary
// drive's blocks: a little room either way keeps a nearly empty medium from failing for it.
constexpr std::int64_t kSpaceAllowance = 10000;
// The missing files a message box names; the output lines and the log name them all.
constexpr std::size_t kMissingShown = 10;
constexpr int kTimedSeconds = 10;

// One click on Duplicate, from the introduction to the records of the new medium. Each step
// answers whether the run goes on.
class DuplicateRun
{
public:
    explicit DuplicateRun(EngineContext& ctx);
    DuplicateResult run();

private:
    std::string say(const Text& text) const { return inLanguage(m_ctx.language(), text); }
    std::string letter(char c) const { return std::string(1, c); }

    bool stop();
    /** Tells the user's stop in the output lines and the log; the run then ends. */
    bool stopped();
    void takeCounts(const RunResult& counts);
    bool ioError(const SystemError& error);
    bool introduction();
    bool readFloppy();
    bool mediumPresent();
    bool chooseTempDrive();
    bool firstHalf();
    bool newMediumConfirmed();
    bool namesSettled();
    bool askName(const std::string& prompt);
    bool secondHalf();
    void recordNewMedium();
    void removeTempCopies();
    void tellIncomplete();

    EngineContext& m_ctx;
    BackupTarget& m_target;
    MediumRecord& m_medium;
    const char m_backupDrive;
    const std::string m_caption;
    std::string m_floppyLabel;
    std::string m_oldLabel;
    std::string m_newLabel;
    std::string m_lastAnswer;
    double m_savedDate = 0;
    std::int64_t m_progressStep = 0;
    // Where the copies wait on the temporary drive: its root, or a folder of the user's there
    // (a drive path ending in a backslash).
    std::string m_tempArea;
    // The temporary area's top-level folders, removed once their files are on the new medium.
    std::vector<std::string> m_tempFolders;
    // The files of the medium that did not reach the temporary area or the new medium.
    std::vector<std::string> m_missing;
    std::uint64_t m_firstHalfFailed = 0;
    DuplicateResult m_result;
};

char lower(char c)
{
    return static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
}

DuplicateRun::DuplicateRun(EngineContext& ctx)
    : m_ctx(ctx), m_target(ctx.target), m_medium(ctx.media.current),
      m_backupDrive(ctx.target.base.empty() ? 'c' : lower(ctx.target.base[0])),
      m_caption(std::string(kProductName) + " - " +
                inLanguage(ctx.language(), text::duplicateCaption))
{
}

DuplicateResult DuplicateRun::run()
{
    CopyStopScope copyStop(m_ctx);
    m_ctx.ui.progress(0);
    m_progressStep = m_medium.totalSize / 100;
    m_ctx.ui.progressTotalKnown(m_progressStep > 0);
    m_ctx.ui.showProgress(true);
    m_ctx.ui.clearLines();

    if (!introduction()) {
        m_result.declined = true;
        stop();
        return m_result;
    }
    if (!mediumPresent()) {
        stop();
        return m_result;
    }
    m_result.entered = true;
    m_oldLabel = m_backupDrive == 'a' ? m_floppyLabel
                                      : lowerCase(volumeLabel(m_ctx.platform, m_backupDrive));
    if (!chooseTempDrive() || !firstHalf() || !newMediumConfirmed() || !mediumPresent() ||
        !namesSettled() || !secondHalf()) {
        // A stopped run takes its temporary copies with it: the medium still holds everything.
        // A run that ends at a question or a check leaves them for the next one.
        if (m_result.stopped)
            removeTempCopies();
        stop();
        return m_result;
    }
    recordNewMedium();
    m_ctx.ui.showProgress(false);
    m_result.completed = true;
    return m_result;
}

bool DuplicateRun::stop()
{
    if (!m_ctx.facts.startDir.empty())
        m_ctx.platform.setCurrentDirectory(m_ctx.facts.startDir);
    m_ctx.ui.busy(false);
    m_ctx.ui.showProgress(false);
    return false;
}

bool DuplicateRun::stopped()
{
    m_result.stopped = true;
    m_ctx.ui.addLine(stoppedLine(m_ctx.language()));
    m_ctx.log.writeLog(stoppedLine(m_ctx.language()));
    return false;
}

void DuplicateRun::takeCounts(const RunResult& counts)
{
    m_result.copiedCount = counts.copiedCount;
    m_result.copiedSize = counts.copiedSize;
    m_result.failedCount = counts.failedCount;
}

bool DuplicateRun::ioError(const SystemError& error)
{
    m_ctx.ui.warn(error.message);
    return false;
}

bool DuplicateRun::introduction()
{
    const std::string intro = say(text::duplicateIntroduction);
    return m_ctx.ui.askYesNo(m_caption, intro);
}

bool DuplicateRun::readFloppy()
{
    m_floppyLabel = lowerCase(volumeLabel(m_ctx.platform, 'a'));
    m_result.noFloppy = mediumMissing(m_ctx.platform, 'a');
    return !*m_result.noFloppy;
}

bool DuplicateRun::mediumPresent()
{
    if (m_backupDrive == 'a') {
        if (readFloppy())
            return true;
        if (!m_ctx.ui.askYesNo(m_caption, say(text::putAFloppyInDrive)))
            return false;
        // Still no floppy: noFloppy stays set, and the backup-drive list shows it.
        return readFloppy();
    }

    // The drive is looked at now, so an earlier not-ready report does not count against it.
    m_result.noDisk = false;
    if (const auto root = m_ctx.platform.openDir(letter(m_backupDrive) + ":\\"); !root)
        m_result.noDisk = showDriveError(m_ctx, root.error());
    if (!*m_result.noDisk)
        return true;
    // Either answer ends the run: the user starts again once the medium is in the drive.
    m_ctx.ui.askYesNo(m_caption, say(text::putAFitDiskIn) + letter(m_backupDrive) +
                                     say(text::andClickNextToProceed));
    return false;
}

bool DuplicateRun::chooseTempDrive()
{
    if (const Result<void> entered = m_ctx.platform.setCurrentDirectory(m_target.base); !entered)
        return ioError(entered.error());

    // The floppy drives a: and b: are passed over, and so is the medium itself, known by its
    // key. A RAM disk would hold the copies in the memory the system needs, and a drive where
    // the user can make no folder cannot hold them at all. On equal space the earlier letter
    // stays chosen.
    std::int64_t best = 0;
    for (const char candidate : m_ctx.platform.driveLetters()) {
        if (lower(candidate) == 'a' || lower(candidate) == 'b' ||
            m_ctx.platform.driveType(candidate) == DriveType::RamDisk ||
            layout::driveKeyOf(candidate, driveListText(m_ctx.platform, candidate)) ==
                m_ctx.media.currentKey)
            continue;
        const std::int64_t free = m_ctx.platform.freeSpace(candidate);
        if (free <= best)
            continue;
        // Asked only of a drive that would win, since the area is made where it is missing.
        std::string area = m_ctx.platform.temporaryArea(candidate);
        if (area.empty())
            continue;
        best = free;
        m_result.tempDrive = candidate;
        m_tempArea = std::move(area);
    }

    // What the temporary area will hold: the backup files, counted by a walk. The space in use
    // on the medium's file system would also count whatever else shares it, which for a folder
    // on a large disk is everything on that disk.
    std::int64_t needed = 0;
    {
        RunResult ignoredCounts;
        TreeCopy measure(m_ctx, ignoredCounts);
        SystemError error;
        if (!measure.measureBackupFiles(m_target.base, needed, error))
            return ioError(error);
    }
    // With no drive to choose from there is no room at all, whatever the medium holds.
    if (best > 0 && best + kSpaceAllowance > needed)
        return true;
    m_ctx.ui.showTimed(say(text::noTempDiskLargeEnough) + kCr + say(text::duplicatingNotPossible),
                       kTimedSeconds);
    if (best > 0)
        m_ctx.ui.addLine(say(text::notEnoughSpaceOn) + letter(m_result.tempDrive) +
                         say(text::forTheTempFiles));
    return false;
}

bool DuplicateRun::firstHalf()
{
    m_ctx.ui.busy(true);
    m_progressStep = m_medium.totalSize / 100;
    m_ctx.ui.progressTotalKnown(m_progressStep > 0);
    m_savedDate = m_medium.lastBackupDate;
    m_ctx.ui.addLine(say(text::copyingToTempDiskSpace));

    RunResult counts;
    TreeCopy walk(m_ctx, counts, m_progressStep);
    SystemError error;
    const bool walked = walk.copyToTemp(m_target.base, m_tempArea, m_tempFolders, error);
    for (const auto& failed : walk.failedCopies())
        m_missing.push_back(failed.source);
    if (!walked)
        return ioError(error);

    const std::string backup = letter(m_backupDrive);
    const std::string temporary = letter(m_result.tempDrive);
    const std::string copied = std::to_string(counts.copiedCount);
    const std::string size = formatSize(counts.copiedSize, m_ctx.platform.decimalSeparator());
    m_ctx.ui.addLine(say(text::filesCopiedTo) + temporary + ": = " + copied);
    m_ctx.ui.addLine(say(text::copiedSize) + size + "bytes");
    m_ctx.log.writeLog(copied + say(text::filesCopiedFrom) + backup + ": " + say(text::toWord) +
                       temporary + ":");
    m_ctx.log.writeLog(say(text::totalSizeOfFileLog) + size + "bytes.");
    counts.failedCount =
        walk.failures().summarise(m_ctx, walk.unreadableFolders()) + walk.flushFailures();
    m_firstHalfFailed = counts.failedCount;
    takeCounts(counts);
    if (walk.stopped())
        return stopped();
    // Copies the temporary drive may not hold are no ground to ask for the new medium.
    if (walk.flushFailed()) {
        m_result.flushFailed = true;
        return false;
    }

    m_ctx.ui.addLine("");
    m_ctx.ui.busy(false);
    return true;
}

bool DuplicateRun::newMediumConfirmed()
{
    const std::string backup = letter(m_backupDrive);
    const std::string temporary = letter(m_result.tempDrive);
    const std::string question = fillIn(say(text::putInTheNewMedium), {backup, temporary});
    if (!m_ctx.ui.askYesNo(m_caption, question))
        return false;
    return true;
}

bool DuplicateRun::askName(const std::string& prompt)
{
    std::string answer = m_lastAnswer;
    if (!m_ctx.ui.askText(m_caption, prompt, answer))
        return false;
    m_lastAnswer = answer;
    // The run goes on with the typed name either way, as it always did; the user is told, so
    // that two media of one name do not come as a surprise.
    const char labelled =
        m_ctx.media.currentKey.empty() ? m_backupDrive : m_ctx.media.currentKey[0];
    if (!m_ctx.platform.setVolumeLabel(labelled, answer))
        m_ctx.ui.warn(say(text::newMediumNotRenamed));
    m_newLabel = lowerCase(answer);
    return true;
}

bool DuplicateRun::namesSettled()
{
    // The records of a medium are kept under its drive and its name: two media with one name
    // could not be told apart.
    const std::string medium = m_ctx.media.currentKey.empty() ? letter(m_backupDrive)
                                                              : m_ctx.media.currentKey.substr(0, 1);
    const std::string backup = letter(m_backupDrive);
    m_newLabel = lowerCase(volumeLabel(m_ctx.platform, m_backupDrive));
    if (m_newLabel.empty() && !askName(fillIn(say(text::giveTheMediumAName), {medium})))
        return false;
    if (m_newLabel != m_oldLabel)
        return true;
    askName(fillIn(say(text::giveAnotherName), {backup}));
    if (m_newLabel != m_oldLabel)
        return true;
    m_ctx.ui.warn(say(text::stillTheSameName));
    return false;
}

bool DuplicateRun::secondHalf()
{
    m_ctx.ui.busy(true);
    m_medium.lastBackupDate = m_savedDate;
    m_ctx.ui.status(lastBackupStatusLine(m_ctx, DriveStatus::LastBackupAfterDuplicate,
                                         m_medium.lastBackupDate));
    m_ctx.ui.addLine(say(text::copyingToNewMedium));

    RunResult counts;
    SystemError error;
    TreeCopy walk(m_ctx, counts, m_progressStep);
    if (const Result<void> entered = m_ctx.platform.setCurrentDirectory(m_tempArea); !entered)
        return ioError(entered.error());
    if (!walk.copyFromTemp(m_tempArea, m_tempFolders, error))
        return ioError(error);
    for (const auto& failed : walk.failedCopies())
        m_missing.push_back(failed.dest);
    m_result.flushFailed = walk.flushFailed();

    // What could not be copied goes to the recycle bin with its folder. After a stop the old
    // medium still holds everything, and the copies are removed.
    if (!walk.stopped()) {
        FileCopy files(m_ctx.platform, m_ctx.facts.dst);
        for (const auto& folder : m_tempFolders)
            files.deleteToRecycleBin(folder);
        m_tempFolders.clear();
    }

    const std::string backup = letter(m_backupDrive);
    const std::string temporary = letter(m_result.tempDrive);
    const std::string copied = std::to_string(counts.copiedCount);
    const char sep = m_ctx.platform.decimalSeparator();
    const std::string size = formatSize(counts.copiedSize, sep);
    m_ctx.ui.addLine(say(text::filesCopiedFromTemp) + temporary + ": " + say(text::toWord) +
                     backup + ": = " + copied);
    m_ctx.ui.addLine(say(text::copiedSize) + size + "bytes");
    m_ctx.log.writeLog(copied + say(text::filesCopiedFrom) + temporary + ": " + say(text::toWord) +
                       backup + ":.");
    m_ctx.log.writeLog(say(text::copiedSize) + size + "Bytes.");
    counts.failedCount = walk.failures().summarise(m_ctx, walk.unreadableFolders()) +
                         walk.flushFailures() + m_firstHalfFailed;
    takeCounts(counts);
    if (walk.stopped())
        stopped();

    m_ctx.platform.setCurrentDirectory(backup + ":\\");
    // Free space that cannot be read (the medium is away) is not shown as a number.
    if (const std::int64_t free = m_ctx.platform.freeSpace(m_backupDrive); free >= 0) {
        const std::string freeLine =
            say(text::freeSpaceOn) + backup + ": =" + formatSize(free, sep) + "Bytes";
        m_ctx.ui.addLine(freeLine);
        m_ctx.log.writeLog(freeLine);
    }
    if (!m_ctx.facts.startDir.empty())
        m_ctx.platform.setCurrentDirectory(m_ctx.facts.startDir);

    m_ctx.ui.busy(false);
    if (m_result.stopped)
        return false;
    if (m_result.failedCount > 0 || m_result.flushFailed)
        tellIncomplete();
    else
        m_ctx.ui.inform(say(text::copyingIsReady) + kCr + say(text::useTheCopyAsBackupDisk));
    return true;
}

void DuplicateRun::tellIncomplete()
{
    std::string box = say(text::copyIsNotComplete);
    m_ctx.ui.addLine(box);
    m_ctx.log.writeLog(box);
    for (std::size_t i = 0; i < m_missing.size(); ++i) {
        const std::string line =
            say(text::missingFromTheCopy) + m_ctx.platform.displayPath(m_missing[i]);
        m_ctx.ui.addLine(line);
        m_ctx.log.writeLog(line);
        if (i < kMissingShown)
            box += kCr + line;
    }
    if (m_missing.size() > kMissingShown)
        box += kCr + fillIn(say(text::andMoreInTheLog),
                            {std::to_string(m_missing.size() - kMissingShown)});
    m_ctx.ui.warn(box);
}

void DuplicateRun::removeTempCopies()
{
    if (m_tempFolders.empty())
        return;
    // Deepest folders last in the list, so that they are removed first. Links are removed as
    // entries and never followed; another file system mounted in the area is not entered.
    std::vector<std::string> folders;
    std::vector<std::string> pending = m_tempFolders;
    while (!pending.empty()) {
        const std::string folder = std::move(pending.back());
        pending.pop_back();
        auto opened = m_ctx.platform.openDir(folder);
        if (!opened)
            continue;
        const std::unique_ptr<DirListing> listing = std::move(opened).value();
        folders.push_back(folder);
        FileInfo entry;
        while (listing->next(entry)) {
            const std::string path = folder + "\\" + entry.name;
            if (entry.isDir && !entry.isLink) {
                if (!entry.otherDevice)
                    pending.push_back(path);
            } else {
                m_ctx.platform.removeFile(path);
            }
        }
    }
    for (auto it = folders.rbegin(); it != folders.rend(); ++it)
        m_ctx.platform.removeDir(*it);
    m_tempFolders.clear();
    const std::string line =
        fillIn(say(text::temporaryCopiesRemoved), {letter(m_result.tempDrive)});
    m_ctx.ui.addLine(line);
    m_ctx.log.writeLog(line);
}

void DuplicateRun::recordNewMedium()
{
    m_medium.totalSize = m_result.copiedSize;
    // A copy that may not be on the new medium is no backup of today: it keeps the original's
    // date.
    m_medium.lastBackupDate = m_result.flushFailed ? m_savedDate : now(m_ctx.platform);
    writeLastDate(m_ctx, m_medium.totalSize, m_medium.lastBackupDate);
    // The records are read again for the new medium's sake; the backup root stays the one the
    // user chose (the stored form of the per-computer mode is no root to walk).
    const std::string base = m_target.base;
    readSettings(m_ctx.platform, m_target, m_ctx.media, m_ctx.ui, m_ctx.language());
    m_target.base = base;
}

} // namespace

DuplicateResult duplicateMedium(EngineContext& ctx)
{
    return DuplicateRun(ctx).run();
}

} // namespace kx
