// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/SplashWindow.h"
#include "dialogs/WholeText.h"

#include <QApplication>
#include <QLabel>
#include <QPointer>
#include <QTimer>
#include <QtTest>

using namespace kx;

class TestSplash : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { QLocale::setDefault(QLocale::c()); }
    void cleanup()
    {
        while (QApplication::overrideCursor())
            QApplication::restoreOverrideCursor();
    }

    void wanted_data();
    void wanted();
    void shown_data();
    void shown();
    void clicks();
    void wholeReminder_data();
    void wholeReminder();
};

void TestSplash::wanted_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<bool>("wanted");
    QTest::newRow("installed") << "/usr/bin/kopierix" << true;
    QTest::newRow("63 characters")
        << QString(53, QLatin1Char('x')).prepend("/opt/kx/") + "/k" << true;
    QTest::newRow("64 characters")
        << QString(54, QLatin1Char('x')).prepend("/opt/kx/") + "/k" << false;
    QTest::newRow("design-time package") << "/opt/Tools.DCL/kopierix" << false;
    QTest::newRow("lower-case dcl is no package") << "/opt/tools.dcl/kopierix" << true;
}

void TestSplash::wanted()
{
    QFETCH(QString, path);
    QFETCH(bool, wanted);
    QCOMPARE(SplashWindow::wanted(path), wanted);
    QPointer<SplashWindow> splash = SplashWindow::showAtStart(QString(), path);
    QCOMPARE(!splash.isNull(), wanted);
    delete splash;
}

void TestSplash::shown_data()
{
    QTest::addColumn<QString>("language");
    QTest::addColumn<QString>("reminder");
    QTest::newRow("Dutch") << "nld"
                           << "Maak regelmatig Backups!";
    QTest::newRow("English") << ""
                             << "Make Backups Regurally";
}

void TestSplash::shown()
{
    QFETCH(QString, language);
    QFETCH(QString, reminder);
    QPointer<SplashWindow> splash = SplashWindow::showAtStart(language, QStringLiteral("/k"));
    QVERIFY(splash);
    QVERIFY(splash->isVisible());
    QCOMPARE(splash->size(), QSize(417, 293));
    QCOMPARE(splash->findChild<QLabel*>(QStringLiteral("VLabel"))->text(), reminder);
    QVERIFY(!splash->findChild<QLabel*>(QStringLiteral("Image"))->pixmap().isNull());
    QCOMPARE(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
    auto* closer = splash->findChild<QTimer*>(QStringLiteral("Timer1"));
    QCOMPARE(closer->interval(), 4000);
    QVERIFY(closer->isActive());
    // It stays in front by its window flag; no timer keeps raising it.
    QVERIFY(splash->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    QCOMPARE(splash->findChildren<QTimer*>().size(), 1);
    delete splash;
}

void TestSplash::clicks()
{
    QPointer<SplashWindow> splash = SplashWindow::showAtStart(QString(), QStringLiteral("/k"));
    QVERIFY(splash);
    // A click on the reminder line leaves the splash; one on the picture closes it at once.
    QTest::mouseClick(splash->findChild<QLabel*>(QStringLiteral("VLabel")), Qt::LeftButton);
    QVERIFY(splash->isVisible());
    QTest::mouseClick(splash->findChild<QLabel*>(QStringLiteral("Image")), Qt::LeftButton);
    QVERIFY(!splash->isVisible());
    QTRY_VERIFY(splash.isNull());
}

void TestSplash::wholeReminder_data()
{
    test::addLanguageAndFontRows();
}

void TestSplash::wholeReminder()
{
    QFETCH(QString, language);
    QFETCH(QFont, font);
    SplashWindow splash(language);
    splash.setAttribute(Qt::WA_DeleteOnClose, false);
    splash.setFont(font);
    auto* reminder = splash.findChild<QLabel*>(QStringLiteral("VLabel"));
    QVERIFY2(test::showsWholeText(reminder), qPrintable(reminder->text()));
    QVERIFY(splash.rect().contains(reminder->geometry()));
    // The picture above it keeps its place.
    QVERIFY(reminder->y() >= splash.findChild<QWidget*>(QStringLiteral("Bevel1"))->height());
}

QTEST_MAIN(TestSplash)
#include "tst_splash.moc"
