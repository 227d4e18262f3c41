#include "session/TQSavingProgressSession.h"

#include "model/TQLog.h"

#include <QSet>

namespace tavrel {

namespace {
// Records come as objects with a "title" property; plain maps with a "title" and values of any
// other kind are read as their text.
QString titleOf(const QVariant& record)
{
    if (QObject* object = record.value<QObject*>())
        return object->property("title").toString();
    if (record.metaType() == QMetaType::fromType<QVariantMap>())
        return record.toMap().value(QStringLiteral("title")).toString();
    return record.toString();
}

QString identityOf(const QVariant& record)
{
    if (QObject* object = record.value<QObject*>())
        return QStringLiteral("object:%1").arg(quintptr(object));
    if (record.metaType() == QMetaType::fromType<QVariantMap>()) {
        const QVariantMap map = record.toMap();
        const QString identifier = map.value(QStringLiteral("identifier")).toString();
        return QStringLiteral("map:") +
               (identifier.isEmpty() ? map.value(QStringLiteral("title")).toString() : identifier);
    }
    return QStringLiteral("value:") + record.toString();
}
} // namespace

void TQSavingProgressSession::actionsDidChange()
{
    QSet<QString> seen;
    QString onlyTitle;
    for (const TQProgressActionPtr& action : allActions()) {
        for (const QVariant& record :
             action->arguments().value(QStringLiteral("documentEntities")).toList()) {
            const QString identity = identityOf(record);
            if (!seen.contains(identity)) {
                seen.insert(identity);
                onlyTitle = titleOf(record);
            }
        }
    }
    if (seen.size() == 1) {
        setHumanReadableName(detail::formatLogMessage(
            localizedString(QStringLiteral("SavingOne")).toUtf8().constData(), {onlyTitle}));
    } else {
        setHumanReadableName(
            detail::formatLogMessage(localizedString(QStringLiteral("SavingMany")).toUtf8().constData(),
                                     {QString::number(seen.size())}));
    }
}

} // namespace tavrel
