// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/Fixture.h"
#include "common/Watchdog.h"
#include "update/ScriptedServer.h"
#include "update/UpdateCheckDialog.h"
#include "update/UpdateWindow.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScopeGuard>
#include <QStandardPaths>
#include <QTextEdit>
#include <QtTest>

#include <chrono>
#include <optional>

using kx::test::Fixture;
using kx::test::ScriptedServer;
using kx::test::versionPage;
using namespace std::chrono_literals;

namespace {

const QString kEnglish = QStringLiteral("version 1.01b");
const QString kDutch = QStringLiteral("versie 1.01b");

/** How the maker's server is reached in a case. */
enum Server
{
    Scripted,     // the test's own server
    Refused,      // a port where nothing listens
    Unresolvable, // the program's own server name, which never resolves
    Silent,       // the test's own server, which sends the reply's start and then nothing
};

QByteArray listReply(const QByteArray& records)
{
    return ScriptedServer::reply(200, versionPage(records));
}

QStringList outputLines(const QWidget& form)
{
    return form.findChild<QTextEdit*>("Memo1")->toPlainText().split('\n');
}

QPushButton* button(const QWidget& form, const char* name)
{
    return form.findChild<QPushButton*>(name);
}

/** Clicks a radio item on its indicator: the middle of a wide item may lie beyond its text. */
void clickItem(const QWidget& dialog, const char* name)
{
    auto* item = dialog.findChild<QRadioButton*>(name);
    QTest::mouseClick(item, Qt::LeftButton, {}, QPoint(8, item->height() / 2));
}

/** A fixture whose settings point the update check at `server`. */
void pointAt(Fixture& fixture, Server kind, const ScriptedServer& server)
{
    if (kind == Scripted || kind == Silent)
        fixture.setSetting("Defaults", "Update Server", server.address());
    else if (kind == Refused)
        fixture.setSetting("Defaults", "Update Server",
                           QStringLiteral("127.0.0.1:%1").arg(ScriptedServer::refusedPort()));
}

/** A checked window advising kopierix102c.exe, its download `size` bytes long. */
struct AdvisedUpdate
{
    AdvisedUpdate(const QString& language, int sizeKB)
    {
        fixture.setSetting("Defaults", "Update Server", server.address());
        platform = fixture.platform();
        form = std::make_unique<kx::UpdateWindow>(*platform, language);
        server.addReply(
            listReply("Kopierix kopierix102c.exe,c," + QByteArray::number(sizeKB) + "<BR>"));
        form->checkForUpdate("Kopierix", language == "nld" ? kDutch : kEnglish);
    }
    static QString downloads()
    {
        return QStandardPaths::writableLocation(QStandardPaths::DownloadLocation);
    }
    QString downloaded() const { return downloads() + "/kopierix102c.exe"; }

    Fixture fixture;
    ScriptedServer server;
    std::unique_ptr<kx::Platform> platform;
    std::unique_ptr<kx::UpdateWindow> form;
};

} // namespace

