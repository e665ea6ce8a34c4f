// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/FileCopy.h"

#include "ProbePlatform.h"
#include "common/Fixture.h"

#include <QFile>
#include <QLocale>
#include <QtTest>

#include <ctime>
#include <fcntl.h>
#include <sys/stat.h>

using namespace kx;
using kx::test::Fixture;
using kx::test::ProbePlatform;

namespace {

LocalTime at(int year, int month, int day, int hour = 0, int minute = 0, int second = 0)
{
    return LocalTime{year, month, day, hour, minute, second};
}

// The window of summer 2006 in central Europe, as it reads while the program runs in July.
DaylightWindow summer2006()
{
    DaylightWindow w;
    w.dstStart = localTimeToDateTime(at(2006, 3, 26, 2));
    w.dstEnd = localTimeToDateTime(at(2006, 10, 29, 3));
    w.dstNow = true;
    w.dstShift = 1.0 / 24;
    return w;
}

// The same window read in winter: no shift.
DaylightWindow winter2006()
{
    DaylightWindow w = summer2006();
    w.dstNow = false;
    w.dstShift = 0;
    return w;
}

// Drives of every class: two fixed disks, two removable media, a network drive, a CD.
void addDrives(Fixture& fixture)
{
    fixture.addDrive('s', QStringLiteral("DRIVE_FIXED"));
    fixture.addDrive('t', QStringLiteral("DRIVE_FIXED"));
    fixture.addDrive('e', QStringLiteral("DRIVE_REMOVABLE"));
    fixture.addDrive('f', QStringLiteral("DRIVE_REMOVABLE"));
    fixture.addDrive('n', QStringLiteral("DRIVE_REMOTE"));
    fixture.addDrive('d', QStringLiteral("DRIVE_CDROM"));
}

std::string onDrive(char letter, const char* rest)
{
    return std::string(1, letter) + ":\\" + rest;
}

constexpr qint64 kNanoseconds = 1'000'000'000;

// A file's modification time in nanoseconds since 1970, as the file system keeps it.
qint64 nanosecondsOf(const Fixture& fixture, const std::string& path)
{
    struct stat st;
    if (::stat(QFile::encodeName(fixture.native(path)).constData(), &st) != 0)
        return -1;
    return qint64(st.st_mtim.tv_sec) * kNanoseconds + st.st_mtim.tv_nsec;
}

[[nodiscard]] bool setNanoseconds(const Fixture& fixture, const std::string& path, qint64 time)
{
    const timespec times[2] = {{time / kNanoseconds, long(time % kNanoseconds)},
                               {time / kNanoseconds, long(time % kNanoseconds)}};
    return ::utimensat(AT_FDCWD, QFile::encodeName(fixture.native(path)).constData(), times, 0) ==
           0;
}

qint64 utc(int year, int month, int day)
{
    return QDateTime(QDate(year, month, day), QTime(12, 0), QTimeZone::utc()).toSecsSinceEpoch();
}

} // namespace

class TestFileCopy : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void copyIfNewer_data();
    void copyIfNewer();
    void datesOutsideWhatFatHolds_data();
    void datesOutsideWhatFatHolds();
    void copyIfNewerWithoutSourceOrDest();
    void copyIfNewerAcrossDrives_data();
    void copyIfNewerAcrossDrives();
    void correctCopiedFileTime_data();
    void correctCopiedFileTime();
    void correctionThereAndBack();
    void correctionLeavesReadOnlyCopy();
    void drivesAreAskedOncePerOperation();
    void copyFileTo();
    void fileDateAndSize();
    void makeAndEnterDir();
    void deleteToRecycleBin();
};

void TestFileCopy::initTestCase()
{
    QLocale::setDefault(QLocale::c());
    qputenv("TZ", "Europe/Amsterdam");
    tzset();
}

