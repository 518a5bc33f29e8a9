#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// The process-wide ANSI and OEM code pages (defaults Windows-1252 and IBM437).
// Setting an unknown name raises Exception and keeps the current code page.
QString AnsiCodePage();
void SetAnsiCodePage(const QString &name);
QString OemCodePage();
void SetOemCodePage(const QString &name);

// True when a code page of that name is known, e.g. "IBM866" or "windows-1251".
bool IsKnownCodePage(const QString &name);

// Bytes of the ANSI code page to text and back. A character the code page
// cannot hold becomes '?'.
QString AnsiBytesToString(const QByteArray &bytes);
QByteArray StringToAnsiBytes(const QString &text);
// The same with a code page named explicitly.
QString CodePageBytesToString(const QString &codePage, const QByteArray &bytes);

// Reinterpret text between the code pages, one character for one character:
// OemToAnsi reads each character as the OEM byte the ANSI code page gives it,
// AnsiToOem the other way round. A character without a counterpart is kept.
QString OemToAnsi(const QString &text);
QString AnsiToOem(const QString &text);

// Decodes one line of a text file: UTF-8 when the bytes are valid UTF-8,
// otherwise the ANSI code page, so that no byte is lost.
QString DecodeTextLine(const QByteArray &line);
// The same into `text`, whose storage is reused for a line of plain ASCII.
void DecodeTextLine(QByteArrayView line, QString &text);
