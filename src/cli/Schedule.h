// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "support/Language.h"

#include <string>
#include <utility>
#include <vector>

namespace kx {

// `kopierix schedule`: Make Backups run by the user's service manager, daily or weekly by a
// systemd user timer, or at each mount of the Backup drive by a user service that runs
// `kopierix watch`. Where there is no systemd user manager nothing is written: the crontab line
// (or the session's start) to use instead is printed.
class Schedule
{
public:
    // `program` is the absolute path of this program, which the units run.
    Schedule(Language language, std::string program);

    // daily, weekly, on-mount or off; the exit status.
    int set(const std::string& choice);
    // What is set; the exit status.
    int show();

    // The units' texts, as written.
    std::string backupService() const;
    std::string backupTimer(const std::string& calendar) const;
    std::string watchService() const;
    // The crontab line that runs Make Backups `daily` or `weekly`; empty when the program's path
    // holds a line break or another control character, which no crontab line can carry.
    std::string crontabLine(const std::string& choice) const;

private:
    std::string unitFolder() const;
    // Why systemd cannot be used here; empty when it can.
    std::string whySystemdIsAbsent();
    // Runs `systemctl --user` with the arguments; its output, or its error when it fails and
    // says one.
    bool systemctl(const std::vector<std::string>& arguments, std::string& output);
    bool writeUnit(const std::string& name, const std::string& text);
    int turnOff();
    int install(const std::vector<std::pair<std::string, std::string>>& units,
                const std::string& unitToStart);

    Language m_language;
    std::string m_program;
    std::string m_systemctl;
};

} // namespace kx
