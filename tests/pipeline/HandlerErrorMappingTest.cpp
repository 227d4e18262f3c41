#include "PipelineFakes.h"
#include "model/TQLocalizedStrings.h"

#include <gtest/gtest.h>

namespace tavrel::test {

namespace {

const QString kStoreDomain = QStringLiteral("dor.izivozezu.RArizuzoVizadEvevaz");
const QString kServiceDomain = QStringLiteral("rez.uzorevuza.GDManagerErrorDomain");

QVariantMap entry(const QString& id, int status, const QString& reason = {}, bool interrupted = false)
{
    return {{"id", id}, {"status", status}, {"reason", reason}, {"interrupted", interrupted}};
}

} // namespace

TEST(ServiceSideMapping, BatchAnswersBecomeSuccessesAndA603OfFailures)
{
    const QString busy = TQLocalizedStrings::localizedStringForKey(QStringLiteral("tooManyBatchRequest"));
    struct Row
    {
        const char* title;
        QVariantList entries;
        Error error; // what the service call answered
        bool answer;
        QVariant feed;
        qint64 code;
        QVariantMap failures;
    };
    const Row rows[] = {
        {"all succeed (inserts answer 201)",
         {entry("1", 200), entry("2", 201)},
         Error(),
         true,
         QVariantList{"1", "2"},
         0,
         {}},
        {"one conflict",
         {entry("1", 200), entry("2", 409, "Conflict"), entry("3", 200)},
         Error(),
         false,
         QVariantList{"1", "3"},
         603,
         {{"2", "Conflict"}}},
        {"rate limited entry",
         {entry("1", 503, "Service Unavailable")},
         Error(),
         false,
         QVariantList{},
         603,
         {{"1", busy}}},
        {"interrupted after the first",
         {entry("1", 200, {}, true), entry("2", 404, "Not Found")},
         Error(),
         false,
         QVariantList{"1"},
         603,
         {}},
        {"whole request failed: nothing walked",
         {entry("1", 200)},
         Error(QStringLiteral("GDataServiceDomain"), 500),
         false,
         QVariant(),
         601,
         {}},
        {"whole request unauthorised",
         {entry("1", 200)},
         Error(QStringLiteral("GDataServiceDomain"), 401),
         false,
         QVariant(),
         602,
         {}},
    };
    gdthmEcho handler;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.title);
        Error error = row.error;
        QVariant feed = row.entries;
        EXPECT_EQ(handler.batchDefaultHandlingError(&error, &feed), row.answer);
        EXPECT_EQ(feed, row.feed);
        if (row.code == 0) {
            EXPECT_TRUE(error.isNull());
            continue;
        }
        EXPECT_EQ(error.domain(), kServiceDomain);
        EXPECT_EQ(error.code(), row.code);
        if (row.code == 603) {
            EXPECT_EQ(error.userInfo(), row.failures);
        }
    }
    // Errors of other domains pass through the single-request mapping untouched.
    Error network(QStringLiteral("GTMHTTPFetcherErrorDomain"), 7);
    QVariant feed = QStringLiteral("kept");
    EXPECT_TRUE(handler.defaultHandlingError(&network, &feed));
    EXPECT_EQ(network.code(), 7);
    EXPECT_EQ(feed.toString(), QStringLiteral("kept"));
}

TEST(StoreSideMapping, ServiceErrorsBecomeStoreErrors)
{
    const Error serviceDescribed(kServiceDomain, 0,
                                 {{Error::kLocalizedDescriptionKey, QStringLiteral("Service text")},
                                  {QStringLiteral("2"), QStringLiteral("Conflict")}});
    const auto withCode = [&](qint64 code) {
        return Error(kServiceDomain, code, serviceDescribed.userInfo());
    };
    struct Row
    {
        Error error;
        QString domain;
        qint64 code;
        QString description;
        bool feedKept;
    };
    const Row rows[] = {
        {withCode(601), kStoreDomain, 703,
         TQLocalizedStrings::localizedStringForKey(QStringLiteral("UnexpectedError")), false},
        {withCode(602), kStoreDomain, 702, QStringLiteral("Service text"), false},
        {withCode(603), kStoreDomain, 704,
         TQLocalizedStrings::localizedStringForKey(QStringLiteral("SomeFetchError")), true},
        {withCode(605), kServiceDomain, 605, QStringLiteral("Service text"), true},
        {Error(QStringLiteral("NSPOSIXErrorDomain"), 60), QStringLiteral("NSPOSIXErrorDomain"), 60, QString(),
         true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.code);
        const QVariantMap mapped = VUvodozuHandler::defaultHandlingError(
            {{QStringLiteral("feed"), QStringLiteral("entries")},
             {QStringLiteral("error"), QVariant::fromValue(row.error)}});
        const Error error = mapped.value(QStringLiteral("error")).value<Error>();
        EXPECT_EQ(error.domain(), row.domain);
        EXPECT_EQ(error.code(), row.code);
        if (!row.description.isEmpty()) {
            EXPECT_EQ(error.localizedDescription(), row.description);
        }
        if (row.domain == kStoreDomain) {
            EXPECT_FALSE(error.userInfo().contains(QStringLiteral("2"))) << "the failures stay behind";
        }
        EXPECT_TRUE(mapped.contains(QStringLiteral("feed")));
        EXPECT_EQ(mapped.value(QStringLiteral("feed")).isValid(), row.feedKept);
    }
    // No error: the key is there, holding the null object.
    const QVariantMap clean = VUvodozuHandler::defaultHandlingError({{QStringLiteral("feed"), 1}});
    EXPECT_TRUE(clean.contains(QStringLiteral("error")));
    EXPECT_FALSE(clean.value(QStringLiteral("error")).isValid());
}

} // namespace tavrel::test
