// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

class QDBusMessage;
class QSocketNotifier;

namespace kx {

/**
 * Tells when a file system was mounted or unmounted, as the system reports it: the kernel marks
 * the mount table "priority data" whenever it changes, and the volume service, where it runs,
 * sends a signal for each volume mounted, unmounted, plugged in or pulled out. Nothing is read
 * while nothing changes; each report is checked against the table read before, so that several
 * reports of one change make one changed().
 */
class MountWatcher : public QObject
{
    Q_OBJECT

public:
    explicit MountWatcher(const QString& mountTable = QStringLiteral("/proc/self/mountinfo"),
                          QObject* parent = nullptr);
    ~MountWatcher() override;

    /** How long a change that could not be handled waits before it is looked at again. */
    static constexpr int kRetryMs = 2000;

    /** Compares the table with the last reading now; emits changed() when it differs. */
    void check();
    /** Forgets the last reading, so that the next check reports a change: for a change that
     *  could not be handled at once. */
    void forget();
    /** The table as last read. */
    const QByteArray& table() const { return m_last; }

signals:
    void changed();

private slots:
    void volumeServiceChanged(const QDBusMessage& message);

private:
    void listenToVolumeService();

    QString m_path;
    QByteArray m_last;
    bool m_known = false;
    int m_fd = -1;
    QSocketNotifier* m_notifier = nullptr;
};

} // namespace kx
