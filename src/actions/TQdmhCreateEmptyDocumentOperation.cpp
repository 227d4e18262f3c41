#include "actions/TQdmhCreateEmptyDocumentOperation.h"

#include "actions/DocumentActionSupport.h"
#include "platform/runtime/ClassRegistry.h"

namespace tavrel {

TAVREL_REGISTER_CLASS(TQdmhCreateEmptyDocumentOperation)

namespace {

const QString kCreate = QStringLiteral("CreateEmptyDocumentHandler");
const QString kShare = QStringLiteral("SetPermissions");
const QString kStar = QStringLiteral("Starred");

} // namespace

ManagedObjectPtr TQdmhCreateEmptyDocumentOperation::createdDocument() const
{
    std::lock_guard lock(m_stateMutex);
    return m_createdDocument;
}

QVariant TQdmhCreateEmptyDocumentOperation::resultForCaller() const
{
    return recordResult(m_createdDocument);
}

void TQdmhCreateEmptyDocumentOperation::setup()
{
    const QVariantMap arguments = this->arguments();
    QList<TQOperationPtr> steps;
    if (auto step = makeStep(kCreate, QStringLiteral("createEmptyDocumentDidFinishWithResult:error:"), {}))
        steps.append(step);
    if (!arguments.value(QStringLiteral("ACLEntries")).toList().isEmpty())
        if (auto step = makeStep(kShare, QStringLiteral("permissionDidFinishWithResult:error:"), {}))
            steps.append(step);
    const QVariant starred = arguments.value(QStringLiteral("isStarred"));
    if (DocumentActionSupport::isNumber(starred) && starred.toBool())
        if (auto step = makeStep(kStar, QStringLiteral("starredDidFinishWithResult:error:"), {}))
            steps.append(step);
    setOperations(steps);
}

void TQdmhCreateEmptyDocumentOperation::willStartOperation(const TQOperationPtr& operation)
{
    TQStepChainOperation::willStartOperation(operation);
    // The new record exists only once the first step is done.
    QVariantMap arguments = this->arguments();
    const ManagedObjectPtr created = createdDocument();
    if (operation->name() == kShare)
        arguments.insert(QStringLiteral("documentEntities"), QVariantList{QVariant::fromValue(created)});
    else if (operation->name() == kStar)
        arguments.insert(QStringLiteral("documentEntity"), QVariant::fromValue(created));
    setStepArguments(operation, arguments);
}

void TQdmhCreateEmptyDocumentOperation::keepDocument(const QVariant& result, const QVariant& error)
{
    stepDidAnswerKeepingRecord(result, error, m_createdDocument);
}

void TQdmhCreateEmptyDocumentOperation::createEmptyDocumentDidFinishWithResult(const QVariant& result,
                                                                               const QVariant& error)
{
    keepDocument(result, error);
}

void TQdmhCreateEmptyDocumentOperation::permissionDidFinishWithResult(const QVariant& result,
                                                                      const QVariant& error)
{
    const QVariantList shared = result.toList();
    keepDocument(shared.isEmpty() ? QVariant() : shared.last(), error);
}

void TQdmhCreateEmptyDocumentOperation::starredDidFinishWithResult(const QVariant& result,
                                                                   const QVariant& error)
{
    keepDocument(result, error);
}

} // namespace tavrel
