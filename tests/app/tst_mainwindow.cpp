// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/Application.h"
#include "app/MainWindow.h"
#include "app/SingleInstance.h"
#include "common/Fixture.h"
#include "common/RunTraces.h"
#include "common/StopQuestion.h"
#include "common/TabOrder.h"
#include "common/WindowActions.h"
#include "dialogs/Help.h"
#include "platform/OperationLock.h"
#include "platform/linux/LinuxPlatform.h"
#include "platform/linux/MountWatcher.h"
#include "worker/OperationRunner.h"

#include <QAction>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDeadlineTimer>
#include <QFile>
#include <QLabel>
#include <QLocalServer>
#include <QMenu>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QThread>
#include <QTimer>
#include <QtTest>

#include <algorithm>
#include <atomic>

using kx::Application;
using kx::MainWindow;
using kx::OperationLock;
using kx::test::answerNextQuestion;
using kx::test::Fixture;
using kx::test::logLines;
using kx::test::tempFiles;

namespace {

constexpr qint64 T0 = 1700000000;

// The system's own platform, in a language of the test's choosing.
class LocalePlatform : public kx::LinuxPlatform
{
public:
    explicit LocalePlatform(std::string locale) : m_locale(std::move(locale)) {}
    std::string localeName() override { return m_locale; }

private:
    std::string m_locale;
};

// The system's own platform, whose n-th staged copy waits until the test has clicked Stop:
// the click falls in the middle of a real run.
class ClickAtCopy : public LocalePlatform
{
public:
    explicit ClickAtCopy(int n) : LocalePlatform("C"), m_n(n) {}

    kx::Result<kx::StagedCopy> stageCopy(const std::string& source,
                                         const std::string& dest) override
    {
        if (++m_copies == m_n) {
            waiting = true;
            // Never for ever: a test that fails must still end.
            for (int waited = 0; !clicked && waited < 10000; ++waited)
                QThread::msleep(1);
        }
        return LocalePlatform::stageCopy(source, dest);
    }

    std::atomic<bool> waiting = false;
    std::atomic<bool> clicked = false;

private:
    int m_n;
    std::atomic<int> m_copies = 0;
};

// The system's own platform, with ten bytes free on the backup drive.
class LittleRoom : public LocalePlatform
{
public:
    LittleRoom() : LocalePlatform("C") {}
    std::int64_t freeSpace(char letter) override
    {
        return letter == 'e' ? 10 : LocalePlatform::freeSpace(letter);
    }
};

// The system's own platform, whose n-th copy waits until the test has let n copies go.
class PauseAtEachCopy : public LocalePlatform
{
public:
    PauseAtEachCopy() : LocalePlatform("C") {}

    kx::Result<kx::StagedCopy> stageCopy(const std::string& source,
                                         const std::string& dest) override
    {
        const int n = ++reached;
        // Never for ever: a test that fails must still end.
        for (int waited = 0; released < n && waited < 10000; ++waited)
            QThread::msleep(1);
        return LocalePlatform::stageCopy(source, dest);
    }

    std::atomic<int> reached = 0;
    std::atomic<int> released = 0;
};

// The system's own platform, whose two forms of a date can be told apart.
class TwoDateForms : public LocalePlatform
{
public:
    TwoDateForms() : LocalePlatform("C") {}
    std::string formatDateTime(double) override { return "plain date"; }
    std::string formatWindowDateTime(double) override { return "window date"; }
};

// The program's windows over a fixture, the main window shown and its first paint done.
struct Program
{
    explicit Program(const std::string& locale = "C")
        : Program(std::make_unique<LocalePlatform>(locale))
    {
    }
    explicit Program(std::unique_ptr<kx::Platform> platform) : app(std::move(platform))
    {
        app.createWindows();
        main = app.mainWindow();
        main->show();
        QSignalSpy painted(main, &MainWindow::firstPaintFinished);
        if (!main->firstPaintDone())
            painted.wait(10000);
    }

    QStringList shownLines() const
    {
        return main->findChild<QPlainTextEdit*>(QStringLiteral("Memo1"))
            ->toPlainText()
            .split(QLatin1Char('\n'));
    }
    QString status() const
    {
        return main->findChild<QLabel*>(QStringLiteral("StatusLabel"))->text();
    }
    // Clicks the named button of the main window; false when it has none.
    [[nodiscard]] bool click(const char* button)
    {
        QPushButton* b = main->findChild<QPushButton*>(QLatin1String(button));
        if (b == nullptr) {
            qWarning("the main window has no button %s", button);
            return false;
        }
        QTest::mouseClick(b, Qt::LeftButton);
        return true;
    }
    // Clicks a command and waits until the operation it started on the worker has ended; false
    // when there is no such button or the operation is still running after 20 seconds.
    [[nodiscard]] bool run(const char* button)
    {
        return click(button) &&
               QTest::qWaitFor([this] { return !main->runner()->isRunning(); }, 20000);
    }

    Application app;
    MainWindow* main = nullptr;
};

// Closes the next warning box with its OK button, and keeps its text.
void closeNextWarning(QString* text)
{
    auto* poll = new QTimer;
    QObject::connect(poll, &QTimer::timeout, poll, [poll, text] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box || box->objectName() != QLatin1String("WarningBox"))
            return;
        *text = box->text();
        box->button(QMessageBox::Ok)->click();
        poll->deleteLater();
    });
    poll->start(20);
}

// Closes the next message box of the given name with its OK button, and keeps its text.
void closeNextBox(const QString& name, QString* text)
{
    auto* poll = new QTimer;
    QObject::connect(poll, &QTimer::timeout, poll, [poll, name, text] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box || box->objectName() != name)
            return;
        *text = box->text();
        box->button(QMessageBox::Ok)->click();
        poll->deleteLater();
    });
    poll->start(20);
}

