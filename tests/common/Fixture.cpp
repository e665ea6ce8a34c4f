// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/Fixture.h"

#include "platform/linux/LinuxPlatform.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QtGlobal>

#include <fcntl.h>
#include <ftw.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kx::test {

namespace {
QString driveName(char letter)
{
    return QStringLiteral("drive-") + QChar::fromLatin1(letter);
}
} // namespace

Fixture::Fixture()
{
    m_oldHome = qgetenv("HOME");
    m_oldConfig = qgetenv("XDG_CONFIG_HOME");
    m_oldData = qgetenv("XDG_DATA_HOME");
    QDir(m_dir.path()).mkpath(QStringLiteral("home/.config"));
    QDir(m_dir.path()).mkpath(QStringLiteral("home/.local/share"));
    qputenv("HOME", QFile::encodeName(m_dir.path() + QStringLiteral("/home")));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_dir.path() + QStringLiteral("/home/.config")));
    qputenv("XDG_DATA_HOME",
            QFile::encodeName(m_dir.path() + QStringLiteral("/home/.local/share")));
}

Fixture::~Fixture()
{
    // Removed by bytes: names that are not UTF-8 are beyond QDir.
    ::nftw(
        QFile::encodeName(m_dir.path()).constData(),
        [](const char* path, const struct stat*, int type, struct FTW*) {
            if (type == FTW_DP)
                ::rmdir(path);
            else
                ::unlink(path);
            return 0;
        },
        16, FTW_DEPTH | FTW_PHYS);
    qputenv("HOME", m_oldHome);
    qputenv("XDG_CONFIG_HOME", m_oldConfig);
    qputenv("XDG_DATA_HOME", m_oldData);
}

QString Fixture::root() const
{
    return m_dir.path();
}

QString Fixture::settingsPath() const
{
    return m_dir.path() + QStringLiteral("/home/.config/Kopierix/Kopierix.ini");
}

QString Fixture::dataPath() const
{
    return m_dir.path() + QStringLiteral("/home/.local/share/Kopierix");
}

QString Fixture::addDrive(char letter, const QString& type, const QString& label)
{
    const QString folder = m_dir.path() + QLatin1Char('/') + driveName(letter);
    QDir().mkpath(folder);
    mapDrive(letter, folder, type, label);
    return folder;
}

void Fixture::addMissingDrive(char letter, const QString& type)
{
    mapDrive(letter, m_dir.path() + QLatin1Char('/') + driveName(letter), type);
}

void Fixture::mapDrive(char letter, const QString& folder, const QString& type,
                       const QString& label)
{
    const QString key = QChar::fromLatin1(letter);
    setSetting(QStringLiteral("Drives"), key, folder);
    if (!type.isEmpty())
        setSetting(QStringLiteral("Drives"), key + QStringLiteral(".type"), type);
    if (!label.isEmpty())
        setSetting(QStringLiteral("Drives"), key + QStringLiteral(".label"), label);
}

std::string Fixture::nativeBytes(const std::string& drivePath) const
{
    const char letter =
        static_cast<char>(std::tolower(static_cast<unsigned char>(drivePath.at(0))));
    const QString folder =
        setting(QStringLiteral("Drives"), QString(QChar::fromLatin1(letter))).toString();
    std::string rest = drivePath.substr(2);
    for (char& c : rest)
        if (c == '\\')
            c = '/';
    const std::string root = QFile::encodeName(folder).toStdString();
    return rest == "/" ? root : root + rest;
}

QString Fixture::native(const std::string& drivePath) const
{
    return QFile::decodeName(QByteArray::fromStdString(nativeBytes(drivePath)));
}

void Fixture::writeFile(const std::string& drivePath, const QByteArray& contents, qint64 mtime)
{
    const std::string path = nativeBytes(drivePath);
    // Folders made by bytes, for names that are not UTF-8.
    for (std::size_t slash = path.find('/', 1); slash != std::string::npos;
         slash = path.find('/', slash + 1))
        ::mkdir(path.substr(0, slash).c_str(), 0755);
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0 ||
        ::write(fd, contents.constData(), size_t(contents.size())) != ssize_t(contents.size()))
        qFatal("%s cannot be written", path.c_str());
    ::close(fd);
    if (mtime != 0)
        setMtime(drivePath, mtime);
}

void Fixture::makeDir(const std::string& drivePath)
{
    QDir().mkpath(native(drivePath));
}

void Fixture::setMtime(const std::string& drivePath, qint64 mtime)
{
    struct timespec times[2];
    times[0].tv_sec = times[1].tv_sec = static_cast<time_t>(mtime);
    times[0].tv_nsec = times[1].tv_nsec = 0;
    if (::utimensat(AT_FDCWD, nativeBytes(drivePath).c_str(), times, AT_SYMLINK_NOFOLLOW) != 0)
        qFatal("the time of %s cannot be set", nativeBytes(drivePath).c_str());
}

QByteArray Fixture::readFile(const std::string& drivePath) const
{
    const int fd = ::open(nativeBytes(drivePath).c_str(), O_RDONLY);
    if (fd < 0)
        return QByteArray();
    QByteArray data;
    char buffer[65536];
    ssize_t n;
    while ((n = ::read(fd, buffer, sizeof buffer)) > 0)
        data.append(buffer, n);
    ::close(fd);
    return data;
}

qint64 Fixture::mtime(const std::string& drivePath) const
{
    struct stat st;
    if (::stat(nativeBytes(drivePath).c_str(), &st) != 0)
        return -1;
    return st.st_mtime;
}

bool Fixture::exists(const std::string& drivePath) const
{
    struct stat st;
    return ::lstat(nativeBytes(drivePath).c_str(), &st) == 0;
}

void Fixture::setSetting(const QString& section, const QString& ident, const QVariant& value)
{
    QSettings s(settingsPath(), QSettings::IniFormat);
    s.beginGroup(section);
    s.setValue(ident, value);
    s.endGroup();
    s.sync();
}

QVariant Fixture::setting(const QString& section, const QString& ident) const
{
    QSettings s(settingsPath(), QSettings::IniFormat);
    s.beginGroup(section);
    return s.value(ident);
}

std::unique_ptr<Platform> Fixture::platform() const
{
    return std::make_unique<LinuxPlatform>();
}

} // namespace kx::test
