// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/Application.h"
#include "app/Version.h"
#include "cli/CommandLine.h"
#include "platform/Console.h"
#include "platform/DesktopNotifier.h"
#include "platform/Platform.h"
#include "support/Language.h"

#include <QApplication>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QIcon>

#include <memory>
#include <string>
#include <vector>

int main(int argc, char** argv)
{
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty() && kx::displayAvailable()) {
        QApplication app(argc, argv);
        QCoreApplication::setApplicationName(QString::fromLatin1(kx::kProductName));
        // The desktop pairs the windows with the installed desktop entry (its name and icon);
        // the icon compiled in stands in where the desktop's theme has none of that name.
        const QString appId = QString::fromLatin1(kx::kAppId);
        QGuiApplication::setDesktopFileName(appId);
        QApplication::setWindowIcon(QIcon::fromTheme(
            appId, QIcon(QStringLiteral(":/icons/") + appId + QStringLiteral(".svg"))));
        kx::Application kopierix;
        return kopierix.run();
    }
    // The headless commands need no display.
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QString::fromLatin1(kx::kProductName));
    const std::unique_ptr<kx::Platform> platform = kx::createPlatform();
    const std::unique_ptr<kx::Console> console = kx::createConsole();
    const std::unique_ptr<kx::DesktopNotifier> notifier = kx::createDesktopNotifier();
    kx::CommandLine commandLine(*platform, *console, *notifier);
    return args.empty() ? commandLine.noDisplay() : commandLine.run(args);
}
