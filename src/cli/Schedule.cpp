// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/Schedule.h"

#include "cli/CommandLineTexts.h"
#include "cli/ConsoleOutput.h"
#include "cli/LinuxCommands.h"
#include "support/TextHelpers.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSaveFile>
#include <QStandardPaths>
#include <QStringList>

#include <algorithm>
#include <cstdio>

namespace kx {

namespace {

constexpr const char* kBackupService = "kopierix-backup.service";
constexpr const char* kBackupTimer = "kopierix-backup.timer";
constexpr const char* kWatchService = "kopierix-watch.service";
constexpr int kSystemctlTimeoutMs = 60000;

QString q(const std::string& text)
{
    return QString::fromStdString(text);
}

// The program's path as it begins ExecStart. The service manager takes no quote, backslash or
// control character in a program's own name, and substitutes no variable there: such a path
// goes to env as its argument instead, where both are escaped. A % is a specifier anywhere.
std::string execWord(const std::string& path)
{
    const bool special = std::any_of(path.begin(), path.end(), [](char c) {
        return c == '"' || c == '\'' || c == '\\' || (c >= 0 && c < ' ') || c == 0x7f;
    });
    std::string word;
    for (const char c : path) {
        if (c == '%' || (special && c == '$')) {
            word += c;
        } else if (special && (c == '\\' || c == '"')) {
            word += '\\';
        } else if (special && ((c >= 0 && c < ' ') || c == 0x7f)) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\x%02x", static_cast<unsigned char>(c));
            word += escaped;
            continue;
        }
        word += c;
    }
    if (special)
        return "/usr/bin/env \"" + word + "\"";
    return path.find_first_of(" \t") == std::string::npos ? word : "\"" + word + "\"";
}

// The path as a word of the shell that cron runs: quoted unless it is plain; cron itself reads
// % as the end of the command.
std::string shellWord(const std::string& path)
{
    const bool plain = path.find_first_not_of("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ"
                                              "0123456789/._-+") == std::string::npos;
    if (plain)
        return path;
    std::string word = "'";
    for (const char c : path) {
        if (c == '\'')
            word += "'\\''";
        else if (c == '%')
            word += "\\%";
        else
            word += c;
    }
    return word + "'";
}

// A path that a line of cron's table, or of a session's start, cannot carry: a line break would
// end the line there and let the rest of the path run as a command of its own.
bool holdsControlCharacter(const std::string& path)
{
    return std::any_of(path.begin(), path.end(),
                       [](char c) { return (c >= 0 && c < ' ') || c == 0x7f; });
}

std::string unitHeader(const std::string& description)
{
    return "# Written by 'kopierix schedule'; 'kopierix schedule off' removes it.\n"
           "[Unit]\n"
           "Description=Kopierix: " +
           description +
           "\n"
           "Documentation=man:kopierix(1)\n";
}

// A backup in the background gives way to what the user does meanwhile.
constexpr const char* kGentle = "Nice=10\nIOSchedulingClass=idle\n";

std::string firstLine(const std::string& text)
{
    const std::size_t end = text.find('\n');
    return text.substr(0, end);
}

} // namespace

Schedule::Schedule(Language language, std::string program)
    : m_language(language), m_program(std::move(program))
{
}

std::string Schedule::backupService() const
{
    return unitHeader("refresh the backups on the Backup drive") +
           "\n"
           "[Service]\n"
           "Type=oneshot\n"
           "ExecStart=" +
           execWord(m_program) + " make-backups\n" + kGentle;
}

std::string Schedule::backupTimer(const std::string& calendar) const
{
    return unitHeader("refresh the backups " + calendar) +
           "\n"
           "[Timer]\n"
           "OnCalendar=" +
           calendar +
           "\n"
           // A run missed while the computer was off is made up for when it is on again.
           "Persistent=true\n"
           "\n"
           "[Install]\n"
           "WantedBy=timers.target\n";
}

std::string Schedule::watchService() const
{
    return unitHeader("refresh the backups when the Backup drive is mounted") +
           "\n"
           "[Service]\n"
           "ExecStart=" +
           execWord(m_program) + " watch\n" + kGentle +
           // Stopped in the middle of a run, it ends as a stopped make-backups does.
           "SuccessExitStatus=130 143\n"
           "\n"
           "[Install]\n"
           "WantedBy=default.target\n";
}

