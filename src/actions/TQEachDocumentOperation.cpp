#include "actions/TQEachDocumentOperation.h"

#include "actions/DocumentActionSupport.h"

namespace tavrel {

QVariantList TQEachDocumentOperation::results() const
{
    std::lock_guard lock(m_stateMutex);
    return m_results;
}

void TQEachDocumentOperation::setup()
{
    QList<TQOperationPtr> steps;
    for (const QVariantMap& arguments : stepArgumentsList(this->arguments()))
        if (auto step = makeStep(stepAction(), stepSelector(), arguments))
            steps.append(step);
    setOperations(steps);
}

QList<QVariantMap> TQEachDocumentOperation::stepArgumentsList(const QVariantMap& arguments) const
{
    QList<QVariantMap> list;
    const QVariantMap extra = extraArguments(arguments);
    for (const QVariant& record : arguments.value(QStringLiteral("documentEntities")).toList()) {
        QVariantMap step = extra;
        step.insert(QStringLiteral("documentEntity"), record);
        list.append(step);
    }
    return list;
}

QVariantMap TQEachDocumentOperation::extraArguments(const QVariantMap& arguments) const
{
    Q_UNUSED(arguments);
    return {};
}

void TQEachDocumentOperation::collectResult(const QVariant& result, const QVariant& error)
{
    if (!DocumentActionSupport::isError(error)) {
        QVariant record = result;
        if (result.metaType() == QMetaType::fromType<QVariantMap>())
            record = result.toMap().value(QStringLiteral("documentEntity"));
        if (DocumentActionSupport::documentFrom(record)) {
            std::lock_guard lock(m_stateMutex);
            m_results.append(record);
        }
    }
    stepDidAnswer(error);
}

} // namespace tavrel
