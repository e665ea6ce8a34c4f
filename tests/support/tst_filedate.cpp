// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/FileDate.h"

#include <QLocale>
#include <QtTest>

#include <limits>

using namespace kx;

Q_DECLARE_METATYPE(kx::LocalTime)
Q_DECLARE_METATYPE(kx::FatRange)

namespace {
LocalTime at(int year, int month, int day, int hour = 0, int minute = 0, int second = 0)
{
    return LocalTime{year, month, day, hour, minute, second};
}

QString text(const LocalTime& t)
{
    return QString::asprintf("%04d-%02d-%02d %02d:%02d:%02d", t.year, t.month, t.day, t.hour,
                             t.minute, t.second);
}
qint64 utc(int year, int month, int day, int hour = 0)
{
    return QDateTime(QDate(year, month, day), QTime(hour, 0), QTimeZone::utc()).toSecsSinceEpoch();
}
} // namespace

class TestFileDate : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QLocale::setDefault(QLocale::c()); }
    void packing_data();
    void packing();
    void signedOrder();
    void dateTimes_data();
    void dateTimes();
    void dateTimeRoundsToTheSecond();
    void shiftThroughDateTimes();
    void fatRange_data();
    void fatRange();
    void fileTimesSaturate();
};

void TestFileDate::packing_data()
{
    QTest::addColumn<LocalTime>("time");
    QTest::addColumn<quint32>("packed");
    QTest::addColumn<QString>("unpacked");

    QTest::newRow("first moment") << at(1980, 1, 1) << quint32(0x00210000) << "1980-01-01 00:00:00";
    // Bits: year-1980 25..31, month 21..24, day 16..20, hour 11..15, minute 5..10, second/2 0..4.
    QTest::newRow("all fields") << at(2006, 3, 26, 14, 37, 59)
                                << quint32((26u << 25) | (3u << 21) | (26u << 16) | (14u << 11) |
                                           (37u << 5) | 29u)
                                << "2006-03-26 14:37:58";
    QTest::newRow("odd second truncated")
        << at(2020, 2, 29, 23, 59, 1)
        << quint32((40u << 25) | (2u << 21) | (29u << 16) | (23u << 11) | (59u << 5) | 0u)
        << "2020-02-29 23:59:00";
    // Outside the packable range the time is clamped to its ends, never wrapped around.
    QTest::newRow("before 1980") << at(1979, 12, 31, 23, 59, 59) << quint32(0x00210000)
                                 << "1980-01-01 00:00:00";
    QTest::newRow("long before 1980")
        << at(1601, 1, 1) << quint32(0x00210000) << "1980-01-01 00:00:00";
    QTest::newRow("last moment") << at(2107, 12, 31, 23, 59, 59) << quint32(0xFF9FBF7D)
                                 << "2107-12-31 23:59:58";
    QTest::newRow("after 2107") << at(2108, 1, 1) << quint32(0xFF9FBF7D) << "2107-12-31 23:59:58";
    QTest::newRow("far after 2107")
        << at(3000, 6, 1) << quint32(0xFF9FBF7D) << "2107-12-31 23:59:58";
}

void TestFileDate::packing()
{
    QFETCH(LocalTime, time);
    QFETCH(quint32, packed);
    QFETCH(QString, unpacked);

    const FileDate d = packFileDate(time);
    QCOMPARE(static_cast<quint32>(d), packed);
    QCOMPARE(text(unpackFileDate(d)), unpacked);
    // The last moment is not the "no file" value.
    QVERIFY(d != kNoFile);
}

void TestFileDate::signedOrder()
{
    // Compared as signed integers, later times give larger file dates, from 1980 until the year
    // bits reach the sign bit in 2044.
    const LocalTime times[] = {at(1980, 1, 1),           at(1999, 12, 31, 23, 59, 58),
                               at(2000, 1, 1),           at(2006, 3, 26, 1, 59, 58),
                               at(2006, 3, 26, 2, 0, 0), at(2006, 3, 26, 2, 0, 2),
                               at(2006, 10, 1),          at(2043, 12, 31, 23, 59, 58)};
    for (std::size_t i = 1; i < std::size(times); ++i) {
        QVERIFY2(packFileDate(times[i - 1]) < packFileDate(times[i]), qPrintable(text(times[i])));
    }
    QVERIFY(kNoFile < packFileDate(at(1980, 1, 1)));
}

void TestFileDate::dateTimes_data()
{
    QTest::addColumn<LocalTime>("time");
    QTest::addColumn<double>("dateTime");

    QTest::newRow("day zero") << at(1899, 12, 30) << 0.0;
    QTest::newRow("1900 is no leap year") << at(1900, 1, 1) << 2.0;
    QTest::newRow("noon") << at(1980, 1, 1, 12) << 29221.5;
    QTest::newRow("2000") << at(2000, 1, 1, 6) << 36526.25;
    QTest::newRow("start of summer time") << at(2006, 3, 26, 2) << 38802.0 + 2.0 / 24;
    QTest::newRow("last packable day") << at(2107, 12, 31) << 75971.0;
    QTest::newRow("before day zero") << at(1600, 3, 1) << -109511.0;
}

