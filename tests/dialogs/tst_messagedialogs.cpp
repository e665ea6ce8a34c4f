// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/DialogHelpers.h"
#include "dialogs/DialogText.h"
#include "dialogs/QuestionDialog.h"
#include "dialogs/TextInputDialog.h"
#include "dialogs/TimedMessage.h"
#include "dialogs/UiText.h"
#include "dialogs/WholeText.h"
#include "engine/EngineTexts.h"

#include <QFontMetrics>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextBlock>
#include <QTextLayout>
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

QString shownText(Language language, const Text& entry, const QString& first = QString(),
                  const QString& second = QString())
{
    return uiText(language, entry)
        .replace(QStringLiteral("%1"), first)
        .replace(QStringLiteral("%2"), second);
}

QRect placeIn(const QWidget* widget, const QWidget* window)
{
    return QRect(widget->mapTo(window, QPoint(0, 0)), widget->size());
}

QString describe(const QRect& r)
{
    return QStringLiteral("(%1,%2 %3x%4)").arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height());
}

// What of `widget` lies outside its window, if anything.
QString outsideWindow(const QWidget* widget, const QWidget* window)
{
    const QRect place = placeIn(widget, window);
    if (window->rect().contains(place))
        return QString();
    return widget->objectName() + QStringLiteral(" at ") + describe(place) +
           QStringLiteral(" outside the window ") + describe(window->rect());
}

// Every line of a message text, as laid out, lies wholly inside its view, and the
// text inside its window.
QStringList messageTextProblems(QPlainTextEdit* messageText, QWidget* window)
{
    QStringList problems{outsideWindow(messageText, window)};
    if (messageText->fontInfo().pixelSize() != window->fontInfo().pixelSize())
        problems << QStringLiteral("the message text does not show its window's font");
    const QRect view = messageText->viewport()->rect();
    QTextCursor cursor(messageText->document());
    for (const auto end : {QTextCursor::Start, QTextCursor::End}) {
        cursor.movePosition(end);
        const QRect line = messageText->cursorRect(cursor);
        if (!view.contains(line))
            problems << QStringLiteral("text line at ") + describe(line) +
                            QStringLiteral(" outside the text view ") + describe(view);
    }
    for (QTextBlock block = messageText->document()->begin(); block.isValid();
         block = block.next()) {
        const QTextLayout* layout = block.layout();
        for (int i = 0; i < layout->lineCount(); ++i) {
            const QRectF line = layout->lineAt(i).naturalTextRect();
            if (line.right() > view.width())
                problems << QStringLiteral("a line of \"") + block.text() +
                                QStringLiteral("\" is wider than the message text");
        }
    }
    return problems;
}

// The word-wrapped text of a label lies wholly inside the label, and the label inside its window.
QStringList labelProblems(const QLabel* label, const QWidget* window)
{
    QStringList problems{outsideWindow(label, window)};
    if (!test::showsWholeText(label))
        problems << label->objectName() + QStringLiteral(" cuts \"") + label->text() +
                        QStringLiteral("\"");
    return problems;
}

// Each button shows its whole caption, inside the window, and they stand in a row from left
// to right in the order given, below `above`.
QStringList buttonRowProblems(const QList<QPushButton*>& row, const QWidget* above,
                              const QWidget* window)
{
    QStringList problems;
    int left = 0;
    for (const QPushButton* b : row) {
        problems << outsideWindow(b, window);
        const QSize needed = b->sizeHint();
        if (needed.width() > b->width() || needed.height() > b->height())
            problems << b->objectName() + QStringLiteral(" too small for \"") + b->text() +
                            QStringLiteral("\"");
        if (b->x() < left)
            problems << b->objectName() + QStringLiteral(" overlaps the button before it");
        left = b->geometry().right() + 1;
        if (b->y() <= placeIn(above, window).bottom())
            problems << b->objectName() + QStringLiteral(" overlaps ") + above->objectName();
    }
    return problems;
}

QStringList withoutEmpty(QStringList list)
{
    list.removeAll(QString());
    return list;
}

} // namespace