void TestFileCopy::copyIfNewer_data()
{
    QTest::addColumn<bool>("sourceExact"); // the drive keeps exact times
    QTest::addColumn<bool>("destExact");
    QTest::addColumn<qint64>("destAge"); // nanoseconds the copy is older than its source
    QTest::addColumn<bool>("copied");

    const qint64 s = kNanoseconds;
    // FAT's two-second times: newer by more than 3 seconds.
    QTest::newRow("FAT, same time") << false << false << 0LL << false;
    QTest::newRow("FAT, 2 s older") << false << false << 2 * s << false;
    QTest::newRow("FAT, 4 s older") << false << false << 4 * s << true;
    QTest::newRow("FAT, an hour older") << false << false << 3600 * s << true;
    QTest::newRow("FAT, newer") << false << false << -60 * s << false;
    // One side that does not keep exact times is enough for the tolerance.
    QTest::newRow("FAT copy of an exact source, 2 s older") << true << false << 2 * s << false;
    QTest::newRow("exact copy of a FAT source, 2 s older") << false << true << 2 * s << false;
    // Exact times: later to the 100 ns, the unit of Windows file times.
    QTest::newRow("exact, same time") << true << true << 0LL << false;
    QTest::newRow("exact, 1 s older") << true << true << s << true;
    QTest::newRow("exact, 100 ns older") << true << true << 100LL << true;
    QTest::newRow("exact, 50 ns older, the same 100 ns") << true << true << 50LL << false;
    QTest::newRow("exact, 100 ns newer") << true << true << -100LL << false;
    QTest::newRow("exact, newer") << true << true << -60 * s << false;
    // A medium of coarser times shows it in the copy's fraction; the source is compared at it.
    QTest::newRow("exact, copy of whole seconds, same second")
        << true << true << 123456789LL << false;
    QTest::newRow("exact, copy of whole seconds, a second older")
        << true << true << s + 123456789LL << true;
    QTest::newRow("exact, copy of microseconds, same microsecond")
        << true << true << 789LL << false;
    QTest::newRow("exact, copy of microseconds, a microsecond older")
        << true << true << 1789LL << true;
}

void TestFileCopy::copyIfNewer()
{
    QFETCH(bool, sourceExact);
    QFETCH(bool, destExact);
    QFETCH(qint64, destAge);
    QFETCH(bool, copied);

    Fixture fixture;
    addDrives(fixture);
    ProbePlatform p(fixture.platform());
    p.exactTimes = {{'s', sourceExact}, {'t', destExact}};
    const qint64 sourceTime = p.fromLocal(at(2006, 1, 15, 10, 0, 5)) * kNanoseconds + 123456789;
    fixture.writeFile("s:\\Docs\\a.txt", "new");
    fixture.writeFile("t:\\S-Docs\\a.txt", "old");
    QVERIFY(setNanoseconds(fixture, "s:\\Docs\\a.txt", sourceTime));
    QVERIFY(setNanoseconds(fixture, "t:\\S-Docs\\a.txt", sourceTime - destAge));

    const DaylightWindow dst = winter2006();
    FileCopy copy(p, dst);
    QCOMPARE(copy.copyIfNewer("s:\\Docs\\a.txt", "t:\\S-Docs\\a.txt"), copied);
    QCOMPARE(fixture.readFile("t:\\S-Docs\\a.txt"), copied ? QByteArray("new") : QByteArray("old"));
    // A copy keeps its source's time to 100 ns, the unit a copy made on Windows keeps too.
    if (copied)
        QCOMPARE(nanosecondsOf(fixture, "t:\\S-Docs\\a.txt"), sourceTime / 100 * 100);
}

