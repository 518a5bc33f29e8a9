// Parses arbitrary bytes as an XML data packet and walks everything the
// reader built, also after a failed load (the tree up to the failure stays).
#include "exception.h"
#include "xmlfile.h"
#include "xmloutline.h"

#include <QByteArray>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

// Every attribute of the list must be found by name with the same value.
void checkLookups(const TXMLTagList &tags)
{
    for (int i = 0; i < tags.Count(); ++i) {
        const TXMLTag &tag = *tags.GetItem(i);
        const TStringList attributes = tag.Attributes();
        for (int a = 0; a < attributes.Count(); ++a) {
            if (tag.AttributeValue(attributes.Names(a)) != attributes.ValueFromIndex(a))
                std::abort();
        }
        if (tag.ChildCount() > 0)
            checkLookups(tag.Children());
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    for (const bool stopAtFields : {false, true}) {
        TXMLFile file;
        try {
            file.LoadFromBytes(bytes, stopAtFields);
        } catch (const Exception &) {
        }
        (void)XMLOutline(file);
        checkLookups(file.Tags());
    }
    return 0;
}
