#include "lists/QuickShareDecision.h"

#include "GroupedFilesFixture.h"
#include "model/File.h"

#include <gtest/gtest.h>

namespace tavrel {
namespace {

using Mode = QuickShareDecision::Mode;

class QuickShareDecisionTest : public test::GroupedFilesFixture
{
protected:
    // A document owned by the owner with the user (or another) in the people lists.
    std::shared_ptr<File> document(const std::shared_ptr<Mail>& owner,
                                   const QList<std::shared_ptr<Mail>>& editors,
                                   const QList<std::shared_ptr<Mail>>& viewers,
                                   const QList<std::shared_ptr<Mail>>& commenters, bool writersCanInvite)
    {
        auto record = std::dynamic_pointer_cast<File>(doc(QStringLiteral("doc"), 60, owner));
        record->setEditors(editors);
        record->setViewers(viewers);
        record->setCommenters(commenters);
        record->setWritersCanInvite(writersCanInvite);
        return record;
    }
};

TEST_F(QuickShareDecisionTest, EachStandingOpensItsModeAndTheFlagsAreLoggedAlike)
{
    const auto me = mail(kMe);
    const auto meShouting = mail(QStringLiteral("ME@Example.ORG"));
    const auto bob = mail(QStringLiteral("bob@example.org"));
    const auto ann = mail(QStringLiteral("ann@example.org"));
    // An address that only begins with the user's: never the user.
    const auto lookalike = mail(QStringLiteral("me@example.org.evil.net"));

    const auto ownPrivate = document(me, {}, {}, {}, false);
    const auto ownShared = document(me, {ann}, {}, {}, false);
    const auto ownInOtherCase = document(meShouting, {}, {}, {}, false);
    const auto editorNoInvites = document(bob, {me}, {}, {}, false);
    const auto editorInvites = document(bob, {me}, {}, {}, true);
    const auto viewerOnly = document(bob, {}, {me}, {}, true);
    const auto commenterOnly = document(bob, {}, {}, {me}, true);
    const auto lookalikeEditor = document(bob, {lookalike}, {}, {}, true);
    const auto collection = doc(QStringLiteral("box"), 60, me, {}, QStringLiteral("Category"));

    struct Row
    {
        const char* name;
        QList<ManagedObjectPtr> selection;
        Mode mode;
        const char* flags;
    };
    const Row rows[] = {
        {"own, never shared", {ownPrivate}, Mode::ShareWith, "O:+ E:- E+:- V:- N:-"},
        {"own, one of them shared", {ownPrivate, ownShared}, Mode::ShareList, "O:+ E:- E+:- V:- N:-"},
        {"owner in another letter case", {ownInOtherCase}, Mode::ShareWith, "O:+ E:- E+:- V:- N:-"},
        {"editor where writers may not invite", {editorNoInvites}, Mode::ReadOnly, "O:- E:+ E+:- V:- N:-"},
        {"editor where writers may invite", {editorInvites}, Mode::ShareList, "O:- E:- E+:+ V:- N:-"},
        {"commenter alone", {commenterOnly}, Mode::ReadOnly, "O:- E:- E+:- V:- N:+"},
        {"commenter with an own document",
         {ownPrivate, commenterOnly},
         Mode::AskToDrop,
         "O:+ E:- E+:- V:- N:+"},
        {"own with one only viewed", {ownPrivate, viewerOnly}, Mode::ShareList, "O:+ E:- E+:- V:+ N:-"},
        {"an address beginning with the user's", {lookalikeEditor}, Mode::ReadOnly, "O:- E:- E+:- V:- N:+"},
        {"nothing selected", {}, Mode::ReadOnly, "O:- E:- E+:- V:- N:-"},
        {"own collection", {collection}, Mode::ShareWith, "O:+ E:- E+:- V:- N:-"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        QuickShareDecision::Flags flags;
        EXPECT_EQ(QuickShareDecision::decide(row.selection, kMe, &flags), row.mode);
        EXPECT_EQ(flags.logLine(), QLatin1String(row.flags));
    }
    EXPECT_EQ(QuickShareDecision::modeLogLine(Mode::ReadOnly),
              QLatin1String("Quick Share Dialog: Mode A detected"));
    EXPECT_EQ(QuickShareDecision::modeLogLine(Mode::AskToDrop),
              QLatin1String("Quick Share Dialog: Mode B detected"));
    EXPECT_EQ(QuickShareDecision::modeLogLine(Mode::ShareWith),
              QLatin1String("Quick Share Dialog: Mode C detected"));
    EXPECT_EQ(QuickShareDecision::modeLogLine(Mode::ShareList),
              QLatin1String("Quick Share Dialog: Mode D detected"));
}

TEST_F(QuickShareDecisionTest, GoingOnAfterTheMixedSheetKeepsThePermittedInOrderAndEndsInCOrD)
{
    const auto me = mail(kMe);
    const auto bob = mail(QStringLiteral("bob@example.org"));
    const auto own = document(me, {}, {}, {}, false);
    const auto commenterOnly = document(bob, {}, {}, {me}, true);
    const auto editorInvites = document(bob, {me}, {}, {}, true);
    const auto editorNoInvites = document(bob, {me}, {}, {}, false);

    const QList<ManagedObjectPtr> mixed{commenterOnly, own, editorNoInvites};
    EXPECT_EQ(QuickShareDecision::decide(mixed, kMe), Mode::AskToDrop);
    const QList<ManagedObjectPtr> kept = QuickShareDecision::permittedOnly(mixed, kMe);
    EXPECT_EQ(kept, QList<ManagedObjectPtr>{own});
    EXPECT_EQ(QuickShareDecision::decide(kept, kMe), Mode::ShareWith);

    const QList<ManagedObjectPtr> wider{editorInvites, commenterOnly, own};
    EXPECT_EQ(QuickShareDecision::permittedOnly(wider, kMe), (QList<ManagedObjectPtr>{editorInvites, own}));
    EXPECT_EQ(QuickShareDecision::decide(QuickShareDecision::permittedOnly(wider, kMe), kMe),
              Mode::ShareList);
    // Without a user nothing is the user's.
    EXPECT_TRUE(QuickShareDecision::permittedOnly(wider, QString()).isEmpty());
}

} // namespace
} // namespace tavrel
