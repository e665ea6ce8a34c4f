// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/Fixture.h"
#include "platform/linux/LinuxPlatform.h"

#include <QtTest>

#include <cerrno>
#include <cstring>
#include <string>
#include <vector>

#include <ftw.h>
#include <grp.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace kx;

namespace {

// The user "nobody": no rights of its own beyond what is given to everyone.
constexpr uid_t kUnprivileged = 65534;

void giveTree(const QString& root, uid_t uid)
{
    static uid_t owner;
    owner = uid;
    ::nftw(
        QFile::encodeName(root).constData(),
        [](const char* path, const struct stat*, int, struct FTW*) {
            return ::lchown(path, owner, owner) == 0 ? 0 : -1;
        },
        16, FTW_PHYS);
}

// What a platform made afresh answers as a user who is not the administrator: its home folder,
// the temporary area of the home's drive, then that of each letter, one a line. Run in a child that
// drops to an unprivileged user when the test runs as root. Empty with `refused` when the switch of
// user was refused.
QStringList askAsUser(const std::vector<char>& letters, QString& refused)
{
    int pipeFds[2];
    if (::pipe(pipeFds) != 0)
        qFatal("pipe: %s", std::strerror(errno));
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(pipeFds[0]);
        std::string out;
        if (::geteuid() == 0 && (::setgroups(0, nullptr) != 0 ||
                                 ::setresgid(kUnprivileged, kUnprivileged, kUnprivileged) != 0 ||
                                 ::setresuid(kUnprivileged, kUnprivileged, kUnprivileged) != 0)) {
            out = std::string("!") + std::strerror(errno);
        } else {
            LinuxPlatform platform;
            const std::string home = platform.homeFolder();
            out = home + "\n" + (home.empty() ? "" : platform.temporaryArea(home[0])) + "\n";
            for (const char letter : letters)
                out += platform.temporaryArea(letter) + "\n";
        }
        (void)!::write(pipeFds[1], out.data(), out.size());
        ::_exit(0);
    }
    ::close(pipeFds[1]);
    QByteArray answer;
    char buffer[4096];
    for (ssize_t n; (n = ::read(pipeFds[0], buffer, sizeof buffer)) > 0;)
        answer.append(buffer, n);
    ::close(pipeFds[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    if (answer.startsWith('!')) {
        refused = QString::fromUtf8(answer.mid(1));
        return {};
    }
    QStringList lines = QString::fromUtf8(answer).split('\n');
    lines.removeLast();
    return lines;
}

} // namespace

class TestTemporaryArea : public QObject
{
    Q_OBJECT

private slots:
    void theAreaOfEachDrive_data()
    {
        QTest::addColumn<bool>("homeDrive"); // the home folder is a drive of its own
        QTest::newRow("the cache on the system's drive") << false;
        QTest::newRow("the cache on a drive of its own") << true;
    }

    // A desktop user cannot make folders in "/": there the area lies in the user's cache folder;
    // on other drives it is their root, when the user may make a folder there.
    void theAreaOfEachDrive()
    {
        QFETCH(bool, homeDrive);
        test::Fixture fixture;
        const QString home = fixture.root() + "/home";
        const QByteArray oldCache = qgetenv("XDG_CACHE_HOME");
        qputenv("XDG_CACHE_HOME", QFile::encodeName(home + "/cache"));
        fixture.addDrive('w');
        const QString readOnly = fixture.addDrive('r');
        if (homeDrive)
            fixture.mapDrive('k', home);
        if (::geteuid() == 0) {
            giveTree(fixture.root(), kUnprivileged);
            giveTree(readOnly, 0);
        }
        QFile::setPermissions(readOnly, QFileDevice::ReadOwner | QFileDevice::ExeOwner |
                                            QFileDevice::ReadOther | QFileDevice::ExeOther);

        QString refused;
        const QStringList answers = askAsUser({'c', 'r', 'w'}, refused);
        qputenv("XDG_CACHE_HOME", oldCache);
        if (answers.isEmpty())
            QSKIP(qPrintable("the switch to an unprivileged user was refused: " + refused));
        QCOMPARE(answers.size(), 5);

        // The cache folder lies in the home, on the drive that holds it most closely: c: unless
        // the home is a drive of its own (or the temporary folders are a mount of their own).
        const QString homeFolder = answers[0];
        QVERIFY(!homeFolder.isEmpty());
        const QString cacheArea =
            homeFolder + (homeFolder.endsWith('\\') ? "" : "\\") + "cache\\Kopierix\\";
        const char holder = homeFolder.at(0).toLatin1();
        if (homeDrive)
            QCOMPARE(holder, 'k');
        QCOMPARE(answers[1], cacheArea);
        QCOMPARE(answers[2], holder == 'c' ? cacheArea : QString());
        QCOMPARE(answers[3], QString());
        QCOMPARE(answers[4], QString("w:\\"));
        QVERIFY(QFileInfo(home + "/cache/Kopierix").isDir());
        // The probes are gone.
        QCOMPARE(QDir(fixture.native("w:\\"))
                     .entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
                 QStringList());
    }
};

QTEST_GUILESS_MAIN(TestTemporaryArea)
#include "tst_temporaryarea.moc"
