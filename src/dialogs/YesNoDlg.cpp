#include "dialogs/YesNoDlg.h"

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

TYesNoDlg::TYesNoDlg(const QString& languageCode, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      m_languageCode(languageCode)
{
    setObjectName(QStringLiteral("YesNoDlg"));
    setFont(DialogFont());

    m_panel = new QFrame(this);
    m_panel->setObjectName(QStringLiteral("MessagePanel"));
    m_panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);

    m_memo = MakeMessageMemo(m_panel);

    m_yes = makeButton(this, "JaBtn", QStringLiteral("Ja"), kJaLeft);
    m_no = makeButton(this, "NeeBtn", QStringLiteral("Nee"), kNeeLeft);
    m_cancelButton = makeButton(this, "CancelBtn", QStringLiteral("Annuleren"), kCancelLeft);
    connect(m_yes, &QPushButton::clicked, this, &TYesNoDlg::JaBtnClick);
    connect(m_no, &QPushButton::clicked, this, &TYesNoDlg::NeeBtnClick);
    connect(m_cancelButton, &QPushButton::clicked, this, &TYesNoDlg::CancelBtnClick);

    SetHelpContext(this, helpcontext::YesNo);
}

bool TYesNoDlg::AskYesNo(const QRect& centreOn, const QString& caption, const QString& message,
                         const QString& yesText, const QString& noText, const QString& cancelText,
                         bool defaultYes, bool* cancel)
{
    m_centreOn = centreOn;
    setWindowTitle(caption);
    m_yes->setText(yesText.isEmpty() ? NlEn(m_languageCode, "Ja", "Yes") : yesText);
    m_no->setText(noText.isEmpty() ? NlEn(m_languageCode, "Nee", "No") : noText);
    m_cancelButton->setText(cancelText.isEmpty() ? NlEn(m_languageCode, "Annuleren", "Cancel")
                                                 : cancelText);
    m_cancelButton->setVisible(cancel && *cancel);

    // The frame grows with the square root of the text's width, so that long messages come out
    // about as high as they are wide; it always reaches the right edge of the button row.
    const int textWidth = QFontMetrics(DialogFont()).horizontalAdvance(message);
    const int panelWidth =
        qMax(static_cast<int>(std::lround(std::sqrt(static_cast<double>(textWidth)) * 10)),
             kCancelLeft + kButtonWidth - kPanelLeft);
    const int memoWidth = panelWidth - 2 * kMemoInset;
    m_panel->setGeometry(kPanelLeft, kPanelTop, panelWidth, m_panel->height());
    m_memo->setGeometry(kMemoInset, kMemoInset, memoWidth, m_memo->height());

    const QStringList lines = SplitAtCarriageReturns(message);
    m_memo->setPlainText(lines.join(QLatin1Char('\n')));
    m_lineCount = WrappedLineCount(m_memo->font(), memoWidth, lines);

    m_answer = defaultYes;
    hide();
    layOut();
    exec();
    if (cancel)
        *cancel = m_cancelled;
    return m_answer;
}

void TYesNoDlg::layOut()
{
    const int memoHeight = (m_lineCount + 1) * LineStep(m_memo->font());
    const int panelHeight = memoHeight + 15;
    const int buttonTop = panelHeight + 27;
    m_memo->resize(m_memo->width(), memoHeight);
    m_panel->resize(m_panel->width(), panelHeight);
    for (QPushButton* button : {m_yes, m_no, m_cancelButton})
        button->move(button->x(), buttonTop);
    setFixedSize(m_panel->width() + 2 * kPanelLeft, buttonTop + kButtonHeight + 15);
    CentreWindow(this, m_centreOn);
}

void TYesNoDlg::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    // Shown, the window knows its frame: centre it once more with the frame counted.
    CentreWindow(this, m_centreOn);
    QPushButton* focus = m_answer ? m_yes : m_no;
    focus->setDefault(true);
    focus->setFocus();
}

void TYesNoDlg::reject()
{
    if (!m_cancelButton->isHidden())
        CancelBtnClick();
    else
        NeeBtnClick();
}

void TYesNoDlg::JaBtnClick()
{
    m_answer = true;
    m_cancelled = false;
    done(QDialog::Accepted);
}

void TYesNoDlg::NeeBtnClick()
{
    m_answer = false;
    m_cancelled = false;
    done(QDialog::Rejected);
}

void TYesNoDlg::CancelBtnClick()
{
    m_answer = false;
    m_cancelled = true;
    done(QDialog::Rejected);
}

QPair<QString, QString> YesNoAnswerTexts(const QString& languageCode, const QString& caption)
{
    if (caption.endsWith(QLatin1String(" - Dupliceren")) ||
        caption.endsWith(QLatin1String(" - Duplicate")))
        return {NlEn(languageCode, "Volgende", "Next"), NlEn(languageCode, "Annuleren", "Cancel")};
    return {NlEn(languageCode, "Ja", "Yes"), NlEn(languageCode, "Nee", "No")};
}

} // namespace kx
