#pragma once

#include "actions/dmhTrashDocument.h"

namespace tavrel {

// "UntrashDocument", store side: brings "documentEntity" back from the trash and answers its record.
class dmhUntrashDocument : public dmhTrashDocument
{
    Q_OBJECT

protected:
    QString serviceAction() const override { return QStringLiteral("UntrashDocument"); }
};

} // namespace tavrel
