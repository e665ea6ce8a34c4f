#include "dialogs/AboutDialog.h"

#include "dialogs/DialogHelpers.h"
#include "dialogs/Help.h"
#include "dialogs/TimedMessage.h"

#include <QDesktopServices>
#include <QFrame>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextEdit>

namespace kx {

namespace {

// The maker as the window and the mail know it.
constexpr const char* kMakerMail = "info@kopierix.example";
constexpr const char* kMakerServer = "http://www.kopierix.example";

constexpr int kClientWidth = 371;
constexpr int kClientHeight = 257;
constexpr int kButtonTop = 214;
constexpr int kButtonWidth = 75;
constexpr int kButtonHeight = 27;

QLabel* centredLabel(QWidget* parent, const char* name, const QString& text, const QRect& place)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(QLatin1String(name));
    label->setAlignment(Qt::AlignCenter);
    label->setGeometry(place);
    return label;
}

QPushButton* button(QWidget* parent, const char* name, const QString& caption, int left)
{
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(QLatin1String(name));
    b->setCursor(Qt::PointingHandCursor);
    b->setGeometry(left, kButtonTop, kButtonWidth, kButtonHeight);
    return b;
}

QFrame* page(QWidget* parent, const char* name)
{
    auto* frame = new QFrame(parent);
    frame->setObjectName(QLatin1String(name));
    frame->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    frame->setAutoFillBackground(true);
    frame->setGeometry(0, 0, kClientWidth, kClientHeight);
    return frame;
}

QFrame* bevel(QWidget* parent, const char* name, const QRect& place)
{
    auto* frame = new QFrame(parent);
    frame->setObjectName(QLatin1String(name));
    frame->setFrameStyle(QFrame::Box | QFrame::Sunken);
    frame->setGeometry(place);
    return frame;
}

} // namespace

