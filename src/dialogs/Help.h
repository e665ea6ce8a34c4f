// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QString>
#include <QUrl>

#include <functional>

class QWidget;

namespace kx {

/** The help topics: each window and control names one; F1 opens the help page at it. */
namespace helpcontext {
inline constexpr int Splash = 10000;      // splash window and its panel
inline constexpr int MainWindow = 30000;  // main window and its button panel
inline constexpr int MainButtons = 32000; // every button of the main window
inline constexpr int MainOutput = 33000;  // the main window's text area
inline constexpr int MainStatus = 34000;  // the status panel
inline constexpr int Manage = 40000;      // manage window
inline constexpr int ManageTree = 42000;  // source folder tree
inline constexpr int ManageSourceDrive = 43000;
inline constexpr int ManageSourceFiles = 44000;
inline constexpr int ManageBackupFiles = 46000;
inline constexpr int ManageBackupDrive = 47000;
inline constexpr int ManageButtons = 48000; // the four bottom buttons
inline constexpr int ManageButtonPanel = 49000;
inline constexpr int AboutMain = 50000;   // information window's main page and its controls
inline constexpr int AboutAuthor = 50100; // the author text
inline constexpr int About = 51000;       // information window, and the author page's OK
inline constexpr int YesNo = 90000;       // the yes/no question and every control on it
} // namespace helpcontext

/** Every help topic number that the windows use; each has an anchor in both help pages. */
QList<int> allHelpContexts();

/** "Backup_n.html" for Dutch ("nld"), "Backup_e.html" otherwise. */
QString helpFileName(const QString& languageCode);

/**
 * The file address of the help page of the language, with the topic `contextNumber` as its
 * anchor (none for 0: the page's beginning, its contents). The page is looked for beside the
 * program, in its help folder, in the installed share/kopierix/help, and in the source tree.
 * Empty when no page is found.
 */
QUrl helpUrl(const QString& languageCode, int contextNumber);
/** The help page at its index ("Help - Index"). */
QUrl helpIndexUrl(const QString& languageCode);

/**
 * Opens the file at `url` with `open` (the desktop's handler for it). When nothing opens it, a
 * message over `parent` names the file, so that the user can open it by hand.
 */
void openOrShowWhere(QWidget* parent, const QString& languageCode, const QUrl& url,
                     const std::function<bool(const QUrl&)>& open);

/** Gives `widget` a help topic; 0 removes it, so that its parent's topic applies. */
void setHelpContext(QWidget* widget, int contextNumber);
/** The help topic of `widget`, or of its nearest parent in the same window; 0 for none. */
int helpContextOf(const QWidget* widget);

} // namespace kx
