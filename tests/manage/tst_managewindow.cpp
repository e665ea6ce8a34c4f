// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/EngineRig.h"
#include "common/Fixture.h"
#include "common/ForwardingPlatform.h"
#include "common/InSight.h"
#include "common/StopQuestion.h"
#include "common/TabOrder.h"
#include "common/WindowActions.h"
#include "engine/MakeBackups.h"
#include "engine/Settings.h"
#include "manage/FolderTree.h"
#include "manage/ManageWindow.h"
#include "platform/OperationLock.h"
#include "support/SystemFacts.h"
#include "worker/BackupDrive.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QToolButton>
#include <QTreeView>
#include <QtTest>

#include <unistd.h>

#include <atomic>

using namespace kx;
using test::answerNextQuestion;
using test::clickLine;
using test::EngineRig;
using test::Fixture;
using test::listLines;
using test::offPlace;
using test::outOfSight;
using test::placeOf;

namespace {
constexpr qint64 T0 = 1700000000;

/** The manage window as the main window's first paint leaves it, then shown. */
struct ManageRig
{
    explicit ManageRig(const Fixture& fixture, char backupDrive = 'e',
                       const std::string& language = "nld", bool perComputer = false)
        : ManageRig(fixture.platform(), backupDrive, language, perComputer)
    {
    }
    ManageRig(std::unique_ptr<Platform> platform, char backupDrive, const std::string& language,
              bool perComputer = false)
        : rig(std::move(platform), language)
    {
        rig.target.perComputerFolders = perComputer;
        drive = std::make_unique<BackupDrive>(rig.ctx, rig.driveFlags);
        form = std::make_unique<ManageWindow>(rig.ctx, *drive, nullptr);
        duplicate =
            std::make_unique<QSignalSpy>(drive.get(), &BackupDrive::duplicateAllowedChanged);
        rig.target.base = std::string(1, backupDrive) + ":\\";
        drive->start();
        form->show();
    }

    QTreeView* tree() const { return form->findChild<QTreeView*>("Boom1"); }
    QListWidget* list(const char* name) const { return form->findChild<QListWidget*>(name); }
    QAbstractButton* button(const char* name) const
    {
        return form->findChild<QAbstractButton*>(name);
    }
    QAction* action(const char* name) const { return form->findChild<QAction*>(name); }
    /** The file command on the worker has ended and the window has shown what it did. */
    bool idle() const
    {
        return QTest::qWaitFor([this] { return !form->isWorking(); }, 5000);
    }
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
    std::unique_ptr<BackupDrive> drive;
    std::unique_ptr<ManageWindow> form;
    std::unique_ptr<QSignalSpy> duplicate;
};

/** A platform whose copies wait until the test opens the gate: a file command is caught in
 *  the middle of its work. */
class GatedCopies : public test::ForwardingPlatform
{
public:
    using ForwardingPlatform::ForwardingPlatform;
    std::atomic<bool> reached = false;
    std::atomic<bool> open = false;

    Result<void> copyFile(const std::string& source, const std::string& dest) override
    {
        reached = true;
        // Never for ever: a test that fails must still end.
        for (int waited = 0; !open && waited < 10000; ++waited)
            QThread::msleep(1);
        return inner().copyFile(source, dest);
    }
};

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
 *  the last one. An empty path clicks the drive's root. False when a folder is not there. */
[[nodiscard]] bool clickFolder(QTreeView* tree, const QStringList& path)
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
        if (!found.isValid()) {
            qWarning("no folder %s", qPrintable(name));
            return false;
        }
        index = found;
    }
    tree->scrollTo(index);
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualRect(index).center());
    return true;
}