class TestMessageDialogs : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QLocale::setDefault(QLocale::c());
        // The larger fonts must be larger where it counts, whichever fonts the machine has.
        const int usual = QFontMetrics(dialogFont()).height();
        for (const auto& [name, font] : test::testFonts().mid(1))
            QVERIFY2(QFontMetrics(font).height() > usual, qPrintable(name));
    }

    void centring_data();
    void centring();
    void yesNoSizing_data();
    void yesNoSizing();
    void questionShowsWholeText_data();
    void questionShowsWholeText();
    void yesNoAnswers_data();
    void yesNoAnswers();
    void answerTexts_data();
    void answerTexts();
    void askText_data();
    void askText();
    void textInputShowsWholeText_data();
    void textInputShowsWholeText();
    void askCaption_data();
    void askCaption();
    void showTimed_data();
    void showTimed();
    void timedMessageShowsWholeText_data();
    void timedMessageShowsWholeText();
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
    // At the usual font the window keeps its design figures; only the message's height follows
    // the font's lines.
    QFETCH(QString, message);
    QFETCH(bool, cancelShown);
    QFETCH(int, lines);

    QuestionDialog dlg{QString()};
    QVERIFY(qFuzzyCompare(fontGrowth(dlg.font()), 1.0));
    auto* panel = dlg.findChild<QFrame*>(QStringLiteral("MessagePanel"));
    auto* messageText = dlg.findChild<QPlainTextEdit*>(QStringLiteral("MessageMemo"));
    QRect panelGeometry, yes, no, cancel;
    QSize client, frame;
    QPoint position;
    bool cancelVisible = false;
    int shownLines = 0;
    whenShown(&dlg, [&] {
        panelGeometry = panel->geometry();
        yes = button(&dlg, "JaBtn")->geometry();
        no = button(&dlg, "NeeBtn")->geometry();
        cancel = button(&dlg, "CancelBtn")->geometry();
        cancelVisible = button(&dlg, "CancelBtn")->isVisible();
        client = dlg.size();
        frame = dlg.frameGeometry().size();
        position = dlg.pos();
        for (QTextBlock b = messageText->document()->begin(); b.isValid(); b = b.next())
            shownLines += b.layout()->lineCount();
        QTest::mouseClick(button(&dlg, "NeeBtn"), Qt::LeftButton);
    });
    bool cancelFlag = cancelShown;
    dlg.askYesNo(kMainWindow, QStringLiteral("Kopierix - Test"), message, QString(), QString(),
                 QString(), false, &cancelFlag);

    const int width = QFontMetrics(dlg.font()).horizontalAdvance(message);
    // The frame reaches at least to the right edge of the third button, shown or not.
    const int expectedPanelWidth = qMax(int(std::lround(std::sqrt(double(width)) * 10)), 272);
    QCOMPARE(cancelVisible, cancelShown);
    QCOMPARE(panelGeometry.topLeft(), QPoint(16, 16));
    QCOMPARE(panelGeometry.width(), expectedPanelWidth);
    QCOMPARE(client.width(), expectedPanelWidth + 32);
    if (lines > 0)
        QCOMPARE(shownLines, lines);
    else
        QVERIFY(panelGeometry.width() > 272 && shownLines > 5);
    QCOMPARE(QList<int>({yes.left(), no.left(), cancel.left()}), QList<int>({10, 104, 198}));
    for (const QRect& b : {yes, no, cancel}) {
        QCOMPARE(b.top(), panelGeometry.bottom() + 1 + 11);
        QCOMPARE(b.size(), QSize(90, 29));
    }
    QCOMPARE(client.height(), yes.top() + 29 + 15);
    QCOMPARE(position, centredTopLeft(kMainWindow, frame));
}

