#include "inifile.h"

#include "codepages.h"
#include "exception.h"
#include "stringlist.h"
#include "strutils.h"

#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QSaveFile>

#include <climits>

Q_LOGGING_CATEGORY(lcIni, "morvex.rtl.ini")

namespace {

// A configuration line is short; anything longer is damage or hostile input
// and is skipped rather than decoded and kept.
constexpr qsizetype kMaxLineLength = 1024 * 1024;

// Decimal with an optional sign, or hexadecimal written "$1F" or "0x1F"
// (also after a sign). Anything else, or a value outside int, fails.
bool parseInteger(const QString &text, int &result)
{
    QStringView s(text);
    bool negative = false;
    if (!s.isEmpty() && (s.front() == QLatin1Char('-') || s.front() == QLatin1Char('+'))) {
        negative = s.front() == QLatin1Char('-');
        s = s.mid(1);
    }
    int base = 10;
    if (s.startsWith(QLatin1Char('$'))) {
        base = 16;
        s = s.mid(1);
    } else if (s.startsWith(QLatin1String("0x"), Qt::CaseInsensitive)) {
        base = 16;
        s = s.mid(2);
    }
    if (s.isEmpty())
        return false;
    qint64 value = 0;
    for (const QChar c : s) {
        const int digit = c.isDigit() && c.unicode() < 0x80 ? c.unicode() - '0'
                        : (base == 16 && c.toLower() >= QLatin1Char('a') && c.toLower() <= QLatin1Char('f'))
                            ? c.toLower().unicode() - 'a' + 10
                            : -1;
        if (digit < 0)
            return false;
        value = value * base + digit;
        // Hex may spell a negative int through its bit pattern ($FFFFFFFF = -1).
        if (value > (base == 16 ? qint64(0xFFFFFFFF) : qint64(2147483648LL)))
            return false;
    }
    if (base == 16 && value > 0x7FFFFFFF)
        value -= qint64(0x100000000LL);
    if (negative)
        value = -value;
    if (value < INT_MIN || value > INT_MAX)
        return false;
    result = int(value);
    return true;
}

} // namespace

TIniFile::TIniFile(const QString &fileName) : m_fileName(fileName)
{
    QFile file(fileName);
    if (!file.exists())
        return;
    if (!file.open(QIODevice::ReadOnly))
        throw Exception(QStringLiteral("Cannot open INI file \"%1\": %2").arg(fileName, file.errorString()));
    LoadFromBytes(file.readAll());
}

TIniFile::TIniFile(TIniFile &&other) noexcept
    : m_fileName(std::move(other.m_fileName)), m_sections(std::move(other.m_sections)), m_dirty(other.m_dirty)
{
    other.m_dirty = false;
    other.m_fileName.clear();
}

TIniFile::~TIniFile()
{
    if (!m_dirty || m_fileName.isEmpty())
        return;
    try {
        UpdateFile();
    } catch (const Exception &e) {
        qCWarning(lcIni).noquote() << e.Message();
    } catch (const std::exception &e) {
        qCWarning(lcIni) << "Cannot write INI file" << m_fileName << e.what();
    }
}

TIniFile TIniFile::FromBytes(const QByteArray &content)
{
    TIniFile ini;
    ini.LoadFromBytes(content);
    return ini;
}

void TIniFile::LoadFromBytes(const QByteArray &content)
{
    m_sections.clear();
    m_dirty = false;

    // Line states: a line is read up to its end, then classified. Lines
    // before any section, lines without '=' and overlong lines are passed
    // over so that the rest of the file still loads.
    Section *current = nullptr;
    qsizetype pos = 0;
    const qsizetype size = content.size();
    if (content.startsWith("\xEF\xBB\xBF"))
        pos = 3;
    while (pos < size) {
        qsizetype end = pos;
        while (end < size && content.at(end) != '\r' && content.at(end) != '\n')
            ++end;
        const qsizetype lineStart = pos;
        const qsizetype lineLength = end - pos;
        pos = end;
        if (pos < size) {
            // CR LF, LF and CR each end a line.
            if (content.at(pos) == '\r' && pos + 1 < size && content.at(pos + 1) == '\n')
                ++pos;
            ++pos;
        }

        if (lineLength > kMaxLineLength) {
            qCWarning(lcIni) << "Skipping an INI line of" << lineLength << "bytes";
            continue;
        }
        const QString line = Trim(DecodeTextLine(content.mid(lineStart, lineLength)));
        if (line.isEmpty() || line.startsWith(QLatin1Char(';')) || line.startsWith(QLatin1Char('#')))
            continue;

        if (line.startsWith(QLatin1Char('[')) && line.endsWith(QLatin1Char(']'))) {
            const QString name = Trim(QStringView(line).mid(1, line.size() - 2));
            current = findSection(name);
            if (!current) {
                m_sections.append(Section{name, {}});
                current = &m_sections.last();
            }
            continue;
        }
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (!current || eq < 0)
            continue;
        const QString key = Trim(QStringView(line).left(eq));
        if (key.isEmpty())
            continue;
        // The first occurrence of a key is the one that counts.
        bool seen = false;
        for (const Entry &entry : std::as_const(current->entries)) {
            if (SameText(entry.key, key)) {
                seen = true;
                break;
            }
        }
        if (!seen)
            current->entries.append(Entry{key, Trim(QStringView(line).mid(eq + 1))});
    }
}

QByteArray TIniFile::ToBytes() const
{
    QString text;
    bool first = true;
    for (const Section &section : m_sections) {
        if (!first)
            text += QStringLiteral("\r\n");
        first = false;
        text += QLatin1Char('[') + section.name + QStringLiteral("]\r\n");
        for (const Entry &entry : section.entries)
            text += entry.key + QLatin1Char('=') + entry.value + QStringLiteral("\r\n");
    }
    return text.toUtf8();
}

