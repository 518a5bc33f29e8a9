#include "xmltaglist.h"

void TXMLTagList::SetItem(int Index, const TXMLTag &Tag)
{
    Items(Index)->Assign(Tag);
}

bool TXMLTagList::holdsTagList(const TXMLTagList &list) const
{
    for (const TXMLTag *tag = list.OwnerTag(); tag; tag = tag->Parent()) {
        if (tag->Collection() == this)
            return true;
    }
    return false;
}

void TXMLTagList::Assign(const TPersistent &Source)
{
    const auto *other = dynamic_cast<const TXMLTagList *>(&Source);
    if (other && other != this && holdsTagList(*other)) {
        // Clearing this list would free the source; copy it out first.
        TXMLTagList copy;
        copy.Assign(*other);
        TCollection<TXMLTag>::Assign(copy);
        return;
    }
    TCollection<TXMLTag>::Assign(Source);
}
