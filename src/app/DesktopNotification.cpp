// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/DesktopNotification.h"

#include "app/CommandLineTexts.h"
#include "app/Version.h"
#include "support/TextHelpers.h"

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

std::string DesktopNotification::bodyOf(const RunResult& result, Language language)
{
    // "0 files copied, 0 failed" would read as a run with nothing to do.
    if (result.noRoom && result.declined)
        return inLanguage(language, cliText::notificationNoRoom);
    return fillIn(inLanguage(language, result.copiedCount == 1 ? cliText::notificationBodyOneFile
                                                               : cliText::notificationBody),
                  {std::to_string(result.copiedCount), std::to_string(result.failedCount),
                   std::to_string(result.withoutSourceCount)});
}

bool DesktopNotification::send(const RunResult& result, Language language)
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
    const QString product = QString::fromLatin1(kProductName);
    QVariantMap hints;
    hints.insert(QStringLiteral("desktop-entry"), QString::fromLatin1(kAppId));
    call << product << uint(0) << QString::fromLatin1(kAppId) << product
         << QString::fromStdString(bodyOf(result, language)) << QStringList() << hints << int(-1);
    const QDBusMessage reply = bus.call(call, QDBus::Block, kNotifyTimeoutMs);
    return reply.type() == QDBusMessage::ReplyMessage;
}

} // namespace kx
