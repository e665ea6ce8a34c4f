// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/linux/IniSettingsStore.h"

#include "platform/IdentEscape.h"

#include <QByteArray>
#include <QFile>
#include <QLocale>
#include <QStandardPaths>
#include <QStringDecoder>
#include <QStringList>

#include <algorithm>
#include <cerrno>
#include <cmath>

#include <sys/stat.h>

namespace kx {

namespace {

bool isUtf8(const std::string& bytes)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    // The decoder decodes when its result is taken.
    const QString text = decoder(QByteArrayView(bytes.data(), qsizetype(bytes.size())));
    return !decoder.hasError();
}

// An ident as QSettings keeps it. QSettings reads "/" and "\" as group separators and takes a
// key as UTF-8 text: those two, the escape "%" itself and, in an ident that is not UTF-8, every
// byte above 127 become %XX; everything else stays as it is, for QSettings escapes what the ini
// form cannot hold itself. A medium's label can hold any of them, and its records must be found
// again.
QString encodedIdent(const std::string& ident)
{
    const bool utf8 = isUtf8(ident);
    const std::string text = escapeIdent(ident, "/\\", utf8);
    return utf8 ? QString::fromStdString(text) : QString::fromLatin1(text);
}

std::string decodedIdent(const QString& key)
{
    return unescapeIdent(key.toUtf8().toStdString());
}

// True for a key that an ident of today's form is written under; any other key was written in
// the earlier form, which took an ident as it was.
bool currentForm(const QString& key)
{
    return encodedIdent(decodedIdent(key)) == key;
}

QString key(const std::string& section, const std::string& ident)
{
    return QString::fromStdString(section) + QLatin1Char('/') + encodedIdent(ident);
}

// The key under which the earlier form wrote `ident`, as QSettings reads it ("\" a separator,
// empty levels gone), or empty where that key is the key of another ident of today's form: an
// ident that ends in "\" must not take the records of the one without it.
QString earlierKey(const std::string& section, const std::string& ident)
{
    const QStringList levels = QString::fromStdString(ident)
                                   .replace(QLatin1Char('\\'), QLatin1Char('/'))
                                   .split(QLatin1Char('/'), Qt::SkipEmptyParts);
    const QString inSection = levels.join(QLatin1Char('/'));
    if (inSection.isEmpty() || currentForm(inSection))
        return QString();
    return QString::fromStdString(section) + QLatin1Char('/') + inSection;
}

// Texts are bytes to the program (a mount point need not be UTF-8); what is not UTF-8 is
// stored as raw bytes so that it reads back exactly.
QVariant textValue(const std::string& bytes)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = decoder(QByteArrayView(bytes.data(), qsizetype(bytes.size())));
    if (decoder.hasError())
        return QByteArray(bytes.data(), qsizetype(bytes.size()));
    return text;
}

// Whether the settings file is one to read and write: a regular file, a link to one, or nothing
// yet. A FIFO in its place would block the first read for ever, and the write's rename would
// put a text file in the place of a device that a link points at.
bool usableFile(const QString& fileName)
{
    const QByteArray path = QFile::encodeName(fileName);
    struct stat st;
    if (::lstat(path.constData(), &st) != 0)
        return errno == ENOENT;
    if (S_ISLNK(st.st_mode) && ::stat(path.constData(), &st) != 0)
        return false;
    return S_ISREG(st.st_mode);
}

} // namespace

IniSettingsStore::IniSettingsStore(const QString& fileName)
{
    // QSettings reads the file as soon as it is made: check the file first.
    if (!usableFile(fileName))
        return;
    m_settings = std::make_unique<QSettings>(fileName, QSettings::IniFormat);
    // A file that cannot be read or parsed counts as empty: every value reads as its default.
    m_settings->allKeys();
    m_readable = m_settings->status() == QSettings::NoError;
}

IniSettingsStore::~IniSettingsStore() = default;

QString IniSettingsStore::userFile()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/Kopierix/Kopierix.ini");
}

QVariant IniSettingsStore::value(const std::string& section, const std::string& ident)
{
    if (!m_readable)
        return QVariant();
    const QString current = key(section, ident);
    if (m_settings->contains(current))
        return m_settings->value(current);
    // A value written in the earlier form moves to today's, so that it is found by its ident
    // from now on, also in the list of a section's idents.
    const QString earlier = earlierKey(section, ident);
    if (earlier.isEmpty() || !m_settings->contains(earlier))
        return QVariant();
    QVariant v = m_settings->value(earlier);
    m_settings->setValue(current, v);
    m_settings->remove(earlier);
    return v;
}