void TestFileCopy::datesOutsideWhatFatHolds_data()
{
    QTest::addColumn<bool>("exact"); // the medium keeps exact times
    QTest::addColumn<qint64>("sourceTime");
    QTest::addColumn<qint64>("copyTime");
    QTest::addColumn<bool>("sameSize");
    QTest::addColumn<bool>("copied");

    // A FAT medium keeps 1980-01-01 for anything earlier, 2107-12-31 for anything later: there
    // the copy's size tells an edit, and a copy away from that end a source moved to it.
    const qint64 first = utc(1980, 1, 1) - 12 * 3600;
    const qint64 last = utc(2107, 12, 31) + 11 * 3600;
    QTest::newRow("FAT, 1970 source, its copy at 1980")
        << false << utc(1970, 1, 1) << first << true << false;
    QTest::newRow("FAT, 1970 source edited, its copy at 1980")
        << false << utc(1970, 1, 1) << first << false << true;
    QTest::newRow("FAT, 1970 source, a copy of 2020")
        << false << utc(1970, 1, 1) << utc(2020, 5, 1) << true << true;
    QTest::newRow("FAT, 2200 source, its copy at 2107")
        << false << utc(2200, 1, 1) << last << true << false;
    QTest::newRow("FAT, 2200 source edited, its copy at 2107")
        << false << utc(2200, 1, 1) << last << false << true;
    QTest::newRow("FAT, 2200 source, a copy of 2020")
        << false << utc(2200, 1, 1) << utc(2020, 5, 1) << true << true;
    QTest::newRow("FAT, 2020 source, its copy at 1980")
        << false << utc(2020, 5, 1) << first << true << true;
    // A medium that keeps exact times holds them as they are, over the full 64-bit range.
    QTest::newRow("exact, 1971 source, 1970 copy")
        << true << utc(1971, 1, 1) << utc(1970, 1, 1) << true << true;
    QTest::newRow("exact, 1970 source, 1971 copy")
        << true << utc(1970, 1, 1) << utc(1971, 1, 1) << true << false;
    QTest::newRow("exact, 1970 source, same time")
        << true << utc(1970, 1, 1) << utc(1970, 1, 1) << false << false;
    QTest::newRow("exact, 2200 source, 2150 copy")
        << true << utc(2200, 1, 1) << utc(2150, 1, 1) << true << true;
    QTest::newRow("exact, 2150 source, 2200 copy")
        << true << utc(2150, 1, 1) << utc(2200, 1, 1) << true << false;
}

void TestFileCopy::datesOutsideWhatFatHolds()
{
    QFETCH(bool, exact);
    QFETCH(qint64, sourceTime);
    QFETCH(qint64, copyTime);
    QFETCH(bool, sameSize);
    QFETCH(bool, copied);

    Fixture fixture;
    addDrives(fixture);
    ProbePlatform p(fixture.platform());
    p.exactTimes = {{'s', true}, {'e', exact}};
    fixture.writeFile("s:\\Docs\\a.txt", sameSize ? "new" : "new and longer", sourceTime);
    fixture.writeFile("e:\\S-Docs\\a.txt", "old", copyTime);
    if (fixture.mtime("s:\\Docs\\a.txt") != sourceTime ||
        fixture.mtime("e:\\S-Docs\\a.txt") != copyTime)
        QSKIP("the test's file system cannot hold these dates");

    const DaylightWindow dst = winter2006();
    FileCopy copy(p, dst);
    QCOMPARE(copy.copyIfNewer("s:\\Docs\\a.txt", "e:\\S-Docs\\a.txt"), copied);
}

void TestFileCopy::copyIfNewerWithoutSourceOrDest()
{
    Fixture fixture;
    addDrives(fixture);
    auto p = fixture.platform();
    fixture.writeFile("s:\\Docs\\a.txt", "new", p->fromLocal(at(2006, 1, 15, 10)));
    fixture.makeDir("e:\\S-Docs");
    const DaylightWindow dst = summer2006();
    FileCopy copy(*p, dst);

    // A missing copy is made, with the source's time.
    QVERIFY(copy.copyIfNewer("s:\\Docs\\a.txt", "e:\\S-Docs\\a.txt"));
    QCOMPARE(fixture.readFile("e:\\S-Docs\\a.txt"), QByteArray("new"));

    // A source that has gone is never copied, and the backup stays as it was.
    QVERIFY(!copy.copyIfNewer("s:\\Docs\\gone.txt", "e:\\S-Docs\\a.txt"));
    QCOMPARE(fixture.readFile("e:\\S-Docs\\a.txt"), QByteArray("new"));
    QVERIFY(!copy.copyIfNewer("s:\\Docs\\gone.txt", "e:\\S-Docs\\gone.txt"));
    QVERIFY(!fixture.exists("e:\\S-Docs\\gone.txt"));

    // No folders are made for the copy: it fails, and says why.
    QVERIFY(!copy.copyIfNewer("s:\\Docs\\a.txt", "e:\\S-Other\\a.txt"));
    QVERIFY(!fixture.exists("e:\\S-Other"));
    QVERIFY(copy.lastError().code != 0);
    // A copy that is not needed is no failure, whatever failed before.
    QVERIFY(!copy.copyIfNewer("s:\\Docs\\a.txt", "e:\\S-Docs\\a.txt"));
    QCOMPARE(copy.lastError().code, 0);
}

