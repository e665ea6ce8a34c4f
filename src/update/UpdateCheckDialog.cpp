// SPDX-License-Identifier: GPL-3.0-or-later
#include "update/UpdateCheckDialog.h"

#include "support/Language.h"
#include "update/UpdateCheck.h"
#include "update/UpdateText.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QEvent>
#include <QFontMetrics>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QStyle>
#include <QVBoxLayout>

namespace kx {

namespace {

// The explanation's width, unless a word in a large font needs more; its height follows from its
// text in the font it is shown in.
constexpr int kExplanationWidth = 320;

} // namespace

UpdateCheckDialog::UpdateCheckDialog(Platform& platform, const QString& languageCode,
                                     QWidget* parent)
    : QDialog(parent), m_platform(platform)
{
    setObjectName(QStringLiteral("CheckUpdateForm"));
    const Language language = languageOf(languageCode.toStdString());
    const auto shown = [language](const Text& text) {
        return QString::fromUtf8(inLanguage(language, text))
            .replace(QStringLiteral("%1"), QString::fromUtf8(kProductName));
    };

    setWindowTitle(shown(text::checkForUpdatesTitle));

    // Each sentence a paragraph of its own: the line break holds at any font, where runs of
    // spaces only pushed the second sentence down at the font they were counted for.
    m_explanation = new QLabel(this);
    m_explanation->setObjectName(QStringLiteral("Label1"));
    m_explanation->setTextFormat(Qt::PlainText);
    m_explanation->setWordWrap(true);
    m_explanation->setText(shown(text::mayCheckAtStartup) + QLatin1Char('\n') +
                           shown(text::onlyWhenConnected));
    fitExplanation();

    m_autoCheck = new QGroupBox(shown(text::automaticCheck), this);
    m_autoCheck->setObjectName(QStringLiteral("AutoCheck"));
    m_autoCheckOn = new QRadioButton(shown(text::on), m_autoCheck);
    m_autoCheckOn->setObjectName(QStringLiteral("AutoCheckOn"));
    m_autoCheckOff = new QRadioButton(shown(text::off), m_autoCheck);
    m_autoCheckOff->setObjectName(QStringLiteral("AutoCheckOff"));
    m_autoCheckOn->setChecked(true);
    auto* items = new QVBoxLayout(m_autoCheck);
    items->addWidget(m_autoCheckOn);
    items->addWidget(m_autoCheckOff);
    connect(m_autoCheckOn, &QRadioButton::clicked, this, &UpdateCheckDialog::storeAutoCheck);
    connect(m_autoCheckOff, &QRadioButton::clicked, this, &UpdateCheckDialog::storeAutoCheck);

    // The desktop theme's icon first, the style's glyph where the theme has none.
    m_updateNowButton =
        new QPushButton(QIcon::fromTheme(QStringLiteral("system-software-update"),
                                         style()->standardIcon(QStyle::SP_BrowserReload)),
                        shown(text::updateNow), this);
    m_updateNowButton->setObjectName(QStringLiteral("UpdateBtn"));
    m_updateNowButton->setAutoDefault(false);
    connect(m_updateNowButton, &QPushButton::clicked, this, [this] { done(kYes); });

    auto* box = new QDialogButtonBox(this);
    m_okButton = box->addButton(QDialogButtonBox::Ok);
    m_okButton->setObjectName(QStringLiteral("OKBtn"));
    m_cancelButton = box->addButton(QDialogButtonBox::Cancel);
    m_cancelButton->setObjectName(QStringLiteral("CancelBtn"));
    m_cancelButton->setText(shown(text::cancelCheck));
    connect(m_okButton, &QPushButton::clicked, this, [this] {
        confirm();
        accept();
    });
    connect(m_cancelButton, &QPushButton::clicked, this, &QDialog::reject);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_updateNowButton);
    buttons->addStretch();
    buttons->addWidget(box);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_explanation);
    layout->addWidget(m_autoCheck);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void UpdateCheckDialog::fitExplanation()
{
    const QFontMetrics metrics = m_explanation->fontMetrics();
    int width = kExplanationWidth;
    for (const QString& word :
         m_explanation->text().split(QRegularExpression(QStringLiteral("\\s+"))))
        width = qMax(width, metrics.boundingRect(QRect(), Qt::TextSingleLine, word).width() +
                                2 * m_explanation->margin());
    m_explanation->setFixedWidth(width);
    m_explanation->setFixedHeight(m_explanation->heightForWidth(width));
}

void UpdateCheckDialog::changeEvent(QEvent* event)
{
    QDialog::changeEvent(event);
    // The label takes the new font after this event: fit it once that has happened.
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange)
        QMetaObject::invokeMethod(this, &UpdateCheckDialog::fitExplanation, Qt::QueuedConnection);
}

void UpdateCheckDialog::loadAutoCheckSetting()
{
    m_autoCheckEnabled = kx::loadAutoCheckSetting(m_platform);
    (m_autoCheckEnabled ? m_autoCheckOn : m_autoCheckOff)->setChecked(true);
}

void UpdateCheckDialog::storeAutoCheck()
{
    m_autoCheckEnabled = m_autoCheckOn->isChecked();
    storeAutoCheckSetting(m_platform, m_autoCheckEnabled);
}

void UpdateCheckDialog::confirm()
{
    storeAutoCheck();
}

} // namespace kx
