// SPDX-License-Identifier: GPL-3.0-or-later
#include "update/HttpClient.h"
#include "update/InstallerDownload.h"
#include "update/ScriptedServer.h"

#include <QBuffer>
#include <QThread>
#include <QTimer>
#include <QtTest>

#include <chrono>
#include <memory>

using kx::test::ScriptedServer;
using namespace std::chrono_literals;

namespace {
const QByteArray kAccept =
    "Accept: www/source, text/html, video/mpeg, image/jpeg, image/x-tiff\r\n"
    "Accept: image/x-rgb, image/x-xbm, image/gif, */*, application/postscript\r\n";
const QByteArray kContentType = "Content-type: application/x-www-form-urlencoded\r\n";

QByteArray body(const kx::HttpClient& client)
{
    return QByteArray::fromStdString(client.body());
}
} // namespace

class TestHttpClient : public QObject
{
    Q_OBJECT

private slots:
    void requestLines_data()
    {
        QTest::addColumn<bool>("headerInfo");
        QTest::addColumn<bool>("proxy");
        QTest::addColumn<QByteArray>("expected"); // %1 stands for the server's address
        QTest::newRow("the version list's request")
            << false << false
            << "GET /versions.dat HTTP/1.0\r\nHost: 127.0.0.1\r\n" + kAccept + kContentType +
                   "\r\n";
        QTest::newRow("with every optional line")
            << true << false
            << "GET /versions.dat HTTP/1.0\r\nHost: 127.0.0.1\r\n" + kAccept +
                   "User-Agent: Kopierix\r\nFrom: anna@example.org\r\nCookie: id=7\r\n"
                   "Referer: http://example.org/\r\nAuthorization: Basic YW5uYTpzZWNyZXQ=\r\n" +
                   kContentType + "\r\n";
        QTest::newRow("through a proxy")
            << false << true
            << "GET http://%1/versions.dat HTTP/1.0\r\nProxy-Connection: Keep-Alive\r\n"
               "Host: updates.kopierix.invalid\r\n" +
                   kAccept + kContentType + "\r\n";
    }
    void requestLines()
    {
        QFETCH(bool, headerInfo);
        QFETCH(bool, proxy);
        QFETCH(QByteArray, expected);
        ScriptedServer server;
        server.addReply(ScriptedServer::reply(200, "ok"));
        kx::HttpClient client;
        if (headerInfo) {
            client.headerInfo().localProgram = "Kopierix";
            client.headerInfo().localMailAddress = "anna@example.org";
            client.headerInfo().cookie = "id=7";
            client.headerInfo().referer = "http://example.org/";
            client.headerInfo().userId = "anna";
            client.headerInfo().password = "secret";
        }
        QString url = server.url("/versions.dat");
        if (proxy) {
            // The proxy gets the whole address; the name behind it is the proxy's to resolve.
            client.setProxy("127.0.0.1", server.port());
            url = "http://updates.kopierix.invalid/versions.dat";
            expected.replace("%1", "updates.kopierix.invalid");
        }
        client.get(url.toStdString());
        QCOMPARE(server.requests().size(), 1);
        QCOMPARE(server.requests().at(0), expected);
        QCOMPARE(body(client), QByteArray("ok"));
    }

    void replies_data()
    {
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("body");
        const QByteArray hundredTwenty(120, 'v');
        QTest::newRow("200 with 120 bytes")
            << ScriptedServer::reply(200, hundredTwenty) << 200 << hundredTwenty;
        QTest::newRow("an empty body") << ScriptedServer::reply(200, "") << 200 << QByteArray();
        QTest::newRow("a 404 body is read as a body")
            << ScriptedServer::reply(404, "<BODY>Not here</BODY>") << 404
            << QByteArray("<BODY>Not here</BODY>");
        QTest::newRow("the body runs to the close, not to the content length")
            << QByteArray("HTTP/1.0 200 OK\r\nContent-Length: 3\r\n\r\n0123456789") << 200
            << QByteArray("0123456789");
        QTest::newRow("closed without a word") << QByteArray() << 0 << QByteArray();
        QTest::newRow("exactly 1 MiB is kept")
            << ScriptedServer::reply(200, QByteArray(1 << 20, 'b')) << 200
            << QByteArray(1 << 20, 'b');
        QTest::newRow("beyond 1 MiB is dropped")
            << ScriptedServer::reply(200, QByteArray((1 << 20) + 1, 'b')) << 200 << QByteArray();
        QTest::newRow("an endless header line is dropped")
            << "HTTP/1.0 200 OK\r\nX-Long: " + QByteArray(20000, 'a') + "\r\n\r\nbody" << 200
            << QByteArray();
    }
    void replies()
    {
        QFETCH(QByteArray, reply);
        QFETCH(int, status);
        QFETCH(QByteArray, body);
        ScriptedServer server;
        server.addReply(reply);
        kx::HttpClient client;
        QCOMPARE(client.body(), std::string("Default.htm"));
        client.get(server.url("/versions.dat").toStdString());
        QCOMPARE(client.statusCode(), status);
        QCOMPARE(::body(client), body);
    }

