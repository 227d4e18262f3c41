#pragma once

#include <QString>

namespace tavrel {

// User texts by key from the application's default strings table ("Localizable"). A key without a
// translation answers the built-in English text, or the key itself when there is none.
class TQLocalizedStrings
{
public:
    static QString localizedStringForKey(const QString& key);
};

} // namespace tavrel
