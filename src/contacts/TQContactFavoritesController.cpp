#include "contacts/TQContactFavoritesController.h"

#include "contacts/TQAlphaGroupedContactsController.h"
#include "lists/TQNoSearchProvider.h"
#include "model/ContextFetch.h"
#include "model/FileEntryAbstract.h"
#include "model/Mail.h"
#include "model/SharingRoles.h"
#include "platform/runtime/NotificationCenter.h"
#include "platform/system/DMTracker.h"
#include "platform/system/TQLog.h"
#include "platform/ui/MessageNames.h"
#include "platform/ui/StringTable.h"
#include "platform/ui/UserInterfaceItem.h"
#include "session/TQSession.h"
#include "session/TQSessionManager.h"
#include "window/ActionRequests.h"

#include <QAction>
#include <QLabel>
#include <QPushButton>
#include <QSet>
#include <QVBoxLayout>
#include <algorithm>

namespace tavrel {

TQContactFavoritesController::TQContactFavoritesController(QObject* parent)
    : TQAllContactsController(QStringLiteral("ContactFavoritesView"), parent)
{
    // The favourites are few and ordered by what they share: no letters.
    setDisableGroupping(true);
    if (TQAlphaGroupedContactsController* provider = contacts())
        provider->setSortsBySharings(true);
}

QString TQContactFavoritesController::noSearchString() const
{
    return StringTable::text(QStringLiteral("NoSearchFavoritesContacts"));
}

void TQContactFavoritesController::setSortDescriptor(const std::optional<SortDescriptor>& descriptor)
{
    // The store's order by name breaks ties; the provider puts the people sharing most first.
    TQViewController::setSortDescriptor(descriptor);
    if (!dataProvider())
        return;
    if (TQAlphaGroupedContactsController* provider = contacts())
        provider->setSortsBySharings(bool(descriptor));
    QList<SortDescriptor> descriptors;
    if (descriptor)
        descriptors = {
            SortDescriptor(QStringLiteral("displayName"), true,
                           SortDescriptor::Comparison::LocalizedCaseInsensitive),
            SortDescriptor(QStringLiteral("address"), true, SortDescriptor::Comparison::CaseInsensitive)};
    dataProvider()->setSortDescriptors(descriptors);
}

QWidget* TQContactFavoritesController::makeNoItemsView(QWidget* parent)
{
    QWidget* view =
        TQNoSearchProvider::makeMessageView(parent, StringTable::text(QStringLiteral("NoFavorites")));
    auto* buttons = new QWidget(view);
    auto* layout = new QHBoxLayout(buttons);
    auto* automatic =
        new QPushButton(StringTable::text(QStringLiteral("CreateFavoritesAutomatically")), buttons);
    automatic->setObjectName(QStringLiteral("createFavoritesAutomatically"));
    auto* all = new QPushButton(StringTable::text(QStringLiteral("AllContacts")), buttons);
    all->setObjectName(QStringLiteral("showAllContacts"));
    layout->addStretch();
    layout->addWidget(automatic);
    layout->addWidget(all);
    layout->addStretch();
    // The message and the buttons under it, together in the middle.
    if (auto* column = qobject_cast<QBoxLayout*>(view->layout())) {
        if (auto* label = view->findChild<QLabel*>(QStringLiteral("labelField"))) {
            label->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Maximum);
            label->setMinimumWidth(340);
            label->setMaximumWidth(440);
            column->setAlignment(label, Qt::AlignHCenter);
        }
        column->insertStretch(0, 1);
        column->addSpacing(12);
        column->addWidget(buttons);
        column->addStretch(1);
    }
    connect(automatic, &QPushButton::clicked, this, [this] { createFavoritesAutomatically(nullptr); });
    connect(all, &QPushButton::clicked, this, [this] { showAllContacts(nullptr); });
    return view;
}

void TQContactFavoritesController::deleteEntity(QObject*)
{
    updateMails(clickedOrSelectedMails(), QStringLiteral("isFavorite"), false, "unstar");
    DMTracker::defaultTracker()->trackEventInCategory(QStringLiteral("Toolbar"), QStringLiteral("Delete"),
                                                      QStringLiteral("Contact"));
}

void TQContactFavoritesController::deleteContact(QObject* sender)
{
    // The row menu's delete hides the person, as in the contacts list.
    TQAllContactsController::deleteContact(sender);
}

void TQContactFavoritesController::showAllContacts(QObject*)
{
    NotificationCenter::defaultCenter().post(kAllContactsScreenRequestedNotification, QVariant());
}

QList<std::shared_ptr<Mail>> TQContactFavoritesController::automaticFavorites(Error* error) const
{
    TQSession* session = TQSessionManager::sharedManager()->currentSession();
    ManagedObjectContext* context = managedObjectContext();
    if (!session || !context)
        return {};
    const QString user = session->username();
    FetchRequest request(QStringLiteral("File"));
    request.setPredicate(Predicate::format(QStringLiteral("owner.address ==[c] %@"), user));
    Error fetchError;
    const auto documents =
        ContextFetch::executeFetchRequestSafely<FileEntryAbstract>(context, request, &fetchError);
    if (fetchError) {
        TQLog("E: Cannot collect my items: error %@", fetchError.description());
        if (error)
            *error = fetchError;
        return {};
    }
    QList<std::shared_ptr<Mail>> candidates;
    QSet<ManagedObjectID> seen;
    for (const auto& document : documents) {
        if (!SharingRoles::isOwner(*document, user))
            continue;
        for (const auto& people : {document->editors(), document->viewers(), document->commenters()})
            for (const auto& person : people)
                if (person && !seen.contains(person->objectID())) {
                    seen.insert(person->objectID());
                    candidates.append(person);
                }
    }
    struct Holder
    {
        std::shared_ptr<Mail> contact;
        int sharings = 0;
    };
    QList<Holder> holders;
    for (const auto& person : std::as_const(candidates)) {
        if (!person->visible().toBool() || SharingRoles::sameAddress(person->address(), user))
            continue;
        holders.append({person, TQAlphaGroupedContactsController::sharedDocumentCount(*person)});
    }
    std::sort(holders.begin(), holders.end(), [](const Holder& left, const Holder& right) {
        if (left.sharings != right.sharings)
            return left.sharings > right.sharings;
        const int names = QString::localeAwareCompare(left.contact->displayName().toLower(),
                                                      right.contact->displayName().toLower());
        if (names != 0)
            return names < 0;
        return left.contact->address().compare(right.contact->address(), Qt::CaseInsensitive) < 0;
    });
    QList<std::shared_ptr<Mail>> chosen;
    for (const Holder& holder : std::as_const(holders)) {
        if (chosen.size() == kAutomaticFavorites)
            break;
        chosen.append(holder.contact);
    }
    return chosen;
}

void TQContactFavoritesController::createFavoritesAutomatically(QObject*)
{
    const QList<std::shared_ptr<Mail>> chosen = automaticFavorites(nullptr);
    if (chosen.isEmpty())
        return;
    updateMails(chosen, QStringLiteral("isFavorite"), true, "favorites");
}

} // namespace tavrel
