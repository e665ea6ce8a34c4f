// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/Fixture.h"
#include "support/DriveDescription.h"

#include <QtTest>

using namespace kx;
using kx::test::Fixture;

/** The drive lists' tips and the status command tell the user which drive a letter is. */
class TestDriveDescription : public QObject
{
    Q_OBJECT

private slots:
    void aDriveIsNamedByLabelAndFolder_data()
    {
        QTest::addColumn<char>("letter");
        QTest::addColumn<QString>("expected"); // %1 stands for the drive's folder
        QTest::newRow("a medium with a label") << 'e' << "e: (KOPISTICK) %1";
        QTest::newRow("a capital letter") << 'E' << "e: (KOPISTICK) %1";
        QTest::newRow("a disk without a label") << 'd' << "d: %1";
        // Where it was last mounted is where the user looks for it.
        QTest::newRow("a medium that is away") << 'm' << "m: %1";
        QTest::newRow("a letter of no drive") << 'q' << "q:";
    }

    void aDriveIsNamedByLabelAndFolder()
    {
        QFETCH(char, letter);
        QFETCH(QString, expected);
        Fixture fixture;
        fixture.addDrive('d');
        fixture.addDrive('e', "DRIVE_REMOVABLE", "KOPISTICK");
        fixture.addMissingDrive('m');
        auto platform = fixture.platform();
        const char drive = char(std::tolower(static_cast<unsigned char>(letter)));
        if (expected.contains("%1"))
            expected = expected.arg(fixture.native(std::string(1, drive) + ":\\"));
        QCOMPARE(QString::fromStdString(driveDescription(*platform, letter)), expected);
    }
};

QTEST_GUILESS_MAIN(TestDriveDescription)
#include "tst_drivedescription.moc"
