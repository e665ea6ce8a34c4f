// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/DialogHelpers.h"
#include "dialogs/QuestionDialog.h"
#include "dialogs/TextInputDialog.h"
#include "dialogs/TimedMessage.h"

#include <QAbstractTextDocumentLayout>
#include <QFontMetrics>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include <cmath>

using namespace kx;

namespace {

const QRect kMainWindow(100, 80, 700, 500);

// Runs `look` once the modal window has opened; `look` must end the window itself.
template <typename Look> void whenShown(QWidget* window, Look look)
{
    QTimer::singleShot(0, window, [window, look] {
        if (!window->isVisible()) {
            QFAIL("the window did not open");
            return;
        }
        look();
    });
}

QPushButton* button(QWidget* window, const char* name)
{
    return window->findChild<QPushButton*>(QLatin1String(name));
}

} // namespace

class TestMessageDialogs : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { QLocale::setDefault(QLocale::c()); }

    void centring_data();
    void centring();
    void yesNoSizing_data();
    void yesNoSizing();
    void yesNoAnswers_data();
    void yesNoAnswers();
    void answerTexts_data();
    void answerTexts();
    void askText_data();
    void askText();
    void askCaption_data();
    void askCaption();
    void showTimed_data();
    void showTimed();
};

void TestMessageDialogs::centring_data()
{
    QTest::addColumn<QRect>("on");
    QTest::addColumn<QSize>("window");
    QTest::addColumn<QPoint>("expected");
    QTest::newRow("inside") << QRect(10, 20, 400, 300) << QSize(100, 50) << QPoint(160, 145);
    QTest::newRow("odd difference") << QRect(0, 0, 101, 51) << QSize(100, 50) << QPoint(0, 0);
    // A window wider than the rectangle: the half is cut toward zero, not down.
    QTest::newRow("wider than the rectangle")
        << QRect(0, 0, 301, 100) << QSize(304, 103) << QPoint(-1, -1);
}

void TestMessageDialogs::centring()
{
    QFETCH(QRect, on);
    QFETCH(QSize, window);
    QFETCH(QPoint, expected);
    QCOMPARE(centredTopLeft(on, window), expected);
}

void TestMessageDialogs::yesNoSizing_data()
{
    QTest::addColumn<QString>("message");
    QTest::addColumn<bool>("cancelShown");
    QTest::addColumn<int>("lines"); // -1: a long message, wrapped in its frame

    QTest::newRow("empty") << QString() << false << 1;
    QTest::newRow("short") << QStringLiteral("Doorgaan?") << false << 1;
    QTest::newRow("short, third button") << QStringLiteral("Doorgaan?") << true << 1;
    QTest::newRow("three lines") << QStringLiteral("Een\rTwee\rDrie") << false << 3;
    QTest::newRow("empty lines count")
        << QStringLiteral("Alle bestanden zijn gekopieerd.\r\rStop nu de nieuwe schijf in.")
        << false << 3;
    QTest::newRow("long")
        << QStringLiteral("You are at the brink of overwriting your data. The state of 1-2-2025 "
                          "will be restored. All changes of later dates will be overwritten.\r\r"
                          "N.b. This is only true for the files that exist on the Backup Drive."
                          "\r\rIf you only want to restore a small number of files, then click "
                          "\"No\" and next click Manage.\rDo you want  to restore all your data, "
                          "then click the \"Yes\" Button.")
        << false << -1;
}

