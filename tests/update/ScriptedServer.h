// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QHostAddress>
#include <QList>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

#include <functional>
#include <memory>

namespace kx::test {

/**
 * A web server on 127.0.0.1 for one test. Each connection gets the next scripted reply once its
 * request (up to the empty line) has arrived, and is then closed. Without scripted replies left
 * the default reply is sent. Served by the event loop of whoever waits for it.
 */
class ScriptedServer
{
public:
    ScriptedServer()
    {
        m_server.listen(QHostAddress::LocalHost, 0);
        QObject::connect(&m_server, &QTcpServer::newConnection, &m_server, [this] { accept(); });
    }

    quint16 port() const { return m_server.serverPort(); }
    /** host:port, the form of the setting "Update Server". */
    QString address() const { return QStringLiteral("127.0.0.1:%1").arg(port()); }
    QString url(const QString& path) const { return "http://" + address() + path; }

    /** The reply to the next connection, sent as it is. */
    void addReply(const QByteArray& bytes) { m_replies << Reply{{bytes}, 0, false}; }
    /** A connection that gets `bytes` and is then left open without more. */
    void addStall(const QByteArray& bytes) { m_replies << Reply{{bytes}, 0, true}; }
    /** A connection that gets `pieces` one by one, `intervalMs` apart, and is then closed. */
    void addDrip(const QList<QByteArray>& pieces, int intervalMs)
    {
        m_replies << Reply{pieces, intervalMs, false};
    }
    void setDefaultReply(const QByteArray& bytes) { m_default = bytes; }
    /** Runs after a request has arrived and been answered. */
    void onRequest(std::function<void()> hook) { m_onRequest = std::move(hook); }

    /** Every request received so far, each up to and including its empty line. */
    const QList<QByteArray>& requests() const { return m_requests; }

    /** A whole HTTP/1.0 reply. */
    static QByteArray reply(int status, const QByteArray& body, const QByteArray& headers = {})
    {
        return "HTTP/1.0 " + QByteArray::number(status) + " Status\r\n" + headers +
               "Content-Length: " + QByteArray::number(body.size()) + "\r\n\r\n" + body;
    }

    /** A port on which nothing listens. */
    static quint16 refusedPort()
    {
        QTcpServer probe;
        probe.listen(QHostAddress::LocalHost, 0);
        return probe.serverPort();
    }

private:
    struct Reply
    {
        QList<QByteArray> pieces;
        int intervalMs = 0;
        bool stall = false;
    };

    /** Sends the rest of `reply` to `socket`, a piece at a time. */
    static void send(QPointer<QTcpSocket> socket, Reply reply)
    {
        if (!socket)
            return;
        if (!reply.pieces.isEmpty())
            socket->write(reply.pieces.takeFirst());
        if (!reply.pieces.isEmpty()) {
            QTimer::singleShot(reply.intervalMs, socket, [socket, reply] { send(socket, reply); });
            return;
        }
        if (!reply.stall)
            socket->disconnectFromHost();
    }

    void accept()
    {
        while (QTcpSocket* socket = m_server.nextPendingConnection()) {
            auto pending = std::make_shared<QByteArray>();
            QObject::connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
            QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, socket, pending] {
                *pending += socket->readAll();
                const qsizetype end = pending->indexOf("\r\n\r\n");
                if (end < 0)
                    return;
                m_requests << pending->left(end + 4);
                pending->clear();
                send(socket,
                     m_replies.isEmpty() ? Reply{{m_default}, 0, false} : m_replies.takeFirst());
                if (m_onRequest)
                    m_onRequest();
            });
        }
    }

    QTcpServer m_server;
    QList<Reply> m_replies;
    QByteArray m_default;
    QList<QByteArray> m_requests;
    std::function<void()> m_onRequest;
};

/** A version list page holding `records` after its body tag. */
inline QByteArray versionPage(const QByteArray& records)
{
    return "<HTML><HEAD><TITLE>Versions</TITLE></HEAD>\r\n<BODY>\r\n" + records +
           "</BODY></HTML>\r\n";
}

} // namespace kx::test
