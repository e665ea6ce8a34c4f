// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/Fixture.h"
#include "platform/linux/DateTimeText.h"
#include "platform/linux/LinuxPlatform.h"

#include <QtTest>

#include <ctime>

using namespace kx;

namespace {

// Runs the test in another zone and puts the old one back afterwards.
class ZoneGuard
{
public:
    explicit ZoneGuard(const QByteArray& zone)
        : m_old(qgetenv("TZ")), m_had(qEnvironmentVariableIsSet("TZ"))
    {
        qputenv("TZ", zone);
        ::tzset();
    }
    ~ZoneGuard()
    {
        if (m_had)
            qputenv("TZ", m_old);
        else
            qunsetenv("TZ");
        ::tzset();
    }

private:
    QByteArray m_old;
    bool m_had;
};

QString describe(const TransitionRecord& r)
{
    if (r.month == 0)
        return QString();
    return QString::asprintf("%04d-%02d-%02d %02d:%02d:%02d day %d", r.year, r.month, r.day, r.hour,
                             r.minute, r.second, r.dayOfWeek);
}

} // namespace

class TestTimeLocale : public QObject
{
    Q_OBJECT

private slots:
    void zoneRecords_data()
    {
        QTest::addColumn<QByteArray>("zone");
        QTest::addColumn<int>("year");
        QTest::addColumn<int>("bias");
        QTest::addColumn<int>("daylightBias");
        QTest::addColumn<QString>("daylightStart"); // local standard time
        QTest::addColumn<QString>("daylightEnd");   // local daylight time

        QTest::newRow("Amsterdam 2025")
            << QByteArray("Europe/Amsterdam") << 2025 << -60 << -60 << "2025-03-30 02:00:00 day 0"
            << "2025-10-26 03:00:00 day 0";
        QTest::newRow("Amsterdam 2006")
            << QByteArray("Europe/Amsterdam") << 2006 << -60 << -60 << "2006-03-26 02:00:00 day 0"
            << "2006-10-29 03:00:00 day 0";
        QTest::newRow("New York") << QByteArray("America/New_York") << 2025 << 300 << -60
                                  << "2025-03-09 02:00:00 day 0"
                                  << "2025-11-02 02:00:00 day 0";
        QTest::newRow("Sydney") << QByteArray("Australia/Sydney") << 2025 << -600 << -60
                                << "2025-10-05 02:00:00 day 0"
                                << "2025-04-06 03:00:00 day 0";
        // Its records call summer the standard; it reads like any other zone.
        QTest::newRow("Dublin") << QByteArray("Europe/Dublin") << 2025 << 0 << -60
                                << "2025-03-30 01:00:00 day 0"
                                << "2025-10-26 02:00:00 day 0";
        QTest::newRow("Tokyo") << QByteArray("Asia/Tokyo") << 2025 << -540 << 0 << QString()
                               << QString();
        QTest::newRow("UTC") << QByteArray("UTC") << 2025 << 0 << 0 << QString() << QString();
    }

    void zoneRecords()
    {
        QFETCH(QByteArray, zone);
        QFETCH(int, year);
        QFETCH(int, bias);
        QFETCH(int, daylightBias);
        QFETCH(QString, daylightStart);
        QFETCH(QString, daylightEnd);
        if (!QTimeZone(zone).isValid())
            QSKIP("this system has no data for the zone");
        ZoneGuard guard(zone);
        LinuxPlatform platform;
        const TimeZoneRecords records = platform.timeZone(year);
        QCOMPARE(records.bias, bias);
        QCOMPARE(records.standardBias, 0);
        QCOMPARE(records.daylightBias, daylightBias);
        QCOMPARE(describe(records.daylightDate), daylightStart);
        QCOMPARE(describe(records.standardDate), daylightEnd);
    }

