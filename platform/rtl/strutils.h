#pragma once

#include <QString>

// The characters trimming removes: every one up to and including U+0020.
inline bool IsBlank(QChar c)
{
    return c.unicode() <= 0x20;
}

// Removes blanks at both ends (or one end).
QString Trim(QStringView s);
// The same as Trim, as a view into `s`; inline, as it runs for every value
// an import reads.
inline QStringView TrimmedView(QStringView s)
{
    const QChar *first = s.begin();
    const QChar *last = s.end();
    while (first < last && IsBlank(*first))
        ++first;
    while (last > first && IsBlank(last[-1]))
        --last;
    return QStringView(first, last - first);
}
QString TrimLeft(QStringView s);
// target becomes text; its character storage is reused when no copy shares
// it, so a string refilled again and again does not allocate.
void AssignReusingStorage(QString &target, QStringView text);
QString TrimRight(QStringView s);

// Case-insensitive comparisons; the Ansi forms compare the whole Unicode text.
// CompareTextIgnoringCase orders as QString::compare with Qt::CaseInsensitive does,
// with ASCII text compared without the Unicode case-folding tables.
int CompareTextIgnoringCase(QStringView a, QStringView b);
bool SameText(const QString &a, const QString &b);
int AnsiCompareText(const QString &a, const QString &b);
bool AnsiSameText(const QString &a, const QString &b);
QString AnsiUpperCase(const QString &s);
QString AnsiLowerCase(const QString &s);

// File names. A path keeps its trailing delimiter; an extension keeps its dot.
QString ExtractFilePath(const QString &fileName);
QString ExtractFileName(const QString &fileName);
QString ExtractFileExt(const QString &fileName);
QString ChangeFileExt(const QString &fileName, const QString &extension);
QString IncludeTrailingPathDelimiter(const QString &path);
bool FileExists(const QString &fileName);
// Creates the directory and every missing parent; true when it exists afterwards.
bool ForceDirectories(const QString &dir);

// The list separator of the user locale: ';' where the decimal separator is ',', else ','.
QChar GetListSeparator();