/** The controls a user works with, each of which must be in sight. */
const char* const kControls[] = {"BronLabel",    "DoelLabel",      "Boom1",    "DriveComboBox1",
                                 "FileListBox1", "SpeedAdd",       "SpeedDel", "SpeedRestore",
                                 "FileListBox2", "DriveComboBox2", "AddBtn",   "DelBtn",
                                 "RestoreBtn",   "OKBtn",          "HintLabel"};
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

        QVERIFY(clickFolder(m.tree(), folder));

        QCOMPARE(listLines(m.list("FileListBox1")), source);
        QCOMPARE(listLines(m.list("FileListBox2")), backup);
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
        QVERIFY(clickFolder(m.tree(), {"Docs"}));
        QCOMPARE(listLines(source), (QStringList{"a.txt", "b.txt", "c.txt"}));
        QCOMPARE(listLines(backup), QStringList{"a.txt"});

        // A click on the list enables the add commands, even when it leaves nothing selected;
        // the command then does nothing.
        QVERIFY(clickLine(source, "b.txt"));
        QVERIFY(clickLine(source, "b.txt", Qt::ControlModifier));
        QVERIFY(selectedLines(source).isEmpty());
        QCOMPARE(m.states({"AddBtn", "SpeedAdd", "Voegtoe"}),
                 (QStringList{"AddBtn", "SpeedAdd", "Voegtoe"}));
        QTest::mouseClick(m.button("AddBtn"), Qt::LeftButton);
        QVERIFY(m.idle());
        QVERIFY(m.rig.ui.warnings.empty());
        QVERIFY(m.rig.ui.outputLines.empty());

        // a.txt is in the backup already and unchanged: it warns; b.txt and c.txt are added.
        QVERIFY(clickLine(source, "a.txt"));
        QVERIFY(clickLine(source, "c.txt", Qt::ShiftModifier));
        QTest::mouseClick(m.button("AddBtn"), Qt::LeftButton);
        QVERIFY(m.idle());
        QCOMPARE(m.rig.ui.warnings,
                 std::vector<std::string>{fixture.nativeBytes("e:\\c-Docs\\a.txt") +
                                          " is niet toegevoegd aan e:\\"});
        QCOMPARE(m.rig.shownLines(),
                 (QStringList{fixture.native("c:\\Docs\\b.txt") + " toegevoegd",
                              fixture.native("c:\\Docs\\c.txt") + " toegevoegd"}));
        QCOMPARE(fixture.readFile("e:\\c-Docs\\b.txt"), QByteArray("bb"));
        QCOMPARE(fixture.readFile("e:\\c-Docs\\c.txt"), QByteArray("ccc"));
        QCOMPARE(m.rig.media.current.totalSize, std::int64_t(5));
        QCOMPARE(listLines(backup), (QStringList{"a.txt", "b.txt", "c.txt"}));
        QCOMPARE(selectedLines(source), (QStringList{"a.txt", "b.txt", "c.txt"}));

        // Remove everything from the backup through the small button on the splitter.
        QVERIFY(clickLine(backup, "a.txt"));
        QCOMPARE(
            m.states({"DelBtn", "RestoreBtn", "SpeedDel", "SpeedRestore", "Verwijder", "Herstel"}),
            (QStringList{"DelBtn", "RestoreBtn", "SpeedDel", "SpeedRestore", "Verwijder",
                         "Herstel"}));
        m.action("SelecteerAlles2")->trigger();
        QCOMPARE(selectedLines(backup), (QStringList{"a.txt", "b.txt", "c.txt"}));
        QTest::mouseClick(m.button("SpeedDel"), Qt::LeftButton);
        QVERIFY(m.idle());
        QVERIFY(!fixture.exists("e:\\c-Docs\\a.txt"));
        QVERIFY(!fixture.exists("e:\\c-Docs\\c.txt"));
        // The medium had no record: its total does not go below nothing, and closing the
        // window makes up no record.
        QCOMPARE(m.rig.media.current.totalSize, std::int64_t(0));
        QVERIFY(listLines(backup).isEmpty());
        QCOMPARE(m.states({"DelBtn", "RestoreBtn", "SelecteerAlles2", "Verwijder", "Herstel",
                           "SpeedDel", "SpeedRestore"}),
                 (QStringList{"!DelBtn", "!RestoreBtn", "!SelecteerAlles2", "!Verwijder",
                              "!Herstel", "SpeedDel", "SpeedRestore"}));
        QVERIFY(selectedLines(source).isEmpty());
        QCOMPARE(listLines(source), (QStringList{"a.txt", "b.txt", "c.txt"}));
        QTest::mouseClick(m.button("OKBtn"), Qt::LeftButton);
        QVERIFY(!fixture.setting("Last BackUp", "e-").isValid());
        QVERIFY(!fixture.setting("Total Size", "e-").isValid());
    }

    // A backup of the command line (T1) is read at the start; the window's own backup (now)
    // follows. Choosing another drive and then the medium again shows the window's backup, and
    // closing the window keeps it: the earlier record is not written back over it.
    void choosingDrivesKeepsTheLatestRecord()
    {
        Fixture fixture;
        fixture.addDrive('c');
        fixture.addDrive('e', "DRIVE_REMOVABLE");
        fixture.addDrive('g', "DRIVE_FIXED", "Other");
        fixture.writeFile("c:\\Docs\\a.txt", "new", T0 + 60);
        fixture.writeFile("e:\\c-Docs\\a.txt", "old", T0);
        fixture.setSetting("Last BackUp", "e-", "45000");
        fixture.setSetting("Total Size", "e-", "3");
        ManageRig m(fixture, 'e', "");
        readSettings(*m.rig.platform, m.rig.target, m.rig.media, m.rig.ui, m.rig.ctx.language());
        m.drive->choose('g');
        m.drive->choose('e');
        QCOMPARE(m.rig.media.current.lastBackupDate, 45000.0);

        const RunResult run = makeBackups(m.rig.ctx);
        QCOMPARE(run.copiedCount, std::uint64_t(1));
        const double backedUp = m.rig.media.current.lastBackupDate;
        QVERIFY(backedUp > 45000.0);
        m.drive->choose('g');
        m.drive->choose('e');
        QCOMPARE(QString::fromStdString(m.rig.ui.statusLines.back()),
                 " Backup drive: e:, latest backup: " +
                     QString::fromStdString(dateText(m.rig.ctx, backedUp)));
        QCOMPARE(m.rig.media.current.totalSize, std::int64_t(3));

        m.drive->choose('g');
        QTest::mouseClick(m.button("OKBtn"), Qt::LeftButton);
        QCOMPARE(fixture.setting("Last BackUp", "e-").toDouble(), backedUp);
        QCOMPARE(fixture.setting("Total Size", "e-").toLongLong(), 3LL);
    }

    // A drive chosen elsewhere shows in the list, so that picking the earlier drive in the list
    // again is a choice.
    void theBackupListFollowsTheChoice()
    {
        Fixture fixture;
        fixture.addDrive('c');
        fixture.addDrive('e', "DRIVE_REMOVABLE");
        fixture.addDrive('g', "DRIVE_FIXED", "Other");
        ManageRig m(fixture, 'e', "");
        QComboBox* backups = m.driveList("DriveComboBox2");
        QCOMPARE(backups->currentText(), QString("e:"));
        m.drive->choose('g');
        QCOMPARE(backups->currentText(), QString("g: [other]"));
        QCOMPARE(m.rig.target.base, std::string("g:\\"));
        backups->setCurrentIndex(backups->findText("e:"));
        QCOMPARE(m.rig.target.base, std::string("e:\\"));
        QCOMPARE(m.duplicate->last().first().toBool(), true);
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
        QVERIFY(clickFolder(m.tree(), {"Docs"}));
        QCOMPARE(listLines(source), QStringList{"keep.txt"});

        QVERIFY(clickLine(backup, "lost.txt"));
        QTest::mouseClick(m.button("RestoreBtn"), Qt::LeftButton);
        // The command works on the worker: the window takes no other command meanwhile, and
        // shows what it did once it has ended.
        QVERIFY(m.form->isWorking());
        QCOMPARE(m.states({"AddBtn", "DelBtn", "RestoreBtn", "SpeedRestore", "Herstel",
                           "SelecteerAlles2", "OKBtn"}),
                 (QStringList{"!AddBtn", "!DelBtn", "!RestoreBtn", "!SpeedRestore", "!Herstel",
                              "!SelecteerAlles2", "OKBtn"}));
        QVERIFY(!m.tree()->isEnabled() && !backup->isEnabled() &&
                !m.driveList("DriveComboBox2")->isEnabled());
        QCOMPARE(listLines(source), QStringList{"keep.txt"});
        QVERIFY(m.idle());
        QCOMPARE(m.states({"DelBtn", "RestoreBtn", "Herstel"}),
                 (QStringList{"DelBtn", "RestoreBtn", "Herstel"}));
        QVERIFY(m.tree()->isEnabled() && backup->isEnabled());

        QCOMPARE(fixture.readFile("c:\\Docs\\lost.txt"), QByteArray("backup copy"));
        QCOMPARE(fixture.mtime("c:\\Docs\\lost.txt"), T0);
        QCOMPARE(listLines(source), (QStringList{"keep.txt", "lost.txt"}));
        QCOMPARE(m.rig.shownLines(),
                 QStringList{fixture.native("e:\\c-Docs\\lost.txt") + " restored"});
        // The backup list keeps its lines and its selection.
        QCOMPARE(selectedLines(backup), QStringList{"lost.txt"});
    }

    // Closing the window while a command works asks whether to stop it: No goes on, Yes ends
    // the command at its next file and closes the window after it.
    void closingWhileACommandWorksAsksToStopIt()
    {
        Fixture fixture;
        fixture.addDrive('c');
        fixture.addDrive('e', "DRIVE_FIXED");
        fixture.writeFile("c:\\Docs\\a.txt", "aaaa", T0);
        fixture.writeFile("c:\\Docs\\b.txt", "bb", T0);
        auto platform = std::make_unique<GatedCopies>(fixture.platform());
        GatedCopies* gate = platform.get();
        ManageRig m(std::move(platform), 'e', "nld");
        QVERIFY(clickFolder(m.tree(), {"Docs"}));
        QVERIFY(clickLine(m.list("FileListBox1"), "a.txt"));
        QVERIFY(clickLine(m.list("FileListBox1"), "b.txt", Qt::ShiftModifier));
        QTest::mouseClick(m.button("AddBtn"), Qt::LeftButton);
        QTRY_VERIFY(gate->reached);
        QVERIFY(m.form->isWorking());
        const auto close = [&](const QString& answer, bool escape) {
            QString asked;
            answerNextQuestion(answer, &asked);
            if (escape)
                QTest::keyClick(m.form.get(), Qt::Key_Escape);
            else
                QTest::mouseClick(m.button("OKBtn"), Qt::LeftButton);
            QCOMPARE(asked, QString("De lopende bewerking stoppen?"));
        };

        close("NeeBtn", true);
        QVERIFY(m.form->isVisible() && m.form->isWorking());
        close("JaBtn", false);
        QVERIFY(m.form->isVisible());
        gate->open = true;
        QTRY_VERIFY(!m.form->isVisible());
        QVERIFY(!m.form->isWorking());
        // The file being copied is whole or not there; the next one was never begun.
        QVERIFY(!fixture.exists("e:\\c-Docs\\b.txt"));
        QVERIFY(!fixture.exists("e:\\c-Docs\\a.txt") ||
                fixture.readFile("e:\\c-Docs\\a.txt") == "aaaa");
        // What the command added counts in the medium's total, taken before the window closed.
        QCOMPARE(m.rig.media.current.totalSize,
                 std::int64_t(fixture.exists("e:\\c-Docs\\a.txt") ? 4 : 0));
        // The operation lock went with the command.
        OperationLock next;
        QVERIFY(next.tryLock());
    }

    // A command that ends while its stop question is open takes the question with it: the
    // command went its whole way, and the window stays.
    void theStopQuestionClosesWhenTheCommandEnds()
    {
        Fixture fixture;
        fixture.addDrive('c');
        fixture.addDrive('e', "DRIVE_FIXED");
        fixture.writeFile("c:\\Docs\\a.txt", "aaaa", T0);
        auto platform = std::make_unique<GatedCopies>(fixture.platform());
        GatedCopies* gate = platform.get();
        ManageRig m(std::move(platform), 'e', "nld");
        QVERIFY(clickFolder(m.tree(), {"Docs"}));
        QVERIFY(clickLine(m.list("FileListBox1"), "a.txt"));
        QTest::mouseClick(m.button("AddBtn"), Qt::LeftButton);
        QTRY_VERIFY(gate->reached);

        test::StopQuestionWatch watch;
        test::endRunWhileAsked([gate] { gate->open = true; }, &watch);
        QTest::keyClick(m.form.get(), Qt::Key_Escape);
        QVERIFY(watch.asked);
        QVERIFY2(!watch.answered, "the question stayed open after its command had ended");
        QTRY_VERIFY(!m.form->isWorking());
        QVERIFY(m.form->isVisible());
        QCOMPARE(fixture.readFile("e:\\c-Docs\\a.txt"), QByteArray("aaaa"));
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
        QVERIFY(clickFolder(m.tree(), {}));

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
                                   << "Backupschijf f: is niet aangekoppeld"
                                   << " Backupschijf: f:, niet aangekoppeld";
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
        QCOMPARE(m.form->findChild<QWidget*>("Panel1")->width(), 220);
        QCOMPARE(m.form->findChild<QWidget*>("Panel3")->width(), 170);

        m.rig.media.current = {45000.5, 5};
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
        QCOMPARE(fixture.setting("Last BackUp", key).toDouble(), 45000.5);
    }

    void aNetworkDriveIsRefusedAsSource_data()
    {
        QTest::addColumn<QString>("language");
        QTest::addColumn<QString>("warning");
        QTest::newRow("Dutch") << "nld"
                               << "U kunt geen backup maken van een netwerkschijf.";
        QTest::newRow("English") << ""
                                 << "You cannot back up a network drive.";
    }
    void aNetworkDriveIsRefusedAsSource()
    {
        QFETCH(QString, language);
        QFETCH(QString, warning);
        Fixture fixture;
        fixture.addDrive('c');
        fixture.addDrive('e', "DRIVE_FIXED");
        fixture.addDrive('n', "DRIVE_REMOTE");
        ManageRig m(fixture, 'e', language.toStdString());
        QComboBox* sources = m.driveList("DriveComboBox1");
        sources->setCurrentIndex(sources->findText("n:"));
        QCOMPARE(m.rig.ui.warnings, std::vector<std::string>{warning.toStdString()});
        QCOMPARE(sources->currentText(), QString("c:"));
        QCOMPARE(m.tree()->model()->index(0, 0).data().toString(), QString("c:\\"));
        // Each letter shows the folder it stands for.
        QCOMPARE(sources->itemData(sources->findText("n:"), Qt::ToolTipRole).toString(),
                 "n: " + QString::fromStdString(m.rig.platform->nativePath("n:\\")));
        QVERIFY(sources->itemData(sources->findText("n:"), Qt::ToolTipRole)
                    .toString()
                    .endsWith("/drive-n"));
        // As a backup drive it is accepted.
        m.driveList("DriveComboBox2")->setCurrentIndex(sources->findText("n:"));
        QCOMPARE(m.rig.target.base, std::string("n:\\"));
        QCOMPARE(m.rig.ui.warnings.size(), std::size_t(1));
    }

    void tabGoesThroughThePanesInOrder()
    {
        Fixture fixture;
        fixture.addDrive('c');
        fixture.addDrive('e', "DRIVE_REMOVABLE");
        ManageRig m(fixture);
        QCOMPARE(test::tabOrder(m.form.get()),
                 (QStringList{"Boom1", "DriveComboBox1", "FileListBox1", "FileListBox2",
                              "DriveComboBox2", "SpeedAdd", "SpeedDel", "SpeedRestore", "AddBtn",
                              "DelBtn", "RestoreBtn", "OKBtn"}));
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
        QCOMPARE(m.rig.target.base, std::string("a:\\")); // no computer folder
        QCOMPARE(m.rig.ui.statusLines.back(),
                 std::string(" Backupschijf: a: [geen floppy], geen floppy aanwezig"));
        const auto once = floppyLines();
        backups->setCurrentIndex(backups->findText("e:"));
        backups->setCurrentIndex(0);
        QCOMPARE(floppyLines(), once);
        QCOMPARE(backups->currentIndex(), 0);
    }
    void everyControlStaysInSight_data()
    {
        QTest::addColumn<int>("treePane");
        QTest::addColumn<int>("sourceFiles");
        QTest::addColumn<int>("fontScale");
        QTest::addColumn<bool>("smallest");
        QTest::newRow("default size") << 0 << 0 << 1 << false;
        QTest::newRow("smallest size") << 0 << 0 << 1 << true;
        QTest::newRow("stored panes wider than the window") << 2000 << 3000 << 1 << false;
        QTest::newRow("stored panes wider, smallest size") << 2000 << 3000 << 1 << true;
        QTest::newRow("double font, smallest size") << 0 << 0 << 2 << true;
        QTest::newRow("double font, stored panes wider") << 900 << 900 << 2 << false;
    }
    void everyControlStaysInSight()
    {
        QFETCH(int, treePane);
        QFETCH(int, sourceFiles);
        QFETCH(int, fontScale);
        QFETCH(bool, smallest);
        const QFont usual = QApplication::font();
        QFont font = usual;
        font.setPointSizeF(usual.pointSizeF() * fontScale);
        QApplication::setFont(font);
        const auto restoreFont = qScopeGuard([&usual] { QApplication::setFont(usual); });
        Fixture fixture;
        fixture.addDrive('c');
        fixture.addDrive('e', "DRIVE_FIXED", "BACKUP1");
        if (treePane > 0) {
            fixture.setSetting("Defaults", "Splitter1 Left", treePane);
            fixture.setSetting("Defaults", "File1 Width", sourceFiles);
        }
        ManageRig m(fixture);
        if (smallest)
            m.form->resize(m.form->minimumSize());
        QTest::qWait(0);

        const std::vector<const char*> controls(std::begin(kControls), std::end(kControls));
        QCOMPARE(outOfSight(m.form.get(), controls), QString());
        // The smallest size still leaves the panes room to show a few lines.
        for (const char* pane : {"Boom1", "FileListBox1", "FileListBox2"}) {
            const QWidget* widget = m.form->findChild<QWidget*>(pane);
            QVERIFY2(widget->width() >= 50 && widget->height() >= 50, pane);
        }
        if (fontScale == 1)
            QVERIFY(m.form->minimumWidth() <= 550 && m.form->minimumHeight() <= 375);
    }

    void aDraggedSplitterKeepsTheBackupSideInSight()
    {
        Fixture fixture;
        fixture.addDrive('c');
        fixture.addDrive('e', "DRIVE_FIXED", "BACKUP1");
        ManageRig m(fixture);
        for (const char* name : {"Splitter1", "Splitter2"}) {
            QWidget* handle = m.form->findChild<QWidget*>(name);
            const QPoint grip(handle->width() / 2, 4);
            QTest::mousePress(handle, Qt::LeftButton, {}, grip);
            QTest::mouseMove(handle, grip + QPoint(3000, 0));
            QTest::mouseRelease(handle, Qt::LeftButton, {}, grip + QPoint(3000, 0));
        }
        // The drags did move the panes.
        QVERIFY(m.form->findChild<QWidget*>("FileListBox2")->width() < 150);
        const std::vector<const char*> controls(std::begin(kControls), std::end(kControls));
        QCOMPARE(outOfSight(m.form.get(), controls), QString());
    }

    void theDefaultSizeKeepsItsProportions()
    {
        Fixture fixture;
        fixture.addDrive('c');
        fixture.addDrive('e', "DRIVE_FIXED", "BACKUP1");
        ManageRig m(fixture);
        QWidget* form = m.form.get();
        QCOMPARE(form->size(), QSize(550, 375));
        auto place = [form](const char* name) {
            return placeOf(form, form->findChild<QWidget*>(name));
        };
        auto near = [](int actual, int expected) { return std::abs(actual - expected) <= 4; };
        // The panes: tree 200 wide, the source files 150, the backup pane the rest, under a
        // title strip and above a button bar whose heights follow the font, as the handle
        // between the two sides follows its command buttons.
        const int title = place("Boom1").top();
        const int bar = place("Panel2").top();
        const int backup = place("FileListBox2").left();
        QVERIFY(title >= 24 && bar <= 375 - 58);
        QVERIFY(backup - 353 >= place("SpeedAdd").width());
        const QList<std::pair<const char*, QRect>> expected = {
            {"BronBevel", QRect(3, 2, 350, title - 4)},
            {"BackupBevel", QRect(backup, 2, 548 - backup, title - 4)},
            {"FileListBox1", QRect(203, title, 150, bar - title)},
            {"Panel2", QRect(0, bar, 550, 375 - bar)},
        };
        for (const auto& [name, rect] : expected)
            QCOMPARE(offPlace(form, name, rect, 4), QString());
        QVERIFY(near(place("Boom1").left(), 2) && near(place("Boom1").width(), 195));
        QVERIFY(near(place("FileListBox2").right(), 549));
        // Each drive list stands centred under its pane, in a band twice its height.
        for (const auto& [list, pane] :
             {std::pair{"DriveComboBox1", "Boom1"}, std::pair{"DriveComboBox2", "FileListBox2"}}) {
            const QRect box = place(list);
            QVERIFY2(near(box.center().x(), place(pane).center().x()), list);
            QVERIFY2(near(box.top() - place(pane).bottom(), box.height() / 2), list);
            QVERIFY2(near(bar - box.bottom(), box.height() / 2), list);
        }
        // The command buttons, 102 wide and 10 apart, in a row centred in the bar.
        const char* const buttons[] = {"AddBtn", "DelBtn", "RestoreBtn", "OKBtn"};
        for (int i = 0; i < 4; ++i) {
            const QRect button = place(buttons[i]);
            QVERIFY2(near(button.left(), 56 + 112 * i) && button.width() >= 102 &&
                         near(button.top(), bar + 8),
                     buttons[i]);
        }
        // The command buttons stand one above the other between the source files and the
        // backup pane, around the middle of the panes.
        const QRect add = place("SpeedAdd");
        const QRect del = place("SpeedDel");
        const QRect restore = place("SpeedRestore");
        QVERIFY(add.left() >= place("FileListBox1").right());
        QVERIFY(add.right() < place("FileListBox2").left());
        QVERIFY(add.bottom() < del.top() && del.bottom() < restore.top());
        QVERIFY(near(del.center().y(), place("FileListBox1").center().y()));
        // A wider window widens the tree, the source files and the backup pane.
        form->resize(850, 375);
        QTest::qWait(0);
        QVERIFY(place("Boom1").width() > 195 + 50);
        QVERIFY(place("FileListBox1").width() > 150 + 50);
        QVERIFY(place("FileListBox2").width() > 165 + 50);
    }

    void theFirstOpeningShowsLongFolderNamesWhole()
    {
        Fixture fixture;
        // Drive c holds the fixture's home, as "/" holds /home/anna.
        fixture.mapDrive('c', fixture.root());
        fixture.addDrive('e', "DRIVE_FIXED", "BACKUP1");
        fixture.makeDir("c:\\home\\Belastingaangifte en jaaroverzichten 2025");
        fixture.makeDir("c:\\home\\.local");
        ManageRig m(fixture);
        QTreeView* tree = m.tree();
        const QModelIndex home = tree->currentIndex();
        QVERIFY(home.isValid());
        QVERIFY(tree->isExpanded(home));
        const int room = tree->viewport()->width();
        for (int row = 0; row < tree->model()->rowCount(home); ++row) {
            const QModelIndex folder = tree->model()->index(row, 0, home);
            QVERIFY2(tree->visualRect(folder).right() < room, qPrintable(folder.data().toString()));
        }
        QVERIFY(m.form->width() > 550);
        // A width the user chose stays.
        m.form->close();
        ManageRig again(fixture);
        QCOMPARE(again.form->size(), m.form->size());
    }

    void firstUseOpensTheTreeAtHome_data()
    {
        QTest::addColumn<bool>("homeHasItsDrive");
        QTest::addColumn<QString>("drive");
        QTest::addColumn<QString>("folder");
        QTest::newRow("home on drive c") << false << "c:"
                                         << "c:\\home\\";
        QTest::newRow("home on a drive of its own") << true << "h:"
                                                    << "h:\\";
    }
    void firstUseOpensTheTreeAtHome()
    {
        QFETCH(bool, homeHasItsDrive);
        QFETCH(QString, drive);
        QFETCH(QString, folder);
        Fixture fixture;
        // Drive c holds the fixture's home, as "/" holds /home/anna.
        fixture.mapDrive('c', fixture.root());
        fixture.addDrive('e', "DRIVE_FIXED", "BACKUP1");
        if (homeHasItsDrive)
            fixture.mapDrive('h', fixture.root() + "/home");
        const std::string home = homeHasItsDrive ? "h:\\" : "c:\\home\\";
        fixture.writeFile(home + "notes.txt", "n", T0);
        ManageRig m(fixture);

        QCOMPARE(m.driveList("DriveComboBox1")->currentText(), drive);
        auto* tree = m.form->findChild<FolderTree*>("Boom1");
        QCOMPARE(QString::fromStdString(tree->directory()), folder);
        QCOMPARE(listLines(m.list("FileListBox1")), QStringList{"notes.txt"});
        // The drive's root stays at the top of the tree.
        QCOMPARE(tree->model()->index(0, 0).data().toString(), drive + "\\");

        // A drive chosen later opens at its root, as before.
        QComboBox* sources = m.driveList("DriveComboBox1");
        sources->setCurrentIndex(sources->findText("e: [backup1]"));
        sources->setCurrentIndex(sources->findText(drive));
        QCOMPARE(QString::fromStdString(tree->directory()), drive + "\\");
    }

    void theCommandButtonsAreEasyToHitAndShowWhenTheyAreOff()
    {
        Fixture fixture;
        fixture.addDrive('c');
        fixture.addDrive('e', "DRIVE_FIXED", "BACKUP1");
        ManageRig m(fixture);
        for (const char* name : {"SpeedAdd", "SpeedDel", "SpeedRestore"}) {
            auto* button = m.form->findChild<QToolButton*>(name);
            QVERIFY2(button->width() >= 28 && button->height() >= 28, name);
            const QIcon icon = button->icon();
            const QImage on = icon.pixmap(button->iconSize(), QIcon::Normal).toImage();
            const QImage off = icon.pixmap(button->iconSize(), QIcon::Disabled).toImage();
            QVERIFY2(!on.isNull() && on != off, name);
            // And so the button as a whole looks different.
            button->setEnabled(false);
            const QImage disabledLook = button->grab().toImage();
            button->setEnabled(true);
            QVERIFY2(button->grab().toImage() != disabledLook, name);
            QVERIFY2(!button->accessibleName().isEmpty(), name);
        }
    }
};

QTEST_MAIN(TestManageWindow)
#include "tst_managewindow.moc"
