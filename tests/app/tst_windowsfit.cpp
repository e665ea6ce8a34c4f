// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/Application.h"
#include "app/MainWindow.h"
#include "common/Fixture.h"
#include "dialogs/SplashWindow.h"
#include "dialogs/TimedMessage.h"
#include "dialogs/WholeText.h"
#include "manage/ManageWindow.h"
#include "newer/NewFilesWindow.h"
#include "platform/linux/LinuxPlatform.h"
#if KOPIERIX_UPDATER
#include "update/ScriptedServer.h"
#include "update/UpdateWindow.h"
#endif

#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QFontDatabase>
#include <QFontInfo>
#include <QHash>
#include <QMap>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <cstdio>
#include <functional>

using kx::Application;
using kx::MainWindow;
using kx::test::Fixture;

namespace {

constexpr qint64 T0 = 1700000000;

// The windows are looked at in a program of their own for each desktop font and scale: both
// are read once, when the program starts.
const char* const kChildVariable = "KX_WINDOWSFIT_FAMILY";

const char* const kWindows[] = {"main",  "manage", "newer", "restore", "about", "splash", "message",
#if KOPIERIX_UPDATER
                                "update"
#endif
};

// The system's own platform, in a language of the test's choosing.
class LocalePlatform : public kx::LinuxPlatform
{
public:
    explicit LocalePlatform(std::string locale) : m_locale(std::move(locale)) {}
    std::string localeName() override { return m_locale; }

private:
    std::string m_locale;
};

/** A fonts.conf that makes `family` the desktop's sans-serif font, over the system's own. */
QByteArray fontsConf(const QString& family)
{
    return QStringLiteral("<?xml version=\"1.0\"?>\n"
                          "<!DOCTYPE fontconfig SYSTEM \"urn:fontconfig:fonts.dtd\">\n"
                          "<fontconfig>\n"
                          "  <include ignore_missing=\"yes\">/etc/fonts/fonts.conf</include>\n"
                          "  <match target=\"pattern\">\n"
                          "    <test name=\"family\"><string>sans-serif</string></test>\n"
                          "    <edit name=\"family\" mode=\"prepend_first\" binding=\"strong\">"
                          "<string>%1</string></edit>\n"
                          "  </match>\n"
                          "</fontconfig>\n")
        .arg(family)
        .toUtf8();
}

// ---- The program that looks at the windows

/** The problems of `window`, with a word when the desktop font is not the one asked for. */
QString problemsOf(const QWidget* window)
{
    QStringList problems = kx::test::fitProblems(window);
    const QString family = qEnvironmentVariable(kChildVariable);
    const QString shown = QFontInfo(window->font()).family();
    if (!shown.startsWith(family))
        problems.prepend(QStringLiteral("the font is ") + shown);
    return problems.join(QStringLiteral("; "));
}

void report(const char* window, const QString& language, const QString& problems)
{
    std::printf("%s|%s|%s\n", window, qPrintable(language), qPrintable(problems));
    std::fflush(stdout);
}

/** Opens a modal window of `main` as a click would, and reports it once it shows. */
void reportModal(const char* window, const QString& language, const std::function<void()>& open)
{
    bool seen = false;
    QTimer poll;
    poll.setInterval(20);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal == nullptr || !modal->isVisible())
            return;
        // A window that still works would ask whether to stop when it closes: it is looked at
        // once its work has ended.
        const auto* newer = qobject_cast<kx::NewFilesWindow*>(modal);
        const auto* manage = qobject_cast<kx::ManageWindow*>(modal);
        if ((newer && newer->isWorking()) || (manage && manage->isWorking()))
            return;
        poll.stop();
        seen = true;
        const QString problems = problemsOf(modal);
        report(window, language,
               problems.isEmpty() ? problems
                                  : modal->objectName() + QStringLiteral(": ") + problems);
        if (auto* dialog = qobject_cast<QDialog*>(modal))
            dialog->reject();
    });
    poll.start();
    // Never for ever: a window that does not open is reported so.
    QTimer::singleShot(10000, &poll, [&] {
        if (QWidget* modal = QApplication::activeModalWidget())
            modal->close();
    });
    open();
    // An operation asks its question from its worker, after the click has returned.
    if (!QTest::qWaitFor([&] { return seen; }, 10000))
        report(window, language, QStringLiteral("did not open"));
}

