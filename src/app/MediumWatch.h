// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/Platform.h"
#include "support/Language.h"

#include <QByteArray>
#include <QObject>

#include <functional>
#include <string>

class QEventLoop;

namespace kx {

class MountWatcher;

// `kopierix watch`: Make Backups each time the Backup drive's medium is mounted, once for each
// mount, until a signal ends the watch.
class MediumWatch : public QObject
{
    Q_OBJECT

public:
    // `run` makes the backups and gives the exit status; `backupDrive`, when not 0, stands
    // for the stored choice; a byte on `wakeFd` ends the watch, and `stopped` tells whether
    // a signal came.
    MediumWatch(Platform& platform, Language language, char backupDrive, std::function<int()> run,
                int wakeFd, std::function<bool()> stopped);
    ~MediumWatch() override;

    // Watches until a signal comes; the exit status of a run the signal stopped, else 0.
    int exec();

    // True when the folder lies on a mount of the table `after` that the table `before` did not
    // have: its medium has just been mounted. An unmount uncovers an older mount, and a mount
    // elsewhere leaves the folder on the mount it was on.
    static bool newMountHolds(const QByteArray& before, const QByteArray& after,
                              const std::string& folder);

private:
    void mountsChanged();

    Platform& m_platform;
    Language m_language;
    char m_backupDrive;
    std::function<int()> m_run;
    int m_wakeFd;
    std::function<bool()> m_stopped;
    MountWatcher* m_watcher;
    QEventLoop* m_loop;
    QByteArray m_table;
    int m_status = 0;
};

} // namespace kx
