// SPDX-License-Identifier: GPL-3.0-or-later
#include "update/HttpClient.h"
#include "update/InstallerDownload.h"
#include "update/ReplyHeaderReader.h"
#include "update/ScriptedServer.h"
#include "update/VersionList.h"

#include <QtTest>

using kx::test::versionPage;

namespace {
std::string str(const QByteArray& bytes)
{
    return bytes.toStdString();
}
} // namespace

class TestVersionList : public QObject
{
    Q_OBJECT

private slots:
    void verdicts_data()
    {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QString>("versionText");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("latest");
        QTest::addColumn<QString>("downloadName");
        QTest::addColumn<int>("sizeKB");

        const QString running = QStringLiteral("version 1.01b");
        QTest::newRow("newer digits")
            << versionPage("Kopierix kopierix102c.exe,c,3072<BR>") << running << 4 << "1.02c"
            << "kopierix102c.exe" << 3072;
        QTest::newRow("same digits, later letter")
            << versionPage("Kopierix kopierix101c.exe,c,3000<BR>") << running << 4 << "1.01c"
            << "kopierix101c.exe" << 3000;
        QTest::newRow("same digits, same letter")
            << versionPage("Kopierix kopierix101b.exe,b,3000<BR>") << running << 0 << "1.01b"
            << "kopierix101b.exe" << 3000;
        QTest::newRow("same digits, no letter")
            << versionPage("Kopierix kopierix101.exe,,3000<BR>") << running << 0 << "1.01"
            << "kopierix101.exe" << 3000;
        QTest::newRow("same digits, no letter on either side")
            << versionPage("Kopierix kopierix101.exe,,3000<BR>") << QStringLiteral("version 1.01")
            << 0 << "1.01"
            << "kopierix101.exe" << 3000;
        QTest::newRow("older digits, later letter")
            << versionPage("Kopierix kopierix100z.exe,z,3000<BR>") << running << 0 << "1.00z"
            << "kopierix100z.exe" << 3000;
        QTest::newRow("digits compare as texts: 99 beats 101")
            << versionPage("Kopierix kopierix99.exe,,10<BR>") << running << 4 << "9.9"
            << "kopierix99.exe" << 10;
        QTest::newRow("running without a letter, any letter is later")
            << versionPage("Kopierix kopierix101a.exe,a,1<BR>") << QStringLiteral("versie 1.01")
            << 4 << "1.01a"
            << "kopierix101a.exe" << 1;
        QTest::newRow("only the letter field's first character counts")
            << versionPage("Kopierix kopierix101cd.exe,cd,5<BR>") << running << 4 << "1.01c"
            << "kopierix101cd.exe" << 5;
        QTest::newRow("a name without a dot has no digits")
            << versionPage("Kopierix kopierix102,c,5<BR>") << running << 0 << ".c"
            << "kopierix102" << 5;
        QTest::newRow("fields after the size are ignored")
            << versionPage("Kopierix kopierix102.exe,,2048,whatever,else<BR>") << running << 4
            << "1.02"
            << "kopierix102.exe" << 2048;
        QTest::newRow("the program's own record among others")
            << versionPage("Bewaarder bewaarder300.exe,a,10<BR>\r\nKopierix kopierix102.exe,,"
                           "10<BR>\r\n")
            << running << 4 << "1.02"
            << "kopierix102.exe" << 10;
        QTest::newRow("any one separator after the name")
            << versionPage("Kopierix\tkopierix102.exe,,7</td>") << running << 4 << "1.02"
            << "kopierix102.exe" << 7;
        QTest::newRow("the name is case-sensitive")
            << versionPage("kopierix kopierix102.exe,,10<BR>") << running << 3 << ""
            << "" << 0;
        QTest::newRow("the name only before BODY")
            << QByteArray("<HTML><HEAD><TITLE>Kopierix</TITLE></HEAD><BODY>no records here "
                          "yet</BODY></HTML>")
            << running << 3 << ""
            << "" << 0;
        QTest::newRow("no BODY at all")
            << QByteArray("<html><body>Kopierix kopierix102.exe,,10<br></body></html>") << running
            << 3 << ""
            << "" << 0;
        QTest::newRow("empty reply") << QByteArray() << running << 2 << ""
                                     << "" << 0;

        // 33 characters of record; padding before it makes the reply 49 or 50 long.
        const QByteArray record = "BODY Kopierix kopierix102.exe,,1<";
        QTest::newRow("49 characters are too few")
            << QByteArray(49 - record.size(), 'x') + record << running << 2 << ""
            << "" << 0;
        QTest::newRow("50 characters are read")
            << QByteArray(50 - record.size(), 'x') + record << running << 4 << "1.02"
            << "kopierix102.exe" << 1;
    }
    void verdicts()
    {
        QFETCH(QByteArray, body);
        QFETCH(QString, versionText);
        QFETCH(int, code);
        QFETCH(QString, latest);
        QFETCH(QString, downloadName);
        QFETCH(int, sizeKB);
        const kx::VersionVerdict v =
            kx::parseVersionList(str(body), "Kopierix", versionText.toStdString());
        QVERIFY(!v.sizeInvalid);
        QCOMPARE(v.code, code);
        QCOMPARE(v.recordFound, code == 0 || code == 4);
        QCOMPARE(QString::fromStdString(v.latestVersionText), latest);
        QCOMPARE(QString::fromStdString(v.downloadName), downloadName);
        QCOMPARE(v.expectedSizeKB, sizeKB);
    }

