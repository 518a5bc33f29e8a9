// Loads arbitrary bytes as a workbook file and reads every cell of it. The
// bytes are tried both as a whole compound file and as a bare workbook
// stream inside one, so that the record layer is reached directly.
#include "../tests/support/cfbwriter.h"
#include "../tests/support/xlswalk.h"
#include "compoundfile.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    try {
        (void)WalkWorkbookBytes(bytes);
    } catch (const Exception &) {
    }
    if (!TCompoundFile::IsCompoundFile(bytes)) {
        try {
            (void)WalkWorkbookBytes(BuildCompoundFile({{QStringLiteral("Workbook"), bytes}}).Bytes);
        } catch (const Exception &) {
        }
    }
    return 0;
}
