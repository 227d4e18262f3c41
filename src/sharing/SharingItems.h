#pragma once

#include "sharing/SharingPermissions.h"

namespace tavrel {

// The documents a sharing dialog acts on: one, or several standing as one item (a wrapper), also
// when only one of them is left.
class SharingItems
{
public:
    const SharingPermissions::Items& items() const { return m_items; }
    bool isWrapper() const { return m_wrapped; }
    // Each answers whether the documents changed; the same ones again change nothing.
    bool setItem(const std::shared_ptr<FileEntryAbstract>& item);
    bool setItems(const SharingPermissions::Items& items);
    // A record, or a list of records (a wrapper), as the lists hand them over; anything else clears.
    QVariant value() const;
    bool setValue(const QVariant& value);
    // The heading's words for them: the title of one, else "N items".
    QString subject() const;
    void clear() { m_items.clear(); }

private:
    SharingPermissions::Items m_items;
    bool m_wrapped = false;
};

} // namespace tavrel
