// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/FileDate.h"
#include "support/Language.h"
#include "support/SystemFacts.h"
#include "support/TextHelpers.h"

#include "ProbePlatform.h"
#include "common/Fixture.h"

#include <QDir>
#include <QLocale>
#include <QtTest>

#include <ctime>

using namespace kx;
using kx::test::Fixture;
using kx::test::ProbePlatform;

class TestSystemFacts : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void languageCode_data();
    void languageCode();
    void gatheredFacts_data();
    void gatheredFacts();
    void userDataFolder();
};

void TestSystemFacts::initTestCase()
{
    QLocale::setDefault(QLocale::c());
    qputenv("TZ", "Europe/Amsterdam");
    tzset();
}

void TestSystemFacts::languageCode_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("code");

    QTest::newRow("Dutch") << "nl_NL"
                           << "nld";
    QTest::newRow("Flemish") << "nl_BE"
                             << "nld";
    QTest::newRow("Afrikaans") << "af_ZA"
                               << "nld";
    QTest::newRow("German") << "de_DE"
                            << "";
    QTest::newRow("English") << "en_US"
                             << "";
    QTest::newRow("C") << "C"
                       << "";
}

void TestSystemFacts::languageCode()
{
    QFETCH(QString, locale);
    QFETCH(QString, code);

    const std::string languageCode = languageCodeForLocale(locale.toStdString());
    QCOMPARE(QString::fromStdString(languageCode), code);
    QCOMPARE(QString::fromLatin1(inLanguage(languageOf(languageCode), Text{"Knop", "Button"})),
             code == "nld" ? QStringLiteral("Knop") : QStringLiteral("Button"));
}

namespace {
QString text(DateTime dt)
{
    const LocalTime t = dateTimeToLocalTime(dt);
    return QString::asprintf("%04d-%02d-%02d %02d:%02d:%02d", t.year, t.month, t.day, t.hour,
                             t.minute, t.second);
}

TimeZoneRecords centralEurope()
{
    TimeZoneRecords zone;
    zone.bias = -60;
    zone.daylightBias = -60;
    zone.daylightDate = TransitionRecord{0, 3, 0, 5, 2, 0, 0};
    zone.standardDate = TransitionRecord{0, 10, 0, 5, 3, 0, 0};
    return zone;
}
} // namespace

void TestSystemFacts::gatheredFacts_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<bool>("systemZone");
    QTest::addColumn<int>("year");
    QTest::addColumn<int>("month");
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("end");
    QTest::addColumn<bool>("dstNow");

    QTest::newRow("Dutch summer") << "nl_BE" << false << 2006 << 7 << "nld"
                                  << "2006-03-26 02:00:00"
                                  << "2006-10-29 03:00:00" << true;
    QTest::newRow("German winter") << "de_DE" << false << 2007 << 1 << ""
                                   << "2007-03-25 02:00:00"
                                   << "2007-10-28 03:00:00" << false;
    // The system's own zone (Amsterdam for this test) gives the same window.
    QTest::newRow("system zone, summer") << "af_ZA" << true << 2006 << 7 << "nld"
                                         << "2006-03-26 02:00:00"
                                         << "2006-10-29 03:00:00" << true;
    QTest::newRow("system zone, winter") << "en_GB" << true << 2007 << 12 << ""
                                         << "2007-03-25 02:00:00"
                                         << "2007-10-28 03:00:00" << false;
}

void TestSystemFacts::gatheredFacts()
{
    QFETCH(QString, locale);
    QFETCH(bool, systemZone);
    QFETCH(int, year);
    QFETCH(int, month);
    QFETCH(QString, code);
    QFETCH(QString, start);
    QFETCH(QString, end);
    QFETCH(bool, dstNow);

    Fixture fixture;
    ProbePlatform p(fixture.platform());
    p.locale = locale.toStdString();
    if (!systemZone)
        p.zone = centralEurope();
    p.clock = p.fromLocal(LocalTime{year, month, 15, 12, 0, 0});

    const SystemFacts facts = gatherSystemFacts(p);
    QCOMPARE(QString::fromStdString(facts.languageCode), code);
    QCOMPARE(text(facts.dst.dstStart), start);
    QCOMPARE(text(facts.dst.dstEnd), end);
    QCOMPARE(facts.dst.dstNow, dstNow);
    QCOMPARE(facts.dst.dstShift, dstNow ? 1.0 / 24 : 0.0);
}

void TestSystemFacts::userDataFolder()
{
    Fixture fixture;
    auto p = fixture.platform();
    const std::string folder = kx::userDataFolder(*p);
    QVERIFY(!folder.empty());
    QVERIFY(folder.back() == '/' || folder.back() == '\\');
    QVERIFY(QDir(QString::fromStdString(folder)).exists());
    QCOMPARE(QDir(QString::fromStdString(folder)).canonicalPath(),
             QDir(fixture.dataPath()).canonicalPath());
    QVERIFY(!computerName(*p).empty());
}

QTEST_GUILESS_MAIN(TestSystemFacts)

#include "tst_systemfacts.moc"
