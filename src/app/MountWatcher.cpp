// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/MountWatcher.h"

#include <QFile>
#include <QTimer>

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
} // namespace

MountWatcher::MountWatcher(const QString& mountTable, QObject* parent)
    : QObject(parent), m_path(mountTable), m_last(readTable(mountTable)), m_known(true),
      m_timer(new QTimer(this))
{
    m_timer->setInterval(kIntervalMs);
    connect(m_timer, &QTimer::timeout, this, &MountWatcher::check);
    m_timer->start();
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
    m_known = false;
}

} // namespace kx
