#pragma once

#include "actions/TQEachDocumentOperation.h"

namespace tavrel {

// "UnassignCollections": "UnassignCollection" for each of "documentEntities" out of "collectionEntity".
class TQdmhUnassignCollectionsOperation : public TQEachDocumentOperation
{
    Q_OBJECT
public:
    Q_INVOKABLE void unassignCollectionDidFinishWithResult(const QVariant& result, const QVariant& error);

protected:
    QString stepAction() const override { return QStringLiteral("UnassignCollection"); }
    QString stepSelector() const override
    {
        return QStringLiteral("unassignCollectionDidFinishWithResult:error:");
    }
    QVariantMap extraArguments(const QVariantMap& arguments) const override;
};

} // namespace tavrel
