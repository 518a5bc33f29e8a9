#include "xlscalculate.h"

#include "bytereader.h"
#include "xlsfile.h"
#include "xlsutils.h"

#include <cmath>

// The built-in functions by number; numbers without a function carry their
// number as name.
const TXLS_FUNCTIONS XLS_FUNCTIONS = {
    {0x1E00, "COUNT"},
    {0x0302, "IF"},
    {0x0101, "ISNA"},
    {0x0101, "ISERROR"},
    {0x1E00, "SUM"},
    {0x1E01, "AVERAGE"},
    {0x1E01, "MIN"},
    {0x1E01, "MAX"},
    {0x0100, "ROW"},
    {0x0100, "COLUMN"},
    {0x0000, "NA"},
    {0x1E02, "NPV"},
    {0x1E01, "STDEV"},
    {0x0201, "DOLLAR"},
    {0x0302, "FIXED"},
    {0x0101, "SIN"},
    {0x0101, "COS"},
    {0x0101, "TAN"},
    {0x0101, "ATAN"},
    {0x0000, "PI"},
    {0x0101, "SQRT"},
    {0x0101, "EXP"},
    {0x0101, "LN"},
    {0x0101, "LOG10"},
    {0x0101, "ABS"},
    {0x0101, "INT"},
    {0x0101, "SIGN"},
    {0x0202, "ROUND"},
    {0x0302, "LOOKUP"},
    {0x0402, "INDEX"},
    {0x0202, "REPT"},
    {0x0303, "MID"},
    {0x0101, "LEN"},
    {0x0101, "VALUE"},
    {0x0000, "TRUE"},
    {0x0000, "FALSE"},
    {0x1E01, "AND"},
    {0x1E01, "OR"},
    {0x0101, "NOT"},
    {0x0202, "MOD"},
    {0x0303, "DCOUNT"},
    {0x0303, "DSUM"},
    {0x0303, "DAVERAGE"},
    {0x0303, "DMIN"},
    {0x0303, "DMAX"},
    {0x0303, "DSTDEV"},
    {0x1E01, "VAR"},
    {0x0303, "DVAR"},
    {0x0202, "TEXT"},
    {0x0401, "LINEST"},
    {0x0401, "TREND"},
    {0x0401, "LOGEST"},
    {0x0401, "GROWTH"},
    {0x0000, "53"},
    {0x0000, "54"},
    {0x0000, "55"},
    {0x0503, "PV"},
    {0x0503, "FV"},
    {0x0503, "NPER"},
    {0x0503, "PMT"},
    {0x0603, "RATE"},
    {0x0303, "MIRR"},
    {0x0201, "IRR"},
    {0x0000, "RAND"},
    {0x0302, "MATCH"},
    {0x0303, "DATE"},
    {0x0303, "TIME"},
    {0x0101, "DAY"},
    {0x0101, "MONTH"},
    {0x0101, "YEAR"},
    {0x0201, "WEEKDAY"},
    {0x0101, "HOUR"},
    {0x0101, "MINUTE"},
    {0x0101, "SECOND"},
    {0x0000, "NOW"},
    {0x0101, "AREAS"},
    {0x0101, "ROWS"},
    {0x0101, "COLUMNS"},
    {0x0503, "OFFSET"},
    {0x0000, "79"},
    {0x0000, "80"},
    {0x0000, "81"},
    {0x0302, "SEARCH"},
    {0x0101, "TRANSPOSE"},
    {0x0000, "84"},
    {0x0000, "85"},
    {0x0101, "TYPE"},
    {0x0000, "87"},
    {0x0000, "88"},
    {0x0000, "89"},
    {0x0000, "90"},
    {0x0000, "91"},
    {0x0404, "SERIESSUM"},
    {0x0000, "93"},
    {0x0000, "94"},
    {0x0000, "95"},
    {0x0000, "96"},
    {0x0202, "ATAN2"},
    {0x0101, "ASIN"},
    {0x0101, "ACOS"},
    {0x1E02, "CHOOSE"},
    {0x0403, "HLOOKUP"},
    {0x0403, "VLOOKUP"},
    {0x0000, "103"},
    {0x0000, "104"},
    {0x0101, "ISREF"},
    {0x0000, "106"},
    {0x0000, "107"},
    {0x0000, "108"},
    {0x0201, "LOG"},
    {0x0000, "110"},
    {0x0101, "CHAR"},
    {0x0101, "LOWER"},
    {0x0101, "UPPER"},
    {0x0101, "PROPER"},
    {0x0201, "LEFT"},
    {0x0201, "RIGHT"},
    {0x0202, "EXACT"},
    {0x0101, "TRIM"},
    {0x0404, "REPLACE"},
    {0x0403, "SUBSTITUTE"},
    {0x0101, "CODE"},
    {0x0000, "122"},
    {0x0000, "123"},
    {0x0302, "FIND"},
    {0x0201, "CELL"},
    {0x0101, "ISERR"},
    {0x0101, "ISTEXT"},
    {0x0101, "ISNUMBER"},
    {0x0101, "ISBLANK"},
    {0x0101, "T"},
    {0x0101, "N"},
    {0x0000, "132"},
    {0x0000, "133"},
    {0x0000, "134"},
    {0x0000, "135"},
    {0x0000, "136"},
    {0x0000, "137"},
    {0x0000, "138"},
    {0x0000, "139"},
    {0x0101, "DATEVALUE"},
    {0x0101, "TIMEVALUE"},
    {0x0303, "SLN"},
    {0x0404, "SYD"},
    {0x0504, "DDB"},
    {0x0000, "145"},
    {0x0000, "146"},
    {0x0000, "147"},
    {0x0201, "INDIRECT"},
    {0x0000, "149"},
    {0x0000, "150"},
    {0x0000, "151"},
    {0x0000, "152"},
    {0x0000, "153"},
    {0x0000, "154"},
    {0x0000, "155"},
    {0x0000, "156"},
    {0x0000, "157"},
    {0x0000, "158"},
    {0x0000, "159"},
    {0x0000, "160"},
    {0x0000, "161"},
    {0x0101, "CLEAN"},
    {0x0101, "MDETERM"},
    {0x0101, "MINVERSE"},
    {0x0202, "MMULT"},
    {0x0000, "166"},
    {0x0604, "IPMT"},
    {0x0604, "PPMT"},
    {0x1E00, "COUNTA"},
    {0x0000, "170"},
    {0x0000, "171"},
    {0x0000, "172"},
    {0x0000, "173"},
    {0x0000, "174"},
    {0x0000, "175"},
    {0x0000, "176"},
    {0x0000, "177"},
    {0x0000, "178"},
    {0x0000, "179"},
    {0x0000, "180"},
    {0x0000, "181"},
    {0x0000, "182"},
    {0x1E00, "PRODUCT"},
    {0x0101, "FACT"},
    {0x0000, "185"},
    {0x0000, "186"},
    {0x0000, "187"},
    {0x0000, "188"},
    {0x0303, "DPRODUCT"},
    {0x0101, "ISNONTEXT"},
    {0x0000, "191"},
    {0x0000, "192"},
    {0x1E01, "STDEVP"},
    {0x1E01, "VARP"},
    {0x0303, "DSTDEVP"},
    {0x0303, "DVARP"},
    {0x0201, "TRUNC"},
    {0x0101, "ISLOGICAL"},
    {0x0303, "DCOUNTA"},
    {0x0000, "200"},
    {0x0000, "201"},
    {0x0000, "202"},
    {0x0000, "203"},
    {0x0201, "USDOLLAR"},
    {0x0302, "FINDB"},
    {0x0302, "SEARCHB"},
    {0x0404, "REPLACEB"},
    {0x0201, "LEFTB"},
    {0x0201, "RIGHTB"},
    {0x0303, "MIDB"},
    {0x0101, "LENB"},
    {0x0202, "ROUNDUP"},
    {0x0202, "ROUNDDOWN"},
    {0x0101, "ASC"},
    {0x0101, "DBCS"},
    {0x0302, "RANK"},
    {0x0000, "217"},
    {0x0000, "218"},
    {0x0502, "ADDRESS"},
    {0x0302, "DAYS360"},
    {0x0000, "TODAY"},
    {0x0705, "VDB"},
    {0x0000, "223"},
    {0x0000, "224"},
    {0x0000, "225"},
    {0x0000, "226"},
    {0x1E01, "MEDIAN"},
    {0x1E01, "SUMPRODUCT"},
    {0x0101, "SINH"},
    {0x0101, "COSH"},
    {0x0101, "TANH"},
    {0x0101, "ASINH"},
    {0x0101, "ACOSH"},
    {0x0101, "ATANH"},
    {0x0303, "DGET"},
    {0x0000, "236"},
    {0x0000, "237"},
    {0x0000, "238"},
    {0x0000, "239"},
    {0x0000, "240"},
    {0x0000, "241"},
    {0x0000, "242"},
    {0x0000, "243"},
    {0x0101, "INFO"},
    {0x0000, "245"},
    {0x0000, "246"},
    {0x0504, "DB"},
    {0x0000, "248"},
    {0x0000, "249"},
    {0x0000, "250"},
    {0x0000, "251"},
    {0x0202, "FREQUENCY"},
    {0x0000, "253"},
    {0x0000, "254"},
    {0x0000, "255"},
    {0x0000, "256"},
    {0x0000, "257"},
    {0x0000, "258"},
    {0x0000, "259"},
    {0x0000, "260"},
    {0x0101, "ERROR.TYPE"},
    {0x0000, "262"},
    {0x0000, "263"},
    {0x0000, "264"},
    {0x0000, "265"},
    {0x0000, "266"},
    {0x0000, "267"},
    {0x0000, "268"},
    {0x1E01, "AVEDEV"},
    {0x0503, "BETADIST"},
    {0x0101, "GAMMALN"},
    {0x0503, "BETAINV"},
    {0x0404, "BINOMDIST"},
    {0x0202, "CHIDIST"},
    {0x0202, "CHIINV"},
    {0x0202, "COMBIN"},
    {0x0303, "CONFIDENCE"},
    {0x0303, "CRITBINOM"},
    {0x0101, "EVEN"},
    {0x0303, "EXPONDIST"},
    {0x0303, "FDIST"},
    {0x0303, "FINV"},
    {0x0101, "FISHER"},
    {0x0101, "FISHERINV"},
    {0x0202, "FLOOR"},
    {0x0404, "GAMMADIST"},
    {0x0303, "GAMMAINV"},
    {0x0202, "CEILING"},
    {0x0404, "HYPGEOMDIST"},
    {0x0303, "LOGNORMDIST"},
    {0x0303, "LOGINV"},
    {0x0303, "NEGBINOMDIST"},
    {0x0404, "NORMDIST"},
    {0x0101, "NORMSDIST"},
    {0x0303, "NORMINV"},
    {0x0101, "NORMSINV"},
    {0x0303, "STANDARDIZE"},
    {0x0101, "ODD"},
    {0x0202, "PERMUT"},
    {0x0303, "POISSON"},
    {0x0303, "TDIST"},
    {0x0404, "WEIBULL"},
    {0x0202, "SUMXMY2"},
    {0x0202, "SUMX2MY2"},
    {0x0202, "SUMX2PY2"},
    {0x0202, "CHITEST"},
    {0x0202, "CORREL"},
    {0x0202, "COVAR"},
    {0x0303, "FORECAST"},
    {0x0202, "FTEST"},
    {0x0202, "INTERCEPT"},
    {0x0202, "PEARSON"},
    {0x0202, "RSQ"},
    {0x0202, "STEYX"},
    {0x0202, "SLOPE"},
    {0x0404, "TTEST"},
    {0x0403, "PROB"},
    {0x1E01, "DEVSQ"},
    {0x1E01, "GEOMEAN"},
    {0x1E01, "HARMEAN"},
    {0x1E00, "SUMSQ"},
    {0x1E01, "KURT"},
    {0x1E01, "SKEW"},
    {0x0302, "ZTEST"},
    {0x0202, "LARGE"},
    {0x0202, "SMALL"},
    {0x0202, "QUARTILE"},
    {0x0202, "PERCENTILE"},
    {0x0302, "PERCENTRANK"},
    {0x1E01, "MODE"},
    {0x0202, "TRIMMEAN"},
    {0x0202, "TINV"},
    {0x0000, "333"},
    {0x0000, "334"},
    {0x0000, "335"},
    {0x1E00, "CONCATENATE"},
    {0x0202, "POWER"},
    {0x0000, "338"},
    {0x0000, "339"},
    {0x0000, "340"},
    {0x0000, "341"},
    {0x0101, "RADIANS"},
    {0x0101, "DEGREES"},
    {0x1E02, "SUBTOTAL"},
    {0x0302, "SUMIF"},
    {0x0202, "COUNTIF"},
    {0x0101, "COUNTBLANK"},
    {0x0000, "348"},
    {0x0000, "349"},
    {0x0404, "ISPMT"},
    {0x0303, "DATEDIF"},
    {0x0101, "DATESTRING"},
    {0x0202, "NUMBERSTRING"},
    {0x0201, "ROMAN"},
    {0x0000, "355"},
    {0x0000, "356"},
    {0x0000, "357"},
    {0x0202, "GETPIVOTDATA"},
    {0x0201, "HYPERLINK"},
    {0x0101, "PHONETIC"},
    {0x1E01, "AVERAGEA"},
    {0x1E01, "MAXA"},
    {0x1E01, "MINA"},
    {0x1E01, "STDEVPA"},
    {0x1E01, "VARPA"},
    {0x1E01, "STDEVA"},
    {0x1E01, "VARA"},
};