    void aRedirectionIsFollowedToAFullAddress_data()
    {
        QTest::addColumn<int>("status");
        QTest::newRow("300") << 300;
        QTest::newRow("301") << 301;
        QTest::newRow("302") << 302;
    }
    void aRedirectionIsFollowedToAFullAddress()
    {
        QFETCH(int, status);
        ScriptedServer first;
        ScriptedServer second;
        first.addReply(
            ScriptedServer::reply(status, "moved",
                                  "Location: " + second.url("/mirror/versions.dat").toLatin1() +
                                      "\r\nSet-Cookie: visit=1\r\n"));
        second.addReply(ScriptedServer::reply(200, "the list"));
        kx::HttpClient client;
        client.get(first.url("/versions.dat").toStdString());
        QCOMPARE(client.statusCode(), 200);
        QCOMPARE(body(client), QByteArray("the list"));
        QCOMPARE(first.requests().size(), 1);
        QCOMPARE(second.requests().size(), 1);
        // The cookie of the redirection goes along with the next request.
        QCOMPARE(second.requests().at(0),
                 "GET /mirror/versions.dat HTTP/1.0\r\nHost: 127.0.0.1\r\n" + kAccept +
                     "Cookie: visit=1\r\n" + kContentType + "\r\n");
    }

    void otherRedirectionsAskTheSameAddressAgain_data()
    {
        QTest::addColumn<int>("status");
        QTest::newRow("299") << 299;
        QTest::newRow("303") << 303;
        QTest::newRow("307") << 307;
    }
    void otherRedirectionsAskTheSameAddressAgain()
    {
        // Only 300 to 302 go to their location; the rest of the range repeats the request.
        QFETCH(int, status);
        ScriptedServer first;
        ScriptedServer elsewhere;
        elsewhere.setDefaultReply(ScriptedServer::reply(200, "elsewhere"));
        first.addReply(ScriptedServer::reply(
            status, "moved", "Location: " + elsewhere.url("/other.dat").toLatin1() + "\r\n"));
        first.addReply(ScriptedServer::reply(200, "the list"));
        kx::HttpClient client;
        client.get(first.url("/versions.dat").toStdString());
        QCOMPARE(body(client), QByteArray("the list"));
        QCOMPARE(first.requests().size(), 2);
        QVERIFY(first.requests().at(1).startsWith("GET /versions.dat HTTP/1.0\r\n"));
        QCOMPARE(elsewhere.requests().size(), 0);
    }

    void aLocationWithAControlCharacterIsNeverFollowed_data()
    {
        QTest::addColumn<QByteArray>("location"); // %1 stands for the server's address
        const auto around = [](const QByteArray& before, char control) {
            return before + QByteArray(1, control) + "X-Injected: yes";
        };
        QTest::newRow("a carriage return") << around("http://%1/next", '\r');
        QTest::newRow("a carriage return in a relative location") << around("next", '\r');
        QTest::newRow("a NUL") << around("http://%1/next", '\0');
        QTest::newRow("a tab") << around("http://%1/next", '\t');
        QTest::newRow("an escape") << around("http://%1/next", '\x1b');
        QTest::newRow("a delete") << around("http://%1/next", '\x7f');
    }
    void aLocationWithAControlCharacterIsNeverFollowed()
    {
        QFETCH(QByteArray, location);
        ScriptedServer server;
        location.replace("%1", server.address().toLatin1());
        server.addReply(ScriptedServer::reply(302, "moved", "Location: " + location + "\r\n"));
        server.setDefaultReply(ScriptedServer::reply(200, "followed"));
        kx::HttpClient client;
        client.get(server.url("/versions.dat").toStdString());
        QCOMPARE(server.requests().size(), 1);
        QCOMPARE(client.statusCode(), 302);
        QCOMPARE(body(client), QByteArray());
    }

