// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "common/Fixture.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QString>
#include <QStringList>

namespace kx::test {

/** The lines of the fixture's activity log, without their CR LF; none when there is no log. */
inline QStringList logLines(const Fixture& fixture)
{
    QFile f(fixture.dataPath() + QStringLiteral("/Kopierix.log"));
    if (!f.open(QIODevice::ReadOnly))
        return {};
    QStringList lines = QString::fromUtf8(f.readAll()).split(QStringLiteral("\r\n"));
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

/** The temporary copies left anywhere under the native folder `folder`. */
inline QStringList tempFiles(const QString& folder)
{
    QStringList found;
    QDirIterator it(folder, {QStringLiteral(".kopierix-tmp-*")}, QDir::Files | QDir::Hidden,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        found << it.next();
    return found;
}

} // namespace kx::test
