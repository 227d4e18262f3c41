#pragma once

#include "actions/TQUntrashAndThenOperation.h"

namespace tavrel {

// "UntrashAndStarDocuments": restores "documentEntities", then stars or unstars the restored records
// ("StarredDocuments" with "isStarred").
class TQdmhUntrashAndStarDocumentsOperation : public TQUntrashAndThenOperation
{
    Q_OBJECT

protected:
    QString secondAction() const override { return QStringLiteral("StarredDocuments"); }
    bool secondStepTakesRestored() const override { return true; }
};

} // namespace tavrel
