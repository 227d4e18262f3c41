#pragma once

#include <QString>

namespace tavrel {

// The application's folders and per-account files. Nothing is created here. Every method answers
// nothing for no user name, and for a name that could leave the application folder ("", ".", "..",
// or one holding "/").
class TQPlaces
{
public:
    // <data>/Tavrel
    static QString tavrelApplicationSupportDirectory();
    // <data>/Tavrel/<account e-mail>
    static QString tavrelSupportDirectoryForUsername(const QString& username);
    // <data>/Tavrel/<account e-mail>/data.storedata
    static QString tavrelPeristentStoreCoordinatorForUsername(const QString& username);
    // <data>/Tavrel/<account e-mail>/cache
    static QString tavrelCacheDirectoryForUsername(const QString& username);
};

} // namespace tavrel
