// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/AboutDialog.h"

#include "dialogs/DialogHelpers.h"
#include "dialogs/DialogText.h"
#include "dialogs/Help.h"
#include "dialogs/TimedMessage.h"
#include "dialogs/UiText.h"

#include <QBoxLayout>
#include <QDesktopServices>
#include <QEvent>
#include <QFrame>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextDocument>
#include <QTextEdit>

#include <algorithm>
#include <cmath>
#include <memory>

namespace kx {

namespace {

// The maker as the window and the mail know it.
constexpr const char* kMakerMail = "info@kopierix.example";
constexpr const char* kMakerServer = "http://www.kopierix.example";
constexpr const char* kMakerStreet = "Voorbeeldstraat 1";
constexpr const char* kMakerTown = "1234 AB Voorbeeldstad";
constexpr const char* kMakerPhone = "Tel. 000 - 000 00 00";

// Sizes at the usual font; each grows with the window's font, and the window grows further
// where its texts need it.
constexpr int kClientWidth = 371;
constexpr int kClientHeight = 257;
constexpr int kButtonWidth = 75;
constexpr int kButtonHeight = 27;
constexpr int kNameHeight = 38;
constexpr int kLineHeight = 18;
constexpr int kSloganHeight = 22;
constexpr int kAuthorButtonWidth = 23;
constexpr int kAuthorButtonHeight = 22;
constexpr int kNamePoints = 20;
constexpr int kUsualPoints = 9;

QLabel* centredLabel(QWidget* parent, const char* name, const QString& text)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(QLatin1String(name));
    label->setAlignment(Qt::AlignCenter);
    return label;
}

QPushButton* button(QWidget* parent, const char* name, const QString& caption)
{
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(QLatin1String(name));
    b->setCursor(Qt::PointingHandCursor);
    return b;
}

QFrame* page(QWidget* parent, const char* name)
{
    auto* frame = new QFrame(parent);
    frame->setObjectName(QLatin1String(name));
    frame->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    frame->setAutoFillBackground(true);
    return frame;
}

QFrame* bevel(QWidget* parent, const char* name)
{
    auto* frame = new QFrame(parent);
    frame->setObjectName(QLatin1String(name));
    frame->setFrameStyle(QFrame::Box | QFrame::Sunken);
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
    setHelpContext(this, helpcontext::About);

    // The author page lies underneath; the main page covers it until the author button.
    m_authorPage = page(this, "Panel1");
    setHelpContext(m_authorPage, helpcontext::AboutMain);
    m_authorText = new QTextEdit(m_authorPage);
    m_authorText->setObjectName(QStringLiteral("AuthorMemo"));
    m_authorText->setReadOnly(true);
    m_authorText->setFrameStyle(QFrame::NoFrame);
    m_authorText->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_authorText->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
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
    m_backButton = button(m_authorPage, "OKBtn1", shown(text::ok));
    m_backButton->setToolTip(shown(text::backToMainPage));
    setHelpContext(m_backButton, helpcontext::About);
    connect(m_backButton, &QPushButton::clicked, this, &AboutDialog::showMainPage);
    m_authorLayout = new QVBoxLayout(m_authorPage);
    m_authorLayout->addWidget(m_authorText);
    m_authorLayout->addWidget(m_backButton, 0, Qt::AlignHCenter);

    m_mainPage = page(this, "MainPanel");
    setHelpContext(m_mainPage, helpcontext::AboutMain);
    m_nameLabel = centredLabel(m_mainPage, "NameLabel", productName());
    QLabel* version = centredLabel(m_mainPage, "VersionLabel", versionText);

    QFrame* noticeBevel = bevel(m_mainPage, "Bevel3");
    QLabel* notice = centredLabel(noticeBevel, "CopyrightLabel", shown(text::copyright));
    m_authorButton = button(noticeBevel, "AuthorBtn", QStringLiteral("..."));
    m_authorButton->setAutoDefault(false);
    m_authorButton->setToolTip(shown(text::showAuthor));
    connect(m_authorButton, &QPushButton::clicked, this, &AboutDialog::showAuthorPage);
    m_noticeLayout = new QHBoxLayout(noticeBevel);
    m_noticeLayout->addWidget(notice, 1);
    m_noticeLayout->addWidget(m_authorButton);

    QFrame* sloganBevel = bevel(m_mainPage, "Bevel2");
    m_sloganLayout = new QVBoxLayout(sloganBevel);
    m_sloganLayout->addWidget(centredLabel(sloganBevel, "Label1", shown(text::slogan)));
    m_sloganLayout->addWidget(centredLabel(sloganBevel, "Label2", shown(text::secureYourData)));

    auto* mail = button(m_mainPage, "MailBtn", shown(text::mailButton));
    mail->setAutoDefault(false);
    mail->setToolTip(shown(text::mailHint));
    connect(mail, &QPushButton::clicked, this, &AboutDialog::sendMail);
    m_ok = button(m_mainPage, "OKBtn", shown(text::ok));
    m_ok->setDefault(true);
    m_ok->setToolTip(m_backButton->toolTip());
    connect(m_ok, &QPushButton::clicked, this, &AboutDialog::closeDialog);
    auto* home = button(m_mainPage, "HomeBtn", shown(text::homeButton));
    home->setAutoDefault(false);
    home->setToolTip(shown(text::homeHint));
    connect(home, &QPushButton::clicked, this, &AboutDialog::openHomePage);
    m_buttonRow = new QHBoxLayout;
    m_buttonRow->addWidget(mail);
    m_buttonRow->addStretch();
    m_buttonRow->addWidget(m_ok);
    m_buttonRow->addStretch();
    m_buttonRow->addWidget(home);

    // The rows of the main page, with the gaps between them at the usual font.
    m_mainLayout = new QVBoxLayout(m_mainPage);
    m_mainLayout->setSpacing(0);
    const auto gap = [this](int usualSize) {
        auto* spacer = new QSpacerItem(0, usualSize, QSizePolicy::Minimum, QSizePolicy::Fixed);
        m_mainLayout->addSpacerItem(spacer);
        m_gaps.emplace_back(spacer, usualSize);
    };
    m_mainLayout->addWidget(m_nameLabel);
    gap(2);
    m_mainLayout->addWidget(version);
    gap(12);
    m_mainLayout->addWidget(noticeBevel);
    gap(12);
    m_mainLayout->addWidget(sloganBevel);
    m_mainLayout->addStretch();
    gap(18);
    m_mainLayout->addLayout(m_buttonRow);

    m_mailBody = new QPlainTextEdit(m_mainPage);
    m_mailBody->setObjectName(QStringLiteral("MailMemo"));
    m_mailBody->hide();
    m_mailBody->setPlainText(QStringList{shown(text::mailGreeting), QString(), QString(),
                                         shown(text::mailFoundProgram), QString(),
                                         shown(text::mailComment), QString(), QString(), QString(),
                                         QString(), QString(), shown(text::mailClosing)}
                                 .join(QLatin1Char('\n')));

    setWindowTitle(m_mainCaption + uiText(m_language, text::aboutTitleSuffix));
    layOut();
}

void AboutDialog::changeEvent(QEvent* event)
{
    QDialog::changeEvent(event);
    if (event->type() == QEvent::FontChange && m_mainPage)
        layOut();
}

void AboutDialog::layOut()
{
    // The window keeps its usual size unless its font needs more: spacings and the smallest
    // sizes grow with the font, and the pages' layouts make room for each text as measured.
    const QFont& shownFont = font();
    const auto grown = [&shownFont](int usualSize) { return grownSize(usualSize, shownFont); };

    QFont nameFont = shownFont;
    nameFont.setPointSizeF(shownFont.pointSizeF() * kNamePoints / kUsualPoints);
    nameFont.setBold(true);
    m_nameLabel->setFont(nameFont);
    m_nameLabel->setMinimumHeight(grown(kNameHeight));

    for (const auto& [spacer, usualSize] : m_gaps)
        spacer->changeSize(0, grown(usualSize), QSizePolicy::Minimum, QSizePolicy::Fixed);
    // Margins count from the page's edge, its frame included.
    const int edge = m_mainPage->frameWidth();
    m_mainLayout->setContentsMargins(grown(24) - edge, grown(14) - edge, grown(24) - edge,
                                     grown(16) - edge);
    m_noticeLayout->setContentsMargins(grown(4), grown(1), grown(1), grown(1));
    m_noticeLayout->setSpacing(grown(6));
    m_sloganLayout->setContentsMargins(grown(4), grown(8), grown(4), grown(10));
    m_sloganLayout->setSpacing(grown(6));
    m_buttonRow->setContentsMargins(grown(32), 0, grown(32), 0);
    m_authorLayout->setContentsMargins(grown(16) - edge, grown(12) - edge, grown(16) - edge,
                                       grown(16) - edge);
    m_authorLayout->setSpacing(grown(12));
    for (QLabel* label : m_mainPage->findChildren<QLabel*>()) {
        const bool slogan = label->parentWidget()->objectName() == QLatin1String("Bevel2");
        if (label != m_nameLabel)
            label->setMinimumHeight(grown(slogan ? kSloganHeight : kLineHeight));
    }
    for (QPushButton* b : findChildren<QPushButton*>())
        b->setMinimumSize(grown(kButtonWidth), grown(kButtonHeight));
    m_authorButton->setMinimumSize(grown(kAuthorButtonWidth), grown(kAuthorButtonHeight));
    m_authorButton->setMaximumSize(m_authorButton->minimumSize());
    m_mainLayout->invalidate();

    const int width = qMax(grown(kClientWidth), m_mainLayout->sizeHint().width());
    // The author text is centred in lines as wide as the page allows; its height is what those
    // lines take, measured on a copy of its document.
    std::unique_ptr<QTextDocument> measure(m_authorText->document()->clone());
    measure->setDefaultFont(m_authorText->font());
    measure->setTextWidth(width - m_authorLayout->contentsMargins().left() -
                          m_authorLayout->contentsMargins().right());
    m_authorText->setMinimumHeight(static_cast<int>(std::ceil(measure->size().height())));
    const int height = std::max({grown(kClientHeight), m_mainLayout->sizeHint().height(),
                                 m_authorLayout->minimumSize().height()});
    setFixedSize(width, height);
    m_authorPage->setGeometry(rect());
    m_mainPage->setGeometry(rect());
}

void AboutDialog::setTimedMessage(TimedMessage* timedMessage)
{
    m_failureMessage = timedMessage;
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
