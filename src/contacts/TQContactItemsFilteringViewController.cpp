#include "contacts/TQContactItemsFilteringViewController.h"

#include "platform/ui/StringTable.h"

namespace tavrel {

TQContactItemsFilteringViewController::TQContactItemsFilteringViewController(QObject* parent)
    : TQFilteringViewController(QStringLiteral("ContactItemsFilteringView"), parent)
{
    setTitle(StringTable::text(QStringLiteral("AllContactsBack")));
}

QMap<QString, SortDescriptorRef>
TQContactItemsFilteringViewController::searchDescriptorsWithOrderedKeys(QStringList* orderedKeys)
{
    static const struct
    {
        const char* titleKey;
        const char* key;
        bool ascending;
    } kEntries[] = {{"SortOwner", "owner", true},
                    {"SortLastModified", "updatedDate", false},
                    {"SortSharings", "sharings", false}};
    QMap<QString, SortDescriptorRef> descriptors;
    if (orderedKeys)
        orderedKeys->clear();
    for (const auto& entry : kEntries) {
        const QString title = StringTable::text(QString::fromLatin1(entry.titleKey));
        descriptors.insert(
            title, std::make_shared<const SortDescriptor>(QString::fromLatin1(entry.key), entry.ascending));
        if (orderedKeys)
            orderedKeys->append(title);
    }
    return descriptors;
}

} // namespace tavrel
