// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "support/Language.h"

#include <QDialog>
#include <QString>
#include <QUrl>

#include <functional>
#include <utility>
#include <vector>

class QBoxLayout;
class QFrame;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QSpacerItem;
class QTextEdit;

namespace kx {

class TimedMessage;

/**
 * The information window: the program's name and version, a notice, a slogan, a page about
 * the author, and two hand-overs: a mail to the maker in the user's mail program and the
 * maker's download page in the web browser. Open it with exec(); it centres on its parent
 * window and always opens on its main page.
 */
class AboutDialog : public QDialog
{
    Q_OBJECT
public:
    /**
     * `languageCode` ("nld" or empty) picks the texts; `mainCaption` is the main window's
     * caption ("Kopierix - versie 1.01b") and `versionText` its version text.
     */
    AboutDialog(const QString& languageCode, const QString& mainCaption, const QString& versionText,
                QWidget* parent = nullptr);

    /** The timed message that reports a failed hand-over; without one the window makes its own. */
    void setTimedMessage(TimedMessage* timedMessage);
    /** How addresses are opened; the desktop's default handler unless replaced. */
    void setUrlOpener(std::function<bool(const QUrl&)> opener);

    /** The "mailto:" address that the Mail button hands over, subject and body included. */
    QString mailAddress() const;
    /** The download page that the Home button hands over. */
    QString homeAddress() const;

    /** Esc and the window's close request go through the OK button of the page shown. */
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;
    /** A new font lays the window out anew, so that every text shows whole. */
    void changeEvent(QEvent* event) override;

private:
    void layOut();
    void closeDialog();
    void showMainPage();
    void showAuthorPage();
    void sendMail();
    void openHomePage();
    void handOver(const QString& address, const Text& failure);

    Language m_language;
    QString m_mainCaption;
    QString m_versionText;
    QFrame* m_authorPage = nullptr;
    QTextEdit* m_authorText = nullptr;
    QPushButton* m_backButton = nullptr;
    QFrame* m_mainPage = nullptr;
    QLabel* m_nameLabel = nullptr;
    QPushButton* m_authorButton = nullptr;
    QPushButton* m_ok = nullptr;
    QBoxLayout* m_mainLayout = nullptr;
    QBoxLayout* m_noticeLayout = nullptr;
    QBoxLayout* m_sloganLayout = nullptr;
    QBoxLayout* m_buttonRow = nullptr;
    QBoxLayout* m_authorLayout = nullptr;
    /** The gaps between the rows of the main page, each with its size at the usual font. */
    std::vector<std::pair<QSpacerItem*, int>> m_gaps;
    QPlainTextEdit* m_mailBody;
    TimedMessage* m_failureMessage = nullptr;
    std::function<bool(const QUrl&)> m_open;
};

} // namespace kx
