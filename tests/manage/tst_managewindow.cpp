#include "common/EngineRig.h"
#include "common/Fixture.h"
#include "manage/ManageWindow.h"
#include "support/SystemFacts.h"

#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QListWidget>
#include <QSignalSpy>
#include <QTreeView>
#include <QtTest>

#include <unistd.h>

using namespace kx;
using test::EngineRig;
using test::Fixture;

namespace {
constexpr qint64 T0 = 1700000000;

/** The manage window as the main window's first paint leaves it, then shown. */
struct ManageRig
{
    explicit ManageRig(const Fixture& fixture, char backupDrive = 'e',
                       const std::string& language = "nld", bool perComputer = false)
        : rig(fixture.platform(), language)
    {
        rig.state.perComputerFolders = perComputer;
        form = std::make_unique<ManageWindow>(rig.ctx, nullptr);
        duplicate = std::make_unique<QSignalSpy>(form.get(), &ManageWindow::duplicateAllowed);
        form->onSourceDriveChanged();
        form->selectBackupDrive(backupDrive);
        rig.state.mainFormReady = true;
        form->onBackupDriveChanged();
        form->show();
    }

    QTreeView* tree() const { return form->findChild<QTreeView*>("Boom1"); }
    QListWidget* list(const char* name) const { return form->findChild<QListWidget*>(name); }
    QAbstractButton* button(const char* name) const
    {
        return form->findChild<QAbstractButton*>(name);
    }
    QAction* action(const char* name) const { return form->findChild<QAction*>(name); }
    QComboBox* driveList(const char* name) const { return form->findChild<QComboBox*>(name); }

    /** Which of the named buttons and menu items are enabled, as "Name" or "!Name". */
    QStringList states(const QStringList& names) const
    {
        QStringList out;
        for (const QString& name : names) {
            const QByteArray n = name.toLatin1();
            bool on = false;
            if (QAbstractButton* b = button(n.constData()))
                on = b->isEnabled();
            else if (QAction* a = action(n.constData()))
                on = a->isEnabled();
            else
                return {"no control " + name};
            out << (on ? name : "!" + name);
        }
        return out;
    }

    EngineRig rig;
    std::unique_ptr<ManageWindow> form;
    std::unique_ptr<QSignalSpy> duplicate;
};

QStringList lines(const QListWidget* list)
{
    QStringList out;
    for (int row = 0; row < list->count(); ++row)
        out << list->item(row)->text();
    return out;
}

QStringList selectedLines(const QListWidget* list)
{
    QStringList out;
    for (int row = 0; row < list->count(); ++row) {
        if (list->item(row)->isSelected())
            out << list->item(row)->text();
    }
    return out;
}

/** Opens the folders above the last one, as the user does with the expand buttons, and clicks
 *  the last one. An empty path clicks the drive's root. */
void clickFolder(QTreeView* tree, const QStringList& path)
{
    QAbstractItemModel* model = tree->model();
    QModelIndex index = model->index(0, 0);
    for (const QString& name : path) {
        tree->expand(index);
        QModelIndex found;
        for (int row = 0; row < model->rowCount(index); ++row) {
            if (model->index(row, 0, index).data().toString() == name)
                found = model->index(row, 0, index);
        }
        QVERIFY2(found.isValid(), qPrintable(name));
        index = found;
    }
    tree->scrollTo(index);
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualRect(index).center());
}

void clickLine(QListWidget* list, const QString& text, Qt::KeyboardModifiers modifiers = {})
{
    const auto items = list->findItems(text, Qt::MatchExactly);
    QCOMPARE(items.size(), 1);
    list->scrollToItem(items[0]);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, modifiers,
                      list->visualItemRect(items[0]).center());
}
} // namespace

class TestManageWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        qputenv("TZ", "UTC");
        ::tzset();
        QLocale::setDefault(QLocale::c());
    }

    void theBackupPaneShowsTheMirrorOfTheChosenFolder_data()
    {
        QTest::addColumn<QStringList>("folder");
        QTest::addColumn<bool>("perComputer");
        QTest::addColumn<QStringList>("source");
        QTest::addColumn<QStringList>("backup");
        QTest::newRow("drive root") << QStringList{} << false << QStringList{"boot.ini"}
                                    << QStringList{"boot.ini", "old.ini"};
        QTest::newRow("two levels down") << QStringList{"Docs", "Sub"} << false
                                         << QStringList{"x.txt", "Y.txt"} << QStringList{"x.txt"};
        QTest::newRow("per computer") << QStringList{"Docs", "Sub"} << true
                                      << QStringList{"x.txt", "Y.txt"} << QStringList{"Y.txt"};
        QTest::newRow("no mirror folder")
            << QStringList{"Other"} << false << QStringList{"z.txt"} << QStringList{};
    }
    void theBackupPaneShowsTheMirrorOfTheChosenFolder()
    {
        QFETCH(QStringList, folder);
        QFETCH(bool, perComputer);
        QFETCH(QStringList, source);
        QFETCH(QStringList, backup);
        Fixture fixture;
        fixture.addDrive('c');
        fixture.addDrive('e', "DRIVE_FIXED", "BACKUP1");
        fixture.writeFile("c:\\boot.ini", "b", T0);
        fixture.writeFile("c:\\Docs\\Sub\\x.txt", "x", T0);
        fixture.writeFile("c:\\Docs\\Sub\\Y.txt", "y", T0);
        fixture.writeFile("c:\\Other\\z.txt", "z", T0);
        fixture.writeFile("e:\\c-\\boot.ini", "b", T0);
        fixture.writeFile("e:\\c-\\old.ini", "o", T0);
        fixture.writeFile("e:\\c-Docs\\Sub\\x.txt", "x", T0);
        const std::string computer = computerName(*fixture.platform());
        if (perComputer && computer.empty())
            QSKIP("This machine has no name");
        fixture.writeFile("e:\\" + computer + "\\c-Docs\\Sub\\Y.txt", "y", T0);

        ManageRig m(fixture, 'e', "nld", perComputer);
        QCOMPARE(m.rig.ui.statusLines.back(),
                 std::string(" Backupschijf: e: [backup1], geen laatste backupdatum bekend"));
        QCOMPARE(m.duplicate->size(), 1);
        QCOMPARE(m.duplicate->first().first().toBool(), false); // a fixed disk
        // The drive's top-level folders show under its root, in order.
        const QModelIndex root = m.tree()->model()->index(0, 0);
        QCOMPARE(root.data().toString(), QString("c:\\"));
        QVERIFY(m.tree()->isExpanded(root));
        QCOMPARE(m.tree()->model()->index(0, 0, root).data().toString(), QString("Docs"));
        QCOMPARE(m.tree()->model()->index(1, 0, root).data().toString(), QString("Other"));

        clickFolder(m.tree(), folder);

        QCOMPARE(lines(m.list("FileListBox1")), source);
        QCOMPARE(lines(m.list("FileListBox2")), backup);
        const QStringList afterClick = {"!AddBtn",        "!SpeedAdd",
                                        "!DelBtn",        "!RestoreBtn",
                                        "SelecteerAlles", "SelecteerBestandenInBackup"};
        QCOMPARE(m.states({"AddBtn", "SpeedAdd", "DelBtn", "RestoreBtn", "SelecteerAlles",
                           "SelecteerBestandenInBackup"}),
                 afterClick);
        QCOMPARE(m.action("SelecteerAlles2")->isEnabled(), !backup.isEmpty());
        QCOMPARE(m.form->findChild<QWidget*>("HintLabel")->property("text").toString(),
                 QString("Kies de juiste Bron-directory"));
    }

    void addAndRemoveThroughTheButtons()
    {
        Fixture fixture;
        fixture.addDrive('c');
        fixture.addDrive('e', "DRIVE_REMOVABLE");
        fixture.writeFile("c:\\Docs\\a.txt", "aaaa", T0);
        fixture.writeFile("c:\\Docs\\b.txt", "bb", T0);
        fixture.writeFile("c:\\Docs\\c.txt", "ccc", T0);
        fixture.writeFile("e:\\c-Docs\\a.txt", "aaaa", T0);
        ManageRig m(fixture);
        QCOMPARE(m.duplicate->first().first().toBool(), true); // a removable medium
        QListWidget* source = m.list("FileListBox1");
        QListWidget* backup = m.list("FileListBox2");
        clickFolder(m.tree(), {"Docs"});
        QCOMPARE(lines(source), (QStringList{"a.txt", "b.txt", "c.txt"}));
        QCOMPARE(lines(backup), QStringList{"a.txt"});

        // A click on the list enables the add commands, even when it leaves nothing selected;
        // the command then does nothing.
        clickLine(source, "b.txt");
        clickLine(source, "b.txt", Qt::ControlModifier);
        QVERIFY(selectedLines(source).isEmpty());
        QCOMPARE(m.states({"AddBtn", "SpeedAdd", "Voegtoe"}),
                 (QStringList{"AddBtn", "SpeedAdd", "Voegtoe"}));
        QTest::mouseClick(m.button("AddBtn"), Qt::LeftButton);
        QVERIFY(m.rig.ui.warnings.empty());
        QVERIFY(m.rig.ui.memoLines.empty());

        // a.txt is in the backup already and unchanged: it warns; b.txt and c.txt are added.
        clickLine(source, "a.txt");
        clickLine(source, "c.txt", Qt::ShiftModifier);
        QTest::mouseClick(m.button("AddBtn"), Qt::LeftButton);
        QCOMPARE(m.rig.ui.warnings,
                 std::vector<std::string>{"e:\\c-Docs\\a.txt is niet toegevoegd aan e:\\"});
        QCOMPARE(m.rig.memo(),
                 (QStringList{"c:\\Docs\\b.txt toegevoegd", "c:\\Docs\\c.txt toegevoegd"}));
        QCOMPARE(fixture.readFile("e:\\c-Docs\\b.txt"), QByteArray("bb"));
        QCOMPARE(fixture.readFile("e:\\c-Docs\\c.txt"), QByteArray("ccc"));
        QCOMPARE(m.rig.state.backupTotalSize, std::int64_t(5));
        QCOMPARE(lines(backup), (QStringList{"a.txt", "b.txt", "c.txt"}));
        QCOMPARE(selectedLines(source), (QStringList{"a.txt", "b.txt", "c.txt"}));
        QVERIFY(!m.rig.state.operationRunning);

        // Remove everything from the backup through the small button on the splitter.
        clickLine(backup, "a.txt");
        QCOMPARE(
            m.states({"DelBtn", "RestoreBtn", "SpeedDel", "SpeedRestore", "Verwijder", "Herstel"}),
            (QStringList{"DelBtn", "RestoreBtn", "SpeedDel", "SpeedRestore", "Verwijder",
                         "Herstel"}));
        m.action("SelecteerAlles2")->trigger();
        QCOMPARE(selectedLines(backup), (QStringList{"a.txt", "b.txt", "c.txt"}));
        QTest::mouseClick(m.button("SpeedDel"), Qt::LeftButton);
        QVERIFY(!fixture.exists("e:\\c-Docs\\a.txt"));
        QVERIFY(!fixture.exists("e:\\c-Docs\\c.txt"));
        QCOMPARE(m.rig.state.backupTotalSize, std::int64_t(5 - 9));
        QVERIFY(lines(backup).isEmpty());
        QCOMPARE(m.states({"DelBtn", "RestoreBtn", "SelecteerAlles2", "Verwijder", "Herstel",
                           "SpeedDel", "SpeedRestore"}),
                 (QStringList{"!DelBtn", "!RestoreBtn", "!SelecteerAlles2", "!Verwijder",
                              "!Herstel", "SpeedDel", "SpeedRestore"}));
        QVERIFY(selectedLines(source).isEmpty());
        QCOMPARE(lines(source), (QStringList{"a.txt", "b.txt", "c.txt"}));
    }

    void restoreBringsBackADeletedSource()
    {
        Fixture fixture;
        fixture.addDrive('c');
        fixture.addDrive('e', "DRIVE_FIXED", "BACKUP1");
        fixture.writeFile("c:\\Docs\\keep.txt", "k", T0);
        fixture.writeFile("e:\\c-Docs\\lost.txt", "backup copy", T0);
        ManageRig m(fixture, 'e', "");
        QListWidget* source = m.list("FileListBox1");
        QListWidget* backup = m.list("FileListBox2");
        clickFolder(m.tree(), {"Docs"});
        QCOMPARE(lines(source), QStringList{"keep.txt"});

        clickLine(backup, "lost.txt");
        QTest::mouseClick(m.button("RestoreBtn"), Qt::LeftButton);

        QCOMPARE(fixture.readFile("c:\\Docs\\lost.txt"), QByteArray("backup copy"));
        QCOMPARE(fixture.mtime("c:\\Docs\\lost.txt"), T0);
        QCOMPARE(lines(source), (QStringList{"keep.txt", "lost.txt"}));
        QCOMPARE(m.rig.memo(), QStringList{"e:\\c-Docs\\lost.txt restored"});
        // The backup list keeps its lines and its selection.
        QCOMPARE(selectedLines(backup), QStringList{"lost.txt"});
    }

    void selectFilesInBackupMatchesNamesWithoutRegardToCase()
    {
        Fixture fixture;
        fixture.addDrive('c');
        fixture.addDrive('e', "DRIVE_FIXED");
        fixture.writeFile("c:\\Readme.TXT", "r", T0);
        fixture.writeFile("c:\\other.txt", "o", T0);
        fixture.writeFile("e:\\c-\\readme.txt", "r", T0);
        ManageRig m(fixture);
        clickFolder(m.tree(), {});

        m.action("SelecteerBestandenInBackup")->trigger();
        QCOMPARE(selectedLines(m.list("FileListBox1")), QStringList{"Readme.TXT"});
        QCOMPARE(m.states({"AddBtn", "SpeedAdd", "Voegtoe"}),
                 (QStringList{"AddBtn", "SpeedAdd", "Voegtoe"}));

        m.action("KeerSelectieOm1")->trigger();
        QCOMPARE(selectedLines(m.list("FileListBox1")), QStringList{"other.txt"});
    }

    void closingStoresTheDriveTheMediumAndTheLayout_data()
    {
        QTest::addColumn<char>("drive");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("warning");
        QTest::addColumn<QString>("status");
        QTest::newRow("medium present")
            << 'e' << "e:\\"
            << ""
            << " Backupschijf: e: [backup1], geen laatste backupdatum bekend";
        QTest::newRow("no medium") << 'f' << "g:\\"
                                   << "Er zit geen CD-r(w) in schijfstation f:\\"
                                   << " Backupschijf: f:, geen schijf aanwezig";
    }
    void closingStoresTheDriveTheMediumAndTheLayout()
    {
        QFETCH(char, drive);
        QFETCH(QString, stored);
        QFETCH(QString, warning);
        QFETCH(QString, status);
        Fixture fixture;
        fixture.addDrive('c');
        fixture.addDrive('e', "DRIVE_FIXED", "BACKUP1");
        fixture.addMissingDrive('f', "DRIVE_CDROM");
        fixture.writeFile("c:\\a.txt", "12345", T0);
        fixture.setSetting("Defaults", "BackUp Drive", "g:\\");
        fixture.setSetting("Defaults", "Beheer Width", 640);
        fixture.setSetting("Defaults", "Beheer Height", 400);
        fixture.setSetting("Defaults", "Splitter1 Left", 220);
        fixture.setSetting("Defaults", "File1 Width", 170);
        ManageRig m(fixture, drive);
        QCOMPARE(QString::fromStdString(m.rig.ui.statusLines.back()), status);
        QCOMPARE(m.rig.ui.warnings.empty() ? QString()
                                           : QString::fromStdString(m.rig.ui.warnings[0]),
                 warning);
        QCOMPARE(m.form->width(), 640);
        QCOMPARE(m.form->findChild<QWidget*>("Splitter1")->x(), 220);

        m.rig.state.backupTotalSize = 5;
        QTest::mouseClick(m.button("OKBtn"), Qt::LeftButton);
        QVERIFY(!m.form->isVisible());

        QCOMPARE(fixture.setting("Defaults", "BackUp Drive").toString(), stored);
        QCOMPARE(fixture.setting("Defaults", "Beheer Width").toInt(), 640);
        QCOMPARE(fixture.setting("Defaults", "Beheer Height").toInt(), 400);
        QCOMPARE(fixture.setting("Defaults", "Splitter1 Left").toInt(), 220);
        QCOMPARE(fixture.setting("Defaults", "File1 Width").toInt(), 170);
        QCOMPARE(fixture.setting("Defaults", "Boom Width").toInt(), 215);
        const QString key = drive == 'e' ? "e-Backup1" : "f-";
        QCOMPARE(fixture.setting("Total Size", key).toLongLong(), 5);
    }

    void aNetworkDriveIsRefusedAsSource()
    {
        Fixture fixture;
        fixture.addDrive('c');
        fixture.addDrive('e', "DRIVE_FIXED");
        fixture.addDrive('n', "DRIVE_REMOTE");
        ManageRig m(fixture);
        QComboBox* sources = m.driveList("DriveComboBox1");
        sources->setCurrentIndex(sources->findText("n:"));
        QCOMPARE(m.rig.ui.warnings,
                 std::vector<std::string>{"U kunt geen backup maken van een netwerkschijf."});
        QCOMPARE(sources->currentText(), QString("c:"));
        QCOMPARE(m.tree()->model()->index(0, 0).data().toString(), QString("c:\\"));
        // As a backup drive it is accepted.
        m.driveList("DriveComboBox2")->setCurrentIndex(sources->findText("n:"));
        QCOMPARE(m.rig.state.backupBase, std::string("n:\\"));
        QCOMPARE(m.rig.ui.warnings.size(), std::size_t(1));
    }

    void aFloppyDriveWithoutADiskIsReportedOnce()
    {
        Fixture fixture;
        fixture.addMissingDrive('a', "DRIVE_REMOVABLE");
        fixture.addDrive('c');
        fixture.addDrive('e', "DRIVE_FIXED");
        ManageRig m(fixture, 'e', "nld", true);
        QComboBox* backups = m.driveList("DriveComboBox2");
        QCOMPARE(backups->itemText(0), QString("a: [geen floppy]"));
        auto floppyLines = [&m] {
            return std::count_if(m.rig.ui.statusLines.begin(), m.rig.ui.statusLines.end(),
                                 [](const std::string& line) {
                                     return line.find("geen floppy aanwezig") != std::string::npos;
                                 });
        };

        backups->setCurrentIndex(0);
        QCOMPARE(m.rig.state.backupBase, std::string("a:\\")); // no computer folder
        QCOMPARE(m.rig.ui.statusLines.back(),
                 std::string(" Backupschijf: a: [geen floppy], geen floppy aanwezig"));
        const auto once = floppyLines();
        backups->setCurrentIndex(backups->findText("e:"));
        backups->setCurrentIndex(0);
        QCOMPARE(floppyLines(), once);
        QCOMPARE(backups->currentIndex(), 0);
    }
};

QTEST_MAIN(TestManageWindow)
#include "tst_managewindow.moc"
