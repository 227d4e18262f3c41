#pragma once

#include "actions/TQUntrashAndThenOperation.h"

namespace tavrel {

// "UntrashAndShareDocuments": restores "documentEntities", then shares them with "ACLEntries"
// ("SetPermissions").
class TQdmhUntrashAndShareDocumentsOperation : public TQUntrashAndThenOperation
{
    Q_OBJECT

protected:
    QString secondAction() const override { return QStringLiteral("SetPermissions"); }
    bool secondStepTakesRestored() const override { return false; }
};

} // namespace tavrel
