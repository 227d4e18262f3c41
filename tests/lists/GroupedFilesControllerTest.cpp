#include "GroupedFilesFixture.h"
#include "lists/DocumentRowRoles.h"
#include "lists/TQMailGroupedFilesController.h"
#include "model/File.h"
#include "model/FileCachedFile.h"
#include "model/TQUtility.h"
#include "support/WaitUntil.h"

#include <QAbstractItemModelTester>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QModelRoleDataSpan>
#include <QPersistentModelIndex>
#include <QPixmap>
#include <QScopeGuard>
#include <QSignalSpy>
#include <functional>
#include <gtest/gtest.h>
#include <thread>

namespace tavrel {
namespace {

using Groupper = TQTimeGroupedFilesController::Groupper;
constexpr qint64 kMinute = 60;
constexpr qint64 kHour = 3600;
constexpr qint64 kDay = 86400;

class GroupedFilesTest : public test::GroupedFilesFixture
{
protected:
    QStringList arranged(TQTimeGroupedFilesController& controller, const QString& key, bool ascending = false)
    {
        controller.setSortDescriptors({SortDescriptor(key, ascending)});
        Error error;
        EXPECT_TRUE(controller.fetchWithRequest(std::nullopt, false, &error))
            << error.localizedDescription().toStdString();
        return rows(controller);
    }

    // What a new list answers for the search, newest first by the key: what typing must match.
    QStringList searchedAfresh(const QString& key, const QString& search)
    {
        auto controller = makeController();
        controller->setSortDescriptors({SortDescriptor(key, false)});
        controller->setSearchString(search);
        controller->rearrangeObjects();
        return rows(*controller);
    }

