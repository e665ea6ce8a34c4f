// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/EngineRig.h"
#include "common/Fixture.h"
#include "common/WindowActions.h"
#include "manage/ManageWindow.h"
#include "newer/NewFilesWindow.h"
#include "platform/OperationLock.h"
#include "worker/BackupDrive.h"

#include <QAbstractButton>
#include <QAction>
#include <QListWidget>
#include <QTreeView>
#include <QtTest>

using namespace kx;
using test::clickLine;
using test::EngineRig;
using test::Fixture;

namespace {
constexpr qint64 T0 = 1700000000;
} // namespace

// The file commands of the manage and newer-files windows wait for no other Kopierix operation:
// beside one, or when the lock cannot be taken, or on a backup drive that can never hold a
// backup, they are refused with a warning that says why and leave every file as it was.
class TestFileCommandLock : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QLocale::setDefault(QLocale::c()); }

    void theManageWindowRefuses_data()
    {
        QTest::addColumn<QString>("list");
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("cause");
        QTest::addColumn<QString>("warning"); // %1 stands for the settings folder
        const QString running = "Another Kopierix operation is running; try again later.";
        QTest::newRow("add") << "FileListBox1"
                             << "a.txt"
                             << "AddBtn"
                             << "running" << running;
        QTest::newRow("remove") << "FileListBox2"
                                << "b.txt"
                                << "DelBtn"
                                << "running" << running;
        QTest::newRow("restore") << "FileListBox2"
                                 << "b.txt"
                                 << "RestoreBtn"
                                 << "running" << running;
        QTest::newRow("restore, the lock is a folder")
            << "FileListBox2"
            << "b.txt"
            << "RestoreBtn"
            << "lock folder"
            << "Kopierix cannot take its operation lock, so nothing is done: "
               "%1/Kopierix.lock: not a regular file";
        QTest::newRow("add, the backup drive is /proc")
            << "FileListBox1"
            << "a.txt"
            << "AddBtn"
            << "proc"
            << "h: can never be the Backup drive: /proc lies on the system's proc file system, "
               "not on a medium";
    }
    void theManageWindowRefuses()
    {
        QFETCH(QString, list);
        QFETCH(QString, line);
        QFETCH(QString, button);
        QFETCH(QString, cause);
        QFETCH(QString, warning);
        Fixture fixture;
        fixture.addDrive('c');
        fixture.addDrive('e', "DRIVE_FIXED");
        fixture.mapDrive('h', "/proc", "DRIVE_FIXED");
        fixture.writeFile("c:\\a.txt", "a", T0);
        fixture.writeFile("e:\\c-\\b.txt", "b", T0);
        EngineRig rig(fixture.platform(), "");
        BackupDrive drive(rig.ctx, rig.driveFlags);
        ManageWindow form(rig.ctx, drive, nullptr);
        rig.target.base = cause == "proc" ? "h:\\" : "e:\\";
        drive.start();
        form.show();
        auto* tree = form.findChild<QTreeView*>("Boom1");
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {},
                          tree->visualRect(tree->model()->index(0, 0)).center());
        QVERIFY(clickLine(form.findChild<QListWidget*>(list), line));
        const QString settingsFolder = QFileInfo(fixture.settingsPath()).path();
        OperationLock other;
        if (cause == "running")
            QVERIFY(other.tryLock());
        else if (cause == "lock folder")
            QVERIFY(QDir().mkpath(settingsFolder + "/Kopierix.lock"));

        QTest::mouseClick(form.findChild<QAbstractButton*>(button), Qt::LeftButton);
        QCOMPARE(rig.ui.warnings,
                 std::vector<std::string>{warning.arg(settingsFolder).toStdString()});
        QVERIFY(rig.ui.outputLines.empty());
        QVERIFY(!fixture.exists("e:\\c-\\a.txt"));
        QCOMPARE(fixture.readFile("e:\\c-\\b.txt"), QByteArray("b"));
        QVERIFY(!fixture.exists("c:\\b.txt") && !fixture.exists("c:\\B.txt"));
    }

    void theNewerFilesWindowRefusesToAdd()
    {
        Fixture fixture;
        fixture.addDrive('c');
        fixture.addDrive('e', "DRIVE_FIXED");
        fixture.writeFile("e:\\c-docs\\a.doc", "a", T0);
        fixture.writeFile("c:\\docs\\c.doc", "cc", T0 + 60);
        EngineRig rig(fixture.platform(), "nld");
        rig.target.base = "e:\\";
        NewFilesWindow form(rig.ctx, rig.driveFlags, nullptr);
        auto* list = form.findChild<QListWidget*>("ListBox");
        form.show();
        QTRY_COMPARE(list->count(), 1);
        form.findChild<QAction*>("SelecteerAlles")->trigger();
        OperationLock other;
        QVERIFY(other.tryLock());

        QTest::mouseClick(form.findChild<QAbstractButton*>("VoegtoeBtn"), Qt::LeftButton);
        QCOMPARE(rig.ui.warnings,
                 std::vector<std::string>{
                     "Er loopt al een bewerking van Kopierix; probeer het later opnieuw."});
        QVERIFY(!fixture.exists("e:\\c-docs\\c.doc"));
        QCOMPARE(list->item(0)->text(), fixture.native("c:\\docs\\c.doc"));
    }
};

QTEST_MAIN(TestFileCommandLock)
#include "tst_filecommandlock.moc"