    void endlessRedirectionsEndAfterTen()
    {
        ScriptedServer server;
        server.setDefaultReply(ScriptedServer::reply(
            301, "again", "Location: " + server.url("/versions.dat").toLatin1() + "\r\n"));
        kx::HttpClient client;
        client.get(server.url("/versions.dat").toStdString());
        QCOMPARE(server.requests().size(), 1 + kx::HttpClient::kMaxRedirections);
        QCOMPARE(body(client), QByteArray());
    }

    void failures_data()
    {
        QTest::addColumn<QString>("url");
        QTest::addColumn<QString>("message");
        QTest::newRow("a refused port")
            << QStringLiteral("http://127.0.0.1:%1/versions.dat").arg(ScriptedServer::refusedPort())
            << "Connection Failed";
        QTest::newRow("a name that cannot be resolved")
            << "http://updates.kopierix.invalid/versions.dat"
            << "Host Lookup Failed";
        QTest::newRow("no host") << "/versions.dat"
                                 << "Null Remote Address";
    }
    void failures()
    {
        QFETCH(QString, url);
        QFETCH(QString, message);
        kx::HttpClient client;
        try {
            client.get(url.toStdString());
            QFAIL("no error raised");
        } catch (const kx::NetworkError& e) {
            QCOMPARE(QString::fromUtf8(e.what()), message);
        }
    }

    void aServerThatKeepsUsWaitingTimesOut_data()
    {
        QTest::addColumn<QList<QByteArray>>("pieces");
        QTest::addColumn<bool>("closes");
        QTest::addColumn<QByteArray>("body"); // of a reply that arrived whole
        QTest::newRow("silent after the connection")
            << QList<QByteArray>{""} << false << QByteArray();
        QTest::newRow("silent within the header")
            << QList<QByteArray>{"HTTP/1.0 200 OK\r\nContent-Le"} << false << QByteArray();
        QTest::newRow("silent within the body")
            << QList<QByteArray>{"HTTP/1.0 200 OK\r\n\r\npart of a bo"} << false << QByteArray();
        // Each new byte starts the time-out over: a slow reply that keeps coming is read whole.
        QList<QByteArray> drops{"HTTP/1.0 200 OK\r\n\r\n"};
        for (int i = 0; i < 12; ++i)
            drops << QByteArray::number(i % 10);
        QTest::newRow("dripping for twice the time-out, never idle for it")
            << drops << true << QByteArray("012345678901");
    }
    void aServerThatKeepsUsWaitingTimesOut()
    {
        QFETCH(QList<QByteArray>, pieces);
        QFETCH(bool, closes);
        QFETCH(QByteArray, body);
        ScriptedServer server;
        if (closes)
            server.addDrip(pieces, 50);
        else
            server.addStall(pieces.at(0));
        kx::HttpClient client(300ms);
        // Should the time-out never come, the test ends the wait itself and fails.
        QTimer failsafe;
        failsafe.callOnTimeout([&client] { client.cancel(); });
        failsafe.start(5000);
        try {
            client.get(server.url("/versions.dat").toStdString());
            QVERIFY2(closes, "no time-out");
            QCOMPARE(::body(client), body);
        } catch (const kx::NetworkError& e) {
            QVERIFY2(!closes, e.what());
            QCOMPARE(QString::fromUtf8(e.what()), QString("Connection Timed out"));
        }
    }

