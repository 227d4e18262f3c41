#include "AccountsTestSupport.h"
#include "accounts/TQAccountManager.h"
#include "accounts/WXDataManagerException.h"
#include "accounts/WXGMultiAccountFileManager.h"
#include "platform/system/Paths.h"
#include "platform/system/TQLogger.h"
#include "support/TempHome.h"

#include <QDir>
#include <QFile>
#include <sys/stat.h>

namespace tavrel::test {
namespace {

QStringList identifiers(const WXAccountList& accounts)
{
    QStringList list;
    for (const auto& account : accounts)
        list.append(account ? account->identifier() : QStringLiteral("<null>"));
    return list;
}

QString archivePath()
{
    return Paths::accountsFolder() + QStringLiteral("/GWXAccounts.sic");
}

QStringList restoredFromDisk()
{
    Error error;
    auto restored = WXGMultiAccountFileManager::fileManager()->restoreAccountsWithError(&error);
    EXPECT_TRUE(error.isNull()) << error.description().toStdString();
    return restored ? identifiers(*restored) : QStringList{QStringLiteral("<nil>")};
}

class AccountManagerTest : public TempHomeTest
{
protected:
    void SetUp() override
    {
        TempHomeTest::SetUp();
        TQAccountManager::registerManager();
    }

    // a, b, c filed in that order.
    void fileThreeAccounts()
    {
        m_a = makeTestAccount(QStringLiteral("a@tavrel.test"));
        m_b = makeTestAccount(QStringLiteral("b@tavrel.test"));
        m_c = makeTestAccount(QStringLiteral("c@tavrel.test"));
        WXGMultiAccountManager::instance()->setAccounts({m_a, m_b, m_c});
        WXGMultiAccountManager::instance()->persistAccountsIntoDataManager();
    }

