// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/FaultyPlatform.h"
#include "common/Fixture.h"
#include "common/ForwardingPlatform.h"
#include "common/RecordingUi.h"
#include "common/RunTraces.h"
#include "engine/ActivityLog.h"
#include "engine/Duplicate.h"
#include "engine/EngineContext.h"
#include "engine/StopRequest.h"
#include "support/SizeText.h"

#include <QtTest>

#include <functional>
#include <map>
#include <set>

using namespace kx;

namespace {

// The fixture's platform with made-up space, volume names and temporary areas for the drives a
// test lists: drives that are folders on one file system cannot differ in free space, and a
// folder has no volume name to change. Drives that a test does not list cannot tell their space.
class FakeDrives : public test::ForwardingPlatform
{
public:
    using ForwardingPlatform::ForwardingPlatform;

    std::map<char, std::int64_t> free;
    std::map<char, std::int64_t> total;
    std::map<char, std::string> labels;
    std::map<char, std::string> areas;
    std::vector<std::pair<char, std::string>> labelsSet;
    bool renameFails = false;
    std::set<char> failFlush;

    Result<void> flushDrive(char letter) override
    {
        if (failFlush.count(letter) == 0)
            return inner().flushDrive(letter);
        return SystemError{5, "Input/output error"};
    }

    std::int64_t freeSpace(char letter) override
    {
        const auto it = free.find(letter);
        return it == free.end() ? -1 : it->second;
    }
    std::int64_t totalSpace(char letter) override
    {
        const auto it = total.find(letter);
        return it == total.end() ? -1 : it->second;
    }
    Result<std::string> volumeLabel(char letter) override
    {
        const auto it = labels.find(letter);
        if (it == labels.end())
            return inner().volumeLabel(letter);
        return it->second;
    }
    bool setVolumeLabel(char letter, const std::string& label) override
    {
        labelsSet.emplace_back(letter, label);
        if (renameFails)
            return false;
        labels[letter] = label;
        return true;
    }
    std::string temporaryArea(char letter) override
    {
        const auto it = areas.find(letter);
        return it == areas.end() ? inner().temporaryArea(letter) : it->second;
    }
};

// Also records the captions and the start text of each name question, and lets a test act
// (swap the medium) when a question comes.
struct DuplicateUi : test::RecordingUi
{
    std::vector<std::string> captions;
    std::vector<std::string> startTexts;
    std::function<void(const std::string&)> onQuestion;
    std::function<void(const RunResult&)> onCounts;

    void runCounts(const RunResult& counts) override
    {
        if (onCounts)
            onCounts(counts);
    }

    bool askYesNo(const std::string& caption, const std::string& question) override
    {
        captions.push_back(caption);
        if (onQuestion)
            onQuestion(question);
        return RecordingUi::askYesNo(caption, question);
    }
    bool askText(const std::string& caption, const std::string& prompt,
                 std::string& answer) override
    {
        captions.push_back(caption);
        startTexts.push_back(answer);
        return RecordingUi::askText(caption, prompt, answer);
    }
};

bool isNewMediumQuestion(const std::string& question)
{
    return question.find(": have been copied to disk ") != std::string::npos ||
           question.find(": zijn gekopieerd naar schijf ") != std::string::npos;
}

constexpr std::int64_t kMediumFree = 1000000;

// A removable medium 'e' named Backup1 with three backup files, a temporary disk 't' with
// plenty of room, and everything an operation is given.
struct Setup
{
    test::Fixture fixture;
    std::unique_ptr<FakeDrives> platform;
    test::FaultyPlatform* faults = nullptr; // below the made-up drives
    BackupTarget target;
    MediaRecords media;
    DuplicateUi ui;
    std::unique_ptr<ActivityLog> log;
    SystemFacts facts;
    StopRequest stop;
    std::unique_ptr<EngineContext> ctx;

    // Adds the drives; a test may add more before start().
    explicit Setup(bool mediumPresent = true)
    {
        if (mediumPresent)
            fixture.addDrive('e', "DRIVE_REMOVABLE", "Backup1");
        else
            fixture.addMissingDrive('e');
        fixture.addDrive('t', "DRIVE_FIXED", "Temp");
    }

