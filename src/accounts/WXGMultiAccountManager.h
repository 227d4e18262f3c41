#pragma once

#include "accounts/WXAccount.h"
#include "accounts/WXGMultiAccountDataManager.h"
#include "platform/gdata/OAuth2Configuration.h"
#include "platform/runtime/Error.h"

#include <QObject>
#include <functional>
#include <memory>
#include <mutex>

namespace tavrel {

class OAuth2SignIn;

// The ordered list of the user's signed-in accounts; the first is the default account. A facade of
// class operations over one shared instance, which is the object to observe ("accounts"). Every change
// of the list is stored at once through the data manager. Main thread only.
class WXGMultiAccountManager : public QObject
{
    Q_OBJECT
    Q_PROPERTY(tavrel::WXAccountList accounts READ currentAccounts NOTIFY accountsChanged)

public:
    static const QString kAccountManagerErrorDomain; // "com.WXGMultiAccountManager.AccountManagerErrorDomain"
    static const QString kDataManagerErrorDomain;    // "com.WXGMultiAccountManager.DataManagerErrorDomain"
    enum ErrorCode {
        kErrorAccountAlreadyExists = 235,
        kErrorAccountDoesNotExist = 236,
        kErrorPersistFailed = 984,
        kErrorRestoreFailed = 985,
    };

    using AccountCompletionBlock =
        std::function<void(std::shared_ptr<WXAccount> account, const Error& error)>;
    using AccountsCompletionBlock = std::function<void(const WXAccountList& accounts, const Error& error)>;
    using SuccessCompletionBlock = std::function<void(bool success, const Error& error)>;

    // The shared instance, made on first use.
    static WXGMultiAccountManager* instance();

    // Class operations. ("register" is a keyword here, hence registerManager.)
    // Sets the application's client, the file data manager and restores the list. An unreadable archive
    // is logged and set aside, and the list starts empty, so a damaged file cannot stop every launch.
    static void registerManager();
    // The same with the given data manager; a null one leaves the data manager as it was.
    static void registerWithDataManager(std::shared_ptr<WXGMultiAccountDataManager> dataManager);
    static void addAccountWithCompletionBlock(AccountCompletionBlock block);
    static void addAccount();
    // The user gave up waiting for the browser: every sign-in under way ends as closed.
    static void cancelSignIn();
    static WXAccountList accounts();
    static void accountsWithCompletionBlock(const AccountsCompletionBlock& block);
    static std::shared_ptr<WXAccount> defaultAccount();
    static void removeAccount(const std::shared_ptr<WXAccount>& account,
                              const SuccessCompletionBlock& block = {});
    static void setDefaultAccount(const std::shared_ptr<WXAccount>& account,
                                  const SuccessCompletionBlock& block = {});
    static bool exchangePositionOfAccount(const std::shared_ptr<WXAccount>& account,
                                          const std::shared_ptr<WXAccount>& otherAccount);
    static bool moveAccount(const std::shared_ptr<WXAccount>& account, qsizetype index);

    // Instance operations.
    // Raise WXDataManagerException ("WXDataManagerPersistenceException" / "WXDataManagerRestoreException").
    void persistAccountsIntoDataManager();
    void restoreAccountsFromDataManager();
    // A new sign-in for this manager's client, owned by the manager until it is deleted.
    OAuth2SignIn* loginWindowController();

    WXAccountList currentAccounts() const;
    void setAccounts(const WXAccountList& accounts);
    QString clientID() const { return m_configuration.clientID(); }
    void setClientID(const QString& clientID) { m_configuration.setClientID(clientID); }
    QString clientSecret() const { return m_configuration.clientSecret(); }
    void setClientSecret(const QString& clientSecret) { m_configuration.setClientSecret(clientSecret); }
    QString scope() const { return m_configuration.scope(); }
    void setScope(const QString& scope) { m_configuration.setScope(scope); }
    // The client and endpoints as one value (the service base URL included).
    OAuth2Configuration configuration() const { return m_configuration; }
    void setConfiguration(const OAuth2Configuration& configuration) { m_configuration = configuration; }
    std::shared_ptr<WXGMultiAccountDataManager> dataManager() const { return m_dataManager; }
    void setDataManager(std::shared_ptr<WXGMultiAccountDataManager> dataManager);

Q_SIGNALS:
    void accountsChanged(const tavrel::WXAccountList& accounts);

protected:
    explicit WXGMultiAccountManager(QObject* parent = nullptr);
    // The first class that asks makes the shared instance.
    static WXGMultiAccountManager* sharedInstance(const std::function<WXGMultiAccountManager*()>& make);
    // The account class this manager files.
    virtual std::shared_ptr<WXAccount> makeAccount(std::shared_ptr<OAuth2Authentication> authToken) const;

    void restoreOrStartEmpty();

private:
    qsizetype indexOfAccount(const std::shared_ptr<WXAccount>& account) const;
    void finishSignIn(std::shared_ptr<OAuth2Authentication> authentication, const Error& error,
                      const AccountCompletionBlock& block);

    mutable std::mutex m_accountsMutex;
    WXAccountList m_accounts;
    OAuth2Configuration m_configuration;
    std::shared_ptr<WXGMultiAccountDataManager> m_dataManager;
};

} // namespace tavrel

Q_DECLARE_METATYPE(tavrel::WXAccountList)
