// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/CommandLine.h"

#include "app/Version.h"
#include "cli/CommandLineTexts.h"
#include "cli/ConsoleOutput.h"
#include "cli/ConsoleUi.h"
#include "cli/DesktopNotification.h"
#include "cli/LinuxCommands.h"
#include "cli/ProgressLine.h"
#include "engine/ActivityLog.h"
#include "engine/EngineContext.h"
#include "engine/EngineTexts.h"
#include "engine/FileCommands.h"
#include "engine/MakeBackups.h"
#include "engine/MediumRecords.h"
#include "engine/NewerFiles.h"
#include "engine/OperationGate.h"
#include "engine/RestoreAll.h"
#include "engine/RunReport.h"
#include "engine/Settings.h"
#include "engine/VerifyBackups.h"
#include "platform/OperationLock.h"
#include "support/DriveDescription.h"
#include "support/SizeText.h"
#include "support/SystemFacts.h"
#include "support/TextHelpers.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <cctype>
#include <cstddef>
#include <cstdio>
#include <iterator>
#include <memory>
#include <string_view>
#include <utility>

namespace kx {

namespace {

// The program without the commands written for Linux is the one for Windows: it has no windows
// yet, and its drives are the system's own letters, never a folder of the user's choice.
const Text& forThisSystem(const Text& text, const Text& onWindows)
{
    return KOPIERIX_LINUX_COMMANDS ? text : onWindows;
}

std::string usage(const std::string& lang)
{
    const Language language = languageOf(lang);
    const cliText::UsageParts& parts =
        KOPIERIX_LINUX_COMMANDS ? cliText::usageOnLinux : cliText::usageOnWindows;
    const auto part = [language](const Text& text) {
        return fillIn(inLanguage(language, text), {kProductName});
    };
    std::string text =
        fillIn(inLanguage(language, cliText::usage),
               {kProductName, part(parts.withoutCommand), part(parts.setBackupDrive),
                part(parts.drives), part(parts.progressLine), part(parts.stopStatuses),
                part(parts.driveStatuses), part(parts.files)});
    if (!KOPIERIX_UPDATER) {
        // A build without the update check does not offer it.
        const std::size_t line = text.find("\n  check-update ");
        if (line != std::string::npos)
            text.erase(line, text.find('\n', line + 1) - line);
    }
    return text;
}

void fail(Language language, const Text& text, std::initializer_list<std::string> arguments = {})
{
    printErr(cliText::kErrorPrefix + fillIn(inLanguage(language, text), arguments));
}

struct Options
{
    std::string command;
    std::vector<std::string> arguments; // what follows the command: paths, a drive
    char backupDrive = 0;
    bool yes = false;
    bool add = false;
    bool perComputer = false;
    bool repair = false;
    bool help = false;
    bool version = false;
    bool quiet = false;
    std::string error;
};

// A drive letter as the user may write it: "e", "e:" or "e:\"; 0 for anything else.
char driveLetterOf(std::string value)
{
    if (!value.empty() && value.back() == '\\')
        value.pop_back();
    if (!value.empty() && value.back() == ':')
        value.pop_back();
    if (value.size() != 1 || !std::isalpha(static_cast<unsigned char>(value[0])))
        return 0;
    return static_cast<char>(std::tolower(static_cast<unsigned char>(value[0])));
}

// The options, by each name they answer to; --help also to -h.
struct OptionName
{
    std::string_view name;
    std::string_view option;
    bool takesValue = false;
};

constexpr OptionName kOptionNames[] = {
    {"h", "help"},      {"help", "help"},     {"version", "version"},
    {"yes", "yes"},     {"add", "add"},       {"per-computer", "per-computer"},
    {"quiet", "quiet"}, {"repair", "repair"}, {"backup-drive", "backup-drive", true},
};

// The arguments in the one spelling the parser is given: each option as "--name" or
// "--name=value". An option may be written with one dash or two, and its value may follow as
// the next argument whatever it looks like. Options may stand before or after the command;
// "--" ends them, so that a path may begin with "-". What is no option is told in `error`: an
// unknown option before all else, as the user wrote it; else the last option that went wrong.
std::vector<std::string> canonicalArguments(const std::vector<std::string>& args, Language language,
                                            std::string& error)
{
    std::vector<std::string> canonical;
    std::string unknown;
    bool unknownFound = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--") {
            canonical.insert(canonical.end(), args.begin() + std::ptrdiff_t(i), args.end());
            break;
        }
        if (arg.size() < 2 || arg.front() != '-') {
            canonical.push_back(arg);
            continue;
        }
        const std::size_t dashes = arg[1] == '-' ? 2 : 1;
        const std::size_t assign = arg.find('=');
        const std::string name =
            arg.substr(dashes, assign == std::string::npos ? std::string::npos : assign - dashes);
        const auto known =
            std::find_if(std::begin(kOptionNames), std::end(kOptionNames),
                         [&](const OptionName& option) { return option.name == name; });
        if (known == std::end(kOptionNames)) {
            if (!unknownFound)
                unknown = name;
            unknownFound = true;
            continue;
        }
        const std::string option = "--" + std::string(known->option);
        if (!known->takesValue) {
            if (assign == std::string::npos)
                canonical.push_back(option);
            else
                error = "Unexpected value after '" + arg.substr(0, assign) + "'.";
        } else if (assign != std::string::npos) {
            canonical.push_back(option + arg.substr(assign));
        } else if (i + 1 < args.size()) {
            canonical.push_back(option + "=" + args[++i]);
        } else {
            error = inLanguage(language, cliText::backupDriveExpectsADrive);
        }
    }
    if (unknownFound) {
        // Told as the user wrote it, with one dash or two.
        std::string shown = "--" + unknown;
        for (const std::string& arg : args) {
            if (arg == "-" + unknown || arg == "--" + unknown ||
                arg.starts_with("--" + unknown + "=")) {
                shown = arg;
                break;
            }
        }
        error = inLanguage(language, cliText::unknownArgument) + shown;
    }
    return canonical;
}

