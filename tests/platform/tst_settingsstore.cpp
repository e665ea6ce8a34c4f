// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/Fixture.h"

#include <QSettings>
#include <QThread>
#include <QtTest>

#include <cstdint>
#include <limits>

#include <sys/stat.h>
#include <unistd.h>

using namespace kx;

namespace {

[[nodiscard]] bool writeRawSettings(const test::Fixture& fixture, const QByteArray& contents)
{
    QDir().mkpath(QFileInfo(fixture.settingsPath()).path());
    QFile file(fixture.settingsPath());
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(contents) == contents.size();
}

// What a path is, without following a link: "fifo", "folder", "file", or "link to <target>".
QString kindOf(const QString& path)
{
    struct stat st;
    if (::lstat(QFile::encodeName(path).constData(), &st) != 0)
        return QStringLiteral("nothing");
    if (S_ISLNK(st.st_mode))
        return QStringLiteral("link to ") + QFileInfo(path).symLinkTarget();
    if (S_ISFIFO(st.st_mode))
        return QStringLiteral("fifo");
    return S_ISDIR(st.st_mode) ? QStringLiteral("folder") : QStringLiteral("file");
}

} // namespace

class TestSettingsStore : public QObject
{
    Q_OBJECT

private slots:
    void valuesRoundTripThroughTheFile()
    {
        test::Fixture fixture;
        auto platform = fixture.platform();
        const std::string oddBytes("e:\\caf\xe9\xff", 7);
        {
            auto store = platform->openSettings();
            store->writeString("Defaults", "BackUp Drive", "e:\\\\");
            store->writeString("Defaults", "Odd", oddBytes);
            store->writeString("Defaults", "Comma", "a, b; c = d");
            store->writeString("Defaults", "Empty", "");
            store->writeInteger("Total Size", "e-Backup1",
                                std::numeric_limits<std::int64_t>::max());
            store->writeInteger("Total Size", "f-", std::numeric_limits<std::int64_t>::min());
            store->writeInteger("Total Size", "g-", -5);
            store->writeFlag("Defaults", "First Time", false);
            store->writeFlag("Defaults", "Check for Updates", true);
            store->writeDate("Last BackUp", "e-Backup1", 45000.123456789012345);
            store->writeDate("Last BackUp", "f-", -1.0 / 3.0);
            QVERIFY(store->sync());
        }
        QVERIFY(QFileInfo::exists(fixture.settingsPath()));
        // The file is plain text in the ini form, with the values as text.
        QCOMPARE(fixture.setting("Defaults", "First Time").toString(), QString("0"));
        QCOMPARE(fixture.setting("Total Size", "g-").toString(), QString("-5"));

        auto store = platform->openSettings();
        QCOMPARE(store->readString("Defaults", "BackUp Drive", "x"), std::string("e:\\\\"));
        QCOMPARE(store->readString("Defaults", "Odd", "x"), oddBytes);
        QCOMPARE(store->readString("Defaults", "Comma", "x"), std::string("a, b; c = d"));
        QCOMPARE(store->readString("Defaults", "Empty", "x"), std::string());
        QCOMPARE(store->readInteger("Total Size", "e-Backup1", 0),
                 std::numeric_limits<std::int64_t>::max());
        QCOMPARE(store->readInteger("Total Size", "f-", 0),
                 std::numeric_limits<std::int64_t>::min());
        QCOMPARE(store->readFlag("Defaults", "First Time", true), false);
        QCOMPARE(store->readFlag("Defaults", "Check for Updates", false), true);
        QCOMPARE(store->readDate("Last BackUp", "e-Backup1"), 45000.123456789012345);
        QCOMPARE(store->readDate("Last BackUp", "f-"), -1.0 / 3.0);
        QVERIFY(store->contains("Defaults", "Empty"));
        QVERIFY(!store->contains("Defaults", "Nothing"));

        std::vector<std::string> idents = store->idents("Total Size");
        std::sort(idents.begin(), idents.end());
        QCOMPARE(idents, (std::vector<std::string>{"e-Backup1", "f-", "g-"}));
        QVERIFY(store->idents("No Such Section").empty());
    }

