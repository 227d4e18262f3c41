#include "contacts/ContactSharedFilesSlot.h"

#include "lists/ListModel.h"
#include "model/Mail.h"

namespace tavrel {

ContactSharedFilesSlot::ContactSharedFilesSlot(QObject* parent)
    : TQTableViewController(QStringLiteral("ContactSharedFilesSlot"), parent)
{
    auto* provider = new ListModel(managedObjectContext(), QStringLiteral("File"));
    provider->setSortDescriptors({SortDescriptor(QStringLiteral("updatedDate"), false)});
    setDataProvider(provider);
    applyFilter();
}

Predicate ContactSharedFilesSlot::sharedWith(const QString& address)
{
    return Predicate::format(
        QStringLiteral("owner.address ==[c] %@ OR ANY editors.address ==[c] %@ OR "
                       "ANY viewers.address ==[c] %@ OR ANY commenters.address ==[c] %@"),
        address, address, address, address);
}

void ContactSharedFilesSlot::setEmail(const QVariant& email)
{
    m_email = std::dynamic_pointer_cast<Mail>(email.value<ManagedObjectPtr>());
    applyFilter();
    if (isViewLoaded())
        refresh();
}

void ContactSharedFilesSlot::applyFilter()
{
    if (ListModel* provider = dataProvider())
        provider->setFilterPredicate(m_email ? sharedWith(m_email->address()) : Predicate::falsePredicate());
}

void ContactSharedFilesSlot::setSearchString(const QString& searchString)
{
    TQTableViewController::setSearchString(searchString);
    if (ListModel* provider = dataProvider())
        provider->setSearchString(searchString);
    if (isViewLoaded())
        refresh();
}

void ContactSharedFilesSlot::setSortDescriptor(const std::optional<SortDescriptor>& descriptor)
{
    TQViewController::setSortDescriptor(descriptor);
    if (!descriptor || !dataProvider())
        return;
    // The owner and sharing entries order by date, as the contact's own list does.
    const QString key =
        descriptor->key() == QLatin1String("owner") || descriptor->key() == QLatin1String("sharings")
            ? QStringLiteral("updatedDate")
            : descriptor->key();
    dataProvider()->setSortDescriptors({SortDescriptor(key, descriptor->ascending())});
    if (isViewLoaded())
        refresh();
}

QStringList ContactSharedFilesSlot::titles() const
{
    QStringList titles;
    if (ListModel* provider = dataProvider())
        for (int row = 0; row < provider->count(); ++row)
            titles.append(provider->data(provider->index(row), ListModel::TitleRole).toString());
    return titles;
}

} // namespace tavrel
