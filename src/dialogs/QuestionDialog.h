// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "support/Language.h"

#include <QDialog>
#include <QPair>
#include <QRect>
#include <QString>

class QFrame;
class QPlainTextEdit;
class QPushButton;

namespace kx {

class OperationRunner;

/**
 * The program's own question with up to three answers ("Ja", "Nee" and an optional
 * "Annuleren"). It sizes itself to its message and centres itself on a rectangle the caller
 * gives. Create it once and reuse it: every call sets all its texts anew.
 */
class QuestionDialog : public QDialog
{
    Q_OBJECT
public:
    /** `languageCode` ("nld" or empty) picks the default button texts. */
    explicit QuestionDialog(const QString& languageCode, QWidget* parent = nullptr);

    /**
     * Shows `message` under `caption` modally and returns true only when the user pressed the
     * Yes button. A carriage return in `message` starts a new line.
     * - `centreOn`: the rectangle to centre on, in practice the main window's frame; an empty
     *   one centres on the parent window, or on the screen without one.
     * - `yesText`, `noText`, `cancelText`: button captions; empty ones give "Ja", "Nee",
     *   "Annuleren" (Dutch) or "Yes", "No", "Cancel" (English).
     * - `defaultYes`: the answer that has the focus (and so Enter) when the window opens.
     * - `cancel`: null shows no third button. Otherwise `*cancel` says on entry whether the
     *   third button shows, and on return it is true only when the user pressed it.
     * Esc presses the third button when it shows, else the No button.
     */
    bool askYesNo(const QRect& centreOn, const QString& caption, const QString& message,
                  const QString& yesText = QString(), const QString& noText = QString(),
                  const QString& cancelText = QString(), bool defaultYes = false,
                  bool* cancel = nullptr);

    /** Every way out goes through one of the buttons, so the answer is always one of theirs. */
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void answerYes();
    void answerNo();
    void cancel();
    void layOut(const QString& message);

    Language m_language;
    QFrame* m_messageFrame;
    QPlainTextEdit* m_message;
    QPushButton* m_yes;
    QPushButton* m_no;
    QPushButton* m_cancel;
    QRect m_centreOn;
    bool m_answer = false;
    bool m_cancelled = false;
};

/**
 * The Yes and No captions for a question that names only its caption (the engine's
 * `askYesNo`): the questions of Duplicate (caption ending in " - Dupliceren" or " - Duplicate")
 * step on with "Volgende"/"Annuleren" ("Next"/"Cancel"), every other question answers
 * "Ja"/"Nee" ("Yes"/"No").
 */
QPair<QString, QString> yesNoAnswerTexts(const QString& languageCode, const QString& caption);

/**
 * Asks "Stop the running operation?" over `window`, in a question window of its own (the
 * engine's yes/no window may be open for the run's own question). True for Yes. The question
 * closes by itself, answered No, when `run` ends first.
 */
bool askToStopRun(QWidget* window, const QString& languageCode, const OperationRunner& run);

} // namespace kx