namespace {

bool IsNumber(const QVariant &v)
{
    switch (v.typeId()) {
    case QMetaType::Double:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
        return true;
    default:
        return false;
    }
}

bool IsReference(const QVariant &v)
{
    return v.typeId() == QMetaType::QVariantList;
}

QVariantList Reference(int col1, int row1, int col2, int row2)
{
    return {col1, row1, col2, row2};
}

// Resolves a relative (shared-formula) row or column against the formula cell.
int RelativeCol(uint16_t colWord, int base)
{
    const int byte = colWord & 0xFF;
    return (colWord & 0x4000) ? base + int(int8_t(byte)) : byte;
}

int RelativeRow(uint16_t rowWord, uint16_t colWord, int base)
{
    return (colWord & 0x8000) ? base + int(int16_t(rowWord)) : rowWord;
}

ExlsFileError Overrun(uint8_t token, qsizetype pos)
{
    return ExlsFileError(QStringLiteral("Formula token 0x%1 at offset %2 runs past the end of the formula")
                             .arg(token, 2, 16, QLatin1Char('0'))
                             .arg(pos));
}

} // namespace

void TxlsCalculator::Push(const QVariant &value)
{
    ++m_top;
    if (m_top >= m_stack.Count())
        m_stack.Grow(m_stack.Count() + 32);
    m_stack.Write(m_top, value);
}