void TestFileCopy::copyIfNewerAcrossDrives_data()
{
    QTest::addColumn<char>("from");
    QTest::addColumn<char>("to");
    QTest::addColumn<QString>("fileSystem"); // of the destination; empty: as it is
    QTest::addColumn<int>("destOffset");     // seconds of the copy's time after the source's
    QTest::addColumn<bool>("copied");
    QTest::addColumn<bool>("shifting"); // media times follow daylight saving on this system
    QTest::addColumn<bool>("exact");    // both drives keep exact times

    // During daylight saving a correctable copy counts as one hour newer than its time says,
    // and a fixed copy of a correctable source as one hour older.
    QTest::newRow("fixed to removable, an hour earlier")
        << 's' << 'e' << "" << -3600 << false << true << false;
    QTest::newRow("fixed to removable, 4 s more")
        << 's' << 'e' << "" << -3604 << true << true << false;
    QTest::newRow("fixed to CD, an hour earlier")
        << 's' << 'd' << "" << -3600 << false << true << false;
    QTest::newRow("removable to fixed, an hour later")
        << 'e' << 's' << "" << 3600 << false << true << false;
    QTest::newRow("removable to fixed, 4 s less")
        << 'e' << 's' << "" << 3596 << true << true << false;
    QTest::newRow("removable to fixed, same time")
        << 'e' << 's' << "" << 0 << true << true << false;
    // Other pairs compare their times as they are.
    QTest::newRow("fixed to fixed") << 's' << 't' << "" << -3600 << true << true << false;
    QTest::newRow("fixed to remote") << 's' << 'n' << "" << -3600 << true << true << false;
    QTest::newRow("remote to fixed") << 'n' << 's' << "" << 3596 << false << true << false;
    QTest::newRow("removable to removable") << 'e' << 'f' << "" << -3600 << true << true << false;
    QTest::newRow("fixed to packet-written disc")
        << 's' << 'd' << "INCDFS" << -3600 << true << true << false;
    QTest::newRow("fixed to removable FAT")
        << 's' << 'e' << "vfat" << -3600 << false << true << false;
    // Where the system keeps every medium's times in UTC, a change within the hour is a change:
    // the 3-second tolerance alone decides.
    QTest::newRow("UTC media, fixed to removable, an hour earlier")
        << 's' << 'e' << "" << -3600 << true << false << false;
    QTest::newRow("UTC media, fixed to removable, 2 s earlier")
        << 's' << 'e' << "" << -2 << false << false << false;
    QTest::newRow("UTC media, removable to fixed, same time")
        << 's' << 'e' << "" << 0 << false << false << false;
    // Where both keep exact times the shift is exact too, and a second is a change.
    QTest::newRow("exact, fixed to removable, an hour earlier")
        << 's' << 'e' << "" << -3600 << false << true << true;
    QTest::newRow("exact, fixed to removable, an hour and a second earlier")
        << 's' << 'e' << "" << -3601 << true << true << true;
    QTest::newRow("exact, removable to fixed, a second less than an hour later")
        << 'e' << 's' << "" << 3599 << true << true << true;
    QTest::newRow("exact, UTC media, 2 s earlier")
        << 's' << 'e' << "" << -2 << true << false << true;
}

void TestFileCopy::copyIfNewerAcrossDrives()
{
    QFETCH(char, from);
    QFETCH(char, to);
    QFETCH(QString, fileSystem);
    QFETCH(int, destOffset);
    QFETCH(bool, copied);
    QFETCH(bool, shifting);
    QFETCH(bool, exact);

    Fixture fixture;
    addDrives(fixture);
    ProbePlatform p(fixture.platform());
    p.mediaShift = shifting;
    p.exactTimes = {{from, exact}, {to, exact}};
    if (!fileSystem.isEmpty())
        p.fileSystems[to] = fileSystem.toStdString();
    const qint64 sourceTime = p.fromLocal(at(2006, 1, 15, 10));
    const std::string source = onDrive(from, "Docs\\a.txt");
    const std::string dest = onDrive(to, "S-Docs\\a.txt");
    fixture.writeFile(source, "new", sourceTime);
    fixture.writeFile(dest, "old", sourceTime + destOffset);

    const DaylightWindow dst = summer2006();
    FileCopy copy(p, dst);
    QCOMPARE(copy.copyIfNewer(source, dest), copied);
    QCOMPARE(fixture.readFile(dest), copied ? QByteArray("new") : QByteArray("old"));
}

