// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/Help.h"

#include "dialogs/DialogText.h"
#include "dialogs/UiText.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QMessageBox>
#include <QVariant>
#include <QWidget>

namespace kx {

namespace {

constexpr const char* kHelpContextProperty = "helpContext";

QStringList helpFolders()
{
    const QString programDir = QCoreApplication::applicationDirPath();
    QStringList folders{programDir, programDir + QStringLiteral("/help"),
                        programDir + QStringLiteral("/" KOPIERIX_HELP_FROM_BINDIR)};
#ifdef KOPIERIX_HELP_SOURCE_DIR
    // Run from the build tree: the pages are where they are written.
    folders << QStringLiteral(KOPIERIX_HELP_SOURCE_DIR);
#endif
    return folders;
}

QUrl helpPage(const QString& languageCode, const QString& anchor)
{
    const QString name = helpFileName(languageCode);
    for (const QString& folder : helpFolders()) {
        const QFileInfo page(QDir(folder), name);
        if (!page.isFile())
            continue;
        QUrl url = QUrl::fromLocalFile(page.canonicalFilePath());
        if (!anchor.isEmpty())
            url.setFragment(anchor);
        return url;
    }
    return QUrl();
}

} // namespace

QList<int> allHelpContexts()
{
    using namespace helpcontext;
    return {Splash,
            MainWindow,
            MainButtons,
            MainOutput,
            MainStatus,
            Manage,
            ManageTree,
            ManageSourceDrive,
            ManageSourceFiles,
            ManageBackupFiles,
            ManageBackupDrive,
            ManageButtons,
            ManageButtonPanel,
            AboutMain,
            AboutAuthor,
            About,
            YesNo};
}

QString helpFileName(const QString& languageCode)
{
    return uiText(uiLanguage(languageCode), text::helpFile);
}

QUrl helpUrl(const QString& languageCode, int contextNumber)
{
    return helpPage(languageCode, contextNumber > 0 ? QString::number(contextNumber) : QString());
}

QUrl helpIndexUrl(const QString& languageCode)
{
    return helpPage(languageCode, QStringLiteral("index"));
}

void openOrShowWhere(QWidget* parent, const QString& languageCode, const QUrl& url,
                     const std::function<bool(const QUrl&)>& open)
{
    if (open(url))
        return;
    QMessageBox box(QMessageBox::Information, productName(),
                    uiText(uiLanguage(languageCode), text::noViewer) + QLatin1Char('\n') +
                        QDir::toNativeSeparators(url.toLocalFile()),
                    QMessageBox::Ok, parent);
    box.setObjectName(QStringLiteral("FileWhereBox"));
    // The path is there to be copied into a program of the user's choice.
    box.setTextInteractionFlags(Qt::TextSelectableByMouse);
    box.exec();
}

void setHelpContext(QWidget* widget, int contextNumber)
{
    widget->setProperty(kHelpContextProperty,
                        contextNumber > 0 ? QVariant(contextNumber) : QVariant());
}

int helpContextOf(const QWidget* widget)
{
    // The search stays inside one window: a dialog without a topic does not borrow its owner's.
    for (; widget; widget = widget->parentWidget()) {
        const int context = widget->property(kHelpContextProperty).toInt();
        if (context > 0)
            return context;
        if (widget->isWindow())
            break;
    }
    return 0;
}

} // namespace kx
