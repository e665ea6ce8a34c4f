// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/MediumMounts.h"

#include <QByteArray>
#include <QObject>

namespace kx {

class MountWatcher;

/** The mounts on Linux: the mount table, read at each change the MountWatcher reports. */
class LinuxMediumMounts : public QObject, public MediumMounts
{
    Q_OBJECT

public:
    explicit LinuxMediumMounts(const QString& mountTable = QStringLiteral("/proc/self/mountinfo"));
    ~LinuxMediumMounts() override;

    void onChange(std::function<void()> changed) override;
    bool newlyMounted(const std::string& folder) override;

    /** True when the folder lies on a mount of the table `after` that the table `before` did
     *  not have. */
    static bool newMountHolds(const QByteArray& before, const QByteArray& after,
                              const std::string& folder);

private:
    MountWatcher* m_watcher;
    QByteArray m_before;
    QByteArray m_table;
    std::function<void()> m_changed;
};

} // namespace kx
