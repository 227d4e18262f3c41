#include "actions/dmhCreateEmptyDocumentHandler.h"

#include "actions/DocumentActionSupport.h"
#include "platform/runtime/ClassRegistry.h"

namespace tavrel {

TAVREL_REGISTER_CLASS(dmhCreateEmptyDocumentHandler)

namespace {

const QMap<QString, QString>& defaultTitles()
{
    static const QMap<QString, QString> titles = {
        {QStringLiteral("document"), QStringLiteral("Untitled Document")},
        {QStringLiteral("spreadsheet"), QStringLiteral("Untitled Spreadsheet")},
        {QStringLiteral("presentation"), QStringLiteral("Untitled Presentation")},
        {QStringLiteral("drawing"), QStringLiteral("Untitled Drawing")},
        {QStringLiteral("folder"), QStringLiteral("Untitled Folder")},
    };
    return titles;
}

} // namespace

void dmhCreateEmptyDocumentHandler::executeActionAndCall(const InvocationPtr& invocation,
                                                         const QVariantMap& parameters)
{
    const QVariant type = parameters.value(QStringLiteral("type"));
    const QVariant trashed = parameters.value(QStringLiteral("isTrashed"));
    if (type.metaType() != QMetaType::fromType<QString>() || !defaultTitles().contains(type.toString()) ||
        (trashed.isValid() && !DocumentActionSupport::isNumber(trashed))) {
        callExternalInvocation(invocation, QVariant(), missingParameterError());
        return;
    }
    QVariantMap forwarded = parameters;
    if (forwarded.value(QStringLiteral("newName")).toString().isEmpty())
        forwarded.insert(QStringLiteral("newName"), defaultTitles().value(type.toString()));
    forwardAction(QStringLiteral("CreateEmptyDocument"), invocation, forwarded);
}

QVariantMap dmhCreateEmptyDocumentHandler::defaultCallbackForParams(const QVariantMap& result)
{
    return DocumentActionSupport::answerWithStoredEntry(*this, result, true);
}

} // namespace tavrel
