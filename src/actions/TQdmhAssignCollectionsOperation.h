#pragma once

#include "actions/TQEachDocumentOperation.h"

namespace tavrel {

// "AssignCollections": "AssignCollection" for each of "documentEntities" into "collectionEntity".
class TQdmhAssignCollectionsOperation : public TQEachDocumentOperation
{
    Q_OBJECT
public:
    Q_INVOKABLE void assignCollectionDidFinishWithResult(const QVariant& result, const QVariant& error);

protected:
    QString stepAction() const override { return QStringLiteral("AssignCollection"); }
    QString stepSelector() const override
    {
        return QStringLiteral("assignCollectionDidFinishWithResult:error:");
    }
    QVariantMap extraArguments(const QVariantMap& arguments) const override;
};

} // namespace tavrel
