#pragma once

#include "actions/TQStepChainOperation.h"

namespace tavrel {

// A step-chaining operation that runs one action per document, in order: the first failure cancels
// the documents after it, those before it stay done. The requester receives the records the steps
// delivered (in the order of the documents) and the error.
class TQEachDocumentOperation : public TQStepChainOperation
{
    Q_OBJECT
public:
    QVariantList results() const;

    void setup() override;

protected:
    virtual QString stepAction() const = 0;
    virtual QString stepSelector() const = 0;
    // The arguments of every step, in order; by default {"documentEntity": record} plus
    // extraArguments() for each record of "documentEntities".
    virtual QList<QVariantMap> stepArgumentsList(const QVariantMap& arguments) const;
    virtual QVariantMap extraArguments(const QVariantMap& arguments) const;
    // A step's answer: a document record (or a dictionary holding one as "documentEntity") is kept
    // when there is no error.
    void collectResult(const QVariant& result, const QVariant& error);
    QVariant resultForCaller() const override { return results(); }

private:
    QVariantList m_results;
};

} // namespace tavrel
