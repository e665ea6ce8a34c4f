// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/TextInputDialog.h"

#include "dialogs/DialogHelpers.h"
#include "dialogs/DialogText.h"
#include "dialogs/UiText.h"

#include <QCoreApplication>
#include <QFocusEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace kx {

namespace {

// Sizes at the usual font; each grows with the dialog's font.
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
    m_prompt->setTextFormat(Qt::PlainText);
    m_prompt->setWordWrap(true);
    m_prompt->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    m_answer = new QLineEdit(this);
    m_answer->setObjectName(QStringLiteral("AskEdit"));
    m_answer->installEventFilter(this);

    m_ok = new QPushButton(uiText(language, text::ok), this);
    m_ok->setObjectName(QStringLiteral("OKBtn"));
    m_ok->setCursor(Qt::PointingHandCursor);
    m_ok->setDefault(true);
    m_cancel = new QPushButton(uiText(language, text::cancel), this);
    m_cancel->setObjectName(QStringLiteral("CancelBtn"));
    m_cancel->setCursor(Qt::PointingHandCursor);
    m_cancel->setAutoDefault(false);
    connect(m_ok, &QPushButton::clicked, this, &TextInputDialog::confirm);
    connect(m_cancel, &QPushButton::clicked, this, &TextInputDialog::cancel);
}

bool TextInputDialog::askText(const QRect& centreOn, const QString& prompt, QString& answer)
{
    m_centreOn = centreOn;
    const QStringList lines = splitAtCarriageReturns(prompt);
    m_prompt->setText(lines.join(QLatin1Char('\n')));
    m_answer->setText(answer);
    m_okPressed = false;

    layOut();
    exec();
    answer = m_answer->text();
    return m_okPressed;
}

void TextInputDialog::layOut()
{
    // Measured in the dialog's own font: the prompt's wrapped lines set the label's height, and
    // a larger font widens the label and the buttons with it.
    const QFont& shownFont = font();
    const auto grown = [&shownFont](int usualSize) { return grownSize(usualSize, shownFont); };

    const int left = grown(kLabelLeft);
    const int gap = grown(kGap);
    QSize buttonSize(grown(kButtonWidth), grown(kButtonHeight));
    buttonSize = buttonSize.expandedTo(m_ok->sizeHint()).expandedTo(m_cancel->sizeHint());
    const int rowWidth = 2 * buttonSize.width() + gap;
    const int labelWidth = qMax(grown(kLabelWidth), rowWidth);
    const int clientWidth = labelWidth + 2 * left;

    m_prompt->setGeometry(left, grown(kLabelTop), labelWidth, m_prompt->heightForWidth(labelWidth));
    m_answer->setGeometry(left, m_prompt->geometry().bottom() + 1 + gap, labelWidth,
                          m_answer->sizeHint().height());
    const int buttonTop = m_answer->geometry().bottom() + 1 + gap;
    const int buttonsLeft = (clientWidth - rowWidth) / 2;
    m_ok->setGeometry(QRect(QPoint(buttonsLeft, buttonTop), buttonSize));
    m_cancel->setGeometry(
        QRect(QPoint(buttonsLeft + buttonSize.width() + gap, buttonTop), buttonSize));
    setFixedSize(clientWidth, buttonTop + buttonSize.height() + gap);
    centreWindow(this, m_centreOn);
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
