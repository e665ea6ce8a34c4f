// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/AboutDialog.h"
#include "dialogs/TimedMessage.h"
#include "dialogs/WholeText.h"

#include <QFrame>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyle>
#include <QTextEdit>
#include <QTimer>
#include <QtTest>

using namespace kx;

namespace {

QString mainCaption(const QString& language)
{
    return language == QLatin1String("nld") ? QStringLiteral("Kopierix - versie 1.01b")
                                            : QStringLiteral("Kopierix - version 1.01b");
}

QString versionText(const QString& language)
{
    return language == QLatin1String("nld") ? QStringLiteral("versie 1.01b")
                                            : QStringLiteral("version 1.01b");
}

QPushButton* button(QWidget* window, const char* name)
{
    return window->findChild<QPushButton*>(QLatin1String(name));
}

QRect placeIn(const QWidget* widget, const QWidget* window)
{
    return QRect(widget->mapTo(window, QPoint(0, 0)), widget->size());
}

// What of the texts of `page`, a page of the information window, does not show whole: a label's
// text reaching over the label, a caption wider than its button, a control outside the window.
QStringList cutTexts(const QWidget* page, const QWidget* window)
{
    QStringList problems;
    for (const QWidget* widget : page->findChildren<QWidget*>()) {
        if (!widget->isVisibleTo(window) || widget->objectName().isEmpty())
            continue;
        if (!window->rect().contains(placeIn(widget, window)))
            problems << widget->objectName() + QStringLiteral(" reaches outside the window");
        if (const auto* label = qobject_cast<const QLabel*>(widget)) {
            if (!test::showsWholeText(label))
                problems << label->objectName() + QStringLiteral(" cuts \"") + label->text() +
                                QStringLiteral("\"");
        } else if (const auto* b = qobject_cast<const QPushButton*>(widget)) {
            const QFontMetrics metrics = b->fontMetrics();
            const int margin = b->style()->pixelMetric(QStyle::PM_ButtonMargin, nullptr, b);
            if (metrics.horizontalAdvance(b->text()) + margin > b->width() ||
                metrics.height() > b->height())
                problems << b->objectName() + QStringLiteral(" cuts \"") + b->text() +
                                QStringLiteral("\"");
        } else if (const auto* shown = qobject_cast<const QTextEdit*>(widget)) {
            const QSizeF text = shown->document()->size();
            const QSize view = shown->viewport()->size();
            if (text.width() > view.width() || text.height() > view.height())
                problems << shown->objectName() + QStringLiteral(" cuts its text");
        }
    }
    return problems;
}

} // namespace

class TestAboutDialog : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { QLocale::setDefault(QLocale::c()); }

    void texts_data();
    void texts();
    void mailAddress_data();
    void mailAddress();
    void handOvers_data();
    void handOvers();
    void authorPageRoundTrip();
    void wholeTexts_data();
    void wholeTexts();
};

void TestAboutDialog::texts_data()
{
    QTest::addColumn<QString>("language");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("label1");
    QTest::addColumn<QString>("label2");
    QTest::addColumn<QString>("okHint");
    QTest::addColumn<QString>("mailHint");
    QTest::addColumn<QString>("homeHint");
    QTest::addColumn<QString>("home");

    QTest::newRow("Dutch") << "nld"
                           << "Kopierix - versie 1.01b - Informatie"
                           << "Kopierix is een handig Backupprogramma"
                           << "Beveilig uw gegevens!"
                           << "Terug naar het beginvenster"
                           << "Stuur uw opmerkingen naar de auteur van Kopierix"
                           << "Download de nieuwste versie van Kopierix"
                           << "http://www.kopierix.example/downloads_n.html#Kopierix";
    QTest::newRow("English") << ""
                             << "Kopierix - version 1.01b - About"
                             << "Kopierix reminds you in time to contract dates."
                             << "So you may update your contracts in time."
                             << "Back to the main window"
                             << "Send you remarks to the author of Kopierix"
                             << "Download the newest version of Kopierix"
                             << "http://www.kopierix.example/downloads_e.html#Kopierix";
}

