#include "documents/ChangeOwnerMenu.h"

#include "model/Contact.h"
#include "model/FileEntryAbstract.h"
#include "model/Mail.h"
#include "model/SharingRoles.h"
#include "platform/ui/MessageNames.h"
#include "platform/ui/StringTable.h"
#include "platform/ui/UserInterfaceItem.h"
#include "session/TQSession.h"
#include "session/TQSessionManager.h"

#include <QAction>
#include <QMenu>

namespace tavrel {

void ChangeOwnerMenu::setup(QObject* item, const QList<ManagedObjectPtr>& documents,
                            ManagedObjectContext* context, QObject* target)
{
    TQSession* session = TQSessionManager::sharedManager()->currentSession();
    const QString username = session ? session->username() : QString();
    const auto contact = Contact::contactWithAddress(username, context);
    const QList<std::shared_ptr<Mail>> ownMails = contact ? contact->mails() : QList<std::shared_ptr<Mail>>();
    const auto isOwnMail = [&](const std::shared_ptr<Mail>& mail) {
        if (!mail)
            return false;
        for (const auto& own : ownMails)
            if (own == mail)
                return true;
        // The user's own address counts even before the user's contact is stored.
        return SharingRoles::sameAddress(mail->address(), username);
    };

    bool enabled = true;
    // Each person once, in the order first met (a stable order for the menu).
    QList<std::shared_ptr<Mail>> candidates;
    const auto addAll = [&candidates](const QList<std::shared_ptr<Mail>>& people) {
        for (const auto& person : people)
            if (person && !candidates.contains(person))
                candidates.append(person);
    };
    for (const ManagedObjectPtr& record : documents) {
        const auto entry = std::dynamic_pointer_cast<FileEntryAbstract>(record);
        if (!entry)
            continue;
        const QString resourceId = entry->resourceId();
        const bool kindAllowed = resourceId.startsWith(QLatin1String("document")) ||
                                 resourceId.startsWith(QLatin1String("spreadsheet")) ||
                                 resourceId.startsWith(QLatin1String("drawing"));
        if (!isOwnMail(entry->owner()) || !kindAllowed) {
            enabled = false;
            break;
        }
        addAll(entry->viewers());
        addAll(entry->commenters());
        addAll(entry->editors());
    }
    UserInterfaceItem::setEnabled(item, enabled);

    auto* action = qobject_cast<QAction*>(item);
    if (action && action->menu()) {
        QMenu* previous = action->menu();
        action->setMenu(nullptr);
        previous->deleteLater();
    }
    if (candidates.isEmpty()) {
        UserInterfaceItem::setTitle(item, StringTable::text(QStringLiteral("ChangeOwner")));
        return;
    }
    UserInterfaceItem::setTitle(item, StringTable::text(QStringLiteral("ChangeOwnerTo")));
    if (!action)
        return;
    auto* submenu = new QMenu(QString(), qobject_cast<QWidget*>(action->parent()));
    for (const auto& candidate : std::as_const(candidates)) {
        QAction* entry = UserInterfaceItem::makeAction(candidate->address(), Commands::changeOwnership,
                                                       submenu, 0, target);
        UserInterfaceItem::setRepresentedObject(entry, QVariant::fromValue(ManagedObjectPtr(candidate)));
        submenu->addAction(entry);
    }
    submenu->addSeparator();
    submenu->addAction(UserInterfaceItem::makeAction(StringTable::text(QStringLiteral("AddAnotherOwner")),
                                                     Commands::changeOwnership, submenu, 0, target));
    action->setMenu(submenu);
}

} // namespace tavrel
