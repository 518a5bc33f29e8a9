#pragma once

#include "persistent.h"
#include "xmltag.h"

// The children of a tag, or the top-level tags of a packet. Knows the tag
// that owns it (none for the top level); a tag added to it has that owner as
// its parent.
class TXMLTagList : public TCollection<TXMLTag>
{
public:
    explicit TXMLTagList(TXMLTag *OwnerTag = nullptr) : m_ownerTag(OwnerTag) {}

    TXMLTag *OwnerTag() const { return m_ownerTag; }
    TXMLTag *GetItem(int Index) const { return Items(Index); }
    // Replaces the tag at Index by a copy of Tag.
    void SetItem(int Index, const TXMLTag &Tag);

    // Copies the tags of another list; also safe when that list lies inside
    // one of the tags it replaces.
    void Assign(const TPersistent &Source) override;

private:
    bool holdsTagList(const TXMLTagList &list) const;

    TXMLTag *m_ownerTag;
};