void TestMessageDialogs::yesNoSizing()
{
    QFETCH(QString, message);
    QFETCH(bool, cancelShown);
    QFETCH(int, lines);

    QuestionDialog dlg{QString()};
    auto* panel = dlg.findChild<QFrame*>(QStringLiteral("MessagePanel"));
    auto* memo = dlg.findChild<QPlainTextEdit*>(QStringLiteral("MessageMemo"));
    QRect panelGeometry, memoGeometry, yes, no, cancel;
    QSize client, frame;
    QPoint position;
    bool cancelVisible = false;
    int shownLines = 0;
    whenShown(&dlg, [&] {
        panelGeometry = panel->geometry();
        memoGeometry = memo->geometry();
        yes = button(&dlg, "JaBtn")->geometry();
        no = button(&dlg, "NeeBtn")->geometry();
        cancel = button(&dlg, "CancelBtn")->geometry();
        cancelVisible = button(&dlg, "CancelBtn")->isVisible();
        client = dlg.size();
        frame = dlg.frameGeometry().size();
        position = dlg.pos();
        shownLines = int(memo->document()->documentLayout()->documentSize().height());
        QTest::mouseClick(button(&dlg, "NeeBtn"), Qt::LeftButton);
    });
    bool cancelFlag = cancelShown;
    dlg.askYesNo(kMainWindow, QStringLiteral("Kopierix - Test"), message, QString(), QString(),
                 QString(), false, &cancelFlag);

    const int r = 14; // a 9-point font
    const int width = QFontMetrics(dialogFont()).horizontalAdvance(message);
    // The frame reaches at least to the right edge of the third button, shown or not.
    const int expectedPanelWidth = qMax(int(std::lround(std::sqrt(double(width)) * 10)), 272);
    QCOMPARE(cancelVisible, cancelShown);
    QCOMPARE(panelGeometry.left(), 16);
    QCOMPARE(panelGeometry.width(), expectedPanelWidth);
    QCOMPARE(memoGeometry.left(), 8);
    QCOMPARE(memoGeometry.width(), expectedPanelWidth - 16);
    QCOMPARE(client.width(), expectedPanelWidth + 32);
    if (lines > 0)
        QCOMPARE(memoGeometry.height(), (lines + 1) * r);
    else
        QVERIFY(panelGeometry.width() > 272);
    // Every line of the message is inside its frame, wrapped lines included.
    QVERIFY(shownLines * QFontMetrics(memo->font()).lineSpacing() <= memoGeometry.height());
    QCOMPARE(panelGeometry.height(), memoGeometry.height() + 15);
    for (const QRect& b : {yes, no, cancel}) {
        QCOMPARE(b.top(), panelGeometry.height() + 27);
        QCOMPARE(b.size(), QSize(90, 29));
    }
    QCOMPARE(cancel.left(), 198);
    QCOMPARE(client.height(), yes.top() + 29 + 15);
    QCOMPARE(position, centredTopLeft(kMainWindow, frame));
}

void TestMessageDialogs::yesNoAnswers_data()
{
    QTest::addColumn<bool>("cancelShown");
    QTest::addColumn<bool>("defaultYes");
    QTest::addColumn<QString>("press"); // a button's name, or a key
    QTest::addColumn<bool>("answer");
    QTest::addColumn<bool>("cancelled");

    QTest::newRow("Ja") << false << false << "JaBtn" << true << false;
    QTest::newRow("Nee") << false << true << "NeeBtn" << false << false;
    QTest::newRow("Annuleren") << true << true << "CancelBtn" << false << true;
    QTest::newRow("Ja beside Annuleren") << true << false << "JaBtn" << true << false;
    QTest::newRow("Esc, two buttons") << false << true << "Esc" << false << false;
    QTest::newRow("Esc, three buttons") << true << true << "Esc" << false << true;
    QTest::newRow("Enter, default Ja") << false << true << "Enter" << true << false;
    QTest::newRow("Enter, default Nee") << false << false << "Enter" << false << false;
}

