// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/linux/UDisksClient.h"

#include <QCoreApplication>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QVariantMap>

#include <map>

namespace kx {

namespace {

const QString kService = QStringLiteral("org.freedesktop.UDisks2");
const QString kRoot = QStringLiteral("/org/freedesktop/UDisks2");
const QString kBlock = QStringLiteral("org.freedesktop.UDisks2.Block");
const QString kFilesystem = QStringLiteral("org.freedesktop.UDisks2.Filesystem");
const QString kDrive = QStringLiteral("org.freedesktop.UDisks2.Drive");

// The service answers at once when it runs; a start must not wait long for one that does not.
constexpr int kListTimeoutMs = 2000;
// A rename runs a tool on the medium.
constexpr int kRenameTimeoutMs = 30000;

using Interfaces = std::map<QString, QVariantMap>;

// The service writes device names and mount folders as NUL-terminated byte strings.
QByteArray bytesOf(const QVariant& value)
{
    QByteArray bytes;
    if (value.userType() == qMetaTypeId<QDBusArgument>())
        value.value<QDBusArgument>() >> bytes;
    else
        bytes = value.toByteArray();
    while (bytes.endsWith('\0'))
        bytes.chop(1);
    return bytes;
}

QList<QByteArray> byteStringsOf(const QVariant& value)
{
    QList<QByteArray> list;
    if (value.userType() == qMetaTypeId<QDBusArgument>()) {
        const QDBusArgument argument = value.value<QDBusArgument>();
        if (argument.currentSignature() != QLatin1String("aay"))
            return list;
        argument.beginArray();
        while (!argument.atEnd()) {
            QByteArray bytes;
            argument >> bytes;
            list.append(bytes);
        }
        argument.endArray();
    } else {
        list = value.value<QList<QByteArray>>();
    }
    for (QByteArray& bytes : list) {
        while (bytes.endsWith('\0'))
            bytes.chop(1);
    }
    return list;
}

bool managedObjects(std::map<QString, Interfaces>& objects)
{
    // Without an application object the bus connection cannot work reliably; such a process
    // reads its drives from the mount table.
    if (QCoreApplication::instance() == nullptr)
        return false;
    QDBusConnection bus = QDBusConnection::systemBus();
    if (!bus.isConnected())
        return false;
    const QDBusMessage call = QDBusMessage::createMethodCall(
        kService, kRoot, QStringLiteral("org.freedesktop.DBus.ObjectManager"),
        QStringLiteral("GetManagedObjects"));
    const QDBusMessage reply = bus.call(call, QDBus::Block, kListTimeoutMs);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().size() != 1 ||
        reply.arguments().at(0).userType() != qMetaTypeId<QDBusArgument>())
        return false;
    const QDBusArgument argument = reply.arguments().at(0).value<QDBusArgument>();
    if (argument.currentSignature() != QLatin1String("a{oa{sa{sv}}}"))
        return false;
    argument.beginMap();
    while (!argument.atEnd()) {
        argument.beginMapEntry();
        QDBusObjectPath path;
        argument >> path;
        Interfaces& interfaces = objects[path.path()];
        argument.beginMap();
        while (!argument.atEnd()) {
            argument.beginMapEntry();
            QString name;
            QVariantMap properties;
            argument >> name >> properties;
            interfaces[name] = properties;
            argument.endMapEntry();
        }
        argument.endMap();
        argument.endMapEntry();
    }
    argument.endMap();
    return true;
}

std::string text(const QVariant& value)
{
    return value.toString().toStdString();
}

} // namespace

bool UDisksClient::mountedVolumes(std::vector<Volume>& volumes)
{
    std::map<QString, Interfaces> objects;
    if (!managedObjects(objects))
        return false;
    for (const auto& [path, interfaces] : objects) {
        const auto block = interfaces.find(kBlock);
        const auto filesystem = interfaces.find(kFilesystem);
        if (block == interfaces.end() || filesystem == interfaces.end())
            continue;
        const QList<QByteArray> points =
            byteStringsOf(filesystem->second.value(QStringLiteral("MountPoints")));
        if (points.isEmpty() || points.first().isEmpty())
            continue;
        const QVariantMap& properties = block->second;
        Volume volume;
        // A file system mounted at several folders is the drive of the first.
        volume.mountPoint = points.first().toStdString();
        volume.device = bytesOf(properties.value(QStringLiteral("Device"))).toStdString();
        volume.uuid = text(properties.value(QStringLiteral("IdUUID")));
        volume.label = text(properties.value(QStringLiteral("IdLabel")));
        volume.fileSystem = text(properties.value(QStringLiteral("IdType")));
        volume.serviceObject = path.toStdString();
        const QString drivePath =
            properties.value(QStringLiteral("Drive")).value<QDBusObjectPath>().path();
        const auto drive = objects.find(drivePath);
        if (drive != objects.end() && drive->second.count(kDrive) != 0) {
            const QVariantMap& facts = drive->second.at(kDrive);
            volume.removable =
                facts.value(QStringLiteral("Removable")).toBool() ||
                facts.value(QStringLiteral("MediaRemovable")).toBool() ||
                facts.value(QStringLiteral("ConnectionBus")).toString() == QLatin1String("usb");
        }
        if (volume.fileSystem == "iso9660" || volume.fileSystem == "udf")
            volume.driveType = "DRIVE_CDROM";
        else if (volume.removable)
            volume.driveType = "DRIVE_REMOVABLE";
        else
            volume.driveType = "DRIVE_FIXED";
        volumes.push_back(std::move(volume));
    }
    return true;
}

bool UDisksClient::setLabel(const std::string& object, const std::string& label)
{
    if (QCoreApplication::instance() == nullptr)
        return false;
    QDBusConnection bus = QDBusConnection::systemBus();
    if (!bus.isConnected())
        return false;
    QDBusMessage call = QDBusMessage::createMethodCall(kService, QString::fromStdString(object),
                                                       kFilesystem, QStringLiteral("SetLabel"));
    call << QString::fromStdString(label) << QVariantMap();
    const QDBusMessage reply = bus.call(call, QDBus::Block, kRenameTimeoutMs);
    return reply.type() == QDBusMessage::ReplyMessage;
}

} // namespace kx
