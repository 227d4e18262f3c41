#include "actions/TQAccessListStepsOperation.h"

#include "actions/DocumentActionSupport.h"
#include "actions/GDataResultValues.h"

namespace tavrel {

namespace {

const QString kFetchFeed = QStringLiteral("FetchFeed");
const QString kFetchDocument = QStringLiteral("FetchDocument");

} // namespace

GDataFeedPtr TQAccessListStepsOperation::fetchedFeed() const
{
    std::lock_guard lock(m_stateMutex);
    return m_fetchedFeed;
}

ManagedObjectPtr TQAccessListStepsOperation::fetchedDocument() const
{
    std::lock_guard lock(m_stateMutex);
    return m_fetchedDocument;
}

QVariant TQAccessListStepsOperation::resultForCaller() const
{
    return recordResult(m_fetchedDocument);
}

void TQAccessListStepsOperation::setup()
{
    const QVariantMap arguments = stepsReportProgress() ? this->arguments() : QVariantMap();
    QList<TQOperationPtr> steps;
    if (auto step = makeStep(kFetchFeed, QStringLiteral("fetchFeedDidFinishWithResult:error:"), arguments))
        steps.append(step);
    if (auto step = makeStep(changeAction(), changeSelector(), arguments))
        steps.append(step);
    if (auto step =
            makeStep(kFetchDocument, QStringLiteral("fetchDocumentDidFinishWithResults:error:"), arguments))
        steps.append(step);
    setOperations(steps);
}

void TQAccessListStepsOperation::willStartOperation(const TQOperationPtr& operation)
{
    TQStepChainOperation::willStartOperation(operation);
    QVariantMap arguments = this->arguments();
    if (operation->name() == kFetchFeed) {
        const auto record =
            DocumentActionSupport::documentFrom(arguments.value(QStringLiteral("documentEntity")));
        const GDataEntryDocPtr entry = record ? record->gdataEntry() : nullptr;
        const GDataFeedLinkPtr link = entry ? entry->ACLFeedLink() : nullptr;
        if (link && !link->href().isEmpty())
            arguments.insert(QStringLiteral("feedURL"), link->URL());
    } else if (operation->name() == changeAction()) {
        if (const GDataFeedPtr feed = fetchedFeed())
            arguments.insert(QStringLiteral("feedACL"), GDataResultValues::valueForObject(feed));
    }
    setArguments(arguments);
    setStepArguments(operation, arguments);
}

void TQAccessListStepsOperation::fetchFeedDidFinishWithResult(const QVariant& result, const QVariant& error)
{
    if (!DocumentActionSupport::isError(error))
        if (const auto feed = GDataResultValues::objectFromValue<GDataFeedACL>(result)) {
            std::lock_guard lock(m_stateMutex);
            m_fetchedFeed = feed;
        }
    stepDidAnswer(error);
}

void TQAccessListStepsOperation::fetchDocumentDidFinishWithResults(const QVariant& result,
                                                                   const QVariant& error)
{
    stepDidAnswerKeepingRecord(result, error, m_fetchedDocument);
}

} // namespace tavrel