void TestAboutDialog::texts()
{
    QFETCH(QString, language);
    QFETCH(QString, caption);
    QFETCH(QString, label1);
    QFETCH(QString, label2);
    QFETCH(QString, okHint);
    QFETCH(QString, mailHint);
    QFETCH(QString, homeHint);
    QFETCH(QString, home);

    AboutDialog about(language, mainCaption(language), versionText(language));
    QCOMPARE(about.windowTitle(), caption);
    // The usual size, or more where the font's lines need it.
    QVERIFY(about.width() >= 371 && about.height() >= 257);
    QCOMPARE(about.findChild<QLabel*>(QStringLiteral("NameLabel"))->text(),
             QStringLiteral("Kopierix"));
    QCOMPARE(about.findChild<QLabel*>(QStringLiteral("VersionLabel"))->text(),
             versionText(language));
    QCOMPARE(about.findChild<QLabel*>(QStringLiteral("Label1"))->text(), label1);
    QCOMPARE(about.findChild<QLabel*>(QStringLiteral("Label2"))->text(), label2);
    QCOMPARE(button(&about, "OKBtn")->toolTip(), okHint);
    QCOMPARE(button(&about, "OKBtn1")->toolTip(), okHint);
    QCOMPARE(button(&about, "MailBtn")->toolTip(), mailHint);
    QCOMPARE(button(&about, "HomeBtn")->toolTip(), homeHint);
    QCOMPARE(button(&about, "AuthorBtn")->toolTip(),
             language == "nld" ? QStringLiteral("Toon auteur") : QStringLiteral("Show author"));
    QVERIFY(button(&about, "OKBtn")->isDefault());
    QCOMPARE(about.homeAddress(), home);
}

void TestAboutDialog::mailAddress_data()
{
    QTest::addColumn<QString>("language");
    QTest::addColumn<QString>("version");
    QTest::addColumn<QString>("subject");
    QTest::addColumn<QString>("fourthLine");

    // "Programma Kopierix, version 1.01b" is exactly 33 characters: nothing is cut.
    QTest::newRow("English") << ""
                             << "version 1.01b"
                             << "Programma Kopierix, version 1.01b"
                             << "On you Home Page I found the program Kopierix.";
    QTest::newRow("Dutch") << "nld"
                           << "versie 1.01b"
                           << "Programma Kopierix, versie 1.01b"
                           << "Ik vond op je Home Page het programma Kopierix.";
    QTest::newRow("long version, cut to 33") << ""
                                             << "version 1.01b (test build)"
                                             << "Programma Kopierix, version 1.01b"
                                             << "On you Home Page I found the program Kopierix.";
}

void TestAboutDialog::mailAddress()
{
    QFETCH(QString, language);
    QFETCH(QString, version);
    QFETCH(QString, subject);
    QFETCH(QString, fourthLine);

    AboutDialog about(language, mainCaption(language), version);
    const QString address = about.mailAddress();
    const QString head = QStringLiteral("mailto:info@kopierix.example?Subject=") + subject +
                         QStringLiteral("&Body=");
    QVERIFY2(address.startsWith(head), qPrintable(address));

    const QStringList lines = address.mid(head.size()).split(QStringLiteral("%0D%0A"));
    QCOMPARE(lines.size(), 12); // eleven separators, none at the end
    QVERIFY(!lines[0].isEmpty());
    QCOMPARE(lines[3], fourthLine);
    QCOMPARE(lines[5], language == QLatin1String("nld")
                           ? QStringLiteral("Ik wil hierover het volgende kwijt:")
                           : QStringLiteral("I want to comment on this program:"));
    QCOMPARE(lines[11], language == QLatin1String("nld") ? QStringLiteral("Met vriendelijke groet,")
                                                         : QStringLiteral("Kind regards,"));
    for (int i : {1, 2, 4, 6, 7, 8, 9, 10})
        QVERIFY(lines[i].isEmpty());
}

void TestAboutDialog::handOvers_data()
{
    QTest::addColumn<QString>("buttonName");
    QTest::addColumn<bool>("opens");
    QTest::addColumn<QString>("failure"); // the timed message when the hand-over fails

    QTest::newRow("mail") << "MailBtn" << true << "";
    QTest::newRow("mail fails") << "MailBtn" << false << "Error sending E-mail.";
    QTest::newRow("home") << "HomeBtn" << true << "";
    QTest::newRow("home fails") << "HomeBtn" << false << "Browser not opened.";
}

