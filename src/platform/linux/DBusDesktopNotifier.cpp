// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/linux/DBusDesktopNotifier.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QStringList>
#include <QVariantMap>

namespace kx {

namespace {

// The notification service answers at once; a session whose service hangs must not hold the
// run's end up for long.
constexpr int kNotifyTimeoutMs = 3000;

} // namespace

bool DBusDesktopNotifier::notify(const std::string& program, const std::string& appId,
                                 const std::string& body)
{
    // Without the address the bus library would try to start a bus of its own.
    if (qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS"))
        return false;
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return false;
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.Notifications"),
        QStringLiteral("/org/freedesktop/Notifications"),
        QStringLiteral("org.freedesktop.Notifications"), QStringLiteral("Notify"));
    const QString name = QString::fromStdString(program);
    const QString entry = QString::fromStdString(appId);
    QVariantMap hints;
    hints.insert(QStringLiteral("desktop-entry"), entry);
    call << name << uint(0) << entry << name << QString::fromStdString(body) << QStringList()
         << hints << int(-1);
    const QDBusMessage reply = bus.call(call, QDBus::Block, kNotifyTimeoutMs);
    return reply.type() == QDBusMessage::ReplyMessage;
}

std::unique_ptr<DesktopNotifier> createDesktopNotifier()
{
    return std::make_unique<DBusDesktopNotifier>();
}

} // namespace kx
