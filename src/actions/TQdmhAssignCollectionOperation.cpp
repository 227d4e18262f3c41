#include "actions/TQdmhAssignCollectionOperation.h"

#include "actions/DocumentActionSupport.h"
#include "actions/GDataResultValues.h"
#include "platform/gdata/GDataFeedBase.h"
#include "platform/runtime/ClassRegistry.h"

namespace tavrel {

TAVREL_REGISTER_CLASS(TQdmhAssignCollectionOperation)

namespace {

const QString kFetchFeed = QStringLiteral("FetchFeed");
const QString kFeedURL = QStringLiteral("feedURL");

} // namespace

QUrl TQdmhAssignCollectionOperation::collectionPostURL() const
{
    std::lock_guard lock(m_stateMutex);
    return m_collectionPostURL;
}

ManagedObjectPtr TQdmhAssignCollectionOperation::documentEntity() const
{
    std::lock_guard lock(m_stateMutex);
    return m_documentEntity;
}

QVariant TQdmhAssignCollectionOperation::resultForCaller() const
{
    return recordResult(m_documentEntity);
}

void TQdmhAssignCollectionOperation::setup()
{
    QList<TQOperationPtr> steps;
    if (auto step = makeStep(kFetchFeed, QStringLiteral("fetchFeedDidFinishWithResults:error:"), {}))
        steps.append(step);
    if (auto step = makeStep(QStringLiteral("AssignCollectionHandler"),
                             QStringLiteral("assignCollectionHandlerDidFinishWithResult:error:"), {}))
        steps.append(step);
    setOperations(steps);
}

void TQdmhAssignCollectionOperation::willStartOperation(const TQOperationPtr& operation)
{
    TQStepChainOperation::willStartOperation(operation);
    QVariantMap arguments = this->arguments();
    arguments.remove(kFeedURL);
    QUrl url;
    if (operation->name() == kFetchFeed) {
        const auto collection =
            DocumentActionSupport::documentFrom(arguments.value(QStringLiteral("collectionEntity")));
        const GDataEntryDocPtr entry = collection ? collection->gdataEntry() : nullptr;
        url = entry ? entry->content().sourceURL() : QUrl();
    } else {
        url = collectionPostURL();
    }
    // A missing address is left out, and the step refuses to run without it.
    if (!url.isEmpty())
        arguments.insert(kFeedURL, url);
    setStepArguments(operation, arguments);
}

void TQdmhAssignCollectionOperation::fetchFeedDidFinishWithResults(const QVariant& result,
                                                                   const QVariant& error)
{
    if (!DocumentActionSupport::isError(error))
        if (const auto feed = GDataResultValues::objectFromValue<GDataFeedBase>(result)) {
            std::lock_guard lock(m_stateMutex);
            m_collectionPostURL = QUrl(feed->postLink().href());
        }
    stepDidAnswer(error);
}

void TQdmhAssignCollectionOperation::assignCollectionHandlerDidFinishWithResult(const QVariant& result,
                                                                                const QVariant& error)
{
    stepDidAnswerKeepingRecord(result, error, m_documentEntity);
}

} // namespace tavrel
