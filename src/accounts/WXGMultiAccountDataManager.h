#pragma once

#include "accounts/WXAccount.h"
#include "platform/runtime/Error.h"

#include <optional>

namespace tavrel {

// Where the list of accounts is kept.
class WXGMultiAccountDataManager
{
public:
    virtual ~WXGMultiAccountDataManager() = default;

    // The stored list; nullopt when there is none (no error) or it cannot be read (error set).
    virtual std::optional<WXAccountList> restoreAccountsWithError(Error* error) = 0;
    // Stores the list; false with an error when it could not be stored.
    virtual bool persistAccounts(const WXAccountList& accounts, Error* error) = 0;
};

} // namespace tavrel
