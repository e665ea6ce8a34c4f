// SPDX-License-Identifier: GPL-3.0-or-later
// Names a medium cannot hold: a failed copy that names the file as the user wrote it, and why.
#include "common/EngineRig.h"
#include "common/Fixture.h"
#include "common/RunTraces.h"
#include "common/ScratchMount.h"
#include "engine/FileCommands.h"
#include "engine/NewerFiles.h"

#include <QtTest>

using namespace kx;
using test::EngineRig;
using test::Fixture;
using test::logLines;

namespace {

constexpr qint64 T0 = 1700000000;
constexpr qint64 kDay = 86400;

} // namespace

class TestRefusedNames : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QLocale::setDefault(QLocale::c()); }

    void aNameTheMediumCannotHoldIsAFailedCopyWithItsReason_data()
    {
        QTest::addColumn<bool>("newer"); // newer --add, else add
        QTest::addColumn<QStringList>("failures");
        QTest::addColumn<QStringList>("warnings");
        const QString reason = " - The medium cannot hold this name";
        QTest::newRow("add") << false
                             << QStringList{"%c/Docs/a\\b.txt not copied to e:" + reason,
                                            "%c/Docs/x:y.txt not copied to e:" + reason}
                             << QStringList{"%e/c-Docs/a\\b.txt is not added to e:\\",
                                            "%e/c-Docs/x:y.txt is not added to e:\\"};
        QTest::newRow("newer --add") << true
                                     << QStringList{"%c/Docs/a\\b.txt not copied to e:" + reason,
                                                    "%c/Docs/x:y.txt not copied to e:" + reason}
                                     << QStringList();
    }
    void aNameTheMediumCannotHoldIsAFailedCopyWithItsReason()
    {
        QFETCH(bool, newer);
        QFETCH(QStringList, failures);
        QFETCH(QStringList, warnings);
        Fixture fixture;
        fixture.addDrive('c');
        test::ScratchMount exfat;
        QString why;
        if (!exfat.mountExfatDrive(fixture, 'e', why))
            QSKIP(qPrintable(why));
        fixture.writeFile("e:\\c-Docs\\old.txt", "backup", T0);
        // Ordinary names on Linux, and a backslash that is a part of a name.
        const QString docs = fixture.native("c:\\Docs");
        for (const QString& name : {QString("a\\b.txt"), QString("x:y.txt"), QString("ok.txt")}) {
            QFile file(docs + "/" + name);
            QVERIFY(QDir().mkpath(docs) && file.open(QIODevice::WriteOnly));
            file.write("source");
            QVERIFY(file.flush());
            QVERIFY(file.setFileTime(QDateTime::fromSecsSinceEpoch(T0 + kDay),
                                     QFileDevice::FileModificationTime));
        }

        EngineRig rig(fixture.platform());
        rig.target.base = "e:\\";
        std::uint64_t failed = 0;
        if (newer) {
            NewerScanResult scan = scanNewFiles(rig.ctx);
            const std::vector<bool> all(scan.proposals.size(), true);
            rig.ui.outputLines.clear();
            failed = addNewFiles(rig.ctx, scan.proposals, all).failedCount;
        } else {
            failed = addPaths(rig.ctx, {"c:\\Docs"}).failed;
        }

        QCOMPARE(failed, std::uint64_t(2));
        QCOMPARE(fixture.readFile("e:\\c-Docs\\ok.txt"), QByteArray("source"));
        // The names as the user wrote them, in the paths as the user finds them.
        for (QStringList* lines : {&failures, &warnings}) {
            lines->replaceInStrings("%c", fixture.native("c:\\"));
            lines->replaceInStrings("%e", fixture.native("e:\\"));
        }
        QStringList told = rig.shownLines().filter(" not copied to ");
        told.sort();
        QCOMPARE(told, failures);
        QStringList logged = logLines(fixture).filter(" not copied to ");
        logged.sort();
        QCOMPARE(logged, failures);
        QStringList warned;
        for (const std::string& warning : rig.ui.warnings)
            warned << QString::fromStdString(warning);
        warned.sort();
        QCOMPARE(warned, warnings);
    }
};

QTEST_GUILESS_MAIN(TestRefusedNames)
#include "tst_refusednames.moc"
