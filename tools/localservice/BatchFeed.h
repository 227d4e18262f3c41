#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <pugixml.hpp>

namespace tavrel::localservice {

// Batch feeds of documents, access lists and contacts: reading the request, writing the answer's parts.
class BatchFeed
{
public:
    struct Item
    {
        pugi::xml_node entry;
        QString batchId;
        QString operation;
    };

    // Reads a batch feed into `doc`; answers false when the body is not one.
    static bool read(const QByteArray& body, pugi::xml_document& doc, QList<Item>& items);
    static bool isOperation(const QString& operation); // insert, update, delete or query

    static QByteArray head(const QByteArray& id); // the answer's <feed> start
    // batch:id, batch:status and batch:operation of an answer entry.
    static QByteArray tail(const QString& id, int code, const QString& reason, const QString& operation);
    // A whole answer entry for a failed item.
    static QByteArray error(const QString& entryId, const QString& title, int code, const QString& reason,
                            const QString& content, const QString& batchId, const QString& operation);
    static QByteArray interrupted(const QString& reason, int success, int failures, int parsed);
    static QString reasonFor(int code); // "Success", "Not Found", ...
};

} // namespace tavrel::localservice
