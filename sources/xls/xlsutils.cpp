#include "xlsutils.h"

#include "bytereader.h"
#include "sysutils.h"
#include "xlsfile.h"

#include <cmath>
#include <cstring>

Q_LOGGING_CATEGORY(lcXls, "morvex.xls")

uint16_t GetWord(QByteArrayView data, qsizetype pos)
{
    TByteReader r(data);
    r.seek(pos, "word offset");
    return r.u16le("word");
}

void SetWord(QByteArray &data, qsizetype pos, uint16_t value)
{
    data[pos] = char(value & 0xFF);
    data[pos + 1] = char(value >> 8);
}

int32_t GetInteger(QByteArrayView data, qsizetype pos)
{
    TByteReader r(data);
    r.seek(pos, "integer offset");
    return r.i32le("integer");
}

void SetInteger(QByteArray &data, qsizetype pos, int32_t value)
{
    for (int i = 0; i < 4; ++i)
        data[pos + i] = char((uint32_t(value) >> (8 * i)) & 0xFF);
}

QString Col2Letter(int n)
{
    // Two letters at most: BIFF8 columns end at 256 ("IV").
    QString s;
    const int q = (n - 1) / 26;
    if (q > 0)
        s += QChar(u'A' + q - 1);
    s += QChar(u'A' + (n - 1) % 26);
    return s;
}

int Letter2Col(const QString &s)
{
    int n = 0;
    for (QChar c : s)
        n = n * 26 + (c.toUpper().unicode() - u'A' + 1);
    return n;
}

QString Row2Number(int n)
{
    return QString::number(n);
}

int Number2Row(const QString &s)
{
    return StrToInt(s);
}

const QString BOOL_ERR_STRINGS[7] = {
    QStringLiteral("#NULL!"), QStringLiteral("#DIV/0!"), QStringLiteral("#VALUE!"), QStringLiteral("#REF!"),
    QStringLiteral("#NAME?"), QStringLiteral("#NUM!"),   QStringLiteral("#N/A"),
};

namespace {
const int kErrCodes[7] = {0, 7, 15, 23, 29, 36, 42};
}

QString ErrCodeToString(int code)
{
    for (int i = 0; i < 7; ++i)
        if (kErrCodes[i] == code)
            return BOOL_ERR_STRINGS[i];
    return BOOL_ERR_STRINGS[0];
}

uint8_t StringToErrCode(const QString &text)
{
    for (int i = 0; i < 7; ++i)
        if (BOOL_ERR_STRINGS[i] == text)
            return uint8_t(kErrCodes[i]);
    throw ExlsFileError(QStringLiteral("Invalid cell error code: '%1'").arg(text));
}

QString StringToWideStringNoCodePage(QByteArrayView bytes)
{
    return QString::fromLatin1(bytes);
}

QByteArray WideStringToStringNoCodePage(const QString &text)
{
    QByteArray out(text.size(), '\0');
    for (qsizetype i = 0; i < text.size(); ++i)
        out[i] = char(text.at(i).unicode() & 0xFF);
    return out;
}

bool IsWide(const QString &text)
{
    for (QChar c : text)
        if (c.unicode() > 0xFF)
            return true;
    return false;
}

int CompareWideStr(const QString &a, const QString &b)
{
    if (a.size() != b.size())
        return a.size() < b.size() ? -1 : 1;
    for (qsizetype i = 0; i < a.size(); ++i)
        if (a.at(i) != b.at(i))
            return a.at(i).unicode() < b.at(i).unicode() ? -1 : 1;
    return 0;
}

QString ByteArrayToStr(QByteArrayView bytes, int count)
{
    TByteReader r(bytes);
    const uint8_t flag = r.u8("string flag");
    if (flag == 0)
        return StringToWideStringNoCodePage(r.bytes(count, "string characters"));
    QString s;
    s.reserve(count);
    for (int i = 0; i < count; ++i)
        s.append(QChar(r.u16le("string characters")));
    return s;
}

qsizetype GetStrLen(QByteArrayView data, qsizetype pos, bool twoByteLength, int charCount)
{
    TByteReader r(data);
    r.seek(pos, "string offset");
    qsizetype chars = charCount;
    if (chars < 0)
        chars = twoByteLength ? r.u16le("string length") : r.u8("string length");
    const uint8_t options = r.u8("string options");
    qsizetype size = r.pos() - pos;
    qsizetype runs = 0, farEast = 0;
    if (options & 0x08) {
        runs = r.u16le("rich-text run count");
        size += 2;
    }
    if (options & 0x04) {
        farEast = r.u32le("far-east size");
        size += 4;
    }
    return size + chars * ((options & 0x01) ? 2 : 1) + runs * 4 + farEast;
}

double DecodeRK(uint32_t rk)
{
    double number;
    if (rk & 0x02) {
        number = double(int32_t(rk) >> 2);
    } else {
        const uint64_t bits = uint64_t(rk & 0xFFFFFFFCu) << 32;
        std::memcpy(&number, &bits, sizeof number);
    }
    if (rk & 0x01)
        number /= 100;
    return number;
}

bool EncodeRK(double value, uint32_t &rk)
{
    for (int factor : {1, 100}) {
        const double y = value * factor;
        uint64_t bits;
        std::memcpy(&bits, &y, sizeof bits);
        const uint32_t high = uint32_t(bits >> 32);
        if (uint32_t(bits) == 0 && (high & 0x03) == 0) {
            rk = high + (factor == 100 ? 1 : 0);
            if (DecodeRK(rk) == value)
                return true;
        }
        if (std::floor(y) == y && y >= -536870912.0 && y <= 536870911.0) {
            rk = uint32_t(int32_t(y) * 4 + 2 + (factor == 100 ? 1 : 0));
            return true;
        }
    }
    return false;
}

