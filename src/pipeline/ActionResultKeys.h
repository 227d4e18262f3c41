#pragma once

#include <QString>

namespace tavrel {

// The keys of the result dictionary that an action's answer travels in, from the service side through
// the store side to the requester.
inline const QString kFeedKey = QStringLiteral("feed");
inline const QString kErrorKey = QStringLiteral("error");

} // namespace tavrel