void TestMessageDialogs::yesNoAnswers()
{
    QFETCH(bool, cancelShown);
    QFETCH(bool, defaultYes);
    QFETCH(QString, press);
    QFETCH(bool, answer);
    QFETCH(bool, cancelled);

    QuestionDialog dlg(QStringLiteral("nld"));
    QString focused;
    whenShown(&dlg, [&] {
        focused = dlg.focusWidget() ? dlg.focusWidget()->objectName() : QString();
        if (press == QLatin1String("Esc"))
            QTest::keyClick(&dlg, Qt::Key_Escape);
        else if (press == QLatin1String("Enter"))
            QTest::keyClick(dlg.focusWidget(), Qt::Key_Return);
        else
            QTest::mouseClick(button(&dlg, press.toLatin1().constData()), Qt::LeftButton);
    });
    bool cancel = cancelShown;
    const bool result = dlg.askYesNo(kMainWindow, QStringLiteral("Kopierix - Herstellen"),
                                     QStringLiteral("Alles herstellen?"), QString(), QString(),
                                     QString(), defaultYes, &cancel);
    QCOMPARE(focused, QString::fromLatin1(defaultYes ? "JaBtn" : "NeeBtn"));
    QCOMPARE(result, answer);
    QCOMPARE(cancel, cancelled);
    QVERIFY(!dlg.isVisible());
}

void TestMessageDialogs::answerTexts_data()
{
    QTest::addColumn<QString>("language");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("yes");
    QTest::addColumn<QString>("no");
    QTest::newRow("restore, Dutch") << "nld"
                                    << "Kopierix - Herstellen"
                                    << "Ja"
                                    << "Nee";
    QTest::newRow("restore, English") << ""
                                      << "Kopierix - Recover"
                                      << "Yes"
                                      << "No";
    QTest::newRow("duplicate, Dutch") << "nld"
                                      << "Kopierix - Dupliceren"
                                      << "Volgende"
                                      << "Annuleren";
    QTest::newRow("duplicate, English") << ""
                                        << "Kopierix - Duplicate"
                                        << "Next"
                                        << "Cancel";
    // The floppy question of the second half names the operation in Dutch in both languages.
    QTest::newRow("duplicate, English run, Dutch caption") << ""
                                                           << "Kopierix - Dupliceren"
                                                           << "Next"
                                                           << "Cancel";
}

void TestMessageDialogs::answerTexts()
{
    QFETCH(QString, language);
    QFETCH(QString, caption);
    QFETCH(QString, yes);
    QFETCH(QString, no);
    const auto texts = yesNoAnswerTexts(language, caption);
    QCOMPARE(texts.first, yes);
    QCOMPARE(texts.second, no);

    // The dialog shows them as given.
    QuestionDialog dlg(language);
    QString shownYes, shownNo;
    whenShown(&dlg, [&] {
        shownYes = button(&dlg, "JaBtn")->text();
        shownNo = button(&dlg, "NeeBtn")->text();
        QTest::mouseClick(button(&dlg, "NeeBtn"), Qt::LeftButton);
    });
    dlg.askYesNo(QRect(), caption, QStringLiteral("?"), texts.first, texts.second);
    QCOMPARE(shownYes, yes);
    QCOMPARE(shownNo, no);
}

void TestMessageDialogs::askText_data()
{
    QTest::addColumn<QString>("press");
    QTest::addColumn<bool>("result");
    QTest::newRow("OK") << "OKBtn" << true;
    QTest::newRow("Annuleren") << "CancelBtn" << false;
    QTest::newRow("Esc") << "Esc" << false;
}