QVariant TxlsCalculator::Pop()
{
    if (m_top < 0)
        throw ExlsFileError(QStringLiteral("EmptyStack"));
    const QVariant v = m_stack.Read(m_top);
    m_stack.Free(m_top);
    --m_top;
    return v;
}

QVariant TxlsCalculator::Peek() const
{
    if (m_top < 0)
        throw ExlsFileError(QStringLiteral("EmptyStack"));
    return m_stack.Read(m_top);
}

void TxlsCalculator::Require(int values) const
{
    if (m_top + 1 < values)
        throw ExlsFileError(QStringLiteral("Value is missing"));
}

TxlsCalculator::TxlsCalculator(TbiffCell *cell)
    : m_sheet(static_cast<TxlsWorkSheet *>(cell->Section())), m_row(cell->GetRow()), m_col(cell->GetCol())
{
}

QVariant TxlsCalculator::CellNumber(int row, int col) const
{
    if (row < 0 || row > 65535 || col < 0 || col > 255)
        return 0;
    TbiffCell *cell = m_sheet->GetCells(row, col);
    if (cell && cell->GetCellType() == bctNumeric)
        return cell->GetAsFloat();
    return 0;
}

void TxlsCalculator::Binary(uint8_t token)
{
    Require(2);
    const QVariant right = Pop();
    const QVariant left = Pop();
    const double l = left.toDouble(), r = right.toDouble();
    switch (token) {
    case 0x03: Push(l + r); break;
    case 0x04: Push(l - r); break;
    case 0x05: Push(l * r); break;
    case 0x06: Push(l / r); break;
    case 0x07: Push(std::pow(l, r)); break;
    case 0x08:
        if (left.typeId() == QMetaType::QString && right.typeId() == QMetaType::QString)
            Push(left.toString() + right.toString());
        else
            Push(QStringLiteral("#VALUE!"));
        break;
    default: {
        int c;
        if (left.typeId() == QMetaType::QString && right.typeId() == QMetaType::QString)
            c = QString::compare(left.toString(), right.toString());
        else
            c = l < r ? -1 : (l > r ? 1 : 0);
        switch (token) {
        case 0x09: Push(c < 0); break;
        case 0x0A: Push(c <= 0); break;
        case 0x0B: Push(c == 0); break;
        case 0x0C: Push(c >= 0); break;
        case 0x0D: Push(c > 0); break;
        default: Push(c != 0); break;
        }
    }
    }
}

