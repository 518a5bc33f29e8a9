#include "strutils.h"

#include "shorttext.h"

#include <QDir>
#include <QFileInfo>
#include <QLocale>

#include <algorithm>

namespace {

constexpr QChar PathDelim = u'/';

// Position just after the last path delimiter, 0 when there is none.
qsizetype fileNameStart(const QString &fileName)
{
    return fileName.lastIndexOf(PathDelim) + 1;
}

} // namespace

QString Trim(QStringView s)
{
    return TrimmedView(s).toString();
}

void AssignReusingStorage(QString &target, QStringView text)
{
    // A part of the target itself would be overwritten while it is copied.
    const auto *const own = reinterpret_cast<const char16_t *>(target.constData());
    if (text.utf16() >= own && text.utf16() < own + target.size()) {
        target = text.toString();
        return;
    }
    // resize keeps the storage unless it is shared or too small.
    target.resize(text.size());
    CopyShortText(reinterpret_cast<char16_t *>(target.data()), text.utf16(), text.size());
}

QString TrimLeft(QStringView s)
{
    qsizetype first = 0;
    while (first < s.size() && IsBlank(s[first]))
        ++first;
    return s.mid(first).toString();
}

QString TrimRight(QStringView s)
{
    qsizetype last = s.size();
    while (last > 0 && IsBlank(s[last - 1]))
        --last;
    return s.left(last).toString();
}

int CompareTextIgnoringCase(QStringView a, QStringView b)
{
    const qsizetype common = std::min(a.size(), b.size());
    for (qsizetype i = 0; i < common; ++i) {
        char16_t x = a[i].unicode();
        char16_t y = b[i].unicode();
        // Some non-ASCII characters fold to ASCII letters (KELVIN SIGN to 'k'), so
        // the rest of the text goes to Qt as soon as either side leaves ASCII.
        if (x >= 0x80 || y >= 0x80)
            return a.mid(i).compare(b.mid(i), Qt::CaseInsensitive);
        if (x >= u'A' && x <= u'Z')
            x += u'a' - u'A';
        if (y >= u'A' && y <= u'Z')
            y += u'a' - u'A';
        if (x != y)
            return x < y ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

bool SameText(const QString &a, const QString &b)
{
    return a.size() == b.size() && CompareTextIgnoringCase(a, b) == 0;
}

int AnsiCompareText(const QString &a, const QString &b)
{
    return CompareTextIgnoringCase(a, b);
}

bool AnsiSameText(const QString &a, const QString &b)
{
    // Case folding keeps every character in its plane, so texts of
    // different lengths never match.
    return a.size() == b.size() && AnsiCompareText(a, b) == 0;
}

QString AnsiUpperCase(const QString &s)
{
    return s.toUpper();
}

QString AnsiLowerCase(const QString &s)
{
    return s.toLower();
}

QString ExtractFilePath(const QString &fileName)
{
    return fileName.left(fileNameStart(fileName));
}

QString ExtractFileName(const QString &fileName)
{
    return fileName.mid(fileNameStart(fileName));
}

QString ExtractFileExt(const QString &fileName)
{
    const qsizetype dot = fileName.lastIndexOf(u'.');
    if (dot < fileNameStart(fileName))
        return QString();
    return fileName.mid(dot);
}

QString ChangeFileExt(const QString &fileName, const QString &extension)
{
    const qsizetype dot = fileName.lastIndexOf(u'.');
    if (dot < fileNameStart(fileName))
        return fileName + extension;
    return fileName.left(dot) + extension;
}

QString IncludeTrailingPathDelimiter(const QString &path)
{
    if (path.endsWith(PathDelim))
        return path;
    return path + PathDelim;
}

bool FileExists(const QString &fileName)
{
    const QFileInfo info(fileName);
    return info.exists() && !info.isDir();
}

bool ForceDirectories(const QString &dir)
{
    if (dir.isEmpty())
        return false;
    return QDir().mkpath(dir);
}

QChar GetListSeparator()
{
    return QLocale::system().decimalPoint() == QStringLiteral(",") ? u';' : u',';
}
