// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/ScreenshotMode.h"

#include "app/Application.h"
#include "app/MainWindow.h"
#include "dialogs/SplashWindow.h"

#include <QApplication>
#include <QDialog>
#include <QPixmap>
#include <QPointer>
#include <QTimer>

#include <cstdio>
#include <functional>

namespace kx {

namespace {

constexpr int kSettleMs = 600; // time for a shown window to lay itself out and paint
constexpr int kPollMs = 100;
constexpr int kGiveUpMs = 30000;

struct Shot
{
    Application* app;
    QString file;
};

void fail(const QString& text)
{
    std::fprintf(stderr, "screenshot: %s\n", qPrintable(text));
    QCoreApplication::exit(1);
}

// Ends the program as the user would, through the main window's close (which stores the
// settings), once the window that was opened and its operation have gone.
void finish(const Shot& shot)
{
    if (QApplication::activeModalWidget() || shot.app->mainWindow()->operationWorking()) {
        QTimer::singleShot(kPollMs, qApp, [shot] { finish(shot); });
        return;
    }
    shot.app->mainWindow()->close();
    QCoreApplication::exit(0);
}

// Saves the picture once the window has had time to paint; then closes what was opened.
void grabLater(const Shot& shot, QWidget* window, bool closeAfter)
{
    QPointer<QWidget> target(window);
    QTimer::singleShot(kSettleMs, qApp, [shot, target, closeAfter] {
        if (!target)
            return fail(QStringLiteral("the window closed before its picture was taken"));
        if (!target->grab().save(shot.file, "PNG"))
            return fail(QStringLiteral("cannot write ") + shot.file);
        if (closeAfter) {
            if (auto* dialog = qobject_cast<QDialog*>(target.data()))
                dialog->reject();
            else
                target->close();
        }
        QTimer::singleShot(0, qApp, [shot] { finish(shot); });
    });
}

// Opens a modal window as a click would, and waits for it to show.
void grabModal(const Shot& shot, const std::function<void()>& open)
{
    auto* poll = new QTimer(qApp);
    poll->setInterval(kPollMs);
    int waited = 0;
    QObject::connect(poll, &QTimer::timeout, qApp, [shot, poll, waited]() mutable {
        waited += kPollMs;
        QWidget* modal = QApplication::activeModalWidget();
        if (modal && modal->isVisible()) {
            poll->deleteLater();
            poll->stop();
            grabLater(shot, modal, true);
        } else if (waited > kGiveUpMs) {
            poll->stop();
            fail(QStringLiteral("no window opened"));
        }
    });
    poll->start();
    // From the event loop, as after a click: the window's own loop runs the poll that finds it.
    QTimer::singleShot(0, qApp, open);
}

void take(const Shot& shot, const QString& what)
{
    MainWindow* main = shot.app->mainWindow();
    if (what == QLatin1String("main")) {
        grabLater(shot, main, false);
    } else if (what == QLatin1String("splash")) {
        SplashWindow* splash = shot.app->splash();
        if (!splash) {
            // Not shown at this start (a long program path): shown now for its picture.
            splash = new SplashWindow(QString::fromStdString(shot.app->facts().languageCode));
            splash->showSplash();
        }
        grabLater(shot, splash, false);
    } else if (what == QLatin1String("manage")) {
        grabModal(shot, [main] { main->showManageWindow(); });
    } else if (what == QLatin1String("newer")) {
        grabModal(shot, [main] { main->showNewFiles(); });
    } else if (what == QLatin1String("restore")) {
        grabModal(shot, [main] { main->restoreAll(); });
    } else if (what == QLatin1String("about")) {
        grabModal(shot, [main] { main->showAboutDialog(); });
    } else {
        fail(QStringLiteral("unknown window ") + what +
             QStringLiteral(" (main, manage, newer, restore, about, splash)"));
    }
}

} // namespace

void armScreenshotMode(Application& app)
{
    const QString request = qEnvironmentVariable("KOPIERIX_SCREENSHOT");
    if (request.isEmpty())
        return;
    const qsizetype colon = request.indexOf(QLatin1Char(':'));
    const QString what = request.left(colon);
    const Shot shot{&app, colon < 0 ? QString() : request.mid(colon + 1)};
    if (shot.file.isEmpty()) {
        std::fprintf(stderr, "KOPIERIX_SCREENSHOT=<window>:<file.png>\n");
        QTimer::singleShot(0, qApp, [] { QCoreApplication::exit(2); });
        return;
    }
    QObject::connect(app.mainWindow(), &MainWindow::firstPaintFinished, qApp,
                     [shot, what] { take(shot, what); });
}

} // namespace kx