void TestMessageDialogs::questionShowsWholeText_data()
{
    QTest::addColumn<QString>("language");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QFont>("font");

    const QString product = productName();
    for (const Language language : {Language::Dutch, Language::English}) {
        const QString date = QStringLiteral("vrijdag 28 november 2025");
        const QString restore = product + uiText(language, text::restoreCaption);
        const QString duplicate =
            product + QStringLiteral(" - ") + uiText(language, text::duplicateCaption);
        const QList<std::tuple<const char*, QString, QString>> questions{
            {"restore", shownText(language, text::restoreConfirmation, date), restore},
            {"duplicate", shownText(language, text::duplicateIntroduction), duplicate},
            {"new medium",
             shownText(language, text::putInTheNewMedium, QStringLiteral("f"), QStringLiteral("d")),
             duplicate},
            {"floppy", shownText(language, text::putAFloppyInDrive), duplicate},
            {"fit disk",
             shownText(language, text::putAFitDiskIn) + QLatin1Char('f') +
                 shownText(language, text::andClickNextToProceed),
             duplicate},
            {"stop", shownText(language, text::stopQuestion), product},
            // A word longer than the frame is broken, not cut off.
            {"long word", QStringLiteral("C-Documenten\\").repeated(12), product},
        };
        for (const auto& [name, message, caption] : questions) {
            for (const auto& [fontName, font] : test::testFonts()) {
                const QString code =
                    language == Language::Dutch ? QStringLiteral("nld") : QString();
                QTest::addRow("%s, %s, %s", name, language == Language::Dutch ? "Dutch" : "English",
                              qPrintable(fontName))
                    << code << message << caption << font;
            }
        }
    }
}

