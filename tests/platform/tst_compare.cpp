// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/Fixture.h"

#include <QtTest>

#include <atomic>

#include <sys/stat.h>

using namespace kx;

namespace {

constexpr int kMiB = 1 << 20;

// Bytes that differ from piece to piece, so that pieces compared out of their order differ.
QByteArray pattern(int size)
{
    QByteArray bytes(size, Qt::Uninitialized);
    for (int i = 0; i < size; ++i)
        bytes[i] = char((i * 7 + i / 4093) % 251);
    return bytes;
}

QByteArray flipped(QByteArray bytes, int at)
{
    bytes[at] = char(bytes[at] ^ 0x10);
    return bytes;
}

} // namespace

Q_DECLARE_METATYPE(FileComparison::Outcome)

class TestCompare : public QObject
{
    Q_OBJECT

private slots:
    // Small files are read in turn, large ones (from 4 MiB) each on a thread of its own in
    // pieces of 1 MiB: a difference at any place of either is found, and only there.
    void comparesEveryByte_data()
    {
        QTest::addColumn<QByteArray>("first");
        QTest::addColumn<QByteArray>("second");
        QTest::addColumn<FileComparison::Outcome>("outcome");
        const QByteArray small = pattern(3000);
        const QByteArray medium = pattern(kMiB + 17);
        const QByteArray large = pattern(12 * kMiB + 5);
        QTest::newRow("two empty files") << QByteArray() << QByteArray() << FileComparison::Same;
        QTest::newRow("the same small file") << small << small << FileComparison::Same;
        QTest::newRow("a small file, its first byte")
            << small << flipped(small, 0) << FileComparison::Differs;
        QTest::newRow("a file of several small pieces, its last byte")
            << medium << flipped(medium, medium.size() - 1) << FileComparison::Differs;
        QTest::newRow("the same large file") << large << large << FileComparison::Same;
        QTest::newRow("a large file, its first byte")
            << large << flipped(large, 0) << FileComparison::Differs;
        QTest::newRow("a large file, the last byte of a piece")
            << large << flipped(large, 5 * kMiB - 1) << FileComparison::Differs;
        QTest::newRow("a large file, its last byte")
            << flipped(large, large.size() - 1) << large << FileComparison::Differs;
        QTest::newRow("one byte longer") << small << small + 'x' << FileComparison::Differs;
        QTest::newRow("a large file cut short")
            << large << large.left(large.size() - 1) << FileComparison::Differs;
    }
    void comparesEveryByte()
    {
        QFETCH(QByteArray, first);
        QFETCH(QByteArray, second);
        QFETCH(FileComparison::Outcome, outcome);
        test::Fixture fixture;
        fixture.addDrive('c');
        fixture.addDrive('e', "DRIVE_REMOVABLE");
        fixture.writeFile("c:\\a.bin", first);
        fixture.writeFile("e:\\C-\\a.bin", second);
        auto platform = fixture.platform();

        const FileComparison found = platform->compareFiles("c:\\a.bin", "e:\\C-\\a.bin");
        QCOMPARE(found.outcome, outcome);
        QCOMPARE(found.error.code, 0);
        // Either way round.
        QCOMPARE(platform->compareFiles("e:\\C-\\a.bin", "c:\\a.bin").outcome, outcome);
    }

    // What cannot be read names its side and the system's reason; a pipe does not stall it.
    void whatCannotBeReadIsNamed_data()
    {
        QTest::addColumn<QString>("second"); // what stands at the second path
        QTest::addColumn<int>("code");
        QTest::newRow("nothing") << "missing" << 2;
        QTest::newRow("no folder") << "no folder" << 3;
        QTest::newRow("a folder") << "folder" << 5;
        QTest::newRow("a named pipe") << "pipe" << 5;
    }
    void whatCannotBeReadIsNamed()
    {
        QFETCH(QString, second);
        QFETCH(int, code);
        test::Fixture fixture;
        fixture.addDrive('c');
        fixture.addDrive('e', "DRIVE_REMOVABLE");
        fixture.writeFile("c:\\a.bin", "bytes");
        fixture.makeDir("e:\\C-");
        std::string path = "e:\\C-\\a.bin";
        if (second == "no folder")
            path = "e:\\C-\\gone\\a.bin";
        if (second == "folder")
            fixture.makeDir(path);
        if (second == "pipe")
            QCOMPARE(::mkfifo(fixture.nativeBytes(path).c_str(), 0600), 0);
        auto platform = fixture.platform();

        const FileComparison found = platform->compareFiles("c:\\a.bin", path);
        QCOMPARE(found.outcome, FileComparison::Failed);
        QCOMPARE(found.failedFile, 1);
        QCOMPARE(found.error.code, code);
        QVERIFY(!found.error.message.empty());
        const FileComparison turned = platform->compareFiles(path, "c:\\a.bin");
        QCOMPARE(turned.failedFile, 0);
        QCOMPARE(turned.error.code, code);
    }

    // The stop flag ends a comparison between two pieces.
    void theStopEndsAComparison_data()
    {
        QTest::addColumn<int>("size");
        QTest::newRow("small") << 3000;
        QTest::newRow("large") << 12 * kMiB;
    }
    void theStopEndsAComparison()
    {
        QFETCH(int, size);
        test::Fixture fixture;
        fixture.addDrive('c');
        fixture.addDrive('e', "DRIVE_REMOVABLE");
        const QByteArray bytes = pattern(size);
        fixture.writeFile("c:\\a.bin", bytes);
        fixture.writeFile("e:\\C-\\a.bin", bytes);
        auto platform = fixture.platform();
        std::atomic<bool> stop{true};
        platform->watchStop(&stop);

        const FileComparison found = platform->compareFiles("c:\\a.bin", "e:\\C-\\a.bin");
        QCOMPARE(found.outcome, FileComparison::Failed);
        QCOMPARE(found.error.code, errors::kStopped);

        stop = false;
        QCOMPARE(platform->compareFiles("c:\\a.bin", "e:\\C-\\a.bin").outcome,
                 FileComparison::Same);
        platform->watchStop(nullptr);
    }
};

QTEST_GUILESS_MAIN(TestCompare)
#include "tst_compare.moc"