    void start(const std::string& language = "")
    {
        auto faulty = std::make_unique<test::FaultyPlatform>(fixture.platform());
        faults = faulty.get();
        platform = std::make_unique<FakeDrives>(std::move(faulty));
        platform->free = {{'e', kMediumFree}, {'t', 50000000}};
        // The medium's file system holds much else besides: only its backup files count.
        platform->total = {{'e', kMediumFree + 100000000000}};
        log = std::make_unique<ActivityLog>(*platform, *platform);
        facts.languageCode = language;
        ctx.reset(new EngineContext{*platform, target, media, ui, *log, facts, &stop});
        target.base = "e:\\";
        media.currentKey = "e-"; // a removable drive shows no name in the drive list
    }

    void fillMedium(char drive = 'e')
    {
        const std::string d(1, drive);
        fixture.writeFile(d + ":\\S-Docs\\a.txt", "aaaa");
        fixture.writeFile(d + ":\\S-Docs\\Sub\\b.txt", "bb");
        fixture.writeFile(d + ":\\S-\\boot.ini", "r");
        fixture.writeFile(d + ":\\Autorun.inf", "[autorun]");
    }

    QString folderOf(char drive) const
    {
        return fixture.root() + "/drive-" + QChar::fromLatin1(drive);
    }

    // At the question for the new medium, the old one leaves the drive and an empty medium
    // with `label` comes in.
    void swapMediumAtNewMediumQuestion(const std::string& label)
    {
        ui.onQuestion = [this, label](const std::string& question) {
            if (!isNewMediumQuestion(question))
                return;
            QVERIFY(QDir().rename(folderOf('e'), fixture.root() + "/old-e"));
            QVERIFY(QDir().mkpath(folderOf('e')));
            platform->labels['e'] = label;
        };
    }

    static QStringList qt(const std::vector<std::string>& lines)
    {
        QStringList result;
        for (const auto& line : lines)
            result << QString::fromStdString(line);
        return result;
    }
    QString size(std::int64_t bytes) const
    {
        return QString::fromStdString(formatSize(bytes, platform->decimalSeparator()));
    }
    QStringList tempRoot() const
    {
        return QDir(folderOf('t')).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
    }
};

} // namespace