    void aSizeThatIsNoWholeNumberGivesNoVerdict_data()
    {
        QTest::addColumn<QByteArray>("record");
        QTest::addColumn<QString>("message");
        QTest::newRow("letters") << QByteArray("kopierix102.exe,c,3 MB")
                                 << "'3 MB' is not a valid integer value";
        QTest::newRow("no comma at all")
            << QByteArray("kopierix102.exe") << "'' is not a valid integer value";
        QTest::newRow("size without the letter field")
            << QByteArray("kopierix102.exe,3072") << "'' is not a valid integer value";
        QTest::newRow("beyond 32 bits") << QByteArray("kopierix102.exe,c,4294967296")
                                        << "'4294967296' is not a valid integer value";
    }
    void aSizeThatIsNoWholeNumberGivesNoVerdict()
    {
        QFETCH(QByteArray, record);
        QFETCH(QString, message);
        const kx::VersionVerdict v = kx::parseVersionList(
            str(versionPage("Kopierix " + record + "<BR>")), "Kopierix", "version 1.01b");
        QVERIFY(v.sizeInvalid);
        QCOMPARE(QString::fromStdString(v.sizeError), message);
    }

    void gaugeRoundsHalvesToEven_data()
    {
        QTest::addColumn<qint64>("bytes");
        QTest::addColumn<qint64>("position");
        QTest::newRow("just under half") << qint64(511) << qint64(0);
        QTest::newRow("half rounds to even 0") << qint64(512) << qint64(0);
        QTest::newRow("just over half") << qint64(513) << qint64(1);
        QTest::newRow("one and a half rounds to 2") << qint64(1536) << qint64(2);
        QTest::newRow("two and a half rounds to 2") << qint64(2560) << qint64(2);
        QTest::newRow("3 MiB") << qint64(3 << 20) << qint64(3072);
    }
    void gaugeRoundsHalvesToEven()
    {
        QFETCH(qint64, bytes);
        QFETCH(qint64, position);
        QCOMPARE(kx::gaugePosition(bytes), position);
    }

    void theInstallerIsBoundedByTheListedSize_data()
    {
        QTest::addColumn<int>("sizeKB");
        QTest::addColumn<qint64>("bound");
        const qint64 mib = 1 << 20;
        QTest::newRow("four times the size and 1 MiB") << 3072 << 13 * mib;
        QTest::newRow("no size") << 0 << 512 * mib;
        QTest::newRow("a negative size") << -5 << 512 * mib;
        QTest::newRow("never beyond 512 MiB") << 200000 << 512 * mib;
        QTest::newRow("the largest size the list can give") << INT_MAX << 512 * mib;
    }
    void theInstallerIsBoundedByTheListedSize()
    {
        QFETCH(int, sizeKB);
        QFETCH(qint64, bound);
        QCOMPARE(kx::installerBound(sizeKB), bound);
    }