void TestFileCopy::correctCopiedFileTime_data()
{
    QTest::addColumn<char>("from");
    QTest::addColumn<char>("to");
    QTest::addColumn<QString>("fileSystem");
    QTest::addColumn<bool>("summerNow");
    QTest::addColumn<LocalTime>("sourceTime");
    QTest::addColumn<int>("shift"); // seconds the copy's time moves
    QTest::addColumn<bool>("shifting");

    const LocalTime winter = at(2006, 1, 15, 10, 0, 4);
    const LocalTime summer = at(2006, 7, 1, 10, 0, 4);
    QTest::newRow("winter file to removable")
        << 's' << 'e' << "" << true << winter << -3600 << true;
    QTest::newRow("winter file to CD") << 's' << 'd' << "" << true << winter << -3600 << true;
    QTest::newRow("winter file from removable")
        << 'e' << 's' << "" << true << winter << 3600 << true;
    QTest::newRow("summer file to removable") << 's' << 'e' << "" << true << summer << 0 << true;
    QTest::newRow("fixed to fixed") << 's' << 't' << "" << true << winter << 0 << true;
    QTest::newRow("fixed to remote") << 's' << 'n' << "" << true << winter << 0 << true;
    QTest::newRow("remote to fixed") << 'n' << 's' << "" << true << winter << 0 << true;
    QTest::newRow("removable to removable") << 'e' << 'f' << "" << true << winter << 0 << true;
    QTest::newRow("to packet-written disc")
        << 's' << 'd' << "INCDFS" << true << winter << 0 << true;
    // Started in winter: no shift, so neither season's files move.
    QTest::newRow("winter now, summer file") << 's' << 'e' << "" << false << summer << 0 << true;
    QTest::newRow("winter now, winter file") << 's' << 'e' << "" << false << winter << 0 << true;
    QTest::newRow("UTC media, winter file to removable")
        << 's' << 'e' << "" << true << winter << 0 << false;
}

void TestFileCopy::correctCopiedFileTime()
{
    QFETCH(char, from);
    QFETCH(char, to);
    QFETCH(QString, fileSystem);
    QFETCH(bool, summerNow);
    QFETCH(LocalTime, sourceTime);
    QFETCH(int, shift);
    QFETCH(bool, shifting);

    Fixture fixture;
    addDrives(fixture);
    ProbePlatform p(fixture.platform());
    p.mediaShift = shifting;
    if (!fileSystem.isEmpty())
        p.fileSystems[to] = fileSystem.toStdString();
    const std::string source = onDrive(from, "Docs\\a.txt");
    const std::string dest = onDrive(to, "S-Docs\\a.txt");
    const qint64 time = p.fromLocal(sourceTime);
    fixture.writeFile(source, "x", time);

    const DaylightWindow dst = summerNow ? summer2006() : winter2006();
    FileCopy copy(p, dst);
    QVERIFY(copy.copyFileTo(source, dest, false));
    copy.correctCopiedFileTime(source, dest, fileDateOf(p, p, source));
    QCOMPARE(fixture.mtime(dest), time + shift);
    QCOMPARE(fixture.mtime(source), time);
}

void TestFileCopy::correctionThereAndBack()
{
    Fixture fixture;
    addDrives(fixture);
    auto p = std::make_unique<ProbePlatform>(fixture.platform());
    p->mediaShift = true;
    // An odd second and its fraction, on drives that keep them: the correction keeps both.
    const qint64 time = p->fromLocal(at(2006, 12, 1, 23, 30, 5)) * kNanoseconds + 123456700;
    const qint64 hour = 3600 * kNanoseconds;
    fixture.writeFile("s:\\Docs\\a.txt", "x");
    QVERIFY(setNanoseconds(fixture, "s:\\Docs\\a.txt", time));
    const DaylightWindow dst = summer2006();
    FileCopy copy(*p, dst);

    QVERIFY(copy.copyFileTo("s:\\Docs\\a.txt", "e:\\S-Docs\\a.txt", false));
    copy.correctCopiedFileTime("s:\\Docs\\a.txt", "e:\\S-Docs\\a.txt",
                               fileDateOf(*p, *p, "s:\\Docs\\a.txt"));
    QCOMPARE(nanosecondsOf(fixture, "e:\\S-Docs\\a.txt"), time - hour);
    // The corrected copy is up to date during the same summer...
    QVERIFY(!copy.copyIfNewer("s:\\Docs\\a.txt", "e:\\S-Docs\\a.txt"));

    // ...and restored to a fixed disk it gets its own time back.
    QVERIFY(copy.copyFileTo("e:\\S-Docs\\a.txt", "t:\\Docs\\a.txt", false));
    copy.correctCopiedFileTime("e:\\S-Docs\\a.txt", "t:\\Docs\\a.txt",
                               fileDateOf(*p, *p, "e:\\S-Docs\\a.txt"));
    QCOMPARE(nanosecondsOf(fixture, "t:\\Docs\\a.txt"), time);
}

