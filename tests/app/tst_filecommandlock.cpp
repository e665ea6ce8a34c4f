// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/EngineRig.h"
#include "common/Fixture.h"
#include "manage/ManageWindow.h"
#include "newer/NewFilesWindow.h"
#include "platform/OperationLock.h"

#include <QAbstractButton>
#include <QAction>
#include <QListWidget>
#include <QTreeView>
#include <QtTest>

using namespace kx;
using test::EngineRig;
using test::Fixture;

namespace {
constexpr qint64 T0 = 1700000000;

void clickLine(QListWidget* list, const QString& text)
{
    const auto items = list->findItems(text, Qt::MatchExactly);
    QCOMPARE(items.size(), 1);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualItemRect(items[0]).center());
}
} // namespace

// The file commands of the manage and newer-files windows wait for no other Kopierix operation:
// beside one, they are refused with a warning and leave every file as it was.
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
        QTest::newRow("add") << "FileListBox1"
                             << "a.txt"
                             << "AddBtn";
        QTest::newRow("remove") << "FileListBox2"
                                << "b.txt"
                                << "DelBtn";
        QTest::newRow("restore") << "FileListBox2"
                                 << "b.txt"
                                 << "RestoreBtn";
    }
    void theManageWindowRefuses()
    {
        QFETCH(QString, list);
        QFETCH(QString, line);
        QFETCH(QString, button);
        Fixture fixture;
        fixture.addDrive('c');
        fixture.addDrive('e', "DRIVE_FIXED");
        fixture.writeFile("c:\\a.txt", "a", T0);
        fixture.writeFile("e:\\c-\\b.txt", "b", T0);
        EngineRig rig(fixture.platform(), "");
        ManageWindow form(rig.ctx, rig.driveFlags, nullptr);
        form.onSourceDriveChanged();
        form.selectBackupDrive('e');
        form.setWindowsReady();
        form.onBackupDriveChanged();
        form.show();
        auto* tree = form.findChild<QTreeView*>("Boom1");
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {},
                          tree->visualRect(tree->model()->index(0, 0)).center());
        clickLine(form.findChild<QListWidget*>(list), line);
        OperationLock other;
        QVERIFY(other.tryLock());

        QTest::mouseClick(form.findChild<QAbstractButton*>(button), Qt::LeftButton);
        QCOMPARE(rig.ui.warnings, std::vector<std::string>{
                                      "Another Kopierix operation is running; try again later."});
        QVERIFY(rig.ui.memoLines.empty());
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
        QCOMPARE(list->item(0)->text(), QString("c:\\docs\\c.doc"));
    }
};

QTEST_MAIN(TestFileCommandLock)
#include "tst_filecommandlock.moc"
