#include "actions/dmhDeleteDocument.h"

#include "actions/DocumentActionSupport.h"
#include "model/Mail.h"
#include "model/TQMOCMaster.h"
#include "model/TQMOCMasterUpdater.h"
#include "platform/runtime/ClassRegistry.h"

namespace tavrel {

TAVREL_REGISTER_CLASS(dmhDeleteDocument)

void dmhDeleteDocument::executeActionAndCall(const InvocationPtr& invocation, const QVariantMap& parameters)
{
    const auto record =
        DocumentActionSupport::documentFrom(parameters.value(QStringLiteral("documentEntity")));
    if (!record) {
        callExternalInvocation(invocation, QVariant(), missingParameterError());
        return;
    }
    const QString user = DocumentActionSupport::userName(session());
    QString owner = record->owner() ? record->owner()->address() : QString();
    if (owner.isEmpty())
        if (const GDataEntryDocPtr entry = record->gdataEntry(); entry && !entry->authors().isEmpty())
            owner = entry->authors().first().email();
    // Addresses are compared as mail addresses: letter case names the same person.
    if (owner.compare(user, Qt::CaseInsensitive) != 0) {
        QVariantMap forwarded = parameters;
        forwarded.insert(QStringLiteral("mailAddress"), user);
        forwardAction(QStringLiteral("RemovePermission"), invocation, forwarded);
        return;
    }
    forwardAction(QStringLiteral("DeleteFile"), invocation, parameters);
}

QVariantMap dmhDeleteDocument::defaultCallbackForParams(const QVariantMap& result)
{
    const QVariant document = result.value(QStringLiteral("documentEntity"));
    const QVariant error = result.value(kErrorKey);
    if (!DocumentActionSupport::isError(error))
        if (const auto record = DocumentActionSupport::documentFrom(document))
            if (TQMOCMasterUpdater* updater = masterMOCUpdater())
                if (const GDataEntryDocPtr entry = record->gdataEntry())
                    updater->documentsDeleted(QList<GDataEntryPtr>{entry});
    QVariantMap answer = result;
    answer.insert(kFeedKey, document);
    answer.insert(kErrorKey, error);
    return answer;
}

} // namespace tavrel
