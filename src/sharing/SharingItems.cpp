#include "sharing/SharingItems.h"

#include "model/FileEntryAbstract.h"
#include "platform/ui/StringTable.h"

namespace tavrel {

bool SharingItems::setItem(const std::shared_ptr<FileEntryAbstract>& item)
{
    if (!m_wrapped && m_items.size() == 1 && m_items.constFirst() == item)
        return false;
    m_items = item ? SharingPermissions::Items{item} : SharingPermissions::Items{};
    m_wrapped = false;
    return true;
}

bool SharingItems::setItems(const SharingPermissions::Items& items)
{
    if (m_wrapped && m_items == items)
        return false;
    m_items = items;
    m_wrapped = true;
    return true;
}

QVariant SharingItems::value() const
{
    if (m_wrapped)
        return SharingPermissions::recordValues(m_items);
    return m_items.isEmpty() ? QVariant() : SharingPermissions::recordValue(m_items.constFirst());
}

bool SharingItems::setValue(const QVariant& value)
{
    if (value.metaType() == QMetaType::fromType<QVariantList>()) {
        SharingPermissions::Items items;
        for (const QVariant& each : value.toList())
            if (auto entry = std::dynamic_pointer_cast<FileEntryAbstract>(each.value<ManagedObjectPtr>()))
                items.append(entry);
        return setItems(items);
    }
    return setItem(std::dynamic_pointer_cast<FileEntryAbstract>(value.value<ManagedObjectPtr>()));
}

QString SharingItems::subject() const
{
    if (m_wrapped || m_items.isEmpty())
        return StringTable::format(QStringLiteral("SharingNItems"), m_items.size());
    return m_items.constFirst()->title();
}

} // namespace tavrel