std::string Schedule::crontabLine(const std::string& choice) const
{
    if (holdsControlCharacter(m_program))
        return std::string();
    return "@" + choice + " " + shellWord(m_program) + " make-backups";
}

std::string Schedule::unitFolder() const
{
    // $XDG_CONFIG_HOME, else ~/.config: where the user's own units live.
    return QFile::encodeName(
               QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
               QStringLiteral("/systemd/user"))
        .toStdString();
}

bool Schedule::systemctl(const std::vector<std::string>& arguments, std::string& output)
{
    QStringList list{QStringLiteral("--user")};
    for (const std::string& argument : arguments)
        list << q(argument);
    QProcess process;
    process.start(q(m_systemctl), list);
    if (!process.waitForFinished(kSystemctlTimeoutMs)) {
        process.kill();
        process.waitForFinished();
        output = process.errorString().toStdString();
        return false;
    }
    const bool ok = process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
    // A failure is told on standard error, but some answers come with a failing status on
    // standard output (is-enabled of a disabled unit).
    const QByteArray error = process.readAllStandardError().trimmed();
    output =
        (ok || error.isEmpty() ? process.readAllStandardOutput().trimmed() : error).toStdString();
    return ok;
}

std::string Schedule::whySystemdIsAbsent()
{
    m_systemctl = QStandardPaths::findExecutable(QStringLiteral("systemctl")).toStdString();
    if (m_systemctl.empty())
        return inLanguage(m_language, cliText::systemctlNotFound);
    // Any call that needs the user's manager tells whether there is one.
    std::string output;
    if (!systemctl({"show-environment"}, output)) {
        const std::string why = inLanguage(m_language, cliText::systemctlUserFails);
        return output.empty() ? why : why + ": " + firstLine(output);
    }
    return std::string();
}

bool Schedule::writeUnit(const std::string& name, const std::string& text)
{
    const QString folder = QFile::decodeName(QByteArray::fromStdString(unitFolder()));
    QSaveFile file(folder + QLatin1Char('/') + q(name));
    if (!QDir().mkpath(folder) || !file.open(QIODevice::WriteOnly) ||
        file.write(text.data(), qint64(text.size())) != qint64(text.size()) || !file.commit()) {
        printErr(cliText::kErrorPrefix + fillIn(inLanguage(m_language, cliText::unitNotWritten),
                                                {unitFolder() + "/" + name}));
        return false;
    }
    return true;
}

int Schedule::install(const std::vector<std::pair<std::string, std::string>>& units,
                      const std::string& unitToStart)
{
    const bool wasThere = QFile::exists(q(unitFolder() + "/" + unitToStart));
    for (const auto& [name, text] : units) {
        if (!writeUnit(name, text))
            return 1;
    }
    std::vector<std::vector<std::string>> calls{{"daemon-reload"},
                                                {"enable", "--now", unitToStart}};
    // A unit that ran already goes on with its old settings until it starts again.
    if (wasThere)
        calls.push_back({"restart", unitToStart});
    for (const auto& call : calls) {
        std::string output;
        if (!systemctl(call, output)) {
            std::string shown;
            for (const std::string& word : call)
                shown += (shown.empty() ? "" : " ") + word;
            printErr(std::string(cliText::kErrorPrefix) +
                     fillIn(inLanguage(m_language, cliText::systemctlFailed), {shown, output}));
            return 1;
        }
    }
    return 0;
}

