#pragma once

#include "actions/TQTransferAggregateOperation.h"
#include "actions/TransferProgress.h"

namespace tavrel {

// "GetFiles": local copies of several documents ("documentEntities"), one "GetFile" after another; every
// other parameter goes on to each. The request's consumer hears one byte progress for them all under its
// "progressID" (expected sizes from the records' quotaBytesUsed). Heavy. The requester receives the
// results of the downloads that succeeded, in order, and the error of the one that failed (which stops
// the rest).
class TQdmhGetFilesOperation : public TQTransferAggregateOperation
{
    Q_OBJECT
public:
    TQdmhGetFilesOperation();

    void setup() override;
    void willStartOperation(const TQOperationPtr& operation) override;
    void didFinishOperation(const TQOperationPtr& operation) override;
    void allSuboperationsDidFinish() override;

    Q_INVOKABLE void actionWillStart(const QString& action, const QVariantMap& arguments);
    Q_INVOKABLE void actionDidFinish(const QString& action, const QVariantMap& arguments);
    Q_INVOKABLE void actionDidProgress(const QString& progressID, const QVariantMap& arguments, quint64 part,
                                       quint64 total);

private:
    QVariantList m_results;
    TransferProgress m_progress;
    bool m_progressStarted = false;
};

} // namespace tavrel
