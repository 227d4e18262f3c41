#pragma once

#include <QVariant>

namespace tavrel {

// Whether two argument values are the very same object, as the queue manager's redundancy rule asks.
// Pointers and shared pointers (records, adapters ...) compare by the object they point to; non-empty
// lists compare by their shared storage (copies of one list are the same object, two lists built apart
// are not). Any other value is never the same object as another, so it never makes a request redundant.
class TQObjectIdentity
{
public:
    static bool isSameObject(const QVariant& a, const QVariant& b);
};

} // namespace tavrel
