#include "sharing/SharingPermissions.h"

#include "SharingFixture.h"
#include "model/GeneralACLPermissionAdapter.h"
#include "platform/ui/StringTable.h"
#include "window/TQNotificationController.h"

#include <QWidget>
#include <gtest/gtest.h>

namespace tavrel {
namespace {

using Items = SharingPermissions::Items;

class SharingPermissionsTest : public test::SharingFixture
{
protected:
    void SetUp() override
    {
        SharingFixture::SetUp();
        me = mail(kUser);
        ann = mail(QStringLiteral("ann@example.com"), QStringLiteral("Ann Lee"));
        bob = mail(QStringLiteral("bob@x.com"));
        // Someone whose address only begins with Bob's.
        evil = mail(QStringLiteral("bob@x.com.evil.org"));
        omar = mail(QStringLiteral("omar@example.com"));
    }
    static Items items(std::initializer_list<std::shared_ptr<File>> files)
    {
        Items list;
        for (const auto& f : files)
            list.append(f);
        return list;
    }

    std::shared_ptr<Mail> me, ann, bob, evil, omar;
};

TEST_F(SharingPermissionsTest, RoleCodesMapToAccessListAndGeneralRoles)
{
    const struct
    {
        int code;
        int aclRole;
        const char* generalRole;
        const char* name;
        const char* tooltip;
    } rows[] = {
        {1, 0, "reader", "Viewer", "CanView"},   {-1, 1, "commenter", "Commenter", "CanComment"},
        {0, 2, "writer", "Editor", "CanEdit"},   {5, 2, "writer", "Editor", "CanView"},
        {2, 2, "writer", "Editor", "SortOwner"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.code);
        EXPECT_EQ(SharingPermissions::aclRoleForRoleCode(row.code), row.aclRole);
        EXPECT_EQ(SharingPermissions::generalRoleForRoleCode(row.code), QLatin1String(row.generalRole));
        EXPECT_EQ(SharingPermissions::roleName(row.code), QLatin1String(row.name));
        EXPECT_EQ(SharingPermissions::tooltipKeyForRoleCode(row.code), QLatin1String(row.tooltip));
    }
    EXPECT_EQ(SharingPermissions::roleCodeForGeneralRole(QStringLiteral("writer")), 0);
    EXPECT_EQ(SharingPermissions::roleCodeForGeneralRole(QStringLiteral("commenter")), -1);
    EXPECT_EQ(SharingPermissions::roleCodeForGeneralRole(QStringLiteral("reader")), 1);
    EXPECT_FALSE(SharingPermissions::roleCodeForGeneralRole(QStringLiteral("owner")).has_value());
    EXPECT_EQ(SharingPermissions::regularImageForRoleCode(-1), QStringLiteral("icon-comment-regular"));
    EXPECT_EQ(SharingPermissions::activeImageForRoleCode(2), QStringLiteral("icon-owner-active"));
}

TEST_F(SharingPermissionsTest, APersonsRoleIsFoundEditorsFirstByWholeAddress)
{
    auto both = file(QStringLiteral("both"), me);
    both->setEditors({ann});
    both->setViewers({ann, omar});
    both->setCommenters({bob});
    auto prefix = file(QStringLiteral("prefix"), me);
    prefix->setEditors({evil});
    EXPECT_EQ(SharingPermissions::roleCodeForPerson(*both, QStringLiteral("ann@example.com")), 0);
    EXPECT_EQ(SharingPermissions::roleCodeForPerson(*both, QStringLiteral("OMAR@Example.com")), 1);
    EXPECT_EQ(SharingPermissions::roleCodeForPerson(*both, QStringLiteral("bob@x.com")), -1);
    EXPECT_FALSE(SharingPermissions::roleCodeForPerson(*both, QStringLiteral("zoe@example.com")).has_value());
    // "bob@x.com" is not an editor because "bob@x.com.evil.org" is one, nor is "bob" one.
    EXPECT_FALSE(SharingPermissions::roleCodeForPerson(*prefix, QStringLiteral("bob@x.com")).has_value());
    EXPECT_FALSE(SharingPermissions::roleCodeForPerson(*prefix, QStringLiteral("bob")).has_value());
}

TEST_F(SharingPermissionsTest, RolesOverSeveralItems)
{
    auto a = file(QStringLiteral("a"), me);
    auto b = file(QStringLiteral("b"), omar);
    a->setEditors({ann});
    b->setEditors({ann, evil});
    b->setViewers({bob});
    auto c = file(QStringLiteral("c"), ann);
    c->setViewers({bob});
    c->setCommenters({omar});
    const struct
    {
        const char* caption;
        Items items;
        QString address;
        int role;
        const char* flags;
    } rows[] = {
        {"edits both", items({a, b}), QStringLiteral("ann@example.com"), 0, "[O:- E:+ V:- N:-]"},
        {"views both", items({b, c}), QStringLiteral("bob@x.com"), 1, "[O:- E:- V:+ N:-]"},
        {"edits one, owns the other", items({a, c}), QStringLiteral("Ann@Example.com"), -1,
         "[O:+ E:+ V:- N:-]"},
        {"owns one, edits the other", items({b, a}), QStringLiteral("omar@example.com"), -1,
         "[O:+ E:- V:- N:+]"},
        {"comments on one", items({c, b}), QStringLiteral("omar@example.com"), -1, "[O:+ E:- V:- N:+]"},
        {"only a longer address edits", items({b}), QStringLiteral("bob@x.com"), 1, "[O:- E:- V:+ N:-]"},
        {"nobody", items({a}), QStringLiteral("zoe@example.com"), -1, "[O:- E:- V:- N:+]"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.caption);
        EXPECT_EQ(SharingPermissions::roleOverItems(row.items, row.address), row.role);
        EXPECT_EQ(SharingPermissions::roleFlagsText(row.items, row.address), QLatin1String(row.flags));
    }
}

TEST_F(SharingPermissionsTest, OwnershipOverSeveralItemsWithItsBadges)
{
    auto a = file(QStringLiteral("a"), me);
    auto b = file(QStringLiteral("b"), me);
    auto c = file(QStringLiteral("c"), ann);
    auto orphan = file(QStringLiteral("orphan"));
    EXPECT_EQ(SharingPermissions::ownershipOverItems(items({a, b}), kUser), 2);
    EXPECT_EQ(SharingPermissions::ownershipOverItems(items({a, c}), kUser), 3);
    EXPECT_EQ(SharingPermissions::ownershipOverItems(items({a, c}), QStringLiteral("ANN@example.com")), 3);
    EXPECT_EQ(SharingPermissions::ownershipOverItems(items({a, b}), QStringLiteral("ann@example.com")), -1);
    EXPECT_EQ(SharingPermissions::ownershipOverItems(items({a}), QString()), 0);
    EXPECT_EQ(SharingPermissions::ownershipOverItems(items({orphan}), kUser), 0);
    EXPECT_EQ(SharingPermissions::ownershipTitle(2), StringTable::text(QStringLiteral("OWNER")));
    EXPECT_EQ(SharingPermissions::ownershipTitle(3), StringTable::text(QStringLiteral("VARIES")));
    EXPECT_EQ(SharingPermissions::ownershipTitle(-1), QString());
}

TEST_F(SharingPermissionsTest, GeneralRoleOverSeveralItems)
{
    auto none = file(QStringLiteral("none"), me);
    auto reader = file(QStringLiteral("reader"), me);
    access(reader, QStringLiteral("default"), QStringLiteral("reader"), true);
    auto writer = file(QStringLiteral("writer"), me);
    access(writer, QStringLiteral("domain"), QStringLiteral("writer"), false);
    auto commenter = file(QStringLiteral("commenter"), me);
    access(commenter, QStringLiteral("default"), QStringLiteral("commenter"), true);
    const struct
    {
        Items items;
        int role;
    } rows[] = {
        {items({none}), 0},
        {items({none, reader}), -1},
        {items({reader}), 1},
        {items({reader, writer}), -1},
        {items({writer}), 0},
        {items({commenter}), 0},
        {items({reader, commenter}), 1},
    };
    for (qsizetype i = 0; i < std::size(rows); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(SharingPermissions::generalRoleOverItems(rows[i].items), rows[i].role);
    }
    EXPECT_EQ(SharingPermissions::linkRowIconRole(QStringLiteral("writer")), 0);
    EXPECT_EQ(SharingPermissions::linkRowIconRole(QStringLiteral("commenter")), -1);
    EXPECT_EQ(SharingPermissions::linkRowIconRole(QStringLiteral("reader")), 1);
    EXPECT_EQ(SharingPermissions::rowIconRole(true, true, false), 2);
}

TEST_F(SharingPermissionsTest, PrivacyIndexAndWhatEachIndexSends)
{
    const struct
    {
        const char* type;
        bool link;
        int index;
        const char* mode;
        const char* title; // nullptr: none
    } rows[] = {
        {"default", true, 1, "AnyoneWithLink", "DefaultACLWithLink"},
        {"default", false, 2, "PublicOnWeb", "DefaultACL"},
        {"domain", true, 3, "DomainWithLink", "DomainACLWithLink"},
        {"domain", false, 4, "AnyoneOnDomain", "DomainACL"},
        {"group", true, 0, "DomainWithLink", nullptr},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.index);
        auto item = file(QString::fromLatin1(row.type), me);
        access(item, QString::fromLatin1(row.type), QStringLiteral("reader"), row.link);
        EXPECT_EQ(SharingPermissions::privacyIndex(*item), row.index);
        EXPECT_TRUE(SharingPermissions::hasLinkRow(row.index) == (row.index != 0));
        EXPECT_EQ(SharingPermissions::modeKey(*item->generalACL()), QLatin1String(row.mode));
        const auto title = SharingPermissions::popoverTitleKey(*item->generalACL());
        EXPECT_EQ(title.has_value(), row.title != nullptr);
        if (row.title && title)
            EXPECT_EQ(*title, QLatin1String(row.title));
        if (row.index == 0)
            continue;
        // The index sends what it was read from: a round trip.
        const auto sent =
            SharingPermissions::generalPermissionForPrivacyIndex(row.index, kUser, item->generalACL().get());
        ASSERT_TRUE(sent);
        EXPECT_EQ(sent->type(), QLatin1String(row.type));
        EXPECT_EQ(sent->hasLink().toBool(), row.link);
        EXPECT_EQ(sent->role(), QStringLiteral("reader"));
        EXPECT_EQ(SharingPermissions::privacyIndex(sent.get()), row.index);
    }
    EXPECT_EQ(SharingPermissions::privacyIndex(*file(QStringLiteral("private"), me)), 0);
    EXPECT_FALSE(SharingPermissions::generalPermissionForPrivacyIndex(0, kUser));
    EXPECT_FALSE(SharingPermissions::generalPermissionForPrivacyIndex(-1, kUser));
}

TEST_F(SharingPermissionsTest, ConsumerDomainOwnersAreOfferedNoDomainEntries)
{
    auto consumer = mail(QStringLiteral("me@gmail.com"));
    auto mine = file(QStringLiteral("mine"), consumer);
    auto theirs = file(QStringLiteral("theirs"), ann);
    theirs->setEditors({consumer});
    EXPECT_FALSE(SharingPermissions::offersDomainEntries(*mine, QStringLiteral("me@gmail.com")));
    EXPECT_TRUE(SharingPermissions::offersDomainEntries(*theirs, QStringLiteral("me@gmail.com")));
    auto business = file(QStringLiteral("business"), me);
    EXPECT_TRUE(SharingPermissions::offersDomainEntries(*business, kUser));
}

TEST_F(SharingPermissionsTest, WhoMayShareComparesWholeAddresses)
{
    auto mine = file(QStringLiteral("mine"), me);
    auto invite = file(QStringLiteral("invite"), ann);
    invite->setEditors({me});
    invite->setWritersCanInvite(true);
    auto noInvite = file(QStringLiteral("noInvite"), ann);
    noInvite->setEditors({me});
    auto viewer = file(QStringLiteral("viewer"), ann);
    viewer->setViewers({me});
    viewer->setWritersCanInvite(true);
    // The user is "bob@x.com"; only "bob@x.com.evil.org" edits.
    auto prefix = file(QStringLiteral("prefix"), ann);
    prefix->setEditors({evil});
    prefix->setWritersCanInvite(true);
    EXPECT_TRUE(SharingPermissions::mayChangeVisibility(*mine, kUser));
    EXPECT_TRUE(SharingPermissions::mayChangeVisibility(*mine, QStringLiteral("ME@example.com")));
    EXPECT_TRUE(SharingPermissions::mayChangeVisibility(*invite, kUser));
    EXPECT_FALSE(SharingPermissions::mayChangeVisibility(*noInvite, kUser));
    EXPECT_FALSE(SharingPermissions::mayChangeVisibility(*viewer, kUser));
    EXPECT_FALSE(SharingPermissions::mayChangeVisibility(*prefix, QStringLiteral("bob@x.com")));
    const Items shareable =
        SharingPermissions::shareableItems(items({mine, noInvite, invite, viewer}), kUser);
    EXPECT_EQ(shareable, items({mine, invite}));
}

TEST_F(SharingPermissionsTest, RefusalsAreToldInTheBanner)
{
    TQNotificationController* banner = TQNotificationController::sharedNotificationController();
    SharingPermissions::showShareDenied();
    EXPECT_TRUE(banner->plainText().contains(StringTable::text(QStringLiteral("ShareDeniedMessage"))));
    SharingPermissions::showVisibilityDenied();
    EXPECT_TRUE(
        banner->plainText().contains(StringTable::text(QStringLiteral("ChangeVisibilityDeniedMessage"))));
    banner->hideNotificationArea();
}

TEST_F(SharingPermissionsTest, StatusIdentifiersNameTheObject)
{
    int first = 0;
    int second = 0;
    EXPECT_NE(SharingPermissions::statusIdentifier(QStringLiteral("setpermission"), &first),
              SharingPermissions::statusIdentifier(QStringLiteral("setpermission"), &second));
    EXPECT_EQ(SharingPermissions::statusIdentifier(QStringLiteral("genpermission"), &first),
              QStringLiteral("genpermission_%1").arg(quint64(quintptr(&first))));
}

} // namespace
} // namespace tavrel
