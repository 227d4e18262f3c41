#include "platform/gdata/OAuth2Configuration.h"

#include "platform/system/Paths.h"
#include "support/TempHome.h"

#include <QSettings>

namespace tavrel::test {
namespace {

class OAuth2ConfigurationTest : public TempHomeTest
{
protected:
    void TearDown() override
    {
        qunsetenv("TAVREL_SERVICE_URL");
        TempHomeTest::TearDown();
    }
};

TEST_F(OAuth2ConfigurationTest, ServiceURLComesFromEnvironmentThenSettingThenDefault)
{
    struct Row
    {
        const char* name;
        QString environment, setting, expected;
    };
    const std::vector<Row> rows = {
        {"default", {}, {}, "http://127.0.0.1:8088"},
        {"setting", {}, "http://127.0.0.1:9000", "http://127.0.0.1:9000"},
        {"environment wins", "http://127.0.0.1:7000", "http://127.0.0.1:9000", "http://127.0.0.1:7000"},
        {"unusable environment", "not a url", "http://127.0.0.1:9000", "http://127.0.0.1:9000"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        QSettings settings(Paths::settingsFile(), QSettings::IniFormat);
        if (row.setting.isEmpty())
            settings.remove(QStringLiteral("serviceURL"));
        else
            settings.setValue(QStringLiteral("serviceURL"), row.setting);
        settings.sync();
        if (row.environment.isEmpty())
            qunsetenv("TAVREL_SERVICE_URL");
        else
            qputenv("TAVREL_SERVICE_URL", row.environment.toUtf8());
        EXPECT_EQ(OAuth2Configuration::currentServiceURL(), QUrl(row.expected));
    }
}

TEST_F(OAuth2ConfigurationTest, EndpointsLiveUnderTheServiceURL)
{
    const OAuth2Configuration configuration(QUrl(QStringLiteral("http://127.0.0.1:4567/")));
    EXPECT_EQ(configuration.authorizationURL(), QUrl(QStringLiteral("http://127.0.0.1:4567/o/oauth2/auth")));
    EXPECT_EQ(configuration.tokenURL(), QUrl(QStringLiteral("http://127.0.0.1:4567/o/oauth2/token")));
    EXPECT_EQ(configuration.userInfoURL(), QUrl(QStringLiteral("http://127.0.0.1:4567/oauth2/v1/userinfo")));
    EXPECT_TRUE(configuration.clientID().startsWith(QStringLiteral("503718264915")));
    EXPECT_EQ(configuration.clientSecret(), QStringLiteral("Qz7wRk2mTbN9xLp4Hc_vJd8S"));
    EXPECT_EQ(configuration.scope().split(QLatin1Char(' ')).size(), 4);
    EXPECT_EQ(OAuth2Configuration::scopeWithStrings({"a", " b ", "", "a"}), QStringLiteral("a b"));
}

} // namespace
} // namespace tavrel::test
