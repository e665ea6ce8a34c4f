// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/Application.h"
#include "app/MainWindow.h"
#include "common/ChildProcess.h"
#include "common/Fixture.h"
#include "platform/linux/LinuxPlatform.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>
#include <QtTest>

using kx::Application;
using kx::MainWindow;
using kx::test::Fixture;

namespace {

// Set by main: the X server and window manager of this test, or why there are none.
QString g_noWindowManager;

// Whether the window manager has taken over the screen (it names itself on the root window),
// within a minute: a window mapped while the manager still starts may never be framed.
bool managerReady(const QString& xprop)
{
    QDeadlineTimer limit(60000);
    while (!limit.hasExpired()) {
        QProcess query;
        query.start(xprop, {QStringLiteral("-root"), QStringLiteral("_NET_SUPPORTING_WM_CHECK")});
        if (query.waitForFinished(10000) && query.readAll().contains("window id"))
            return true;
        QThread::msleep(50);
    }
    return false;
}

} // namespace

// The main window under a real window manager, which frames a window some time after it shows.
class TestWindowPlace : public QObject
{
    Q_OBJECT

private slots:
    // Closed and started again, the window opens where it was closed, start after start.
    void theWindowOpensWhereItWasClosed()
    {
        if (!g_noWindowManager.isEmpty())
            QSKIP(qPrintable(g_noWindowManager));
        Fixture fixture;
        fixture.addDrive('e', QStringLiteral("DRIVE_REMOVABLE"));
        for (const auto& [ident, value] : {std::pair{"BackUp Drive", QVariant("e:\\")},
                                           {"Check for Updates", QVariant("0")},
                                           {"First Time", QVariant("0")},
                                           {"Left", QVariant(130)},
                                           {"Top", QVariant(100)}})
            fixture.setSetting(QStringLiteral("Defaults"), QLatin1String(ident), value);

        for (int start = 1; start <= 3; ++start) {
            Application app(std::make_unique<kx::LinuxPlatform>());
            app.createWindows();
            MainWindow* main = app.mainWindow();
            QSignalSpy painted(main, &MainWindow::firstPaintFinished);
            main->show();
            QVERIFY(painted.wait(10000));
            // The window manager has framed the window and put it in its place. A busy machine
            // may take its time to start the manager: the waits are long, but bounded.
            QTRY_VERIFY_WITH_TIMEOUT(main->frameGeometry().top() < main->geometry().top(), 30000);
            QTRY_COMPARE_WITH_TIMEOUT(main->pos(), QPoint(130, 100), 10000);
            main->close();
            QCOMPARE(fixture.setting(QStringLiteral("Defaults"), QStringLiteral("Left")).toInt(),
                     130);
            QCOMPARE(fixture.setting(QStringLiteral("Defaults"), QStringLiteral("Top")).toInt(),
                     100);
        }
    }
};

int main(int argc, char** argv)
{
    // An X server of the test's own with a small window manager, where both are installed;
    // the offscreen platform knows of no frame added later.
    QProcess server;
    QProcess manager;
    QTemporaryDir managerHome;
    const QString xvfb = QStandardPaths::findExecutable(QStringLiteral("Xvfb"));
    const QString openbox = QStandardPaths::findExecutable(QStringLiteral("openbox"));
    const QString xprop = QStandardPaths::findExecutable(QStringLiteral("xprop"));
    if (xvfb.isEmpty() || openbox.isEmpty() || xprop.isEmpty()) {
        g_noWindowManager = QStringLiteral("Needs Xvfb, openbox and xprop");
    } else {
        // The server picks a free display and says which.
        server.start(xvfb,
                     {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"),
                      QStringLiteral("0"), QStringLiteral("1024x768x24"),
                      QStringLiteral("-nolisten"), QStringLiteral("tcp")});
        QByteArray display;
        if (!server.waitForStarted() || !kx::test::waitForLine(server, display)) {
            g_noWindowManager = QStringLiteral("The X server did not start");
        } else {
            qputenv("DISPLAY", ":" + display);
            qputenv("QT_QPA_PLATFORM", "xcb");
            // The window manager keeps its files in the test's own folder.
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            for (const char* name :
                 {"HOME", "XDG_CONFIG_HOME", "XDG_CACHE_HOME", "XDG_DATA_HOME", "XDG_STATE_HOME"})
                env.insert(QLatin1String(name), managerHome.path());
            manager.setProcessEnvironment(env);
            manager.start(openbox, {QStringLiteral("--sm-disable")});
            if (!manager.waitForStarted() || !managerReady(xprop))
                g_noWindowManager = QStringLiteral("The window manager did not start");
        }
    }
    int result = 0;
    {
        QApplication app(argc, argv);
        QCoreApplication::setApplicationName(QStringLiteral("Kopierix"));
        QLocale::setDefault(QLocale::c());
        TestWindowPlace test;
        result = QTest::qExec(&test, argc, argv);
    }
    kx::test::endProcesses({&manager, &server});
    return result;
}

#include "tst_windowplace.moc"
