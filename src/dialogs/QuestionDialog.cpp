// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/QuestionDialog.h"

#include "dialogs/DialogHelpers.h"
#include "dialogs/DialogText.h"
#include "dialogs/Help.h"
#include "dialogs/UiText.h"
#include "worker/OperationRunner.h"

#include <QFontMetrics>
#include <QFrame>
#include <QPlainTextEdit>
#include <QPushButton>

#include <cmath>

namespace kx {

namespace {

// Sizes at the usual font; each grows with the dialog's font.
constexpr int kButtonWidth = 90;
constexpr int kButtonHeight = 29;
constexpr int kButtonsLeft = 10;
constexpr int kButtonGap = 4;
constexpr int kFrameLeft = 16;
constexpr int kFrameTop = 16;
constexpr int kMessageInset = 8;
constexpr int kFrameBelowMessage = 7;
constexpr int kButtonsBelowFrame = 11;
constexpr int kBottomMargin = 15;

QPushButton* makeButton(QWidget* parent, const char* name, const QString& caption)
{
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(QLatin1String(name));
    button->setCursor(Qt::PointingHandCursor);
    return button;
}

} // namespace

QuestionDialog::QuestionDialog(const QString& languageCode, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      m_language(uiLanguage(languageCode))
{
    setObjectName(QStringLiteral("YesNoDlg"));
    setFont(dialogFont());

    m_messageFrame = new QFrame(this);
    m_messageFrame->setObjectName(QStringLiteral("MessagePanel"));
    m_messageFrame->setFrameStyle(QFrame::Panel | QFrame::Sunken);

    m_message = makeMessageText(m_messageFrame);

    // Until the first question the buttons carry their Dutch captions, in any language.
    m_yes = makeButton(this, "JaBtn", uiText(Language::Dutch, text::yes));
    m_no = makeButton(this, "NeeBtn", uiText(Language::Dutch, text::no));
    m_cancel = makeButton(this, "CancelBtn", uiText(Language::Dutch, text::cancel));
    connect(m_yes, &QPushButton::clicked, this, &QuestionDialog::answerYes);
    connect(m_no, &QPushButton::clicked, this, &QuestionDialog::answerNo);
    connect(m_cancel, &QPushButton::clicked, this, &QuestionDialog::cancel);

    setHelpContext(this, helpcontext::YesNo);
}

bool QuestionDialog::askYesNo(const QRect& centreOn, const QString& caption, const QString& message,
                              const QString& yesText, const QString& noText,
                              const QString& cancelText, bool defaultYes, bool* cancel)
{
    m_centreOn = centreOn;
    setWindowTitle(caption);
    m_yes->setText(yesText.isEmpty() ? uiText(m_language, text::yes) : yesText);
    m_no->setText(noText.isEmpty() ? uiText(m_language, text::no) : noText);
    m_cancel->setText(cancelText.isEmpty() ? uiText(m_language, text::cancel) : cancelText);
    m_cancel->setVisible(cancel && *cancel);

    const QStringList lines = splitAtCarriageReturns(message);
    m_message->setPlainText(lines.join(QLatin1Char('\n')));

    m_answer = defaultYes;
    hide();
    layOut(message);
    exec();
    if (cancel)
        *cancel = m_cancelled;
    return m_answer;
}

void QuestionDialog::layOut(const QString& message)
{
    // Everything is measured in the dialog's own font, so that a larger or taller font than the
    // usual one grows the window instead of cutting its text.
    const QFont& shownFont = font();
    const auto grown = [&shownFont](int usualSize) { return grownSize(usualSize, shownFont); };

    // One size for all three buttons, enough for the widest caption.
    QSize buttonSize(grown(kButtonWidth), grown(kButtonHeight));
    for (const QPushButton* button : {m_yes, m_no, m_cancel})
        buttonSize = buttonSize.expandedTo(button->sizeHint());
    const int cancelRight = grown(kButtonsLeft) + 3 * buttonSize.width() + 2 * grown(kButtonGap);

    // The frame grows with the square root of the text's width, so that long messages come out
    // about as high as they are wide; it always reaches the right edge of the button row.
    // A larger font widens the frame as much as it widens the text, so that the message keeps
    // its shape.
    const double textWidth =
        QFontMetrics(shownFont).horizontalAdvance(message) * fontGrowth(shownFont);
    const int frameLeft = grown(kFrameLeft);
    const int frameWidth =
        qMax(static_cast<int>(std::lround(std::sqrt(textWidth) * 10)), cancelRight - frameLeft);
    const int inset = grown(kMessageInset);
    const int messageWidth = frameWidth - 2 * inset;
    // The text itself and one line to spare.
    const int messageHeight =
        wrappedTextHeight(shownFont, messageWidth, splitAtCarriageReturns(message)) +
        lineStep(shownFont);
    const int frameHeight = inset + messageHeight + grown(kFrameBelowMessage);

    m_message->setGeometry(inset, inset, messageWidth, messageHeight);
    m_messageFrame->setGeometry(frameLeft, grown(kFrameTop), frameWidth, frameHeight);
    const int buttonTop = m_messageFrame->geometry().bottom() + 1 + grown(kButtonsBelowFrame);
    int left = grown(kButtonsLeft);
    for (QPushButton* button : {m_yes, m_no, m_cancel}) {
        button->setGeometry(QRect(QPoint(left, buttonTop), buttonSize));
        left += buttonSize.width() + grown(kButtonGap);
    }
    setFixedSize(frameWidth + 2 * frameLeft,
                 buttonTop + buttonSize.height() + grown(kBottomMargin));
    centreWindow(this, m_centreOn);
}

void QuestionDialog::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    // Shown, the window knows its frame: centre it once more with the frame counted.
    centreWindow(this, m_centreOn);
    QPushButton* focus = m_answer ? m_yes : m_no;
    focus->setDefault(true);
    focus->setFocus();
}

void QuestionDialog::reject()
{
    if (!m_cancel->isHidden())
        cancel();
    else
        answerNo();
}

void QuestionDialog::answerYes()
{
    m_answer = true;
    m_cancelled = false;
    done(QDialog::Accepted);
}

void QuestionDialog::answerNo()
{
    m_answer = false;
    m_cancelled = false;
    done(QDialog::Rejected);
}

void QuestionDialog::cancel()
{
    m_answer = false;
    m_cancelled = true;
    done(QDialog::Rejected);
}

QPair<QString, QString> yesNoAnswerTexts(const QString& languageCode, const QString& caption)
{
    const Language language = uiLanguage(languageCode);
    for (std::size_t column = 0; column < kLanguageCount; ++column) {
        if (caption.endsWith(uiText(Language(column), text::duplicateCaptionSuffix)))
            return {uiText(language, text::next), uiText(language, text::cancel)};
    }
    return {uiText(language, text::yes), uiText(language, text::no)};
}

bool askToStopRun(QWidget* window, const QString& languageCode, const OperationRunner& run)
{
    if (!run.isRunning())
        return false;
    QuestionDialog question(languageCode, window);
    // A run that has ended leaves nothing to stop: its question does not wait for an answer.
    QObject::connect(&run, &OperationRunner::finished, &question, &QuestionDialog::reject);
    return question.askYesNo(window->frameGeometry(), QString::fromLatin1(kProductName),
                             uiText(uiLanguage(languageCode), text::stopQuestion));
}

} // namespace kx
