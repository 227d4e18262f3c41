#include "BatchFeed.h"

#include "AtomText.h"
#include "Response.h"

#include <QDateTime>
#include <QStringList>

namespace tavrel::localservice {

namespace {
using A = AtomText;
} // namespace

bool BatchFeed::read(const QByteArray& body, pugi::xml_document& doc, QList<Item>& items)
{
    if (!doc.load_buffer(body.constData(), size_t(body.size())))
        return false;
    pugi::xml_node feed = doc.document_element();
    if (!A::is(feed, A::kAtom, "feed"))
        return false;
    QString defaultOp;
    if (pugi::xml_node op = A::child(feed, A::kBatch, "operation"))
        defaultOp = QString::fromUtf8(op.attribute("type").value());
    for (pugi::xml_node c = feed.first_child(); c; c = c.next_sibling()) {
        if (!A::is(c, A::kAtom, "entry"))
            continue;
        Item item;
        item.entry = c;
        item.batchId = A::text(c, A::kBatch, "id");
        pugi::xml_node op = A::child(c, A::kBatch, "operation");
        item.operation = op ? QString::fromUtf8(op.attribute("type").value()) : defaultOp;
        items.append(item);
    }
    return true;
}

bool BatchFeed::isOperation(const QString& operation)
{
    static const QStringList operations = {QStringLiteral("insert"), QStringLiteral("update"),
                                           QStringLiteral("delete"), QStringLiteral("query")};
    return operations.contains(operation);
}

QByteArray BatchFeed::head(const QByteArray& id)
{
    QByteArray out = Response::kXmlHeader;
    out += "<feed" + AtomText::namespaces() + "><id>" + A::escape(id) + "</id><updated>" +
           A::isoBytes(QDateTime::currentDateTimeUtc()) + "</updated><title>Batch operation feed</title>";
    return out;
}

QByteArray BatchFeed::tail(const QString& id, int code, const QString& reason, const QString& operation)
{
    QByteArray out;
    if (!id.isNull())
        out += "<batch:id>" + A::escape(id) + "</batch:id>";
    out += "<batch:status code='" + QByteArray::number(code) + "' reason='" + A::escape(reason) + "'/>";
    out += "<batch:operation type='" + A::escape(operation) + "'/>";
    return out;
}

QByteArray BatchFeed::error(const QString& entryId, const QString& title, int code, const QString& reason,
                            const QString& content, const QString& batchId, const QString& operation)
{
    QByteArray out = "<entry><id>" + A::escape(entryId) + "</id><updated>" +
                     A::isoBytes(QDateTime::currentDateTimeUtc()) + "</updated><title>" + A::escape(title) +
                     "</title><content>" + A::escape(content) + "</content>";
    out += tail(batchId, code, reason, operation);
    out += "</entry>";
    return out;
}

QByteArray BatchFeed::interrupted(const QString& reason, int success, int failures, int parsed)
{
    return "<batch:interrupted reason='" + A::escape(reason) + "' success='" + QByteArray::number(success) +
           "' failures='" + QByteArray::number(failures) + "' parsed='" + QByteArray::number(parsed) + "'/>";
}

QString BatchFeed::reasonFor(int code)
{
    switch (code) {
    case 200:
        return QStringLiteral("Success");
    case 201:
        return QStringLiteral("Created");
    case 400:
        return QStringLiteral("Bad Request");
    case 403:
        return QStringLiteral("Forbidden");
    case 404:
        return QStringLiteral("Not Found");
    case 409:
        return QStringLiteral("Conflict");
    case 412:
        return QStringLiteral("Precondition Failed");
    default:
        return QStringLiteral("Error");
    }
}

} // namespace tavrel::localservice
