// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/AboutDialog.h"

#include "dialogs/DialogHelpers.h"
#include "dialogs/DialogText.h"
#include "dialogs/Help.h"
#include "dialogs/TimedMessage.h"
#include "dialogs/UiText.h"

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
constexpr const char* kMakerStreet = "Voorbeeldstraat 1";
constexpr const char* kMakerTown = "1234 AB Voorbeeldstad";
constexpr const char* kMakerPhone = "Tel. 000 - 000 00 00";

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
      m_language(uiLanguage(languageCode)), m_mainCaption(mainCaption), m_versionText(versionText),
      m_open([](const QUrl& url) { return QDesktopServices::openUrl(url); })
{
    const auto shown = [this](const Text& text) { return productText(m_language, text); };

    setObjectName(QStringLiteral("AboutForm"));
    setFont(dialogFont());
    setFixedSize(kClientWidth, kClientHeight);
    setHelpContext(this, helpcontext::About);

    // The author page lies underneath; the main page covers it until the author button.
    m_authorPage = page(this, "Panel1");
    setHelpContext(m_authorPage, helpcontext::AboutMain);
    m_authorText = new QTextEdit(m_authorPage);
    m_authorText->setObjectName(QStringLiteral("AuthorMemo"));
    m_authorText->setReadOnly(true);
    m_authorText->setFrameStyle(QFrame::NoFrame);
    m_authorText->setGeometry(16, 12, kClientWidth - 32, kButtonTop - 24);
    m_authorText->document()->setDefaultTextOption(QTextOption(Qt::AlignHCenter));
    QPalette buttonFace = m_authorText->palette();
    buttonFace.setColor(QPalette::Base, buttonFace.color(QPalette::Button));
    m_authorText->setPalette(buttonFace);
    setHelpContext(m_authorText, helpcontext::AboutAuthor);
    m_authorText->setPlainText(
        QStringList{QString(), shown(text::writtenBy), QString(), shown(text::makers),
                    QString::fromUtf8(kMakerStreet), QString::fromUtf8(kMakerTown),
                    QString::fromUtf8(kMakerPhone), QString(), QString::fromLatin1(kMakerMail),
                    QString::fromLatin1(kMakerServer), QString(), shown(text::furtherInformation)}
            .join(QLatin1Char('\n')));
    m_backButton =
        button(m_authorPage, "OKBtn1", shown(text::ok), (kClientWidth - kButtonWidth) / 2);
    m_backButton->setToolTip(shown(text::backToMainPage));
    setHelpContext(m_backButton, helpcontext::About);
    connect(m_backButton, &QPushButton::clicked, this, &AboutDialog::showMainPage);

    m_mainPage = page(this, "MainPanel");
    setHelpContext(m_mainPage, helpcontext::AboutMain);
    QLabel* name =
        centredLabel(m_mainPage, "NameLabel", productName(), QRect(8, 14, kClientWidth - 16, 38));
    QFont nameFont = dialogFont();
    nameFont.setPointSize(20);
    nameFont.setBold(true);
    name->setFont(nameFont);
    centredLabel(m_mainPage, "VersionLabel", versionText, QRect(8, 54, kClientWidth - 16, 18));

    bevel(m_mainPage, "Bevel3", QRect(24, 84, kClientWidth - 48, 28));
    centredLabel(m_mainPage, "CopyrightLabel", shown(text::copyright),
                 QRect(28, 88, kClientWidth - 84, 20));
    auto* authorButton = new QPushButton(QStringLiteral("..."), m_mainPage);
    authorButton->setObjectName(QStringLiteral("AuthorBtn"));
    authorButton->setCursor(Qt::PointingHandCursor);
    authorButton->setAutoDefault(false);
    authorButton->setGeometry(kClientWidth - 24 - 26, 87, 23, 22);
    authorButton->setToolTip(shown(text::showAuthor));
    connect(authorButton, &QPushButton::clicked, this, &AboutDialog::showAuthorPage);

    bevel(m_mainPage, "Bevel2", QRect(24, 124, kClientWidth - 48, 72));
    centredLabel(m_mainPage, "Label1", shown(text::slogan), QRect(28, 134, kClientWidth - 56, 22));
    centredLabel(m_mainPage, "Label2", shown(text::secureYourData),
                 QRect(28, 162, kClientWidth - 56, 22));

    auto* mail = button(m_mainPage, "MailBtn", shown(text::mailButton), 56);
    mail->setAutoDefault(false);
    mail->setToolTip(shown(text::mailHint));
    connect(mail, &QPushButton::clicked, this, &AboutDialog::sendMail);
    m_ok = button(m_mainPage, "OKBtn", shown(text::ok), (kClientWidth - kButtonWidth) / 2);
    m_ok->setDefault(true);
    m_ok->setToolTip(m_backButton->toolTip());
    connect(m_ok, &QPushButton::clicked, this, &AboutDialog::closeDialog);
    auto* home =
        button(m_mainPage, "HomeBtn", shown(text::homeButton), kClientWidth - 56 - kButtonWidth);
    home->setAutoDefault(false);
    home->setToolTip(shown(text::homeHint));
    connect(home, &QPushButton::clicked, this, &AboutDialog::openHomePage);

    m_mailBody = new QPlainTextEdit(m_mainPage);
    m_mailBody->setObjectName(QStringLiteral("MailMemo"));
    m_mailBody->hide();
    m_mailBody->setPlainText(QStringList{shown(text::mailGreeting), QString(), QString(),
                                         shown(text::mailFoundProgram), QString(),
                                         shown(text::mailComment), QString(), QString(), QString(),
                                         QString(), QString(), shown(text::mailClosing)}
                                 .join(QLatin1Char('\n')));

    setWindowTitle(m_mainCaption + uiText(m_language, text::aboutTitleSuffix));
}