QVariant TxlsCalculator::Aggregate(int function)
{
    const QVariant top = Pop();
    if (!IsReference(top))
        throw ExlsFileError(QStringLiteral("Invalid Reference(Area) argument"));
    const QVariantList ref = top.toList();
    if (ref.size() < 2 || ref.size() > 5)
        throw ExlsFileError(QStringLiteral("Invalid variant array size"));
    int col1 = ref[0].toInt(), row1 = ref[1].toInt(), col2 = col1, row2 = row1;
    if (ref.size() >= 4) {
        col2 = ref[2].toInt();
        row2 = ref[3].toInt();
    }
    TxlsWorkSheet *sheet = m_sheet;
    if (ref.size() == 3 || ref.size() == 5) {
        TxlsWorkSheetList &sheets = sheet->Workbook()->WorkSheets();
        const int index = ref.last().toInt();
        if (index < 0 || index >= sheets.Count())
            throw ExlsFileError(QStringLiteral("Invalid Reference(Area) argument"));
        sheet = sheets.Items(index);
    }
    if (col1 > col2)
        std::swap(col1, col2);
    if (row1 > row2)
        std::swap(row1, row2);
    // Only positions that can hold a cell are visited.
    col2 = qMin(col2, sheet->GetColCount() - 1);
    row2 = qMin(row2, sheet->GetRowCount() - 1);
    QVariant result;
    for (int c = qMax(col1, 0); c <= col2; ++c)
        for (int r = qMax(row1, 0); r <= row2; ++r) {
            TbiffCell *cell = sheet->GetCells(r, c);
            if (!cell || cell->GetCellType() != bctNumeric)
                continue;
            const double v = cell->GetAsFloat();
            if (!result.isValid())
                result = v;
            else if (function == fidSum)
                result = result.toDouble() + v;
            else if (function == fidMin ? v < result.toDouble() : v > result.toDouble())
                result = v;
        }
    return result;
}