    void installerDisplayName()
    {
        QCOMPARE(kx::installerDisplayName("kopierix102c.exe"), std::string("Kopierixc"));
        QCOMPARE(kx::installerDisplayName("Setup-2.exe"), std::string("Setup-"));
    }

    void replyHeader_data()
    {
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<bool>("closed");
        QTest::addColumn<int>("progress");
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("location");
        QTest::addColumn<QByteArray>("cookie");
        QTest::addColumn<qint64>("contentLength");
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QByteArray>("rest");
        const int complete = int(kx::ReplyHeaderReader::Progress::Complete);
        const int tooLong = int(kx::ReplyHeaderReader::Progress::TooLong);

        QTest::newRow("status and the lines acted on")
            << QByteArray("HTTP/1.0 302 Found\r\nLocation: http://h/x\r\nSet-Cookie: id=1\r\n"
                          "Content-Length: 12\r\n\r\nbody")
            << false << complete << 302 << QByteArray("http://h/x") << QByteArray("id=1")
            << qint64(12)
            << QByteArray("HTTP/1.0 302 Found\r\nLocation: http://h/x\r\nSet-Cookie: id=1\r\n"
                          "Content-Length: 12\r\n")
            << QByteArray("body");
        QTest::newRow("line feeds alone, names in any case")
            << QByteArray("HTTP/1.1 200 OK\nlocation: /a\n\n<BODY>") << false << complete << 200
            << QByteArray("/a") << QByteArray() << qint64(0)
            << QByteArray("HTTP/1.1 200 OK\nlocation: /a\n") << QByteArray("<BODY>");
        QTest::newRow("a name must be the line's first word")
            << QByteArray("HTTP/1.0 301 Moved\r\nX-Location: /no\r\n\r\n") << false << complete
            << 301 << QByteArray() << QByteArray() << qint64(0)
            << QByteArray("HTTP/1.0 301 Moved\r\nX-Location: /no\r\n") << QByteArray();
        QTest::newRow("no number in the status line")
            << QByteArray("HTTP/1.0 OK\r\n\r\n") << false << complete << 0 << QByteArray()
            << QByteArray() << qint64(0) << QByteArray("HTTP/1.0 OK\r\n") << QByteArray();
        QTest::newRow("ended by the peer closing")
            << QByteArray("HTTP/1.0 404 Not Found\r\nServer: x") << true << complete << 404
            << QByteArray() << QByteArray() << qint64(0)
            << QByteArray("HTTP/1.0 404 Not Found\r\nServer: x") << QByteArray();
        QTest::newRow("an endless header line")
            << QByteArray("HTTP/1.0 200 OK\r\nX-Long: ") + QByteArray(9000, 'a') << false << tooLong
            << 200 << QByteArray() << QByteArray() << qint64(0) << QByteArray("HTTP/1.0 200 OK\r\n")
            << QByteArray();
        QTest::newRow("an endless header")
            << QByteArray("HTTP/1.0 200 OK\r\n") +
                   QByteArray("X-Line: 0123456789\r\n").repeated(4000)
            << false << tooLong << 200 << QByteArray() << QByteArray() << qint64(0) << QByteArray()
            << QByteArray();
    }
    void replyHeader()
    {
        QFETCH(QByteArray, data);
        QFETCH(bool, closed);
        QFETCH(int, progress);
        QFETCH(int, status);
        QFETCH(QByteArray, location);
        QFETCH(QByteArray, cookie);
        QFETCH(qint64, contentLength);
        QFETCH(QByteArray, text);
        QFETCH(QByteArray, rest);

        // All at once, and a byte at a time as a slow peer sends it.
        for (const bool byteWise : {false, true}) {
            kx::ReplyHeaderReader reader;
            std::string buffer;
            auto result = kx::ReplyHeaderReader::Progress::NeedMore;
            const qsizetype step = byteWise ? 1 : data.size();
            qsizetype fed = 0;
            while (fed < data.size() && result == kx::ReplyHeaderReader::Progress::NeedMore) {
                buffer += data.mid(fed, step).toStdString();
                fed += step;
                result = reader.feed(buffer, closed && fed >= data.size());
            }
            // What the peer sent after the header stays for the body.
            buffer += data.mid(fed).toStdString();
            QCOMPARE(int(result), progress);
            QCOMPARE(reader.statusCode(), status);
            QCOMPARE(QByteArray::fromStdString(reader.location()), location);
            QCOMPARE(QByteArray::fromStdString(reader.cookie()), cookie);
            QCOMPARE(qint64(reader.contentLength()), contentLength);
            if (progress == int(kx::ReplyHeaderReader::Progress::Complete)) {
                QCOMPARE(QByteArray::fromStdString(reader.text()), text);
                QCOMPARE(QByteArray::fromStdString(buffer), rest);
            } else if (!text.isEmpty()) {
                QCOMPARE(QByteArray::fromStdString(reader.text()), text);
            }
        }
    }

