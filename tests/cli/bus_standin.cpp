// SPDX-License-Identifier: GPL-3.0-or-later
// Stand-ins for the services of a desktop, on the bus given by DBUS_SESSION_BUS_ADDRESS.
//
// Usage: bus_standin notifications RECORD
//   The notification service: each Notify is answered and recorded as one line,
//   "summary TAB body".
// Usage: bus_standin udisks
//   The volume service, as far as its signals go: each line on standard input makes it tell
//   that the mount folders of a file system changed.
#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVirtualObject>
#include <QFile>
#include <QSocketNotifier>
#include <QVariantMap>

#include <cstdio>

#include <unistd.h>

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

int volumeService(QDBusConnection& bus)
{
    if (!bus.registerService(QStringLiteral("org.freedesktop.UDisks2")))
        return 1;
    QSocketNotifier input(0, QSocketNotifier::Read);
    QObject::connect(&input, &QSocketNotifier::activated, [&] {
        char buffer[256];
        if (::read(0, buffer, sizeof buffer) <= 0) {
            QCoreApplication::quit();
            return;
        }
        QDBusMessage changed = QDBusMessage::createSignal(
            QStringLiteral("/org/freedesktop/UDisks2/block_devices/sdb1"),
            QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("PropertiesChanged"));
        changed << QStringLiteral("org.freedesktop.UDisks2.Filesystem")
                << QVariantMap{{QStringLiteral("Size"), qulonglong(1)}} << QStringList();
        bus.send(changed);
        std::printf("sent\n");
        std::fflush(stdout);
    });
    std::printf("ready\n");
    std::fflush(stdout);
    return QCoreApplication::exec();
}

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (argc == 2 && argv[1] == QByteArray("udisks"))
        return volumeService(bus);
    if (argc != 3 || argv[1] != QByteArray("notifications"))
        return 2;
    Service service(QString::fromLocal8Bit(argv[2]));
    if (!bus.registerVirtualObject(QStringLiteral("/org/freedesktop/Notifications"), &service) ||
        !bus.registerService(QStringLiteral("org.freedesktop.Notifications")))
        return 1;
    std::printf("ready\n");
    std::fflush(stdout);
    return app.exec();
}
