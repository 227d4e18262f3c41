#pragma once

#include "model/IMail.h"
#include "platform/gdata/GDataEntryBase.h"
#include "platform/runtime/Error.h"
#include "platform/store/ManagedObject.h"

#include <QPointer>
#include <QUrl>
#include <QVariant>
#include <memory>

namespace tavrel {

class TQMOCMaster;

// The one writer of service results into the account's master context. Each method runs its change on
// the main thread, the caller waiting until it is done, and saves the master context once, so that the
// views show the change when the caller goes on. Called from worker threads (from the main thread the
// change runs in place). Arguments of other classes than a method expects are skipped; records from
// another thread's context are looked up again in the master context by object id.
//
// Lists may be given as QVariantList (entries as GDataEntryPtr or GDataObjectPtr, records as
// ManagedObjectPtr) or typed.
class TQMOCMasterUpdater
{
public:
    explicit TQMOCMasterUpdater(TQMOCMaster* masterMOC);
    // Nothing for no context.
    static std::unique_ptr<TQMOCMasterUpdater> mocMasterUpdaterWithMasterMOC(TQMOCMaster* masterMOC);

    TQMOCMaster* masterMOC() const { return m_masterMOC; }

    // A document or collection entry: the record of its resource identifier is filled in place, or a
    // new File (Category for a collection) is inserted and filled.
    void documentCreated(const GDataEntryPtr& entry);
    void documentCreated(const QVariant& entry);
    // Fills the records of the entries' resource identifiers; entries without a record are skipped.
    void documentsUpdated(const QList<GDataEntryPtr>& entries);
    void documentsUpdated(const QVariantList& entries);
    // Deletes the records named by the entries' service identifiers (not their resource identifiers).
    void documentsDeleted(const QList<GDataEntryPtr>& entries);
    void documentsDeleted(const QVariantList& entries);
    // Marks documents viewed (isViewed := flag) and, since a viewed document is no longer new,
    // isNew := !flag.
    void documents(const QList<ManagedObjectPtr>& records, bool isViewed);
    void documents(const QVariantList& records, bool isViewed);
    // The download of a File's copy ended (a null error for success).
    void documentDownloadedFileAtURL(const ManagedObjectPtr& record, const QUrl& url, const Error& error);
    // A File's thumbnail was generated. error: an Error, nothing, or the null object (success).
    void documentPreviewGeneratedAtURL(const ManagedObjectPtr& record, const QUrl& url,
                                       const QVariant& error);

    // A contact entry: the first contact owning one of its addresses, or a new one, is filled.
    void contactCreated(const GDataEntryPtr& entry);
    void contactCreated(const QVariant& entry);
    // The contact of the entry's service identifier is filled; without one nothing happens.
    void contactUpdated(const GDataEntryPtr& entry);
    void contactUpdated(const QVariant& entry);
    void contactsDeleted(const QList<ManagedObjectPtr>& records);
    void contactsDeleted(const QVariantList& records);
    // The download of a Contact's photo ended (a null error for success).
    void contact(const ManagedObjectPtr& record, const QUrl& url, const Error& error);

    // The Mail of the value's address, found or created, takes the value's four fields.
    void mailCreated(const std::shared_ptr<IMail>& mail);
    // Maps with "mailEntity" (a mail value: std::shared_ptr<MailAdapter> or <IMail>) and optionally
    // "mailAddress" (the address before the change, looked up instead). Nothing is created.
    void mailsUpdated(const QVariantList& items);
    // Hides the mails of the addresses (visible := NO); the records stay.
    void mailsDeleted(const QStringList& addresses);

private:
    // Runs the change on the main thread, then saves the master context once.
    void perform(const std::function<void(TQMOCMaster*)>& change) const;

    QPointer<TQMOCMaster> m_masterMOC;
};

} // namespace tavrel
