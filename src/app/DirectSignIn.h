#pragma once

#include <QUrl>
#include <functional>

namespace tavrel {

// Follows the sign-in page without a browser: the program asks for the authorization page itself and
// follows its redirect back to its own loopback listener. Only for a service on this machine (the
// local service approves its demo account at once); anything else is refused and logged.
class DirectSignIn
{
public:
    static std::function<void(const QUrl&)> browserOpener();
    static bool isLocalService(const QUrl& url);
};

} // namespace tavrel