    void splitAddress_data()
    {
        QTest::addColumn<QString>("url");
        QTest::addColumn<int>("portBefore");
        QTest::addColumn<QString>("host");
        QTest::addColumn<int>("port");
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("fullUrl");
        QTest::newRow("the version list") << "http://updates.kopierix.invalid/versions.dat" << 0
                                          << "updates.kopierix.invalid" << 80 << "/versions.dat"
                                          << "http://updates.kopierix.invalid/versions.dat";
        QTest::newRow("a port in the host")
            << "http://127.0.0.1:8080/a/b.dat" << 0 << "127.0.0.1" << 8080 << "/a/b.dat"
            << "http://127.0.0.1:8080/a/b.dat";
        QTest::newRow("a bare host name gets the path /")
            << "mirror.example" << 0 << "mirror.example" << 80 << "/"
            << "mirror.example/";
        QTest::newRow("no scheme, a port") << "mirror:81/x" << 0 << "mirror" << 81 << "/x"
                                           << "mirror:81/x";
        QTest::newRow("no scheme keeps the port set")
            << "mirror/x" << 8080 << "mirror" << 8080 << "/x"
            << "mirror/x";
        QTest::newRow("ftp") << "ftp://h/x" << 0 << "h" << 21 << "/x"
                             << "ftp://h/x";
        QTest::newRow("gopher without a path") << "GOPHER://h" << 0 << "h" << 70 << "/"
                                               << "GOPHER://h/";
        QTest::newRow("a path alone has no host")
            << "/versions.dat" << 0 << "" << 80 << "/versions.dat"
            << "/versions.dat";
    }
    void splitAddress()
    {
        QFETCH(QString, url);
        QFETCH(int, portBefore);
        QFETCH(QString, host);
        QFETCH(int, port);
        QFETCH(QString, path);
        QFETCH(QString, fullUrl);
        const kx::HttpAddress a = kx::splitAddress(url.toStdString(), portBefore);
        QCOMPARE(QString::fromStdString(a.host), host);
        QCOMPARE(a.port, port);
        QCOMPARE(QString::fromStdString(a.path), path);
        QCOMPARE(QString::fromStdString(a.url), fullUrl);
    }

    void addressesThatAreRefused_data()
    {
        QTest::addColumn<QString>("url");
        QTest::addColumn<QString>("message");
        QTest::newRow("empty") << ""
                               << "Empty URL";
        QTest::newRow("https") << "https://h/versions.dat"
                               << "HTTP Secure Socket is not supported";
        QTest::newRow("HTTPS") << "HTTPS://h"
                               << "HTTP Secure Socket is not supported";
    }
    void addressesThatAreRefused()
    {
        QFETCH(QString, url);
        QFETCH(QString, message);
        try {
            kx::splitAddress(url.toStdString(), 0);
            QFAIL("no error raised");
        } catch (const kx::NetworkError& e) {
            QCOMPARE(QString::fromUtf8(e.what()), message);
        }
    }
};

QTEST_GUILESS_MAIN(TestVersionList)
#include "tst_versionlist.moc"
