#include "progress/TQProgressSession.h"

#include "platform/system/TQLog.h"
#include "progress/TQSavingProgressSession.h"
#include "progress/TQUpdateFinishedProgressSession.h"
#include "progress/TQUploadProgressSession.h"

#include <QCoreApplication>
#include <mutex>

namespace tavrel {

namespace {

// English texts of the keys the progress model shows, for when no translation is loaded.
const QHash<QString, QString>& englishTexts()
{
    static const QHash<QString, QString> texts{
        {"Updating", "Updating"},
        {"CreatingDocument", "Creating document"},
        {"CreatingContact", "Creating contact"},
        {"CreatingGroup", "Creating group"},
        {"Syncing", "Syncing"},
        {"CheckingForChanges", "Checking for changes"},
        {"Uploading", "Uploading"},
        {"Saving", "Saving"},
        {"Associating", "Adding to collection"},
        {"Unassociating", "Removing from collection"},
        {"AddingToFavorites", "Adding to favorites"},
        {"RemovingFromFavorites", "Removing from favorites"},
        {"AssigningToGroup", "Assigning to group"},
        {"ChangingPermission", "Changing permission"},
        {"ChangingFavoriteState", "Changing favorite state"},
        {"GettingLinkToShare", "Getting link to share"},
        {"Sharing", "Sharing"},
        {"Loading", "Loading"},
        {"MovingToTrash", "Moving to trash"},
        {"Restoring", "Restoring"},
        {"DeletingContact", "Deleting contact"},
        {"DeletingGroup", "Deleting group"},
        {"DeletingDocument", "Deleting document"},
        {"Renaming", "Renaming"},
        {"RemovePermissions", "Removing permissions"},
        {"MarkingAsViewed", "Marking as viewed"},
        {"UploadingOne", "Uploading %@"},
        {"UploadingMany", "Uploading %lu files"},
        {"SavingOne", "Saving %@"},
        {"SavingMany", "Saving %lu documents"},
        {"UpdatedAt", "Updated %@"},
    };
    return texts;
}

struct PriorityRow
{
    quint64 priority;
    bool hasProgress;
};

PriorityRow priorityFor(const QString& name)
{
    if (name == QLatin1String("FullCoreDataUpdateOperation"))
        return {TQProgressSession::kFullUpdatePriority, false};
    if (name == QLatin1String("FastCoreDataUpdateOperation"))
        return {TQProgressSession::kFastUpdatePriority, false};
    if (name == QLatin1String("UploadFiles") || name == QLatin1String("GetFiles"))
        return {1000, true};
    if (name == QLatin1String("UploadFile") || name == QLatin1String("GetFile"))
        return {100, true};
    return {0, false};
}

} // namespace

QString TQProgressSession::localizedString(const QString& key)
{
    const QByteArray utf8 = key.toUtf8();
    const QString translated = QCoreApplication::translate("Localizable", utf8.constData());
    if (translated != key)
        return translated;
    return englishTexts().value(key, key);
}

const QHash<QString, TQProgressSession::Factory>& TQProgressSession::implementersMap()
{
    static std::once_flag once;
    static QHash<QString, Factory>* map = nullptr;
    std::call_once(once, [] {
        map = new QHash<QString, Factory>{
            {QStringLiteral("UploadFiles"), [] { return new TQUploadProgressSession(); }},
            {QStringLiteral("GetFiles"), [] { return new TQSavingProgressSession(); }},
            {QStringLiteral("UpdateFinished"), [] { return new TQUpdateFinishedProgressSession(); }},
        };
    });
    return *map;
}

const QHash<QString, QString>& TQProgressSession::namesMap()
{
    static const QHash<QString, QString> map{
        {"CreateEmptyDocument", "CreatingDocument"},
        {"CreateContact", "CreatingContact"},
        {"CreateGroup", "CreatingGroup"},
        {"FullCoreDataUpdateOperation", "Syncing"},
        {"FastCoreDataUpdateOperation", "CheckingForChanges"},
        {"UploadFiles", "Uploading"},
        {"GetFiles", "Saving"},
        {"UploadFile", "Uploading"},
        {"UploadRevision", "Uploading"},
        {"GetFile", "Saving"},
        {"AssignCollections", "Associating"},
        {"UnassignCollections", "Unassociating"},
        {"StarContacts", "AddingToFavorites"},
        {"UnstarContacts", "RemovingFromFavorites"},
        {"AssignGroupsToContacts", "AssigningToGroup"},
        {"SetPermissions", "ChangingPermission"},
        {"Starred", "ChangingFavoriteState"},
        {"StarredDocuments", "ChangingFavoriteState"},
        {"SetGeneralACLPermissions", "GettingLinkToShare"},
        {"SetGeneralACLPermission", "Sharing"},
        {"OpenDocument", "Loading"},
        {"TrashDocuments", "MovingToTrash"},
        {"UntrashDocuments", "Restoring"},
        {"DeleteContacts", "DeletingContact"},
        {"DeleteGroups", "DeletingGroup"},
        {"DeleteDocuments", "DeletingDocument"},
        {"RenameDocument", "Renaming"},
        {"RemovePermission", "RemovePermissions"},
        {"UntrashAndStarDocuments", "AddingToFavorites"},
        {"UntrashAndShareDocuments", "Sharing"},
        {"MarkAsViewed", "MarkingAsViewed"},
    };
    return map;
}

TQProgressSession* TQProgressSession::sessionWithName(const QString& name)
{
    if (name.isNull()) {
        TQLog("E: Called sessionWithName:nil");
        return nullptr;
    }
    const Factory factory = implementersMap().value(name);
    TQProgressSession* session = factory ? factory() : new TQProgressSession();
    session->setName(name);
    session->setHumanReadableName(localizedString(namesMap().value(name, QStringLiteral("Updating"))));
    const PriorityRow row = priorityFor(name);
    session->setPriority(row.priority);
    session->setHasProgress(row.hasProgress);
    return session;
}

void TQProgressSession::setProgressPart(quint64 part)
{
    m_progressPart = part;
    emit progressChanged();
}

void TQProgressSession::setProgressTotal(quint64 total)
{
    m_progressTotal = total;
    emit progressChanged();
}

void TQProgressSession::setHumanReadableName(const QString& name)
{
    if (m_humanReadableName == name)
        return;
    m_humanReadableName = name;
    emit humanReadableNameChanged(name);
}

void TQProgressSession::addAction(const TQProgressActionPtr& action)
{
    if (!action)
        return;
    if (!m_actions.contains(action->identifier())) {
        m_actions.insert(action->identifier(), action);
        emit numberOfActionsChanged(numberOfActions());
        setProgressTotal(m_progressTotal + action->progressTotal());
        TQLog("Progress session [%@] added action <%@> (%llu:%llu)", m_name, action->identifier(),
              QString::number(m_progressPart), QString::number(m_progressTotal));
    }
    actionsDidChange();
}

void TQProgressSession::updateAction(const TQProgressActionPtr& action)
{
    if (!action)
        return;
    const TQProgressActionPtr held = m_actions.value(action->identifier());
    if (!held)
        return;
    // Unsigned and wrapping: a smaller new value lowers the sum.
    if (action->progressTotal() != held->progressTotal()) {
        m_progressTotal += action->progressTotal() - held->progressTotal();
        held->setProgressTotal(action->progressTotal());
    }
    m_progressPart += action->progressPart() - held->progressPart();
    held->setProgressPart(action->progressPart());
    emit progressChanged();
    TQLog("Progress session [%@] updated action <%@> (%llu:%llu)", m_name, action->identifier(),
          QString::number(m_progressPart), QString::number(m_progressTotal));
}

void TQProgressSession::removeAction(const TQProgressActionPtr& action)
{
    if (action) {
        m_actions.remove(action->identifier());
        emit numberOfActionsChanged(numberOfActions());
    }
    if (m_actions.isEmpty())
        m_isCompleted = true;
    actionsDidChange();
}

} // namespace tavrel