    // A server that sends a byte every little while never stalls; the time limit of the whole
    // request ends it all the same. An installer the list says is large gets longer.
    void aDripThatNeverEndsIsGivenUp_data()
    {
        QTest::addColumn<bool>("installer"); // else the version list
        QTest::addColumn<int>("expectedSizeKB");
        QTest::addColumn<bool>("complete");
        QTest::newRow("the version list") << false << 0 << false;
        QTest::newRow("an installer without a listed size") << true << 0 << false;
        QTest::newRow("an installer whose listed size gives it time") << true << 256 << true;
    }
    void aDripThatNeverEndsIsGivenUp()
    {
        QFETCH(bool, installer);
        QFETCH(int, expectedSizeKB);
        QFETCH(bool, complete);
        // 1.5 s of drops, each well within the stall time-out, against a limit of 0.5 s (and
        // 4.5 s for 256 kB at 64 kB/s).
        ScriptedServer server;
        QList<QByteArray> drops{"HTTP/1.0 200 OK\r\n\r\n"};
        for (int i = 0; i < 30; ++i)
            drops << QByteArray(1, 'i');
        server.addDrip(drops, 50);
        const std::string url = server.url("/kopierix102c.exe").toStdString();
        kx::HttpClient client(300ms, 500ms);
        kx::InstallerDownload download(300ms, 500ms);
        // Should the limit never come, the test ends the wait itself and fails.
        bool failsafeFired = false;
        QTimer failsafe;
        failsafe.callOnTimeout([&] {
            failsafeFired = true;
            client.cancel();
            download.cancel();
        });
        failsafe.start(10000);

        bool read = false;
        if (installer) {
            QBuffer buffer;
            buffer.open(QIODevice::WriteOnly);
            read =
                download.downloadToStream(buffer, url, kx::kMaxInstaller, nullptr, expectedSizeKB);
            if (read)
                QCOMPARE(buffer.data(), QByteArray(30, 'i'));
        } else {
            try {
                client.get(url);
                read = true;
            } catch (const kx::NetworkError& e) {
                QCOMPARE(QString::fromUtf8(e.what()), QString("Connection Timed out"));
            }
        }
        QVERIFY(!failsafeFired);
        QCOMPARE(read, complete);
    }

    void anExitOfTheEventLoopsEndsTheWait_data()
    {
        QTest::addColumn<bool>("installer");
        QTest::newRow("the version list") << false;
        QTest::newRow("the installer download") << true;
    }
    void anExitOfTheEventLoopsEndsTheWait()
    {
        // The application's quit exits every event loop of its thread, and a thread's exit does
        // the same for that thread: a wait must end, not spin in a loop that returns at once.
        QFETCH(bool, installer);
        ScriptedServer server;
        server.addStall(installer ? QByteArray("HTTP/1.1 200 OK\r\nContent-Length: 5000\r\n\r\n" +
                                               QByteArray(1500, 'i'))
                                  : QByteArray("HTTP/1.0 200 OK\r\n\r\npart of a bo"));
        const std::string url = server.url("/kopierix102c.exe").toStdString();
        QString outcome;
        std::unique_ptr<QThread> thread(QThread::create([&outcome, installer, url] {
            if (installer) {
                QBuffer buffer;
                buffer.open(QIODevice::WriteOnly);
                kx::InstallerDownload download;
                const bool complete =
                    download.downloadToStream(buffer, url, kx::kMaxInstaller, nullptr);
                outcome = complete ? "complete" : "failed";
                return;
            }
            kx::HttpClient client;
            try {
                client.get(url);
                outcome = "read";
            } catch (const kx::CancelledError& e) {
                outcome = client.cancelled() ? QString::fromUtf8(e.what()) : "not cancelled";
            }
        }));
        server.onRequest([&thread] { thread->exit(); });
        thread->start();
        QTRY_VERIFY_WITH_TIMEOUT(thread->isFinished(), 5000);
        QCOMPARE(outcome, installer ? QString("failed") : QString("Socket capture aborted"));
    }

    void aCancelledReceiveIsAnAbort()
    {
        // A server that never finishes: the wait keeps the event loop running, so a handler can
        // cancel it.
        ScriptedServer server;
        server.addStall("HTTP/1.0 200 OK\r\n\r\npart of a bo");
        kx::HttpClient client;
        server.onRequest([&client] { QTimer::singleShot(50, [&client] { client.cancel(); }); });
        try {
            client.get(server.url("/versions.dat").toStdString());
            QFAIL("no error raised");
        } catch (const kx::CancelledError& e) {
            QCOMPARE(QString::fromUtf8(e.what()), QString("Socket capture aborted"));
        }
    }
};

QTEST_GUILESS_MAIN(TestHttpClient)
#include "tst_httpclient.moc"
