// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/TextInputDialog.h"

#include "dialogs/DialogHelpers.h"
#include "dialogs/DialogText.h"
#include "dialogs/UiText.h"

#include <QCoreApplication>
#include <QFocusEvent>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace kx {

namespace {

constexpr int kLabelLeft = 16;
constexpr int kLabelTop = 8;
constexpr int kLabelWidth = 232;
constexpr int kButtonWidth = 75;
constexpr int kButtonHeight = 25;
constexpr int kGap = 10;

} // namespace

TextInputDialog::TextInputDialog(const QString& languageCode, const QString& versionText,
                                 QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
{
    const Language language = uiLanguage(languageCode);
    setObjectName(QStringLiteral("AskDlg"));
    setFont(dialogFont());
    setWindowTitle((productName() + QStringLiteral(", ")).left(10).append(versionText).left(23));

    m_prompt = new QLabel(this);
    m_prompt->setObjectName(QStringLiteral("AskLabel"));
    m_prompt->setWordWrap(true);
    m_prompt->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_prompt->setGeometry(kLabelLeft, kLabelTop, kLabelWidth, 0);

    m_answer = new QLineEdit(this);
    m_answer->setObjectName(QStringLiteral("AskEdit"));
    m_answer->setGeometry(kLabelLeft, 0, kLabelWidth, m_answer->sizeHint().height());
    m_answer->installEventFilter(this);

    const int clientWidth = kLabelWidth + 2 * kLabelLeft;
    const int buttonsLeft = (clientWidth - 2 * kButtonWidth - kGap) / 2;
    m_ok = new QPushButton(uiText(language, text::ok), this);
    m_ok->setObjectName(QStringLiteral("OKBtn"));
    m_ok->setCursor(Qt::PointingHandCursor);
    m_ok->setDefault(true);
    m_ok->setGeometry(buttonsLeft, 0, kButtonWidth, kButtonHeight);
    m_cancel = new QPushButton(uiText(language, text::cancel), this);
    m_cancel->setObjectName(QStringLiteral("CancelBtn"));
    m_cancel->setCursor(Qt::PointingHandCursor);
    m_cancel->setAutoDefault(false);
    m_cancel->setGeometry(buttonsLeft + kButtonWidth + kGap, 0, kButtonWidth, kButtonHeight);
    connect(m_ok, &QPushButton::clicked, this, &TextInputDialog::confirm);
    connect(m_cancel, &QPushButton::clicked, this, &TextInputDialog::cancel);

    setFixedWidth(clientWidth);
}

bool TextInputDialog::askText(const QRect& centreOn, const QString& prompt, QString& answer)
{
    m_centreOn = centreOn;
    const QStringList lines = splitAtCarriageReturns(prompt);
    m_prompt->setText(lines.join(QLatin1Char('\n')));
    m_answer->setText(answer);
    m_okPressed = false;

    // The label's height is the prompt's width spread over the label's width, at 30 pixels a
    // line: room enough for the lines that the wrapping and the line breaks add.
    const int labelHeight =
        QFontMetrics(dialogFont()).horizontalAdvance(prompt) * 30 / m_prompt->width();
    m_prompt->resize(m_prompt->width(), labelHeight);
    m_answer->move(m_answer->x(), m_prompt->y() + labelHeight + kGap);
    const int buttonTop = m_answer->y() + m_answer->height() + kGap;
    m_cancel->move(m_cancel->x(), buttonTop);
    m_ok->move(m_ok->x(), buttonTop);
    setFixedHeight(buttonTop + m_ok->height() + kGap);
    centreWindow(this, m_centreOn);

    exec();
    answer = m_answer->text();
    return m_okPressed;
}

void TextInputDialog::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    centreWindow(this, m_centreOn);
    m_answer->setFocus();
}

bool TextInputDialog::eventFilter(QObject* watched, QEvent* event)
{
    // The field keeps its text unselected when it gets the focus, also when the dialog hands it
    // over as if by Tab: typing adds to the start text instead of replacing it.
    if (watched == m_answer && event->type() == QEvent::FocusIn) {
        const auto reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason ||
            reason == Qt::ShortcutFocusReason) {
            QFocusEvent plain(QEvent::FocusIn, Qt::OtherFocusReason);
            QCoreApplication::sendEvent(m_answer, &plain);
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TextInputDialog::reject()
{
    cancel();
}

void TextInputDialog::confirm()
{
    m_okPressed = true;
    done(QDialog::Accepted);
}

void TextInputDialog::cancel()
{
    m_okPressed = false;
    done(QDialog::Rejected);
}

} // namespace kx