class TestDuplicate : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QLocale::setDefault(QLocale::c()); }

    void cancelAtTheIntroduction_data()
    {
        QTest::addColumn<QString>("language");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("intro");
        QTest::newRow("Dutch")
            << "nld"
            << "Kopierix - Dupliceren"
            << "Deze functie is bedoeld voor de gebruikers van programma's als InCD, waarmee de "
               "CD-rw als harde schijf kan worden gebruikt. \r\r"
               "U kunt nu de Backup-CD-rw naar een andere CD-rw kopiëren.\r\r"
               "Zorg er eerst voor dat de nieuwe Backupschijf een ondubbelzinnige naam draagt, "
               "b.v. Backup-b of Backup-2 (als de eerste schijf Backup-a of Backup-1 heette). "
               "Verder moet de nieuwe schijf juist geformateerd en leeg zijn.\r\r"
               "Stop nu de Backupschijf in het schrijfstation en klik op \"Volgende\" als u "
               "verder wilt gaan.";
        QTest::newRow("English")
            << ""
            << "Kopierix - Duplicate"
            << "This function is ment for users of programs like InCD. With this software the "
               "CD-r/w can be used as a hard disk. \r\r"
               "Now you may copy the Backup CD-r/w to another CD-r/w.\r\r"
               "First give the new Backup disk a unique name, e.g. Backup-b or Backup-2 "
               "(assuming the name of the first disk is Backup-a or Backup-1). Furthermore be "
               "sure the new disk has been formatted and is empty.\r\r"
               "Now put the Backup disk into the burner drive and click \"Next\" to proceed.";
    }

    void cancelAtTheIntroduction()
    {
        QFETCH(QString, language);
        QFETCH(QString, caption);
        QFETCH(QString, intro);
        Setup s;
        s.start(language.toStdString());
        s.fillMedium();
        s.media.current.totalSize = 12345;

        QVERIFY(!duplicateMedium(*s.ctx).completed);

        QCOMPARE(Setup::qt(s.ui.captions), QStringList({caption}));
        QCOMPARE(Setup::qt(s.ui.questions), QStringList({intro}));
        // A cancel leaves the medium's record as it was.
        QCOMPARE(s.media.current.totalSize, std::int64_t(12345));
        QVERIFY(test::logLines(s.fixture).isEmpty());
        QVERIFY(s.tempRoot().isEmpty());
        QVERIFY(s.ui.outputLines.empty());
        QVERIFY(!s.ui.progressShown);
    }

    void aCompleteRun_data()
    {
        QTest::addColumn<QString>("language");
        QTest::addColumn<QString>("area"); // as the platform offers it; empty for its own choice
        QTest::addColumn<QStringList>("shown"); // %1 the copied size, %2 the free space
        QTest::addColumn<QStringList>("log");
        QTest::addColumn<QString>("status");
        QTest::addColumn<QString>("ready");
        // The lines name the temporary drive, wherever on it the area lies.
        QTest::newRow("Dutch, in the root")
            << "nld"
            << ""
            << QStringList({"Kopiëren naar tijdelijke opslag...",
                            "Aantal bestanden gekopieerd naar t: = 3",
                            "Totale grootte gekopieerde bestanden = %1bytes", "",
                            "Kopiëren naar nieuwe Backupschijf...",
                            "Aantal bestanden gekopieerd van t: naar e: = 3",
                            "Totale grootte gekopieerde bestanden = %1bytes",
                            "Vrije ruimte op e: =%2Bytes"})
            << QStringList({"3 bestanden gekopieerd van e: naar t:",
                            "Totale grootte gekopieerde bestanden = %1bytes.",
                            "3 bestanden gekopieerd van t: naar e:.",
                            "Totale grootte gekopieerde bestanden = %1Bytes.",
                            "Vrije ruimte op e: =%2Bytes"})
            << " Backupschijf: e:, laatste backup: "
            << "Het kopiëren is gereed.\rU kunt de kopie nu ook als "
               "Backupschijf gebruiken.";
        QTest::newRow("English, in a folder of the user's")
            << ""
            << "t:\\Users\\anna\\.cache\\Kopierix\\"
            << QStringList({"Copying to temp. disk space...", "Number of files copied to t: = 3",
                            "Total size of copied files = %1bytes", "",
                            "Copying to the new Backup disk...",
                            "Number of files, copied from t: to e: = 3",
                            "Total size of copied files = %1bytes", "Free space on e: =%2Bytes"})
            << QStringList({"3 files copied from e: to t:", "Total size of file = %1bytes.",
                            "3 files copied from t: to e:.",
                            "Total size of copied files = %1Bytes.", "Free space on e: =%2Bytes"})
            << " Backup drive e:, latest backup: "
            << "Copying is ready.\rYou may now use the copy as a backup "
               "disk.";
    }

    void aCompleteRun()
    {
        QFETCH(QString, language);
        QFETCH(QString, area);
        QFETCH(QStringList, shown);
        QFETCH(QStringList, log);
        QFETCH(QString, status);
        QFETCH(QString, ready);
        Setup s;
        s.start(language.toStdString());
        s.fillMedium();
        if (!area.isEmpty()) {
            s.platform->areas['t'] = area.toStdString();
            s.fixture.makeDir(area.toStdString());
        }
        QFile::setPermissions(s.fixture.native("e:\\S-Docs\\Sub\\b.txt"), QFileDevice::ReadOwner);
        s.media.current.lastBackupDate = 45000.25;
        s.media.current.totalSize = 700;
        s.swapMediumAtNewMediumQuestion("Backup2");
        s.ui.yesNoAnswers = {true, true};

        const DuplicateResult run = duplicateMedium(*s.ctx);
        QVERIFY(run.completed);

        // The new medium holds the backup files, not the medium's own files of its root.
        QCOMPARE(s.fixture.readFile("e:\\S-Docs\\a.txt"), QByteArray("aaaa"));
        QCOMPARE(s.fixture.readFile("e:\\S-Docs\\Sub\\b.txt"), QByteArray("bb"));
        QCOMPARE(s.fixture.readFile("e:\\S-\\boot.ini"), QByteArray("r"));
        QVERIFY(!s.fixture.exists("e:\\Autorun.inf"));
        QVERIFY(QFileInfo::exists(s.fixture.root() + "/old-e/S-Docs/a.txt"));
        // Nothing of the temporary area is left, and nothing went beside it.
        const QStringList left =
            QDir(s.fixture.native(area.isEmpty() ? "t:\\" : area.toStdString()))
                .entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
        QVERIFY2(left.isEmpty(), qPrintable(left.join(',')));
        QCOMPARE(s.tempRoot(), area.isEmpty() ? QStringList() : QStringList({"Users"}));
        QCOMPARE(run.tempDrive, 't');

        for (QStringList* lines : {&shown, &log}) {
            for (auto& line : *lines)
                line.replace("%1", s.size(7)).replace("%2", s.size(kMediumFree));
        }
        QCOMPARE(Setup::qt(s.ui.outputLines), shown);
        QCOMPARE(test::logLines(s.fixture), log);
        QCOMPARE(Setup::qt(s.ui.informations), QStringList({ready}));
        QCOMPARE(s.ui.questions.size(), std::size_t(2));
        QVERIFY(s.ui.warnings.empty());
        QVERIFY(s.platform->labelsSet.empty());

        // The old medium's date shows while the copy goes to the new one; then its records.
        QVERIFY(!s.ui.statusLines.empty());
        QCOMPARE(QString::fromStdString(s.ui.statusLines[0]),
                 status + QString::fromStdString(s.platform->formatDateTime(45000.25)));
        QCOMPARE(s.media.current.totalSize, std::int64_t(7));
        QVERIFY(s.media.current.lastBackupDate > 45000.25);
        QCOMPARE(s.fixture.setting("Total Size", "e-").toLongLong(), 7);
        QVERIFY(s.fixture.setting("Last BackUp", "e-").isValid());
        QCOMPARE(s.media.byKey.size(), std::size_t(1));
        QVERIFY(s.media.byKey.count("e-"));
        QCOMPARE(s.target.base, std::string("e:\\"));
        QVERIFY(!s.ui.progressShown);
        QVERIFY(!s.ui.isBusy);
    }

    void theTemporaryDisk_data()
    {
        // Drives added beside e: and t:, fixed unless marked ":ram" (a RAM disk) or ":no area"
        // (no folder can be made there).
        QTest::addColumn<QString>("extraDrives");
        QTest::addColumn<QString>("freeSpace"); // "t=5000,u=9000"; e: has its own free space
        QTest::addColumn<qint64>("used");       // bytes of the backup files on the medium
        QTest::addColumn<QString>("expected");  // the chosen drive, "" for none

        const qint64 g = 1000000000;
        QTest::newRow("the most free space")
            << "u" << QString("t=%1,u=%2").arg(10 * g).arg(20 * g) << 600LL << "u";
        QTest::newRow("equal space keeps the earlier drive")
            << "u" << QString("t=%1,u=%1").arg(10 * g) << 600LL << "t";
        QTest::newRow("c: takes part, and wins a tie with d:")
            << "c,d" << QString("c=%1,d=%1,t=%2").arg(10 * g).arg(g) << 600LL << "c";
        QTest::newRow("the medium itself never")
            << "" << QString("e=%1,t=%2").arg(100 * g).arg(g) << 600LL << "t";
        QTest::newRow("the floppy drives a: and b: never")
            << "a,b" << QString("a=%1,b=%1,t=%2").arg(100 * g).arg(g) << 600LL << "t";
        QTest::newRow("a RAM disk never")
            << "r:ram" << QString("r=%1,t=%2").arg(100 * g).arg(g) << 600LL << "t";
        QTest::newRow("a drive without a temporary area never")
            << "u:no area" << QString("t=%1,u=%2").arg(g).arg(100 * g) << 600LL << "t";
        QTest::newRow("the fit drive is too small beside an unfit one")
            << "u:no area" << QString("t=5000,u=%1").arg(100 * g) << 15000LL << "";
        QTest::newRow("no fit drive left")
            << "a,r:ram,u:no area" << QString("a=%1,r=%1,t=-1,u=%1").arg(100 * g) << 100LL << "";
        QTest::newRow("a drive that cannot tell its space") << "u"
                                                            << "t=-1,u=5000" << 1000LL << "u";
        QTest::newRow("within the allowance") << ""
                                              << "t=5000" << 9000LL << "t";
        QTest::newRow("just not enough") << ""
                                         << "t=5000" << 15000LL << "";
        QTest::newRow("no drive to choose") << ""
                                            << "t=-1" << 100LL << "";
    }

    void theTemporaryDisk()
    {
        QFETCH(QString, extraDrives);
        QFETCH(QString, freeSpace);
        QFETCH(qint64, used);
        QFETCH(QString, expected);
        Setup s;
        std::vector<char> withoutArea;
        for (const QString& drive : extraDrives.split(',', Qt::SkipEmptyParts)) {
            const char letter = drive.at(0).toLatin1();
            s.fixture.addDrive(letter, drive.endsWith(":ram") ? "DRIVE_RAMDISK" : "DRIVE_FIXED",
                               "Disk");
            if (drive.endsWith(":no area"))
                withoutArea.push_back(letter);
        }
        s.start();
        s.fillMedium();
        for (const char letter : withoutArea)
            s.platform->areas[letter] = "";
        for (const QString& item : freeSpace.split(',')) {
            const char letter = item.at(0).toLatin1();
            s.platform->free[letter] = item.mid(2).toLongLong();
        }
        s.fixture.writeFile("e:\\S-Docs\\fill.bin", QByteArray(used - 7, 'f'));
        // What is no backup file takes no room in the temporary area.
        s.fixture.writeFile("e:\\.Trash-0\\S-Docs\\t.bin", QByteArray(100000, 't'));
        s.fixture.writeFile("e:\\Photos\\p.jpg", QByteArray(100000, 'p'));
        // Stop at the question for the new medium.
        s.ui.yesNoAnswers = {true, false};

        const DuplicateResult run = duplicateMedium(*s.ctx);
        QVERIFY(!run.completed);

        if (!expected.isEmpty()) {
            const std::string t = expected.toStdString();
            QCOMPARE(QString(QChar::fromLatin1(run.tempDrive)), expected);
            QCOMPARE(s.fixture.readFile(t + ":\\Kopierix-S-Docs\\a.txt"), QByteArray("aaaa"));
            QCOMPARE(s.ui.questions.size(), std::size_t(2));
            QCOMPARE(QString::fromStdString(s.ui.questions[1]),
                     QString("All files of e: have been copied to disk %1:.\r\rNow put the new "
                             "Backup disk in drive e: and click \"Next\" to proceed.")
                         .arg(expected));
            QVERIFY(s.ui.timed.empty());
            return;
        }
        QCOMPARE(Setup::qt(s.ui.timed),
                 QStringList({"The disk with the largest free space doesn't have enough space to "
                              "temporerally copy the Backups to.\rDuplicating of the backup disk "
                              "is not possible."}));
        if (run.tempDrive != 0)
            QCOMPARE(Setup::qt(s.ui.outputLines),
                     QStringList({"Not enough space on t: for the temp. files."}));
        else
            QVERIFY(s.ui.outputLines.empty());
        QVERIFY(s.tempRoot().isEmpty());
        QCOMPARE(s.ui.questions.size(), std::size_t(1));
        QVERIFY(test::logLines(s.fixture).isEmpty());
        QVERIFY(!s.ui.progressShown);
    }

    void theNewMediumsName_data()
    {
        QTest::addColumn<QString>("language");
        QTest::addColumn<QString>("newLabel");
        QTest::addColumn<QStringList>("answers");
        QTest::addColumn<QStringList>("prompts");
        QTest::addColumn<QStringList>("startTexts");
        QTest::addColumn<QStringList>("labelsSet");
        QTest::addColumn<bool>("completes");
        QTest::addColumn<bool>("warned");
        QTest::addColumn<bool>("renameFails");

        const QString unnamed = "Disk e: has no name. \r\rEnter the right name and click OK.";
        const QString same = "The disk e: has the same name as the original.\r\rEnter a "
                             "different name for Disk e: and click OK.";
        QTest::newRow("unnamed, gets the typed name")
            << ""
            << "" << QStringList({"Backup2"}) << QStringList({unnamed}) << QStringList({""})
            << QStringList({"Backup2"}) << true << false << false;
        QTest::newRow("unnamed, Dutch")
            << "nld"
            << "" << QStringList({"Backup2"})
            << QStringList({"Schijf e: heeft geen naam. \r\rGeef de juiste naam en klik op OK."})
            << QStringList({""}) << QStringList({"Backup2"}) << true << false << false;
        QTest::newRow("unnamed, cancelled")
            << ""
            << "" << QStringList() << QStringList({unnamed}) << QStringList({""}) << QStringList()
            << false << false << false;
        QTest::newRow("unnamed, typed the old name, then cancelled")
            << ""
            << "" << QStringList({"BACKUP1"}) << QStringList({unnamed, same})
            << QStringList({"", "BACKUP1"}) << QStringList({"BACKUP1"}) << false << true << false;
        QTest::newRow("unnamed, typed the old name, then another")
            << ""
            << "" << QStringList({"backup1", "Backup2"}) << QStringList({unnamed, same})
            << QStringList({"", "backup1"}) << QStringList({"backup1", "Backup2"}) << true << false
            << false;
        QTest::newRow("same name in other letters, renamed")
            << ""
            << "BACKUP1" << QStringList({"Backup2"}) << QStringList({same}) << QStringList({""})
            << QStringList({"Backup2"}) << true << false << false;
        QTest::newRow("same name, Dutch, kept")
            << "nld"
            << "Backup1" << QStringList({"Backup1"})
            << QStringList({"De schijf e: heeft de zelfde naam als het origineel.\r\rGeef een "
                            "andere naam voor Schijf e: en klik op OK."})
            << QStringList({""}) << QStringList({"Backup1"}) << false << true << false;
        // The typed name counts even when the medium keeps its own; the user is told once.
        QTest::newRow("unnamed, the rename fails")
            << ""
            << "" << QStringList({"Backup2"}) << QStringList({unnamed}) << QStringList({""})
            << QStringList({"Backup2"}) << true << false << true;
        QTest::newRow("same name, Dutch, the rename fails")
            << "nld"
            << "Backup1" << QStringList({"Backup2"})
            << QStringList({"De schijf e: heeft de zelfde naam als het origineel.\r\rGeef een "
                            "andere naam voor Schijf e: en klik op OK."})
            << QStringList({""}) << QStringList({"Backup2"}) << true << false << true;
    }

    void theNewMediumsName()
    {
        QFETCH(QString, language);
        QFETCH(QString, newLabel);
        QFETCH(QStringList, answers);
        QFETCH(QStringList, prompts);
        QFETCH(QStringList, startTexts);
        QFETCH(QStringList, labelsSet);
        QFETCH(bool, completes);
        QFETCH(bool, warned);
        QFETCH(bool, renameFails);
        Setup s;
        s.start(language.toStdString());
        s.fillMedium();
        s.platform->labels['e'] = "Backup1";
        s.platform->renameFails = renameFails;
        s.swapMediumAtNewMediumQuestion(newLabel.toStdString());
        s.ui.yesNoAnswers = {true, true};
        for (const QString& answer : answers)
            s.ui.textAnswers.push_back(answer.toStdString());

        QCOMPARE(duplicateMedium(*s.ctx).completed, completes);

        const QStringList questions = Setup::qt(s.ui.questions);
        QCOMPARE(questions.mid(2), prompts);
        QCOMPARE(Setup::qt(s.ui.startTexts), startTexts);
        QStringList set;
        for (const auto& [letter, label] : s.platform->labelsSet) {
            QCOMPARE(letter, 'e');
            set << QString::fromStdString(label);
        }
        QCOMPARE(set, labelsSet);
        QCOMPARE(s.fixture.exists("e:\\S-Docs\\a.txt"), completes);
        // A run that ends here leaves the temporary area for the next one.
        QCOMPARE(s.fixture.exists("t:\\Kopierix-S-Docs\\a.txt"), !completes);
        QCOMPARE(s.fixture.setting("Total Size", "e-").isValid(), completes);
        const bool dutch = language == "nld";
        QStringList warnings;
        if (renameFails)
            warnings << (dutch ? "De naam van de nieuwe schijf kon niet worden gewijzigd"
                               : "The new medium could not be renamed");
        if (warned)
            warnings << (dutch ? "De nieuwe schijf heeft nog steeds de zelfde naam als het "
                                 "origineel. Het dupliceren wordt afgebroken."
                               : "The new disk still has the same name as the original. "
                                 "Duplicating is aborted.");
        QCOMPARE(Setup::qt(s.ui.warnings), warnings);
    }

    void anUnreadableTemporaryFolderIsCountedAndTheRestGoesOn()
    {
        Setup s;
        s.start();
        s.fillMedium();
        // The first half fills the temporary area; the second cannot read one of its folders.
        s.faults->failOpenDir["t:\\Kopierix-S-Docs"] = SystemError{5, "Permission denied"};
        s.swapMediumAtNewMediumQuestion("Backup2");
        s.ui.yesNoAnswers = {true, true};

        const DuplicateResult run = duplicateMedium(*s.ctx);

        QVERIFY(run.completed);

        QCOMPARE(s.fixture.readFile("e:\\S-\\boot.ini"), QByteArray("r"));
        QVERIFY(!s.fixture.exists("e:\\S-Docs\\a.txt"));
        const QStringList shown = Setup::qt(s.ui.outputLines);
        QVERIFY(shown.contains("Number of files copied to t: = 3"));
        QVERIFY(shown.contains("Folder " + s.fixture.native("t:\\Kopierix-S-Docs") +
                               " cannot be read: Permission denied"));
        QVERIFY(shown.contains("Number of files, copied from t: to e: = 1"));
        QVERIFY(shown.contains("Number of folders that could not be read = 1"));
        QVERIFY(test::logLines(s.fixture).contains("Number of folders that could not be read = 1"));
        QCOMPARE(run.failedCount, std::uint64_t(1));
    }

    void noFloppyInDriveA()
    {
        Setup s;
        s.fixture.addMissingDrive('a', "DRIVE_REMOVABLE");
        s.start();
        s.target.base = "a:\\";
        s.media.currentKey = "a-";
        s.ui.yesNoAnswers = {true, true};

        const DuplicateResult run = duplicateMedium(*s.ctx);
        QVERIFY(!run.completed);

        QCOMPARE(s.ui.questions.size(), std::size_t(2));
        QCOMPARE(QString::fromStdString(s.ui.questions[1]),
                 QString("Put a floppy disk in drive a: and click \"Next\" to proceed."));
        QCOMPARE(QString::fromStdString(s.ui.captions[1]), QString("Kopierix - Duplicate"));
        QVERIFY(run.noFloppy.value_or(false));
        QVERIFY(s.tempRoot().isEmpty());
        QVERIFY(s.ui.warnings.empty());
        QVERIFY(!s.ui.progressShown);
    }

    void floppyTakenOutBeforeTheSecondHalf()
    {
        Setup s;
        s.fixture.addDrive('a', "DRIVE_REMOVABLE", "Floppy1");
        s.start();
        s.fillMedium('a');
        s.platform->free['a'] = kMediumFree;
        s.platform->total['a'] = kMediumFree + 5000;
        s.target.base = "a:\\";
        s.media.currentKey = "a-";
        s.ui.onQuestion = [&s](const std::string& question) {
            if (isNewMediumQuestion(question))
                QVERIFY(QDir().rename(s.folderOf('a'), s.fixture.root() + "/old-a"));
        };
        s.ui.yesNoAnswers = {true, true, false};

        const DuplicateResult run = duplicateMedium(*s.ctx);
        QVERIFY(!run.completed);

        QCOMPARE(s.fixture.readFile("t:\\Kopierix-S-Docs\\a.txt"), QByteArray("aaaa"));
        QCOMPARE(s.ui.questions.size(), std::size_t(3));
        QCOMPARE(QString::fromStdString(s.ui.questions[2]),
                 QString("Put a floppy disk in drive a: and click \"Next\" to proceed."));
        // The question for the new medium names the operation in the user's language too.
        QCOMPARE(
            Setup::qt(s.ui.captions),
            QStringList({"Kopierix - Duplicate", "Kopierix - Duplicate", "Kopierix - Duplicate"}));
        QVERIFY(run.noFloppy.value_or(false));
    }

    void aMediumThatIsNotReady_data()
    {
        QTest::addColumn<QString>("language");
        QTest::addColumn<bool>("answer");
        QTest::addColumn<QString>("prompt");
        QTest::addColumn<QString>("warning");
        QTest::newRow("Dutch, Next") << "nld" << true
                                     << "Doe een geschikte schijf in schijfstation e: en klik op "
                                        "\"Volgende\" als u verder wilt gaan."
                                     << "Backupschijf e: is niet aangekoppeld";
        QTest::newRow("English, Cancel")
            << "" << false << "Put a fit disk in drive e: and click \"Next\" to proceed."
            << "Backup drive e: is not mounted";
    }

    void aMediumThatIsNotReady()
    {
        QFETCH(QString, language);
        QFETCH(bool, answer);
        QFETCH(QString, prompt);
        QFETCH(QString, warning);
        Setup s(false);
        s.start(language.toStdString());
        s.ui.yesNoAnswers = {true, answer};

        const DuplicateResult run = duplicateMedium(*s.ctx);
        QVERIFY(!run.completed);

        QCOMPARE(Setup::qt(s.ui.warnings), QStringList({warning}));
        QCOMPARE(s.ui.questions.size(), std::size_t(2));
        QCOMPARE(QString::fromStdString(s.ui.questions[1]), prompt);
        QVERIFY(run.noDisk.value_or(false));
        QVERIFY(s.tempRoot().isEmpty());
        QVERIFY(!s.ui.progressShown);
    }
    void aCopyThatLacksFilesIsNotCalledReady_data()
    {
        QTest::addColumn<QString>("language");
        QTest::addColumn<QString>("failCopyTo"); // a copy of either half that fails
        QTest::addColumn<bool>("flushFails");    // the new medium does not take its flush
        QTest::addColumn<QStringList>("told");   // the lines of the box, also in the output lines
        QTest::newRow("a file of the first half")
            << ""
            << "t:\\Kopierix-S-\\boot.ini" << false
            << QStringList{"The copy is not complete.", "Missing from the copy: %e/S-/boot.ini"};
        QTest::newRow("a file of the second half, Dutch")
            << "nld"
            << "e:\\S-Docs\\a.txt" << false
            << QStringList{"De kopie is niet volledig.", "Ontbreekt op de kopie: %e/S-Docs/a.txt"};
        QTest::newRow("the new medium's flush")
            << ""
            << "" << true << QStringList{"The copy is not complete."};
    }

    void aCopyThatLacksFilesIsNotCalledReady()
    {
        QFETCH(QString, language);
        QFETCH(QString, failCopyTo);
        QFETCH(bool, flushFails);
        QFETCH(QStringList, told);
        Setup s;
        s.start(language.toStdString());
        s.fillMedium();
        if (!failCopyTo.isEmpty())
            s.faults->failCopyTo[failCopyTo.toStdString()] = SystemError{28, "No space left"};
        if (flushFails)
            s.platform->failFlush.insert('e');
        s.media.current.lastBackupDate = 45000.25;
        s.swapMediumAtNewMediumQuestion("Backup2");
        s.ui.yesNoAnswers = {true, true};

        const DuplicateResult run = duplicateMedium(*s.ctx);

        QVERIFY(run.completed);
        QVERIFY(run.failedCount > 0);
        QVERIFY(s.ui.informations.empty());
        // The missing file as the user finds it on the medium.
        told.replaceInStrings("%e", s.fixture.native("e:\\"));
        QCOMPARE(Setup::qt(s.ui.warnings), QStringList({told.join('\r')}));
        const QStringList shown = Setup::qt(s.ui.outputLines);
        QCOMPARE(shown.mid(shown.indexOf(told[0]), told.size()), told);
        QVERIFY(test::logLines(s.fixture).contains(told.last()));
        if (flushFails) {
            QVERIFY(shown.contains("What was written to e: did not reach the disk: "
                                   "Input/output error"));
            // Copies that may not be there make no backup of today.
            QCOMPARE(s.media.current.lastBackupDate, 45000.25);
        }
    }

    void aStoppedDuplicateRemovesItsTemporaryCopies_data()
    {
        QTest::addColumn<bool>("secondHalf");
        QTest::newRow("stopped in the first half") << false;
        QTest::newRow("stopped in the second half") << true;
    }

    void aStoppedDuplicateRemovesItsTemporaryCopies()
    {
        QFETCH(bool, secondHalf);
        Setup s;
        s.start();
        s.fillMedium();
        s.fixture.writeFile("e:\\S-Docs\\Deep\\er\\c.txt", "c");
        bool newMedium = false;
        s.ui.onQuestion = [&](const std::string& question) {
            if (!isNewMediumQuestion(question))
                return;
            newMedium = true;
            QVERIFY(QDir().rename(s.folderOf('e'), s.fixture.root() + "/old-e"));
            QVERIFY(QDir().mkpath(s.folderOf('e')));
            s.platform->labels['e'] = "Backup2";
        };
        s.ui.onCounts = [&](const RunResult& counts) {
            if (counts.copiedCount == 1 && newMedium == secondHalf)
                s.stop.request();
        };
        s.ui.yesNoAnswers = {true, true};

        const DuplicateResult run = duplicateMedium(*s.ctx);

        QVERIFY(run.stopped);
        QVERIFY(!run.completed);
        QCOMPARE(newMedium, secondHalf);
        QCOMPARE(s.tempRoot(), QStringList());
        const QStringList shown = Setup::qt(s.ui.outputLines);
        QCOMPARE(shown.last(), QString("The temporary copies on t: have been removed"));
        QVERIFY(shown.contains("Stopped by the user"));
        QVERIFY(test::logLines(s.fixture).contains("The temporary copies on t: have been removed"));
        // The medium the copies came from is untouched.
        QVERIFY(QFileInfo::exists(s.fixture.root() + (secondHalf ? "/old-e" : "/drive-e") +
                                  "/S-Docs/a.txt"));
    }
};

QTEST_GUILESS_MAIN(TestDuplicate)
#include "tst_duplicate.moc"