    void localTime()
    {
        if (!QTimeZone("Europe/Amsterdam").isValid())
            QSKIP("this system has no data for the zone");
        ZoneGuard guard("Europe/Amsterdam");
        LinuxPlatform platform;
        const std::int64_t summer = 1751371200; // 2025-07-01 12:00 UTC
        const LocalTime local = platform.toLocal(summer);
        QCOMPARE(local.year, 2025);
        QCOMPARE(local.month, 7);
        QCOMPARE(local.day, 1);
        QCOMPARE(local.hour, 14);
        QCOMPARE(local.minute, 0);
        QCOMPARE(platform.fromLocal(local), summer);
        const std::int64_t winter = 1735732805; // 2025-01-01 12:00:05 UTC
        QCOMPARE(platform.toLocal(winter).hour, 13);
        QCOMPARE(platform.toLocal(winter).second, 5);
        QCOMPARE(platform.fromLocal(platform.toLocal(winter)), winter);
        QVERIFY(std::abs(platform.now() - std::int64_t(std::time(nullptr))) <= 1);
    }

    void dateTimeText_data()
    {
        QTest::addColumn<double>("dateTime");
        QTest::addColumn<QString>("text");
        QTest::newRow("noon") << 36526.5 << "1 Jan 2000 12:00:00";
        QTest::newRow("midnight shows the date alone") << 36526.0 << "1 Jan 2000";
        QTest::newRow("evening") << 45000.75 << "15 Mar 2023 18:00:00";
        QTest::newRow("seconds") << 45000.0 + (3600.0 * 9 + 60 * 5 + 7) / 86400.0
                                 << "15 Mar 2023 09:05:07";
        QTest::newRow("before the base date") << -1.25 << "29 Dec 1899 06:00:00";
    }

    void dateTimeText()
    {
        QFETCH(double, dateTime);
        QFETCH(QString, text);
        if (QLocale::system().name() != "C")
            QSKIP("the texts are those of the C locale; run with LC_ALL=C.UTF-8");
        LinuxPlatform platform;
        QCOMPARE(QString::fromStdString(platform.formatDateTime(dateTime)), text);
        QCOMPARE(platform.decimalSeparator(), '.');
    }

    // The windows widen a year of two digits, which reads as a day or a month ("12/11/26");
    // the command line and the log keep the locale's own short date.
    void windowDatesHaveFourDigitYears_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("plainDate");
        QTest::addColumn<QString>("windowDate");
        QTest::newRow("American") << "en_US"
                                  << "12/11/26"
                                  << "12/11/2026";
        QTest::newRow("German") << "de_DE"
                                << "11.12.26"
                                << "11.12.2026";
        QTest::newRow("Dutch, four digits already") << "nl_NL"
                                                    << "11-12-2026"
                                                    << "11-12-2026";
        QTest::newRow("British, four digits already") << "en_GB"
                                                      << "11/12/2026"
                                                      << "11/12/2026";
        QTest::newRow("C, a month by name") << "C"
                                            << "11 Dec 2026"
                                            << "11 Dec 2026";
    }

    void windowDatesHaveFourDigitYears()
    {
        QFETCH(QString, locale);
        QFETCH(QString, plainDate);
        QFETCH(QString, windowDate);
        const QLocale l(locale);
        const double moment = 46367.0 + (3600.0 * 13 + 60 * 5 + 7) / 86400.0; // 11 Dec 2026
        const QString time = l.toString(QTime(13, 5, 7), l.timeFormat(QLocale::LongFormat))
                                 .section(QLatin1Char(' '), 0, 0);
        const QString plain = datetext::dateTimeText(moment, l, datetext::Year::AsTheLocaleWrites);
        const QString window = datetext::dateTimeText(moment, l, datetext::Year::FourDigits);
        QVERIFY2(plain.startsWith(plainDate + " ") && plain.contains(time), qPrintable(plain));
        QVERIFY2(window.startsWith(windowDate + " ") && window.contains(time), qPrintable(window));
        QCOMPARE(window.mid(windowDate.size()), plain.mid(plainDate.size()));
        // Midnight precisely shows the date alone, in either form.
        QCOMPARE(datetext::dateTimeText(46367.0, l, datetext::Year::FourDigits), windowDate);
    }
};

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QLocale::setDefault(QLocale::c());
    TestTimeLocale test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_timelocale.moc"
