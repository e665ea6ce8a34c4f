// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

class QTimer;

namespace kx {

/**
 * Tells when a file system was mounted or unmounted. The mount table is a file whose changes no
 * file watcher reports, so it is read every two seconds and compared with what was read before;
 * it is a few kilobytes, and nothing else happens while it stays the same.
 */
class MountWatcher : public QObject
{
    Q_OBJECT

public:
    explicit MountWatcher(const QString& mountTable = QStringLiteral("/proc/self/mountinfo"),
                          QObject* parent = nullptr);

    static constexpr int kIntervalMs = 2000;

    /** Compares the table with the last reading now; emits changed() when it differs. */
    void check();
    /** Forgets the last reading, so that the next check reports a change: for a change that
     *  could not be handled at once. */
    void forget();

signals:
    void changed();

private:
    QString m_path;
    QByteArray m_last;
    bool m_known = false;
    QTimer* m_timer;
};

} // namespace kx
