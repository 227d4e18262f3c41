#include "sharing/ShareTokens.h"

#include "SharingFixture.h"

#include <gtest/gtest.h>

namespace tavrel {
namespace {

class ShareTokensTest : public test::SharingFixture
{
protected:
    void SetUp() override
    {
        SharingFixture::SetUp();
        mail(kUser, QStringLiteral("Me Myself"));
        ann = mail(QStringLiteral("ann@b-c.com"), QStringLiteral("Ann Lee"));
        bob = mail(QStringLiteral("bob@x.com"));
        mail(QStringLiteral("bob@x.com.evil.org"));
        mail(QStringLiteral("carl@x.com.evil.org"));
        moc()->save();
    }
    ShareToken token(const QString& text, ShareTokens::Rules rules = ShareTokens::Rules::ShareWith) const
    {
        return ShareTokens(rules, moc(), kUser).tokenForEditingString(text);
    }

    std::shared_ptr<Mail> ann, bob;
};

TEST_F(ShareTokensTest, TypedTextBecomesAPersonAnAddressOrPlainText)
{
    const struct
    {
        const char* typed;
        ShareToken::Kind kind;
        const char* address; // of a person or an address
    } rows[] = {
        // Names and addresses of stored people, in both completion forms.
        {"Ann Lee <ann@b-c.com>", ShareToken::Person, "ann@b-c.com"},
        {"ann@b-c.com (Ann Lee)", ShareToken::Person, "ann@b-c.com"},
        {"ANN@b-c.com", ShareToken::Person, "ann@b-c.com"},
        {"Ann Lee", ShareToken::Person, "ann@b-c.com"},
        // Addresses nobody stored, with "+" and "-", and a name in front.
        {"Dora Mae <dora@my-company.com>", ShareToken::Address, "dora@my-company.com"},
        {"a+b@x.org", ShareToken::Address, "a+b@x.org"},
        {"a@my-company.com", ShareToken::Address, "a@my-company.com"},
        {"host@localhost", ShareToken::Address, "host@localhost"},
        // The exact address wins over one that only begins with it, stored or not.
        {"bob@x.com", ShareToken::Person, "bob@x.com"},
        {"carl@x.com", ShareToken::Address, "carl@x.com"},
        // The user's own address never becomes a person.
        {"me@example.com", ShareToken::Text, nullptr},
        {"ME@example.com", ShareToken::Text, nullptr},
        {"Me Myself <me@example.com>", ShareToken::Text, nullptr},
        {"me@example.com (Me Myself)", ShareToken::Text, nullptr},
        // Text that names nobody.
        {"bob at work", ShareToken::Text, nullptr},
        {"a@b@c", ShareToken::Text, nullptr},
        {"<script>@x.com", ShareToken::Text, nullptr},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.typed);
        const ShareToken made = token(QString::fromUtf8(row.typed));
        EXPECT_EQ(made.kind, row.kind);
        if (row.address)
            EXPECT_EQ(made.address, QLatin1String(row.address));
        EXPECT_EQ(made.isPerson(), row.kind != ShareToken::Text);
    }
}

TEST_F(ShareTokensTest, TokensShowNameAndAddressOrWhatWasTyped)
{
    EXPECT_EQ(token(QStringLiteral("ann@b-c.com")).displayString(), QStringLiteral("Ann Lee <ann@b-c.com>"));
    EXPECT_EQ(token(QStringLiteral("bob@x.com")).displayString(), QStringLiteral("bob@x.com"));
    EXPECT_EQ(token(QStringLiteral("a+b@x.org")).displayString(), QStringLiteral("a+b@x.org"));
    EXPECT_EQ(token(QStringLiteral("bob at work")).displayString(), QStringLiteral("bob at work"));
    EXPECT_EQ(token(QStringLiteral("ann@b-c.com")).displayName(), QStringLiteral("Ann Lee"));
}

TEST_F(ShareTokensTest, CompletionsOfferEachPersonOnceAndNeverTheUser)
{
    const ShareTokens share(ShareTokens::Rules::ShareWith, moc(), kUser);
    EXPECT_EQ(share.completions(QStringLiteral("ann")), QStringList{QStringLiteral("Ann Lee <ann@b-c.com>")});
    EXPECT_EQ(share.completions(QStringLiteral("ann@")),
              QStringList{QStringLiteral("ann@b-c.com (Ann Lee)")});
    QStringList bobs = share.completions(QStringLiteral("BOB"));
    bobs.sort();
    EXPECT_EQ(bobs, (QStringList{QStringLiteral("bob@x.com"), QStringLiteral("bob@x.com.evil.org")}));
    EXPECT_TRUE(share.completions(QStringLiteral("me")).isEmpty());
    EXPECT_TRUE(share.completions(QStringLiteral("zebra")).isEmpty());

    // A second record of Ann's address: the share-with field offers her once, the change-owner field
    // lists what is stored.
    mail(QStringLiteral("ann@b-c.com"), QStringLiteral("Ann Lee"));
    moc()->save();
    EXPECT_EQ(share.completions(QStringLiteral("ann")).size(), 1);
    const ShareTokens owner(ShareTokens::Rules::ChangeOwner, moc(), kUser);
    EXPECT_EQ(owner.completions(QStringLiteral("ann")).size(), 2);
}

TEST_F(ShareTokensTest, TheChangeOwnerFieldReadsNameAndAddressTogether)
{
    const auto rules = ShareTokens::Rules::ChangeOwner;
    EXPECT_EQ(token(QStringLiteral("Ann Lee <ann@b-c.com>"), rules).mail, ann);
    EXPECT_EQ(token(QStringLiteral("ann@b-c.com (Ann Lee)"), rules).mail, ann);
    // A name that is not the stored one: no stored person, but still the address typed.
    const ShareToken other = token(QStringLiteral("Someone Else <ann@b-c.com>"), rules);
    EXPECT_EQ(other.kind, ShareToken::Address);
    EXPECT_EQ(other.address, QStringLiteral("ann@b-c.com"));
    EXPECT_EQ(token(QStringLiteral("the boss"), rules).kind, ShareToken::Text);
}

} // namespace
} // namespace tavrel