Options parse(const std::vector<std::string>& args, Language language)
{
    Options o;
    std::vector<std::string> arguments = canonicalArguments(args, language, o.error);
    if (!o.error.empty())
        return o;
    CLI::App parser;
    // The help is the program's own text, in the user's language.
    parser.set_help_flag();
    parser.add_flag("--help", o.help);
    parser.add_flag("--version", o.version);
    parser.add_flag("--yes", o.yes);
    parser.add_flag("--add", o.add);
    parser.add_flag("--per-computer", o.perComputer);
    parser.add_flag("--quiet", o.quiet);
    parser.add_flag("--repair", o.repair);
    std::string backupDrive;
    CLI::Option* backupDriveOption = parser.add_option("--backup-drive", backupDrive)
                                         ->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
    std::vector<std::string> positional;
    parser.add_option("arguments", positional);
    // The parser takes the arguments last first.
    std::reverse(arguments.begin(), arguments.end());
    try {
        parser.parse(arguments);
    } catch (const CLI::ParseError& parseError) {
        const std::string what = parseError.what();
        o.error = what.find("backup-drive") != std::string::npos
                      ? inLanguage(language, cliText::backupDriveExpectsADrive)
                      : what;
        return o;
    }
    if (backupDriveOption->count() > 0) {
        o.backupDrive = driveLetterOf(backupDrive);
        if (o.backupDrive == 0) {
            o.error = inLanguage(language, cliText::backupDriveExpectsADrive);
            return o;
        }
    }
    if (!positional.empty())
        o.command = positional.front();
    for (std::size_t i = 1; i < positional.size(); ++i)
        o.arguments.push_back(positional[i]);

    const bool known =
        o.command == "make-backups" || o.command == "restore-all" || o.command == "newer" ||
        o.command == "status" ||
        ((KOPIERIX_UPDATER || !KOPIERIX_LINUX_COMMANDS) && o.command == "check-update") ||
        o.command == "drives" || o.command == "add" || o.command == "set-backup-drive" ||
        o.command == "schedule" || o.command == "watch" || o.command == "verify";
    const bool takesArguments =
        o.command == "add" || o.command == "set-backup-drive" || o.command == "schedule";
    static const std::vector<std::string> schedules{"daily", "weekly", "on-mount", "off"};
    if (!o.command.empty() && !known)
        o.error = inLanguage(language, cliText::unknownCommand) + o.command;
    else if (!takesArguments && !o.arguments.empty())
        o.error = inLanguage(language, cliText::unknownArgument) + o.arguments.front();
    else if (o.command == "add" && o.arguments.empty() && !o.help && !o.version)
        o.error = inLanguage(language, cliText::addNeedsAPath);
    else if (o.command == "set-backup-drive" && o.arguments.size() != 1 && !o.help && !o.version)
        o.error = inLanguage(language, forThisSystem(cliText::setBackupDriveNeedsOne,
                                                     cliText::setBackupDriveNeedsOneOnWindows));
    else if (o.command == "schedule" &&
             (o.arguments.size() > 1 ||
              (o.arguments.size() == 1 && std::find(schedules.begin(), schedules.end(),
                                                    o.arguments.front()) == schedules.end())))
        o.error = inLanguage(language, cliText::scheduleNeedsOne);
    else if (o.add && o.command != "newer")
        o.error = inLanguage(language, cliText::addBelongsToNewer);
    else if (o.yes && o.command != "restore-all")
        o.error = inLanguage(language, cliText::yesBelongsToRestoreAll);
    else if (o.perComputer && o.command != "set-backup-drive")
        o.error = inLanguage(language, cliText::perComputerBelongsToSetBackupDrive);
    else if (o.repair && o.command != "verify")
        o.error = inLanguage(language, cliText::repairBelongsToVerify);
    return o;
}

