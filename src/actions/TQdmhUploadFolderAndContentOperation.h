#pragma once

#include "actions/TQTransferAggregateOperation.h"
#include "actions/TransferProgress.h"
#include "platform/store/ManagedObject.h"

namespace tavrel {

// "UploadFolderAndContent": a local folder ("folderURL") as a new collection of the same name
// ("CreateEmptyDocument" of type "folder", inside "collectionEntity" when given), then its direct entries
// into that collection: files by "UploadFile", folders by this action again. Entries whose names begin
// with "." are never uploaded, at any depth. The byte progress of the entries goes to the request's
// consumer as this folder's running totals. The requester receives the new collection and the first
// error; a folder that does not exist (or is no folder) is an error.
class TQdmhUploadFolderAndContentOperation : public TQTransferAggregateOperation
{
    Q_OBJECT
public:
    void setup() override;
    void willStartOperation(const TQOperationPtr& operation) override;
    void didFinishOperation(const TQOperationPtr& operation) override;
    void allSuboperationsDidFinish() override;

    Q_INVOKABLE void actionWillStart(const QString& action, const QVariantMap& arguments);
    Q_INVOKABLE void actionDidFinish(const QString& action, const QVariantMap& arguments);
    Q_INVOKABLE void actionDidProgress(const QString& progressID, const QVariantMap& arguments, quint64 part,
                                       quint64 total);

private:
    TQOperationPtr m_create;
    ManagedObjectPtr m_createdFolder;
    Error m_missing;
    TransferProgress m_progress;
};

} // namespace tavrel
