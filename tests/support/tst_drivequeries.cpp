// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/DriveQueries.h"

#include "ProbePlatform.h"
#include "common/Fixture.h"

#include <QLocale>
#include <QtTest>

using namespace kx;
using kx::test::Fixture;
using kx::test::ProbePlatform;

class TestDriveQueries : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QLocale::setDefault(QLocale::c()); }
    void typesAndLabels();
    void errorText_data();
    void errorText();
    void driveListText_data();
    void driveListText();
};

void TestDriveQueries::typesAndLabels()
{
    Fixture fixture;
    fixture.addDrive('s', QStringLiteral("DRIVE_FIXED"), QStringLiteral("Data"));
    fixture.addDrive('e', QStringLiteral("DRIVE_REMOVABLE"));
    fixture.addMissingDrive('a', QStringLiteral("DRIVE_REMOVABLE"));
    auto p = fixture.platform();

    QCOMPARE(driveTypeOf(*p, 's'), DriveType::Fixed);
    QCOMPARE(driveTypeOf(*p, 'S'), DriveType::Fixed);
    QCOMPARE(driveTypeOf(*p, 'e'), DriveType::Removable);
    QCOMPARE(driveTypeOf(*p, 'q'), DriveType::None);
    // A drive without its medium still has its type.
    QCOMPARE(driveTypeOf(*p, 'a'), DriveType::Removable);
    QCOMPARE(driveTypeWord(driveTypeOf(*p, 'a')), "DRIVE_REMOVABLE");

    QCOMPARE(volumeLabel(*p, 's'), std::string("Data"));
    QCOMPARE(volumeLabel(*p, 'S'), std::string("Data"));
    // No label is not an error.
    QCOMPARE(volumeLabel(*p, 'e'), std::string());
    // An empty floppy drive: the label tells the code, and the drive is told apart by it.
    QVERIFY(mediumMissing(*p, 'a'));
    QVERIFY(!mediumMissing(*p, 'e'));
    QVERIFY(!mediumMissing(*p, 'q'));
    const std::string empty = volumeLabel(*p, 'a');
    QVERIFY2(empty.rfind("Error 21 ", 0) == 0, empty.c_str());
    QVERIFY(empty.size() > 9);
    QVERIFY(empty.back() != '.' && empty.back() != ' ' && empty.back() != '\n');
    // A letter that names no drive gives an error too, never an empty label.
    QVERIFY(volumeLabel(*p, 'q').rfind("Error ", 0) == 0);

    QCOMPARE(fileSystemName(*p, 'q'), std::string());
    QCOMPARE(fileSystemName(*p, 'a'), std::string());
}

void TestDriveQueries::errorText_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("text");

    QTest::newRow("system style") << 21 << "The device is not ready.\r\n"
                                  << "Error 21 The device is not ready";
    QTest::newRow("plain") << 5 << "Permission denied"
                           << "Error 5 Permission denied";
    QTest::newRow("two lines") << 51 << "Remote computer\nnot available. . "
                               << "Error 51 Remote computer not available";
    QTest::newRow("no message") << 1117 << ""
                                << "Error 1117 ";
    QTest::newRow("long") << 32 << QString(300, QLatin1Char('m'))
                          << "Error 32 " + QString(256, QLatin1Char('m'));
}

void TestDriveQueries::errorText()
{
    QFETCH(int, code);
    QFETCH(QString, message);
    QFETCH(QString, text);

    Fixture fixture;
    fixture.addDrive('e', QStringLiteral("DRIVE_REMOVABLE"));
    ProbePlatform p(fixture.platform());
    p.labelErrors['e'] = SystemError{code, message.toStdString()};
    QCOMPARE(QString::fromStdString(volumeLabel(p, 'e')), text);
}

void TestDriveQueries::driveListText_data()
{
    QTest::addColumn<QString>("type");
    QTest::addColumn<QString>("label");
    QTest::addColumn<char>("letter");
    QTest::addColumn<QString>("text");

    QTest::newRow("fixed with label") << "DRIVE_FIXED"
                                      << "Backup1" << 'g' << "g: [backup1]";
    QTest::newRow("capital letter") << "DRIVE_FIXED"
                                    << "Backup1" << 'G' << "g: [backup1]";
    QTest::newRow("CD with label") << "DRIVE_CDROM"
                                   << "Photos 2006" << 'g' << "g: [photos 2006]";
    QTest::newRow("fixed without label") << "DRIVE_FIXED"
                                         << "" << 'g' << "g:";
    QTest::newRow("removable with label") << "DRIVE_REMOVABLE"
                                          << "Stick" << 'g' << "g:";
    QTest::newRow("remote with label") << "DRIVE_REMOTE"
                                       << "Share" << 'g' << "g: [share]";
    QTest::newRow("RAM disk with label") << "DRIVE_RAMDISK"
                                         << "Scratch" << 'g' << "g: [scratch]";
    QTest::newRow("remote without label") << "DRIVE_REMOTE"
                                          << "" << 'g' << "g:";
}

void TestDriveQueries::driveListText()
{
    QFETCH(QString, type);
    QFETCH(QString, label);
    QFETCH(char, letter);
    QFETCH(QString, text);

    Fixture fixture;
    fixture.addDrive('g', type, label);
    auto p = fixture.platform();
    QCOMPARE(QString::fromStdString(kx::driveListText(*p, letter)), text);
}

QTEST_GUILESS_MAIN(TestDriveQueries)

#include "tst_drivequeries.moc"