void TestFileCopy::correctionLeavesReadOnlyCopy()
{
    Fixture fixture;
    addDrives(fixture);
    auto p = std::make_unique<ProbePlatform>(fixture.platform());
    p->mediaShift = true;
    const qint64 time = p->fromLocal(at(2006, 1, 15, 10));
    fixture.writeFile("s:\\Docs\\a.txt", "x", time);
    fixture.writeFile("e:\\S-Docs\\a.txt", "x", time);
    QVERIFY(p->setReadOnly("e:\\S-Docs\\a.txt", true));

    const DaylightWindow dst = summer2006();
    FileCopy copy(*p, dst);
    copy.correctCopiedFileTime("s:\\Docs\\a.txt", "e:\\S-Docs\\a.txt",
                               fileDateOf(*p, *p, "s:\\Docs\\a.txt"));
    QCOMPARE(fixture.mtime("e:\\S-Docs\\a.txt"), time);
    // Nor does a missing copy raise anything.
    copy.correctCopiedFileTime("s:\\Docs\\a.txt", "e:\\S-Docs\\gone.txt",
                               fileDateOf(*p, *p, "s:\\Docs\\a.txt"));
    QVERIFY(p->setReadOnly("e:\\S-Docs\\a.txt", false));
}

void TestFileCopy::drivesAreAskedOncePerOperation()
{
    Fixture fixture;
    addDrives(fixture);
    ProbePlatform p(fixture.platform());
    p.mediaShift = true;
    const qint64 time = p.fromLocal(at(2006, 1, 15, 10));
    for (int i = 0; i < 20; ++i) {
        const std::string name = "Docs\\f" + std::to_string(i) + ".txt";
        fixture.writeFile(onDrive('s', name.c_str()), "new", time);
        fixture.writeFile(onDrive('e', ("S-" + name).c_str()), "old", time - 3600);
    }

    const DaylightWindow dst = summer2006();
    FileCopy copy(p, dst);
    for (int i = 0; i < 20; ++i) {
        const std::string name = "Docs\\f" + std::to_string(i) + ".txt";
        QVERIFY(!copy.copyIfNewer(onDrive('s', name.c_str()), onDrive('e', ("S-" + name).c_str())));
    }
    // The type of each drive and the file system of the removable one, once; and once each
    // whether they keep exact times.
    QVERIFY2(p.driveQueries <= 3, qPrintable(QString::number(p.driveQueries)));
    QCOMPARE(p.timeQueries, 2);
}

void TestFileCopy::copyFileTo()
{
    Fixture fixture;
    addDrives(fixture);
    auto p = fixture.platform();
    const qint64 time = p->fromLocal(at(2006, 1, 15, 10, 0, 3));
    fixture.writeFile("s:\\Docs\\a.txt", "new", time);
    const DaylightWindow dst = winter2006();
    FileCopy copy(*p, dst);

    // Missing folders are made, and the copy keeps the source's time.
    QVERIFY(copy.copyFileTo("s:\\Docs\\a.txt", "e:\\S-Docs\\deep\\er\\a.txt", false));
    QCOMPARE(fixture.readFile("e:\\S-Docs\\deep\\er\\a.txt"), QByteArray("new"));
    QCOMPARE(fixture.mtime("e:\\S-Docs\\deep\\er\\a.txt"), time);
    QVERIFY(copy.copyFileTo("s:\\Docs\\a.txt", "e:\\a.txt", false));
    QCOMPARE(fixture.readFile("e:\\a.txt"), QByteArray("new"));

    // An existing copy is overwritten, unless the caller forbids it.
    fixture.writeFile("e:\\S-Docs\\b.txt", "old");
    QVERIFY(!copy.copyFileTo("s:\\Docs\\a.txt", "e:\\S-Docs\\b.txt", true));
    QCOMPARE(fixture.readFile("e:\\S-Docs\\b.txt"), QByteArray("old"));
    QVERIFY(copy.copyFileTo("s:\\Docs\\a.txt", "e:\\S-Docs\\b.txt", false));
    QCOMPARE(fixture.readFile("e:\\S-Docs\\b.txt"), QByteArray("new"));

    // A failed copy leaves its reason.
    QVERIFY(!copy.copyFileTo("s:\\Docs\\gone.txt", "e:\\S-Docs\\gone.txt", false));
    QVERIFY(copy.lastError().code != 0);
    QVERIFY(!fixture.exists("e:\\S-Docs\\gone.txt"));
}