int Schedule::set(const std::string& choice)
{
    if (choice == "off")
        return turnOff();
    const std::string why = whySystemdIsAbsent();
    const Text& often = choice == "weekly" ? cliText::everyWeek : cliText::everyDay;
    if (!why.empty()) {
        printOut(fillIn(inLanguage(m_language, cliText::noSystemdUserManager), {why}));
        if (holdsControlCharacter(m_program)) {
            printErr(std::string(cliText::kErrorPrefix) +
                     inLanguage(m_language, cliText::programPathFitsNoLine));
            return 1;
        }
        if (choice == "on-mount") {
            printOut(fillIn(inLanguage(m_language, cliText::startWatchWithSession),
                            {shellWord(m_program)}));
        } else {
            printOut(fillIn(inLanguage(m_language, cliText::useCrontabLine),
                            {inLanguage(m_language, often)}));
            printOut(crontabLine(choice));
        }
        return 0;
    }
    if (choice == "on-mount") {
        const int status = install({{kWatchService, watchService()}}, kWatchService);
        if (status == 0)
            printOut(fillIn(inLanguage(m_language, cliText::watchInstalled),
                            {kWatchService, unitFolder()}));
        return status;
    }
    const int status = install(
        {{kBackupService, backupService()}, {kBackupTimer, backupTimer(choice)}}, kBackupTimer);
    if (status == 0)
        printOut(fillIn(inLanguage(m_language, cliText::scheduledByTimer),
                        {inLanguage(m_language, often), kBackupTimer, unitFolder()}));
    return status;
}

int Schedule::turnOff()
{
    const std::string why = whySystemdIsAbsent();
    const std::string folder = unitFolder() + "/";
    std::vector<std::string> present;
    for (const char* name : {kBackupTimer, kWatchService}) {
        if (QFile::exists(q(folder + name)))
            present.push_back(name);
    }
    if (why.empty() && !present.empty()) {
        std::vector<std::string> call{"disable", "--now"};
        call.insert(call.end(), present.begin(), present.end());
        std::string output;
        // A unit the manager no longer knows is disabled already; its file goes all the same.
        systemctl(call, output);
    }
    for (const char* name : {kBackupTimer, kBackupService, kWatchService}) {
        QFile file(q(folder + name));
        if (file.exists() && !file.remove()) {
            printErr(std::string(cliText::kErrorPrefix) +
                     fillIn(inLanguage(m_language, cliText::unitNotWritten), {folder + name}));
            return 1;
        }
    }
    if (!why.empty()) {
        printOut(fillIn(inLanguage(m_language, cliText::noSystemdUserManager), {why}));
        printOut(inLanguage(m_language, cliText::removeCrontabLine));
        return 0;
    }
    std::string output;
    systemctl({"daemon-reload"}, output);
    printOut(inLanguage(m_language, cliText::scheduleTurnedOff));
    return 0;
}

int Schedule::show()
{
    const std::string why = whySystemdIsAbsent();
    const std::string folder = unitFolder() + "/";
    auto state = [&](const std::string& unit) {
        std::string output;
        if (!why.empty())
            return std::string(inLanguage(m_language, cliText::unitStateUnknown));
        // is-enabled fails for a disabled unit, and says so on standard output.
        systemctl({"is-enabled", unit}, output);
        return output.empty() ? std::string("?") : firstLine(output);
    };
    bool any = false;
    QFile timer(q(folder + kBackupTimer));
    if (timer.open(QIODevice::ReadOnly)) {
        std::string calendar = "?";
        for (const QByteArray& line : timer.readAll().split('\n')) {
            if (line.startsWith("OnCalendar="))
                calendar = line.mid(11).trimmed().toStdString();
        }
        const std::string often = calendar == "daily" ? inLanguage(m_language, cliText::everyDay)
                                  : calendar == "weekly"
                                      ? inLanguage(m_language, cliText::everyWeek)
                                      : calendar;
        printOut(fillIn(inLanguage(m_language, cliText::timerIsSet),
                        {often, folder + kBackupTimer, state(kBackupTimer)}));
        any = true;
    }
    if (QFile::exists(q(folder + kWatchService))) {
        printOut(fillIn(inLanguage(m_language, cliText::watchIsSet),
                        {folder + kWatchService, state(kWatchService)}));
        any = true;
    }
    if (!any)
        printOut(inLanguage(m_language, cliText::noScheduleSet));
    return 0;
}

int scheduleCommand(Language language, const std::string& choice)
{
    Schedule schedule(language,
                      QFile::encodeName(QCoreApplication::applicationFilePath()).toStdString());
    return choice.empty() ? schedule.show() : schedule.set(choice);
}

} // namespace kx