    ManagedObjectPtr acl(const ManagedObjectPtr& document, const QString& type, bool hasLink)
    {
        ManagedObjectPtr permission = m_context->insertNewObject(QStringLiteral("GeneralACLPermission"));
        permission->setValueForKey(QStringLiteral("type"), type);
        permission->setValueForKey(QStringLiteral("hasLink"), hasLink);
        document->setToOne(QStringLiteral("generalACL"), permission);
        return permission;
    }
};

TEST_F(GroupedFilesTest, SortKeysAndGrouppersOfTheKeysAListAsksFor)
{
    struct Case
    {
        const char* key;
        const char* sortKey;
        Groupper groupper;
        const char* mailSortKey;
    };
    const Case cases[] = {
        {"updatedDate", "updatedDate", Groupper::Time, "updatedDate"},
        {"owner", "owner.address", Groupper::Owner, "updatedDate"},
        {"visibility", "updatedDate", Groupper::Visibility, "visibility"},
        {"sharings", "updatedDate", Groupper::Sharings, "updatedDate"},
        {"class", "updatedDate", Groupper::Class, "class"},
        {"size", "quotaBytesUsed", Groupper::None, "size"},
        {"collections", "updatedDate", Groupper::Collection, "collections"},
        {"title", "title", Groupper::None, "title"},
    };
    for (const Case& c : cases) {
        const QString key = QLatin1String(c.key);
        EXPECT_EQ(TQTimeGroupedFilesController::sortKeyForExternalKey(key), QLatin1String(c.sortKey))
            << c.key;
        EXPECT_EQ(TQTimeGroupedFilesController::groupperForExternalKey(key), c.groupper) << c.key;
        EXPECT_EQ(TQMailGroupedFilesController::sortKeyForExternalKey(key), QLatin1String(c.mailSortKey))
            << c.key;
    }
    // The mail list's own keys that name no attribute sort as the base list would, rather than failing.
    auto mailList = makeController<TQMailGroupedFilesController>();
    mailList->setSortDescriptors({SortDescriptor(QStringLiteral("size"), false)});
    EXPECT_EQ(mailList->sortDescriptors(),
              (QList<SortDescriptor>{SortDescriptor(QStringLiteral("quotaBytesUsed"), false)}));
    mailList->setSortDescriptors({SortDescriptor(QStringLiteral("visibility"))});
    EXPECT_EQ(mailList->sortDescriptors(),
              (QList<SortDescriptor>{SortDescriptor(QStringLiteral("updatedDate"))}));
    EXPECT_EQ(mailList->groupper(), Groupper::Visibility);
}

TEST_F(GroupedFilesTest, TimeGroupsFollowTheOrderOfTheDocuments)
{
    doc(QStringLiteral("forty days"), 40 * kDay);
    doc(QStringLiteral("six days"), 6 * kDay);
    doc(QStringLiteral("59 minutes"), 59 * kMinute);
    doc(QStringLiteral("thirty-two days"), 32 * kDay);
    doc(QStringLiteral("twenty days"), 20 * kDay);
    doc(QStringLiteral("yesterday"), kDay);
    save();
    auto controller = makeController();
    EXPECT_EQ(arranged(*controller, QStringLiteral("updatedDate")),
              (QStringList{header("GroupModifiedToday"), QStringLiteral("59 minutes"),
                           header("GroupModifiedYesterday"), QStringLiteral("yesterday"),
                           header("GroupModifiedLastWeek"), QStringLiteral("six days"),
                           header("GroupModifiedLastMonth"), QStringLiteral("twenty days"),
                           header("GroupModifiedInPast"), QStringLiteral("thirty-two days"),
                           QStringLiteral("forty days")}));
    EXPECT_EQ(controller->groupAtRow(0)->group(), TQGroupWrapper::Today);
    EXPECT_EQ(controller->groupAtRow(8)->group(), TQGroupWrapper::InPast);
    // Oldest first: the first document opens "in the past", which then holds every document.
    EXPECT_EQ(
        arranged(*controller, QStringLiteral("updatedDate"), true),
        (QStringList{header("GroupModifiedInPast"), QStringLiteral("forty days"),
                     QStringLiteral("thirty-two days"), QStringLiteral("twenty days"),
                     QStringLiteral("six days"), QStringLiteral("yesterday"), QStringLiteral("59 minutes")}));
}

TEST_F(GroupedFilesTest, TimeGroupsAtTheBoundariesOfDaysWeeksAndMonths)
{
    // Half an hour after midnight: 40 minutes ago was yesterday, 24 hours and 40 minutes ago the day
    // before, which is "last week".
    Clock::setNowForTesting(QDateTime(QDate(2026, 3, 10), QTime(0, 30), Qt::UTC));
    const QDateTime now = Clock::now();
    const auto at = [&](const QString& title, qint64 secondsAgo) {
        ManagedObjectPtr record = doc(title, -1);
        record->setValueForKey(QStringLiteral("updatedDate"), now.addSecs(-secondsAgo));
    };
    at(QStringLiteral("20 minutes"), 20 * kMinute);
    at(QStringLiteral("40 minutes"), 40 * kMinute);
    at(QStringLiteral("day and 40 minutes"), kDay + 40 * kMinute);
    at(QStringLiteral("exactly 7 days"), 7 * kDay);
    at(QStringLiteral("7 days 1 minute"), 7 * kDay + kMinute);
    at(QStringLiteral("exactly 31 days"), 31 * kDay);
    at(QStringLiteral("31 days 1 minute"), 31 * kDay + kMinute);
    save();
    auto controller = makeController();
    EXPECT_EQ(arranged(*controller, QStringLiteral("updatedDate")),
              (QStringList{header("GroupModifiedToday"), QStringLiteral("20 minutes"),
                           header("GroupModifiedYesterday"), QStringLiteral("40 minutes"),
                           header("GroupModifiedLastWeek"), QStringLiteral("day and 40 minutes"),
                           QStringLiteral("exactly 7 days"), header("GroupModifiedLastMonth"),
                           QStringLiteral("7 days 1 minute"), QStringLiteral("exactly 31 days"),
                           header("GroupModifiedInPast"), QStringLiteral("31 days 1 minute")}));
}

TEST_F(GroupedFilesTest, ADocumentWithoutDatesEndsTheTimeGroups)
{
    // Without a modification date the publication date counts; without either the grouping ends.
    doc(QStringLiteral("published"), -1, nullptr,
        {{QStringLiteral("publishedDate"), Clock::now().addSecs(-2 * kHour)}});
    doc(QStringLiteral("undated"), -1);
    doc(QStringLiteral("week"), 3 * kDay);
    doc(QStringLiteral("today"), kHour);
    save();
    auto controller = makeController();
    EXPECT_EQ(arranged(*controller, QStringLiteral("updatedDate"), true),
              (QStringList{header("GroupModifiedToday"), QStringLiteral("published"),
                           QStringLiteral("undated"), QStringLiteral("week"), QStringLiteral("today")}));
    EXPECT_EQ(controller->groupOfRow(4), controller->groupAtRow(0));
    EXPECT_EQ(
        arranged(*controller, QStringLiteral("updatedDate")),
        (QStringList{header("GroupModifiedToday"), QStringLiteral("today"), header("GroupModifiedLastWeek"),
                     QStringLiteral("week"), QStringLiteral("undated"), QStringLiteral("published")}));
}

TEST_F(GroupedFilesTest, RelativeDatesUnderEachKindOfHeader)
{
    const QDateTime now = Clock::now();
    struct Case
    {
        qint32 group;
        qint64 secondsAgo;
        QString expected;
    };
    const QList<Case> cases = {
        {TQGroupWrapper::Today, 59 * kMinute, StringTable::format(QStringLiteral("GroupFormatMins"), 59)},
        {TQGroupWrapper::Today, 30, StringTable::text(QStringLiteral("GroupFormatNow"))},
        {TQGroupWrapper::Today, kMinute, StringTable::text(QStringLiteral("GroupFormatMin"))},
        {TQGroupWrapper::Today, kHour + 59 * kMinute, StringTable::text(QStringLiteral("GroupFormatHour"))},
        {TQGroupWrapper::Today, 2 * kHour, StringTable::format(QStringLiteral("GroupFormatHours"), 2)},
        // A date ahead of the clock reads as now, never as a negative count.
        {TQGroupWrapper::Today, -5 * kMinute, StringTable::text(QStringLiteral("GroupFormatNow"))},
        {TQGroupWrapper::LastWeek, 2 * kDay + kMinute,
         StringTable::format(QStringLiteral("GroupFormatDays"), 3)},
        {TQGroupWrapper::LastWeek, 2 * kDay, StringTable::format(QStringLiteral("GroupFormatDays"), 2)},
        {TQGroupWrapper::LastWeek, 6 * kDay, StringTable::format(QStringLiteral("GroupFormatDays"), 6)},
        {TQGroupWrapper::LastWeek, kDay, StringTable::text(QStringLiteral("GroupFormatDay"))},
        {TQGroupWrapper::LastWeek, 20 * kHour, StringTable::format(QStringLiteral("GroupFormatHours"), 20)},
        {TQGroupWrapper::Yesterday, kDay,
         StringTable::format(QStringLiteral("FileModifiedAt"),
                             TQUtility::sharedShortTimeFormatter().stringFromDate(now.addSecs(-kDay)))},
        {TQGroupWrapper::LastMonth, 20 * kDay,
         TQUtility::sharedShortDateFormatter().stringFromDate(now.addSecs(-20 * kDay))},
        {TQGroupWrapper::InPast, 32 * kDay,
         TQUtility::sharedShortDateFormatter().stringFromDate(now.addSecs(-32 * kDay))},
        {TQGroupWrapper::NoGroup, kHour,
         TQUtility::sharedShortDateFormatter().stringFromDate(now.addSecs(-kHour))},
    };
    for (const Case& c : cases) {
        const TQGroupWrapperPtr group = TQGroupWrapper::groupOf(c.group, QStringLiteral("title"));
        EXPECT_EQ(group->stringRepresentationOfDate(now.addSecs(-c.secondsAgo)), c.expected)
            << "group " << c.group << ", " << c.secondsAgo << " s";
    }
}

TEST_F(GroupedFilesTest, DaysAreCalendarDaysAcrossAClockChange)
{
    // Clocks go forward on 29 March 2026 in Berlin: noon to noon two days later is 47 hours.
    const QTimeZone berlin("Europe/Berlin");
    ASSERT_TRUE(berlin.isValid());
    TQGroupWrapper::setCalendarTimeZoneForTesting(berlin);
    const QDateTime now(QDate(2026, 3, 30), QTime(12, 0), berlin);
    Clock::setNowForTesting(now);
    const TQGroupWrapperPtr week = TQGroupWrapper::groupOf(TQGroupWrapper::LastWeek, QString());
    EXPECT_EQ(week->stringRepresentationOfDate(QDateTime(QDate(2026, 3, 28), QTime(12, 0), berlin)),
              StringTable::format(QStringLiteral("GroupFormatDays"), 2));
    EXPECT_EQ(week->stringRepresentationOfDate(QDateTime(QDate(2026, 3, 28), QTime(11, 0), berlin)),
              StringTable::format(QStringLiteral("GroupFormatDays"), 3));
}

TEST_F(GroupedFilesTest, OwnerGroupsPutMineFirstAndOrderEachOwnerNewestFirst)
{
    auto me = mail(kMe);
    auto alice = mail(QStringLiteral("alice@example.org"), QStringLiteral("Alice Smith"));
    // A name of its own, but no contact: the header shows the address.
    auto bob = mail(QStringLiteral("bob@example.org"));
    bob->setLabel(QStringLiteral("Bobby"));
    doc(QStringLiteral("mine old"), 10 * kDay, me);
    doc(QStringLiteral("a1"), 5 * kDay, alice);
    doc(QStringLiteral("b1"), 2 * kDay, bob);
    doc(QStringLiteral("orphan"), 3 * kDay);
    doc(QStringLiteral("a2"), kDay, alice);
    doc(QStringLiteral("mine new"), kHour, me);
    save();
    auto controller = makeController();
    const QString unknown = StringTable::text(QStringLiteral("UnknownUser"));
    EXPECT_EQ(arranged(*controller, QStringLiteral("owner"), true),
              (QStringList{header("owned by me"), QStringLiteral("mine new"), QStringLiteral("mine old"),
                           owned(unknown), QStringLiteral("orphan"), owned(QStringLiteral("Alice Smith")),
                           QStringLiteral("a2"), QStringLiteral("a1"),
                           owned(QStringLiteral("bob@example.org")), QStringLiteral("b1")}));
    EXPECT_EQ(arranged(*controller, QStringLiteral("owner"), false),
              (QStringList{header("owned by me"), QStringLiteral("mine new"), QStringLiteral("mine old"),
                           owned(QStringLiteral("bob@example.org")), QStringLiteral("b1"),
                           owned(QStringLiteral("Alice Smith")), QStringLiteral("a2"), QStringLiteral("a1"),
                           owned(unknown), QStringLiteral("orphan")}));
    for (int row = 0; row < controller->count(); ++row)
        EXPECT_EQ(controller->groupAtRow(row) ? controller->groupAtRow(row)->group() : 0,
                  TQGroupWrapper::NoGroup);
}

TEST_F(GroupedFilesTest, OwnerGroupsPutDocumentsWithoutADateLastAndTheRestNewestFirst)
{
    auto me = mail(kMe);
    auto alice = mail(QStringLiteral("alice@example.org"), QStringLiteral("Alice Smith"));
    doc(QStringLiteral("mine undated"), -1, me);
    doc(QStringLiteral("mine old"), 10 * kDay, me);
    doc(QStringLiteral("mine new"), kHour, me);
    doc(QStringLiteral("a mid"), 5 * kDay, alice);
    doc(QStringLiteral("a undated"), -1, alice);
    doc(QStringLiteral("a new"), kDay, alice);
    doc(QStringLiteral("a old"), 20 * kDay, alice);
    save();
    auto controller = makeController();
    EXPECT_EQ(arranged(*controller, QStringLiteral("owner"), true),
              (QStringList{header("owned by me"), QStringLiteral("mine new"), QStringLiteral("mine old"),
                           QStringLiteral("mine undated"), owned(QStringLiteral("Alice Smith")),
                           QStringLiteral("a new"), QStringLiteral("a mid"), QStringLiteral("a old"),
                           QStringLiteral("a undated")}));
}

TEST_F(GroupedFilesTest, VisibilityGroupsShowDomainAccessOnlyToDomainAccounts)
{
    acl(doc(QStringLiteral("link"), kHour), QStringLiteral("default"), true);
    acl(doc(QStringLiteral("web"), 2 * kHour), QStringLiteral("default"), false);
    acl(doc(QStringLiteral("domain link"), 3 * kHour), QStringLiteral("domain"), true);
    acl(doc(QStringLiteral("domain"), 4 * kHour), QStringLiteral("domain"), false);
    acl(doc(QStringLiteral("strange"), 5 * kHour), QStringLiteral("anyone"), false);
    doc(QStringLiteral("private old"), 6 * kHour);
    doc(QStringLiteral("private new"), kMinute);
    save();
    auto controller = makeController();
    EXPECT_EQ(arranged(*controller, QStringLiteral("visibility")),
              (QStringList{header("PrivateGroup"), QStringLiteral("private new"),
                           QStringLiteral("private old"), header("LinkGroup"), QStringLiteral("link"),
                           header("WebGroup"), QStringLiteral("web"), header("DomainLinkGroup"),
                           QStringLiteral("domain link"), header("DomainGroup"), QStringLiteral("domain")}));
    controller->setUsername(QStringLiteral("someone@gmail.com"));
    EXPECT_EQ(arranged(*controller, QStringLiteral("visibility")),
              (QStringList{header("PrivateGroup"), QStringLiteral("private new"),
                           QStringLiteral("private old"), header("LinkGroup"), QStringLiteral("link"),
                           header("WebGroup"), QStringLiteral("web")}));
}

TEST_F(GroupedFilesTest, SharingsGroupsAndSwitchingGroupsInTheSameOrderOnlyRegroups)
{
    auto me = mail(kMe);
    auto shout = mail(QStringLiteral("ME@EXAMPLE.ORG"));
    auto alice = mail(QStringLiteral("alice@example.org"));
    auto bob = mail(QStringLiteral("bob@example.org"));
    doc(QStringLiteral("shared by me"), kHour, me)->addToMany(QStringLiteral("commenters"), bob);
    doc(QStringLiteral("mine alone"), 2 * kHour, me);
    doc(QStringLiteral("i edit"), 3 * kHour, alice)->addToMany(QStringLiteral("editors"), shout);
    doc(QStringLiteral("i view"), 4 * kHour, alice)->addToMany(QStringLiteral("viewers"), me);
    doc(QStringLiteral("theirs"), 5 * kHour, alice)->addToMany(QStringLiteral("editors"), bob);
    save();
    auto controller = makeController();
    arranged(*controller, QStringLiteral("visibility"));
    const QList<SortDescriptor> order = controller->sortDescriptors();
    controller->setAutomaticallyPreparesContent(true);
    QSignalSpy resets(controller.get(), &QAbstractItemModel::modelReset);
    controller->setSortDescriptors({SortDescriptor(QStringLiteral("sharings"), false)});
    EXPECT_EQ(controller->sortDescriptors(), order);
    EXPECT_EQ(controller->groupper(), Groupper::Sharings);
    EXPECT_EQ(rows(*controller),
              (QStringList{header("shared by me"), QStringLiteral("shared by me"), header("shared with me"),
                           QStringLiteral("i edit"), QStringLiteral("i view"), header("not shared"),
                           QStringLiteral("mine alone"), QStringLiteral("theirs")}));
    EXPECT_EQ(resets.count(), 0);
}

TEST_F(GroupedFilesTest, ClassGroupsByKindOfDocument)
{
    const QList<std::pair<QString, QString>> documents = {
        {QStringLiteral("document:1"), QStringLiteral("letter")},
        {QStringLiteral("file:2"), QStringLiteral("scan.PDF")},
        {QStringLiteral("presentation:3"), QStringLiteral("deck")},
        {QStringLiteral("form:4"), QStringLiteral("survey")},
        {QStringLiteral("spreadsheet:5"), QStringLiteral("budget")},
        {QStringLiteral("drawing:6"), QStringLiteral("sketch")},
        {QStringLiteral("pdf:7"), QStringLiteral("manual")},
        {QStringLiteral("file:8"), QStringLiteral("photo.JPG")},
        {QStringLiteral("file:9"), QStringLiteral("song.mp3")},
        {QStringLiteral("file:10"), QStringLiteral("clip.mov")},
        {QStringLiteral("file:11"), QStringLiteral("notes.txt")},
        {QStringLiteral("file:12"), QStringLiteral("archive.tar")},
    };
    qint64 age = kMinute;
    for (const auto& [resourceId, name] : documents)
        doc(name, age += kMinute, nullptr,
            {{QStringLiteral("resourceId"), resourceId}, {QStringLiteral("filename"), name}});
    doc(QStringLiteral("folder"), 30 * kMinute, nullptr,
        {{QStringLiteral("resourceId"), QStringLiteral("folder:1")}}, QStringLiteral("Category"));
    save();
    auto controller = makeController();
    EXPECT_EQ(arranged(*controller, QStringLiteral("class")), (QStringList{header("documents"),
                                                                           QStringLiteral("letter"),
                                                                           header("presentations"),
                                                                           QStringLiteral("deck"),
                                                                           header("spreadsheets"),
                                                                           QStringLiteral("budget"),
                                                                           header("forms"),
                                                                           QStringLiteral("survey"),
                                                                           header("drawings"),
                                                                           QStringLiteral("sketch"),
                                                                           header("PDF documents"),
                                                                           QStringLiteral("scan.PDF"),
                                                                           QStringLiteral("manual"),
                                                                           header("images"),
                                                                           QStringLiteral("photo.JPG"),
                                                                           header("music"),
                                                                           QStringLiteral("song.mp3"),
                                                                           header("videos"),
                                                                           QStringLiteral("clip.mov"),
                                                                           header("collections"),
                                                                           QStringLiteral("folder"),
                                                                           header("others"),
                                                                           QStringLiteral("notes.txt"),
                                                                           QStringLiteral("archive.tar")}));
    EXPECT_EQ(logCount("File: <notes.txt> UTI: "), 1);
}

TEST_F(GroupedFilesTest, CollectionGroupsAndListsWithoutGroups)
{
    auto folder = doc(QStringLiteral("folder"), 5 * kHour, nullptr, {}, QStringLiteral("Category"));
    doc(QStringLiteral("filed"), kHour, nullptr, {{QStringLiteral("quotaBytesUsed"), 300}})
        ->addToMany(QStringLiteral("categories"), folder);
    doc(QStringLiteral("loose"), 2 * kHour, nullptr, {{QStringLiteral("quotaBytesUsed"), 100}});
    doc(QStringLiteral("big"), 3 * kHour, nullptr, {{QStringLiteral("quotaBytesUsed"), 900}});
    save();
    auto controller = makeController();
    EXPECT_EQ(arranged(*controller, QStringLiteral("collections")),
              (QStringList{header("in collections"), QStringLiteral("filed"), header("not in collections"),
                           QStringLiteral("loose"), QStringLiteral("big"), QStringLiteral("folder")}));
    EXPECT_EQ(arranged(*controller, QStringLiteral("size")),
              (QStringList{QStringLiteral("big"), QStringLiteral("filed"), QStringLiteral("loose"),
                           QStringLiteral("folder")}));
    EXPECT_EQ(arranged(*controller, QStringLiteral("title"), true),
              (QStringList{QStringLiteral("big"), QStringLiteral("filed"), QStringLiteral("folder"),
                           QStringLiteral("loose")}));
    EXPECT_TRUE(controller->groups().isEmpty());
}

TEST_F(GroupedFilesTest, AnEmptyListHasNoHeaders)
{
    auto controller = makeController();
    EXPECT_TRUE(arranged(*controller, QStringLiteral("updatedDate")).isEmpty());
    EXPECT_TRUE(arranged(*controller, QStringLiteral("owner")).isEmpty());
}

TEST_F(GroupedFilesTest, RowsAnswerTheirHeadersAndRecords)
{
    doc(QStringLiteral("today"), kHour);
    doc(QStringLiteral("also today"), 2 * kHour);
    doc(QStringLiteral("old"), 50 * kDay);
    save();
    auto controller = makeController();
    arranged(*controller, QStringLiteral("updatedDate"));
    ASSERT_EQ(controller->count(), 5);
    EXPECT_TRUE(controller->isGroupRow(0));
    EXPECT_FALSE(controller->isGroupRow(1));
    EXPECT_FALSE(controller->isGroupRow(-1));
    EXPECT_FALSE(controller->isGroupRow(5));
    EXPECT_EQ(controller->objectAtRow(0), nullptr);
    EXPECT_EQ(controller->groupAtRow(1), nullptr);
    EXPECT_EQ(controller->groupOfRow(2), controller->groupAtRow(0));
    EXPECT_EQ(controller->groupOfRow(0), controller->groupAtRow(0));
    EXPECT_EQ(controller->groupOfRow(4), controller->groupAtRow(3));
    EXPECT_EQ(controller->groupOfRow(7), nullptr);
    EXPECT_EQ(controller->groups(),
              (QList<TQGroupWrapperPtr>{controller->groupAtRow(0), controller->groupAtRow(3)}));
    const QModelIndex headerIndex = controller->index(0);
    EXPECT_EQ(controller->data(headerIndex).toString(),
              StringTable::text(QStringLiteral("GroupModifiedToday")));
    EXPECT_EQ(
        controller->data(headerIndex, TQTimeGroupedFilesController::GroupRole).value<TQGroupWrapperPtr>(),
        controller->groupAtRow(0));
    EXPECT_EQ(controller->data(controller->index(1)).toString(), QStringLiteral("today"));
    EXPECT_EQ(controller->data(controller->index(1), TQTimeGroupedFilesController::GroupRole)
                  .value<TQGroupWrapperPtr>(),
              nullptr);
    // Arranging again keeps the same header objects.
    const TQGroupWrapperPtr today = controller->groupAtRow(0);
    controller->rearrangeObjects();
    EXPECT_EQ(controller->groupAtRow(0), today);
}

// Groups by date, but leaves every document after the first without a header.
class OneHeaderController : public TQTimeGroupedFilesController
{
public:
    using TQTimeGroupedFilesController::TQTimeGroupedFilesController;

protected:
    QList<Group> groupRows(Groupper, const QList<Row>& rows) override
    {
        QList<Group> groups{Group{header(0, QStringLiteral("first")), {rows.first().id}}};
        if (rows.size() > 1)
            groups.append(Group{nullptr, {}});
        for (qsizetype i = 1; i < rows.size(); ++i)
            groups.last().ids.append(rows.at(i).id);
        return groups;
    }
};

TEST_F(GroupedFilesTest, EachDocumentRowAnswersTheHeaderItLiesUnder)
{
    const ManagedObjectPtr moved = doc(QStringLiteral("moved"), kHour);
    doc(QStringLiteral("old"), 50 * kDay);
    save();
    auto controller = makeController();
    arranged(*controller, QStringLiteral("updatedDate"));
    ASSERT_EQ(rows(*controller).size(), 4);
    EXPECT_EQ(controller->groupOfRow(1), controller->groupAtRow(0));
    EXPECT_EQ(controller->groupOfRow(3), controller->groupAtRow(2));

    // After another arrangement a row answers its new header.
    moved->setValueForKey(QStringLiteral("updatedDate"), kNow.addSecs(-60 * kDay));
    save();
    controller->rearrangeObjects();
    ASSERT_EQ(rows(*controller).size(), 3);
    EXPECT_EQ(controller->groupOfRow(1), controller->groupAtRow(0));
    EXPECT_EQ(controller->groupOfRow(2), controller->groupAtRow(0));

    // Documents of a group without a header lie under none, not under the header above them.
    auto split = makeController<OneHeaderController>();
    arranged(*split, QStringLiteral("updatedDate"));
    ASSERT_EQ(rows(*split), (QStringList{"# first", "old", "moved"}));
    EXPECT_EQ(split->groupOfRow(1), split->groupAtRow(0));
    EXPECT_EQ(split->groupOfRow(2), nullptr);
}

TEST_F(GroupedFilesTest, MailListGroupsByOwnerRelativeToTheContact)
{
    auto me = mail(kMe);
    auto carol = mail(QStringLiteral("carol@example.org"), QStringLiteral("Carol"));
    auto dave = mail(QStringLiteral("dave@example.org"));
    doc(QStringLiteral("mine"), kHour, me);
    doc(QStringLiteral("carol shares"), 2 * kHour, carol)->addToMany(QStringLiteral("viewers"), me);
    doc(QStringLiteral("carol keeps"), 3 * kHour, carol);
    const QVariantMap invite = {{QStringLiteral("writersCanInvite"), true}};
    auto open = doc(QStringLiteral("third open"), 4 * kHour, dave, invite);
    open->addToMany(QStringLiteral("editors"), me);
    open->addToMany(QStringLiteral("viewers"), carol);
    auto closed = doc(QStringLiteral("third closed"), 5 * kHour, dave);
    closed->addToMany(QStringLiteral("editors"), me);
    closed->addToMany(QStringLiteral("editors"), carol);
    doc(QStringLiteral("third without carol"), 6 * kHour, dave, invite)
        ->addToMany(QStringLiteral("editors"), me);
    save();
    auto controller = makeController<TQMailGroupedFilesController>();
    controller->setEmail(carol);
    EXPECT_EQ(arranged(*controller, QStringLiteral("owner")),
              (QStringList{header("owned by me"), QStringLiteral("mine"), owned(QStringLiteral("Carol")),
                           QStringLiteral("carol shares"), header("owned by others"),
                           QStringLiteral("third open")}));
    EXPECT_EQ(controller->sortDescriptors(),
              (QList<SortDescriptor>{SortDescriptor(QStringLiteral("updatedDate"), false)}));

    // The user's own page: every owner that shares with the user, in order of address.
    auto zed = mail(QStringLiteral("zed@example.org"));
    doc(QStringLiteral("zed shares"), 7 * kHour, zed)->addToMany(QStringLiteral("editors"), me);
    save();
    controller->setEmail(me);
    EXPECT_EQ(
        arranged(*controller, QStringLiteral("owner")),
        (QStringList{header("owned by me"), QStringLiteral("mine"), owned(carol->displayName()),
                     QStringLiteral("carol shares"), owned(dave->displayName()), QStringLiteral("third open"),
                     QStringLiteral("third closed"), QStringLiteral("third without carol"),
                     owned(zed->displayName()), QStringLiteral("zed shares")}));
}

TEST_F(GroupedFilesTest, ASearchFiltersTheRowsAndTheirHeaders)
{
    doc(QStringLiteral("Quarterly report"), kHour);
    doc(QStringLiteral("holiday photos"), 2 * kHour);
    doc(QStringLiteral("old report"), 40 * kDay);
    doc(QStringLiteral("yesterday's notes"), kDay);
    save();
    auto controller = makeController();
    arranged(*controller, QStringLiteral("updatedDate"));
    controller->setAutomaticallyPreparesContent(true);
    controller->setSearchString(QStringLiteral("REPORT"));
    EXPECT_EQ(rows(*controller),
              (QStringList{header("GroupModifiedToday"), QStringLiteral("Quarterly report"),
                           header("GroupModifiedInPast"), QStringLiteral("old report")}));
    controller->setSearchString(QString());
    EXPECT_EQ(controller->count(), 7);
}

// Typing a search filters the list's last fetch in memory: each step must show what a fresh fetch of
// the same search shows, through record changes, other contexts' saves, regrouping and clearing.
TEST_F(GroupedFilesTest, ATypedSearchShowsWhatAFreshFetchShows)
{
    auto alice = mail(QStringLiteral("alice@example.org"));
    const QStringList titles = {QStringLiteral("Café crème"),
                                QStringLiteral("CAFE menu"),
                                QStringLiteral("cafe\u0301 decomposed"),
                                QStringLiteral("naïve Ærø"),
                                QStringLiteral("O'Brien \"draft\""),
                                QStringLiteral("100% done"),
                                QStringLiteral("a*b and 50%*"),
                                QStringLiteral("straße"),
                                QStringLiteral("\uFB01le ligature"),
                                QStringLiteral("İstanbul"),
                                QStringLiteral("back\\slash"),
                                QStringLiteral("")};
    for (int i = 0; i < titles.size(); ++i)
        doc(titles.at(i), qint64(i) * 9 * kDay, i % 2 ? alice : nullptr);
    doc(QString(), 3 * kHour);
    doc(QStringLiteral("Café collection"), 2 * kHour, nullptr, {}, QStringLiteral("Category"));
    save();

    QString key = QStringLiteral("updatedDate");
    const auto fresh = [&](const QString& search) { return searchedAfresh(key, search); };
    auto typed = makeController();
    arranged(*typed, key);
    typed->setAutomaticallyPreparesContent(true);
    const auto typeEach = [&](const QStringList& searches) {
        for (const QString& search : searches) {
            typed->setSearchString(search);
            EXPECT_EQ(rows(*typed), fresh(search)) << qPrintable(search);
        }
    };
    typeEach({QStringLiteral("c"),
              QStringLiteral("ca"),
              QStringLiteral("caf"),
              QStringLiteral("café"),
              QStringLiteral("CAFÉ"),
              QStringLiteral("cafe\u0301"),
              QStringLiteral("e\u0301"),
              QStringLiteral("\u0301"),
              QStringLiteral("NAIVE AERO"),
              QStringLiteral("ærø"),
              QStringLiteral("'"),
              QStringLiteral("\"draft\""),
              QStringLiteral("%"),
              QStringLiteral("100%"),
              QStringLiteral("*"),
              QStringLiteral("a*b"),
              QStringLiteral("%*"),
              QStringLiteral("\\"),
              QStringLiteral("STRASSE"),
              QStringLiteral("ß"),
              QStringLiteral("file"),
              QStringLiteral("i"),
              QStringLiteral("İ"),
              QStringLiteral("\u212A"),
              QString(),
              QStringLiteral("zzz"),
              QStringLiteral("")});
    // Every spelling of the word, and the collection.
    EXPECT_EQ(fresh(QStringLiteral("café")).filter(QStringLiteral("af"), Qt::CaseInsensitive).size(), 4);

    // A record of the list changes under a search, then the search goes on.
    typeEach({QStringLiteral("caf")});
    const ManagedObjectPtr menu = typed->objectAtRow(typed->rowOfObjectID([&] {
        for (const ManagedObjectID& id : typed->arrangedObjectIDs())
            if (auto record = m_context->objectWithID(id);
                record && record->valueForKey(QStringLiteral("title")) == QStringLiteral("CAFE menu"))
                return id;
        return ManagedObjectID();
    }()));
    ASSERT_TRUE(menu);
    menu->setValueForKey(QStringLiteral("title"), QStringLiteral("Menu of the day"));
    save();
    m_context->processPendingChanges();
    EXPECT_EQ(rows(*typed), fresh(QStringLiteral("caf")));
    typeEach({QStringLiteral("cafe"), QStringLiteral("menu"), QStringLiteral("")});

    // Another context's save reaches the store before this context hears of it.
    {
        ManagedObjectContext other(m_coordinator);
        ManagedObjectPtr record = other.insertNewObject(QStringLiteral("File"));
        record->setValueForKey(QStringLiteral("title"), QStringLiteral("Café from elsewhere"));
        record->setValueForKey(QStringLiteral("updatedDate"), kNow.addSecs(-kMinute));
        ASSERT_TRUE(other.save());
    }
    typeEach({QStringLiteral("caf"), QStringLiteral("elsewhere")});

    // Regrouping and a filter of the list's own under a search, then clearing it.
    key = QStringLiteral("owner");
    typed->setSortDescriptors({SortDescriptor(key, false)});
    EXPECT_EQ(rows(*typed), fresh(QStringLiteral("elsewhere")));
    typeEach({QStringLiteral("c"), QStringLiteral("CAFÉ"), QString()});
    typed->setFilterPredicate(Predicate::format("entity.name == %@", QStringLiteral("Category")));
    typed->setSearchString(QStringLiteral("caf"));
    EXPECT_EQ(rows(*typed), (QStringList{owned(StringTable::text(QStringLiteral("UnknownUser"))),
                                         QStringLiteral("Café collection")}));
}

// Drawing rows leaves unsaved bookkeeping in records the list does not read; unsaved changes of the
// listed records themselves must still reach the search before the context announces them.
TEST_F(GroupedFilesTest, ATypedSearchSeesUnsavedChangesOfItsRecordsOnly)
{
    auto alice = mail(QStringLiteral("alice@example.org"));
    const QStringList titles = {QStringLiteral("Café crème"), QStringLiteral("CAFE menu"),
                                QStringLiteral("tea"), QStringLiteral("cake")};
    QList<ManagedObjectPtr> docs;
    for (int i = 0; i < titles.size(); ++i)
        docs << doc(titles.at(i), qint64(i) * kDay, i % 2 ? alice : nullptr);
    save();

    const QString key = QStringLiteral("owner");
    const auto fresh = [&](const QString& search) { return searchedAfresh(key, search); };
    auto typed = makeController();
    arranged(*typed, key);
    typed->setAutomaticallyPreparesContent(true);
    const auto type = [&](const QString& search) {
        typed->setSearchString(search);
        EXPECT_EQ(rows(*typed), fresh(search)) << qPrintable(search);
    };
    type(QStringLiteral("c"));

    // The cached file of a listed document asked for again, announced or not.
    const auto cached = std::dynamic_pointer_cast<File>(docs.at(0))->fileCachedFile();
    ASSERT_TRUE(cached);
    cached->setLastRequestedETag(QStringLiteral("\"asked\""));
    type(QStringLiteral("ca"));
    m_context->processPendingChanges();
    type(QStringLiteral("caf"));
    ASSERT_TRUE(m_context->hasChanges());

    // Each unsaved change of a listed record is seen by the next character, before it is announced.
    struct Row
    {
        const char* what;
        std::function<void()> change;
        QString search;
        QString title; // the changed row's title, and whether the search shows it
        bool shown;
    };
    const QList<Row> changes = {
        {"renamed", [&] { docs.at(2)->setValueForKey(QStringLiteral("title"), QStringLiteral("tea café")); },
         QStringLiteral("café"), QStringLiteral("tea café"), true},
        {"deleted", [&] { m_context->deleteObject(docs.at(1)); }, QStringLiteral("caf"),
         QStringLiteral("CAFE menu"), false},
        {"inserted", [&] { doc(QStringLiteral("new cafe"), kMinute); }, QStringLiteral("cafe"),
         QStringLiteral("new cafe"), true},
    };
    for (const Row& row : changes) {
        row.change();
        typed->setSearchString(row.search);
        EXPECT_EQ(rows(*typed).contains(row.title), row.shown) << row.what;
        EXPECT_EQ(rows(*typed), fresh(row.search)) << row.what;
        m_context->processPendingChanges();
        type(QStringLiteral("c"));
        save();
        m_context->processPendingChanges();
        type(row.search);
    }
}

TEST_F(GroupedFilesTest, AChangedRecordMovesToItsNewGroupInItsOwnRow)
{
    doc(QStringLiteral("fresh"), kHour);
    auto moving = doc(QStringLiteral("moving"), 20 * kDay);
    doc(QStringLiteral("ancient"), 100 * kDay);
    save();
    auto controller = makeController();
    arranged(*controller, QStringLiteral("updatedDate"));
    controller->setAutomaticallyPreparesContent(true);
    ASSERT_EQ(rows(*controller), (QStringList{header("GroupModifiedToday"), QStringLiteral("fresh"),
                                              header("GroupModifiedLastMonth"), QStringLiteral("moving"),
                                              header("GroupModifiedInPast"), QStringLiteral("ancient")}));
    const QPersistentModelIndex movingRow(controller->index(3));
    const QPersistentModelIndex todayHeader(controller->index(0));
    QSignalSpy resets(controller.get(), &QAbstractItemModel::modelReset);
    QSignalSpy changes(controller.get(), &ListModel::arrangedObjectsChanged);

    moving->setValueForKey(QStringLiteral("updatedDate"), Clock::now().addSecs(-5 * kMinute));
    save();
    m_context->processPendingChanges();

    EXPECT_EQ(rows(*controller),
              (QStringList{header("GroupModifiedToday"), QStringLiteral("moving"), QStringLiteral("fresh"),
                           header("GroupModifiedInPast"), QStringLiteral("ancient")}));
    EXPECT_GE(changes.count(), 1);
    EXPECT_EQ(resets.count(), 0);
    ASSERT_TRUE(movingRow.isValid());
    EXPECT_EQ(movingRow.row(), 1);
    EXPECT_EQ(todayHeader.row(), 0);
    EXPECT_EQ(controller->groupOfRow(1)->group(), TQGroupWrapper::Today);
}

TEST_F(GroupedFilesTest, AFetchOnAnotherThreadGroupsTheSame)
{
    auto me = mail(kMe);
    auto alice = mail(QStringLiteral("alice@example.org"));
    doc(QStringLiteral("mine"), kHour, me);
    doc(QStringLiteral("hers"), 2 * kHour, alice);
    save();
    auto controller = makeController();
    controller->setSortDescriptors({SortDescriptor(QStringLiteral("owner"))});
    const ListFetchPtr fetch = controller->makeFetch();
    std::thread worker([fetch] { fetch->run(); });
    worker.join();
    ASSERT_TRUE(fetch->error().isNull());
    controller->adoptFetch(*fetch);
    EXPECT_EQ(rows(*controller),
              (QStringList{header("owned by me"), QStringLiteral("mine"),
                           owned(QStringLiteral("alice@example.org")), QStringLiteral("hers")}));
}

} // namespace
} // namespace tavrel

