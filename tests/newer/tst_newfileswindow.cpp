// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/EngineRig.h"
#include "common/Fixture.h"
#include "common/ForwardingPlatform.h"
#include "common/InSight.h"
#include "common/StopQuestion.h"
#include "common/WindowActions.h"
#include "newer/NewFilesWindow.h"
#include "support/FileDate.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QtTest>

#include <unistd.h>

#include <atomic>

using namespace kx;
using test::answerNextQuestion;
using test::EngineRig;
using test::Fixture;
using test::listLines;
using test::offPlace;
using test::outOfSight;

namespace {
constexpr qint64 T0 = 1600000000; // the medium's last backup
constexpr qint64 kDay = 86400;

/** A source drive c: and a removable medium e: that holds c:\docs's a.doc and b.txt. */
void buildDrives(Fixture& fixture)
{
    fixture.addDrive('c');
    fixture.addDrive('e', "DRIVE_REMOVABLE");
    fixture.writeFile("e:\\c-docs\\a.doc", "a", T0);
    fixture.writeFile("e:\\c-docs\\b.txt", "b", T0);
    fixture.writeFile("c:\\docs\\a.doc", "a", T0 + kDay);
    fixture.writeFile("c:\\docs\\c.doc", "cc", T0 + kDay);
    fixture.writeFile("c:\\docs\\d.pdf", "d", T0 + kDay);
    fixture.writeFile("c:\\docs\\e.txt", "e", T0 - kDay);
}

void useMedium(EngineRig& rig, const std::string& base = "e:\\")
{
    rig.target.base = base;
    rig.media.current.lastBackupDate = localTimeToDateTime(rig.platform->toLocal(T0));
}

bool idle(const NewFilesWindow& form)
{
    return QTest::qWaitFor([&form] { return !form.isWorking(); }, 5000);
}

/** A platform whose folders cannot be listed until the test opens the gate: the scan is
 *  caught in the middle of its walk. */
class GatedPlatform : public test::ForwardingPlatform
{
public:
    using ForwardingPlatform::ForwardingPlatform;
    std::atomic<bool> reached = false;
    std::atomic<bool> open = false;

    Result<std::unique_ptr<DirListing>> openDir(const std::string& path) override
    {
        reached = true;
        // Never for ever: a test that fails must still end.
        for (int waited = 0; !open && waited < 10000; ++waited)
            QThread::msleep(1);
        return inner().openDir(path);
    }
};

} // namespace

class TestNewFilesWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        qputenv("TZ", "UTC");
        ::tzset();
        QLocale::setDefault(QLocale::c());
    }

    void proposesNewerLookAlikesAndAddsTheChosenOnes()
    {
        Fixture fixture;
        buildDrives(fixture);
        EngineRig rig(fixture.platform(), "");
        useMedium(rig);
        const double lastDate = rig.media.current.lastBackupDate;
        NewFilesWindow form(rig.ctx, rig.driveFlags, nullptr);
        QSignalSpy changed(&form, &NewFilesWindow::backupChanged);
        auto* list = form.findChild<QListWidget*>("ListBox");
        auto* add = form.findChild<QAbstractButton*>("VoegtoeBtn");

        form.show();
        // Each proposal as the user finds the file; the list adds its drive path.
        const QString cDoc = fixture.native("c:\\docs\\c.doc");
        QTRY_COMPARE(listLines(list), QStringList{cDoc});
        QVERIFY(form.findChild<QLabel*>("BackupLabel")
                    ->text()
                    .startsWith("Backup drive: e:\nDate of latest Backup: "));
        QVERIFY(!form.findChild<QProgressBar*>("ProgressBar")->isVisible());
        QVERIFY(!add->isEnabled());
        QVERIFY(!form.isWorking());

        QAction* selectAll = form.findChild<QAction*>("SelecteerAlles");
        QVERIFY(selectAll->isEnabled());
        selectAll->trigger();
        QVERIFY(add->isEnabled());
        QTest::mouseClick(add, Qt::LeftButton);
        // The adding works on the worker; the list shows its marks once it has ended.
        QVERIFY(!add->isEnabled() && !selectAll->isEnabled() && !list->isEnabled());
        QCOMPARE(listLines(list), QStringList{cDoc});
        QVERIFY(idle(form));
        QVERIFY(selectAll->isEnabled() && list->isEnabled());

        QCOMPARE(fixture.readFile("e:\\c-docs\\c.doc"), QByteArray("cc"));
        QCOMPARE(listLines(list), QStringList{cDoc + " - added"});
        QCOMPARE(rig.shownLines(), QStringList{cDoc + " added"});
        QCOMPARE(changed.size(), 1);
        QVERIFY(!add->isEnabled());
        // The moment of the command is stored; the date in memory stays for later scans.
        QVERIFY(fixture.setting("Last BackUp", "e-").toDouble() > lastDate);
        QCOMPARE(rig.media.current.lastBackupDate, lastDate);

        // A line that carries the marker is not added again.
        selectAll->trigger();
        QTest::mouseClick(add, Qt::LeftButton);
        QVERIFY(idle(form));
        QCOMPARE(rig.shownLines().size(), 1);

        // Closing stores the layout; the next opening scans again.
        form.resize(640, 320);
        QTest::mouseClick(form.findChild<QAbstractButton*>("SluitAfBtn"), Qt::LeftButton);
        QVERIFY(!form.isVisible());
        QCOMPARE(fixture.setting("Defaults", "Nieuwer Width").toInt(), 640);
        QCOMPARE(fixture.setting("Defaults", "Nieuwer Height").toInt(), 320);
        QVERIFY(fixture.setting("Defaults", "Nieuwer Left").isValid());
        QVERIFY(fixture.setting("Defaults", "Nieuwer Top").isValid());

        fixture.writeFile("c:\\docs\\f.doc", "f", T0 + kDay);
        form.show();
        QTRY_COMPARE(listLines(list), QStringList{fixture.native("c:\\docs\\f.doc")});
    }

    void closingStopsTheScan_data()
    {
        QTest::addColumn<QString>("way");
        QTest::newRow("Close button") << "button";
        QTest::newRow("Esc") << "escape";
    }
    void closingStopsTheScan()
    {
        QFETCH(QString, way);
        Fixture fixture;
        buildDrives(fixture);
        auto platform = std::make_unique<GatedPlatform>(fixture.platform());
        GatedPlatform* gate = platform.get();
        EngineRig rig(std::move(platform), "nld");
        useMedium(rig);
        NewFilesWindow form(rig.ctx, rig.driveFlags, nullptr);
        auto* close = form.findChild<QAbstractButton*>("SluitAfBtn");
        const QString closeText = close->text();
        form.show();
        QTRY_VERIFY(gate->reached);
        QVERIFY(form.isWorking());
        QVERIFY(!form.findChild<QAction*>("SelecteerAlles")->isEnabled());
        QVERIFY(!form.findChild<QAbstractButton*>("VoegtoeBtn")->isEnabled());
        QVERIFY(close->isEnabled());
        const auto leave = [&](const QString& answer) {
            QString asked;
            answerNextQuestion(answer, &asked);
            if (way == QLatin1String("escape"))
                QTest::keyClick(&form, Qt::Key_Escape);
            else
                QTest::mouseClick(close, Qt::LeftButton);
            QCOMPARE(asked, QString("De lopende bewerking stoppen?"));
        };

        // No: the scan goes on, in its window.
        leave("NeeBtn");
        QVERIFY(form.isVisible() && form.isWorking());
        // Yes: the window waits for the scan's end at its next step, then closes.
        leave("JaBtn");
        QVERIFY(form.isVisible());
        QCOMPARE(close->text(), closeText);
        gate->open = true;
        QTRY_VERIFY(!form.isVisible());
        QVERIFY(!form.isWorking());
        QVERIFY(fixture.setting("Defaults", "Nieuwer Width").isValid());
        QVERIFY(rig.ui.warnings.empty());
    }

    // A scan that ends while its stop question is open takes the question with it: the scan
    // went its whole way, and the window stays.
    void theStopQuestionClosesWhenTheScanEnds()
    {
        Fixture fixture;
        buildDrives(fixture);
        auto platform = std::make_unique<GatedPlatform>(fixture.platform());
        GatedPlatform* gate = platform.get();
        EngineRig rig(std::move(platform), "nld");
        useMedium(rig);
        NewFilesWindow form(rig.ctx, rig.driveFlags, nullptr);
        form.show();
        QTRY_VERIFY(gate->reached);

        test::StopQuestionWatch watch;
        test::endRunWhileAsked([gate] { gate->open = true; }, &watch);
        QTest::keyClick(&form, Qt::Key_Escape);
        QVERIFY(watch.asked);
        QVERIFY2(!watch.answered, "the question stayed open after its scan had ended");
        QVERIFY(idle(form));
        QVERIFY(form.isVisible());
        QVERIFY(listLines(form.findChild<QListWidget*>("ListBox")).join(' ').contains("c.doc"));
    }

    void withNothingToProposeTheOneLineIsNeverSelected()
    {
        Fixture fixture;
        buildDrives(fixture);
        fixture.writeFile("e:\\c-docs\\c.doc", "cc", T0);
        EngineRig rig(fixture.platform(), "nld");
        useMedium(rig);
        NewFilesWindow form(rig.ctx, rig.driveFlags, nullptr);
        auto* list = form.findChild<QListWidget*>("ListBox");
        form.show();
        QTRY_COMPARE(listLines(list),
                     QStringList{"Er zijn geen nieuwere bestanden om toe te voegen."});
        QVERIFY(!form.findChild<QAction*>("SelecteerAlles")->isEnabled());

        list->setFocus();
        QTest::keyClick(list, Qt::Key_A, Qt::ControlModifier);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          list->visualItemRect(list->item(0)).center());
        QVERIFY(list->selectedItems().isEmpty());
        QVERIFY(!form.findChild<QAbstractButton*>("VoegtoeBtn")->isEnabled());
    }

    void aMediumThatIsNotThereClosesTheWindow()
    {
        Fixture fixture;
        fixture.addDrive('c');
        fixture.addMissingDrive('f', "DRIVE_CDROM");
        EngineRig rig(fixture.platform(), "");
        useMedium(rig, "f:\\");
        NewFilesWindow form(rig.ctx, rig.driveFlags, nullptr);
        form.show();
        QTRY_VERIFY(!form.isVisible());
        QCOMPARE(rig.ui.warnings, std::vector<std::string>{"Backup drive f: is not mounted"});
        QVERIFY(rig.driveFlags.noDisk);
        QVERIFY(fixture.setting("Defaults", "Nieuwer Width").isValid());
    }
    void everyControlStaysInSight_data()
    {
        QTest::addColumn<int>("fontScale");
        QTest::addColumn<bool>("smallest");
        QTest::newRow("default size") << 1 << false;
        QTest::newRow("smallest size") << 1 << true;
        QTest::newRow("double font, smallest size") << 2 << true;
    }
    void everyControlStaysInSight()
    {
        QFETCH(int, fontScale);
        QFETCH(bool, smallest);
        const QFont usual = QApplication::font();
        QFont font = usual;
        font.setPointSizeF(usual.pointSizeF() * fontScale);
        QApplication::setFont(font);
        const auto restoreFont = qScopeGuard([&usual] { QApplication::setFont(usual); });
        Fixture fixture;
        buildDrives(fixture);
        EngineRig rig(fixture.platform(), "nld");
        useMedium(rig);
        NewFilesWindow form(rig.ctx, rig.driveFlags, nullptr);
        form.show();
        auto* list = form.findChild<QListWidget*>("ListBox");
        QTRY_COMPARE(list->count(), 1);
        if (smallest)
            form.resize(form.minimumSize());
        // The bar shows during a scan: it has its room then too.
        form.findChild<QProgressBar*>("ProgressBar")->show();
        QTest::qWait(0);

        QCOMPARE(outOfSight(&form, {"Memo1", "ListBox", "ProgressBar", "BackupLabel", "VoegtoeBtn",
                                    "SluitAfBtn"}),
                 QString());
        QVERIFY(list->height() >= 30);
        // The explanation shows all its lines; only a large font in a narrow window wraps them
        // so far that it scrolls.
        auto* explanation = form.findChild<QPlainTextEdit*>("Memo1");
        if (fontScale == 1)
            QVERIFY(!explanation->verticalScrollBar()->isVisible());
        // The label shows both its lines.
        auto* label = form.findChild<QLabel*>("BackupLabel");
        QVERIFY(label->height() >= label->sizeHint().height());
        if (fontScale == 1)
            QVERIFY(form.minimumWidth() <= 600 && form.minimumHeight() <= 300);
    }

    void theDefaultSizeKeepsItsProportions()
    {
        Fixture fixture;
        buildDrives(fixture);
        EngineRig rig(fixture.platform(), "");
        useMedium(rig);
        NewFilesWindow form(rig.ctx, rig.driveFlags, nullptr);
        form.show();
        QCOMPARE(form.size(), QSize(600, 300));
        form.findChild<QProgressBar*>("ProgressBar")->show();
        QTest::qWait(0);
        // The explanation on top, at least 85 high; the status panel at the bottom, at least 53
        // high, with the buttons on its right; the list between them. Heights follow the
        // desktop's font.
        const int list = test::placeOf(&form, form.findChild<QWidget*>("ListBox")).top();
        const int panel = test::placeOf(&form, form.findChild<QWidget*>("StatusPanel")).top();
        QVERIFY(list >= 85 && panel <= 300 - 53);
        const int status = panel + 13;
        const QList<std::pair<const char*, QRect>> expected = {
            {"Memo1", QRect(0, 0, 600, list)},
            {"ListBox", QRect(0, list, 600, panel - list)},
            {"StatusPanel", QRect(0, panel, 600, 300 - panel)},
            {"ProgressBar", QRect(25, panel + 3, 550, 12)},
            {"VoegtoeBtn", QRect(400, status + 1, 90, 25)},
            {"SluitAfBtn", QRect(500, status + 1, 90, 25)},
        };
        const QRect label = test::placeOf(&form, form.findChild<QWidget*>("BackupLabel"));
        QVERIFY(std::abs(label.left() - 8) <= 4 && std::abs(label.width() - 384) <= 4);
        QVERIFY(label.top() >= status - 4 && label.bottom() < 300);
        for (const auto& [name, rect] : expected)
            QCOMPARE(offPlace(&form, name, rect, 4), QString());
    }
};

QTEST_MAIN(TestNewFilesWindow)
#include "tst_newfileswindow.moc"
