#include "model/SharingRoles.h"

#include "StoreFixture.h"
#include "model/File.h"
#include "model/Mail.h"
#include "platform/store/ManagedObjectContext.h"

#include <gtest/gtest.h>

using namespace tavrel;
using tavrel::test::StoreFixture;

namespace {

class SharingRolesTest : public StoreFixture
{
protected:
    std::shared_ptr<Mail> mail(const char* address)
    {
        return Mail::mailEntityWithAddress(address, true, moc());
    }
};

TEST_F(SharingRolesTest, RolesCompareWholeAddressesWithoutLetterCase)
{
    auto file = moc()->insertNewObject<File>("File");
    file->setOwner(mail("owner@x.com"));
    file->setEditors({mail("bob@x.com.evil.org")});
    file->setViewers({mail("Ann@X.com")});
    file->setCommenters({mail("cy@x.com")});

    const struct
    {
        const char* who;
        bool owner, editor, viewer, commenter;
    } rows[] = {
        {"owner@x.com", true, false, false, false},
        {"OWNER@x.COM", true, false, false, false},
        {"owner@x.co", false, false, false, false},
        {"bob@x.com", false, false, false, false},
        {"bob@x.com.evil.org", false, true, false, false},
        {"ann@x.com", false, false, true, false},
        {"ann@x.com ", false, false, false, false},
        {"cy@x.com", false, false, false, true},
        {"", false, false, false, false},
    };
    for (const auto& row : rows) {
        const QString who = QString::fromLatin1(row.who);
        EXPECT_EQ(SharingRoles::isOwner(*file, who), row.owner) << row.who;
        EXPECT_EQ(SharingRoles::isEditor(*file, who), row.editor) << row.who;
        EXPECT_EQ(SharingRoles::isViewer(*file, who), row.viewer) << row.who;
        EXPECT_EQ(SharingRoles::isCommenter(*file, who), row.commenter) << row.who;
    }
    EXPECT_TRUE(SharingRoles::isSharedWithPeople(*file));
}

TEST_F(SharingRolesTest, OwnersAndInvitingEditorsMayShare)
{
    auto file = moc()->insertNewObject<File>("File");
    file->setOwner(mail("me@x.com"));
    file->setEditors({mail("ed@x.com")});
    file->setViewers({mail("vi@x.com")});
    EXPECT_FALSE(SharingRoles::isSharedWithPeople(*moc()->insertNewObject<File>("File")));

    for (const bool invite : {false, true}) {
        file->setWritersCanInvite(invite);
        EXPECT_TRUE(SharingRoles::mayShare(*file, "ME@x.com")) << invite;
        EXPECT_EQ(SharingRoles::mayShare(*file, "ed@x.com"), invite);
        EXPECT_FALSE(SharingRoles::mayShare(*file, "vi@x.com")) << invite;
        EXPECT_FALSE(SharingRoles::mayShare(*file, "nobody@x.com")) << invite;
    }
    EXPECT_FALSE(SharingRoles::mayShare(std::shared_ptr<File>(), "me@x.com"));
}

} // namespace