// A new log only when no window runs: open windows go on writing theirs, and this run's lines
// follow its own date line there. The windows' lock is held while the logs are shifted, so a
// window that starts meanwhile waits for the new log.
void startLog(ActivityLog& log, const std::string& lang)
{
    OperationLock windows(OperationLock::Kind::Windows);
    if (windows.tryLock())
        log.rotate(lang);
    else
        log.resume(lang);
}

// The stop of a run: set from the signal handler, read by the engine at each file boundary and
// by the copy loop between chunks. The atomic flag is lock-free, so storing into it is safe in a
// handler.
StopRequest g_stop;

void requestStop() noexcept
{
    g_stop.request();
}

} // namespace

int exitStatusOf(const RunResult& result, StopSignal stopSignal)
{
    if (result.stopped)
        return stopSignal == StopSignal::Terminate ? kExitStoppedByTerm : kExitStoppedByInt;
    // A target too small for the run: the command line copies nothing then.
    if (result.noRoom)
        return kExitNoRoom;
    if (!result.entered)
        return kExitDriveNotEntered;
    // Copies that may not have reached their disk are no success, however many were made.
    return result.failedCount > 0 || result.flushFailed ? kExitSomeFailed : kExitOk;
}

CommandLine::CommandLine(Platform& platform, Console& console, DesktopNotifier& notifier)
    : m_platform(platform), m_console(console), m_notifier(notifier)
{
}

namespace {

const Text& typeText(DriveType type)
{
    switch (type) {
    case DriveType::Removable:
        return cliText::removableDrive;
    case DriveType::Remote:
        return cliText::networkDrive;
    case DriveType::CdRom:
        return cliText::cdDrive;
    case DriveType::RamDisk:
        return cliText::ramDisk;
    case DriveType::Fixed:
    case DriveType::None:
        break;
    }
    return cliText::fixedDrive;
}

std::string padded(std::string text, std::size_t width)
{
    if (text.size() < width)
        text.append(width - text.size(), ' ');
    return text + "  ";
}

std::string trimmed(const std::string& text)
{
    const std::size_t first = text.find_first_not_of(' ');
    return first == std::string::npos ? std::string() : text.substr(first);
}

} // namespace