    // The records of a medium are kept under its drive and label, and a label may hold any
    // character: each ident comes back exactly, beside a neighbour that differs in one character
    // only, and does not take the neighbour's value.
    void identsRoundTripWhateverTheyHold_data()
    {
        QTest::addColumn<QByteArray>("ident");
        QTest::newRow("slash") << QByteArray("e-Work/2024");
        QTest::newRow("backslash") << QByteArray("e-Work\\2024");
        QTest::newRow("trailing slash") << QByteArray("e-Work/");
        QTest::newRow("trailing backslash") << QByteArray("e-Work\\");
        QTest::newRow("slashes only") << QByteArray("e-//\\");
        QTest::newRow("ini marks") << QByteArray("e-a=b;c#d[e]");
        QTest::newRow("spaces") << QByteArray(" e- my disk ");
        QTest::newRow("percent") << QByteArray("e-100%");
        QTest::newRow("escape look-alike") << QByteArray("e-Work%2F2024");
        QTest::newRow("non-ASCII") << QByteArray("e-Caf\xc3\xa9 \xe6\x97\xa5");
        QTest::newRow("not UTF-8") << QByteArray("e-Caf\xe9\xff");
    }
    void identsRoundTripWhateverTheyHold()
    {
        QFETCH(QByteArray, ident);
        const std::string key = ident.toStdString();
        test::Fixture fixture;
        auto platform = fixture.platform();
        {
            auto store = platform->openSettings();
            store->writeDate("Last BackUp", key, 45000.5);
            store->writeInteger("Total Size", key, 86);
            store->writeDate("Last BackUp", "e-Work", 44000.0);
            QVERIFY(store->sync());
        }
        auto store = platform->openSettings();
        QCOMPARE(store->readDate("Last BackUp", key), 45000.5);
        QCOMPARE(store->readInteger("Total Size", key, 0), std::int64_t(86));
        QVERIFY(store->contains("Last BackUp", key));
        QCOMPARE(store->readDate("Last BackUp", "e-Work"), 44000.0);
        QCOMPARE(store->idents("Total Size"), std::vector<std::string>{key});
        std::vector<std::string> dated = store->idents("Last BackUp");
        std::sort(dated.begin(), dated.end());
        std::vector<std::string> expected{key, "e-Work"};
        std::sort(expected.begin(), expected.end());
        QCOMPARE(dated, expected);

        store->remove("Total Size", key);
        QVERIFY(!store->contains("Total Size", key));
        QVERIFY(store->idents("Total Size").empty());
    }

    // Until now an ident was stored as it was, and one with "/" or "\\" became a key of a group
    // inside the section, which the list of idents did not show. Such records are found, and
    // move to today's form when they are read.
    void recordsOfTheEarlierFormAreCarriedOver()
    {
        test::Fixture fixture;
        QDir().mkpath(QFileInfo(fixture.settingsPath()).path());
        {
            QSettings earlier(fixture.settingsPath(), QSettings::IniFormat);
            earlier.setValue(QStringLiteral("Last BackUp/e-Work/2024"), QStringLiteral("45000"));
            earlier.setValue(QStringLiteral("Last BackUp/f-100%"), QStringLiteral("44000"));
            earlier.setValue(QStringLiteral("Last BackUp/g-Work"), QStringLiteral("43000"));
        }
        auto platform = fixture.platform();
        {
            auto store = platform->openSettings();
            std::vector<std::string> idents = store->idents("Last BackUp");
            std::sort(idents.begin(), idents.end());
            QCOMPARE(idents, (std::vector<std::string>{"e-Work/2024", "f-100%", "g-Work"}));
            QCOMPARE(store->readDate("Last BackUp", "e-Work/2024"), 45000.0);
            QCOMPARE(store->readDate("Last BackUp", "f-100%"), 44000.0);
            // The ident that differs from the one without it only by a final "\\" is another.
            QCOMPARE(store->readDate("Last BackUp", "g-Work\\"), 0.0);
            QVERIFY(store->sync());
        }
        QSettings file(fixture.settingsPath(), QSettings::IniFormat);
        file.beginGroup(QStringLiteral("Last BackUp"));
        QStringList keys = file.allKeys();
        keys.sort();
        QCOMPARE(keys, (QStringList{"e-Work%2F2024", "f-100%25", "g-Work"}));
        file.endGroup();

        auto store = platform->openSettings();
        QCOMPARE(store->readDate("Last BackUp", "e-Work/2024"), 45000.0);
        QCOMPARE(store->readDate("Last BackUp", "f-100%"), 44000.0);
        QCOMPARE(store->readDate("Last BackUp", "g-Work"), 43000.0);
    }