void TestMessageDialogs::askText()
{
    QFETCH(QString, press);
    QFETCH(bool, result);

    TextInputDialog dlg(QStringLiteral("nld"), QStringLiteral("versie 1.01b"));
    const QString prompt =
        QStringLiteral("Schijf e: heeft geen naam. \r\rGeef de juiste naam en klik op OK.");
    QString startText, cancelCaption;
    QRect label, edit, ok, cancel;
    int clientHeight = 0;
    whenShown(&dlg, [&] {
        auto* field = dlg.findChild<QLineEdit*>(QStringLiteral("AskEdit"));
        startText = field->text();
        cancelCaption = button(&dlg, "CancelBtn")->text();
        label = dlg.findChild<QLabel*>(QStringLiteral("AskLabel"))->geometry();
        edit = field->geometry();
        ok = button(&dlg, "OKBtn")->geometry();
        cancel = button(&dlg, "CancelBtn")->geometry();
        clientHeight = dlg.height();
        QTest::keyClicks(field, QStringLiteral("-2"));
        if (press == QLatin1String("Esc"))
            QTest::keyClick(&dlg, Qt::Key_Escape);
        else
            QTest::mouseClick(button(&dlg, press.toLatin1().constData()), Qt::LeftButton);
    });
    QString answer = QStringLiteral("backup");
    QCOMPARE(dlg.askText(kMainWindow, prompt, answer), result);

    QCOMPARE(startText, QStringLiteral("backup"));
    // The answer is the field's text, whichever button closed the window.
    QCOMPARE(answer, QStringLiteral("backup-2"));
    QCOMPARE(cancelCaption, QStringLiteral("Annuleren"));

    const int labelHeight = QFontMetrics(dialogFont()).horizontalAdvance(prompt) * 30 / 232;
    QCOMPARE(label.top(), 8);
    QCOMPARE(label.width(), 232);
    QCOMPARE(label.height(), labelHeight);
    QCOMPARE(edit.top(), 8 + labelHeight + 10);
    QCOMPARE(cancel.top(), edit.bottom() + 1 + 10);
    QCOMPARE(ok.top(), cancel.top());
    QCOMPARE(clientHeight, ok.bottom() + 1 + 10);
}

void TestMessageDialogs::askCaption_data()
{
    QTest::addColumn<QString>("language");
    QTest::addColumn<QString>("version");
    QTest::addColumn<QString>("caption");
    QTest::newRow("Dutch") << "nld"
                           << "versie 1.01b"
                           << "Kopierix, versie 1.01b";
    QTest::newRow("English, 23 characters") << ""
                                            << "version 1.01b"
                                            << "Kopierix, version 1.01b";
    QTest::newRow("longer, cut to 23") << ""
                                       << "version 1.01b (test build)"
                                       << "Kopierix, version 1.01b";
}

void TestMessageDialogs::askCaption()
{
    QFETCH(QString, language);
    QFETCH(QString, version);
    QFETCH(QString, caption);
    TextInputDialog dlg(language, version);
    QCOMPARE(dlg.windowTitle(), caption);
    QCOMPARE(button(&dlg, "CancelBtn")->text(),
             QString::fromLatin1(language == QLatin1String("nld") ? "Annuleren" : "Cancel"));
}

void TestMessageDialogs::showTimed_data()
{
    QTest::addColumn<QString>("line1");
    QTest::addColumn<QString>("line2");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<int>("lines");
    QTest::newRow("two empty lines: an empty box") << ""
                                                   << ""
                                                   << "" << 0;
    QTest::newRow("one line") << "Browser niet geopend."
                              << ""
                              << "Browser niet geopend." << 1;
    QTest::newRow("second line only") << ""
                                      << "Twee"
                                      << "Twee" << 1;
    QTest::newRow("two lines") << "Een"
                               << "Twee"
                               << "Een\nTwee" << 2;
}

void TestMessageDialogs::showTimed()
{
    QFETCH(QString, line1);
    QFETCH(QString, line2);
    QFETCH(QString, shown);
    QFETCH(int, lines);

    TimedMessage form;
    bool returned = false;
    bool sawIt = false;
    QString text;
    int height = 0;
    int memoHeight = 0;
    QTimer::singleShot(0, &form, [&] {
        // Looks at the window from inside its own wait, then lets it run out.
        QTimer::singleShot(0, &form, [&] {
            sawIt = form.isVisible();
            text = form.findChild<QPlainTextEdit*>(QStringLiteral("MessageMemo"))->toPlainText();
            memoHeight = form.findChild<QPlainTextEdit*>(QStringLiteral("MessageMemo"))->height();
            height = form.height();
        });
        form.showTimed(line1, line2, 150, kMainWindow);
        returned = true;
    });
    QTRY_VERIFY(returned);
    QVERIFY(sawIt);
    QVERIFY(!form.isVisible());
    QCOMPARE(text, shown);
    QCOMPARE(memoHeight, (lines + 1) * 14);
    QCOMPARE(height, memoHeight + 50);
}

QTEST_MAIN(TestMessageDialogs)
#include "tst_messagedialogs.moc"