void CommandLine::printDrives(Platform& platform, Language language)
{
    // Which folder each letter stands for, so that a user can always tell what e: is.
    std::vector<std::vector<std::string>> rows{
        {inLanguage(language, cliText::drivesHeading), inLanguage(language, cliText::drivesType),
         inLanguage(language, cliText::drivesLabel), inLanguage(language, cliText::drivesFree),
         inLanguage(language, cliText::drivesFolder)}};
    bool standsForAFolder = false;
    for (const char letter : platform.driveLetters()) {
        const std::string root = std::string(1, letter) + ":\\";
        const std::string folder = platform.displayPath(root);
        standsForAFolder = standsForAFolder || folder != root;
        const Result<std::string> label = platform.volumeLabel(letter);
        const bool there = bool(label);
        const std::string free =
            there ? trimmed(formatSize(platform.freeSpace(letter), platform.decimalSeparator())) +
                        "Bytes"
                  : inLanguage(language, cliText::driveNotThere);
        rows.push_back({std::string(1, letter) + ":",
                        inLanguage(language, typeText(platform.driveType(letter))),
                        !there || label.value().empty() ? "-" : label.value(), free, folder});
    }
    // Where every letter is the root of a drive of its own, as on Windows, the folders would
    // only say the letters again.
    if (!standsForAFolder) {
        for (auto& row : rows)
            row.pop_back();
    }
    std::vector<std::size_t> widths(rows.front().size(), 0);
    for (const auto& row : rows)
        for (std::size_t i = 0; i < row.size(); ++i)
            widths[i] = std::max(widths[i], row[i].size());
    for (const auto& row : rows) {
        std::string line;
        for (std::size_t i = 0; i + 1 < row.size(); ++i)
            line += padded(row[i], widths[i]);
        printOut(line + row.back());
    }
}

int CommandLine::noDisplay()
{
    const std::string lang = gatherSystemFacts(m_platform).languageCode;
    printErr(fillIn(inLanguage(languageOf(lang),
                               forThisSystem(cliText::noDisplay, cliText::noDisplayOnWindows)),
                    {kProductName}));
    printErr(usage(lang));
    return 1;
}

