// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/linux/LinuxConsole.h"

#include "platform/linux/LinuxStopSignals.h"

#include <QFile>
#include <QFileInfo>

#include <csignal>

#include <unistd.h>

namespace kx {

bool LinuxConsole::isTerminal(std::FILE* stream)
{
    return ::isatty(::fileno(stream)) == 1;
}

PathFacts LinuxConsole::examinePath(const std::string& path)
{
    const QFileInfo info(QFile::decodeName(QByteArray::fromStdString(path)));
    PathFacts facts;
    facts.exists = info.exists();
    facts.isFile = info.isFile();
    facts.isFolder = info.isDir();
    facts.isSystemRoot = facts.exists && info.canonicalFilePath() == QStringLiteral("/");
    return facts;
}

std::unique_ptr<StopSignals> LinuxConsole::catchStopSignals(void (*request)() noexcept)
{
    return std::make_unique<LinuxStopSignals>(request);
}

StopSignal LinuxConsole::stopSignal()
{
    switch (LinuxStopSignals::signalCaught()) {
    case SIGINT:
        return StopSignal::Interrupt;
    case SIGTERM:
        return StopSignal::Terminate;
    default:
        return StopSignal::None;
    }
}

void LinuxConsole::clearStopSignal()
{
    LinuxStopSignals::clear();
}

std::unique_ptr<Console> createConsole()
{
    return std::make_unique<LinuxConsole>();
}

} // namespace kx
