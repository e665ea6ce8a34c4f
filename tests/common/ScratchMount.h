// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "common/Fixture.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QString>
#include <QStringList>

#include <sys/mount.h>

#include <cerrno>
#include <cstring>

namespace kx::test {

/**
 * A small real file system for one test, unmounted when it goes: a tmpfs of a given size, or an
 * exFAT image through FUSE on a loop device. Mounting needs root; a test skips when the system
 * refuses, with the reason.
 */
class ScratchMount
{
public:
    ScratchMount() = default;
    ScratchMount(const ScratchMount&) = delete;
    ScratchMount& operator=(const ScratchMount&) = delete;
    ~ScratchMount() { release(); }

    bool mountTmpfs(const QString& folder, const QByteArray& options, QString& why)
    {
        const QByteArray path = QFile::encodeName(folder);
        if (::mount("tmpfs", path.constData(), "tmpfs", 0, options.constData()) != 0) {
            why = QStringLiteral("mounting a tmpfs was refused: ") +
                  QString::fromLocal8Bit(std::strerror(errno));
            return false;
        }
        m_folder = path;
        m_options = options;
        return true;
    }

    /** Shows the folder `source` at `folder` too (a bind mount): a medium whose files outlive
     *  its mounts. */
    bool mountBind(const QString& source, const QString& folder, QString& why)
    {
        const QByteArray path = QFile::encodeName(folder);
        if (::mount(QFile::encodeName(source).constData(), path.constData(), nullptr, MS_BIND,
                    nullptr) != 0) {
            why = QStringLiteral("a bind mount was refused: ") +
                  QString::fromLocal8Bit(std::strerror(errno));
            return false;
        }
        m_folder = path;
        return true;
    }

    bool remountReadOnly(QString& why)
    {
        if (::mount("tmpfs", m_folder.constData(), "tmpfs", MS_REMOUNT | MS_RDONLY,
                    m_options.constData()) != 0) {
            why = QStringLiteral("remounting read-only was refused: ") +
                  QString::fromLocal8Bit(std::strerror(errno));
            return false;
        }
        return true;
    }

    bool mountExfat(const QString& image, const QString& folder, QString& why)
    {
        QFile file(image);
        if (!file.open(QIODevice::WriteOnly) || !file.resize(8 * 1024 * 1024)) {
            why = QStringLiteral("cannot make the image file");
            return false;
        }
        file.close();
        QString output;
        if (!run(QStringLiteral("mkfs.exfat"),
                 {QStringLiteral("-L"), QStringLiteral("KXTEST"), image}, output, why) ||
            !run(QStringLiteral("losetup"), {QStringLiteral("-f"), QStringLiteral("--show"), image},
                 output, why))
            return false;
        m_loop = output.trimmed();
        if (!run(QStringLiteral("mount.exfat-fuse"), {m_loop, folder}, output, why))
            return false;
        m_folder = QFile::encodeName(folder);
        return true;
    }

    /** Mounts a fresh exFAT image as the fixture's removable drive `letter`. */
    bool mountExfatDrive(Fixture& fixture, char letter, QString& why)
    {
        const QString medium = fixture.root() + "/exfat-" + QChar(letter);
        if (!QDir().mkpath(medium)) {
            why = QStringLiteral("cannot make the mount folder");
            return false;
        }
        if (!mountExfat(medium + ".img", medium, why))
            return false;
        fixture.mapDrive(letter, medium, "DRIVE_REMOVABLE");
        return true;
    }

    /** Makes an ext2 image with a label; its UUID is the file system's own. */
    static bool makeExt2Image(const QString& image, const QString& label, QString& why)
    {
        QFile file(image);
        if (!file.open(QIODevice::WriteOnly) || !file.resize(8 * 1024 * 1024)) {
            why = QStringLiteral("cannot make the image file");
            return false;
        }
        file.close();
        QString output;
        return run(QStringLiteral("mke2fs"),
                   {QStringLiteral("-q"), QStringLiteral("-F"), QStringLiteral("-t"),
                    QStringLiteral("ext2"), QStringLiteral("-L"), label, image},
                   output, why);
    }

    /** Mounts an ext2 image on a loop device of its own. */
    bool mountExt2(const QString& image, const QString& folder, QString& why)
    {
        QString output;
        if (!run(QStringLiteral("losetup"), {QStringLiteral("-f"), QStringLiteral("--show"), image},
                 output, why))
            return false;
        m_loop = output.trimmed();
        const QByteArray device = QFile::encodeName(m_loop);
        const QByteArray path = QFile::encodeName(folder);
        if (::mount(device.constData(), path.constData(), "ext2", 0, nullptr) != 0) {
            why = QStringLiteral("mounting an ext2 image was refused: ") +
                  QString::fromLocal8Bit(std::strerror(errno));
            return false;
        }
        m_folder = path;
        return true;
    }

    void release()
    {
        if (!m_folder.isEmpty() && ::umount2(m_folder.constData(), 0) != 0)
            ::umount2(m_folder.constData(), MNT_DETACH);
        m_folder.clear();
        if (!m_loop.isEmpty()) {
            QString output, why;
            run(QStringLiteral("losetup"), {QStringLiteral("-d"), m_loop}, output, why);
            m_loop.clear();
        }
    }

private:
    static bool run(const QString& program, const QStringList& arguments, QString& output,
                    QString& why)
    {
        QProcess process;
        process.start(program, arguments);
        if (!process.waitForFinished(20000) || process.exitStatus() != QProcess::NormalExit ||
            process.exitCode() != 0) {
            why = program + QStringLiteral(" failed: ") +
                  (process.error() == QProcess::FailedToStart
                       ? process.errorString()
                       : QString::fromLocal8Bit(process.readAllStandardError()).trimmed());
            return false;
        }
        output = QString::fromLocal8Bit(process.readAllStandardOutput());
        return true;
    }

    QByteArray m_folder;
    QByteArray m_options;
    QString m_loop;
};

} // namespace kx::test
