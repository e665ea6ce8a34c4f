// SPDX-License-Identifier: GPL-3.0-or-later
// A stand-in for the system's volume service on a private bus: it serves the volumes of a
// description file the way UDisks2 does, and records each rename in a file.
//
// Usage: udisks_standin DESCRIPTION RECORD
// Each line of DESCRIPTION, fields apart by tabs: object, device, UUID, label, type ("-" for a
// block without a file system), mount folder (empty when not mounted), removable (0/1), media
// removable (0/1), connection bus. A rename to "REFUSE" fails, as the service's would.
#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusVirtualObject>
#include <QFile>
#include <QMap>
#include <QTextStream>

#include <cstdio>

namespace {

using Interfaces = QMap<QString, QVariantMap>;
using Objects = QMap<QDBusObjectPath, Interfaces>;

const QString kRoot = QStringLiteral("/org/freedesktop/UDisks2");
const QString kBlocks = QStringLiteral("/org/freedesktop/UDisks2/block_devices/");
const QString kDrives = QStringLiteral("/org/freedesktop/UDisks2/drives/");

struct Block
{
    QStringList fields;
    QString label;
};

QByteArray byteString(const QString& text)
{
    return text.toUtf8() + '\0';
}

class Service : public QDBusVirtualObject
{
public:
    Service(QList<Block> blocks, QString record) : m_blocks(std::move(blocks)), m_record(record) {}

    QString introspect(const QString&) const override { return QString(); }

    bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override
    {
        if (message.path() == kRoot && message.member() == QLatin1String("GetManagedObjects")) {
            connection.send(message.createReply(QVariant::fromValue(objects())));
            return true;
        }
        if (message.member() == QLatin1String("SetLabel") && message.arguments().size() == 2) {
            const QString object = message.path().mid(kBlocks.size());
            const QString label = message.arguments().at(0).toString();
            for (Block& block : m_blocks) {
                if (block.fields[0] != object)
                    continue;
                if (label == QLatin1String("REFUSE")) {
                    connection.send(message.createErrorReply(
                        QStringLiteral("org.freedesktop.UDisks2.Error.Failed"),
                        QStringLiteral("refused")));
                    return true;
                }
                block.label = label;
                QFile file(m_record);
                if (file.open(QIODevice::Append))
                    file.write((object + QLatin1Char(' ') + label + QLatin1Char('\n')).toUtf8());
                connection.send(message.createReply());
                return true;
            }
        }
        connection.send(message.createErrorReply(QDBusError::UnknownMethod, message.member()));
        return true;
    }

private:
    Objects objects() const
    {
        Objects objects;
        for (const Block& block : m_blocks) {
            const QStringList& f = block.fields;
            const QString drive = kDrives + f[0] + QStringLiteral("_drive");
            Interfaces blockInterfaces;
            blockInterfaces[QStringLiteral("org.freedesktop.UDisks2.Block")] = {
                {QStringLiteral("Device"), byteString(f[1])},
                {QStringLiteral("IdUUID"), f[2]},
                {QStringLiteral("IdLabel"), block.label},
                {QStringLiteral("IdType"), f[4]},
                {QStringLiteral("Drive"), QVariant::fromValue(QDBusObjectPath(drive))}};
            if (f[4] != QLatin1String("-")) {
                QList<QByteArray> points;
                if (!f[5].isEmpty())
                    points.append(byteString(f[5]));
                blockInterfaces[QStringLiteral("org.freedesktop.UDisks2.Filesystem")] = {
                    {QStringLiteral("MountPoints"), QVariant::fromValue(points)}};
            }
            objects[QDBusObjectPath(kBlocks + f[0])] = blockInterfaces;
            Interfaces driveInterfaces;
            driveInterfaces[QStringLiteral("org.freedesktop.UDisks2.Drive")] = {
                {QStringLiteral("Removable"), f[6] == QLatin1String("1")},
                {QStringLiteral("MediaRemovable"), f[7] == QLatin1String("1")},
                {QStringLiteral("ConnectionBus"), f[8]}};
            objects[QDBusObjectPath(drive)] = driveInterfaces;
        }
        return objects;
    }

    QList<Block> m_blocks;
    QString m_record;
};

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 3)
        return 2;
    qDBusRegisterMetaType<QList<QByteArray>>();
    qDBusRegisterMetaType<Interfaces>();
    qDBusRegisterMetaType<Objects>();

    QFile description(QString::fromLocal8Bit(argv[1]));
    if (!description.open(QIODevice::ReadOnly))
        return 2;
    QList<Block> blocks;
    for (const QByteArray& line : description.readAll().split('\n')) {
        const QStringList fields = QString::fromUtf8(line).split(QLatin1Char('\t'));
        if (fields.size() == 9)
            blocks.append(Block{fields, fields[3]});
    }

    QDBusConnection bus = QDBusConnection::systemBus();
    Service service(blocks, QString::fromLocal8Bit(argv[2]));
    if (!bus.registerVirtualObject(kRoot, &service, QDBusConnection::SubPath) ||
        !bus.registerService(QStringLiteral("org.freedesktop.UDisks2")))
        return 1;
    std::printf("ready\n");
    std::fflush(stdout);
    return app.exec();
}
