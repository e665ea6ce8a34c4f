// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/BackupLayout.h"

#include <QtTest>

using namespace kx;

class TestBackupLayout : public QObject
{
    Q_OBJECT

private slots:
    void bothWays_data()
    {
        QTest::addColumn<QString>("base");
        QTest::addColumn<QString>("source");
        QTest::addColumn<QString>("backup");
        QTest::addColumn<int>("computerFolder");
        QTest::newRow("drive root") << "e:\\"
                                    << "C:\\boot.ini"
                                    << "e:\\C-\\boot.ini" << 0;
        QTest::newRow("first level") << "e:\\"
                                     << "C:\\Docs\\letter.doc"
                                     << "e:\\C-Docs\\letter.doc" << 0;
        QTest::newRow("deeper") << "e:\\"
                                << "D:\\Mail\\2004\\inbox.mbx"
                                << "e:\\D-Mail\\2004\\inbox.mbx" << 0;
        QTest::newRow("per computer") << "e:\\OFFICE7\\"
                                      << "C:\\Docs\\a.txt"
                                      << "e:\\OFFICE7\\C-Docs\\a.txt" << 8;
        QTest::newRow("per computer, root file") << "e:\\PC\\"
                                                 << "D:\\x.doc"
                                                 << "e:\\PC\\D-\\x.doc" << 3;
        const QString deep = QString("C:\\") + QString("d\\").repeated(200) + "f.txt";
        QTest::newRow("past 255 characters, never cut")
            << "e:\\" << deep << QString("e:\\C-") + deep.mid(3) << 0;
    }
    void bothWays()
    {
        QFETCH(QString, base);
        QFETCH(QString, source);
        QFETCH(QString, backup);
        QFETCH(int, computerFolder);
        QCOMPARE(
            QString::fromStdString(layout::backupPathOf(base.toStdString(), source.toStdString())),
            backup);
        const int slash = backup.lastIndexOf('\\');
        const auto back =
            layout::sourcePathOf(backup.left(slash).toStdString(),
                                 backup.mid(slash + 1).toStdString(), std::size_t(computerFolder));
        QVERIFY(back.has_value());
        QCOMPARE(QString::fromStdString(*back), source);
    }

    void whatIsNoBackupFile_data()
    {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<int>("computerFolder");
        QTest::addColumn<QString>("source"); // empty: not a backup file
        QTest::newRow("medium root") << "e:\\" << 0 << "";
        QTest::newRow("folder without hyphen") << "e:\\Other" << 0 << "";
        QTest::newRow("below a folder without hyphen") << "e:\\Other\\C-Docs" << 0 << "";
        QTest::newRow("anybody's L- folder") << "e:\\X-files" << 0 << "X:\\files\\a.txt";
        QTest::newRow("computer folder itself") << "e:\\PC" << 3 << "";
        QTest::newRow("per computer, below") << "e:\\PC\\D-Work" << 3 << "D:\\Work\\a.txt";
    }
    void whatIsNoBackupFile()
    {
        QFETCH(QString, folder);
        QFETCH(int, computerFolder);
        QFETCH(QString, source);
        const auto result = layout::sourcePathOf(folder.toStdString(), "a.txt", computerFolder);
        QCOMPARE(result.has_value(), !source.isEmpty());
        if (result)
            QCOMPARE(QString::fromStdString(*result), source);
    }

    void driveKey_data()
    {
        QTest::addColumn<QString>("listText");
        QTest::addColumn<QString>("key");
        QTest::newRow("label") << "e: [backup1]"
                               << "e-Backup1";
        QTest::newRow("no label") << "e:"
                                  << "e-";
        QTest::newRow("digit first") << "e: [2006]"
                                     << "e-2006";
        QTest::newRow("unclosed bracket") << "e: [backup"
                                          << "e-";
        QTest::newRow("brackets in the label") << "e: [a]b [c]]"
                                               << "e-A]b [c]";
    }
    void driveKey()
    {
        QFETCH(QString, listText);
        QFETCH(QString, key);
        QCOMPARE(QString::fromStdString(layout::driveKeyOf('e', listText.toStdString())), key);
    }
};

QTEST_GUILESS_MAIN(TestBackupLayout)
#include "tst_backuplayout.moc"