    void readRules_data()
    {
        QTest::addColumn<QByteArray>("stored");
        QTest::addColumn<qint64>("integer");
        QTest::addColumn<bool>("flag");
        QTest::addColumn<double>("date");
        QTest::addColumn<QByteArray>("text");

        // Fallbacks in these cases: integer 77, flag true, text "fallback"; a date reads 0.
        QTest::newRow("decimal") << QByteArray("42") << qint64(42) << true << 42.0
                                 << QByteArray("42");
        QTest::newRow("zero") << QByteArray("0") << qint64(0) << false << 0.0 << QByteArray("0");
        QTest::newRow("negative") << QByteArray("-12") << qint64(-12) << true << -12.0
                                  << QByteArray("-12");
        QTest::newRow("beyond 32 bits") << QByteArray("8589934592") << qint64(8589934592LL) << true
                                        << 8589934592.0 << QByteArray("8589934592");
        QTest::newRow("fraction") << QByteArray("45000.75") << qint64(77) << true << 45000.75
                                  << QByteArray("45000.75");
        QTest::newRow("not a number")
            << QByteArray("12abc") << qint64(77) << true << 0.0 << QByteArray("12abc");
        QTest::newRow("hexadecimal")
            << QByteArray("0x1F") << qint64(77) << true << 0.0 << QByteArray("0x1F");
        QTest::newRow("words") << QByteArray("true") << qint64(77) << true << 0.0
                               << QByteArray("true");
        QTest::newRow("empty") << QByteArray("") << qint64(77) << true << 0.0 << QByteArray("");
        QTest::newRow("list") << QByteArray("1, 2") << qint64(77) << true << 0.0
                              << QByteArray("fallback");
        QTest::newRow("raw bytes")
            << QByteArray("@ByteArray(12)") << qint64(77) << true << 0.0 << QByteArray("12");
        QTest::newRow("other type")
            << QByteArray("@Point(1 2)") << qint64(77) << true << 0.0 << QByteArray("fallback");
        QTest::newRow("not finite")
            << QByteArray("inf") << qint64(77) << true << 0.0 << QByteArray("inf");
    }

    void readRules()
    {
        QFETCH(QByteArray, stored);
        QFETCH(qint64, integer);
        QFETCH(bool, flag);
        QFETCH(double, date);
        QFETCH(QByteArray, text);

        test::Fixture fixture;
        QVERIFY(writeRawSettings(fixture, "[Defaults]\nValue=" + stored + "\n"));
        auto store = fixture.platform()->openSettings();
        QCOMPARE(store->readInteger("Defaults", "Value", 77), std::int64_t(integer));
        QCOMPARE(store->readFlag("Defaults", "Value", true), flag);
        QCOMPARE(store->readDate("Defaults", "Value"), date);
        QCOMPARE(store->readString("Defaults", "Value", "fallback"), text.toStdString());
    }

    void missingValuesGiveTheFallback()
    {
        test::Fixture fixture;
        auto store = fixture.platform()->openSettings(); // no file at all
        QCOMPARE(store->readString("Defaults", "BackUp Drive", "c:\\"), std::string("c:\\"));
        QCOMPARE(store->readInteger("Defaults", "Left", 130), std::int64_t(130));
        QCOMPARE(store->readFlag("Defaults", "First Time", true), true);
        QCOMPARE(store->readDate("Last BackUp", "e-"), 0.0);
        QVERIFY(store->idents("Last BackUp").empty());
    }