void lookAtWindows(const QString& language)
{
    Fixture fixture;
    fixture.addDrive('s');
    fixture.addDrive('e', QStringLiteral("DRIVE_REMOVABLE"), QStringLiteral("SAMPLE"));
    fixture.setSetting(QStringLiteral("Defaults"), QStringLiteral("BackUp Drive"),
                       QStringLiteral("e:\\"));
    fixture.setSetting(QStringLiteral("Defaults"), QStringLiteral("Check for Updates"),
                       QStringLiteral("0"));
    fixture.writeFile("e:\\s-Docs\\Letters\\anna.txt", "old copy", T0);
    fixture.writeFile("s:\\Docs\\Letters\\anna.txt", "changed", T0 + 600);
    fixture.writeFile("s:\\Docs\\minutes.txt", "new", T0 + 600);

    Application app(
        std::make_unique<LocalePlatform>(language == QLatin1String("nld") ? "nl_NL.UTF-8" : "C"));
    app.createWindows();
    MainWindow* main = app.mainWindow();
    main->show();
    QSignalSpy painted(main, &MainWindow::firstPaintFinished);
    if (!main->firstPaintDone())
        painted.wait(10000);
    report("main", language, problemsOf(main));
    reportModal("manage", language, [main] { main->showManageWindow(); });
    reportModal("newer", language, [main] { main->showNewFiles(); });
    reportModal("restore", language, [main] { main->restoreAll(); });
    if (!QTest::qWaitFor([main] { return !main->operationWorking(); }, 10000))
        report("restore", language, QStringLiteral("the run did not end"));
    reportModal("about", language, [main] { main->showAboutDialog(); });

    // The splash goes when it closes.
    auto* splash = new kx::SplashWindow(language);
    splash->showSplash();
    report("splash", language, problemsOf(splash));
    splash->close();

    kx::TimedMessage message(main);
    bool closed = false;
    QTimer::singleShot(0, &message, [&] {
        QTimer::singleShot(0, &message, [&] { report("message", language, problemsOf(&message)); });
        message.showTimed(main->windowTitle(), QStringLiteral("s:\\Docs\\Letters\\anna.txt"), 200);
        closed = true;
    });
    if (!QTest::qWaitFor([&] { return closed; }, 5000))
        report("message", language, QStringLiteral("did not close"));

#if KOPIERIX_UPDATER
    // The update window as it shows without a network: the server refuses.
    fixture.setSetting(QStringLiteral("Defaults"), QStringLiteral("Update Server"),
                       QStringLiteral("127.0.0.1:%1").arg(kx::test::ScriptedServer::refusedPort()));
    auto platform = fixture.platform();
    kx::UpdateWindow update(*platform, language);
    update.checkForUpdate(QStringLiteral("Kopierix"), main->versionText());
    // The window lays itself out anew from the event loop.
    QTest::qWait(50);
    report("update", language,
           update.isVisible() ? problemsOf(&update) : QStringLiteral("did not show"));
    update.close();
#endif
    main->close();
}

int runChild(int argc, char** argv)
{
    QApplication qapp(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Kopierix"));
    for (const QString& language : {QStringLiteral("nld"), QString()})
        lookAtWindows(language);
    return 0;
}

} // namespace

// ---- The test

class TestWindowsFit : public QObject
{
    Q_OBJECT

private slots:
    void theCheckFindsCutTextsAndOverlaps_data();
    void theCheckFindsCutTextsAndOverlaps();
    void everyWindowShowsItsTextsWhole_data();
    void everyWindowShowsItsTextsWhole();

private:
    /** What the program that looks at the windows reported for a font and a scale, by
     *  "window|language"; a failure of that program as a row "failed". */
    QMap<QString, QString> lookAt(const QString& family, const QString& scale);

    QHash<QString, QMap<QString, QString>> m_reports;
};

void TestWindowsFit::theCheckFindsCutTextsAndOverlaps_data()
{
    QTest::addColumn<QString>("fault");
    QTest::addColumn<QString>("found");
    QTest::newRow("none") << ""
                          << "";
    QTest::newRow("label too narrow") << "label"
                                      << "Text cuts \"Backup drive e: is ready\"";
    QTest::newRow("button too narrow") << "button"
                                       << "Button cuts \"&Restore All\"";
    QTest::newRow("check box too narrow") << "check"
                                          << "Check cuts \"Check for updates\"";
    QTest::newRow("overlap") << "overlap"
                             << "Text overlaps Button";
    QTest::newRow("outside") << "outside"
                             << "Check reaches outside the window";
}

