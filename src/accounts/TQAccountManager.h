#pragma once

#include "accounts/WXGMultiAccountManager.h"

namespace tavrel {

// The application's account manager: files TQAccount. When it is asked first, the shared instance is
// one of these.
class TQAccountManager : public WXGMultiAccountManager
{
    Q_OBJECT

public:
    static WXGMultiAccountManager* instance();
    static void registerManager();
    static void registerWithDataManager(std::shared_ptr<WXGMultiAccountDataManager> dataManager);

protected:
    using WXGMultiAccountManager::WXGMultiAccountManager;
    std::shared_ptr<WXAccount> makeAccount(std::shared_ptr<OAuth2Authentication> authToken) const override;
};

} // namespace tavrel
