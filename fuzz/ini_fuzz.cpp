// Loads arbitrary bytes as an INI file in memory and reads back everything it holds.
#include "inifile.h"
#include "stringlist.h"

#include <QByteArray>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    TIniFile ini = TIniFile::FromBytes(bytes);
    TStringList sections;
    ini.ReadSections(sections);
    for (int i = 0; i < sections.Count(); ++i) {
        TStringList values;
        ini.ReadSectionValues(sections[i], values);
        TStringList keys;
        ini.ReadSection(sections[i], keys);
        for (int k = 0; k < keys.Count(); ++k) {
            (void)ini.ReadString(sections[i], keys[k], QString());
            (void)ini.ReadInteger(sections[i], keys[k], 0);
            (void)ini.ReadBool(sections[i], keys[k], false);
            (void)values.ValueFromIndex(k);
        }
    }
    (void)TIniFile::FromBytes(ini.ToBytes());
    return 0;
}
