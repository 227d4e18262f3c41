#pragma once

#include "accounts/WXGMultiAccountDataManager.h"
#include "platform/gdata/OAuth2Configuration.h"

#include <QUrl>
#include <memory>

namespace tavrel {

// Keeps the accounts in one archive file, "GWXAccounts.sic" in the accounts folder. The file holds the
// refresh tokens, so it is readable by its owner only and replaced atomically: a crash while writing
// leaves the previous list intact. A file that cannot be decoded is moved aside (never overwritten) and
// reported as unreadable.
class WXGMultiAccountFileManager : public WXGMultiAccountDataManager
{
public:
    static const QString kFileName;      // "GWXAccounts.sic"
    static const QString kArchiveFormat; // "GWXAccounts"
    static constexpr int kArchiveVersion = 1;

    static std::shared_ptr<WXGMultiAccountFileManager>
    fileManager(const OAuth2Configuration& configuration = OAuth2Configuration());

    explicit WXGMultiAccountFileManager(const OAuth2Configuration& configuration = OAuth2Configuration());

    std::optional<WXAccountList> restoreAccountsWithError(Error* error) override;
    bool persistAccounts(const WXAccountList& accounts, Error* error) override;

    // The archive's location; empty when its folder cannot be created.
    QUrl URLAccountsFile() const;

private:
    OAuth2Configuration m_configuration;
};

} // namespace tavrel