void TxlsCalculator::VarFunction(int function, int count)
{
    Require(count);
    switch (function) {
    case fidCount:
    case fidAverage: {
        double n = 0, sum = 0;
        for (int i = 0; i < count; ++i) {
            const QVariant v = Peek();
            if (IsReference(v)) {
                const QVariantList ref = v.toList();
                if (ref.size() == 2 || ref.size() == 3)
                    n += 1;
                else if (ref.size() == 4 || ref.size() == 5)
                    n += double(std::abs(ref[2].toInt() - ref[0].toInt()) + 1)
                         * double(std::abs(ref[3].toInt() - ref[1].toInt()) + 1);
                else
                    throw ExlsFileError(QStringLiteral("Invalid variant array size"));
                if (function == fidAverage)
                    sum += Aggregate(fidSum).toDouble();
                else
                    Pop();
            } else {
                Pop();
                if (IsNumber(v) || v.typeId() == QMetaType::Bool) {
                    n += 1;
                    sum += v.toDouble();
                }
            }
        }
        Push(function == fidCount ? QVariant(n) : QVariant(sum / n));
        break;
    }
    case fidIf: {
        const QVariant otherwise = count >= 3 ? Pop() : QVariant(false);
        const QVariant then = count >= 2 ? Pop() : QVariant(false);
        const QVariant condition = Pop();
        const bool yes = condition.typeId() == QMetaType::Bool ? condition.toBool()
                         : IsNumber(condition)                 ? condition.toDouble() != 0
                                                               : false;
        for (int i = 3; i < count; ++i)
            Pop();
        Push(yes ? then : otherwise);
        break;
    }
    case fidIsNa:
    case fidIsError: {
        const QString text = Pop().toString();
        for (int i = 1; i < count; ++i)
            Pop();
        if (function == fidIsNa) {
            Push(text == QLatin1String("#N/A"));
        } else {
            bool error = false;
            for (int i = 0; i < 6; ++i)
                error = error || text == BOOL_ERR_STRINGS[i];
            Push(error);
        }
        break;
    }
    default: { // SUM, MIN, MAX
        QVariant result = function == fidSum ? QVariant(0.0) : QVariant();
        for (int i = 0; i < count; ++i) {
            const QVariant v = IsReference(Peek()) ? Aggregate(function) : Pop();
            if (!v.isValid() || v.isNull())
                continue;
            const double d = v.toDouble();
            if (function == fidSum)
                result = result.toDouble() + d;
            else if (!result.isValid() || (function == fidMin ? d < result.toDouble() : d > result.toDouble()))
                result = d;
        }
        Push(result);
        break;
    }
    }
}