class TestUpdateWindows : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QLocale::setDefault(QLocale::c()); }
    // A check or a download that never times out waits in a nested event loop the test cannot
    // leave.
    void init() { m_watchdog.emplace(QTest::currentTestFunction(), QTest::currentDataTag()); }
    void cleanup() { m_watchdog.reset(); }

    void theCheckTheUserAskedForShowsEveryVerdict_data()
    {
        QTest::addColumn<QString>("language");
        QTest::addColumn<int>("server");
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<QString>("exitCaption");
        QTest::addColumn<bool>("downloadShown");

        QTest::newRow("no update needed")
            << "" << int(Scripted) << listReply("Kopierix kopierix101b.exe,b,3000<BR>")
            << QStringList{"", "No Update needed"} << "Close Window" << false;
        QTest::newRow("a refused port")
            << "" << int(Refused) << QByteArray() << QStringList{"", "No Internet connection"}
            << "Close Window" << false;
        QTest::newRow("a server name that does not resolve")
            << "nld" << int(Unresolvable) << QByteArray()
            << QStringList{"", "Er is geen Internetverbinding"} << "Sluit Venster" << false;
        QTest::newRow("a reply too short")
            << "" << int(Scripted) << ScriptedServer::reply(200, QByteArray(49, 'x'))
            << QStringList{"", "File not downloaded correctly"} << "Close Window" << false;
        QTest::newRow("a server that goes silent")
            << "" << int(Silent)
            << QByteArray("HTTP/1.0 200 OK\r\n\r\n<HTML><BODY>Kopierix kopierix1")
            << QStringList{"", "No Internet connection"} << "Close Window" << false;
        QTest::newRow("the program not in the list")
            << "nld" << int(Scripted) << listReply("Bewaarder bewaarder300.exe,a,10<BR>")
            << QStringList{"", "Programma-naam niet gevonden"} << "Sluit Venster" << false;
        QTest::newRow("an update advised")
            << "" << int(Scripted) << listReply("Kopierix kopierix102c.exe,c,3072<BR>")
            << QStringList{"",
                           "Update is advised",
                           "",
                           "Your current version is version 1.01b",
                           "The latest version is 1.02c",
                           "The Download Name is kopierix102c.exe"}
            << "Download later" << true;
        QTest::newRow("an update advised, in Dutch")
            << "nld" << int(Scripted) << listReply("Kopierix kopierix102c.exe,c,3072<BR>")
            << QStringList{"",
                           "Een Update wordt aanbevolen",
                           "",
                           "Uw huidige versie is versie 1.01b",
                           "De nieuwste versie is 1.02c",
                           "De Downloadnaam is kopierix102c.exe"}
            << "Download later" << true;
    }
    void theCheckTheUserAskedForShowsEveryVerdict()
    {
        QFETCH(QString, language);
        QFETCH(int, server);
        QFETCH(QByteArray, reply);
        QFETCH(QStringList, lines);
        QFETCH(QString, exitCaption);
        QFETCH(bool, downloadShown);

        Fixture fixture;
        ScriptedServer scripted;
        if (server == Silent)
            scripted.addStall(reply);
        else
            scripted.addReply(reply);
        pointAt(fixture, Server(server), scripted);
        auto platform = fixture.platform();
        kx::UpdateWindow form(*platform, language);
        form.setStallTimeOut(300ms);
        form.checkForUpdate("Kopierix", language == "nld" ? kDutch : kEnglish);

        QVERIFY(form.isVisible());
        QCOMPARE(form.windowTitle(), QString("Kopierix - Update"));
        QCOMPARE(outputLines(form), lines);
        QCOMPARE(button(form, "ExitBtn")->text(), exitCaption);
        QVERIFY(button(form, "ExitBtn")->isVisible());
        QCOMPARE(button(form, "DownloadBtn")->isVisible(), downloadShown);
        if (downloadShown) {
            QCOMPARE(button(form, "DownloadBtn")->text(), QString("Start Download"));
            QCOMPARE(QString::fromStdString(form.state().downloadBaseUrl),
                     "http://" + scripted.address() + "/");
            QCOMPARE(form.state().expectedSizeKB, 3072);
        }
    }

    void theAutomaticCheckShowsOnlyAnAdvisedUpdate_data()
    {
        QTest::addColumn<QString>("language");
        QTest::addColumn<int>("server");
        QTest::addColumn<QByteArray>("reply");
        QTest::newRow("0: no update needed")
            << "" << int(Scripted) << listReply("Kopierix kopierix101b.exe,b,3000<BR>");
        QTest::newRow("1: no connection") << "" << int(Refused) << QByteArray();
        QTest::newRow("2: a reply too short")
            << "" << int(Scripted) << ScriptedServer::reply(200, "<BODY>Kopierix");
        QTest::newRow("3: the program not in the list")
            << "" << int(Scripted) << listReply("Bewaarder bewaarder300.exe,a,10<BR>");
        QTest::newRow("4: an update advised")
            << "" << int(Scripted) << listReply("Kopierix kopierix102c.exe,c,3072<BR>");
        QTest::newRow("4: an update advised, in Dutch")
            << "nld" << int(Scripted) << listReply("Kopierix kopierix102c.exe,c,3072<BR>");
    }
    void theAutomaticCheckShowsOnlyAnAdvisedUpdate()
    {
        QFETCH(QString, language);
        QFETCH(int, server);
        QFETCH(QByteArray, reply);
        Fixture fixture;
        ScriptedServer scripted;
        scripted.addReply(reply);
        pointAt(fixture, Server(server), scripted);
        auto platform = fixture.platform();
        kx::UpdateWindow form(*platform, language);
        form.autoCheckForUpdate("Kopierix", language == "nld" ? kDutch : kEnglish);

        const bool advised = QByteArray(QTest::currentDataTag()).startsWith("4");
        QCOMPARE(form.isVisible(), advised);
        if (!advised)
            return;
        QCOMPARE(outputLines(form).mid(0, 3),
                 language == "nld" ? QStringList({"", "Een Update wordt aanbevolen", ""})
                                   : QStringList({"", "Update is advised", ""}));
        QCOMPARE(outputLines(form).size(), 6);
        QCOMPARE(button(form, "DownloadBtn")->text(),
                 language == "nld" ? QString("Start Downloaden") : QString("Start Downloading"));
        QCOMPARE(button(form, "ExitBtn")->text(), QString("Download Later"));
        QVERIFY(button(form, "DownloadBtn")->isVisible());
        QVERIFY(button(form, "ExitBtn")->isVisible());
    }

    void theDownloadNeedsAThousandBytes_data()
    {
        QTest::addColumn<int>("size");
        QTest::addColumn<int>("sizeKB");
        QTest::addColumn<bool>("good");
        QTest::addColumn<int>("gauge");
        QTest::newRow("999 bytes fail") << 999 << 1 << false << 1;
        QTest::newRow("1000 bytes are enough") << 1000 << 1 << true << 1;
        QTest::newRow("3 MiB fill the bar") << (3 << 20) << 3072 << true << 3072;
        QTest::newRow("an understated size leaves the bar at its end") << 5000 << 2 << true << 2;
        const int bound = 4 * 1024 + (1 << 20);
        QTest::newRow("4 times the listed size and 1 MiB are enough") << bound << 1 << true << 1;
        QTest::newRow("one byte beyond that fails") << bound + 1 << 1 << false << 1;
        QTest::newRow("a list without a size bounds it at 512 MiB only")
            << bound + 1 << 0 << true << 0;
    }
    void theDownloadNeedsAThousandBytes()
    {
        QFETCH(int, size);
        QFETCH(int, sizeKB);
        QFETCH(bool, good);
        QFETCH(int, gauge);
        AdvisedUpdate update("", sizeKB);
        QByteArray installer(size, 'i');
        update.server.addReply(ScriptedServer::reply(200, installer));
        const QStringList verdict = outputLines(*update.form);

        QTest::mouseClick(button(*update.form, "DownloadBtn"), Qt::LeftButton);

        QVERIFY(update.server.requests().at(1).startsWith("GET /kopierix102c.exe HTTP/1.1\r\n"));
        QCOMPARE(update.form->findChild<QProgressBar*>("Gauge1")->value(), gauge);
        QCOMPARE(update.form->state().installPending, good);
        // Never into the current directory, which may be the backup medium.
        QVERIFY(!QFile::exists(QDir::currentPath() + "/kopierix102c.exe"));
        if (!good) {
            QVERIFY(!QFile::exists(update.downloaded()));
            QCOMPARE(outputLines(*update.form), verdict);
            QVERIFY(button(*update.form, "DownloadBtn")->isVisible());
            QVERIFY(button(*update.form, "DownloadBtn")->isEnabled());
            QCOMPARE(button(*update.form, "ExitBtn")->text(), QString("Download later"));
            return;
        }
        QFile file(update.downloaded());
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), installer);
        QCOMPARE(QString::fromStdString(update.form->state().installerPath), update.downloaded());
        QCOMPARE(outputLines(*update.form),
                 QStringList({"", "kopierix102c.exe has been succesfullt downloaded",
                              "Click \"Install\" to install the progam"}));
        QCOMPARE(button(*update.form, "ExitBtn")->text(), QString("Install"));
        QVERIFY(!button(*update.form, "DownloadBtn")->isVisible());
    }

    void aFailedDownloadIsNoInstaller_data()
    {
        QTest::addColumn<QList<QByteArray>>("replies"); // %1 stands for the server's address
        QTest::addColumn<bool>("silent");               // the last reply then stalls
        QTest::addColumn<int>("requests");              // the download's requests
        const QByteArray head = "HTTP/1.1 200 OK\r\nContent-Length: 5000\r\n\r\n";
        QTest::newRow("a 404 page of 1000 bytes")
            << QList<QByteArray>{ScriptedServer::reply(404, QByteArray(1000, 'n'))} << false << 1;
        QTest::newRow("a 500 page")
            << QList<QByteArray>{ScriptedServer::reply(500, QByteArray(4000, 'n'))} << false << 1;
        QTest::newRow("a redirection without a location")
            << QList<QByteArray>{ScriptedServer::reply(300, QByteArray(3000, 'n'))} << false << 1;
        QTest::newRow("a redirection to a missing file")
            << QList<QByteArray>{ScriptedServer::reply(302, "moved",
                                                       "Location: http://%1/missing.exe\r\n"),
                                 ScriptedServer::reply(404, QByteArray(2000, 'n'))}
            << false << 2;
        QTest::newRow("a location with a carriage return")
            << QList<QByteArray>{ScriptedServer::reply(
                   302, "moved", "Location: http://%1/kopierix102c.exe\rX-Injected: yes\r\n")}
            << false << 1;
        QTest::newRow("a location with a control character")
            << QList<QByteArray>{ScriptedServer::reply(
                   302, "moved", "Location: /kopierix102c.exe\x01X-Injected: yes\r\n")}
            << false << 1;
        QTest::newRow("a reply cut short")
            << QList<QByteArray>{head + QByteArray(3000, 'i')} << false << 1;
        QTest::newRow("a server that goes silent")
            << QList<QByteArray>{head + QByteArray(3000, 'i')} << true << 1;
    }
    void aFailedDownloadIsNoInstaller()
    {
        QFETCH(QList<QByteArray>, replies);
        QFETCH(bool, silent);
        QFETCH(int, requests);
        AdvisedUpdate update("", 3);
        update.form->setStallTimeOut(300ms);
        for (qsizetype i = 0; i < replies.size(); ++i) {
            const QByteArray reply =
                QByteArray(replies.at(i)).replace("%1", update.server.address().toLatin1());
            if (silent && i == replies.size() - 1)
                update.server.addStall(reply);
            else
                update.server.addReply(reply);
        }
        // Whatever is asked for beyond the script would be an installer.
        update.server.setDefaultReply(ScriptedServer::reply(200, QByteArray(3000, 'i')));
        const QStringList verdict = outputLines(*update.form);

        QTest::mouseClick(button(*update.form, "DownloadBtn"), Qt::LeftButton);

        QCOMPARE(update.server.requests().size(), 1 + requests);
        for (const QByteArray& request : update.server.requests())
            QVERIFY(!request.contains("X-Injected"));
        QVERIFY(!update.form->state().installPending);
        QCOMPARE(
            QDir(AdvisedUpdate::downloads()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
            QStringList());
        QCOMPARE(outputLines(*update.form), verdict);
        QVERIFY(button(*update.form, "DownloadBtn")->isVisible());
        QVERIFY(button(*update.form, "DownloadBtn")->isEnabled());
        QCOMPARE(button(*update.form, "ExitBtn")->text(), QString("Download later"));
    }

    void aFileAlreadyThereIsNeverTouched_data()
    {
        QTest::addColumn<QStringList>("existing");
        QTest::addColumn<bool>("link"); // the first existing name is a link to nowhere
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("savedAs"); // empty: the download failed
        QTest::newRow("a file of the same name")
            << QStringList{"kopierix102c.exe"} << false << 200 << "kopierix102c (1).exe";
        QTest::newRow("two names taken") << QStringList{"kopierix102c.exe", "kopierix102c (1).exe"}
                                         << false << 200 << "kopierix102c (2).exe";
        QTest::newRow("a link to nowhere of the same name")
            << QStringList{"kopierix102c.exe"} << true << 200 << "kopierix102c (1).exe";
        QTest::newRow("a failed download beside a file of the same name")
            << QStringList{"kopierix102c.exe"} << false << 404 << QString();
    }
    void aFileAlreadyThereIsNeverTouched()
    {
        QFETCH(QStringList, existing);
        QFETCH(bool, link);
        QFETCH(int, status);
        QFETCH(QString, savedAs);
        AdvisedUpdate update("", 3);
        const QString folder = AdvisedUpdate::downloads();
        const QString nowhere = update.fixture.root() + "/nowhere.exe";
        QVERIFY(QDir().mkpath(folder));
        for (const QString& name : existing) {
            if (link && name == existing.first()) {
                QVERIFY(QFile::link(nowhere, folder + "/" + name));
                continue;
            }
            QFile file(folder + "/" + name);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("the user's own " + name.toUtf8());
        }
        const QByteArray installer(3000, 'i');
        update.server.addReply(ScriptedServer::reply(status, installer));
        QStringList opened;
        update.form->setShellOpen([&opened](const QString& path) {
            opened << path;
            return true;
        });

        QTest::mouseClick(button(*update.form, "DownloadBtn"), Qt::LeftButton);

        for (const QString& name : existing) {
            const QString path = folder + "/" + name;
            if (link && name == existing.first()) {
                QCOMPARE(QFileInfo(path).symLinkTarget(), nowhere);
                QVERIFY(!QFile::exists(nowhere));
                continue;
            }
            QFile file(path);
            QVERIFY(file.open(QIODevice::ReadOnly));
            QCOMPARE(file.readAll(), "the user's own " + name.toUtf8());
        }
        QStringList names = existing;
        if (!savedAs.isEmpty())
            names << savedAs;
        names.sort();
        QCOMPARE(QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System,
                                        QDir::Name),
                 names);
        QCOMPARE(update.form->state().installPending, !savedAs.isEmpty());
        if (savedAs.isEmpty())
            return;
        QFile saved(folder + "/" + savedAs);
        QVERIFY(saved.open(QIODevice::ReadOnly));
        QCOMPARE(saved.readAll(), installer);
        QTest::mouseClick(button(*update.form, "ExitBtn"), Qt::LeftButton);
        QCOMPARE(opened, QStringList{folder + "/" + savedAs});
    }

    void closingTheWindowEndsTheWork_data()
    {
        QTest::addColumn<bool>("download"); // else a check
        QTest::newRow("a check") << false;
        QTest::newRow("a download") << true;
    }
    void closingTheWindowEndsTheWork()
    {
        QFETCH(bool, download);
        AdvisedUpdate update("", 5);
        // Long enough that only the close can end the wait within the test's limit.
        update.form->setStallTimeOut(10s);
        update.server.addStall(download ? "HTTP/1.1 200 OK\r\nContent-Length: 5000\r\n\r\n" +
                                              QByteArray(1500, 'i')
                                        : QByteArray("HTTP/1.0 200 OK\r\n\r\n<HTML><BODY>Kopie"));
        kx::UpdateWindow* form = update.form.get();
        update.server.onRequest(
            [form] { QTimer::singleShot(50, form, [form] { form->close(); }); });
        const QStringList verdict = outputLines(*form);
        QVERIFY(form->isVisible());

        QElapsedTimer clock;
        clock.start();
        if (download)
            QTest::mouseClick(button(*form, "DownloadBtn"), Qt::LeftButton);
        else
            form->checkForUpdate("Kopierix", kEnglish);

        QVERIFY2(clock.elapsed() < 5000, "the close did not end the wait");
        QVERIFY(!form->isVisible());
        QCOMPARE(outputLines(*form), verdict);
        QVERIFY(!form->state().installPending);
        QVERIFY(!QFile::exists(update.downloaded()));
        QVERIFY(button(*form, "DownloadBtn")->isEnabled());
    }

    void theExitButtonStartsTheDownloadedInstaller_data()
    {
        QTest::addColumn<QString>("language");
        QTest::addColumn<bool>("opens");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("started") << "" << true
                                 << QStringList{"",
                                                "kopierix102c.exe has been succesfullt downloaded",
                                                "Click \"Install\" to install the progam",
                                                "",
                                                "The installation of Kopierixc is started.",
                                                "The installation of Kopierixc has started."};
        QTest::newRow("refused by the desktop, in Dutch")
            << "nld" << false
            << QStringList{"",
                           "kopierix102c.exe is met succes gedownload",
                           "Klik \"Installeer\" om het progamma te installeren",
                           "",
                           "De installatie van Kopierixc wordt gestart.",
                           "Installatie is mislukt."};
    }
    void theExitButtonStartsTheDownloadedInstaller()
    {
        QFETCH(QString, language);
        QFETCH(bool, opens);
        QFETCH(QStringList, lines);
        AdvisedUpdate update(language, 3);
        update.server.addReply(ScriptedServer::reply(200, QByteArray(3000, 'i')));
        QStringList opened;
        update.form->setShellOpen([&opened, opens](const QString& path) {
            opened << path;
            return opens;
        });
        QTest::mouseClick(button(*update.form, "DownloadBtn"), Qt::LeftButton);
        QCOMPARE(button(*update.form, "ExitBtn")->text(),
                 language == "nld" ? QString("Installeer") : QString("Install"));

        // The close box only closes.
        update.form->close();
        QVERIFY(opened.isEmpty());
        update.form->show();

        QTest::mouseClick(button(*update.form, "ExitBtn"), Qt::LeftButton);
        QCOMPARE(opened, QStringList{update.downloaded()});
        QCOMPARE(outputLines(*update.form), lines);
    }

    void aListWithoutTheProgramEndsAPendingInstall()
    {
        AdvisedUpdate update("", 1);
        update.server.addReply(ScriptedServer::reply(200, QByteArray(1000, 'i')));
        QTest::mouseClick(button(*update.form, "DownloadBtn"), Qt::LeftButton);
        QVERIFY(update.form->state().installPending);

        update.server.addReply(ScriptedServer::reply(200, QByteArray(49, 'x')));
        update.form->checkForUpdate("Kopierix", kEnglish);
        QVERIFY(update.form->state().installPending); // code 2 leaves it

        update.server.addReply(listReply("Bewaarder bewaarder300.exe,a,10<BR>"));
        update.form->checkForUpdate("Kopierix", kEnglish);
        QVERIFY(!update.form->state().installPending);
    }

    void theDialogStoresAChoiceAtTheClick_data()
    {
        QTest::addColumn<QString>("language");
        QTest::addColumn<QString>("on");
        QTest::addColumn<QString>("off");
        QTest::addColumn<QString>("caption");
        QTest::newRow("English") << ""
                                 << "On"
                                 << "Off"
                                 << "Kopierix - Check for Updates";
        QTest::newRow("Dutch") << "nld"
                               << "Aan"
                               << "Uit"
                               << "Kopierix - Check voor Updates";
    }
    void theDialogStoresAChoiceAtTheClick()
    {
        QFETCH(QString, language);
        QFETCH(QString, on);
        QFETCH(QString, off);
        QFETCH(QString, caption);
        Fixture fixture;
        auto platform = fixture.platform();
        kx::UpdateCheckDialog dialog(*platform, language);
        QCOMPARE(dialog.windowTitle(), caption);
        auto* onItem = dialog.findChild<QRadioButton*>("AutoCheckOn");
        auto* offItem = dialog.findChild<QRadioButton*>("AutoCheckOff");
        QCOMPARE(onItem->text(), on);
        QCOMPARE(offItem->text(), off);

        // Nothing stored: on.
        dialog.loadAutoCheckSetting();
        QVERIFY(dialog.autoCheckEnabled());
        QVERIFY(onItem->isChecked());

        dialog.open();
        clickItem(dialog, "AutoCheckOff");
        QCOMPARE(fixture.setting("Defaults", "Check for Updates").toString(), QString("0"));
        QTest::mouseClick(button(dialog, "CancelBtn"), Qt::LeftButton);
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
        QCOMPARE(fixture.setting("Defaults", "Check for Updates").toString(), QString("0"));
        QVERIFY(!dialog.autoCheckEnabled());

        // The next start reads the stored choice.
        kx::UpdateCheckDialog next(*platform, language);
        next.loadAutoCheckSetting();
        QVERIFY(!next.autoCheckEnabled());
        QVERIFY(next.findChild<QRadioButton*>("AutoCheckOff")->isChecked());
        next.open();
        clickItem(next, "AutoCheckOn");
        QCOMPARE(fixture.setting("Defaults", "Check for Updates").toString(), QString("1"));
    }

    void theExplanationsSecondSentenceHasALineOfItsOwn_data()
    {
        QTest::addColumn<QString>("language");
        QTest::addColumn<int>("points");
        QTest::addColumn<QString>("written"); // as first written, runs of spaces and all
        QTest::addColumn<QString>("second");
        const QString dutch =
            "U kunt Kopierix bij het opstarten laten nagaan of er een nieuwe versie  beschikbaar "
            "is." +
            QString(67, ' ') +
            "Deze check wordt alleen uitgevoerd als er een internetverbinding actief is.";
        const QString english = "At startup Kopierix may check if a new version is available." +
                                QString(12, ' ') +
                                "This check will only be performed if an internet connection "
                                "is active.";
        for (const int points : {6, 9, 14, 24}) {
            QTest::addRow("English, %d points", points)
                << "" << points << english << "This check will only";
            QTest::addRow("Dutch, %d points", points)
                << "nld" << points << dutch << "Deze check wordt";
        }
    }
    void theExplanationsSecondSentenceHasALineOfItsOwn()
    {
        QFETCH(QString, language);
        QFETCH(int, points);
        QFETCH(QString, written);
        QFETCH(QString, second);
        const QFont before = QApplication::font();
        const auto restore = qScopeGuard([&before] { QApplication::setFont(before); });
        QFont font = before;
        font.setPointSize(points);
        QApplication::setFont(font);

        Fixture fixture;
        auto platform = fixture.platform();
        kx::UpdateCheckDialog dialog(*platform, language);
        auto* label = dialog.findChild<QLabel*>("Label1");
        QVERIFY(label);
        // The words as written; a line break, not spaces, starts the second sentence.
        QCOMPARE(label->text().simplified(), written.simplified());
        QCOMPARE(label->textFormat(), Qt::PlainText);
        const QStringList lines = label->text().split('\n');
        QCOMPARE(lines.size(), 2);
        QVERIFY2(lines.at(1).startsWith(second), qPrintable(lines.at(1)));

        // Both sentences fit the label whole, at the font it was made in and at a font set later.
        const auto fits = [label] {
            const QRect room = label->contentsRect();
            const QRect needed = label->fontMetrics().boundingRect(
                room, int(label->alignment()) | Qt::TextWordWrap, label->text());
            return needed.height() <= room.height() && needed.width() <= room.width();
        };
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QVERIFY(fits());
        QFont larger = font;
        larger.setPointSize(points * 2);
        dialog.setFont(larger);
        QTRY_VERIFY(label->fontMetrics().height() > QFontMetrics(font).height() && fits());
    }

    void theDialogsButtons()
    {
        Fixture fixture;
        auto platform = fixture.platform();
        kx::UpdateCheckDialog dialog(*platform, "");
        dialog.loadAutoCheckSetting();
        QVERIFY(!fixture.setting("Defaults", "Check for Updates").isValid());

        // OK stores the selection shown, also when nothing was clicked.
        dialog.open();
        QTest::mouseClick(button(dialog, "OKBtn"), Qt::LeftButton);
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(fixture.setting("Defaults", "Check for Updates").toString(), QString("1"));

        // "Update Now" asks for a check whatever the radio group shows.
        dialog.open();
        clickItem(dialog, "AutoCheckOff");
        QCOMPARE(fixture.setting("Defaults", "Check for Updates").toString(), QString("0"));
        QTest::mouseClick(button(dialog, "UpdateBtn"), Qt::LeftButton);
        QCOMPARE(dialog.result(), kx::UpdateCheckDialog::kYes);
    }

private:
    std::optional<kx::test::Watchdog> m_watchdog;
};

QTEST_MAIN(TestUpdateWindows)
#include "tst_updatewindows.moc"