void IniSettingsStore::setValue(const std::string& section, const std::string& ident,
                                const QVariant& value)
{
    if (!m_settings)
        return;
    m_settings->setValue(key(section, ident), value);
    // What the earlier form held for the ident is replaced, not left beside it.
    const QString earlier = earlierKey(section, ident);
    if (!earlier.isEmpty())
        m_settings->remove(earlier);
}

bool IniSettingsStore::contains(const std::string& section, const std::string& ident)
{
    if (!m_readable)
        return false;
    const QString earlier = earlierKey(section, ident);
    return m_settings->contains(key(section, ident)) ||
           (!earlier.isEmpty() && m_settings->contains(earlier));
}

void IniSettingsStore::remove(const std::string& section, const std::string& ident)
{
    if (!m_settings)
        return;
    m_settings->remove(key(section, ident));
    const QString earlier = earlierKey(section, ident);
    if (!earlier.isEmpty())
        m_settings->remove(earlier);
}

std::string IniSettingsStore::readString(const std::string& section, const std::string& ident,
                                         const std::string& fallback)
{
    const QVariant v = value(section, ident);
    switch (v.typeId()) {
    case QMetaType::QString:
        return v.toString().toStdString();
    case QMetaType::QByteArray: {
        const QByteArray bytes = v.toByteArray();
        return std::string(bytes.constData(), std::size_t(bytes.size()));
    }
    default:
        return fallback;
    }
}

bool IniSettingsStore::integerValue(const std::string& section, const std::string& ident,
                                    std::int64_t& result)
{
    const QVariant v = value(section, ident);
    bool ok = false;
    switch (v.typeId()) {
    case QMetaType::QString:
        result = v.toString().trimmed().toLongLong(&ok, 10);
        return ok;
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
        result = v.toLongLong(&ok);
        return ok;
    default:
        return false;
    }
}

std::int64_t IniSettingsStore::readInteger(const std::string& section, const std::string& ident,
                                           std::int64_t fallback)
{
    std::int64_t result = 0;
    return integerValue(section, ident, result) ? result : fallback;
}

bool IniSettingsStore::readFlag(const std::string& section, const std::string& ident, bool fallback)
{
    std::int64_t result = 0;
    return integerValue(section, ident, result) ? result != 0 : fallback;
}

double IniSettingsStore::readDate(const std::string& section, const std::string& ident)
{
    const QVariant v = value(section, ident);
    bool ok = false;
    double result = 0;
    switch (v.typeId()) {
    case QMetaType::QString:
        result = v.toString().trimmed().toDouble(&ok);
        break;
    case QMetaType::Double:
    case QMetaType::Float:
    case QMetaType::Int:
    case QMetaType::LongLong:
        result = v.toDouble(&ok);
        break;
    default:
        break;
    }
    return ok && std::isfinite(result) ? result : 0.0;
}

void IniSettingsStore::writeString(const std::string& section, const std::string& ident,
                                   const std::string& value)
{
    setValue(section, ident, textValue(value));
}

void IniSettingsStore::writeInteger(const std::string& section, const std::string& ident,
                                    std::int64_t value)
{
    setValue(section, ident, QString::number(qint64(value)));
}

void IniSettingsStore::writeFlag(const std::string& section, const std::string& ident, bool value)
{
    setValue(section, ident, value ? QStringLiteral("1") : QStringLiteral("0"));
}

void IniSettingsStore::writeDate(const std::string& section, const std::string& ident, double value)
{
    // The shortest text that reads back as exactly the same double.
    setValue(section, ident, QString::number(value, 'g', QLocale::FloatingPointShortest));
}

std::vector<std::string> IniSettingsStore::idents(const std::string& section)
{
    std::vector<std::string> result;
    if (!m_readable)
        return result;
    // All keys, not only the section's own: the earlier form wrote an ident with "/" or "\"
    // as a key of a group inside the section.
    m_settings->beginGroup(QString::fromStdString(section));
    const QStringList keys = m_settings->allKeys();
    m_settings->endGroup();
    result.reserve(std::size_t(keys.size()));
    for (const QString& k : keys)
        result.push_back(currentForm(k) ? decodedIdent(k) : k.toStdString());
    std::sort(result.begin(), result.end());
    result.erase(std::unique(result.begin(), result.end()), result.end());
    return result;
}

bool IniSettingsStore::sync()
{
    if (!m_settings)
        return false;
    m_settings->sync();
    // A file that could not be parsed is rewritten from what was read of it; only a failed
    // write counts as a failure here.
    return m_settings->status() != QSettings::AccessError;
}

} // namespace kx
