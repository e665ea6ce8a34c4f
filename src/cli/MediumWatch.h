// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/MediumMounts.h"
#include "platform/Platform.h"
#include "platform/StopSignals.h"
#include "support/Language.h"

#include <QObject>

#include <functional>

class QEventLoop;

namespace kx {

// `kopierix watch`: Make Backups each time the Backup drive's medium is mounted, once for each
// mount, until a signal ends the watch.
class MediumWatch : public QObject
{
    Q_OBJECT

public:
    // `run` makes the backups and gives the exit status; `backupDrive`, when not 0, stands
    // for the stored choice; a signal caught by `stopSignals` ends the watch, and `stopped` tells
    // whether one came.
    MediumWatch(Platform& platform, Language language, char backupDrive, std::function<int()> run,
                MediumMounts& mounts, StopSignals& stopSignals, std::function<bool()> stopped);
    ~MediumWatch() override;

    // Watches until a signal comes; the exit status of a run the signal stopped, else 0.
    int exec();

private:
    void mountsChanged();

    Platform& m_platform;
    Language m_language;
    char m_backupDrive;
    std::function<int()> m_run;
    MediumMounts& m_mounts;
    std::function<bool()> m_stopped;
    QEventLoop* m_loop;
    int m_status = 0;
};

} // namespace kx