// A backup medium e: with one backup file, and its source on s: that changed since.
void backupAndNewerSource(Fixture& fixture)
{
    fixture.addDrive('s');
    fixture.addDrive('e', QStringLiteral("DRIVE_REMOVABLE"));
    fixture.setSetting(QStringLiteral("Defaults"), QStringLiteral("BackUp Drive"),
                       QStringLiteral("e:\\"));
    fixture.setSetting(QStringLiteral("Defaults"), QStringLiteral("Check for Updates"),
                       QStringLiteral("0"));
    fixture.writeFile("e:\\s-Docs\\a.txt", "old copy", T0);
    fixture.writeFile("s:\\Docs\\a.txt", "changed source", T0 + 600);
}

// An operation that says it works, works until it is asked to stop, and says it saw the stop.
kx::OperationRunner::Operation workUntilStopped(std::atomic<bool>& working,
                                                std::atomic<bool>& sawStop)
{
    return [&working, &sawStop](kx::EngineContext& ctx) {
        working = true;
        while (!ctx.stopRequested())
            QThread::msleep(2);
        sawStop = true;
        return kx::DriveFindings{};
    };
}

} // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { qputenv("TZ", "UTC"); }

    void firstPaint_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QVariantMap>("stored"); // idents of "Defaults"
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("firstLine");
        QTest::addColumn<QString>("nieuwerCaption");
        QTest::addColumn<QString>("statusStart");
        QTest::addColumn<QRect>("geometry");

        QTest::newRow("fresh user, English")
            << "en_US" << QVariantMap{} << "Kopierix - version 1.01b"
            << "First use:"
            << "Newly Created"
            << " Backup drive: e:, latest backup date unknown" << QRect(130, 100, 600, 342);
        QTest::newRow("no backup drive chosen")
            << "en_US" << QVariantMap{{"BackUp Drive", ""}} << "Kopierix - version 1.01b"
            << "First use:"
            << "Newly Created"
            << " No backup drive chosen: choose one in the Manage window"
            << QRect(130, 100, 600, 342);
        QTest::newRow("Dutch") << "nl_NL" << QVariantMap{} << "Kopierix - versie 1.01b"
                               << "Eerste gebruik:"
                               << "Nieuw Aangemaakt"
                               << " Backupschijf: e:, geen laatste backupdatum bekend"
                               << QRect(130, 100, 600, 342);
        QTest::newRow("Afrikaans reads Dutch")
            << "af_ZA" << QVariantMap{} << "Kopierix - versie 1.01b"
            << "Eerste gebruik:"
            << "Nieuw Aangemaakt"
            << " Backupschijf: e:" << QRect(130, 100, 600, 342);
        QTest::newRow("used before, negative left")
            << "en_GB" << QVariantMap{{"First Time", "0"}, {"Check for Updates", "0"},
                                      {"Left", -5},        {"Top", 7},
                                      {"Width", 640},      {"Height", 400}}
            << "Kopierix - version 1.01b"
            << "Order of actions:"
            << "Newly Created"
            << " Backup drive: e:" << QRect(100, 7, 640, 400);
        QTest::newRow("used before, Dutch")
            << "nl_BE" << QVariantMap{{"First Time", "0"}, {"Left", 300}}
            << "Kopierix - versie 1.01b"
            << "Volgorde van handelingen:"
            << "Nieuw Aangemaakt"
            << " Backupschijf: e:" << QRect(300, 100, 600, 342);
    }
    void firstPaint()
    {
        QFETCH(QString, locale);
        QFETCH(QVariantMap, stored);
        QFETCH(QString, title);
        QFETCH(QString, firstLine);
        QFETCH(QString, nieuwerCaption);
        QFETCH(QString, statusStart);
        QFETCH(QRect, geometry);

        Fixture fixture;
        fixture.addDrive('e', QStringLiteral("DRIVE_REMOVABLE"));
        fixture.setSetting(QStringLiteral("Defaults"), QStringLiteral("BackUp Drive"),
                           QStringLiteral("e:\\"));
        for (auto it = stored.cbegin(); it != stored.cend(); ++it)
            fixture.setSetting(QStringLiteral("Defaults"), it.key(), it.value());
        Program program(locale.toStdString());
        MainWindow* main = program.main;

        QVERIFY(main->firstPaintDone());
        QCOMPARE(main->windowTitle(), title);
        QCOMPARE(program.shownLines().first(), firstLine);
        // The texts stand line by line as the user reads them, the empty lines included.
        const int expectedLines = firstLine.startsWith(QLatin1String("Eerste"))  ? 10
                                  : firstLine.startsWith(QLatin1String("First")) ? 8
                                                                                 : 9;
        QCOMPARE(program.shownLines().size(), expectedLines);
        QCOMPARE(main->findChild<QPushButton*>(QStringLiteral("NieuwerBtn"))->text(),
                 nieuwerCaption);
        QVERIFY2(program.status().startsWith(statusStart), qPrintable(program.status()));
        QCOMPARE(QRect(main->x(), main->y(), main->width(), main->height()), geometry);
        // The status line spans the window; its progress bar is 50 narrower, centred.
        QWidget* panel = main->findChild<QWidget*>(QStringLiteral("StatusPanel"));
        QWidget* bar = main->findChild<QWidget*>(QStringLiteral("ProgressBar"));
        QVERIFY(bar->isHidden());
        QVERIFY2(panel->width() >= geometry.width() - 4,
                 qPrintable(QString::number(panel->width())));
        QCOMPARE(bar->x(), 25);
        QCOMPARE(bar->width(), panel->width() - 50);
        // The automatic update check waits a minute, unless it was switched off.
        const auto* timer = main->findChild<QTimer*>(QStringLiteral("UpdateTimer"));
        QCOMPARE(timer->isActive(), stored.value(QStringLiteral("Check for Updates")) != "0");
        QCOMPARE(timer->interval(), 60000);
        // The run's log begins with its date line.
        const bool dutch = title.contains(QLatin1String("versie"));
        QVERIFY(logLines(fixture).value(0).startsWith(dutch ? QLatin1String("Datum: ")
                                                            : QLatin1String("Date: ")));

        // Closing stores the place and ends the first use.
        main->close();
        QCOMPARE(fixture.setting(QStringLiteral("Defaults"), QStringLiteral("First Time")).toInt(),
                 0);
        QCOMPARE(fixture.setting(QStringLiteral("Defaults"), QStringLiteral("Left")).toInt(),
                 geometry.left());
    }

    void tabGoesThroughTheCommandsInOrder()
    {
        Fixture fixture;
        fixture.addDrive('c');
        fixture.addDrive('e', "DRIVE_REMOVABLE");
        Program program;
        QStringList order{"NieuwerBtn",    "MaakBackupBtn",  "BeheerBtn", "HerstellenBtn",
                          "DuplicerenBtn", "LogBekijkenBtn", "UpdateBtn", "InfoBtn",
                          "CloseBtn",      "Memo1"};
        if (!KOPIERIX_UPDATER)
            order.removeAll("UpdateBtn");
        QCOMPARE(kx::test::tabOrder(program.main), order);
    }

    void makeBackups()
    {
        Fixture fixture;
        backupAndNewerSource(fixture);
        Program program;

        QVERIFY(program.run("MaakBackupBtn"));
        const QStringList shown = program.shownLines();
        QCOMPARE(shown.value(0), fixture.native("s:\\Docs\\a.txt") + " copied to e:");
        QCOMPARE(shown.value(1), QString());
        QCOMPARE(shown.value(2), QStringLiteral("Number of files copied to e: = 1"));
        QCOMPARE(shown.value(4), QStringLiteral("Total number of Backup files = 1"));
        QVERIFY2(program.status().startsWith(QLatin1String(" Backup drive: e:, latest backup: ")),
                 qPrintable(program.status()));
        QCOMPARE(fixture.readFile("e:\\s-Docs\\a.txt"), QByteArray("changed source"));
        QCOMPARE(logLines(fixture).value(1), QStringLiteral("Button \"Make Backups\" clicked"));
        QVERIFY(!program.main->operationWorking());
        QVERIFY(program.main->findChild<QWidget*>(QStringLiteral("ProgressBar"))->isHidden());
    }

    // A medium too small for the run: the window asks before the first copy. No copies
    // nothing; Yes copies what fits and passes over the rest as failed copies. Either way the
    // last-backup date stays.
    void aMediumTooSmallAsksWhetherToCopyWhatFits_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addRow("No") << "NeeBtn";
        QTest::addRow("Yes") << "JaBtn";
    }
    void aMediumTooSmallAsksWhetherToCopyWhatFits()
    {
        QFETCH(QString, button);
        Fixture fixture;
        backupAndNewerSource(fixture);
        Program program(std::make_unique<LittleRoom>());
        const QString statusBefore = program.status();

        QString question;
        answerNextQuestion(button, &question);
        QVERIFY(program.run("MaakBackupBtn"));
        QVERIFY2(
            question.startsWith("Not enough space on " + fixture.native("e:\\") + ": needed ="),
            qPrintable(question));
        QVERIFY2(question.endsWith("Do you want to copy what fits?"), qPrintable(question));
        QCOMPARE(fixture.readFile("e:\\s-Docs\\a.txt"), QByteArray("old copy"));
        QCOMPARE(program.status(), statusBefore);
        const QStringList shown = program.shownLines();
        if (button == QLatin1String("NeeBtn")) {
            QVERIFY2(shown.join(QString()).isEmpty(), qPrintable(shown.join('|')));
            return;
        }
        QVERIFY2(shown.contains(fixture.native("s:\\Docs\\a.txt") +
                                " not copied to e: - not enough space on the disk"),
                 qPrintable(shown.join('|')));
        QVERIFY(shown.contains(QStringLiteral("Number of failed copies = 1")));
    }

    // The windows show dates in a form of their own (a year of four digits); the log keeps the
    // plain one.
    void theWindowsShowDatesInTheirOwnForm()
    {
        Fixture fixture;
        backupAndNewerSource(fixture);
        fixture.setSetting(QStringLiteral("Last BackUp"), QStringLiteral("e-"), 45000.5);
        Program program(std::make_unique<TwoDateForms>());
        QCOMPARE(program.status(), QStringLiteral(" Backup drive: e:, latest backup: window date"));

        QVERIFY(program.run("MaakBackupBtn"));
        QCOMPARE(program.status(), QStringLiteral(" Backup drive: e:, latest backup: window date"));
        QCOMPARE(logLines(fixture).value(0), QStringLiteral("Date: plain date"));
    }

    // A second file operation is refused with a warning while another holds the operation lock:
    // a command of this program's other windows, or another Kopierix (a window or a headless
    // run). This window's own run disables the other commands.
    void aSecondOperationIsRefusedWithAWarning_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("warning");
        const QString english = "Another Kopierix operation is running; try again later.";
        QTest::newRow("Make Backups") << "MaakBackupBtn"
                                      << "C" << english;
        QTest::newRow("Restore") << "HerstellenBtn"
                                 << "C" << english;
        QTest::newRow("Duplicate") << "DuplicerenBtn"
                                   << "C" << english;
        QTest::newRow("Dutch") << "MaakBackupBtn"
                               << "nl_NL"
                               << "Er loopt al een bewerking van Kopierix; probeer het later "
                                  "opnieuw.";
    }
    void aSecondOperationIsRefusedWithAWarning()
    {
        QFETCH(QString, button);
        QFETCH(QString, locale);
        QFETCH(QString, warning);
        Fixture fixture;
        backupAndNewerSource(fixture);
        Program program(locale.toStdString());
        OperationLock other;
        QVERIFY(other.tryLock());

        QString shown;
        closeNextWarning(&shown);
        QVERIFY(program.click(button.toLatin1().constData()));
        QCOMPARE(shown, warning);
        QCOMPARE(logLines(fixture).size(), 1);
        QCOMPARE(fixture.readFile("s:\\Docs\\a.txt"), QByteArray("changed source"));
    }

    // The windows start a new log, unless a headless run is writing the current one.
    void theWindowsStartANewLogUnlessAnotherRunWritesIt_data()
    {
        QTest::addColumn<bool>("headlessRun");
        QTest::newRow("nothing else runs") << false;
        QTest::newRow("a headless run") << true;
    }
    void theWindowsStartANewLogUnlessAnotherRunWritesIt()
    {
        QFETCH(bool, headlessRun);
        Fixture fixture;
        backupAndNewerSource(fixture);
        QDir().mkpath(fixture.dataPath());
        QFile log(fixture.dataPath() + QStringLiteral("/Kopierix.log"));
        QVERIFY(log.open(QIODevice::WriteOnly));
        log.write("Date: 1-1-2024 10:00:00\r\nButton \"Make Backups\" clicked\r\n");
        log.close();
        OperationLock operation;
        if (headlessRun)
            QVERIFY(operation.tryLock());

        Program program;
        const QStringList lines = logLines(fixture);
        QVERIFY(lines.value(0).startsWith(QLatin1String("Date: ")));
        QCOMPARE(lines.contains(QStringLiteral("Button \"Make Backups\" clicked")), headlessRun);
        QCOMPARE(QFile::exists(fixture.dataPath() + QStringLiteral("/Kopierix!.log")),
                 !headlessRun);
    }

    void anUnwritableLogIsToldBelowTheInstructions()
    {
        Fixture fixture;
        backupAndNewerSource(fixture);
        // A file where the log's folder should be.
        QFile blocker(fixture.dataPath());
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        Program program;
        const QString told = QStringLiteral("The activity log %1/Kopierix.log cannot be written: "
                                            "Not a directory")
                                 .arg(fixture.dataPath());
        QCOMPARE(program.shownLines().value(0), QStringLiteral("First use:"));
        QCOMPARE(program.shownLines().count(told), 1);
        QCOMPARE(program.shownLines().last(), told);

        // The work goes on, and the failure is not told again.
        QVERIFY(program.run("MaakBackupBtn"));
        QCOMPARE(fixture.readFile("e:\\s-Docs\\a.txt"), QByteArray("changed source"));
        QVERIFY(!program.shownLines().contains(told));
    }

    void restoreAll_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QByteArray>("source");
        QTest::addColumn<QString>("lastOutputLineStart");
        QTest::newRow("No") << "NeeBtn" << QByteArray("changed source") << "First use:";
        QTest::newRow("Yes") << "JaBtn" << QByteArray("old copy") << "Free Space on e:\\ =";
    }
    void restoreAll()
    {
        QFETCH(QString, button);
        QFETCH(QByteArray, source);
        QFETCH(QString, lastOutputLineStart);
        Fixture fixture;
        backupAndNewerSource(fixture);
        Program program;

        answerNextQuestion(button);
        QVERIFY(program.run("HerstellenBtn"));
        QCOMPARE(fixture.readFile("s:\\Docs\\a.txt"), source);
        QCOMPARE(logLines(fixture).value(1), QStringLiteral("Button \"Restore\" clicked"));
        if (button == QLatin1String("JaBtn"))
            QVERIFY(program.shownLines().contains(
                QStringLiteral("Number of files restored from e: = 1")));
        else // nothing follows the click
            QCOMPARE(logLines(fixture).last(), QStringLiteral("Button \"Restore\" clicked"));
        const QStringList shown = program.shownLines();
        QVERIFY2(shown.first().startsWith(lastOutputLineStart) ||
                     shown.last().startsWith(lastOutputLineStart),
                 qPrintable(shown.join(QLatin1Char('|'))));
        QVERIFY(!program.main->operationWorking());
    }

    // A run stops from its own button at once, and from Esc or closing the window after the
    // question; No to the question keeps it running. The operation here is one that works until
    // it is stopped.
    void stopARun_data()
    {
        QTest::addColumn<QString>("way");
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("stopText");
        QTest::addColumn<QString>("question");
        const QString english = "Stop the running operation?";
        QTest::newRow("button") << "button"
                                << "C"
                                << "Stop" << english;
        QTest::newRow("button, Dutch") << "button"
                                       << "nl_NL"
                                       << "Stoppen"
                                       << "De lopende bewerking stoppen?";
        QTest::newRow("Esc") << "escape"
                             << "C"
                             << "Stop" << english;
        QTest::newRow("close") << "close"
                               << "C"
                               << "Stop" << english;
        QTest::newRow("close, Dutch") << "close"
                                      << "nl_NL"
                                      << "Stoppen"
                                      << "De lopende bewerking stoppen?";
    }
    void stopARun()
    {
        QFETCH(QString, way);
        QFETCH(QString, locale);
        QFETCH(QString, stopText);
        QFETCH(QString, question);
        Fixture fixture;
        backupAndNewerSource(fixture);
        Program program(locale.toStdString());
        MainWindow* main = program.main;
        std::atomic<bool> working = false;
        std::atomic<bool> sawStop = false;
        MainWindow::Operations operations;
        operations.makeBackups = workUntilStopped(working, sawStop);
        main->setOperations(operations);
        auto* makeBackups = main->findChild<QPushButton*>(QStringLiteral("MaakBackupBtn"));
        const QString caption = makeBackups->text();
        const auto othersEnabled = [&] {
            QStringList enabled;
            for (const char* name : {"NieuwerBtn", "BeheerBtn", "HerstellenBtn", "DuplicerenBtn",
                                     "LogBekijkenBtn", "UpdateBtn", "InfoBtn", "CloseBtn"}) {
                if (main->findChild<QPushButton*>(QLatin1String(name))->isEnabled())
                    enabled << QLatin1String(name);
            }
            for (const char* name : {"Nieuwer", "Herstellen", "Afsluiten"}) {
                if (main->findChild<QAction*>(QLatin1String(name))->isEnabled())
                    enabled << QLatin1String(name);
            }
            return enabled;
        };
        QCOMPARE(othersEnabled().size(), 11);

        QVERIFY(program.click("MaakBackupBtn"));
        QTRY_VERIFY(working);
        QCOMPARE(makeBackups->text(), stopText);
        QVERIFY(makeBackups->isEnabled());
        QCOMPARE(main->findChild<QAction*>(QStringLiteral("BackupsMaken"))->text(), stopText);
        QCOMPARE(othersEnabled(), QStringList());

        const auto ask = [&](const QString& answer) {
            QString asked;
            answerNextQuestion(answer, &asked);
            if (way == QLatin1String("escape"))
                QTest::keyClick(main, Qt::Key_Escape);
            else
                main->close();
            QCOMPARE(asked, question);
        };
        if (way == QLatin1String("button")) {
            QVERIFY(program.click("MaakBackupBtn"));
        } else {
            ask(QStringLiteral("NeeBtn"));
            QTest::qWait(50);
            QVERIFY(main->runner()->isRunning());
            QVERIFY(!main->runner()->stopRequested());
            QVERIFY(main->isVisible());
            ask(QStringLiteral("JaBtn"));
        }
        QTRY_VERIFY(!main->runner()->isRunning());
        QVERIFY(sawStop);
        QCOMPARE(makeBackups->text(), caption);
        QCOMPARE(othersEnabled().size(), 11);
        // Closing waited for the end of the run, and then went the whole way.
        if (way == QLatin1String("close")) {
            QTRY_VERIFY(!main->isVisible());
            QCOMPARE(fixture.setting(QStringLiteral("Defaults"), QStringLiteral("Left")).toInt(),
                     main->x());
        } else {
            QVERIFY(main->isVisible());
        }
    }

    // Stop clicked in a real Make Backups: in a tree of small files once the first batch is in
    // place and shown, and inside the copy of one large file. What was not renamed is dropped,
    // every old copy stays, no temporary file is left, the summary so far ends with the stop
    // line in the window and the log alike, and the medium records no backup.
    void stopARealRun_data()
    {
        QTest::addColumn<bool>("large");
        QTest::newRow("small files") << false;
        QTest::newRow("one large file") << true;
    }
    void stopARealRun()
    {
        QFETCH(bool, large);
        // A batch of small files is renamed in one go (512 at most); the click falls in the
        // second batch.
        constexpr int kBatch = 512;
        const int files = large ? 1 : kBatch + 8;
        Fixture fixture;
        fixture.addDrive('s');
        fixture.addDrive('e', QStringLiteral("DRIVE_REMOVABLE"));
        fixture.setSetting(QStringLiteral("Defaults"), QStringLiteral("BackUp Drive"),
                           QStringLiteral("e:\\"));
        fixture.setSetting(QStringLiteral("Defaults"), QStringLiteral("Check for Updates"),
                           QStringLiteral("0"));
        const QByteArray big(48 << 20, 'n');
        auto name = [](int i) { return QStringLiteral("f%1.txt").arg(i, 3, 10, QLatin1Char('0')); };
        for (int i = 0; i < files; ++i) {
            const std::string n = name(i).toStdString();
            fixture.writeFile("s:\\Docs\\" + n, large ? big : QByteArray("new"), T0 + 600);
            fixture.writeFile("e:\\s-Docs\\" + n, "old copy", T0);
        }
        const QVariant lastBackup =
            fixture.setting(QStringLiteral("Last BackUp"), QStringLiteral("e-"));
        const QVariant totalSize =
            fixture.setting(QStringLiteral("Total Size"), QStringLiteral("e-"));
        auto platform = std::make_unique<ClickAtCopy>(large ? 1 : kBatch + 2);
        ClickAtCopy& copies = *platform;
        Program program(std::move(platform));

        auto* button = program.main->findChild<QPushButton*>(QStringLiteral("MaakBackupBtn"));
        const QString caption = button->text();
        const QString docs = fixture.native("s:\\Docs\\f");
        const auto copiedLines = [&] {
            const QStringList shown = program.shownLines();
            return std::count_if(shown.begin(), shown.end(), [&](const QString& line) {
                return line.startsWith(docs) && line.endsWith(QLatin1String(" copied to e:"));
            });
        };
        QVERIFY(program.click("MaakBackupBtn"));
        QTRY_VERIFY_WITH_TIMEOUT(copies.waiting, 20000);
        // The lines of the copies already in place have reached the window.
        if (!large)
            QTRY_VERIFY(copiedLines() > 0);
        QVERIFY(program.main->runner()->isRunning());
        QVERIFY(program.click("MaakBackupBtn"));
        copies.clicked = true;
        QTRY_VERIFY_WITH_TIMEOUT(!program.main->runner()->isRunning(), 20000);

        // Only the copies renamed before the stop count; the rest of the tree keeps its old
        // copies.
        const int copied = static_cast<int>(copiedLines());
        QVERIFY(large ? copied == 0 : copied > 0 && copied < files);
        int renewed = 0;
        for (int i = 0; i < files; ++i) {
            const QByteArray contents = fixture.readFile("e:\\s-Docs\\" + name(i).toStdString());
            if (contents != "old copy") {
                QCOMPARE(contents, large ? big : QByteArray("new"));
                ++renewed;
            }
        }
        QCOMPARE(renewed, copied);
        QCOMPARE(tempFiles(fixture.root()), QStringList());

        const QStringList shown = program.shownLines();
        QVERIFY(shown.size() >= 2);
        QCOMPARE(shown[shown.size() - 2], QStringLiteral("Stopped by the user"));
        QVERIFY2(shown.last().startsWith(QLatin1String("Free ")), qPrintable(shown.last()));
        QVERIFY(shown.contains(QStringLiteral("Number of files copied to e: = %1").arg(copied)));
        const QStringList log = logLines(fixture);
        QCOMPARE(log.mid(log.size() - 2), shown.mid(shown.size() - 2));
        QVERIFY(log.contains(QStringLiteral("Button \"Make Backups\" clicked")));
        QCOMPARE(fixture.setting(QStringLiteral("Last BackUp"), QStringLiteral("e-")), lastBackup);
        QCOMPARE(fixture.setting(QStringLiteral("Total Size"), QStringLiteral("e-")), totalSize);
        QCOMPARE(button->text(), caption);
    }

    // Verify backup, a command of the context menu alone, runs on the worker with its lines in
    // the text area and the log; while it works its menu item reads Stop and stops it.
    void verifyBackupFromTheContextMenu_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("stopText");
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("chosen");
        QTest::newRow("English") << "C"
                                 << "Verify backup"
                                 << "Stop"
                                 << "%1 differs from its backup copy: one of the two is damaged"
                                 << "Menu item \"Verify backup\" chosen";
        QTest::newRow("Dutch") << "nl_NL"
                               << "Backup controleren"
                               << "Stoppen"
                               << "%1 verschilt van zijn backupkopie: een van beide is beschadigd"
                               << "Menu-item \"Backup controleren\" gekozen";
    }
    void verifyBackupFromTheContextMenu()
    {
        QFETCH(QString, locale);
        QFETCH(QString, caption);
        QFETCH(QString, stopText);
        QFETCH(QString, line);
        QFETCH(QString, chosen);
        Fixture fixture;
        backupAndNewerSource(fixture);
        fixture.writeFile("s:\\Docs\\b.txt", "the letter", T0);
        fixture.writeFile("e:\\s-Docs\\b.txt", "the lettes", T0);
        Program program(locale.toStdString());
        MainWindow* main = program.main;
        auto* verify = main->findChild<QAction*>(QStringLiteral("BackupControleren"));
        QVERIFY(verify);
        QCOMPARE(verify->text(), caption);
        QVERIFY(main->findChild<QMenu*>(QStringLiteral("PopupMenu1"))->actions().contains(verify));

        verify->trigger();
        QTRY_VERIFY_WITH_TIMEOUT(!main->runner()->isRunning(), 20000);
        const QString found = line.arg(fixture.native("s:\\Docs\\b.txt"));
        QCOMPARE(program.shownLines().value(0), found);
        const QStringList log = logLines(fixture);
        QVERIFY(log.contains(chosen));
        QVERIFY(log.contains(found));
        // The out-of-date copy is left to Make Backups.
        QCOMPARE(fixture.readFile("e:\\s-Docs\\a.txt"), QByteArray("old copy"));

        std::atomic<bool> working = false;
        std::atomic<bool> sawStop = false;
        MainWindow::Operations operations;
        operations.verifyBackup = workUntilStopped(working, sawStop);
        main->setOperations(operations);
        auto* makeBackups = main->findChild<QPushButton*>(QStringLiteral("MaakBackupBtn"));
        verify->trigger();
        QTRY_VERIFY(working);
        QCOMPARE(verify->text(), stopText);
        QVERIFY(verify->isEnabled());
        QVERIFY(!makeBackups->isEnabled());
        verify->trigger();
        QTRY_VERIFY(!main->runner()->isRunning());
        QVERIFY(sawStop);
        QCOMPARE(verify->text(), caption);
        QVERIFY(makeBackups->isEnabled());
    }

    // A run that ends while its stop question is open takes the question with it: nothing is
    // stopped, and the window stays.
    void theStopQuestionClosesWhenTheRunEnds_data()
    {
        QTest::addColumn<QString>("way");
        QTest::newRow("Esc") << "escape";
        QTest::newRow("close") << "close";
    }
    void theStopQuestionClosesWhenTheRunEnds()
    {
        QFETCH(QString, way);
        Fixture fixture;
        backupAndNewerSource(fixture);
        Program program;
        MainWindow* main = program.main;
        std::atomic<bool> working = false;
        std::atomic<bool> end = false;
        std::atomic<bool> sawStop = false;
        MainWindow::Operations operations;
        operations.makeBackups = [&](kx::EngineContext& ctx) {
            working = true;
            for (int waited = 0; !end && !ctx.stopRequested() && waited < 10000; ++waited)
                QThread::msleep(1);
            sawStop = ctx.stopRequested();
            return kx::DriveFindings{};
        };
        main->setOperations(operations);
        QVERIFY(program.click("MaakBackupBtn"));
        QTRY_VERIFY(working);

        kx::test::StopQuestionWatch watch;
        kx::test::endRunWhileAsked([&] { end = true; }, &watch);
        if (way == QLatin1String("escape"))
            QTest::keyClick(main, Qt::Key_Escape);
        else
            main->close();
        QVERIFY(watch.asked);
        QVERIFY2(!watch.answered, "the question stayed open after its run had ended");
        QTRY_VERIFY(!main->runner()->isRunning());
        QVERIFY(!sawStop);
        QVERIFY(main->isVisible());
    }

    // While a run works the program's target, records and drive flags stay as they were; the
    // window that closes while its run stops takes what the run left once it has ended, and
    // stores the drive as the run left it.
    void closingWhileARunStopsKeepsWhatItLeft()
    {
        Fixture fixture;
        backupAndNewerSource(fixture);
        Program program;
        MainWindow* main = program.main;
        const std::int64_t totalBefore = program.app.media().current.totalSize;
        QVERIFY(!program.app.target().perComputerFolders);
        QVERIFY(!program.app.driveFlags().noDisk);
        std::atomic<bool> changed = false;
        MainWindow::Operations operations;
        operations.makeBackups = [&](kx::EngineContext& ctx) {
            ctx.target.perComputerFolders = true;
            ctx.media.current.totalSize = totalBefore + 4242;
            changed = true;
            const QDeadlineTimer limit(10000);
            while (!ctx.stopRequested() && !limit.hasExpired())
                QThread::msleep(2);
            return kx::DriveFindings{.noDisk = true, .noFloppy = {}};
        };
        main->setOperations(operations);
        QVERIFY(program.click("MaakBackupBtn"));
        QTRY_VERIFY(changed);
        QCOMPARE(program.app.media().current.totalSize, totalBefore);
        QVERIFY(!program.app.target().perComputerFolders);
        QVERIFY(!program.app.driveFlags().noDisk);

        answerNextQuestion(QStringLiteral("JaBtn"));
        main->close();
        QTRY_VERIFY(!main->isVisible());
        QVERIFY(!main->runner()->isRunning());
        QCOMPARE(program.app.media().current.totalSize, totalBefore + 4242);
        QVERIFY(program.app.target().perComputerFolders);
        QVERIFY(program.app.driveFlags().noDisk);
        QCOMPARE(
            fixture.setting(QStringLiteral("Defaults"), QStringLiteral("BackUp Drive")).toString(),
            QStringLiteral("e:\\\\"));
    }

    // A program that ends while a run works stops the run and waits for it before the windows'
    // shared lock goes: a headless run must not take the log while this one still writes it.
    void theWindowsLockOutlivesARunStoppedAtTheEnd()
    {
        Fixture fixture;
        backupAndNewerSource(fixture);
        auto program = std::make_unique<Program>();
        std::atomic<bool> working = false;
        std::atomic<bool> sawStop = false;
        std::atomic<bool> lockHeldAtStop = false;
        MainWindow::Operations operations;
        operations.makeBackups = [&](kx::EngineContext& ctx) {
            working = true;
            const QDeadlineTimer limit(10000);
            while (!ctx.stopRequested() && !limit.hasExpired())
                QThread::msleep(2);
            sawStop = ctx.stopRequested();
            kx::OperationLock windows(kx::OperationLock::Kind::Windows);
            lockHeldAtStop = !windows.tryLock();
            return kx::DriveFindings{};
        };
        program->main->setOperations(operations);
        QVERIFY(program->click("MaakBackupBtn"));
        QTRY_VERIFY(working);
        program.reset();
        QVERIFY(sawStop);
        QVERIFY(lockHeldAtStop);
    }

    // A medium without a recorded total (its first run) has a bar that only shows that the run
    // works; once a whole run has counted the medium, the bar measures against that total.
    // Without a recorded total the bar moves by the bytes the run found it will copy; with
    // one, by that total.
    void theBarMovesByTheBytesToCopyUntilTheMediumsTotalIsKnown()
    {
        Fixture fixture;
        backupAndNewerSource(fixture);
        fixture.writeFile("s:\\Docs\\a.txt", QByteArray(300, 'x'), T0 + 600);
        auto platform = std::make_unique<PauseAtEachCopy>();
        PauseAtEachCopy& copies = *platform;
        Program program(std::move(platform));
        auto* bar = program.main->findChild<QProgressBar*>(QStringLiteral("ProgressBar"));
        // The bar's top while the n-th copy of the test waits; -1 for a bar not shown.
        const auto barWhileCopying = [&](int copy, int* maximum) {
            QVERIFY(program.click("MaakBackupBtn"));
            QTRY_COMPARE(copies.reached.load(), copy);
            // What the run sent before its copy has reached the window.
            QCoreApplication::processEvents();
            *maximum = bar->isVisible() ? bar->maximum() : -1;
            copies.released = copy;
            QTRY_VERIFY_WITH_TIMEOUT(!program.main->runner()->isRunning(), 20000);
            QVERIFY(bar->isHidden());
        };

        int maximum = 0;
        barWhileCopying(1, &maximum);
        QCOMPARE(maximum, 100);
        QCOMPARE(fixture.readFile("e:\\s-Docs\\a.txt"), QByteArray(300, 'x'));
        fixture.writeFile("s:\\Docs\\a.txt", QByteArray(400, 'y'), T0 + 1200);
        barWhileCopying(2, &maximum);
        QCOMPARE(maximum, 100);
    }

    // The text area's menu holds the program's commands, as the window's does, and Copy, all
    // in the user's language.
    void theTextAreasMenuOffersTheCommandsAndCopy_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("copy");
        QTest::newRow("English") << "C"
                                 << "Newly Created"
                                 << "Copy";
        QTest::newRow("Dutch") << "nl_NL"
                               << "Nieuw Aangemaakt"
                               << "Kopiëren";
    }
    void theTextAreasMenuOffersTheCommandsAndCopy()
    {
        QFETCH(QString, locale);
        QFETCH(QString, first);
        QFETCH(QString, copy);
        Fixture fixture;
        backupAndNewerSource(fixture);
        Program program(locale.toStdString());
        auto* shown = program.main->findChild<QPlainTextEdit*>(QStringLiteral("Memo1"));
        auto* menu = program.main->findChild<QMenu*>(QStringLiteral("MemoMenu"));
        QVERIFY(menu);

        // A menu that holds the click in a loop of its own is closed, so that the test ends.
        QTimer::singleShot(3000, qApp, [] {
            if (QWidget* popup = QApplication::activePopupWidget())
                popup->close();
        });
        const QPoint at(10, 10);
        QContextMenuEvent click(QContextMenuEvent::Mouse, at, shown->viewport()->mapToGlobal(at));
        QApplication::sendEvent(shown->viewport(), &click);
        QTRY_VERIFY(menu->isVisible());
        QStringList texts;
        for (const QAction* action : menu->actions()) {
            if (!action->isSeparator() && action->isVisible())
                texts << action->text();
        }
        QCOMPARE(texts.size(), 11);
        QCOMPARE(texts.first(), first);
        QCOMPARE(texts.last(), copy);
        menu->hide();

        QAction* copyAction = menu->actions().last();
        QVERIFY(!copyAction->isEnabled());
        shown->selectAll();
        QVERIFY(copyAction->isEnabled());
        copyAction->trigger();
        QCOMPARE(QApplication::clipboard()->text(), shown->toPlainText());
    }

    // The log and the help pages open in the desktop's program for them; without one, a
    // message names the file.
    void aFileNoProgramOpensIsNamed_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("message");
        const QString english = "No program is set up to open this file. The file is here:\n";
        const QString dutch =
            "Er is geen programma ingesteld om dit bestand te openen. Het bestand staat hier:\n";
        QTest::newRow("View Log File") << "C"
                                       << "LogBekijken" << english;
        QTest::newRow("View Log File, Dutch") << "nl_NL"
                                              << "LogBekijken" << dutch;
        QTest::newRow("Help - Contents") << "C"
                                         << "HelpInhoud" << english;
        QTest::newRow("Help - Index, Dutch") << "nl_NL"
                                             << "HelpIndex" << dutch;
    }
    void aFileNoProgramOpensIsNamed()
    {
        QFETCH(QString, locale);
        QFETCH(QString, command);
        QFETCH(QString, message);
        Fixture fixture;
        backupAndNewerSource(fixture);
        Program program(locale.toStdString());
        QList<QUrl> asked;
        program.main->setUrlOpener([&](const QUrl& url) {
            asked << url;
            return false;
        });
        const QString language = locale == QLatin1String("nl_NL") ? "nld" : "";
        const QString file = command == QLatin1String("LogBekijken")
                                 ? fixture.dataPath() + QStringLiteral("/Kopierix.log")
                                 : kx::helpUrl(language, 0).toLocalFile();

        QString shown;
        closeNextBox(QStringLiteral("FileWhereBox"), &shown);
        program.main->findChild<QAction*>(command)->trigger();
        QCOMPARE(asked.size(), 1);
        QCOMPARE(asked.first().toLocalFile(), file);
        QCOMPARE(shown, message + file);

        // With a program for it, the file simply opens.
        program.main->setUrlOpener([&](const QUrl& url) {
            asked << url;
            return true;
        });
        program.main->findChild<QAction*>(command)->trigger();
        QCOMPARE(asked.size(), 2);
        QVERIFY(!QApplication::activeModalWidget());
    }

    void mountTableChanges()
    {
        QTemporaryDir dir;
        const QString table = dir.filePath(QStringLiteral("mountinfo"));
        const auto write = [&](const QByteArray& text) {
            QFile f(table);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(text);
        };
        write("22 1 8:1 / / rw - ext4 /dev/sda1 rw\n");
        kx::MountWatcher watcher(table);
        QSignalSpy changed(&watcher, &kx::MountWatcher::changed);
        watcher.check();
        QCOMPARE(changed.count(), 0);
        write("22 1 8:1 / / rw - ext4 /dev/sda1 rw\n40 22 8:17 / /media/usb rw - vfat /dev/sdb1 "
              "rw\n");
        watcher.check();
        QCOMPARE(changed.count(), 1);
        watcher.check();
        QCOMPARE(changed.count(), 1);
        // A change that could not be handled is reported again.
        watcher.forget();
        watcher.check();
        QCOMPARE(changed.count(), 2);
    }

    void singleInstanceInProcess()
    {
        Fixture fixture;
        fixture.setSetting(QStringLiteral("Defaults"), QStringLiteral("Check for Updates"),
                           QStringLiteral("0"));
        const QString name = kx::SingleInstance::serverName();
        kx::SingleInstance first(name);
        QVERIFY(!first.handOverToRunning());
        QSignalSpy raised(&first, &kx::SingleInstance::raiseRequested);
        kx::SingleInstance second(name);
        QVERIFY(second.handOverToRunning());
        QVERIFY(raised.wait(5000));

        // The request brings a minimised window back.
        Program program;
        program.main->showMinimized();
        QTRY_VERIFY(program.main->isMinimized());
        program.main->bringForward();
        QVERIFY(!program.main->isMinimized());
    }

    void singleInstanceTwoProcesses()
    {
        Fixture fixture;
        fixture.setSetting(QStringLiteral("Defaults"), QStringLiteral("Check for Updates"),
                           QStringLiteral("0"));
        const QString log = fixture.dataPath() + QStringLiteral("/Kopierix.log");
        const QString previousLog = fixture.dataPath() + QStringLiteral("/Kopierix!.log");

        QProcess first;
        first.start(QStringLiteral(KOPIERIX_BINARY), {});
        QVERIFY(first.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(log), 20000);

        // A second start hands over to the first and ends at once, without windows of its own.
        QProcess second;
        second.start(QStringLiteral(KOPIERIX_BINARY), {});
        QVERIFY(second.waitForFinished(15000));
        QCOMPARE(second.exitStatus(), QProcess::NormalExit);
        QCOMPARE(second.exitCode(), 0);
        QVERIFY(!QFile::exists(previousLog));
        QCOMPARE(first.state(), QProcess::Running);

        // An instance that did not end normally leaves its socket behind: the next start still
        // opens its windows.
        first.kill();
        QVERIFY(first.waitForFinished(5000));
        QProcess third;
        third.start(QStringLiteral(KOPIERIX_BINARY), {});
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(previousLog), 20000);
        QCOMPARE(third.state(), QProcess::Running);
        third.kill();
        third.waitForFinished(5000);
        QLocalServer::removeServer(kx::SingleInstance::serverName());
    }
};

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Kopierix"));
    QLocale::setDefault(QLocale::c());
    TestMainWindow test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_mainwindow.moc"