QString InternalNumberFormats(int index)
{
    // The built-in formats at their standard indexes; General and the
    // locale-dependent 23..36 are empty. 15, 17, 21 and 48 are written the
    // way the reader has always held them.
    static const char *const formats[50] = {
        "", "0", "0.00", "#,##0", "#,##0.00", "\"$\"#,##0_);(\"$\"#,##0)", "\"$\"#,##0_);[Red](\"$\"#,##0)",
        "\"$\"#,##0.00_);(\"$\"#,##0.00)", "\"$\"#,##0.00_);[Red](\"$\"#,##0.00)", "0%", "0.00%", "0.00E+00",
        "# ?/?", "# ?\?/??", "m/d/yy", "d-mmm-y", "d-mmm", "mmmm-yy", "h:mm AM/PM", "h:mm:ss AM/PM", "h:mm",
        "h:mm:SS", "m/d/yy h:mm", "", "", "", "", "", "", "", "", "", "", "", "", "", "",
        "#,##0_);(#,##0)", "#,##0_);[Red](#,##0)", "#,##0.00_);(#,##0.00)", "#,##0.00_);[Red](#,##0.00)",
        "_(* #,##0_);_(* (#,##0);_(* \"-\"_);_(@_)", "_(\"$\"* #,##0_);_(\"$\"* (#,##0);_(\"$\"* \"-\"_);_(@_)",
        "_(* #,##0.00_);_(* (#,##0.00);_(* \"-\"??_);_(@_)",
        "_(\"$\"* #,##0.00_);_(\"$\"* (#,##0.00);_(\"$\"* \"-\"??_);_(@_)", "mm:ss", "[h]:mm:ss", "mm:ss.0",
        "# #0.0E+0", "@"};
    if (index < 0 || index > 49)
        return QString();
    return QString::fromLatin1(formats[index]);
}

std::unique_ptr<TbiffRecord> LoadRecord(TxlsSection *section, TByteReader &stream, const TBIFF_Header &header)
{
    if (header.Size > stream.remaining())
        throw Exception(XlsMsg::FileInvalid());
    const QByteArrayView data = stream.bytes(header.Size, "record data");
    std::unique_ptr<TbiffRecord> record;
    switch (header.Id) {
    case BIFF::FORMULA: record = std::make_unique<TbiffFormula>(section, header.Id, data); break;
    case BIFF::EOF_: record = std::make_unique<TbiffEOF>(section, header.Id, data); break;
    case BIFF::NAME: record = std::make_unique<TbiffName>(section, header.Id, data); break;
    case BIFF::CONTINUE: record = std::make_unique<TbiffContinue>(section, header.Id, data); break;
    case BIFF::BOUNDSHEET: record = std::make_unique<TbiffBoundSheet>(section, header.Id, data); break;
    case BIFF::MULRK: record = std::make_unique<TbiffMulRK>(section, header.Id, data); break;
    case BIFF::MULBLANK: record = std::make_unique<TbiffMulBlank>(section, header.Id, data); break;
    case BIFF::XF: record = std::make_unique<TbiffXF>(section, header.Id, data); break;
    case BIFF::SST: record = std::make_unique<TbiffSST>(section, header.Id, data); break;
    case BIFF::LABELSST: record = std::make_unique<TbiffLabelSST>(section, header.Id, data); break;
    case BIFF::BLANK: record = std::make_unique<TbiffBlank>(section, header.Id, data); break;
    case BIFF::NUMBER: record = std::make_unique<TbiffNumber>(section, header.Id, data); break;
    case BIFF::BOOLERR: record = std::make_unique<TbiffBoolErr>(section, header.Id, data); break;
    case BIFF::STRING: record = std::make_unique<TbiffString>(section, header.Id, data); break;
    case BIFF::RK: record = std::make_unique<TbiffRK>(section, header.Id, data); break;
    case BIFF::FORMAT: record = std::make_unique<TbiffFormat>(section, header.Id, data); break;
    case BIFF::SHRFMLA: record = std::make_unique<TbiffShrFmla>(section, header.Id, data); break;
    case BIFF::BOF: record = std::make_unique<TbiffBOF>(section, header.Id, data); break;
    default: record = std::make_unique<TbiffRecord>(section, header.Id, data); break;
    }

    // The CONTINUE records behind it form a chain; it is built in a loop so
    // that a long chain cannot exhaust the stack. Each one takes at least
    // its header from the stream, so the loop ends with the stream.
    TbiffRecord *tail = record.get();
    while (stream.remaining() >= 4) {
        const qsizetype at = stream.pos();
        const uint16_t id = stream.u16le("record code");
        const uint16_t size = stream.u16le("record size");
        if (id == BIFF::CONTINUE) {
            if (size > stream.remaining())
                throw Exception(XlsMsg::FileInvalid());
            auto next = std::make_unique<TbiffContinue>(section, id, stream.bytes(size, "record data"));
            TbiffRecord *added = next.get();
            tail->AddContinue(std::move(next));
            tail = added;
            continue;
        }
        // A STRING record belongs to the formula before it (ARRAY and TABLE
        // records of an array or table formula may stand between them).
        if (id == BIFF::STRING && header.Id != BIFF::FORMULA && header.Id != BIFF::SHRFMLA
            && header.Id != BIFF::ARRAY && header.Id != BIFF::TABLE)
            throw Exception(XlsMsg::FileInvalid());
        stream.seek(at);
        break;
    }
    return record;
}
