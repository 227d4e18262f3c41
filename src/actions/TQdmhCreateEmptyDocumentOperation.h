#pragma once

#include "actions/TQStepChainOperation.h"
#include "platform/store/ManagedObject.h"

namespace tavrel {

// "CreateEmptyDocument": creates the item ("CreateEmptyDocumentHandler"), shares it when "ACLEntries"
// are given ("SetPermissions") and stars it when "isStarred" is YES ("Starred"). Each later step gets
// the record the one before delivered; the requester receives the last record and the first error.
class TQdmhCreateEmptyDocumentOperation : public TQStepChainOperation
{
    Q_OBJECT
public:
    ManagedObjectPtr createdDocument() const;

    void setup() override;
    void willStartOperation(const TQOperationPtr& operation) override;

    Q_INVOKABLE void createEmptyDocumentDidFinishWithResult(const QVariant& result, const QVariant& error);
    Q_INVOKABLE void permissionDidFinishWithResult(const QVariant& result, const QVariant& error);
    Q_INVOKABLE void starredDidFinishWithResult(const QVariant& result, const QVariant& error);

protected:
    QVariant resultForCaller() const override;

private:
    void keepDocument(const QVariant& result, const QVariant& error);
    ManagedObjectPtr m_createdDocument;
};

} // namespace tavrel