namespace {

// Chooses the backup drive by its letter or by a folder, and stores it as the manage window
// stores the drive the user picks.
int setBackupDrive(Platform& platform, Console& console, const std::string& choice,
                   bool perComputer, Language language)
{
    const Text& systemRootRefused =
        forThisSystem(cliText::systemRootRefused, cliText::systemRootRefusedOnWindows);
    char letter = driveLetterOf(choice);
    if (letter == 'c') {
        fail(language, systemRootRefused, {"c:"});
        return kExitUsage;
    }
    if (letter != 0) {
        const std::vector<char> letters = platform.driveLetters();
        if (std::find(letters.begin(), letters.end(), letter) == letters.end()) {
            fail(language, cliText::noSuchDrive, {std::string(1, letter) + ":"});
            return kExitUsage;
        }
    } else {
        const PathFacts folder = console.examinePath(choice);
        if (!folder.isFolder) {
            fail(language, cliText::noSuchFolder, {choice});
            return kExitUsage;
        }
        // The mirror folders of c: would go inside the very tree they mirror.
        if (folder.isSystemRoot) {
            fail(language, systemRootRefused, {choice});
            return kExitUsage;
        }
        const Result<char> folderDrive = platform.driveForFolder(choice);
        if (!folderDrive && folderDrive.error().code == errors::kUnfitForBackup) {
            fail(language, text::backupDriveUnfit, {choice, folderDrive.error().message});
            return kExitUsage;
        }
        if (!folderDrive) {
            fail(language, cliText::backupDriveNotStored, {folderDrive.error().message});
            return kExitDriveNotEntered;
        }
        letter = folderDrive.value();
        if (letter == 'c') {
            fail(language, systemRootRefused, {choice});
            return kExitUsage;
        }
    }
    const std::string refusal = backupDriveRefusal(platform, letter, language);
    if (!refusal.empty()) {
        printErr(cliText::kErrorPrefix + refusal);
        return kExitUsage;
    }
    if (!storeBackupDrive(platform, letter, perComputer)) {
        fail(language, cliText::backupDriveNotStored,
             {inLanguage(language, cliText::settingsNotWritten)});
        return kExitDriveNotEntered;
    }
    const std::string drive = std::string(1, letter) + ":";
    printOut(fillIn(inLanguage(language, perComputer ? cliText::backupDriveChosenPerComputer
                                                     : cliText::backupDriveChosen),
                    {drive, platform.displayPath(drive + "\\")}));
    return kExitOk;
}

// The paths named on the command line as drive paths; what cannot be one is told, and counts
// as a file that could not be added. What would back up the backup drive into itself, or the
// whole system, is refused and counted in `refused`.
std::vector<std::string> drivePathsOf(Platform& platform, Console& console,
                                      const std::vector<std::string>& paths, char backupLetter,
                                      Language language, std::uint64_t& failed,
                                      std::uint64_t& refused)
{
    std::vector<std::string> drivePaths;
    for (const std::string& path : paths) {
        const PathFacts info = console.examinePath(path);
        // A pipe, a device or a socket holds nothing to keep.
        if (info.exists && !info.isFile && !info.isFolder) {
            fail(language, cliText::notAFileOrFolder, {path});
            continue;
        }
        if (info.isSystemRoot) {
            fail(language,
                 forThisSystem(cliText::systemRootNotAdded, cliText::systemRootNotAddedOnWindows),
                 {path});
            ++refused;
            continue;
        }
        std::string drivePath = platform.drivePathOf(path);
        if (drivePath.empty()) {
            fail(language, info.exists ? cliText::pathOnNoDrive : cliText::pathNotFound, {path});
            ++failed;
            continue;
        }
        // The medium's own folder, or one inside it: its files are the backup itself. A folder
        // that holds the medium lies on another drive, and its walk passes the medium over.
        if (std::tolower(static_cast<unsigned char>(drivePath.front())) == backupLetter) {
            fail(language, cliText::onTheBackupDriveNotAdded, {path});
            ++refused;
            continue;
        }
        drivePaths.push_back(std::move(drivePath));
    }
    return drivePaths;
}

// One command that works on the files and the log, from its lock to its exit status.
int operate(Platform& platform, Console& console, DesktopNotifier& notifier, SystemFacts& facts,
            const Options& o)
{
    const std::string& lang = facts.languageCode;
    const Language language = languageOf(lang);
    // status only reads; every other command works on the files and the log, and waits for no
    // other operation: it is refused at once, before it touches anything.
    OperationLock operation;
    if (o.command != "status" && !operation.tryLock()) {
        printErr(lockRefusal(operation, lang));
        return kExitBusy;
    }

    ConsoleUi ui(o.yes);
    ActivityLog log(platform, platform);
    log.reportFailuresTo(&ui, lang);
    BackupTarget target;
    MediaRecords media;
    // SIGINT and SIGTERM stop the run the way the window's Stop does. A signal that came
    // before stays: a watch passes it on to the run it starts.
    const std::unique_ptr<StopSignals> stopSignals = console.catchStopSignals(requestStop);
    EngineContext ctx{platform, target, media, ui, log, facts, &g_stop};

    // As at the main window's first paint: this run's log, the stored backup drive chosen (or
    // the one given for this run only).
    readSettings(platform, target, media, ui, ctx.language());
    if (o.command != "status")
        startLog(log, lang);
    ui.setPrintStatus(o.command == "status");
    const BackupDriveChoice choice = selectBackupDrive(
        ctx, o.backupDrive ? o.backupDrive : target.base.substr(0, 1)[0], {.windowsReady = true});
    ui.setPrintStatus(false);

    if (o.command == "status") {
        // Which drive that is, so that the user can find it.
        const char letter = o.backupDrive ? o.backupDrive : chosenBackupDrive(platform);
        if (letter != 0 && platform.driveType(letter) != DriveType::None)
            printOut(" " + driveDescription(platform, letter));
        return kExitOk;
    }
    // A backup drive that cannot be entered has been told about as it was chosen: told once, a
    // run over it has nothing to walk and nothing to sum up.
    if ((o.command == "make-backups" || o.command == "restore-all" || o.command == "newer" ||
         o.command == "verify") &&
        (choice.noDisk || !platform.openDir(target.base.substr(0, 3))))
        return kExitDriveNotEntered;
    // The signal is read once the run has ended, never before.
    if (o.command == "make-backups" || o.command == "restore-all") {
        // Someone watching a terminal sees the run move; a log file gets the run's lines only.
        ProgressLine progress(language, stderr, !o.quiet && console.isTerminal(stderr));
        ui.setProgressLine(&progress);
        const RunResult result = o.command == "make-backups" ? makeBackups(ctx) : restoreAll(ctx);
        progress.erase();
        ui.setProgressLine(nullptr);
        DesktopNotification::send(notifier, result, language);
        return exitStatusOf(result, console.stopSignal());
    }

    if (o.command == "verify") {
        ProgressLine progress(language, stderr, !o.quiet && console.isTerminal(stderr));
        progress.setWords(cliText::verifyProgressLine, cliText::verifyProgressLineOneFile);
        ui.setProgressLine(&progress);
        const VerifyResult result = verifyBackups(ctx, o.repair);
        progress.erase();
        ui.setProgressLine(nullptr);
        const int status = exitStatusOf(result.run, console.stopSignal());
        // A copy that holds other bytes than its source is damage, whether or not it was
        // copied again: the source itself may be the damaged one.
        return status == kExitOk && result.mismatchCount > 0 ? kExitSomeFailed : status;
    }

    if (o.command == "add") {
        // A backup drive that cannot be entered has been told about; nothing is walked.
        if (choice.noDisk || !platform.openDir(target.base.substr(0, 3)))
            return kExitDriveNotEntered;
        std::uint64_t missing = 0;
        std::uint64_t refused = 0;
        const char backupLetter =
            static_cast<char>(std::tolower(static_cast<unsigned char>(target.base.front())));
        const std::vector<std::string> paths =
            drivePathsOf(platform, console, o.arguments, backupLetter, language, missing, refused);
        AddResult result = addPaths(ctx, paths);
        result.failed += missing;
        if (result.stopped) {
            ui.addLine(stoppedLine(language));
            log.writeLog(stoppedLine(language));
        }
        printOut(inLanguage(language, cliText::filesAdded) + std::to_string(result.added));
        printOut(inLanguage(language, cliText::alreadyInTheBackup) +
                 std::to_string(result.alreadyThere));
        printOut(inLanguage(language, cliText::notAdded) + std::to_string(result.failed));
        // The medium's total, as the manage window keeps it when it closes.
        if (result.added > 0)
            writeLastDate(ctx, media.current.totalSize, media.current.lastBackupDate);
        RunResult run;
        run.entered = true;
        run.stopped = result.stopped;
        run.failedCount = result.failed;
        run.flushFailed = result.flushFailed;
        run.noRoom = result.noRoom;
        const int status = exitStatusOf(run, console.stopSignal());
        // A file that did not reach the medium weighs more than a path that was refused.
        if (refused > 0 && status == kExitOk)
            return kExitUsage;
        return status;
    }

    // newer
    NewerScanResult scan = scanNewFiles(ctx);
    if (!scan.entered)
        return kExitDriveNotEntered;
    if (scan.stopped) {
        ui.addLine(stoppedLine(languageOf(lang)));
        log.writeLog(stoppedLine(languageOf(lang)));
        RunResult stopped;
        stopped.stopped = true;
        return exitStatusOf(stopped, console.stopSignal());
    }
    if (!o.add || !scan.found) {
        // An empty list is the window's single line; nothing is added, nothing written.
        for (const auto& line : scan.proposals)
            printOut(shownProposal(platform, line));
        return kExitOk;
    }
    std::vector<bool> selected(scan.proposals.size(), true);
    const RunResult result = addNewFiles(ctx, scan.proposals, selected);
    return exitStatusOf(result, console.stopSignal());
}

} // namespace

