// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>
#include <QRect>
#include <QString>

class QLabel;
class QLineEdit;
class QPushButton;

namespace kx {

/**
 * The program's own question that asks for one line of text, with OK and cancel. Its caption
 * is the product name and the version text. Create it once and reuse it.
 */
class TextInputDialog : public QDialog
{
    Q_OBJECT
public:
    /**
     * `languageCode` ("nld" or empty) picks the cancel caption; `versionText` is the main
     * window's version text ("versie 1.01b" / "version 1.01b") for the caption.
     */
    TextInputDialog(const QString& languageCode, const QString& versionText,
                    QWidget* parent = nullptr);

    /**
     * Shows `prompt` with an input field that starts with `answer`, centred on `centreOn` (empty:
     * on the parent window, or the screen), modally. Returns true when the user pressed OK.
     * `answer` comes back as the field's text whichever button was pressed. A carriage return in
     * `prompt` starts a new line.
     */
    bool askText(const QRect& centreOn, const QString& prompt, QString& answer);

    /** Esc and the window's close request answer as cancel does. */
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void layOut();
    void confirm();
    void cancel();

    QLabel* m_prompt;
    QLineEdit* m_answer;
    QPushButton* m_ok;
    QPushButton* m_cancel;
    QRect m_centreOn;
    bool m_okPressed = false;
};

} // namespace kx
