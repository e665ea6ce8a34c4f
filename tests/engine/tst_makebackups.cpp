// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/EngineRig.h"
#include "common/FaultyPlatform.h"
#include "common/Fixture.h"
#include "common/ForwardingPlatform.h"
#include "common/RunTraces.h"
#include "engine/MakeBackups.h"
#include "engine/MediumRecords.h"
#include "engine/Settings.h"
#include "support/SizeText.h"

#include <QtTest>

#include <algorithm>
#include <functional>

#include <dirent.h>
#include <unistd.h>

using namespace kx;
using test::EngineRig;
using test::Fixture;
using test::logLines;

namespace {
constexpr qint64 T0 = 1700000000; // November 2023, outside any daylight saving in UTC

/** Makes the backup drive current as the first paint does. */
void selectMedium(EngineRig& rig, char letter = 'e')
{
    rig.selectBackupDrive(letter);
    rig.ui.statusLines.clear();
}

/** Hands on every listing in name order, or in reverse: a walk must not depend on the order in
 *  which the file system lists a folder. */
class OrderedListings : public test::ForwardingPlatform
{
public:
    OrderedListings(std::unique_ptr<Platform> inner, bool reverse)
        : ForwardingPlatform(std::move(inner)), m_reverse(reverse)
    {
    }

    Result<std::unique_ptr<DirListing>> openDir(const std::string& path) override
    {
        auto listing = inner().openDir(path);
        if (!listing)
            return listing;
        auto ordered = std::make_unique<Ordered>();
        FileInfo entry;
        while (listing.value()->next(entry))
            ordered->entries.push_back(entry);
        std::sort(ordered->entries.begin(), ordered->entries.end(),
                  [this](const FileInfo& a, const FileInfo& b) {
                      return m_reverse ? b.name < a.name : a.name < b.name;
                  });
        return std::unique_ptr<DirListing>(std::move(ordered));
    }

private:
    struct Ordered : DirListing
    {
        std::vector<FileInfo> entries;
        std::size_t at = 0;
        bool next(FileInfo& entry) override
        {
            if (at == entries.size())
                return false;
            entry = entries[at++];
            return true;
        }
    };
    bool m_reverse;
};
} // namespace

