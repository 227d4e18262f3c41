#pragma once

#include "actions/TQEachDocumentOperation.h"

namespace tavrel {

// "UntrashDocuments": "UntrashDocument" for each of "documentEntities"; the requester receives the
// restored records.
class TQdmhUntrashDocumentsOperation : public TQEachDocumentOperation
{
    Q_OBJECT
public:
    Q_INVOKABLE void untrashDocumentDidFinishWithResult(const QVariant& result, const QVariant& error);

protected:
    QString stepAction() const override { return QStringLiteral("UntrashDocument"); }
    QString stepSelector() const override
    {
        return QStringLiteral("untrashDocumentDidFinishWithResult:error:");
    }
    QVariantMap extraArguments(const QVariantMap& arguments) const override;
};

} // namespace tavrel