AboutDialog::AboutDialog(const QString& languageCode, const QString& mainCaption,
                         const QString& versionText, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      m_languageCode(languageCode), m_mainCaption(mainCaption), m_versionText(versionText),
      m_open([](const QUrl& url) { return QDesktopServices::openUrl(url); })
{
    const QString product = QString::fromLatin1(kProductName);
    auto text = [&](const char* dutch, const char* english) {
        return nlEn(languageCode, dutch, english);
    };

    setObjectName(QStringLiteral("AboutForm"));
    setFont(dialogFont());
    setFixedSize(kClientWidth, kClientHeight);
    setHelpContext(this, helpcontext::About);

    // The author page lies underneath; the main page covers it until the author button.
    m_authorPage = page(this, "Panel1");
    setHelpContext(m_authorPage, helpcontext::AboutMain);
    m_authorMemo = new QTextEdit(m_authorPage);
    m_authorMemo->setObjectName(QStringLiteral("AuthorMemo"));
    m_authorMemo->setReadOnly(true);
    m_authorMemo->setFrameStyle(QFrame::NoFrame);
    m_authorMemo->setGeometry(16, 12, kClientWidth - 32, kButtonTop - 24);
    m_authorMemo->document()->setDefaultTextOption(QTextOption(Qt::AlignHCenter));
    QPalette buttonFace = m_authorMemo->palette();
    buttonFace.setColor(QPalette::Base, buttonFace.color(QPalette::Button));
    m_authorMemo->setPalette(buttonFace);
    setHelpContext(m_authorMemo, helpcontext::AboutAuthor);
    m_authorMemo->setPlainText(
        QStringList{QString(),
                    text("Het programma ", "The program ") + product +
                        text(" is geschreven door:", " has been written by:"),
                    QString(), text("De makers van Kopierix", "The makers of Kopierix"),
                    QStringLiteral("Voorbeeldstraat 1"), QStringLiteral("1234 AB Voorbeeldstad"),
                    QStringLiteral("Tel. 000 - 000 00 00"), QString(),
                    QString::fromLatin1(kMakerMail), QString::fromLatin1(kMakerServer), QString(),
                    text("Mail, bel of schrijf voor nadere informatie!",
                         "Mail or write for further information!")}
            .join(QLatin1Char('\n')));
    m_backButton =
        button(m_authorPage, "OKBtn1", QStringLiteral("OK"), (kClientWidth - kButtonWidth) / 2);
    m_backButton->setToolTip(text("Terug naar het beginvenster", "Back to the main window"));
    setHelpContext(m_backButton, helpcontext::About);
    connect(m_backButton, &QPushButton::clicked, this, &AboutDialog::showMainPage);

    m_mainPage = page(this, "MainPanel");
    setHelpContext(m_mainPage, helpcontext::AboutMain);
    QLabel* name =
        centredLabel(m_mainPage, "NameLabel", product, QRect(8, 14, kClientWidth - 16, 38));
    QFont nameFont = dialogFont();
    nameFont.setPointSize(20);
    nameFont.setBold(true);
    name->setFont(nameFont);
    centredLabel(m_mainPage, "VersionLabel", versionText, QRect(8, 54, kClientWidth - 16, 18));

    bevel(m_mainPage, "Bevel3", QRect(24, 84, kClientWidth - 48, 28));
    centredLabel(m_mainPage, "CopyrightLabel",
                 text("© 2004-2025 De makers van Kopierix", "© 2004-2025 The makers of Kopierix"),
                 QRect(28, 88, kClientWidth - 84, 20));
    auto* authorButton = new QPushButton(QStringLiteral("..."), m_mainPage);
    authorButton->setObjectName(QStringLiteral("AuthorBtn"));
    authorButton->setCursor(Qt::PointingHandCursor);
    authorButton->setAutoDefault(false);
    authorButton->setGeometry(kClientWidth - 24 - 26, 87, 23, 22);
    authorButton->setToolTip(QStringLiteral("Toon auteur"));
    connect(authorButton, &QPushButton::clicked, this, &AboutDialog::showAuthorPage);

    bevel(m_mainPage, "Bevel2", QRect(24, 124, kClientWidth - 48, 72));
    centredLabel(
        m_mainPage, "Label1",
        product + text(" is een handig Backupprogramma", " reminds you in time to contract dates."),
        QRect(28, 134, kClientWidth - 56, 22));
    centredLabel(m_mainPage, "Label2",
                 text("Beveilig uw gegevens!", "So you may update your contracts in time."),
                 QRect(28, 162, kClientWidth - 56, 22));

    auto* mail = button(m_mainPage, "MailBtn", QStringLiteral("Mail"), 56);
    mail->setAutoDefault(false);
    mail->setToolTip(
        text("Stuur uw opmerkingen naar de auteur van ", "Send you remarks to the author of ") +
        product);
    connect(mail, &QPushButton::clicked, this, &AboutDialog::sendMail);
    m_ok = button(m_mainPage, "OKBtn", QStringLiteral("OK"), (kClientWidth - kButtonWidth) / 2);
    m_ok->setDefault(true);
    m_ok->setToolTip(m_backButton->toolTip());
    connect(m_ok, &QPushButton::clicked, this, &AboutDialog::closeDialog);
    auto* home =
        button(m_mainPage, "HomeBtn", QStringLiteral("Home"), kClientWidth - 56 - kButtonWidth);
    home->setAutoDefault(false);
    home->setToolTip(text("Download de nieuwste versie van ", "Download the newest version of ") +
                     product);
    connect(home, &QPushButton::clicked, this, &AboutDialog::openHomePage);

    m_mailMemo = new QPlainTextEdit(m_mainPage);
    m_mailMemo->setObjectName(QStringLiteral("MailMemo"));
    m_mailMemo->hide();
    m_mailMemo->setPlainText(QStringList{
        text("Hallo makers van Kopierix,", "Hello makers of Kopierix,"), QString(), QString(),
        text("Ik vond op je Home Page het programma ", "On you Home Page I found the program ") +
            product + QLatin1Char('.'),
        QString(),
        text("Ik wil hierover het volgende kwijt:", "I want to comment on this program:"),
        QString(), QString(), QString(), QString(), QString(),
        text("Met vriendelijke groet,", "Kind regards,")}
                                 .join(QLatin1Char('\n')));

    setWindowTitle(m_mainCaption + text(" - Informatie", " - About"));
}

void AboutDialog::setMessageForm(TimedMessage* messageForm)
{
    m_messageForm = messageForm;
}

void AboutDialog::setUrlOpener(std::function<bool(const QUrl&)> opener)
{
    m_open = std::move(opener);
}

QString AboutDialog::mailAddress() const
{
    const QString subject = (QStringLiteral("Programma ") + QString::fromLatin1(kProductName) +
                             QStringLiteral(", ") + m_versionText)
                                .left(33);
    const QString body =
        m_mailMemo->toPlainText().split(QLatin1Char('\n')).join(QStringLiteral("%0D%0A"));
    return QStringLiteral("mailto:") + QString::fromLatin1(kMakerMail) +
           QStringLiteral("?Subject=") + subject + QStringLiteral("&Body=") + body;
}

QString AboutDialog::homeAddress() const
{
    return QString::fromLatin1(kMakerServer) +
           nlEn(m_languageCode, "/downloads_n.html#", "/downloads_e.html#") +
           QString::fromLatin1(kProductName);
}

void AboutDialog::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    centreWindow(this, QRect());
    if (m_mainPage->isVisible())
        m_ok->setFocus();
}

void AboutDialog::reject()
{
    if (m_mainPage->isHidden())
        showMainPage();
    else
        closeDialog();
}

void AboutDialog::closeDialog()
{
    done(QDialog::Accepted);
}

void AboutDialog::showAuthorPage()
{
    m_mainPage->hide();
    setWindowTitle(QString::fromLatin1(kProductName) +
                   nlEn(m_languageCode, " - Auteur", " - Author"));
    m_backButton->setDefault(true);
    m_backButton->setFocus();
}

void AboutDialog::showMainPage()
{
    // Back to the main page, so that the next opening starts there.
    setWindowTitle(m_mainCaption + nlEn(m_languageCode, " - Informatie", " - About"));
    m_mainPage->show();
    m_ok->setDefault(true);
    done(QDialog::Accepted);
}

void AboutDialog::sendMail()
{
    handOver(mailAddress(), "E-mail is in de fout gegaan.", "Error sending E-mail.");
}

void AboutDialog::openHomePage()
{
    handOver(homeAddress(), "Browser niet geopend.", "Browser not opened.");
}

void AboutDialog::handOver(const QString& address, const char* dutchFailure,
                           const char* englishFailure)
{
    // The address goes out as written: spaces and the encoded line ends stay as they are.
    if (m_open(QUrl(address, QUrl::TolerantMode)))
        return;
    if (!m_messageForm)
        m_messageForm = new TimedMessage(this);
    m_messageForm->showTimed(nlEn(m_languageCode, dutchFailure, englishFailure), QString(), 3000,
                             frameGeometry());
}

} // namespace kx
