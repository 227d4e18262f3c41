#pragma once

#include "accounts/WXAccount.h"

namespace tavrel {

// The application's account class; it adds nothing but its archived name.
class TQAccount : public WXAccount
{
    Q_OBJECT

public:
    using WXAccount::WXAccount;

    static std::shared_ptr<WXAccount> accountWithAuthToken(std::shared_ptr<OAuth2Authentication> authToken)
    {
        return std::make_shared<TQAccount>(std::move(authToken));
    }

    QString archiveClassName() const override { return QStringLiteral("TQAccount"); }
};

} // namespace tavrel
