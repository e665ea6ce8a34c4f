// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/DaylightSaving.h"

#include <QLocale>
#include <QtTest>

using namespace kx;

Q_DECLARE_METATYPE(kx::TimeZoneRecords)
Q_DECLARE_METATYPE(kx::LocalTime)

namespace {

LocalTime at(int year, int month, int day, int hour = 0, int minute = 0, int second = 0)
{
    return LocalTime{year, month, day, hour, minute, second};
}

TransitionRecord rule(int month, int dayOfWeek, int occurrence, int hour)
{
    return TransitionRecord{0, month, dayOfWeek, occurrence, hour, 0, 0};
}

// Central Europe since 1996: last Sunday of March 02:00 to last Sunday of October 03:00.
TimeZoneRecords centralEurope()
{
    TimeZoneRecords zone;
    zone.bias = -60;
    zone.standardBias = 0;
    zone.daylightBias = -60;
    zone.daylightDate = rule(3, 0, 5, 2);
    zone.standardDate = rule(10, 0, 5, 3);
    return zone;
}

// The United States before 2007: first Sunday of April to last Sunday of October, both 02:00.
TimeZoneRecords usBefore2007()
{
    TimeZoneRecords zone;
    zone.bias = 300;
    zone.daylightBias = -60;
    zone.daylightDate = rule(4, 0, 1, 2);
    zone.standardDate = rule(10, 0, 5, 2);
    return zone;
}

// New South Wales: summer time starts in October and ends in April.
TimeZoneRecords southern()
{
    TimeZoneRecords zone;
    zone.bias = -600;
    zone.daylightBias = -60;
    zone.daylightDate = rule(10, 0, 1, 2);
    zone.standardDate = rule(4, 0, 1, 3);
    return zone;
}

QString text(DateTime dt)
{
    const LocalTime t = dateTimeToLocalTime(dt);
    return QString::asprintf("%04d-%02d-%02d %02d:%02d:%02d", t.year, t.month, t.day, t.hour,
                             t.minute, t.second);
}

} // namespace

class TestDaylightSaving : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QLocale::setDefault(QLocale::c()); }
    void window_data();
    void window();
    void ruleDays_data();
    void ruleDays();
    void fileDatesInsideTheWindow();
};

void TestDaylightSaving::window_data()
{
    QTest::addColumn<TimeZoneRecords>("zone");
    QTest::addColumn<LocalTime>("now");
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("end");
    QTest::addColumn<bool>("dstNow");
    QTest::addColumn<double>("shift");

    QTest::newRow("summer 2006") << centralEurope() << at(2006, 7, 1, 12) << "2006-03-26 02:00:00"
                                 << "2006-10-29 03:00:00" << true << 1.0 / 24;
    QTest::newRow("winter 2007") << centralEurope() << at(2007, 1, 15) << "2007-03-25 02:00:00"
                                 << "2007-10-28 03:00:00" << false << 0.0;
    // Strictly inside: the very moment of the transition does not count.
    QTest::newRow("at the start") << centralEurope() << at(2006, 3, 26, 2) << "2006-03-26 02:00:00"
                                  << "2006-10-29 03:00:00" << false << 0.0;
    QTest::newRow("just after the start")
        << centralEurope() << at(2006, 3, 26, 2, 0, 1) << "2006-03-26 02:00:00"
        << "2006-10-29 03:00:00" << true << 1.0 / 24;
    QTest::newRow("at the end") << centralEurope() << at(2006, 10, 29, 3) << "2006-03-26 02:00:00"
                                << "2006-10-29 03:00:00" << false << 0.0;
    QTest::newRow("first Sunday of April")
        << usBefore2007() << at(2006, 4, 1, 23) << "2006-04-02 02:00:00"
        << "2006-10-29 02:00:00" << false << 0.0;

    TimeZoneRecords noDst;
    noDst.bias = -540;
    QTest::newRow("no daylight saving") << noDst << at(2006, 7, 1) << "1899-12-30 00:00:00"
                                        << "1899-12-30 00:00:00" << false << 0.0;

    // A southern zone starts after it ends within the year: never inside, whatever the season.
    QTest::newRow("southern summer") << southern() << at(2006, 12, 25) << "2006-10-01 02:00:00"
                                     << "2006-04-02 03:00:00" << false << 0.0;
    QTest::newRow("southern winter") << southern() << at(2006, 7, 1) << "2006-10-01 02:00:00"
                                     << "2006-04-02 03:00:00" << false << 0.0;

    // Absolute transitions: each record gives its own date; the weekday does not count.
    TimeZoneRecords absolute;
    absolute.standardBias = 0;
    absolute.daylightBias = -30;
    absolute.daylightDate = TransitionRecord{2006, 4, 3, 10, 1, 30, 0};
    absolute.standardDate = TransitionRecord{2006, 9, 0, 20, 23, 0, 0};
    QTest::newRow("absolute, inside") << absolute << at(2006, 6, 1) << "2006-04-10 01:30:00"
                                      << "2006-09-20 23:00:00" << true << 30.0 / 1440;
    QTest::newRow("absolute, another year") << absolute << at(2007, 6, 1) << "2006-04-10 01:30:00"
                                            << "2006-09-20 23:00:00" << false << 0.0;
}

