#include "platform/runtime/FileNameEncoding.h"
#include "platform/runtime/MailAddress.h"
#include "platform/runtime/UrlQuery.h"

#include <gtest/gtest.h>

namespace tavrel::test {

TEST(FileNameEncoding, EncodesAsSafeComponents)
{
    const struct
    {
        QString title;
        QString encoded;
    } rows[] = {
        {QStringLiteral("Plan 2010/Q1"), QStringLiteral("Plan 2%301%30%2FQ1")},
        {QStringLiteral("a\\b%c"), QStringLiteral("a%5Cb%25c")},
        {QString::fromUtf8("caf\xc3\xa9"), QStringLiteral("caf%C3%A9")},
        {QStringLiteral("Q&A: (draft)?"), QStringLiteral("Q&A: (draft)?")},
        {QStringLiteral("tab\there"), QStringLiteral("tab%09here")},
        {QStringLiteral("."), QStringLiteral("%2E")},
        {QStringLiteral(".."), QStringLiteral("%2E%2E")},
        {QStringLiteral(".hidden"), QStringLiteral(".hidden")},
        // A leading U+FEFF is part of the title, not a byte-order mark to skip.
        {QStringLiteral("\uFEFFTitle"), QStringLiteral("%EF%BB%BFTitle")},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(FileNameEncoding::stringByEncodingFileName(row.title), row.encoded)
            << row.title.toStdString();
        EXPECT_EQ(FileNameEncoding::stringByDecodingFileName(row.encoded), row.title)
            << row.encoded.toStdString();
    }
    EXPECT_TRUE(FileNameEncoding::stringByEncodingFileName(QString()).isNull());
    EXPECT_TRUE(FileNameEncoding::stringByEncodingFileName(QStringLiteral("")).isNull());
    EXPECT_TRUE(FileNameEncoding::stringByDecodingFileName(QStringLiteral("")).isNull());
}

TEST(FileNameEncoding, LongTitlesAreCutToFitTheFileNameLimitBetweenWholeCharacters)
{
    const QString eAcute = QString::fromUtf8("\xc3\xa9");        // 2 UTF-8 bytes, 6 encoded
    const QString smile = QString::fromUtf8("\xf0\x9f\x98\x80"); // a surrogate pair, 12 encoded
    const struct
    {
        const char* what;
        QString title;
        QString expectedPrefix; // what decoding gives back
    } rows[] = {
        {"255 plain characters are kept whole", QString(255, u'a'), QString(255, u'a')},
        {"256 characters are cut to 250", QString(256, u'a'), QString(250, u'a')},
        {"zeros grow threefold", QString(100, u'0'), QString(85, u'0')},
        {"two-byte characters", eAcute.repeated(60), eAcute.repeated(42)},
        {"mixed near the limit", QString(250, u'b') + eAcute, QString(250, u'b')},
        {"four-byte characters", smile.repeated(30), smile.repeated(21)},
        {"a pair straddling the 250 cut", QString(249, u'c') + smile + QString(10, u'c'), QString(249, u'c')},
    };
    for (const auto& row : rows) {
        const QString encoded = FileNameEncoding::stringByEncodingFileName(row.title);
        EXPECT_LE(encoded.toUtf8().size(), 255) << row.what;
        const QString decoded = FileNameEncoding::stringByDecodingFileName(encoded);
        EXPECT_EQ(decoded, row.expectedPrefix) << row.what;
        EXPECT_TRUE(row.title.startsWith(decoded)) << row.what;
    }
}

TEST(FileNameEncoding, MalformedNamesDecodeToNothing)
{
    for (const char* name : {"100%", "%zz", "a%4", "%C3", "%FF%FE"})
        EXPECT_TRUE(FileNameEncoding::stringByDecodingFileName(QString::fromLatin1(name)).isNull()) << name;
}

TEST(MailAddress, AcceptsTopLevelDomainsOfTwoLettersOrMore)
{
    const struct
    {
        const char* text;
        bool valid;
    } rows[] = {
        {"user@example.de", true},
        {"first.last+tag@mail.example.com", true},
        {"x_y%z@host.info", true},
        {"person@museum.museum", true},
        {"someone@company.technology", true},
        {"a@b.c", false},
        {"user@example", false},
        {"user@exa mple.com", false},
        {"us er@example.com", false},
        {"user@example.com ", false},
        {"@example.com", false},
        {"user@@example.com", false},
        {"user@example.c0m", false},
        {"", false},
    };
    for (const auto& row : rows)
        EXPECT_EQ(MailAddress::isValidMailAddress(QString::fromLatin1(row.text)), row.valid) << row.text;
}

TEST(UrlQuery, AppendsWithTheRightSeparator)
{
    const struct
    {
        const char* url;
        QString query;
        const char* expected;
    } rows[] = {
        {"http://127.0.0.1/feed?a=1", QStringLiteral("b=2"), "http://127.0.0.1/feed?a=1&b=2"},
        {"http://127.0.0.1/feed", QStringLiteral("b=2"), "http://127.0.0.1/feed?b=2"},
        {"http://127.0.0.1/feed", QString(), "http://127.0.0.1/feed"},
        {"http://127.0.0.1/feed", QStringLiteral(""), "http://127.0.0.1/feed"},
    };
    for (const auto& row : rows) {
        const QUrl result =
            UrlQuery::URLByAppendingQueryString(QUrl(QString::fromLatin1(row.url)), row.query);
        EXPECT_EQ(result.toString(), QString::fromLatin1(row.expected));
    }
    EXPECT_EQ(
        UrlQuery::URLByAppendingQueryString(QUrl(QStringLiteral("http://h/f?a=1")), QStringLiteral("b=2"))
            .query(),
        QStringLiteral("a=1&b=2"));
}

} // namespace tavrel::test
