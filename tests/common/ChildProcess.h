// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QProcess>
#include <QString>
#include <QStringList>

#include <initializer_list>

namespace kx::test {

/** What a run of a program ended with. */
struct Run
{
    int exitCode = -1;
    QString out;
    QString err;
};

/** Starts `program` in `process`, as set up by the caller, and waits up to `timeoutMs` for its
 *  end. */
inline Run runToEnd(QProcess& process, const QString& program, const QStringList& args,
                    int timeoutMs)
{
    process.start(program, args);
    process.waitForFinished(timeoutMs);
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

/** Waits up to 10 seconds for the next whole line of the process' output, without its line
 *  end; false when none came. */
inline bool waitForLine(QProcess& process, QByteArray& line)
{
    while (!process.canReadLine()) {
        if (!process.waitForReadyRead(10000))
            return false;
    }
    line = process.readLine().trimmed();
    return true;
}

/** Ends the processes that still run, in order: SIGTERM, and SIGKILL after 5 seconds. */
inline void endProcesses(std::initializer_list<QProcess*> processes)
{
    for (QProcess* process : processes) {
        if (process->state() != QProcess::NotRunning) {
            process->terminate();
            if (!process->waitForFinished(5000))
                process->kill();
            process->waitForFinished();
        }
    }
}

} // namespace kx::test