void TestDaylightSaving::window()
{
    QFETCH(TimeZoneRecords, zone);
    QFETCH(LocalTime, now);
    QFETCH(QString, start);
    QFETCH(QString, end);
    QFETCH(bool, dstNow);
    QFETCH(double, shift);

    const DaylightWindow w = computeDaylightWindow(zone, now);
    QCOMPARE(text(w.dstStart), start);
    QCOMPARE(text(w.dstEnd), end);
    QCOMPARE(w.dstNow, dstNow);
    QCOMPARE(w.dstShift, shift);
}

void TestDaylightSaving::ruleDays_data()
{
    QTest::addColumn<int>("year");
    QTest::addColumn<int>("month");
    QTest::addColumn<int>("dayOfWeek");
    QTest::addColumn<int>("occurrence");
    QTest::addColumn<int>("day");

    QTest::newRow("last Sunday of March 2006") << 2006 << 3 << 0 << 5 << 26;
    QTest::newRow("last Sunday of March 2007") << 2007 << 3 << 0 << 5 << 25;
    QTest::newRow("first Sunday of April 2006") << 2006 << 4 << 0 << 1 << 2;
    QTest::newRow("second Sunday of March 2007") << 2007 << 3 << 0 << 2 << 11;
    // The fifth Sunday exists in October 2006 (the 29th) and is the last one.
    QTest::newRow("last Sunday of October 2006") << 2006 << 10 << 0 << 5 << 29;
    // February of a leap year: Friday the 29th is the fifth Friday of 2008.
    QTest::newRow("last Friday of February 2008") << 2008 << 2 << 5 << 5 << 29;
    QTest::newRow("last Friday of February 2009") << 2009 << 2 << 5 << 5 << 27;
    QTest::newRow("first Sunday on the 1st") << 2006 << 10 << 0 << 1 << 1;
}

void TestDaylightSaving::ruleDays()
{
    QFETCH(int, year);
    QFETCH(int, month);
    QFETCH(int, dayOfWeek);
    QFETCH(int, occurrence);
    QFETCH(int, day);

    TimeZoneRecords zone;
    zone.daylightBias = -60;
    zone.daylightDate = rule(month, dayOfWeek, occurrence, 2);
    zone.standardDate = rule(12, 0, 5, 3);
    const DaylightWindow w = computeDaylightWindow(zone, at(year, 1, 1));
    QCOMPARE(text(w.dstStart), QString::asprintf("%04d-%02d-%02d 02:00:00", year, month, day));
}

void TestDaylightSaving::fileDatesInsideTheWindow()
{
    const DaylightWindow w = computeDaylightWindow(centralEurope(), at(2006, 7, 1));
    QVERIFY(inDaylightSaving(w, packFileDate(at(2006, 6, 1, 12))));
    QVERIFY(inDaylightSaving(w, packFileDate(at(2006, 3, 26, 2, 0, 2))));
    QVERIFY(!inDaylightSaving(w, packFileDate(at(2006, 3, 26, 2))));
    QVERIFY(!inDaylightSaving(w, packFileDate(at(2006, 1, 10))));
    QVERIFY(!inDaylightSaving(w, packFileDate(at(2006, 10, 29, 3))));
    // Only this year's window counts: last summer is outside it.
    QVERIFY(!inDaylightSaving(w, packFileDate(at(2005, 7, 1))));

    const DaylightWindow none = computeDaylightWindow(TimeZoneRecords{}, at(2006, 7, 1));
    QVERIFY(!inDaylightSaving(none, packFileDate(at(2006, 7, 1))));
}

QTEST_GUILESS_MAIN(TestDaylightSaving)

#include "tst_daylightsaving.moc"
