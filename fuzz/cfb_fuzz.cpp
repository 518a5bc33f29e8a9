// Opens arbitrary bytes as a compound file and reads every stream in it.
#include "../tests/support/cfbwalk.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
    try {
        (void)WalkCompoundFile(bytes);
    } catch (const ECompoundFileError &) {
    }
    return 0;
}
