#pragma once

#include "exception.h"

#include <QLoggingCategory>

#include <cstdint>

Q_DECLARE_LOGGING_CATEGORY(lcXls)

// The reader's own errors; a few structural ones are raised as the general
// Exception instead, as callers expect.
class ExlsFileError : public Exception
{
public:
    using Exception::Exception;
};

// The four bytes in front of every BIFF record.
struct TBIFF_Header
{
    uint16_t Id = 0;
    uint16_t Size = 0;
};

// Record codes the reader acts on.
namespace BIFF {
constexpr uint16_t FORMULA = 0x0006;
constexpr uint16_t EOF_ = 0x000A;
constexpr uint16_t NAME = 0x0018;
constexpr uint16_t DATEMODE = 0x0022;
constexpr uint16_t CONTINUE = 0x003C;
constexpr uint16_t BOUNDSHEET = 0x0085;
constexpr uint16_t MULRK = 0x00BD;
constexpr uint16_t MULBLANK = 0x00BE;
constexpr uint16_t DBCELL = 0x00D7;
constexpr uint16_t XF = 0x00E0;
constexpr uint16_t SST = 0x00FC;
constexpr uint16_t LABELSST = 0x00FD;
constexpr uint16_t BLANK = 0x0201;
constexpr uint16_t NUMBER = 0x0203;
constexpr uint16_t BOOLERR = 0x0205;
constexpr uint16_t STRING = 0x0207;
constexpr uint16_t ROW = 0x0208;
constexpr uint16_t ARRAY = 0x0221;
constexpr uint16_t TABLE = 0x0236;
constexpr uint16_t RK = 0x027E;
constexpr uint16_t FORMAT = 0x041E;
constexpr uint16_t SHRFMLA = 0x04BC;
constexpr uint16_t BOF = 0x0809;

// BOF sub-stream types.
constexpr uint16_t BOF_GLOBALS = 0x0005;
constexpr uint16_t BOF_WORKSHEET = 0x0010;
constexpr uint16_t BOF_CHART = 0x0020;
constexpr uint16_t BOF_MACROSHEET = 0x0040;
constexpr uint16_t BIFF8_VERSION = 0x0600;
} // namespace BIFF

// The kind of value a cell holds.
enum TbiffCellType { bctString, bctBoolean, bctNumeric, bctDateTime, bctUnknown };

// Width of a string's length field.
using TxlsCharSize = int; // 1..2

// Messages of the reader.
namespace XlsMsg {
inline QString FileInvalid() { return QStringLiteral("Error reading Excel records. File invalid"); }
inline QString ReadingRecord() { return QStringLiteral("Error reading record"); }
} // namespace XlsMsg
