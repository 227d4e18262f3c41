#pragma once

#include <QString>

namespace tavrel {

// The application's folders and per-account files. Nothing is created here. Every method answers
// nothing for no user name. An account's folder is named after its address (folderNameForUsername).
class TQPlaces
{
public:
    // The name of an account's folder: an ordinary address as it is (so stores already made are found
    // where they are); any other ("." or "..", holding '/', NUL or control characters, longer than
    // kMaximumPlainNameBytes, or beginning with '%') as '%', a readable start of it and a digest of the
    // whole address, which no ordinary address can be and no two addresses share. Null for no address.
    static QString folderNameForUsername(const QString& username);
    static constexpr qsizetype kMaximumPlainNameBytes = 200;

    // <data>/Tavrel
    static QString tavrelApplicationSupportDirectory();
    // <data>/Tavrel/<folder of the account's e-mail>
    static QString tavrelSupportDirectoryForUsername(const QString& username);
    // <data>/Tavrel/<account e-mail>/data.storedata
    static QString tavrelPeristentStoreCoordinatorForUsername(const QString& username);
    // <data>/Tavrel/<account e-mail>/cache
    static QString tavrelCacheDirectoryForUsername(const QString& username);
};

} // namespace tavrel
