#include "common/EngineRig.h"
#include "common/Fixture.h"
#include "newer/NewFilesWindow.h"
#include "support/FileDate.h"

#include <QAbstractButton>
#include <QAction>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QSignalSpy>
#include <QtTest>

#include <unistd.h>

using namespace kx;
using test::EngineRig;
using test::Fixture;

namespace {
constexpr qint64 T0 = 1600000000; // the medium's last backup
constexpr qint64 kDay = 86400;

QStringList lines(const QListWidget* list)
{
    QStringList out;
    for (int row = 0; row < list->count(); ++row)
        out << list->item(row)->text();
    return out;
}

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
    rig.state.backupBase = base;
    rig.state.lastBackupDate = localTimeToDateTime(rig.platform->toLocal(T0));
}
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
        const double lastDate = rig.state.lastBackupDate;
        NewFilesWindow form(rig.ctx, nullptr);
        QSignalSpy changed(&form, &NewFilesWindow::backupChanged);
        auto* list = form.findChild<QListWidget*>("ListBox");
        auto* add = form.findChild<QAbstractButton*>("VoegtoeBtn");

        form.show();
        QTRY_COMPARE(lines(list), QStringList{"c:\\docs\\c.doc"});
        QVERIFY(form.findChild<QLabel*>("BackupLabel")
                    ->text()
                    .startsWith("Backup drive: e:\nDate of latest Backup: "));
        QVERIFY(!form.findChild<QProgressBar*>("ProgressBar")->isVisible());
        QVERIFY(!add->isEnabled());
        QVERIFY(!rig.state.operationRunning);

        QAction* selectAll = form.findChild<QAction*>("SelecteerAlles");
        QVERIFY(selectAll->isEnabled());
        selectAll->trigger();
        QVERIFY(add->isEnabled());
        QTest::mouseClick(add, Qt::LeftButton);

        QCOMPARE(fixture.readFile("e:\\c-docs\\c.doc"), QByteArray("cc"));
        QCOMPARE(lines(list), QStringList{"c:\\docs\\c.doc - added"});
        QCOMPARE(rig.memo(), QStringList{"c:\\docs\\c.doc added"});
        QCOMPARE(changed.size(), 1);
        QVERIFY(!add->isEnabled());
        // The moment of the command is stored; the date in memory stays for later scans.
        QVERIFY(fixture.setting("Last BackUp", "e-").toDouble() > lastDate);
        QCOMPARE(rig.state.lastBackupDate, lastDate);

        // A line that carries the marker is not added again.
        selectAll->trigger();
        QTest::mouseClick(add, Qt::LeftButton);
        QCOMPARE(rig.memo().size(), 1);

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
        QTRY_COMPARE(lines(list), QStringList{"c:\\docs\\f.doc"});
    }

    void withNothingToProposeTheOneLineIsNeverSelected()
    {
        Fixture fixture;
        buildDrives(fixture);
        fixture.writeFile("e:\\c-docs\\c.doc", "cc", T0);
        EngineRig rig(fixture.platform(), "nld");
        useMedium(rig);
        NewFilesWindow form(rig.ctx, nullptr);
        auto* list = form.findChild<QListWidget*>("ListBox");
        form.show();
        QTRY_COMPARE(lines(list), QStringList{"Er zijn geen nieuwere bestanden om toe te voegen."});
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
        NewFilesWindow form(rig.ctx, nullptr);
        form.show();
        QTRY_VERIFY(!form.isVisible());
        QCOMPARE(rig.ui.warnings, std::vector<std::string>{"No CD-r(w) in drive f:\\"});
        QVERIFY(rig.state.noDisk);
        QVERIFY(fixture.setting("Defaults", "Nieuwer Width").isValid());
    }
};

QTEST_MAIN(TestNewFilesWindow)
#include "tst_newfileswindow.moc"
