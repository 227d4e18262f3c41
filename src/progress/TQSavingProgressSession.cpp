#include "progress/TQSavingProgressSession.h"

#include "platform/system/TQLog.h"

namespace tavrel {

namespace {
// Records come as objects with a "title" property or as plain maps with a "title"; values of any
// other kind (record pointers) are read through their conversion to text.
QString titleOf(const QVariant& record)
{
    if (QObject* object = record.value<QObject*>())
        return object->property("title").toString();
    if (record.metaType() == QMetaType::fromType<QVariantMap>())
        return record.toMap().value(QStringLiteral("title")).toString();
    return record.toString();
}

} // namespace

void TQSavingProgressSession::actionsDidChange()
{
    // The same record named by several actions counts once (pointers compare by the object).
    QVariantList records;
    for (const TQProgressActionPtr& action : allActions()) {
        for (const QVariant& record :
             action->arguments().value(QStringLiteral("documentEntities")).toList()) {
            if (!records.contains(record))
                records.append(record);
        }
    }
    if (records.size() == 1) {
        setHumanReadableName(detail::formatLogMessage(
            localizedString(QStringLiteral("SavingOne")).toUtf8().constData(), {titleOf(records.first())}));
    } else {
        setHumanReadableName(
            detail::formatLogMessage(localizedString(QStringLiteral("SavingMany")).toUtf8().constData(),
                                     {QString::number(records.size())}));
    }
}

} // namespace tavrel
