#include "model/GDataMail.h"
#include "model/TQArrayItemWrapper.h"
#include "model/TQNotificationSwitcher.h"
#include "model/TQStringExtensions.h"

#include <gtest/gtest.h>

namespace tavrel::test {

TEST(TQArrayItemWrapper, TitleIsTheOneItemsNameOrACount)
{
    EXPECT_EQ(TQArrayItemWrapper::wrapperWithArray({QStringLiteral("/home/u/Plans/Budget.xls")}).title(),
              QStringLiteral("Budget.xls"));
    EXPECT_EQ(TQArrayItemWrapper::wrapperWithArray({QStringLiteral("file:///tmp/up/Folder/")}).title(),
              QStringLiteral("Folder"));
    const QString none = TQArrayItemWrapper::wrapperWithArray({}).title();
    EXPECT_TRUE(none.contains(QLatin1Char('0'))) << none.toStdString();
    const auto two = TQArrayItemWrapper::wrapperWithArray({QStringLiteral("/a"), QStringLiteral("/b")});
    EXPECT_TRUE(two.title().contains(QLatin1Char('2')));
    EXPECT_FALSE(two.quotaBytesUsed().has_value());
}

TEST(TQStringExtensions, ExportNamesAndDomains)
{
    const struct
    {
        const char* resourceId;
        const char* expected;
    } exports[] = {
        {"document:1abc", "Notes.doc"},
        {"presentation:2", "Notes.ppt"},
        {"spreadsheet:3", "Notes.xls"},
        {"drawing:4", "Notes.pdf"},
        {"file:5", "Notes"},
        {"form:6", "Notes"},
        {"pdf:7", "Notes"},
    };
    for (const auto& row : exports)
        EXPECT_EQ(TQStringExtensions::exportNameWithResourceId(QStringLiteral("Notes"),
                                                               QString::fromLatin1(row.resourceId)),
                  QString::fromLatin1(row.expected))
            << row.resourceId;

    const struct
    {
        QString a;
        QString b;
        bool same;
    } domains[] = {
        {QStringLiteral("a@tavrel.test"), QStringLiteral("b@tavrel.test"), true},
        {QStringLiteral("a@tavrel.test"), QStringLiteral("b@Tavrel.test"), false},
        {QStringLiteral("a@tavrel.test"), QStringLiteral("b@other.test"), false},
        {QStringLiteral("no-at"), QStringLiteral("no-at"), false},
        {QStringLiteral("a@tavrel.test"), QString(), false},
    };
    for (const auto& row : domains)
        EXPECT_EQ(TQStringExtensions::hasSameDomainAs(row.a, row.b), row.same)
            << row.a.toStdString() << " " << row.b.toStdString();
}

TEST(GDataMail, OnlyAccountsOutsideThePublicDomainShareWithTheirDomain)
{
    const QString publicDomain = GDataMail::publicMailDomain();
    ASSERT_FALSE(publicDomain.isEmpty());
    EXPECT_TRUE(GDataMail::accountSupportsDomainPermissions(QStringLiteral("demo@tavrel.test")));
    EXPECT_FALSE(GDataMail::accountSupportsDomainPermissions(QStringLiteral("someone@") + publicDomain));
    EXPECT_TRUE(
        GDataMail::accountSupportsDomainPermissions(QStringLiteral("someone@") + publicDomain.toUpper()));
    EXPECT_FALSE(GDataMail::accountSupportsDomainPermissions(QStringLiteral("no-at-sign")));
}

TEST(TQNotificationSwitcher, RunsItsHandlerForAsLongAsItLives)
{
    int calls = 0;
    QObject sender;
    auto switcher = TQNotificationSwitcher::switcherWithTarget(
        nullptr, QStringLiteral("changed"), QVariant::fromValue(&sender), [&](const Notification& n) {
            EXPECT_EQ(n.objectAsQObject(), &sender);
            ++calls;
        });
    NotificationCenter::defaultCenter().post(QStringLiteral("changed"), &sender);
    NotificationCenter::defaultCenter().post(QStringLiteral("changed"), QVariant());
    NotificationCenter::defaultCenter().post(QStringLiteral("other"), &sender);
    EXPECT_EQ(calls, 1);
    switcher.reset();
    NotificationCenter::defaultCenter().post(QStringLiteral("changed"), &sender);
    EXPECT_EQ(calls, 1);
}

} // namespace tavrel::test
