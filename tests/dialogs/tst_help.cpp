// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/Help.h"
#include "dialogs/HelpKeyFilter.h"

#include <QFile>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QVBoxLayout>
#include <QtTest>

using namespace kx;

namespace {

QString pageText(const QUrl& url)
{
    QFile file(url.toLocalFile());
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromUtf8(file.readAll());
}

} // namespace

class TestHelp : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { QLocale::setDefault(QLocale::c()); }

    void pages_data();
    void pages();
    void contextOfControl();
    void f1OpensTheTopic();
};

void TestHelp::pages_data()
{
    QTest::addColumn<QString>("language");
    QTest::addColumn<QString>("fileName");
    QTest::newRow("Dutch") << "nld"
                           << "Backup_n.html";
    QTest::newRow("English") << ""
                             << "Backup_e.html";
}

void TestHelp::pages()
{
    QFETCH(QString, language);
    QFETCH(QString, fileName);

    const QUrl contents = helpUrl(language, 0);
    QVERIFY(contents.isLocalFile());
    QCOMPARE(contents.fileName(), fileName);
    QVERIFY(!contents.hasFragment());
    const QString text = pageText(contents);
    QVERIFY(!text.isEmpty());

    for (int context : allHelpContexts()) {
        const QUrl url = helpUrl(language, context);
        QCOMPARE(url.toLocalFile(), contents.toLocalFile());
        QCOMPARE(url.fragment(), QString::number(context));
        QVERIFY2(text.contains(QStringLiteral("id=\"%1\"").arg(context)),
                 qPrintable(QStringLiteral("no topic %1").arg(context)));
    }
    const QUrl index = helpIndexUrl(language);
    QCOMPARE(index.fragment(), QStringLiteral("index"));
    QVERIFY(text.contains(QStringLiteral("id=\"index\"")));

    // Every link inside the page lands on a place in it.
    const QRegularExpression link(QStringLiteral("href=\"#([^\"]+)\""));
    for (auto it = link.globalMatch(text); it.hasNext();) {
        const QString anchor = it.next().captured(1);
        QVERIFY2(text.contains(QStringLiteral("id=\"%1\"").arg(anchor)), qPrintable(anchor));
    }
}

void TestHelp::contextOfControl()
{
    QWidget window;
    setHelpContext(&window, helpcontext::Manage);
    auto* panel = new QWidget(&window);
    setHelpContext(panel, helpcontext::ManageButtonPanel);
    auto* inPanel = new QPushButton(panel);
    auto* own = new QPushButton(panel);
    setHelpContext(own, helpcontext::ManageButtons);
    auto* direct = new QLineEdit(&window);
    QCOMPARE(helpContextOf(own), helpcontext::ManageButtons);
    QCOMPARE(helpContextOf(inPanel), helpcontext::ManageButtonPanel);
    QCOMPARE(helpContextOf(direct), helpcontext::Manage);

    // A window of its own does not borrow the topic of the window that owns it.
    QWidget dialog(&window, Qt::Dialog);
    auto* field = new QLineEdit(&dialog);
    QCOMPARE(helpContextOf(field), 0);
    QCOMPARE(helpContextOf(nullptr), 0);
}

void TestHelp::f1OpensTheTopic()
{
    HelpKeyFilter filter(QStringLiteral("nld"));
    QList<QUrl> opened;
    filter.setUrlOpener([&](const QUrl& url) {
        opened << url;
        return true;
    });
    qApp->installEventFilter(&filter);

    QWidget window;
    auto* layout = new QVBoxLayout(&window);
    auto* withTopic = new QPushButton(QStringLiteral("Ja"), &window);
    setHelpContext(withTopic, helpcontext::YesNo);
    auto* without = new QLineEdit(&window);
    layout->addWidget(withTopic);
    layout->addWidget(without);
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));

    withTopic->setFocus();
    QTest::keyClick(withTopic, Qt::Key_F1);
    QCOMPARE(opened.size(), 1);
    QCOMPARE(opened.first(), helpUrl(QStringLiteral("nld"), helpcontext::YesNo));

    // No topic in this window: the key passes, nothing opens.
    without->setFocus();
    QTest::keyClick(without, Qt::Key_F1);
    QCOMPARE(opened.size(), 1);

    // Without a program for the page, a message says where it is.
    filter.setUrlOpener([](const QUrl&) { return false; });
    QString told;
    QTimer::singleShot(0, qApp, [&told] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            told = box->objectName() + QLatin1Char(':') + box->text();
            box->accept();
        }
    });
    withTopic->setFocus();
    QTest::keyClick(withTopic, Qt::Key_F1);
    QCOMPARE(told, QStringLiteral("FileWhereBox:Er is geen programma ingesteld om dit bestand te "
                                  "openen. Het bestand staat hier:\n") +
                       helpUrl(QStringLiteral("nld"), 0).toLocalFile());
    qApp->removeEventFilter(&filter);
}

QTEST_MAIN(TestHelp)
#include "tst_help.moc"