void TestFileCopy::fileDateAndSize()
{
    Fixture fixture;
    addDrives(fixture);
    auto p = fixture.platform();
    const DaylightWindow dst = winter2006();
    FileCopy copy(*p, dst);

    fixture.writeFile("s:\\Docs\\a.txt", "12345", p->fromLocal(at(2006, 7, 1, 14, 37, 59)));
    QCOMPARE(fileDateOf(*p, *p, "s:\\Docs\\a.txt"), packFileDate(at(2006, 7, 1, 14, 37, 58)));
    QCOMPARE(fileDateOf(*p, *p, "s:\\Docs\\gone.txt"), kNoFile);
    QCOMPARE(fileDateOf(*p, *p, "s:\\Docs"), kNoFile);
    QCOMPARE(copy.fileSizeOf("s:\\Docs\\a.txt"), std::int64_t(5));
    QCOMPARE(copy.fileSizeOf("s:\\Docs\\gone.txt"), std::int64_t(-1));

    // Sizes beyond 32 bits (a sparse file takes no room).
    fixture.writeFile("s:\\Docs\\big.bin", "");
    QFile big(fixture.native("s:\\Docs\\big.bin"));
    QVERIFY(big.resize(Q_INT64_C(5) * 1024 * 1024 * 1024 + 7));
    QCOMPARE(copy.fileSizeOf("s:\\Docs\\big.bin"), Q_INT64_C(5) * 1024 * 1024 * 1024 + 7);
}

void TestFileCopy::makeAndEnterDir()
{
    Fixture fixture;
    addDrives(fixture);
    auto p = fixture.platform();
    const DaylightWindow dst = winter2006();
    FileCopy copy(*p, dst);

    QVERIFY(copy.makeAndEnterDir("e:\\Outer\\Inner\\"));
    QVERIFY(fixture.exists("e:\\Outer\\Inner"));
    QCOMPARE(p->currentDirectory(), std::string("e:\\Outer\\Inner"));

    // Without the final separator the folder is made and entered, but the answer is no.
    QVERIFY(!copy.makeAndEnterDir("e:\\Other\\Level"));
    QVERIFY(fixture.exists("e:\\Other\\Level"));
    QCOMPARE(p->currentDirectory(), std::string("e:\\Other\\Level"));

    // An existing folder is simply entered.
    QVERIFY(copy.makeAndEnterDir("e:\\Outer\\"));
    QCOMPARE(p->currentDirectory(), std::string("e:\\Outer"));
}

void TestFileCopy::deleteToRecycleBin()
{
    Fixture fixture;
    addDrives(fixture);
    ProbePlatform p(fixture.platform());
    const DaylightWindow dst = winter2006();
    FileCopy copy(p, dst);

    QCOMPARE(copy.deleteToRecycleBin(""), -1);
    QCOMPARE(p.trashCalls, 0);

    fixture.writeFile("e:\\S-Docs\\a.txt", "x");
    QCOMPARE(copy.deleteToRecycleBin("e:\\S-Docs\\a.txt"), 0);
    QVERIFY(!fixture.exists("e:\\S-Docs\\a.txt"));
    QVERIFY(copy.deleteToRecycleBin("e:\\S-Docs\\gone.txt") != 0);
}

QTEST_GUILESS_MAIN(TestFileCopy)

#include "tst_filecopy.moc"
