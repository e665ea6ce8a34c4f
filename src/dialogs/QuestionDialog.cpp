#include "dialogs/QuestionDialog.h"

#include "dialogs/DialogHelpers.h"
#include "dialogs/Help.h"

#include <QFontMetrics>
#include <QFrame>
#include <QPlainTextEdit>
#include <QPushButton>

#include <cmath>

namespace kx {

namespace {

constexpr int kButtonWidth = 90;
constexpr int kButtonHeight = 29;
constexpr int kJaLeft = 10;
constexpr int kNeeLeft = 104;
constexpr int kCancelLeft = 198;
constexpr int kPanelLeft = 16;
constexpr int kPanelTop = 16;
constexpr int kMemoInset = 8;

QPushButton* makeButton(QWidget* parent, const char* name, const QString& caption, int left)
{
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(QLatin1String(name));
    button->setCursor(Qt::PointingHandCursor);
    button->setGeometry(left, 0, kButtonWidth, kButtonHeight);
    return button;
}

} // namespace

QuestionDialog::QuestionDialog(const QString& languageCode, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      m_languageCode(languageCode)
{
    setObjectName(QStringLiteral("YesNoDlg"));
    setFont(dialogFont());

    m_panel = new QFrame(this);
    m_panel->setObjectName(QStringLiteral("MessagePanel"));
    m_panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);

    m_memo = makeMessageMemo(m_panel);

    m_yes = makeButton(this, "JaBtn", QStringLiteral("Ja"), kJaLeft);
    m_no = makeButton(this, "NeeBtn", QStringLiteral("Nee"), kNeeLeft);
    m_cancelButton = makeButton(this, "CancelBtn", QStringLiteral("Annuleren"), kCancelLeft);
    connect(m_yes, &QPushButton::clicked, this, &QuestionDialog::answerYes);
    connect(m_no, &QPushButton::clicked, this, &QuestionDialog::answerNo);
    connect(m_cancelButton, &QPushButton::clicked, this, &QuestionDialog::cancel);

    setHelpContext(this, helpcontext::YesNo);
}

bool QuestionDialog::askYesNo(const QRect& centreOn, const QString& caption, const QString& message,
                              const QString& yesText, const QString& noText,
                              const QString& cancelText, bool defaultYes, bool* cancel)
{
    m_centreOn = centreOn;
    setWindowTitle(caption);
    m_yes->setText(yesText.isEmpty() ? nlEn(m_languageCode, "Ja", "Yes") : yesText);
    m_no->setText(noText.isEmpty() ? nlEn(m_languageCode, "Nee", "No") : noText);
    m_cancelButton->setText(cancelText.isEmpty() ? nlEn(m_languageCode, "Annuleren", "Cancel")
                                                 : cancelText);
    m_cancelButton->setVisible(cancel && *cancel);

    // The frame grows with the square root of the text's width, so that long messages come out
    // about as high as they are wide; it always reaches the right edge of the button row.
    const int textWidth = QFontMetrics(dialogFont()).horizontalAdvance(message);
    const int panelWidth =
        qMax(static_cast<int>(std::lround(std::sqrt(static_cast<double>(textWidth)) * 10)),
             kCancelLeft + kButtonWidth - kPanelLeft);
    const int memoWidth = panelWidth - 2 * kMemoInset;
    m_panel->setGeometry(kPanelLeft, kPanelTop, panelWidth, m_panel->height());
    m_memo->setGeometry(kMemoInset, kMemoInset, memoWidth, m_memo->height());

    const QStringList lines = splitAtCarriageReturns(message);
    m_memo->setPlainText(lines.join(QLatin1Char('\n')));
    m_lineCount = wrappedLineCount(m_memo->font(), memoWidth, lines);

    m_answer = defaultYes;
    hide();
    layOut();
    exec();
    if (cancel)
        *cancel = m_cancelled;
    return m_answer;
}

void QuestionDialog::layOut()
{
    const int memoHeight = (m_lineCount + 1) * lineStep(m_memo->font());
    const int panelHeight = memoHeight + 15;
    const int buttonTop = panelHeight + 27;
    m_memo->resize(m_memo->width(), memoHeight);
    m_panel->resize(m_panel->width(), panelHeight);
    for (QPushButton* button : {m_yes, m_no, m_cancelButton})
        button->move(button->x(), buttonTop);
    setFixedSize(m_panel->width() + 2 * kPanelLeft, buttonTop + kButtonHeight + 15);
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
    if (!m_cancelButton->isHidden())
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
    if (caption.endsWith(QLatin1String(" - Dupliceren")) ||
        caption.endsWith(QLatin1String(" - Duplicate")))
        return {nlEn(languageCode, "Volgende", "Next"), nlEn(languageCode, "Annuleren", "Cancel")};
    return {nlEn(languageCode, "Ja", "Yes"), nlEn(languageCode, "Nee", "No")};
}

} // namespace kx
