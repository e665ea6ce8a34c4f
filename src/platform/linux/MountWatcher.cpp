// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/linux/MountWatcher.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QFile>
#include <QSocketNotifier>
#include <QStringList>
#include <QTimer>

#include <fcntl.h>
#include <unistd.h>

namespace kx {

namespace {

QByteArray readTable(const QString& path)
{
    // The file reports a size of 0: read it to its end.
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray();
    return file.readAll();
}

const QString kVolumeService = QStringLiteral("org.freedesktop.UDisks2");

} // namespace

MountWatcher::MountWatcher(const QString& mountTable, QObject* parent)
    : QObject(parent), m_path(mountTable), m_last(readTable(mountTable)), m_known(true)
{
    // The kernel flags a change of the mount table as priority data on any open descriptor of
    // it (poll's POLLPRI); the flag clears when it has been reported. A plain file never sets
    // it, so a table that is no kernel file is only read when check() is called.
    m_fd = ::open(QFile::encodeName(mountTable).constData(), O_RDONLY | O_CLOEXEC);
    if (m_fd >= 0) {
        m_notifier = new QSocketNotifier(m_fd, QSocketNotifier::Exception, this);
        connect(m_notifier, &QSocketNotifier::activated, this, &MountWatcher::check);
    }
    listenToVolumeService();
}

MountWatcher::~MountWatcher()
{
    delete m_notifier;
    if (m_fd >= 0)
        ::close(m_fd);
}

void MountWatcher::listenToVolumeService()
{
    // The service's signals come with its own account of a volume, which can lag the mount
    // table by a moment: each one is one more reason to read the table. Where the service or
    // the system bus is absent, the table's own notification is all there is.
    QDBusConnection bus = QDBusConnection::systemBus();
    if (!bus.isConnected())
        return;
    bus.connect(kVolumeService, QString(), QStringLiteral("org.freedesktop.DBus.Properties"),
                QStringLiteral("PropertiesChanged"),
                {QStringLiteral("org.freedesktop.UDisks2.Filesystem")}, QString(), this,
                SLOT(volumeServiceChanged(QDBusMessage)));
    for (const QString& name :
         {QStringLiteral("InterfacesAdded"), QStringLiteral("InterfacesRemoved")})
        bus.connect(kVolumeService, QStringLiteral("/org/freedesktop/UDisks2"),
                    QStringLiteral("org.freedesktop.DBus.ObjectManager"), name, this,
                    SLOT(volumeServiceChanged(QDBusMessage)));
}

void MountWatcher::volumeServiceChanged(const QDBusMessage&)
{
    check();
}

void MountWatcher::check()
{
    QByteArray now = readTable(m_path);
    if (m_known && now == m_last)
        return;
    m_last = std::move(now);
    m_known = true;
    emit changed();
}

void MountWatcher::forget()
{
    // No report may come for a while after the change that could not be handled: it is looked
    // at again after a moment, and again, until it is handled.
    m_known = false;
    QTimer::singleShot(kRetryMs, this, &MountWatcher::check);
}

} // namespace kx