void TestWindowsFit::theCheckFindsCutTextsAndOverlaps()
{
    QFETCH(QString, fault);
    QFETCH(QString, found);
    QWidget window;
    window.setFixedSize(400, 200);
    auto* label = new QLabel(QStringLiteral("Backup drive e: is ready"), &window);
    label->setObjectName(QStringLiteral("Text"));
    auto* button = new QPushButton(QStringLiteral("&Restore All"), &window);
    button->setObjectName(QStringLiteral("Button"));
    auto* check = new QCheckBox(QStringLiteral("Check for updates"), &window);
    check->setObjectName(QStringLiteral("Check"));
    const int line = label->sizeHint().height();
    label->setGeometry(10, 10, label->sizeHint().width() + 4, line);
    button->setGeometry(10, 20 + line, button->sizeHint().width() + 10,
                        button->sizeHint().height());
    check->setGeometry(10, 100, check->sizeHint().width(), check->sizeHint().height());
    if (fault == QLatin1String("label"))
        label->resize(label->width() / 2, line);
    else if (fault == QLatin1String("button"))
        button->resize(button->fontMetrics().horizontalAdvance(QStringLiteral("Restore")),
                       button->height());
    else if (fault == QLatin1String("check"))
        check->resize(check->width() - 10, check->height());
    else if (fault == QLatin1String("overlap"))
        button->move(10, 10 + line / 2);
    else if (fault == QLatin1String("outside"))
        check->move(400 - check->width() / 2, 100);
    window.show();
    QCOMPARE(kx::test::fitProblems(&window).join(QStringLiteral("; ")), found);
}

void TestWindowsFit::everyWindowShowsItsTextsWhole_data()
{
    QTest::addColumn<QString>("window");
    QTest::addColumn<QString>("family");
    QTest::addColumn<QString>("scale");
    QTest::addColumn<QString>("language");
    for (const char* window : kWindows) {
        for (const char* family : {"DejaVu Sans", "Nimbus Sans", "Noto Sans"}) {
            for (const char* scale : {"1", "1.25"}) {
                for (const char* language : {"nld", ""}) {
                    QTest::addRow("%s, %s, scale %s, %s", window, family, scale,
                                  *language ? "Dutch" : "English")
                        << QString::fromLatin1(window) << QString::fromLatin1(family)
                        << QString::fromLatin1(scale) << QString::fromLatin1(language);
                }
            }
        }
    }
}

void TestWindowsFit::everyWindowShowsItsTextsWhole()
{
    QFETCH(QString, window);
    QFETCH(QString, family);
    QFETCH(QString, scale);
    QFETCH(QString, language);
    if (!QFontDatabase::hasFamily(family))
        QSKIP(qPrintable(family + QStringLiteral(" is not installed (Debian: scripts/install-deps "
                                                 "--tests installs it)")));
    const QMap<QString, QString> reports = lookAt(family, scale);
    QVERIFY2(!reports.contains(QStringLiteral("failed")),
             qPrintable(reports.value(QStringLiteral("failed"))));
    const QString key = window + QLatin1Char('|') + language;
    QVERIFY2(reports.contains(key), "the window was not looked at");
    QVERIFY2(reports.value(key).isEmpty(), qPrintable(reports.value(key)));
}

QMap<QString, QString> TestWindowsFit::lookAt(const QString& family, const QString& scale)
{
    const QString id = family + QLatin1Char('@') + scale;
    if (m_reports.contains(id))
        return m_reports.value(id);
    QMap<QString, QString> reports;
    QTemporaryDir dir;
    QFile conf(dir.filePath(QStringLiteral("fonts.conf")));
    if (!dir.isValid() || !conf.open(QIODevice::WriteOnly) || conf.write(fontsConf(family)) < 0)
        return {{QStringLiteral("failed"), QStringLiteral("cannot write fonts.conf")}};
    conf.close();

    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QString::fromLatin1(kChildVariable), family);
    env.insert(QStringLiteral("FONTCONFIG_FILE"), conf.fileName());
    env.insert(QStringLiteral("QT_SCALE_FACTOR"), scale);
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    child.setProcessEnvironment(env);
    child.start(QCoreApplication::applicationFilePath(), {});
    if (!child.waitForFinished(60000)) {
        child.kill();
        child.waitForFinished();
        reports.insert(QStringLiteral("failed"),
                       QStringLiteral("the windows did not all close: ") +
                           QString::fromUtf8(child.readAllStandardOutput()).right(300) +
                           QString::fromUtf8(child.readAllStandardError()).right(1000));
    } else if (child.exitStatus() != QProcess::NormalExit || child.exitCode() != 0) {
        reports.insert(QStringLiteral("failed"),
                       QString::fromUtf8(child.readAllStandardError()).right(2000));
    }
    for (const QString& line : QString::fromUtf8(child.readAllStandardOutput()).split('\n')) {
        const QStringList parts = line.split(QLatin1Char('|'));
        if (parts.size() == 3)
            reports.insert(parts[0] + QLatin1Char('|') + parts[1], parts[2]);
    }
    m_reports.insert(id, reports);
    return reports;
}

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsSet(kChildVariable))
        return runChild(argc, argv);
    QApplication app(argc, argv);
    TestWindowsFit test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_windowsfit.moc"