int CommandLine::run(const std::vector<std::string>& args)
{
    SystemFacts facts = gatherSystemFacts(m_platform);
    // Its lines go to a terminal or a file, as the log's do: dates keep the plain form.
    facts.windowDates = false;
    const std::string& lang = facts.languageCode;
    g_stop.clear();
    m_console.clearStopSignal();
    const Language language = languageOf(lang);
    const Options o = parse(args, language);
    if (!o.error.empty()) {
        printErr(std::string(cliText::kErrorPrefix) + o.error);
        printErr(inLanguage(languageOf(lang), cliText::seeKopierixHelp));
        return kExitUsage;
    }
    if (o.help) {
        printOut(usage(lang));
        return kExitOk;
    }
    if (o.version) {
        printOut(std::string(kProductName) + " " + versionText(languageOf(lang)));
        return kExitOk;
    }
    if (o.command.empty()) {
        printErr(usage(lang));
        return kExitUsage;
    }
    if (o.command == "restore-all" && !o.yes) {
        fail(language, cliText::restoreAllOverwritesYourFiles);
        return kExitUsage;
    }

    // The update check touches neither the log nor the backup drive; nor does the drive table.
#if KOPIERIX_UPDATER
    if (o.command == "check-update")
        return checkUpdateCommand(m_platform, lang);
#endif
#if !KOPIERIX_LINUX_COMMANDS
    // Each says that this system does not have it yet, before any backup drive is asked for.
    if (o.command == "check-update")
        return checkUpdateCommand(m_platform, lang);
    if (o.command == "watch")
        return watchCommand(m_platform, m_console, language, o.backupDrive, requestStop, {});
#endif
    if (o.command == "drives") {
        printDrives(m_platform, languageOf(lang));
        return kExitOk;
    }

    if (o.command == "set-backup-drive")
        return setBackupDrive(m_platform, m_console, o.arguments.front(), o.perComputer, language);

    if (o.command == "schedule")
        return scheduleCommand(language, o.arguments.empty() ? std::string() : o.arguments.front());

    // A letter given for this run is refused as set-backup-drive refuses it.
    if (o.backupDrive != 0) {
        const std::vector<char> letters = m_platform.driveLetters();
        if (std::find(letters.begin(), letters.end(), o.backupDrive) == letters.end()) {
            fail(language, cliText::noSuchDrive, {std::string(1, o.backupDrive) + ":"});
            return kExitUsage;
        }
    }

    // The default c: is no choice here: a run would walk the whole system as its medium.
    if (o.command == "status" && o.backupDrive == 0 && chosenBackupDrive(m_platform) == 0) {
        printOut(inLanguage(language, forThisSystem(cliText::statusNoBackupDriveChosen,
                                                    cliText::statusNoBackupDriveChosenOnWindows)));
        return kExitOk;
    }
    if (o.backupDrive == 0 && chosenBackupDrive(m_platform) == 0) {
        fail(language,
             forThisSystem(cliText::noBackupDriveChosen, cliText::noBackupDriveChosenOnWindows));
        return kExitDriveNotEntered;
    }

    // Refused before the lock, the log or anything else is written: the run would write into
    // the system itself.
    if (const char letter = o.backupDrive ? o.backupDrive : chosenBackupDrive(m_platform)) {
        const std::string refusal = backupDriveRefusal(m_platform, letter, language);
        if (!refusal.empty()) {
            printErr(cliText::kErrorPrefix + refusal);
            return kExitUsage;
        }
    }

    if (o.command == "watch") {
        Options run = o;
        run.command = "make-backups";
        return watchCommand(m_platform, m_console, language, o.backupDrive, requestStop,
                            [&] { return operate(m_platform, m_console, m_notifier, facts, run); });
    }
    return operate(m_platform, m_console, m_notifier, facts, o);
}

} // namespace kx
