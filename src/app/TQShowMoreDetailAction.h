#pragma once

#include "platform/runtime/Error.h"

#include <QString>

namespace tavrel {

// The banner's "moreDetail" action: opens the error details window for the error it holds.
class TQShowMoreDetailAction
{
public:
    static inline const QString kName = QStringLiteral("moreDetail");

    QString name() const { return kName; }
    const Error& error() const { return m_error; }
    void setError(const Error& error) { m_error = error; }

    void execute() const;

private:
    Error m_error;
};

} // namespace tavrel