void TestMessageDialogs::questionShowsWholeText()
{
    QFETCH(QString, language);
    QFETCH(QString, message);
    QFETCH(QString, caption);
    QFETCH(QFont, font);

    QuestionDialog dlg(language);
    dlg.setFont(font);
    QStringList problems;
    whenShown(&dlg, [&] {
        auto* panel = dlg.findChild<QFrame*>(QStringLiteral("MessagePanel"));
        auto* messageText = dlg.findChild<QPlainTextEdit*>(QStringLiteral("MessageMemo"));
        problems << messageTextProblems(messageText, &dlg) << outsideWindow(panel, &dlg);
        if (!panel->contentsRect().contains(messageText->geometry()))
            problems << QStringLiteral("the message text reaches over its frame");
        problems << buttonRowProblems(
            {button(&dlg, "JaBtn"), button(&dlg, "NeeBtn"), button(&dlg, "CancelBtn")}, panel,
            &dlg);
        QTest::mouseClick(button(&dlg, "NeeBtn"), Qt::LeftButton);
    });
    const auto [yes, no] = yesNoAnswerTexts(language, caption);
    // With its third button, the widest row the window has.
    bool cancel = true;
    dlg.askYesNo(kMainWindow, caption, message, yes, no, QString(), false, &cancel);
    QVERIFY2(withoutEmpty(problems).isEmpty(), qPrintable(withoutEmpty(problems).join("; ")));
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
    // A caption in the other language steps on all the same.
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
    whenShown(&dlg, [&] {
        auto* field = dlg.findChild<QLineEdit*>(QStringLiteral("AskEdit"));
        startText = field->text();
        cancelCaption = button(&dlg, "CancelBtn")->text();
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
}

void TestMessageDialogs::textInputShowsWholeText_data()
{
    QTest::addColumn<QString>("language");
    QTest::addColumn<QString>("prompt");
    QTest::addColumn<QFont>("font");
    for (const Language language : {Language::Dutch, Language::English}) {
        const QString code = language == Language::Dutch ? QStringLiteral("nld") : QString();
        const QList<QPair<const char*, QString>> prompts{
            {"no name", shownText(language, text::giveTheMediumAName, QStringLiteral("f"))},
            {"same name", shownText(language, text::giveAnotherName, QStringLiteral("f"))},
        };
        for (const auto& [name, prompt] : prompts) {
            for (const auto& [fontName, font] : test::testFonts()) {
                QTest::addRow("%s, %s, %s", name, language == Language::Dutch ? "Dutch" : "English",
                              qPrintable(fontName))
                    << code << prompt << font;
            }
        }
    }
}

void TestMessageDialogs::textInputShowsWholeText()
{
    QFETCH(QString, language);
    QFETCH(QString, prompt);
    QFETCH(QFont, font);

    TextInputDialog dlg(language, QStringLiteral("versie 1.01b"));
    dlg.setFont(font);
    QStringList problems;
    whenShown(&dlg, [&] {
        auto* label = dlg.findChild<QLabel*>(QStringLiteral("AskLabel"));
        auto* field = dlg.findChild<QLineEdit*>(QStringLiteral("AskEdit"));
        problems << labelProblems(label, &dlg) << outsideWindow(field, &dlg);
        if (field->y() <= label->geometry().bottom())
            problems << QStringLiteral("the field overlaps the prompt");
        if (field->height() < field->sizeHint().height())
            problems << QStringLiteral("the field is lower than its text");
        problems << buttonRowProblems({button(&dlg, "OKBtn"), button(&dlg, "CancelBtn")}, field,
                                      &dlg);
        QTest::mouseClick(button(&dlg, "CancelBtn"), Qt::LeftButton);
    });
    QString answer = QStringLiteral("Backup-2");
    dlg.askText(kMainWindow, prompt, answer);
    QVERIFY2(withoutEmpty(problems).isEmpty(), qPrintable(withoutEmpty(problems).join("; ")));
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
    QTest::newRow("two empty lines: an empty box") << ""
                                                   << ""
                                                   << "";
    QTest::newRow("one line") << "Browser niet geopend."
                              << ""
                              << "Browser niet geopend.";
    QTest::newRow("second line only") << ""
                                      << "Twee"
                                      << "Twee";
    QTest::newRow("two lines") << "Een"
                               << "Twee"
                               << "Een\nTwee";
}

void TestMessageDialogs::showTimed()
{
    QFETCH(QString, line1);
    QFETCH(QString, line2);
    QFETCH(QString, shown);

    TimedMessage form;
    bool returned = false;
    bool sawIt = false;
    QString text;
    QTimer::singleShot(0, &form, [&] {
        // Looks at the window from inside its own wait, then lets it run out.
        QTimer::singleShot(0, &form, [&] {
            sawIt = form.isVisible();
            text = form.findChild<QPlainTextEdit*>(QStringLiteral("MessageMemo"))->toPlainText();
        });
        form.showTimed(line1, line2, 150, kMainWindow);
        returned = true;
    });
    QTRY_VERIFY(returned);
    QVERIFY(sawIt);
    QVERIFY(!form.isVisible());
    QCOMPARE(text, shown);
}

void TestMessageDialogs::timedMessageShowsWholeText_data()
{
    QTest::addColumn<QString>("line1");
    QTest::addColumn<QString>("line2");
    QTest::addColumn<QFont>("font");
    for (const Language language : {Language::Dutch, Language::English}) {
        const QList<std::tuple<const char*, QString, QString>> messages{
            {"no browser", shownText(language, text::browserFailed), QString()},
            // The first line is longer than the messageText is wide.
            {"no temporary disk", shownText(language, text::noTempDiskLargeEnough),
             shownText(language, text::duplicatingNotPossible)},
        };
        for (const auto& [name, line1, line2] : messages) {
            for (const auto& [fontName, font] : test::testFonts()) {
                QTest::addRow("%s, %s, %s", name, language == Language::Dutch ? "Dutch" : "English",
                              qPrintable(fontName))
                    << line1 << line2 << font;
            }
        }
    }
}

void TestMessageDialogs::timedMessageShowsWholeText()
{
    QFETCH(QString, line1);
    QFETCH(QString, line2);
    QFETCH(QFont, font);

    TimedMessage form;
    form.setFont(font);
    bool returned = false;
    QStringList problems;
    QTimer::singleShot(0, &form, [&] {
        QTimer::singleShot(0, &form, [&] {
            auto* messageText = form.findChild<QPlainTextEdit*>(QStringLiteral("MessageMemo"));
            problems << messageTextProblems(messageText, &form);
        });
        form.showTimed(line1, line2, 50, kMainWindow);
        returned = true;
    });
    QTRY_VERIFY(returned);
    QVERIFY2(withoutEmpty(problems).isEmpty(), qPrintable(withoutEmpty(problems).join("; ")));
}

QTEST_MAIN(TestMessageDialogs)
#include "tst_messagedialogs.moc"
