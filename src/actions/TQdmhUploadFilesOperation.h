#pragma once

#include "actions/TQTransferAggregateOperation.h"
#include "actions/TransferProgress.h"

namespace tavrel {

// "UploadFiles": a list of local files and folders ("fileURLs") into one collection ("collectionEntity")
// or the root, one after another: a file by "UploadFile", a folder by "UploadFolderAndContent" (a new
// collection of the same name with its content, hidden entries left out). Every other parameter goes on
// to each item. The request's consumer hears one byte progress for the whole request under its
// "progressID". The requester receives the records uploaded, in item order, and the first error: a
// failing item stops the items after it; a listed item that no longer exists is reported, the others
// are uploaded.
class TQdmhUploadFilesOperation : public TQTransferAggregateOperation
{
    Q_OBJECT
public:
    void setup() override;
    void willStartOperation(const TQOperationPtr& operation) override;
    void didFinishOperation(const TQOperationPtr& operation) override;
    void allSuboperationsDidFinish() override;

    // As the consumer of its items' progress.
    Q_INVOKABLE void actionWillStart(const QString& action, const QVariantMap& arguments);
    Q_INVOKABLE void actionDidFinish(const QString& action, const QVariantMap& arguments);
    Q_INVOKABLE void actionDidProgress(const QString& progressID, const QVariantMap& arguments, quint64 part,
                                       quint64 total);

private:
    QVariantList m_results;
    Error m_missing;
    TransferProgress m_progress;
    bool m_progressStarted = false;
};

} // namespace tavrel