void TxlsCalculator::OtherFunction(int function, int count)
{
    Require(count);
    QVariantList args;
    for (int i = 0; i < count; ++i)
        args.prepend(Pop());
    const QString name = QLatin1String(XLS_FUNCTIONS[function].Name);
    QVariant result;
    const TxlsFile *file = m_sheet->Workbook()->File();
    if (file && file->FunctionHook && file->FunctionHook(name, args, result)) {
        Push(result);
        return;
    }
    Push(QStringLiteral("[Unknown func %1]").arg(name));
}

QVariant TxlsCalculator::Evaluate(QByteArrayView tokens)
{
    TByteReader r(tokens);
    qsizetype at = 0;
    try {
        while (!r.atEnd()) {
            at = r.pos();
            const uint8_t token = r.u8("token");
            // Reference and function tokens come in three classes (0x2n,
            // 0x4n, 0x6n) that are handled alike.
            const uint8_t base = token >= 0x20 ? uint8_t(0x20 | (token & 0x1F)) : token;
            switch (base) {
            case 0x00: return Pop();
            case 0x03: case 0x04: case 0x05: case 0x06: case 0x07: case 0x08:
            case 0x09: case 0x0A: case 0x0B: case 0x0C: case 0x0D: case 0x0E:
                Binary(base);
                break;
            case 0x12: Require(1); break;
            case 0x13: {
                Require(1);
                const QVariant v = Pop();
                Push(-v.toDouble());
                break;
            }
            case 0x15: case 0x16: case 0x1A: case 0x1B: break;
            case 0x17: {
                const uint8_t length = r.u8("string length");
                const uint8_t options = r.u8("string options");
                if (options & 1) {
                    QString s;
                    for (int i = 0; i < length; ++i)
                        s.append(QChar(r.u16le("string characters")));
                    Push(s);
                } else {
                    Push(StringToWideStringNoCodePage(r.bytes(length, "string characters")));
                }
                break;
            }
            case 0x19: {
                const uint8_t flags = r.u8("attribute");
                const uint16_t data = r.u16le("attribute data");
                if (flags & 0x04)
                    r.skip((qsizetype(data) + 1) * 2, "CHOOSE jump table");
                else if (flags & 0x10)
                    Push(Aggregate(fidSum));
                break;
            }
            case 0x1C: Push(ErrCodeToString(r.u8("error code"))); break;
            case 0x1D: Push(r.u8("boolean") != 0); break;
            case 0x1E: Push(int(r.u16le("integer"))); break;
            case 0x1F: Push(r.f64le("number")); break;
            case 0x20: r.skip(7, "array constant"); break;
            case 0x21: {
                const uint16_t function = r.u16le("function");
                if (function > 367) {
                    Push(QStringLiteral("?<%1>?").arg(function));
                } else if (function == fidSin || function == fidCos || function == fidTan) {
                    Require(1);
                    const double v = Pop().toDouble();
                    Push(function == fidSin ? std::sin(v) : function == fidCos ? std::cos(v) : std::tan(v));
                } else {
                    OtherFunction(function, XLS_FUNCTIONS[function].Args & 0xFF);
                }
                break;
            }
            case 0x22: {
                const int count = r.u8("argument count") & 0x7F;
                const int function = r.u16le("function") & 0x7FFF;
                if (function <= fidMax)
                    VarFunction(function, count);
                else if (function > fidInt && function <= 367)
                    OtherFunction(function, count);
                break;
            }
            case 0x23: {
                const uint16_t index = r.u16le("name index");
                r.skip(2, "name reserved");
                TbiffNameList &names = m_sheet->Workbook()->Globals().Names();
                Push(index >= 1 && index <= names.Count() ? names.Items(index - 1)->GetName()
                                                          : QStringLiteral("#NAME?"));
                break;
            }
            case 0x24: {
                const uint16_t row = r.u16le("row");
                const uint16_t col = r.u16le("column");
                Push(CellNumber(row, col & 0x3FFF));
                break;
            }
            case 0x25: {
                const uint16_t row1 = r.u16le("row"), row2 = r.u16le("row");
                const uint16_t col1 = r.u16le("column"), col2 = r.u16le("column");
                Push(Reference(col1 & 0x3FFF, row1, col2 & 0x3FFF, row2));
                break;
            }
            case 0x2A: r.skip(4, "reference"); Push(QStringLiteral("#REF!")); break;
            case 0x2B: r.skip(8, "area"); Push(QStringLiteral("#REF!")); break;
            case 0x2C: {
                const uint16_t row = r.u16le("row");
                const uint16_t col = r.u16le("column");
                Push(QVariantList{RelativeCol(col, m_col), RelativeRow(row, col, m_row)});
                break;
            }
            case 0x2D: {
                const uint16_t row1 = r.u16le("row"), row2 = r.u16le("row");
                const uint16_t col1 = r.u16le("column"), col2 = r.u16le("column");
                Push(Reference(RelativeCol(col1, m_col), RelativeRow(row1, col1, m_row),
                               RelativeCol(col2, m_col), RelativeRow(row2, col2, m_row)));
                break;
            }
            case 0x3A: case 0x3C: r.skip(6, "3-D reference"); break;
            default:
                Push(QStringLiteral("Unknown ptg[%1]").arg(QString::number(token, 16).toUpper().rightJustified(2, QLatin1Char('0'))));
                return Pop();
            }
        }
    } catch (const EReadError &) {
        throw Overrun(uint8_t(tokens[at]), at);
    }
    return Pop();
}

QVariant CalculateFormula(TbiffCell *cell, QByteArrayView tokens, int length)
{
    TxlsCalculator calculator(cell);
    return calculator.Evaluate(tokens.first(qBound<qsizetype>(0, qsizetype(length), tokens.size())));
}