void TestFileDate::dateTimes()
{
    QFETCH(LocalTime, time);
    QFETCH(double, dateTime);

    QCOMPARE(localTimeToDateTime(time), dateTime);
    QCOMPARE(text(dateTimeToLocalTime(dateTime)), text(time));
}

void TestFileDate::dateTimeRoundsToTheSecond()
{
    const double tenOClock = localTimeToDateTime(at(2006, 7, 1, 10));
    QCOMPARE(text(dateTimeToLocalTime(tenOClock - 0.4 / 86400)), QString("2006-07-01 10:00:00"));
    QCOMPARE(text(dateTimeToLocalTime(tenOClock + 0.4 / 86400)), QString("2006-07-01 10:00:00"));
    QCOMPARE(text(dateTimeToLocalTime(tenOClock - 0.6 / 86400)), QString("2006-07-01 09:59:59"));
    // Across midnight and the end of the year.
    QCOMPARE(text(dateTimeToLocalTime(localTimeToDateTime(at(2007, 1, 1)) - 1.0 / 86400)),
             QString("2006-12-31 23:59:59"));
}

void TestFileDate::shiftThroughDateTimes()
{
    // Adding an hour or three seconds through date-times lands on the exact file date, however
    // the fractions of a day fall.
    for (int minute = 0; minute < 60; minute += 7) {
        for (int second = 0; second < 60; second += 2) {
            const FileDate d = packFileDate(at(2006, 2, 28, 23, minute, second));
            const FileDate hourLater = dateTimeToFileDate(fileDateToDateTime(d) + 1.0 / 24);
            QCOMPARE(text(unpackFileDate(hourLater)), text(at(2006, 3, 1, 0, minute, second)));
            QCOMPARE(dateTimeToFileDate(fileDateToDateTime(hourLater) - 1.0 / 24), d);
            const FileDate later = dateTimeToFileDate(fileDateToDateTime(d) + 3.0 / 86400);
            QCOMPARE(text(unpackFileDate(later)),
                     text(dateTimeToLocalTime(fileDateToDateTime(d) + 2.0 / 86400)));
        }
    }
}

void TestFileDate::fatRange_data()
{
    QTest::addColumn<qint64>("time");
    QTest::addColumn<FatRange>("range");

    // A day wide at each end: FAT keeps local time, in whatever zone.
    QTest::newRow("1970") << utc(1970, 1, 1) << FatRange::AtFirst;
    QTest::newRow("before 1970") << utc(1901, 6, 1) << FatRange::AtFirst;
    QTest::newRow("first day of 1980") << utc(1980, 1, 1, 23) << FatRange::AtFirst;
    QTest::newRow("second day of 1980") << utc(1980, 1, 2) << FatRange::Inside;
    QTest::newRow("2020") << utc(2020, 5, 1) << FatRange::Inside;
    QTest::newRow("last but one day of 2107") << utc(2107, 12, 30, 12) << FatRange::Inside;
    QTest::newRow("last day of 2107") << utc(2107, 12, 31, 12) << FatRange::AtLast;
    QTest::newRow("2200") << utc(2200, 1, 1) << FatRange::AtLast;
    QTest::newRow("least 64-bit time") << std::numeric_limits<qint64>::min() << FatRange::AtFirst;
    QTest::newRow("greatest 64-bit time") << std::numeric_limits<qint64>::max() << FatRange::AtLast;
}

void TestFileDate::fatRange()
{
    QFETCH(qint64, time);
    QFETCH(FatRange, range);
    QCOMPARE(fatRangeOf(time), range);
}

void TestFileDate::fileTimesSaturate()
{
    constexpr std::int64_t most = std::numeric_limits<std::int64_t>::max();
    constexpr std::int64_t least = std::numeric_limits<std::int64_t>::min();
    // A copy dated at the end of the range with a tolerance added stays the latest time there is.
    QVERIFY((plusSeconds(FileTime{most - 1, 5}, 3) == FileTime{most, 5}));
    QVERIFY((plusSeconds(FileTime{least + 1, 5}, -3600) == FileTime{least, 5}));
    QVERIFY((plusSeconds(FileTime{100, 7}, -3600) == FileTime{-3500, 7}));
    // The 100 ns count after the seconds.
    QVERIFY((FileTime{100, 1} > FileTime{100, 0}));
    QVERIFY((FileTime{101, 0} > FileTime{100, 9'999'999}));
}

QTEST_GUILESS_MAIN(TestFileDate)

#include "tst_filedate.moc"
