#pragma once

#include <QVariant>

namespace tavrel {

// The desktop notifications that report a finished request of the window ("TQActionDidFinishNotification"),
// each with an identifier no other notification of the process has.
class ActionNotifications
{
public:
    // The records of an action's result (a list, or one record), in order; records only.
    static QVariantList records(const QVariant& result);
    // The title of a record in a QVariant; empty for anything else.
    static QString titleOf(const QVariant& record);
    // "title" for one item, else the "ManyItems" format with the count.
    static QString titleForCount(const QString& singleTitle, qsizetype count);
    static void post(const QString& title, const QString& message);
    // Uploaded records: nothing for none.
    static void postUpload(const QVariantList& records);
};

} // namespace tavrel
