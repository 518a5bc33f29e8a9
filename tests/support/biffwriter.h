#pragma once

// Builds BIFF8 workbook streams record by record for tests: the globals
// with their BOUNDSHEET records pointing at the sheets that follow.

#include <QByteArray>
#include <QList>
#include <QString>

#include <cstdint>
#include <cstring>

namespace biff {

inline QByteArray U8(uint8_t v) { return QByteArray(1, char(v)); }
inline QByteArray U16(uint16_t v) { return QByteArray() + char(v & 0xFF) + char(v >> 8); }
inline QByteArray U32(uint32_t v) { return U16(uint16_t(v & 0xFFFF)) + U16(uint16_t(v >> 16)); }
inline QByteArray F64(double v)
{
    uint64_t bits;
    std::memcpy(&bits, &v, 8);
    return U32(uint32_t(bits)) + U32(uint32_t(bits >> 32));
}

inline QByteArray Rec(uint16_t id, const QByteArray &payload)
{
    return U16(id) + U16(uint16_t(payload.size())) + payload;
}

inline QByteArray Bof(uint16_t type, uint16_t version = 0x0600)
{
    return Rec(0x0809, U16(version) + U16(type) + QByteArray(12, '\0'));
}
inline QByteArray Eof() { return Rec(0x000A, QByteArray()); }
inline QByteArray Xf(uint16_t format) { return Rec(0x00E0, U16(0) + U16(format) + QByteArray(16, '\0')); }
// 8-bit characters unless the text holds any above U+00FF.
inline QByteArray Chars(const QString &text, bool wide)
{
    QByteArray b;
    for (QChar c : text)
        b += wide ? U16(c.unicode()) : U8(uint8_t(c.unicode()));
    return b;
}
inline bool Wide(const QString &text)
{
    for (QChar c : text)
        if (c.unicode() > 0xFF)
            return true;
    return false;
}
inline QByteArray Str16(const QString &text)
{
    return U16(uint16_t(text.size())) + U8(Wide(text) ? 1 : 0) + Chars(text, Wide(text));
}
inline QByteArray Format(uint16_t index, const QString &text) { return Rec(0x041E, U16(index) + Str16(text)); }
inline QByteArray DateMode(bool is1904) { return Rec(0x0022, U16(is1904 ? 1 : 0)); }
inline QByteArray Sst(const QList<QString> &strings)
{
    QByteArray b = U32(uint32_t(strings.size())) + U32(uint32_t(strings.size()));
    for (const QString &s : strings)
        b += Str16(s);
    return Rec(0x00FC, b);
}
inline QByteArray Cell(uint16_t id, int row, int col, int xf, const QByteArray &value)
{
    return Rec(id, U16(uint16_t(row)) + U16(uint16_t(col)) + U16(uint16_t(xf)) + value);
}
inline QByteArray Number(int row, int col, int xf, double v) { return Cell(0x0203, row, col, xf, F64(v)); }
inline QByteArray Rk(int row, int col, int xf, uint32_t rk) { return Cell(0x027E, row, col, xf, U32(rk)); }
inline QByteArray LabelSst(int row, int col, int xf, uint32_t index) { return Cell(0x00FD, row, col, xf, U32(index)); }
inline QByteArray Blank(int row, int col, int xf) { return Cell(0x0201, row, col, xf, QByteArray()); }
inline QByteArray BoolErr(int row, int col, uint8_t value, bool error)
{
    return Cell(0x0205, row, col, 15, U8(value) + U8(error ? 1 : 0));
}
// A FORMULA record with the eight result bytes given and the tokens.
inline QByteArray Formula(int row, int col, const QByteArray &result, const QByteArray &tokens)
{
    return Cell(0x0006, row, col, 15, result + U16(0) + U32(0) + U16(uint16_t(tokens.size())) + tokens);
}
inline QByteArray StringResult(const QString &text) { return Rec(0x0207, Str16(text)); }
inline QByteArray NonNumberResult(uint8_t kind, uint8_t value)
{
    return U8(kind) + U8(0) + U8(value) + U8(0) + U8(0) + U8(0) + U16(0xFFFF);
}

// The globals (BOF, the records given, one XF with General for indexes
// 0..15 unless the records hold their own, BOUNDSHEETs, EOF) and the sheets,
// each a name and the records between its BOF and EOF.
struct TSheet
{
    QString Name;
    QByteArray Records;
    uint16_t Type = 0x0010;
};

inline QByteArray Workbook(const QByteArray &globals, const QList<TSheet> &sheets)
{
    QByteArray bounds;
    for (const TSheet &s : sheets)
        bounds += Rec(0x0085, U32(0) + U16(0) + U8(uint8_t(s.Name.size())) + U8(Wide(s.Name) ? 1 : 0)
                                  + Chars(s.Name, Wide(s.Name)));
    QByteArray out = Bof(0x0005) + globals + bounds + Eof();
    // Patch each BOUNDSHEET with the stream position of its sheet's BOF.
    qsizetype boundAt = out.size() - 4 - bounds.size();
    for (const TSheet &s : sheets) {
        const QByteArray pos = U32(uint32_t(out.size()));
        out.replace(boundAt + 4, 4, pos);
        boundAt += 4 + 8 + (Wide(s.Name) ? 2 : 1) * s.Name.size();
        out += Bof(s.Type) + s.Records + Eof();
    }
    return out;
}

} // namespace biff
