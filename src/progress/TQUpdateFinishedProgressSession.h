#pragma once

#include "progress/TQProgressSession.h"

namespace tavrel {

// The message shown for a moment after a synchronisation: "updated at" the time it is read.
class TQUpdateFinishedProgressSession : public TQProgressSession
{
    Q_OBJECT

public:
    QString humanReadableName() const override;
    bool isStatic() const override { return true; }
};

} // namespace tavrel
