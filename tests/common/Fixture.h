// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/Platform.h"

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>
#include <QVariant>

#include <memory>
#include <string>

namespace kx::test {

/**
 * A home of its own for one test: HOME, XDG_CONFIG_HOME and XDG_DATA_HOME point into a temporary
 * folder, and drives are plain folders there, listed in the drive table of the settings file.
 * Paths are drive paths (`s:\Docs\a.txt`), mapped by the fixture with exactly the case given.
 */
class Fixture
{
public:
    Fixture();
    ~Fixture();

    QString root() const;
    QString settingsPath() const;
    QString dataPath() const;

    /** Makes folder "drive-<letter>" under the root and maps `letter` to it. */
    QString addDrive(char letter, const QString& type = QStringLiteral("DRIVE_FIXED"),
                     const QString& label = QString());
    /** Maps `letter` to a folder that does not exist: a drive without a medium. */
    void addMissingDrive(char letter, const QString& type = QStringLiteral("DRIVE_REMOVABLE"));
    /** Maps `letter` to an existing native folder (a mounted test file system). */
    void mapDrive(char letter, const QString& folder, const QString& type = QString(),
                  const QString& label = QString());

    /** Writes a file with its folders; `mtime` in seconds since 1970 UTC, 0 leaves it as now.
     *  A file or time that cannot be written in the fixture's own folder ends the test program
     *  with its path: no check after it could be trusted. */
    void writeFile(const std::string& drivePath, const QByteArray& contents, qint64 mtime = 0);
    void makeDir(const std::string& drivePath);
    void setMtime(const std::string& drivePath, qint64 mtime);
    QByteArray readFile(const std::string& drivePath) const;
    qint64 mtime(const std::string& drivePath) const;
    bool exists(const std::string& drivePath) const;
    QString native(const std::string& drivePath) const;
    /** The native path as bytes, for names that are not UTF-8. */
    std::string nativeBytes(const std::string& drivePath) const;

    void setSetting(const QString& section, const QString& ident, const QVariant& value);
    QVariant setting(const QString& section, const QString& ident) const;

    /** A platform over this fixture's drive table; make it after adding the drives. */
    std::unique_ptr<Platform> platform() const;

private:
    QTemporaryDir m_dir;
    QByteArray m_oldHome, m_oldConfig, m_oldData;
};

} // namespace kx::test
