#pragma once

#include "model/FileEntryAbstract.h"
#include "model/TQACLEntry.h"
#include "platform/gdata/GDataEntryDocBase.h"
#include "platform/runtime/Error.h"

#include <QUrl>
#include <QVariantMap>

namespace tavrel {

class TQMOCMaster;
class TQSessionProtocol;
class VUvodozuHandler;

// What the document actions share: reading records and errors out of parameters and answers, the
// document list's batch address, and applying an answered entry to the store.
class DocumentActionSupport
{
public:
    // An error value that holds an error (not nil, not the null object).
    static bool isError(const QVariant& value);
    static Error errorFrom(const QVariant& value);
    static QVariant errorValue(const Error& error);
    // {"feed": feed, "error": error}, absent values as the null object.
    static QVariantMap answer(const QVariant& feed, const Error& error);
    static QVariantMap answer(const QVariant& feed, const QVariant& error);

    // A number or a boolean, as flags are given.
    static bool isNumber(const QVariant& value);

    // The document or collection record inside a value, or nothing.
    static std::shared_ptr<FileEntryAbstract> documentFrom(const QVariant& value);
    // The entry inside a result's "feed", or nothing.
    static GDataEntryDocPtr documentEntryFrom(const QVariant& value);

    // The people of "ACLEntries": a list of TQACLEntry values (or shared pointers to them); `ok` tells
    // whether the value was a list at all.
    static QList<TQACLEntry> aclEntriesFrom(const QVariant& value, bool* ok = nullptr);

    // The master's record of the entry's resource identifier, looked up on the main thread.
    static ManagedObjectPtr masterRecordForEntry(TQMOCMaster* master, const GDataEntryDocPtr& entry);
    // Applies a successful answer's entry to the master context (as a new item when `created`) and
    // answers its master record; an answer with an error passes unchanged. An entry whose record is not
    // in the store afterwards is a 703: the service did the change, but there is nothing to show.
    static QVariantMap answerWithStoredEntry(const VUvodozuHandler& handler, const QVariantMap& result,
                                             bool created = false);

    // The batch address of the account's document list, read from the calling thread's context; empty
    // without a document list record or without its batch link.
    static QUrl batchURL(TQSessionProtocol* session);
    // What a batch query to `batchURL` names an entry by: its own (self) address, as the service reads
    // queries. An entry without that link (a batch's answer) is named by its place in the batch's feed:
    // the feed's address and the last part of its identifier.
    static QString batchQueryAddress(const GDataEntryBase& entry, const QUrl& batchURL);
    // The signed-in account's address; empty without an authentication.
    static QString userName(TQSessionProtocol* session);
};

} // namespace tavrel
