#pragma once

#include <QMetaType>
#include <QVariant>
#include <functional>
#include <memory>

namespace tavrel {

// Whether two argument values are the very same object, as the queue manager's redundancy rule asks.
// QObject pointers and registered shared pointers compare by the object they point to; non-empty lists
// compare by their shared storage (copies of one list are the same object, two lists built apart are
// not). Any other value is never the same object as another, so it never makes a request redundant.
class TQObjectIdentity
{
public:
    // The address of the object a value refers to, or nullptr when it refers to none.
    static const void* identityOf(const QVariant& value);
    static bool isSameObject(const QVariant& a, const QVariant& b);

    // Makes values holding std::shared_ptr<T> (records, adapters ...) compare by the pointed object.
    template <typename T> static void registerSharedPointerType()
    {
        registerIdentity(QMetaType::fromType<std::shared_ptr<T>>(), [](const QVariant& value) -> const void* {
            return value.value<std::shared_ptr<T>>().get();
        });
    }
    static void registerIdentity(QMetaType type, std::function<const void*(const QVariant&)> identity);
};

} // namespace tavrel
