#include "platform/ui/DragBus.h"

#include "platform/runtime/NotificationCenter.h"

#include <QCoreApplication>
#include <QDrag>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMimeData>
#include <QPointer>

namespace tavrel {

namespace {
quint64 g_sequence = 0;
const QString kSequenceMimeType = QStringLiteral("application/x-tavrel-drag-sequence");

QByteArray stamped(const QJsonObject& payload)
{
    QJsonObject object = payload;
    object.insert(QStringLiteral("pid"), QCoreApplication::applicationPid());
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}

// The payload when it comes from this process; an empty object otherwise.
QJsonObject ownPayload(const QMimeData* data, const QString& pboardType)
{
    if (!data)
        return {};
    const QString type = DragBus::mimeType(pboardType);
    if (!data->hasFormat(type))
        return {};
    const QJsonObject object = QJsonDocument::fromJson(data->data(type)).object();
    if (object.value(QStringLiteral("pid")).toInteger(-1) != QCoreApplication::applicationPid())
        return {};
    return object;
}
} // namespace

QString DragBus::mimeType(const QString& pboardType)
{
    return QStringLiteral("application/x-tavrel-") + pboardType;
}

void DragBus::setFileItems(QMimeData* data, const QStringList& identifiers)
{
    data->setData(mimeType(kFileItemsPboardType),
                  stamped({{QStringLiteral("items"), QJsonArray::fromStringList(identifiers)}}));
}

QStringList DragBus::fileItems(const QMimeData* data)
{
    QStringList identifiers;
    for (const QJsonValue& value :
         ownPayload(data, kFileItemsPboardType).value(QStringLiteral("items")).toArray())
        identifiers.append(value.toString());
    return identifiers;
}

bool DragBus::hasFileItems(const QMimeData* data)
{
    return !fileItems(data).isEmpty();
}

void DragBus::setTrashedItems(QMimeData* data)
{
    data->setData(mimeType(kTrashedItemsPboardType), stamped({}));
}

bool DragBus::hasTrashedItems(const QMimeData* data)
{
    return !ownPayload(data, kTrashedItemsPboardType).isEmpty();
}

void DragBus::setFileURLs(QMimeData* data, const QList<QUrl>& urls)
{
    data->setUrls(urls);
}

QList<QUrl> DragBus::fileURLs(const QMimeData* data)
{
    QList<QUrl> files;
    if (data && data->hasUrls())
        for (const QUrl& url : data->urls())
            if (url.isLocalFile())
                files.append(url);
    return files;
}

QStringList DragBus::fileNames(const QMimeData* data)
{
    QStringList names;
    for (const QUrl& url : fileURLs(data))
        names.append(url.toLocalFile());
    return names;
}

quint64 DragBus::currentSequence()
{
    return g_sequence;
}

quint64 DragBus::sequence(const QMimeData* data)
{
    return data && data->hasFormat(kSequenceMimeType) ? data->data(kSequenceMimeType).toULongLong() : 0;
}

quint64 DragBus::postBegin(QObject* source, QMimeData* data)
{
    const quint64 sequence = ++g_sequence;
    if (data)
        data->setData(kSequenceMimeType, QByteArray::number(sequence));
    NotificationCenter::defaultCenter().post(kDragDidBeginNotification, source,
                                             {{kDragSequenceKey, sequence}});
    return sequence;
}

void DragBus::postEnd(QObject* source, quint64 sequence, Qt::DropAction action)
{
    const QVariantMap info{{kDragSequenceKey, sequence}, {kDropActionKey, int(action)}};
    NotificationCenter::defaultCenter().post(kDragDidEndNotification, source, info);
    if (action == Qt::IgnoreAction)
        NotificationCenter::defaultCenter().post(kDragDidCancelNotification, source, info);
}

Qt::DropAction DragBus::exec(QDrag* drag, Qt::DropActions supportedActions, Qt::DropAction defaultAction)
{
    QPointer<QObject> source = drag->source();
    const quint64 sequence = postBegin(source, drag->mimeData());
    const Qt::DropAction action = drag->exec(supportedActions, defaultAction);
    postEnd(source, sequence, action);
    return action;
}

} // namespace tavrel