    std::shared_ptr<WXAccount> m_a, m_b, m_c;
};

TEST_F(AccountManagerTest, EmptyListHasNoDefaultAccountAndMissingFileRestoresEmpty)
{
    ASSERT_FALSE(QFile::exists(archivePath()));
    EXPECT_TRUE(WXGMultiAccountManager::accounts().isEmpty());
    EXPECT_EQ(WXGMultiAccountManager::defaultAccount(), nullptr);
    EXPECT_NO_THROW(WXGMultiAccountManager::instance()->restoreAccountsFromDataManager());
    Error error;
    EXPECT_FALSE(WXGMultiAccountFileManager::fileManager()->restoreAccountsWithError(&error).has_value());
    EXPECT_TRUE(error.isNull());
}

TEST_F(AccountManagerTest, SharedInstanceIsTheApplicationsManager)
{
    EXPECT_NE(qobject_cast<TQAccountManager*>(WXGMultiAccountManager::instance()), nullptr);
}

struct OrderingCase
{
    const char* name;
    std::function<QVariant(const std::shared_ptr<WXAccount>& a, const std::shared_ptr<WXAccount>& b,
                           const std::shared_ptr<WXAccount>& c, const std::shared_ptr<WXAccount>& stranger)>
        operation;
    QVariant result; // the operation's answer (bool), or the completion's success plus error code
    QStringList order;
};

TEST_F(AccountManagerTest, OrderingOperations)
{
    using Account = std::shared_ptr<WXAccount>;
    const auto blockResult = [](auto call) {
        QVariantList outcome;
        call([&outcome](bool success, const Error& error) { outcome = {success, error.code()}; });
        return QVariant(outcome);
    };
    const QStringList abc{"a@tavrel.test", "b@tavrel.test", "c@tavrel.test"};
    const QVariant succeeded = QVariantList{true, 0};
    const QVariant missing = QVariantList{false, 236};
    const std::vector<OrderingCase> cases = {
        {"default third is a swap",
         [&](Account, Account, Account c, Account) {
             return blockResult([&](auto block) { WXGMultiAccountManager::setDefaultAccount(c, block); });
         },
         succeeded,
         {"c@tavrel.test", "b@tavrel.test", "a@tavrel.test"}},
        {"default first",
         [&](Account a, Account, Account, Account) {
             return blockResult([&](auto block) { WXGMultiAccountManager::setDefaultAccount(a, block); });
         },
         succeeded, abc},
        {"default unknown",
         [&](Account, Account, Account, Account s) {
             return blockResult([&](auto block) { WXGMultiAccountManager::setDefaultAccount(s, block); });
         },
         missing, abc},
        {"remove middle",
         [&](Account, Account b, Account, Account) {
             return blockResult([&](auto block) { WXGMultiAccountManager::removeAccount(b, block); });
         },
         succeeded,
         {"a@tavrel.test", "c@tavrel.test"}},
        {"remove unknown",
         [&](Account, Account, Account, Account s) {
             return blockResult([&](auto block) { WXGMultiAccountManager::removeAccount(s, block); });
         },
         missing, abc},
        {"exchange first and last",
         [](Account a, Account, Account c, Account) {
             return QVariant(WXGMultiAccountManager::exchangePositionOfAccount(a, c));
         },
         true,
         {"c@tavrel.test", "b@tavrel.test", "a@tavrel.test"}},
        {"exchange with unknown",
         [](Account a, Account, Account, Account s) {
             return QVariant(WXGMultiAccountManager::exchangePositionOfAccount(a, s));
         },
         false, abc},
        {"move to index count appends",
         [](Account a, Account, Account, Account) {
             return QVariant(WXGMultiAccountManager::moveAccount(a, 3));
         },
         true,
         {"b@tavrel.test", "c@tavrel.test", "a@tavrel.test"}},
        {"move beyond count",
         [](Account a, Account, Account, Account) {
             return QVariant(WXGMultiAccountManager::moveAccount(a, 4));
         },
         false, abc},
        {"move to last index",
         [](Account a, Account, Account, Account) {
             return QVariant(WXGMultiAccountManager::moveAccount(a, 2));
         },
         true,
         {"b@tavrel.test", "c@tavrel.test", "a@tavrel.test"}},
        {"move last to front",
         [](Account, Account, Account c, Account) {
             return QVariant(WXGMultiAccountManager::moveAccount(c, 0));
         },
         true,
         {"c@tavrel.test", "a@tavrel.test", "b@tavrel.test"}},
        {"move first to middle",
         [](Account a, Account, Account, Account) {
             return QVariant(WXGMultiAccountManager::moveAccount(a, 1));
         },
         true,
         {"b@tavrel.test", "a@tavrel.test", "c@tavrel.test"}},
        {"move to own place",
         [](Account, Account b, Account, Account) {
             return QVariant(WXGMultiAccountManager::moveAccount(b, 1));
         },
         true, abc},
        {"move unknown",
         [](Account, Account, Account, Account s) {
             return QVariant(WXGMultiAccountManager::moveAccount(s, 0));
         },
         false, abc},
    };
    for (const OrderingCase& row : cases) {
        SCOPED_TRACE(row.name);
        fileThreeAccounts();
        const auto stranger = makeTestAccount(QStringLiteral("stranger@tavrel.test"));
        // Equality is by address: a second object of a filed address counts as that account.
        const auto aTwin = makeTestAccount(QStringLiteral("a@tavrel.test"));
        EXPECT_EQ(row.operation(aTwin, m_b, m_c, stranger), row.result);
        EXPECT_EQ(identifiers(WXGMultiAccountManager::accounts()), row.order);
        EXPECT_EQ(restoredFromDisk(), row.order) << "every change is stored at once";
    }
}

TEST_F(AccountManagerTest, AccountsSurviveARestartWithTheirTokensAndClass)
{
    fileThreeAccounts();
    WXGMultiAccountManager::instance()->setAccounts(
        {m_a, makeTestAccount(QStringLiteral("w@tavrel.test"), false)});
    WXGMultiAccountManager::instance()->persistAccountsIntoDataManager();
    WXGMultiAccountManager::instance()->setAccounts({});

    // A new data manager reading the archive, as at the next launch.
    TQAccountManager::registerWithDataManager(WXGMultiAccountFileManager::fileManager());
    const WXAccountList restored = WXGMultiAccountManager::accounts();
    ASSERT_EQ(identifiers(restored), (QStringList{"a@tavrel.test", "w@tavrel.test"}));
    EXPECT_EQ(WXGMultiAccountManager::defaultAccount()->identifier(), QStringLiteral("a@tavrel.test"));
    EXPECT_NE(dynamic_cast<TQAccount*>(restored.at(0).get()), nullptr);
    EXPECT_EQ(dynamic_cast<TQAccount*>(restored.at(1).get()), nullptr);
    const auto token = restored.at(0)->authToken();
    ASSERT_TRUE(token);
    EXPECT_EQ(token->accessToken(), QStringLiteral("at-a@tavrel.test"));
    EXPECT_EQ(token->refreshToken(), QStringLiteral("rt-a@tavrel.test"));
    EXPECT_EQ(token->tokenType(), QStringLiteral("Bearer"));
    EXPECT_EQ(token->expirationDate().toSecsSinceEpoch(),
              m_a->authToken()->expirationDate().toSecsSinceEpoch());
    // The restored authentication talks to the application's own client.
    EXPECT_EQ(token->configuration().clientID(), WXGMultiAccountManager::instance()->clientID());
}

TEST_F(AccountManagerTest, ArchiveIsOwnerOnlyAndReplacedWhole)
{
    QDir().mkpath(Paths::accountsFolder());
    {
        QFile old(archivePath());
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("{}");
    }
    ASSERT_TRUE(QFile::setPermissions(archivePath(), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                         QFileDevice::ReadGroup | QFileDevice::ReadOther));
    const mode_t oldMask = umask(0);
    fileThreeAccounts();
    umask(oldMask);

    struct stat info
    {
    };
    ASSERT_EQ(stat(QFile::encodeName(archivePath()).constData(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
    EXPECT_EQ(QDir(Paths::accountsFolder()).entryList(QDir::Files), QStringList{"GWXAccounts.sic"})
        << "no temporary file left behind";
    EXPECT_EQ(restoredFromDisk().size(), 3);
}

TEST_F(AccountManagerTest, UnreadableArchiveIsSetAsideAndTheListStartsEmpty)
{
    const std::vector<std::pair<const char*, QByteArray>> cases = {
        {"garbage", QByteArray("\x00\x01bplist00 not at all", 20)},
        {"truncated", R"({"format":"GWXAccounts","version":1,"accounts":[{"authTo)"},
        {"other JSON", R"([1,2,3])"},
        {"newer version", R"({"format":"GWXAccounts","version":99,"accounts":[]})"},
        {"entry without tokens",
         R"({"format":"GWXAccounts","version":1,"accounts":[{"class":"TQAccount","authToken":"","userMail":"x@y"}]})"},
    };
    for (const auto& [name, content] : cases) {
        SCOPED_TRACE(name);
        QDir(Paths::accountsFolder()).removeRecursively();
        QDir().mkpath(Paths::accountsFolder());
        {
            QFile file(archivePath());
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
            file.write(content);
        }
        WXGMultiAccountManager::instance()->setAccounts({makeTestAccount(QStringLiteral("old@tavrel.test"))});

        // As the data manager's caller sees it: a restore error, which the manager raises.
        WXGMultiAccountManager::instance()->setDataManager(WXGMultiAccountFileManager::fileManager());
        try {
            WXGMultiAccountManager::instance()->restoreAccountsFromDataManager();
            ADD_FAILURE() << "no exception";
        } catch (const WXDataManagerException& exception) {
            EXPECT_EQ(exception.name(), QStringLiteral("WXDataManagerRestoreException"));
            EXPECT_EQ(exception.reason(),
                      QStringLiteral("Impossible to restore existing accounts from Data Manager"));
            EXPECT_EQ(exception.error().domain(),
                      QStringLiteral("com.WXGMultiAccountManager.DataManagerErrorDomain"));
            EXPECT_EQ(exception.error().code(), 985);
        }
        // The file is kept aside, byte for byte, and is out of the way.
        EXPECT_FALSE(QFile::exists(archivePath()));
        const QStringList aside = QDir(Paths::accountsFolder())
                                      .entryList({QStringLiteral("GWXAccounts.sic.corrupt-*")}, QDir::Files);
        ASSERT_EQ(aside.size(), 1);
        QFile kept(Paths::accountsFolder() + QLatin1Char('/') + aside.first());
        ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
        EXPECT_EQ(kept.readAll(), content);

        // At launch: logged, no exception, an empty list, and the program goes on working.
        QFile::rename(kept.fileName(), archivePath());
        TQLogger::resetForTesting(); // log into this test's home
        EXPECT_NO_THROW(TQAccountManager::registerManager());
        QFile logFile(Paths::logFile());
        ASSERT_TRUE(logFile.open(QIODevice::ReadOnly));
        const std::string log = logFile.readAll().toStdString();
        EXPECT_NE(log.find("E: "), std::string::npos) << log;
        EXPECT_TRUE(WXGMultiAccountManager::accounts().isEmpty());
        EXPECT_EQ(WXGMultiAccountManager::defaultAccount(), nullptr);
        fileThreeAccounts();
        EXPECT_EQ(restoredFromDisk().size(), 3);
    }
}

TEST_F(AccountManagerTest, FailedWriteRaisesPersistenceException)
{
    // A folder where the file should be: no write can succeed, even as root.
    ASSERT_TRUE(QDir().mkpath(archivePath()));
    WXGMultiAccountManager::instance()->setAccounts({makeTestAccount(QStringLiteral("a@tavrel.test"))});
    try {
        WXGMultiAccountManager::instance()->persistAccountsIntoDataManager();
        ADD_FAILURE() << "no exception";
    } catch (const WXDataManagerException& exception) {
        EXPECT_EQ(exception.name(), QStringLiteral("WXDataManagerPersistenceException"));
        EXPECT_EQ(exception.reason(), QStringLiteral("Impossible to persist accounts into Data Manager"));
        EXPECT_EQ(exception.error().domain(),
                  QStringLiteral("com.WXGMultiAccountManager.DataManagerErrorDomain"));
        EXPECT_EQ(exception.error().code(), 984);
    }
}

TEST_F(AccountManagerTest, ChangesAreObservable)
{
    QList<WXAccountList> seen;
    QObject context;
    QObject::connect(WXGMultiAccountManager::instance(), &WXGMultiAccountManager::accountsChanged, &context,
                     [&seen](const WXAccountList& accounts) { seen.append(accounts); });
    fileThreeAccounts();
    WXGMultiAccountManager::setDefaultAccount(m_c);
    ASSERT_GE(seen.size(), 2);
    EXPECT_EQ(identifiers(seen.last()), (QStringList{"c@tavrel.test", "b@tavrel.test", "a@tavrel.test"}));
    EXPECT_EQ(identifiers(WXGMultiAccountManager::instance()->property("accounts").value<WXAccountList>()),
              identifiers(WXGMultiAccountManager::accounts()));

    QStringList identifiersSeen;
    QObject::connect(m_a.get(), &WXAccount::identifierChanged, &context,
                     [&identifiersSeen](const QString& identifier) { identifiersSeen.append(identifier); });
    auto other = makeTestAccount(QStringLiteral("z@tavrel.test"));
    m_a->setAuthToken(other->authToken());
    EXPECT_EQ(identifiersSeen, QStringList{"z@tavrel.test"});
}

TEST(WXAccountTest, EqualityAndDescription)
{
    const auto a = makeTestAccount(QStringLiteral("a@tavrel.test"));
    const auto twin = makeTestAccount(QStringLiteral("a@tavrel.test"), false);
    const auto b = makeTestAccount(QStringLiteral("b@tavrel.test"));
    const WXAccount empty;
    const WXAccount alsoEmpty;
    EXPECT_TRUE(a->isEqual(twin.get()));
    EXPECT_FALSE(a->isEqual(b.get()));
    EXPECT_FALSE(empty.isEqual(&alsoEmpty)) << "accounts without an address are never equal";
    EXPECT_FALSE(a->isEqual(nullptr));
    EXPECT_EQ(a->description(), QStringLiteral("[Account] a@tavrel.test"));
}

} // namespace
} // namespace tavrel::test