namespace tavrel {
namespace {

// What each row shows is a role, and a change reaches only the rows and roles it touches: a document's
// own change, its access entry's, and a person's shown in it (through the relationships back).
TEST_F(GroupedFilesTest, RowsShowTheirRolesAndAChangeRedrawsOnlyTheRowsAndRolesItTouches)
{
    auto ann = mail(QStringLiteral("ann@example.org"), QStringLiteral("Ann"));
    auto bob = mail(QStringLiteral("bob@example.org"));
    auto shared = doc(QStringLiteral("shared"), kHour, ann, {{QStringLiteral("isStarred"), true}});
    shared->setValueForKey(QStringLiteral("alternateLink"), QStringLiteral("http://127.0.0.1:1/shared"));
    const ManagedObjectPtr access = acl(shared, QStringLiteral("default"), true);
    auto plain = doc(QStringLiteral("plain"), 2 * kHour, nullptr, {{QStringLiteral("isNew"), true}});
    auto other = doc(QStringLiteral("other"), 3 * kHour, bob);
    save();
    auto controller = makeController();
    QAbstractItemModelTester tester(controller.get(), QAbstractItemModelTester::FailureReportingMode::Fatal);
    arranged(*controller, QStringLiteral("updatedDate"));
    controller->setAutomaticallyPreparesContent(true);
    ASSERT_EQ(rows(*controller), (QStringList{header("GroupModifiedToday"), QStringLiteral("shared"),
                                              QStringLiteral("plain"), QStringLiteral("other")}));
    const auto value = [&controller](int row, int role) {
        return controller->data(controller->index(row), role);
    };

    // The header row, then the documents' roles.
    EXPECT_TRUE(value(0, ListModel::GroupRowRole).toBool());
    EXPECT_EQ(value(0, ListModel::TitleRole).toString(),
              StringTable::text(QStringLiteral("GroupModifiedToday")));
    EXPECT_TRUE(value(0, ListModel::GroupRole).value<TQGroupWrapperPtr>());
    EXPECT_FALSE(value(1, ListModel::GroupRowRole).toBool());
    EXPECT_EQ(value(1, ListModel::TitleRole).toString(), QStringLiteral("shared"));
    EXPECT_EQ(value(1, ListModel::AccessIndexRole).toInt(), 2);
    EXPECT_EQ(value(2, ListModel::AccessIndexRole).toInt(), 1);
    EXPECT_EQ(value(1, ListModel::ItemStateRole).toInt(), 4);
    EXPECT_EQ(value(2, ListModel::ItemStateRole).toInt(), 1);
    EXPECT_EQ(value(3, ListModel::ItemStateRole).toInt(), 3);
    EXPECT_EQ(value(1, ListModel::LinkRole).value<ManagedObjectPtr>(), access);
    EXPECT_FALSE(value(2, ListModel::LinkRole).value<ManagedObjectPtr>());
    EXPECT_EQ(value(1, ListModel::PeopleRole).value<QList<ManagedObjectPtr>>(), QList<ManagedObjectPtr>{ann});
    EXPECT_TRUE(value(2, ListModel::PeopleRole).value<QList<ManagedObjectPtr>>().isEmpty());
    EXPECT_FALSE(value(1, ListModel::ThumbnailRole).value<QPixmap>().isNull());
    EXPECT_FALSE(value(1, ListModel::SubtitleRole).toString().isEmpty());
    // Every role at once reads the same.
    std::array<QModelRoleData, 2> both = {QModelRoleData(ListModel::TitleRole),
                                          QModelRoleData(ListModel::AccessIndexRole)};
    controller->multiData(controller->index(1), both);
    EXPECT_EQ(both[0].data().toString(), QStringLiteral("shared"));
    EXPECT_EQ(both[1].data().toInt(), 2);

    struct Case
    {
        const char* name;
        std::function<void()> change;
        int row;
        QList<int> roles;
    };
    const Case cases[] = {
        {"the access entry's own values",
         [&] { access->setValueForKey(QStringLiteral("hasLink"), false); },
         1,
         {ListModel::AccessIndexRole, ListModel::LinkRole}},
        {"a person shown in the row",
         [&] { bob->setAddress(QStringLiteral("robert@example.org")); },
         3,
         {ListModel::SubtitleRole, ListModel::PeopleRole}},
        {"the person's contact",
         [&] { ann->contact()->setName(QStringLiteral("Annie")); },
         1,
         {ListModel::SubtitleRole, ListModel::PeopleRole}},
        {"the document itself", [&] { plain->setValueForKey(QStringLiteral("isNew"), false); }, 2,
         DocumentRowRoles::recordRoles()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QSignalSpy changed(controller.get(), &QAbstractItemModel::dataChanged);
        QSignalSpy resets(controller.get(), &QAbstractItemModel::modelReset);
        c.change();
        save();
        m_context->processPendingChanges();
        ASSERT_EQ(changed.size(), 1);
        EXPECT_EQ(changed.first().at(0).value<QModelIndex>().row(), c.row);
        EXPECT_EQ(changed.first().at(1).value<QModelIndex>().row(), c.row);
        QList<int> roles = changed.first().at(2).value<QList<int>>();
        QList<int> expected = c.roles;
        std::sort(roles.begin(), roles.end());
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(roles, expected);
        EXPECT_EQ(resets.size(), 0);
    }
    EXPECT_EQ(value(1, ListModel::AccessIndexRole).toInt(), 3);
    EXPECT_EQ(value(2, ListModel::ItemStateRole).toInt(), 3);
}

// A thumbnail file is read in the background the first time its row asks; the kind's icon stands in,
// then the row is told its thumbnail changed.
TEST_F(GroupedFilesTest, AThumbnailIsReadInTheBackgroundAndItsRowToldWhenReady)
{
    const QString path =
        QDir(QDir::tempPath())
            .filePath(QStringLiteral("thumbnail-%1.png").arg(QCoreApplication::applicationPid()));
    QImage picture(200, 100, QImage::Format_ARGB32);
    picture.fill(Qt::red);
    ASSERT_TRUE(picture.save(path));
    const auto removeFile = qScopeGuard([&path] { QFile::remove(path); });
    const ManagedObjectPtr document = doc(QStringLiteral("picture.png"), kHour, nullptr,
                                          {{QStringLiteral("filename"), QStringLiteral("picture.png")}});
    const ManagedObjectPtr icon = m_context->insertNewObject(QStringLiteral("FileCachedIcon"));
    icon->setValueForKey(QStringLiteral("value"), path);
    document->setToOne(QStringLiteral("fileCachedIcon"), icon);
    save();
    auto controller = makeController();
    arranged(*controller, QStringLiteral("title"));
    ASSERT_EQ(controller->count(), 1);
    QSignalSpy changed(controller.get(), &QAbstractItemModel::dataChanged);
    const QPixmap first = controller->data(controller->index(0), ListModel::ThumbnailRole).value<QPixmap>();
    EXPECT_FALSE(first.isNull());
    ASSERT_TRUE(test::waitUntil([&changed] { return changed.size() == 1; }));
    EXPECT_EQ(changed.first().at(2).value<QList<int>>(), QList<int>{ListModel::ThumbnailRole});
    const QImage ready =
        controller->data(controller->index(0), ListModel::ThumbnailRole).value<QPixmap>().toImage();
    ASSERT_FALSE(ready.isNull());
    EXPECT_EQ(ready.pixelColor(ready.width() / 2, ready.height() / 2), QColor(Qt::red));
    EXPECT_LE(ready.deviceIndependentSize().width(), TQTimeGroupedFilesController::kThumbnailEdge);

    // Another cached icon: that row's thumbnail, and nothing else of it, is drawn again.
    controller->setAutomaticallyPreparesContent(true);
    changed.clear();
    icon->setValueForKey(QStringLiteral("value"), path + QStringLiteral(".other"));
    save();
    m_context->processPendingChanges();
    ASSERT_GE(changed.size(), 1);
    EXPECT_EQ(changed.first().at(0).value<QModelIndex>().row(), 0);
    EXPECT_EQ(changed.first().at(2).value<QList<int>>(), QList<int>{ListModel::ThumbnailRole});
}

} // namespace
} // namespace tavrel
