// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/SingleInstance.h"

#include <QCryptographicHash>
#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>

namespace kx {

namespace {
constexpr int kConnectTimeoutMs = 1000;
const QByteArray kRaise = QByteArrayLiteral("raise\n");
} // namespace

SingleInstance::SingleInstance(const QString& name, QObject* parent) : QObject(parent), m_name(name)
{
}

SingleInstance::~SingleInstance() = default;

QString SingleInstance::serverName()
{
    // One instance per user and settings file: two instances on one settings file would
    // overwrite each other's choices, while a test's home of its own meets nobody.
    QString user = qEnvironmentVariable("USER");
    if (user.isEmpty())
        user = QDir::home().dirName();
    const QString config = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    const QByteArray hash =
        QCryptographicHash::hash(config.toUtf8(), QCryptographicHash::Sha1).toHex().left(12);
    return QStringLiteral("kopierix-") + user + QLatin1Char('-') + QString::fromLatin1(hash);
}

bool SingleInstance::handOverToRunning()
{
    if (askRunning())
        return true;
    if (listen())
        return false;
    // Two starts at once: the other one may have begun to listen meanwhile.
    if (askRunning())
        return true;
    // A socket left behind by an instance that did not end normally.
    QLocalServer::removeServer(m_name);
    listen();
    return false;
}

bool SingleInstance::askRunning()
{
    QLocalSocket socket;
    socket.connectToServer(m_name);
    if (!socket.waitForConnected(kConnectTimeoutMs))
        return false;
    socket.write(kRaise);
    socket.waitForBytesWritten(kConnectTimeoutMs);
    socket.disconnectFromServer();
    if (socket.state() != QLocalSocket::UnconnectedState)
        socket.waitForDisconnected(kConnectTimeoutMs);
    return true;
}

bool SingleInstance::listen()
{
    m_server = std::make_unique<QLocalServer>();
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!m_server->listen(m_name)) {
        m_server.reset();
        return false;
    }
    connect(m_server.get(), &QLocalServer::newConnection, this, &SingleInstance::acceptConnections);
    return true;
}

void SingleInstance::acceptConnections()
{
    while (QLocalSocket* socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            if (socket->readAll().contains(kRaise.trimmed()))
                emit raiseRequested();
        });
        // The request may have arrived with the connection.
        if (socket->bytesAvailable() > 0 && socket->readAll().contains(kRaise.trimmed()))
            emit raiseRequested();
        if (socket->state() == QLocalSocket::UnconnectedState)
            socket->deleteLater();
    }
}

} // namespace kx
