#include "accounts/WXGMultiAccountManager.h"

#include "accounts/WXDataManagerException.h"
#include "accounts/WXGMultiAccountFileManager.h"
#include "platform/gdata/OAuth2SignIn.h"
#include "platform/system/TQLog.h"

namespace tavrel {

const QString WXGMultiAccountManager::kAccountManagerErrorDomain =
    QStringLiteral("com.WXGMultiAccountManager.AccountManagerErrorDomain");
const QString WXGMultiAccountManager::kDataManagerErrorDomain =
    QStringLiteral("com.WXGMultiAccountManager.DataManagerErrorDomain");

namespace {
Error accountManagerError(qint64 code, const QString& description)
{
    return Error(WXGMultiAccountManager::kAccountManagerErrorDomain, code,
                 {{Error::kLocalizedDescriptionKey, description}});
}
Error accountAlreadyExistsError()
{
    return accountManagerError(WXGMultiAccountManager::kErrorAccountAlreadyExists,
                               QStringLiteral("The account already exist exist"));
}
Error accountDoesNotExistError()
{
    return accountManagerError(WXGMultiAccountManager::kErrorAccountDoesNotExist,
                               QStringLiteral("The account does not exist"));
}
} // namespace

WXGMultiAccountManager::WXGMultiAccountManager(QObject* parent) : QObject(parent)
{
    qRegisterMetaType<tavrel::WXAccountList>();
}

WXGMultiAccountManager*
WXGMultiAccountManager::sharedInstance(const std::function<WXGMultiAccountManager*()>& make)
{
    static std::mutex mutex;
    static WXGMultiAccountManager* shared = nullptr;
    std::lock_guard lock(mutex);
    if (!shared)
        shared = make();
    return shared;
}

WXGMultiAccountManager* WXGMultiAccountManager::instance()
{
    return sharedInstance([] { return new WXGMultiAccountManager; });
}

std::shared_ptr<WXAccount>
WXGMultiAccountManager::makeAccount(std::shared_ptr<OAuth2Authentication> authToken) const
{
    return WXAccount::accountWithAuthToken(std::move(authToken));
}

// ---- class operations ----

void WXGMultiAccountManager::registerManager()
{
    WXGMultiAccountManager* manager = instance();
    const OAuth2Configuration configuration;
    manager->setConfiguration(configuration);
    manager->setDataManager(WXGMultiAccountFileManager::fileManager(configuration));
    manager->restoreOrStartEmpty();
}

void WXGMultiAccountManager::registerWithDataManager(std::shared_ptr<WXGMultiAccountDataManager> dataManager)
{
    WXGMultiAccountManager* manager = instance();
    manager->setConfiguration(OAuth2Configuration());
    if (dataManager)
        manager->setDataManager(std::move(dataManager));
    manager->restoreOrStartEmpty();
}

void WXGMultiAccountManager::addAccountWithCompletionBlock(AccountCompletionBlock block)
{
    WXGMultiAccountManager* manager = instance();
    OAuth2SignIn* signIn = manager->loginWindowController();
    signIn->signIn(
        [manager, signIn, block](std::shared_ptr<OAuth2Authentication> authentication, const Error& error) {
            signIn->deleteLater();
            manager->finishSignIn(std::move(authentication), error, block);
        });
}

void WXGMultiAccountManager::addAccount()
{
    addAccountWithCompletionBlock({});
}

void WXGMultiAccountManager::cancelSignIn()
{
    for (OAuth2SignIn* signIn : instance()->findChildren<OAuth2SignIn*>(Qt::FindDirectChildrenOnly))
        signIn->cancelSignIn();
}

WXAccountList WXGMultiAccountManager::accounts()
{
    return instance()->currentAccounts();
}

void WXGMultiAccountManager::accountsWithCompletionBlock(const AccountsCompletionBlock& block)
{
    if (block)
        block(accounts(), Error());
}

std::shared_ptr<WXAccount> WXGMultiAccountManager::defaultAccount()
{
    const WXAccountList list = accounts();
    return list.isEmpty() ? nullptr : list.first();
}

void WXGMultiAccountManager::removeAccount(const std::shared_ptr<WXAccount>& account,
                                           const SuccessCompletionBlock& block)
{
    WXGMultiAccountManager* manager = instance();
    const qsizetype index = manager->indexOfAccount(account);
    if (index < 0) {
        if (block)
            block(false, accountDoesNotExistError());
        return;
    }
    WXAccountList list = manager->currentAccounts();
    list.removeAt(index);
    manager->setAccounts(list);
    manager->persistAccountsIntoDataManager();
    if (block)
        block(true, Error());
}

void WXGMultiAccountManager::setDefaultAccount(const std::shared_ptr<WXAccount>& account,
                                               const SuccessCompletionBlock& block)
{
    WXGMultiAccountManager* manager = instance();
    const qsizetype index = manager->indexOfAccount(account);
    if (index < 0) {
        if (block)
            block(false, accountDoesNotExistError());
        return;
    }
    // A swap with the first, not a move to the front.
    WXAccountList list = manager->currentAccounts();
    list.swapItemsAt(0, index);
    manager->setAccounts(list);
    manager->persistAccountsIntoDataManager();
    if (block)
        block(true, Error());
}

bool WXGMultiAccountManager::exchangePositionOfAccount(const std::shared_ptr<WXAccount>& account,
                                                       const std::shared_ptr<WXAccount>& otherAccount)
{
    WXGMultiAccountManager* manager = instance();
    const qsizetype first = manager->indexOfAccount(account);
    const qsizetype second = manager->indexOfAccount(otherAccount);
    if (first < 0 || second < 0)
        return false;
    WXAccountList list = manager->currentAccounts();
    list.swapItemsAt(first, second);
    manager->setAccounts(list);
    manager->persistAccountsIntoDataManager();
    return true;
}

bool WXGMultiAccountManager::moveAccount(const std::shared_ptr<WXAccount>& account, qsizetype index)
{
    WXGMultiAccountManager* manager = instance();
    WXAccountList list = manager->currentAccounts();
    const qsizetype current = manager->indexOfAccount(account);
    if (index < 0 || index > list.size() || current < 0)
        return false;
    if (current == index)
        return true;
    const std::shared_ptr<WXAccount> moved = list.takeAt(current);
    if (index < list.size())
        list.insert(index, moved);
    else
        list.append(moved);
    manager->setAccounts(list);
    manager->persistAccountsIntoDataManager();
    return true;
}

// ---- instance operations ----

WXAccountList WXGMultiAccountManager::currentAccounts() const
{
    std::lock_guard lock(m_accountsMutex);
    return m_accounts;
}

void WXGMultiAccountManager::setAccounts(const WXAccountList& accounts)
{
    {
        std::lock_guard lock(m_accountsMutex);
        m_accounts = accounts;
    }
    emit accountsChanged(accounts);
}

void WXGMultiAccountManager::setDataManager(std::shared_ptr<WXGMultiAccountDataManager> dataManager)
{
    m_dataManager = std::move(dataManager);
}

OAuth2SignIn* WXGMultiAccountManager::loginWindowController()
{
    return new OAuth2SignIn(m_configuration, this);
}

void WXGMultiAccountManager::persistAccountsIntoDataManager()
{
    if (!m_dataManager)
        return;
    Error error;
    if (!m_dataManager->persistAccounts(currentAccounts(), &error)) {
        throw WXDataManagerException(WXDataManagerException::kPersistenceExceptionName,
                                     WXDataManagerException::kPersistenceReason, error);
    }
}

void WXGMultiAccountManager::restoreAccountsFromDataManager()
{
    if (!m_dataManager)
        return;
    Error error;
    const std::optional<WXAccountList> restored = m_dataManager->restoreAccountsWithError(&error);
    if (!restored && !error.isNull()) {
        throw WXDataManagerException(WXDataManagerException::kRestoreExceptionName,
                                     WXDataManagerException::kRestoreReason, error);
    }
    setAccounts(restored.value_or(WXAccountList()));
}

void WXGMultiAccountManager::restoreOrStartEmpty()
{
    try {
        restoreAccountsFromDataManager();
    } catch (const WXDataManagerException& exception) {
        TQLog("E: WXGMultiAccountManager: %@, starting without accounts: %@", exception.reason(),
              exception.error());
        setAccounts({});
    }
}

qsizetype WXGMultiAccountManager::indexOfAccount(const std::shared_ptr<WXAccount>& account) const
{
    if (!account)
        return -1;
    const WXAccountList list = currentAccounts();
    for (qsizetype i = 0; i < list.size(); ++i) {
        if (list.at(i) == account || list.at(i)->isEqual(account.get()))
            return i;
    }
    return -1;
}

void WXGMultiAccountManager::finishSignIn(std::shared_ptr<OAuth2Authentication> authentication,
                                          const Error& error, const AccountCompletionBlock& block)
{
    const auto answer = [&block](std::shared_ptr<WXAccount> account, const Error& result) {
        if (block)
            block(std::move(account), result);
    };
    if (!error.isNull()) {
        // The user closed the sign-in: nothing to report.
        if (error.code() == OAuth2Authentication::kErrorWindowClosed)
            answer(nullptr, Error());
        else
            answer(nullptr, error);
        return;
    }
    if (!authentication)
        return answer(nullptr, Error());

    std::shared_ptr<WXAccount> account = makeAccount(std::move(authentication));
    if (indexOfAccount(account) >= 0)
        return answer(nullptr, accountAlreadyExistsError());

    const WXAccountList before = currentAccounts();
    setAccounts(before + WXAccountList{account});
    // This runs from the event loop, where an exception must not arrive: an account that cannot be
    // stored is taken back out and reported instead.
    try {
        persistAccountsIntoDataManager();
    } catch (const WXDataManagerException& exception) {
        TQLog("E: WXGMultiAccountManager: %@: %@", exception.reason(), exception.error());
        setAccounts(before);
        return answer(nullptr, exception.error());
    }
    answer(account, Error());
}

} // namespace tavrel
