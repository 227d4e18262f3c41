#pragma once

#include "controls/ValueTransformer.h"

namespace tavrel {

class FileEntryAbstract;

// A document or collection record to its small icon: the collection's (shared or not), or the
// desktop's icon for the document's local file or for the kind its file name says.
class TQFileItemToImageTransformer : public ValueTransformer
{
public:
    static constexpr qreal kIconSize = 16;
    QVariant transformedValue(const QVariant& value) const override;

    // Whether a collection counts as shared for the signed-in user: an own one with anybody on it, or
    // another person's one with the user on it.
    static bool isSharedCollection(const FileEntryAbstract& collection);
    // The signed-in account's address (the current session's user name), empty without a session.
    static QString currentUserAddress();
    static bool isCollection(const FileEntryAbstract& entry);
};

} // namespace tavrel
