#pragma once

#include "actions/dmhTrashDocumentsHandler.h"

namespace tavrel {

// "DeleteDocuments", store side: "documentEntities" (an array, possibly empty) are deleted for good in
// one batch; the entries the service deleted leave the store, also when others failed (704).
class dmhDeleteDocuments : public dmhTrashDocumentsHandler
{
    Q_OBJECT
public:
    Q_INVOKABLE QVariantMap defaultCallbackForParams(const QVariantMap& result) override;

protected:
    QString serviceAction() const override { return QStringLiteral("DeleteDocuments"); }
    bool refusesEmptyList() const override { return false; }
};

} // namespace tavrel
