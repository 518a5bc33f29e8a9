#pragma once

#include "xlscommon.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <cstdint>
#include <memory>

class TByteReader;
class TbiffRecord;
class TxlsSection;

// Little-endian words and 32-bit integers at a byte offset, unaligned.
// Reads past the end raise EReadError.
uint16_t GetWord(QByteArrayView data, qsizetype pos);
void SetWord(QByteArray &data, qsizetype pos, uint16_t value);
int32_t GetInteger(QByteArrayView data, qsizetype pos);
void SetInteger(QByteArray &data, qsizetype pos, int32_t value);

// A1-style cell names: 1-based column numbers to letters and back, 1-based
// row numbers to text and back.
QString Col2Letter(int n);
int Letter2Col(const QString &s);
QString Row2Number(int n);
int Number2Row(const QString &s);

// Cell error codes and their texts.
extern const QString BOOL_ERR_STRINGS[7];
QString ErrCodeToString(int code);
uint8_t StringToErrCode(const QString &text);

// Byte to character of the same code and back, without a code page.
QString StringToWideStringNoCodePage(QByteArrayView bytes);
QByteArray WideStringToStringNoCodePage(const QString &text);
// True when any character is above U+00FF.
bool IsWide(const QString &text);
// Shorter first, then by character code.
int CompareWideStr(const QString &a, const QString &b);

// A string stored as one flag byte and count characters: flag 0 means 8-bit
// characters, anything else 16-bit.
QString ByteArrayToStr(QByteArrayView bytes, int count);
// The byte size of the string stored at pos: length field (1 or 2 bytes,
// or none when charCount is given), option byte, run count and far-east
// size fields, characters, runs and far-east data.
qsizetype GetStrLen(QByteArrayView data, qsizetype pos, bool twoByteLength, int charCount = -1);

// RK numbers: the 32-bit compressed form of a number in cell records.
double DecodeRK(uint32_t rk);
// False when the value has no RK form.
bool EncodeRK(double value, uint32_t &rk);

// The built-in number formats 0..49 of BIFF8; empty text for others.
QString InternalNumberFormats(int index);

// Reads the record whose header has just been read, builds its object by
// code and attaches the CONTINUE records behind it.
std::unique_ptr<TbiffRecord> LoadRecord(TxlsSection *section, TByteReader &stream, const TBIFF_Header &header);
