#pragma once

#include "actions/TQTransferAggregateOperation.h"
#include "actions/TransferProgress.h"

#include <QUrl>

namespace tavrel {

// "CreateFolderAndGetContent": a collection ("documentEntity") as a local folder named after its title
// (made safe as a file name) inside "rootFolderURL", or inside a new unique temporary folder, holding a
// copy of each of its documents ("GetFile") and, the same way, a folder for each sub-collection. Names
// never leave the folder and never replace a file already there: a second document of the same name
// arrives as "name (2).ext". The result (set before any download) is the arguments without
// "rootFolderURL" plus "fileURL" = the folder; the error is the failing download's, which stops the rest.
// A sub-collection that is one of its own ancestors (the service's tree holds a cycle) is not followed,
// nor is one deeper than kMaximumDepth below the first.
class TQdmhCreateFolderAndGetContentOperation : public TQTransferAggregateOperation
{
    Q_OBJECT
public:
    static constexpr int kMaximumDepth = 32;
    // The resource ids of the collections above a step's own, handed to each sub-collection's step.
    static inline const QString kAncestorsKey = QStringLiteral("TQCollectionAncestors");

    void setup() override;
    void willStartOperation(const TQOperationPtr& operation) override;
    void didFinishOperation(const TQOperationPtr& operation) override;
    void allSuboperationsDidFinish() override;

    Q_INVOKABLE void actionWillStart(const QString& action, const QVariantMap& arguments);
    Q_INVOKABLE void actionDidFinish(const QString& action, const QVariantMap& arguments);
    Q_INVOKABLE void actionDidProgress(const QString& progressID, const QVariantMap& arguments, quint64 part,
                                       quint64 total);

private:
    QString m_rootFolder;
    QVariant m_result;
    Error m_setupError;
    TransferProgress m_progress;
};

} // namespace tavrel