void TestAboutDialog::handOvers()
{
    QFETCH(QString, buttonName);
    QFETCH(bool, opens);
    QFETCH(QString, failure);

    AboutDialog about(QString(), mainCaption(QString()), versionText(QString()));
    TimedMessage messages;
    about.setTimedMessage(&messages);
    QList<QUrl> opened;
    about.setUrlOpener([&](const QUrl& url) {
        opened << url;
        return opens;
    });
    QString shownMessage;
    int interval = 0;
    QTimer::singleShot(0, &messages, [&] {
        if (!messages.isVisible())
            return;
        shownMessage =
            messages.findChild<QPlainTextEdit*>(QStringLiteral("MessageMemo"))->toPlainText();
        interval = messages.findChild<QTimer*>(QStringLiteral("Timer"))->interval();
        messages.done(0);
    });
    about.show();
    QTest::mouseClick(button(&about, buttonName.toLatin1().constData()), Qt::LeftButton);

    QCOMPARE(opened.size(), 1);
    const bool mail = buttonName == QLatin1String("MailBtn");
    QCOMPARE(opened.first(),
             QUrl(mail ? about.mailAddress() : about.homeAddress(), QUrl::TolerantMode));
    if (mail) {
        QCOMPARE(opened.first().scheme(), QStringLiteral("mailto"));
        QCOMPARE(opened.first().toEncoded().count("%0D%0A"), 11);
    }
    QCOMPARE(shownMessage, failure);
    if (!failure.isEmpty())
        QCOMPARE(interval, 3000);
    // The window stays open after a hand-over, failed or not.
    QVERIFY(about.isVisible());
}

void TestAboutDialog::authorPageRoundTrip()
{
    AboutDialog about(QStringLiteral("nld"), mainCaption(QStringLiteral("nld")),
                      versionText(QStringLiteral("nld")));
    auto* mainPage = about.findChild<QFrame*>(QStringLiteral("MainPanel"));
    QString authorCaption;
    bool mainPageHidden = false;
    QTimer::singleShot(0, &about, [&] {
        QTest::mouseClick(button(&about, "AuthorBtn"), Qt::LeftButton);
        authorCaption = about.windowTitle();
        mainPageHidden = !mainPage->isVisible();
        QTest::mouseClick(button(&about, "OKBtn1"), Qt::LeftButton);
    });
    QCOMPARE(about.exec(), int(QDialog::Accepted));
    QCOMPARE(authorCaption, QStringLiteral("Kopierix - Auteur"));
    QVERIFY(mainPageHidden);

    // The next opening starts on the main page again.
    bool mainPageShown = false;
    QString caption;
    QTimer::singleShot(0, &about, [&] {
        mainPageShown = mainPage->isVisible();
        caption = about.windowTitle();
        QTest::mouseClick(button(&about, "OKBtn"), Qt::LeftButton);
    });
    QCOMPARE(about.exec(), int(QDialog::Accepted));
    QVERIFY(mainPageShown);
    QCOMPARE(caption, QStringLiteral("Kopierix - versie 1.01b - Informatie"));
}

void TestAboutDialog::wholeTexts_data()
{
    test::addLanguageAndFontRows();
}

void TestAboutDialog::wholeTexts()
{
    QFETCH(QString, language);
    QFETCH(QFont, font);
    AboutDialog about(language, mainCaption(language), versionText(language));
    about.setFont(font);
    QStringList problems;
    QTimer::singleShot(0, &about, [&] {
        problems << cutTexts(about.findChild<QFrame*>(QStringLiteral("MainPanel")), &about);
        QTest::mouseClick(button(&about, "AuthorBtn"), Qt::LeftButton);
        problems << cutTexts(about.findChild<QFrame*>(QStringLiteral("Panel1")), &about);
        QTest::mouseClick(button(&about, "OKBtn1"), Qt::LeftButton);
    });
    about.exec();
    QVERIFY2(problems.isEmpty(), qPrintable(problems.join(QStringLiteral("; "))));
}

QTEST_MAIN(TestAboutDialog)
#include "tst_aboutdialog.moc"