const TIniFile::Section *TIniFile::findSection(const QString &name) const
{
    for (const Section &section : m_sections) {
        if (SameText(section.name, name))
            return &section;
    }
    return nullptr;
}

TIniFile::Section *TIniFile::findSection(const QString &name)
{
    return const_cast<Section *>(std::as_const(*this).findSection(name));
}

const TIniFile::Entry *TIniFile::findEntry(const QString &section, const QString &key) const
{
    const Section *s = findSection(Trim(section));
    if (!s)
        return nullptr;
    const QString k = Trim(key);
    for (const Entry &entry : s->entries) {
        if (SameText(entry.key, k))
            return &entry;
    }
    return nullptr;
}

QString TIniFile::ReadString(const QString &section, const QString &key, const QString &defaultValue) const
{
    const Entry *entry = findEntry(section, key);
    return entry ? entry->value : defaultValue;
}

int TIniFile::ReadInteger(const QString &section, const QString &key, int defaultValue) const
{
    const Entry *entry = findEntry(section, key);
    int value = 0;
    return entry && parseInteger(entry->value, value) ? value : defaultValue;
}

bool TIniFile::ReadBool(const QString &section, const QString &key, bool defaultValue) const
{
    const Entry *entry = findEntry(section, key);
    int value = 0;
    if (!entry || !parseInteger(entry->value, value))
        return defaultValue;
    return value != 0;
}

void TIniFile::WriteString(const QString &section, const QString &key, const QString &value)
{
    const QString sectionName = Trim(section);
    const QString keyName = Trim(key);
    // A name that the file format cannot carry would come back as another
    // key, or not at all: refuse it instead of writing a broken file.
    if (sectionName.isEmpty() || sectionName.contains(QLatin1Char(']')) || sectionName.contains(QLatin1Char('\r'))
        || sectionName.contains(QLatin1Char('\n')))
        throw Exception(QStringLiteral("Invalid INI section name \"%1\"").arg(section));
    if (keyName.isEmpty() || keyName.contains(QLatin1Char('=')) || keyName.contains(QLatin1Char('\r'))
        || keyName.contains(QLatin1Char('\n')) || keyName.startsWith(QLatin1Char(';'))
        || keyName.startsWith(QLatin1Char('#')) || keyName.startsWith(QLatin1Char('[')))
        throw Exception(QStringLiteral("Invalid INI key name \"%1\"").arg(key));
    if (value.contains(QLatin1Char('\r')) || value.contains(QLatin1Char('\n')))
        throw Exception(QStringLiteral("An INI value cannot hold a line break (key \"%1\")").arg(key));

    Section *s = findSection(sectionName);
    if (!s) {
        m_sections.append(Section{sectionName, {}});
        s = &m_sections.last();
    }
    const QString stored = Trim(value);
    for (Entry &entry : s->entries) {
        if (SameText(entry.key, keyName)) {
            entry.value = stored;
            m_dirty = true;
            return;
        }
    }
    s->entries.append(Entry{keyName, stored});
    m_dirty = true;
}

void TIniFile::WriteInteger(const QString &section, const QString &key, int value)
{
    WriteString(section, key, QString::number(value));
}

void TIniFile::WriteBool(const QString &section, const QString &key, bool value)
{
    WriteString(section, key, value ? QStringLiteral("1") : QStringLiteral("0"));
}

void TIniFile::ReadSection(const QString &section, TStringList &keys) const
{
    keys.Clear();
    if (const Section *s = findSection(Trim(section))) {
        for (const Entry &entry : s->entries)
            keys.Add(entry.key);
    }
}

void TIniFile::ReadSections(TStringList &sections) const
{
    sections.Clear();
    for (const Section &section : m_sections)
        sections.Add(section.name);
}

void TIniFile::ReadSectionValues(const QString &section, TStringList &values) const
{
    values.Clear();
    if (const Section *s = findSection(Trim(section))) {
        for (const Entry &entry : s->entries)
            values.Add(entry.key + QLatin1Char('=') + entry.value);
    }
}

void TIniFile::EraseSection(const QString &section)
{
    const QString name = Trim(section);
    for (qsizetype i = 0; i < m_sections.size(); ++i) {
        if (SameText(m_sections.at(i).name, name)) {
            m_sections.removeAt(i);
            m_dirty = true;
            return;
        }
    }
}

void TIniFile::DeleteKey(const QString &section, const QString &key)
{
    Section *s = findSection(Trim(section));
    if (!s)
        return;
    const QString k = Trim(key);
    for (qsizetype i = 0; i < s->entries.size(); ++i) {
        if (SameText(s->entries.at(i).key, k)) {
            s->entries.removeAt(i);
            m_dirty = true;
            return;
        }
    }
}

bool TIniFile::SectionExists(const QString &section) const
{
    return findSection(Trim(section)) != nullptr;
}

bool TIniFile::ValueExists(const QString &section, const QString &key) const
{
    return findEntry(section, key) != nullptr;
}

void TIniFile::UpdateFile()
{
    if (m_fileName.isEmpty())
        throw Exception(QStringLiteral("Cannot write an INI file that has no file name"));
    QSaveFile file(m_fileName);
    if (!file.open(QIODevice::WriteOnly))
        throw Exception(QStringLiteral("Cannot write INI file \"%1\": %2").arg(m_fileName, file.errorString()));
    const QByteArray bytes = ToBytes();
    if (file.write(bytes) != bytes.size() || !file.commit())
        throw Exception(QStringLiteral("Cannot write INI file \"%1\": %2").arg(m_fileName, file.errorString()));
    m_dirty = false;
}
