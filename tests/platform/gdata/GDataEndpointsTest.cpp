#include "platform/gdata/GDataEndpoints.h"

#include "platform/gdata/GDataQueryDocs.h"
#include "platform/gdata/GDataServiceGoogleDocs.h"
#include "platform/system/Paths.h"
#include "support/TempHome.h"

#include <QSettings>

using namespace tavrel;

class GDataEndpointsTest : public test::TempHomeTest
{
protected:
    void TearDown() override
    {
        GDataEndpoints::setServiceBaseURL(QUrl());
        qunsetenv("TAVREL_SERVICE_URL");
        TempHomeTest::TearDown();
    }
};

TEST_F(GDataEndpointsTest, BaseComesFromArgumentsThenEnvironmentThenSettingThenDefault)
{
    qunsetenv("TAVREL_SERVICE_URL");
    EXPECT_EQ(GDataEndpoints::serviceBaseURL(), QUrl(GDataEndpoints::kDefaultServiceURL));
    {
        QSettings settings(Paths::settingsFile(), QSettings::IniFormat);
        settings.setValue(QStringLiteral("serviceURL"), QStringLiteral("http://127.0.0.1:7001/"));
    }
    EXPECT_EQ(GDataEndpoints::serviceBaseURL(), QUrl(QStringLiteral("http://127.0.0.1:7001")));
    qputenv("TAVREL_SERVICE_URL", "http://127.0.0.1:7002");
    EXPECT_EQ(GDataEndpoints::serviceBaseURL(), QUrl(QStringLiteral("http://127.0.0.1:7002")));
    EXPECT_FALSE(
        GDataEndpoints::configureFromArguments({QStringLiteral("tavrel"), QStringLiteral("--service")}));
    EXPECT_TRUE(GDataEndpoints::configureFromArguments(
        {QStringLiteral("tavrel"), QStringLiteral("--service"), QStringLiteral("http://127.0.0.1:7003")}));
    EXPECT_EQ(GDataEndpoints::serviceBaseURL(), QUrl(QStringLiteral("http://127.0.0.1:7003")));
    EXPECT_TRUE(
        GDataEndpoints::configureFromArguments({QStringLiteral("--service=http://127.0.0.1:7004/x/")}));
    EXPECT_EQ(GDataEndpoints::docsFeedURL().toString(),
              QStringLiteral("http://127.0.0.1:7004/x/feeds/default/private/full"));
}

TEST_F(GDataEndpointsTest, EveryAddressHasItsPath)
{
    GDataEndpoints::setServiceBaseURL(QUrl(QStringLiteral("http://127.0.0.1:9000")));
    const QList<QPair<QUrl, QString>> rows = {
        {GDataServiceGoogleDocs::docsFeedURL(), "/feeds/default/private/full"},
        {GDataEndpoints::docsExpandACLFeedURL(), "/feeds/default/private/expandAcl"},
        {GDataEndpoints::docsEntryURL("document:1a b", "expandAcl"),
         "/feeds/default/private/expandAcl/document%3A1a%20b"},
        {GDataEndpoints::docsACLFeedURL("spreadsheet:0x"),
         "/feeds/default/private/full/spreadsheet%3A0x/acl"},
        {GDataEndpoints::docsFolderContentsURL("folder:0F"),
         "/feeds/default/private/full/folder%3A0F/contents"},
        {GDataEndpoints::docsBatchURL(), "/feeds/default/private/full/batch"},
        {GDataServiceGoogleDocs::changesFeedURLForUserID("default"), "/feeds/default/private/changes"},
        {GDataServiceGoogleDocs::metadataEntryURLForUserID("default"), "/feeds/metadata/default"},
        {GDataServiceGoogleDocs::docsUploadURL(), "/feeds/upload/create-session/default/private/full"},
        {GDataEndpoints::docsUploadURL("expandAcl"),
         "/feeds/upload/create-session/default/private/expandAcl"},
        {GDataEndpoints::docsExportURL("spreadsheet:0x", "xls"),
         "/feeds/download/spreadsheets/Export?key=0x&exportFormat=xls"},
        {GDataEndpoints::docsExportURL("document:1d", "doc"),
         "/feeds/download/documents/export/Export?id=1d&exportFormat=doc"},
        {GDataEndpoints::contactFeedURL(), "/m8/feeds/contacts/default/full"},
        {GDataEndpoints::contactBatchURL(), "/m8/feeds/contacts/default/full/batch"},
        {GDataEndpoints::contactPhotoURL("c1"), "/m8/feeds/photos/media/default/c1"},
        {GDataEndpoints::OAuthAuthorizationURL(), "/o/oauth2/auth"},
        {GDataEndpoints::OAuthTokenURL(), "/o/oauth2/token"},
        {GDataEndpoints::OAuthUserInfoURL(), "/oauth2/v1/userinfo"},
    };
    for (const auto& [url, path] : rows)
        EXPECT_EQ(url.toString(QUrl::FullyEncoded), QStringLiteral("http://127.0.0.1:9000") + path)
            << path.toStdString();
}

TEST_F(GDataEndpointsTest, QueriesKeepExistingParametersAndEncodeValues)
{
    GDataQueryDocs query(QUrl(QStringLiteral("http://h/feeds/download/documents/export/Export?id=1d")));
    query.setExportFormat(QStringLiteral("doc"));
    query.setShouldConvertUpload(false);
    query.setShouldShowFolders(true);
    query.setShouldShowDeleted(true);
    query.setShouldOCRUpload(true);
    query.setShouldCreateNewRevision(true);
    query.setShouldActuallyDelete(true);
    query.setTitleQuery(QStringLiteral("a&b c"));
    query.setFullTextQueryString(QStringLiteral("x+y=z"));
    query.setStartIndex(5149);
    query.setMaxResults(2147483647);
    query.setMaxResults(500); // a second value replaces the first
    EXPECT_EQ(query.URL().toString(QUrl::FullyEncoded),
              QStringLiteral(
                  "http://h/feeds/download/documents/export/Export?id=1d&exportFormat=doc&format=doc"
                  "&convert=false&showfolders=true&showdeleted=true&ocr=true&new-revision=true&delete=true"
                  "&title=a%26b%20c&q=x%2By%3Dz&start-index=5149&max-results=500"));
    EXPECT_EQ(query.startIndex(), 5149);
    EXPECT_EQ(query.maxResults(), 500);
}
