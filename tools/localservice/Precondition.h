#pragma once

#include "Response.h"

#include <QString>
#include <optional>

namespace tavrel::localservice {

// Conditional writes: the ETag a client sends against the one the item has now.
class Precondition
{
public:
    static bool matches(const QString& sent, const QString& current)
    {
        return sent == QLatin1String("*") || sent == current;
    }
    // The text of a 412, as the real service words it.
    static QString mismatchText(const QString& sent, quint64 version);
    // The answer to a conditional write: 403 when a required tag is missing, 412 when the tag sent is
    // stale; nothing when the write may go on.
    static std::optional<Response> refused(const QString& sent, const QString& current, quint64 version,
                                           bool required);
};

} // namespace tavrel::localservice
