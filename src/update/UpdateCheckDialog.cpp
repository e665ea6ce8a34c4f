#include "update/UpdateCheckDialog.h"

#include "update/UpdateCheck.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QVBoxLayout>

namespace kx {

UpdateCheckDialog::UpdateCheckDialog(Platform& platform, const QString& languageCode,
                                     QWidget* parent)
    : QDialog(parent), m_platform(platform)
{
    setObjectName(QStringLiteral("CheckUpdateForm"));
    const bool dutch = languageCode == QLatin1String("nld");
    const auto nlEn = [dutch](const char* nl, const char* en) {
        return QString::fromUtf8(dutch ? nl : en);
    };

    setWindowTitle(nlEn("Kopierix - Check voor Updates", "Kopierix - Check for Updates"));

    // The runs of spaces push the second sentence onto a line of its own.
    m_label1 = new QLabel(this);
    m_label1->setObjectName(QStringLiteral("Label1"));
    m_label1->setTextFormat(Qt::PlainText);
    m_label1->setWordWrap(true);
    m_label1->setFixedSize(320, 72);
    m_label1->setText(
        nlEn("U kunt Kopierix bij het opstarten laten nagaan of er een nieuwe versie  beschikbaar "
             "is.                                                                   Deze check "
             "wordt alleen uitgevoerd als er een internetverbinding actief is.",
             "At startup Kopierix may check if a new version is available.            This check "
             "will only be performed if an internet connection is active."));

    m_autoCheck =
        new QGroupBox(nlEn("Automatische Check voor Updates", "Automatic Check for Updates"), this);
    m_autoCheck->setObjectName(QStringLiteral("AutoCheck"));
    m_autoCheckOn = new QRadioButton(nlEn("Aan", "On"), m_autoCheck);
    m_autoCheckOn->setObjectName(QStringLiteral("AutoCheckOn"));
    m_autoCheckOff = new QRadioButton(nlEn("Uit", "Off"), m_autoCheck);
    m_autoCheckOff->setObjectName(QStringLiteral("AutoCheckOff"));
    m_autoCheckOn->setChecked(true);
    auto* items = new QVBoxLayout(m_autoCheck);
    items->addWidget(m_autoCheckOn);
    items->addWidget(m_autoCheckOff);
    connect(m_autoCheckOn, &QRadioButton::clicked, this, &UpdateCheckDialog::storeAutoCheck);
    connect(m_autoCheckOff, &QRadioButton::clicked, this, &UpdateCheckDialog::storeAutoCheck);

    m_updateBtn = new QPushButton(style()->standardIcon(QStyle::SP_BrowserReload),
                                  nlEn("Update Nu", "Update Now"), this);
    m_updateBtn->setObjectName(QStringLiteral("UpdateBtn"));
    m_updateBtn->setAutoDefault(false);
    connect(m_updateBtn, &QPushButton::clicked, this, [this] { done(kYes); });

    auto* box = new QDialogButtonBox(this);
    m_okBtn = box->addButton(QDialogButtonBox::Ok);
    m_okBtn->setObjectName(QStringLiteral("OKBtn"));
    m_cancelBtn = box->addButton(QDialogButtonBox::Cancel);
    m_cancelBtn->setObjectName(QStringLiteral("CancelBtn"));
    m_cancelBtn->setText(nlEn("Annuleer", "Cancel"));
    connect(m_okBtn, &QPushButton::clicked, this, [this] {
        confirm();
        accept();
    });
    connect(m_cancelBtn, &QPushButton::clicked, this, &QDialog::reject);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_updateBtn);
    buttons->addStretch();
    buttons->addWidget(box);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_label1);
    layout->addWidget(m_autoCheck);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
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