void AboutDialog::setMessageForm(TimedMessage* messageForm)
{
    m_failureMessage = messageForm;
}

void AboutDialog::setUrlOpener(std::function<bool(const QUrl&)> opener)
{
    m_open = std::move(opener);
}

QString AboutDialog::mailAddress() const
{
    const QString subject =
        uiText(m_language, text::mailSubject).arg(productName(), m_versionText).left(33);
    const QString body =
        m_mailBody->toPlainText().split(QLatin1Char('\n')).join(QStringLiteral("%0D%0A"));
    return QStringLiteral("mailto:") + QString::fromLatin1(kMakerMail) +
           QStringLiteral("?Subject=") + subject + QStringLiteral("&Body=") + body;
}

QString AboutDialog::homeAddress() const
{
    return QString::fromLatin1(kMakerServer) + productText(m_language, text::downloadPage);
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
    setWindowTitle(productText(m_language, text::authorTitle));
    m_backButton->setDefault(true);
    m_backButton->setFocus();
}

void AboutDialog::showMainPage()
{
    // Back to the main page, so that the next opening starts there.
    setWindowTitle(m_mainCaption + uiText(m_language, text::aboutTitleSuffix));
    m_mainPage->show();
    m_ok->setDefault(true);
    done(QDialog::Accepted);
}

void AboutDialog::sendMail()
{
    handOver(mailAddress(), text::mailFailed);
}

void AboutDialog::openHomePage()
{
    handOver(homeAddress(), text::browserFailed);
}

void AboutDialog::handOver(const QString& address, const Text& failure)
{
    // The address goes out as written: spaces and the encoded line ends stay as they are.
    if (m_open(QUrl(address, QUrl::TolerantMode)))
        return;
    if (!m_failureMessage)
        m_failureMessage = new TimedMessage(this);
    m_failureMessage->showTimed(uiText(m_language, failure), QString(), 3000, frameGeometry());
}

} // namespace kx
