// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/TextHelpers.h"

#include <QLocale>
#include <QtTest>

using namespace kx;

class TestTextHelpers : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QLocale::setDefault(QLocale::c()); }
    void splitting_data();
    void splitting();
    void digits_data();
    void digits();
    void caseConversionLeavesOtherBytes();
};

void TestTextHelpers::splitting_data()
{
    QTest::addColumn<char>("ch");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("after");
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("beforeLast");

    QTest::newRow("colons") << ':' << "a:b:c"
                            << "b:c"
                            << "a"
                            << "a:b";
    QTest::newRow("path") << '\\' << "C:\\a\\b\\c"
                          << "a\\b\\c"
                          << "C:"
                          << "C:\\a\\b";
    QTest::newRow("folder with separator") << '\\' << "C:\\a\\b\\"
                                           << "a\\b\\"
                                           << "C:"
                                           << "C:\\a\\b";
    QTest::newRow("no separator") << '\\' << "abc"
                                  << ""
                                  << ""
                                  << "";
    QTest::newRow("empty") << '\\' << ""
                           << ""
                           << ""
                           << "";
    QTest::newRow("starts with it") << ':' << ":ab"
                                    << "ab"
                                    << ""
                                    << "";
    QTest::newRow("only the separator") << ':' << ":"
                                        << ""
                                        << ""
                                        << "";
    QTest::newRow("doubled separator") << '\\' << "a\\\\b"
                                       << "\\b"
                                       << "a"
                                       << "a\\";
}

void TestTextHelpers::splitting()
{
    QFETCH(char, ch);
    QFETCH(QString, text);
    QFETCH(QString, after);
    QFETCH(QString, before);
    QFETCH(QString, beforeLast);

    const std::string s = text.toStdString();
    QCOMPARE(QString::fromStdString(textAfter(ch, s)), after);
    QCOMPARE(QString::fromStdString(textBefore(ch, s)), before);
    QCOMPARE(QString::fromStdString(textBeforeLast(ch, s)), beforeLast);
}

void TestTextHelpers::digits_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("stripped");
    QTest::addColumn<QString>("digitsOnly");

    QTest::newRow("version") << "v1.04b"
                             << "v.b"
                             << "104";
    QTest::newRow("no digits") << "abc"
                               << "abc"
                               << "";
    QTest::newRow("only digits") << "0123456789"
                                 << ""
                                 << "0123456789";
    // Only the first 79 characters count: the digits after them are neither kept nor removed.
    QTest::newRow("beyond 79") << QString(78, QLatin1Char('x')) + "12"
                               << QString(78, QLatin1Char('x')) << "1";
}

void TestTextHelpers::digits()
{
    QFETCH(QString, text);
    QFETCH(QString, stripped);
    QFETCH(QString, digitsOnly);

    QCOMPARE(QString::fromStdString(stripDigits(text.toStdString())), stripped);
    QCOMPARE(QString::fromStdString(kx::digitsOnly(text.toStdString())), digitsOnly);
}

void TestTextHelpers::caseConversionLeavesOtherBytes()
{
    const std::string mixed = "AbC-z\xC3\x89\xC3\xA9";
    QCOMPARE(lowerCase(mixed), std::string("abc-z\xC3\x89\xC3\xA9"));
    QCOMPARE(upperCase(mixed), std::string("ABC-Z\xC3\x89\xC3\xA9"));
}

QTEST_GUILESS_MAIN(TestTextHelpers)

#include "tst_texthelpers.moc"
