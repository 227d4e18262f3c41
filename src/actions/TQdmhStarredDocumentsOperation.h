#pragma once

#include "actions/TQStepChainOperation.h"

namespace tavrel {

// "StarredDocuments": stars or unstars "documentEntities" ("isStarred") with one batch request
// ("StarredDocumentsHandler"), then re-reads them ("FetchDocuments"). The requester receives the
// refreshed records, or the error of the step that failed (a failed batch skips the re-read).
class TQdmhStarredDocumentsOperation : public TQStepChainOperation
{
    Q_OBJECT
public:
    QVariant results() const;

    void setup() override;

    Q_INVOKABLE void starredDocumentsDidFinishWithResult(const QVariant& result, const QVariant& error);
    Q_INVOKABLE void fetchDocumentsDidFinishWithResult(const QVariant& result, const QVariant& error);

protected:
    QVariant resultForCaller() const override { return results(); }

private:
    QVariant m_results;
};

} // namespace tavrel
