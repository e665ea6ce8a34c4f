// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QString>

#include <memory>

class QLocalServer;

namespace kx {

/**
 * Keeps the program to one instance per user: the first start listens on a local socket, a
 * later start finds it, asks it to come forward and ends.
 */
class SingleInstance : public QObject
{
    Q_OBJECT

public:
    /** `name` identifies the instance; see serverName(). */
    explicit SingleInstance(const QString& name, QObject* parent = nullptr);
    ~SingleInstance() override;

    /** The socket name of this user's program with these settings. */
    static QString serverName();

    /** True when an instance runs already; it has been asked to come forward. Otherwise this
     *  instance listens from now on and answers later starts. */
    bool handOverToRunning();

signals:
    /** A later start asked this instance to bring its window forward. */
    void raiseRequested();

private:
    bool askRunning();
    bool listen();
    void acceptConnections();

    QString m_name;
    std::unique_ptr<QLocalServer> m_server;
};

} // namespace kx