class TestMakeBackups : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        qputenv("TZ", "UTC");
        ::tzset();
        QLocale::setDefault(QLocale::c());
    }

    void refreshesAChangedSourceAndRecordsTheMedium_data()
    {
        QTest::addColumn<QString>("language");
        QTest::addColumn<QStringList>("expected");
        // The sizes after the run: the new copy's 12 bytes, not the old one's 11.
        const QString size = QString::fromStdString(formatSize(12, '.'));
        QTest::newRow("Dutch") << "nld"
                               << QStringList{
                                      "%c/Docs/a.txt gekopieerd naar e:",
                                      "",
                                      "Aantal bestanden gekopieerd naar e: = 1",
                                      "Totale grootte gekopieerde bestanden = " + size + "bytes",
                                      "Totaal aantal Backup-bestanden = 1",
                                      "Totaal schijfgebruik Backup-bestanden = " + size + "bytes"};
        QTest::newRow("English") << ""
                                 << QStringList{
                                        "%c/Docs/a.txt copied to e:",
                                        "",
                                        "Number of files copied to e: = 1",
                                        "Total size of copied files = " + size + "bytes",
                                        "Total number of Backup files = 1",
                                        "Total disk usage Backup files = " + size + "bytes"};
    }
    void refreshesAChangedSourceAndRecordsTheMedium()
    {
        QFETCH(QString, language);
        QFETCH(QStringList, expected);
        Fixture fixture;
        fixture.addDrive('c');
        fixture.addDrive('e', "DRIVE_CDROM", "BACKUP1");
        fixture.writeFile("e:\\C-Docs\\a.txt", "old content", T0);
        fixture.writeFile("c:\\Docs\\a.txt", "new content!", T0 + 60);
        EngineRig rig(fixture.platform(), language.toStdString());
        selectMedium(rig);

        const RunResult run = makeBackups(rig.ctx);
        QVERIFY(run.entered);

        QCOMPARE(fixture.readFile("e:\\C-Docs\\a.txt"), QByteArray("new content!"));
        QCOMPARE(fixture.mtime("e:\\C-Docs\\a.txt"), T0 + 60);
        const QStringList shown = rig.shownLines();
        // The source as the user knows it; the drive by its letter.
        expected[0].replace("%c", fixture.native("c:\\"));
        QCOMPARE(shown.mid(0, 6), expected);
        QCOMPARE(shown.size(), 7);
        QVERIFY(shown[6].startsWith(language == "nld" ? "Vrije ruimte op e: [backup1] ="
                                                      : "Free space on e: [backup1] ="));
        QVERIFY(shown[6].endsWith("Bytes"));

        const QStringList log = logLines(fixture);
        // The click's line is the window's; the engine's log starts with the run itself.
        QCOMPARE(log, shown);

        // The medium's records, under its drive key; the size is the one after the refresh.
        QVERIFY(fixture.setting("Last BackUp", "e-Backup1").toDouble() > 45000);
        QCOMPARE(fixture.setting("Total Size", "e-Backup1").toLongLong(), 12);
        // The count tells the window that the first backup has been made.
        QCOMPARE(run.copiedCount, std::uint64_t(1));
        QVERIFY(!rig.ui.statusLines.empty());
        // This system reads no autorun file: none is put on the medium.
        QVERIFY(!fixture.exists("e:\\Autorun.inf"));

        // At once again: nothing to copy, and the records stay as they were.
        const QVariant date = fixture.setting("Last BackUp", "e-Backup1");
        rig.ui.statusLines.clear();
        QVERIFY(makeBackups(rig.ctx).entered);
        QCOMPARE(rig.shownLines().at(1), language == "nld"
                                             ? QString("Aantal bestanden gekopieerd naar e: = 0")
                                             : QString("Number of files copied to e: = 0"));
        QCOMPARE(fixture.setting("Last BackUp", "e-Backup1"), date);
        QCOMPARE(fixture.setting("Total Size", "e-Backup1").toLongLong(), 12);
        QCOMPARE(rig.shownLines().at(4), shown.at(5)); // the same disk usage as the run before
        QVERIFY(rig.ui.statusLines.empty());
    }

    void onlyBackupFilesCountAndOnlyNewerSourcesAreCopied()
    {
        Fixture fixture;
        fixture.addDrive('c');
        fixture.addDrive('e', "DRIVE_FIXED");
        struct Case
        {
            std::string backup;
            std::string source; // empty: no source
            qint64 sourceAge;   // seconds newer than the backup copy
            bool copied;
        };
        const std::vector<Case> cases = {
            {"e:\\C-Docs\\changed.txt", "c:\\Docs\\changed.txt", 60, true},
            {"e:\\C-Docs\\four.txt", "c:\\Docs\\four.txt", 4, true},
            // The fixture's folders keep exact times: two seconds newer is newer.
            {"e:\\C-Docs\\two.txt", "c:\\Docs\\two.txt", 2, true},
            {"e:\\C-Docs\\older.txt", "c:\\Docs\\older.txt", -100, false},
            {"e:\\C-Docs\\deleted.txt", "", 0, false},
            {"e:\\C-Docs\\.dotfile", "c:\\Docs\\.dotfile", 60, true},
            {"e:\\C-\\root.ini", "c:\\root.ini", 60, true},
            {"e:\\C-Docs\\Sub\\deep.txt", "c:\\Docs\\Sub\\deep.txt", 60, true},
            {"e:\\X-files\\a.txt", "", 0, false}, // drive x: does not exist
            // Another case names another file: this one has no source.
            {"e:\\C-DOCS\\Case.TXT", "", 0, false},
            // Inside a mirror folder a dot-folder is user data like any other.
            {"e:\\C-Docs\\.thunderbird\\prefs.js", "c:\\Docs\\.thunderbird\\prefs.js", 60, true},
            // A read-only copy (of a read-only source) is refreshed all the same.
            {"e:\\C-Docs\\locked.txt", "c:\\Docs\\locked.txt", 60, true},
            // Names are bytes: one that is not UTF-8 is copied as it is.
            {"e:\\C-Docs\\caf\xe9.txt", "c:\\Docs\\caf\xe9.txt", 60, true},
        };
        int backups = 0, copies = 0;
        for (const Case& c : cases) {
            fixture.writeFile(c.backup, "backup", T0);
            if (!c.source.empty())
                fixture.writeFile(c.source, "source", T0 + c.sourceAge);
            ++backups;
            copies += c.copied;
        }
        // Never counted: files in the medium's root, in folders without "-" at the top level,
        // and below the medium's own dot-folders.
        fixture.writeFile("e:\\readme.txt", "x", T0);
        fixture.writeFile("e:\\Other\\C-Docs\\z.txt", "x", T0);
        fixture.writeFile("e:\\.Trash-1000\\C-Docs\\h.txt", "x", T0);
        const auto readOnly = QFileDevice::ReadOwner | QFileDevice::ReadOther;
        for (const char* path : {"e:\\C-Docs\\locked.txt", "c:\\Docs\\locked.txt"})
            QVERIFY(QFile::setPermissions(fixture.native(path), readOnly));
        // A link back to its own folder is passed over, not followed.
        QVERIFY(QFile::link(fixture.native("e:\\C-Docs"), fixture.native("e:\\C-Docs\\loop")));

        EngineRig rig(fixture.platform());
        selectMedium(rig);
        const RunResult run = makeBackups(rig.ctx);
        QVERIFY(run.entered);

        for (const Case& c : cases) {
            const QByteArray want = c.copied ? "source" : "backup";
            QVERIFY2(fixture.readFile(c.backup) == want, c.backup.c_str());
        }
        QCOMPARE(run.copiedCount, std::uint64_t(copies));
        QCOMPARE(run.backupFileCount, std::uint64_t(backups));
        QCOMPARE(rig.media.current.totalSize, std::int64_t(6 * backups));
        QCOMPARE(run.copiedSize, std::int64_t(6 * copies));
        const std::string odd = fixture.nativeBytes("c:\\Docs\\caf\xe9.txt") + " copied to e:";
        QVERIFY(std::find(rig.ui.outputLines.begin(), rig.ui.outputLines.end(), odd) !=
                rig.ui.outputLines.end());
        QCOMPARE(QFile::permissions(fixture.native("e:\\C-Docs\\locked.txt")),
                 QFile::permissions(fixture.native("c:\\Docs\\locked.txt")));
        QVERIFY(!rig.shownLines().contains("Number of failed copies = 1"));
        QVERIFY(
            rig.shownLines().contains("Source drive X: is not available: 1 backup files skipped"));
        QVERIFY(rig.shownLines().contains("Number of backup files without a source = 2"));
        QVERIFY(!fixture.exists("e:\\Autorun.inf")); // a fixed disk gets none
    }

    void aFolderThatCannotBeReadIsReportedAndTheRestGoesOn_data()
    {
        QTest::addColumn<bool>("reverse");
        QTest::newRow("the unreadable folder listed first") << false;
        QTest::newRow("the unreadable folder listed last") << true;
    }
    void aFolderThatCannotBeReadIsReportedAndTheRestGoesOn()
    {
        QFETCH(bool, reverse);
        Fixture fixture;
        fixture.addDrive('c');
        fixture.addDrive('e', "DRIVE_FIXED");
        fixture.writeFile("e:\\C-Locked\\a.txt", "backup", T0);
        fixture.writeFile("e:\\C-Open\\b.txt", "backup", T0);
        fixture.writeFile("c:\\Open\\b.txt", "source", T0 + 60);
        auto faulty = std::make_unique<test::FaultyPlatform>(fixture.platform());
        faulty->failOpenDir["e:\\C-Locked"] = SystemError{5, "Permission denied"};
        EngineRig rig(std::make_unique<OrderedListings>(std::move(faulty), reverse));
        selectMedium(rig);
        QVERIFY(makeBackups(rig.ctx).entered);

        QCOMPARE(fixture.readFile("e:\\C-Open\\b.txt"), QByteArray("source"));
        const QStringList shown = rig.shownLines();
        QVERIFY(shown.contains("Folder " + fixture.native("e:\\C-Locked") +
                               " cannot be read: Permission denied"));
        QVERIFY(shown.contains("Number of folders that could not be read = 1"));
        QVERIFY(logLines(fixture).contains("Number of folders that could not be read = 1"));
        QVERIFY(!shown.join('\n').contains("failed copies"));
    }

    // The status of the files and their sources is looked up ahead, many at once, in runs: the
    // lines still come in the order of a plain walk, over more folders and files than the
    // lookups hold at a time.
    void linesComeInTheOrderOfAPlainWalk()
    {
        Fixture fixture;
        fixture.addDrive('c');
        fixture.addDrive('e', "DRIVE_FIXED");
        int n = 0;
        auto addFile = [&](const std::string& folder) {
            const std::string name = "f" + std::to_string(n) + ".txt";
            fixture.writeFile("e:\\C-Tree\\" + folder + "\\" + name, "old", T0);
            // Some sources changed, some are gone, the rest are as their copies.
            if (n % 40 == 0)
                fixture.writeFile("c:\\Tree\\" + folder + "\\" + name, "new", T0 + 60);
            else if (n % 7 != 0)
                fixture.writeFile("c:\\Tree\\" + folder + "\\" + name, "old", T0);
            ++n;
        };
        for (int d = 0; d < 3; ++d) {
            const std::string top = "D" + std::to_string(d);
            for (int i = 0; i < 30; ++i)
                addFile(top);
            for (int sub = 0; sub < 10; ++sub) {
                for (int i = 0; i < 100; ++i)
                    addFile(top + "\\S" + std::to_string(sub));
            }
            for (int i = 0; i < 10; ++i)
                addFile(top + "\\S0\\Deep");
        }
        // The lines a walk of one thread gives, in the file system's own order of each folder.
        // Copies are told once they are in place, in groups, so each kind of line keeps its own
        // order.
        QStringList copied;
        QStringList withoutSource;
        const std::function<void(const QString&, const std::string&)> walk =
            [&](const QString& native, const std::string& folder) {
                DIR* dir = ::opendir(QFile::encodeName(native).constData());
                QVERIFY(dir);
                std::vector<std::pair<std::string, bool>> entries;
                while (const dirent* entry = ::readdir(dir)) {
                    const std::string name = entry->d_name;
                    if (name != "." && name != "..")
                        entries.emplace_back(name, entry->d_type == DT_DIR);
                }
                ::closedir(dir);
                for (const auto& [name, isDir] : entries) {
                    const std::string sub = folder + "\\" + name;
                    if (isDir) {
                        walk(native + "/" + QString::fromStdString(name), sub);
                        continue;
                    }
                    const int i = std::stoi(name.substr(1));
                    const std::string source = "c:\\Tree" + sub;
                    if (i % 40 == 0)
                        copied << fixture.native(source) + " copied to e:";
                    else if (i % 7 == 0)
                        withoutSource << "No source for backup file " +
                                             fixture.native("e:\\C-Tree" + sub) + ": " +
                                             fixture.native(source);
                }
            };
        walk(fixture.native("e:\\C-Tree"), "");
        EngineRig rig(fixture.platform());
        selectMedium(rig);

        const RunResult run = makeBackups(rig.ctx);

        QCOMPARE(run.backupFileCount, std::uint64_t(n));
        const QStringList log = logLines(fixture);
        QCOMPARE(log.filter(QRegularExpression(" copied to e:$")), copied);
        QCOMPARE(log.filter(QRegularExpression("^No source for backup file ")), withoutSource);
    }

    void perComputerModeRefreshesTheComputersOwnFolder()
    {
        Fixture fixture;
        fixture.addDrive('c');
        fixture.addDrive('e', "DRIVE_FIXED");
        // The mode's stored form: choosing the drive puts this computer's folder in the root.
        fixture.setSetting("Defaults", "BackUp Drive", "e:\\\\");
        EngineRig rig(fixture.platform());
        readSettings(*rig.platform, rig.target, rig.media, rig.ui, rig.ctx.language());
        selectMedium(rig);
        const std::string computer = "e:\\" + rig.platform->computerName() + "\\";
        QCOMPARE(rig.target.base, computer);
        fixture.writeFile(computer + "C-Docs\\a.txt", "old", T0);
        fixture.writeFile(computer + "loose.txt", "in the computer's root", T0);
        fixture.writeFile("c:\\Docs\\a.txt", "new", T0 + 60);

        const RunResult run = makeBackups(rig.ctx);

        QVERIFY(run.entered);

        QCOMPARE(fixture.readFile(computer + "C-Docs\\a.txt"), QByteArray("new"));
        QCOMPARE(run.backupFileCount, std::uint64_t(1));
        const QStringList shown = rig.shownLines();
        QVERIFY(shown.contains(fixture.native("c:\\Docs\\a.txt") + " copied to e:"));
        QVERIFY(shown.contains("Number of files copied to e: = 1"));
    }

    void aFailedCopyIsLoggedCountedAndKeepsTheOldCopy()
    {
        Fixture fixture;
        fixture.addDrive('c');
        fixture.addDrive('e', "DRIVE_FIXED");
        fixture.writeFile("e:\\C-Docs\\full.txt", "old", T0);
        fixture.writeFile("c:\\Docs\\full.txt", "new", T0 + 60);
        auto faulty = std::make_unique<test::FaultyPlatform>(fixture.platform());
        faulty->failCopyTo["e:\\C-Docs\\full.txt"] =
            SystemError{112, "There is not enough space on the disk"};
        EngineRig rig(std::move(faulty), "nld");
        selectMedium(rig);
        const RunResult run = makeBackups(rig.ctx);
        QVERIFY(run.entered);

        QCOMPARE(fixture.readFile("e:\\C-Docs\\full.txt"), QByteArray("old"));
        QCOMPARE(run.copiedCount, std::uint64_t(0));
        QCOMPARE(run.backupFileCount, std::uint64_t(1));
        const QStringList log = logLines(fixture);
        QVERIFY(log.contains(fixture.native("c:\\Docs\\full.txt") +
                             " niet gekopieerd naar e: - There is not enough space on the disk"));
        QVERIFY(rig.shownLines().contains(QString::fromUtf8("Aantal mislukte kopieën = 1")));
    }

    void aMissingMediumIsReportedAndNothingIsWalked()
    {
        Fixture fixture;
        fixture.addMissingDrive('e', "DRIVE_CDROM");
        EngineRig rig(fixture.platform(), "nld");
        const BackupDriveChoice choice = rig.selectBackupDrive();
        rig.ui.statusLines.clear();
        QVERIFY(choice.noDisk);
        rig.ui.warnings.clear();

        QVERIFY(!makeBackups(rig.ctx).entered);
        QCOMPARE(rig.ui.warnings,
                 (std::vector<std::string>{"Backupschijf e: is niet aangekoppeld"}));
        QCOMPARE(rig.shownLines().at(1), QString("Aantal bestanden gekopieerd naar e: = 0"));
        QCOMPARE(rig.shownLines().at(3), QString("Totaal aantal Backup-bestanden = 0"));
        // Free space that cannot be read is no number, in the window or the log.
        QVERIFY2(rig.shownLines().filter("Vrije ruimte").isEmpty(),
                 qPrintable(rig.shownLines().join('\n')));
        QVERIFY(logLines(fixture).filter("-1").isEmpty());
    }

    void progressFollowsThePreviousTotal_data()
    {
        QTest::addColumn<qint64>("storedTotal");
        QTest::addColumn<int>("lastPosition");
        QTest::newRow("first run on the medium: the bar stays at 0") << qint64(0) << 0;
        QTest::newRow("the same total: the bar reaches the end") << qint64(4000) << 100;
        QTest::newRow("the medium grew: the bar stops at the end") << qint64(1000) << 100;
        QTest::newRow("half of the previous total") << qint64(8000) << 50;
    }
    void progressFollowsThePreviousTotal()
    {
        QFETCH(qint64, storedTotal);
        QFETCH(int, lastPosition);
        Fixture fixture;
        fixture.addDrive('c');
        fixture.addDrive('e', "DRIVE_FIXED");
        for (int i = 0; i < 4; ++i)
            fixture.writeFile("e:\\C-Docs\\f" + std::to_string(i), QByteArray(1000, 'x'), T0);
        EngineRig rig(fixture.platform());
        selectMedium(rig);
        rig.media.current.totalSize = storedTotal;
        makeBackups(rig.ctx);
        QCOMPARE(rig.ui.positions.back(), lastPosition);
        QVERIFY(!rig.ui.progressShown);
    }

    void countsBeyondSixteenBits()
    {
        Fixture fixture;
        fixture.addDrive('c');
        const QString medium = fixture.addDrive('e', "DRIVE_FIXED");
        const int files = 65537;
        for (int folder = 0; folder * 1000 < files; ++folder) {
            const QString dir = medium + QString("/C-Many/%1").arg(folder);
            QVERIFY(QDir().mkpath(dir));
            for (int i = folder * 1000; i < std::min(files, (folder + 1) * 1000); ++i) {
                QFile f(dir + QString("/%1").arg(i));
                QVERIFY(f.open(QIODevice::WriteOnly));
            }
        }
        EngineRig rig(fixture.platform());
        selectMedium(rig);
        const RunResult run = makeBackups(rig.ctx);
        QVERIFY(run.entered);
        QCOMPARE(run.backupFileCount, std::uint64_t(files));
        QVERIFY(rig.shownLines().contains("Total number of Backup files = 65537"));
    }
};

QTEST_GUILESS_MAIN(TestMakeBackups)
#include "tst_makebackups.moc"
