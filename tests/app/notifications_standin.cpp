// SPDX-License-Identifier: GPL-3.0-or-later
// A stand-in for the desktop's notification service on the session bus given by
// DBUS_SESSION_BUS_ADDRESS: each Notify is answered and recorded as one line, "summary TAB body".
//
// Usage: notifications_standin RECORD
#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVirtualObject>
#include <QFile>

#include <cstdio>

namespace {

class Service : public QDBusVirtualObject
{
public:
    explicit Service(QString record) : m_record(std::move(record)) {}

    QString introspect(const QString&) const override { return QString(); }

    bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override
    {
        if (message.member() != QLatin1String("Notify") || message.arguments().size() != 8) {
            connection.send(message.createErrorReply(QDBusError::UnknownMethod, QString()));
            return true;
        }
        QFile record(m_record);
        if (record.open(QIODevice::Append)) {
            record.write(message.arguments().at(3).toString().toUtf8() + '\t' +
                         message.arguments().at(4).toString().toUtf8() + '\n');
        }
        connection.send(message.createReply(QVariant::fromValue(uint(++m_id))));
        return true;
    }

private:
    QString m_record;
    uint m_id = 0;
};

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 2)
        return 2;
    QDBusConnection bus = QDBusConnection::sessionBus();
    Service service(QString::fromLocal8Bit(argv[1]));
    if (!bus.registerVirtualObject(QStringLiteral("/org/freedesktop/Notifications"), &service) ||
        !bus.registerService(QStringLiteral("org.freedesktop.Notifications")))
        return 1;
    std::printf("ready\n");
    std::fflush(stdout);
    return app.exec();
}
