// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/SizeText.h"

#include <QLocale>
#include <QtTest>

using namespace kx;

class TestSizeText : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QLocale::setDefault(QLocale::c()); }
    void rows_data();
    void rows();
    void pointSeparator();
    void beyondTheTable_data();
    void beyondTheTable();
};

void TestSizeText::rows_data()
{
    QTest::addColumn<qint64>("bytes");
    QTest::addColumn<QString>("text");

    // Plain bytes keep the space where the unit letter would be.
    QTest::newRow("0") << qint64(0) << "       0 ";
    QTest::newRow("999") << qint64(999) << "     999 ";
    QTest::newRow("no free space (-1)") << qint64(-1) << "      -1 ";
    // Four digits: hundredths of k; the separator follows V, so 1000 bytes are less than 1 k.
    QTest::newRow("1000") << qint64(1000) << "   0,98 k";
    QTest::newRow("1023") << qint64(1023) << "   1,00 k";
    QTest::newRow("1152 half to even") << qint64(1152) << "   1,12 k";
    QTest::newRow("1536") << qint64(1536) << "   1,50 k";
    // Five and six digits: tenths of k, V rounded to hundreds with halves to the even neighbour.
    QTest::newRow("10000") << qint64(10000) << "    9,8 k";
    QTest::newRow("12544 half down to even") << qint64(12544) << "   12,2 k";
    QTest::newRow("12647 half up to even") << qint64(12647) << "   12,4 k";
    QTest::newRow("51200") << qint64(51200) << "   50,0 k";
    QTest::newRow("512000") << qint64(512000) << "  500,0 k";
    // Seven digits: multiplied before divided, twice.
    QTest::newRow("1000000") << qint64(1000000) << "   0,95 M";
    QTest::newRow("1048576") << qint64(1048576) << "   1,00 M";
    QTest::newRow("5000000") << qint64(5000000) << "   4,77 M";
    // Eight and nine digits: divided before multiplied.
    QTest::newRow("12345678") << qint64(12345678) << "   11,8 M";
    QTest::newRow("999999999") << qint64(999999999) << "  953,7 M";
    QTest::newRow("1 GiB") << qint64(1073741824) << "   1,00 G";
    QTest::newRow("5000000000") << qint64(5000000000) << "   4,66 G";
    QTest::newRow("12345678901") << qint64(12345678901) << "   11,5 G";
    // Twelve digits round to whole G: the one decimal is always 0.
    QTest::newRow("500000000000") << qint64(500000000000) << "  466,0 G";
    QTest::newRow("1 TiB") << qint64(1099511627776) << "   1,00 T";
    QTest::newRow("12345678901234") << qint64(12345678901234) << "   11,2 T";
    QTest::newRow("99999999999999") << qint64(99999999999999) << "   90,9 T";
}

void TestSizeText::rows()
{
    QFETCH(qint64, bytes);
    QFETCH(QString, text);

    const std::string result = formatSize(bytes, ',');
    QCOMPARE(QString::fromStdString(result), text);
    QCOMPARE(result.size(), std::size_t(9));
}

void TestSizeText::pointSeparator()
{
    QCOMPARE(formatSize(1536, '.'), std::string("   1.50 k"));
    QCOMPARE(formatSize(12345678, '.'), std::string("   11.8 M"));
    QCOMPARE(formatSize(999, '.'), std::string("     999 "));
}

void TestSizeText::beyondTheTable_data()
{
    QTest::addColumn<qint64>("bytes");
    QTest::addColumn<QString>("text");

    // No unit above T: the count stays in T with one decimal, and the text grows rather than
    // being cut to a false number.
    QTest::newRow("15 digits") << qint64(1000000000000000) << "  909,5 T";
    QTest::newRow("19 digits") << qint64(1000000000000000000) << "909494,7 T";
    QTest::newRow("largest") << std::numeric_limits<qint64>::max() << "8388608,0 T";
    QTest::newRow("smallest") << std::numeric_limits<qint64>::min() << "-8388608,0 T";
    QTest::newRow("-999") << qint64(-999) << "  -0,98 k";
    QTest::newRow("-1234567") << qint64(-1234567) << "   -1,2 M";
}

void TestSizeText::beyondTheTable()
{
    QFETCH(qint64, bytes);
    QFETCH(QString, text);

    QCOMPARE(QString::fromStdString(formatSize(bytes, ',')), text);
}

QTEST_GUILESS_MAIN(TestSizeText)

#include "tst_sizetext.moc"
