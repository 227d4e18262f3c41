#pragma once

#include "pipeline/TQHandlerOperation.h"

namespace tavrel {

// A handler operation for long transfers: always heavy, so it waits until its work is finished or
// cancelled.
class TQBackgroundHandlerOperation : public TQHandlerOperation
{
    Q_OBJECT
public:
    static inline const QString kClassName = QStringLiteral("TQBackgroundHandlerOperation");
    static constexpr Timing kBackgroundOperationTimeout{"backgroundOperationTimeout", 600000};

    TQBackgroundHandlerOperation() = default;
    bool isHeavy() const override { return true; }

protected:
    double defaultTimeout() const override { return kBackgroundOperationTimeout.seconds(); }
};

} // namespace tavrel