    void garbledFileGivesDefaultsAndCanBeWrittenAgain()
    {
        test::Fixture fixture;
        QByteArray garbage("[Defaults]\nLeft=5\n\x01\x02garbage\xff\xfe\n[Drives\ne=/x\n[[[");
        garbage.append('\0');
        QVERIFY(writeRawSettings(fixture, garbage));
        auto platform = fixture.platform();
        {
            auto store = platform->openSettings();
            QCOMPARE(store->readInteger("Defaults", "Left", 130), std::int64_t(130));
            QVERIFY(store->idents("Defaults").empty());
            QVERIFY(!store->contains("Defaults", "Left"));
            store->writeInteger("Defaults", "Top", 9);
            QVERIFY(store->sync());
        }
        auto store = platform->openSettings();
        QCOMPARE(store->readInteger("Defaults", "Top", 100), std::int64_t(9));
    }

    // Something other than a regular file in the settings file's place is neither read (a FIFO
    // would block for ever) nor written through (a link to a device would have the device
    // replaced): every value is its default.
    void aSettingsFileThatIsNoFileIsLeftAlone_data()
    {
        QTest::addColumn<QString>("thing"); // made in the test's folder
        QTest::addColumn<bool>("asLink");   // the settings file is a link to the thing
        QTest::newRow("FIFO") << "fifo" << false;
        QTest::newRow("link to a FIFO") << "fifo" << true;
        QTest::newRow("link to a folder") << "folder" << true;
        QTest::newRow("link to nothing") << "nothing" << true;
    }
    void aSettingsFileThatIsNoFileIsLeftAlone()
    {
        QFETCH(QString, thing);
        QFETCH(bool, asLink);
        test::Fixture fixture;
        QDir().mkpath(QFileInfo(fixture.settingsPath()).path());
        const QString target = asLink ? fixture.root() + "/target" : fixture.settingsPath();
        if (thing == "fifo")
            QCOMPARE(::mkfifo(QFile::encodeName(target).constData(), 0600), 0);
        else if (thing == "folder")
            QVERIFY(QDir().mkpath(target));
        if (asLink)
            QVERIFY(QFile::link(target, fixture.settingsPath()));
        const QString settingsBefore = kindOf(fixture.settingsPath());
        const QString targetBefore = kindOf(target);

        // A store that waits on the file would wait for ever: give it a thread and a time limit.
        auto platform = fixture.platform();
        std::string drive;
        bool written = true;
        QThread* worker = QThread::create([&] {
            auto store = platform->openSettings();
            drive = store->readString("Defaults", "BackUp Drive", "c:\\");
            store->writeString("Defaults", "BackUp Drive", "e:\\");
            written = store->sync();
        });
        worker->start();
        if (!worker->wait(10000))
            qFatal("The settings store waits on a %s", QTest::currentDataTag());
        delete worker;

        QCOMPARE(drive, std::string("c:\\"));
        QVERIFY(!written);
        QCOMPARE(kindOf(fixture.settingsPath()), settingsBefore);
        QCOMPARE(kindOf(target), targetBefore);
        if (thing == "folder")
            QVERIFY(QDir(target).isEmpty());
    }

    void aLinkToAFileIsReadAndWrittenThrough()
    {
        test::Fixture fixture;
        QDir().mkpath(QFileInfo(fixture.settingsPath()).path());
        const QString target = fixture.root() + "/dotfiles.ini";
        QFile file(target);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("[Defaults]\nLeft=5\n");
        file.close();
        QVERIFY(QFile::link(target, fixture.settingsPath()));

        auto platform = fixture.platform();
        {
            auto store = platform->openSettings();
            QCOMPARE(store->readInteger("Defaults", "Left", 130), std::int64_t(5));
            store->writeInteger("Defaults", "Top", 9);
            QVERIFY(store->sync());
        }
        QCOMPARE(kindOf(fixture.settingsPath()), "link to " + target);
        QCOMPARE(platform->openSettings()->readInteger("Defaults", "Top", 100), std::int64_t(9));
    }

    void eachStoreSeesTheFileAsItIsNow()
    {
        test::Fixture fixture;
        auto platform = fixture.platform();
        auto first = platform->openSettings();
        first->writeInteger("Defaults", "Left", 1);
        QVERIFY(first->sync());
        fixture.setSetting("Defaults", "Left", "2");
        QCOMPARE(platform->openSettings()->readInteger("Defaults", "Left", 0), std::int64_t(2));
    }
};

QTEST_GUILESS_MAIN(TestSettingsStore)
#include "tst_settingsstore.moc"
