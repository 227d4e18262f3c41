#include "model/RecordLookupCache.h"

#include "StoreFixture.h"
#include "model/Category.h"
#include "model/Mail.h"

#include <gtest/gtest.h>

namespace tavrel::test {

namespace {

class RecordLookup : public StoreFixture
{
};

} // namespace

// While a synchronisation's cache is installed, lookups answer what the store would: exact spelling
// first, then letter case ignored; deleted and renamed records are not answered under their old keys.
TEST_F(RecordLookup, MailsAnswerAsTheStoreDoes)
{
    auto ann = Mail::mailEntityWithAddress("Ann@X.com", true, moc());
    save();
    auto bob = Mail::mailEntityWithAddress("bob@y.com", true, moc()); // not saved yet

    const RecordLookupCache cache(moc());
    EXPECT_EQ(Mail::mailEntityWithAddress("Ann@X.com", moc()), ann);
    EXPECT_EQ(Mail::mailEntityWithAddress("ann@x.com", moc()), ann);
    EXPECT_EQ(Mail::mailEntityWithAddress("BOB@y.com", moc()), bob);
    EXPECT_FALSE(Mail::mailEntityWithAddress("carl@z.com", moc()));

    auto carl = Mail::mailEntityWithAddress("carl@z.com", true, moc());
    ASSERT_TRUE(carl);
    EXPECT_EQ(Mail::mailEntityWithAddress("CARL@Z.COM", true, moc()), carl);

    moc()->deleteObject(bob);
    EXPECT_FALSE(Mail::mailEntityWithAddress("bob@y.com", moc()));

    ann->setAddress("ann@new.com");
    EXPECT_FALSE(Mail::mailEntityWithAddress("Ann@X.com", moc()));
    EXPECT_EQ(Mail::mailEntityWithAddress("ANN@new.com", moc()), ann);

    // A later exact spelling wins over the case-blind match, as in the store.
    auto other = moc()->insertNewObject<Mail>("Mail");
    other->setAddress("Carl@z.com");
    EXPECT_EQ(Mail::mailEntityWithAddress("Carl@z.com", moc()), other);
}

TEST_F(RecordLookup, OnlyTheCachesContextAndThreadAreServed)
{
    auto category = moc()->insertNewObject<Category>("Category");
    category->setIdentifier("folder1");
    {
        RecordLookupCache cache(moc());
        EXPECT_EQ(RecordLookupCache::current(moc()), &cache);
        EXPECT_EQ(Category::categoryWithIdentifier("folder1", moc()), category);
        category->setIdentifier("folder2");
        EXPECT_FALSE(Category::categoryWithIdentifier("folder1", moc()));
        EXPECT_EQ(Category::categoryWithIdentifier("folder2", moc()), category);
        EXPECT_FALSE(RecordLookupCache::current(nullptr));
    }
    EXPECT_FALSE(RecordLookupCache::current(moc()));
}

} // namespace tavrel::test
