#include "SessionFixture.h"
#include "model/ContextFetch.h"
#include "model/FileEntryAbstract.h"
#include "model/Mail.h"
#include "model/TQMOCMaster.h"
#include "platform/store/FetchRequest.h"
#include "support/WaitUntil.h"

#include <gtest/gtest.h>

namespace tavrel::test {

namespace {

const QString kUser = QStringLiteral("ann@tavrel.test");

// A store of hand-made documents: who owns them and who edits, views or comments on them.
class AutomaticFavoritesTest : public SessionTest
{
protected:
    void SetUp() override
    {
        SessionTest::SetUp();
        m_session = std::make_unique<TQSession>(makeAccount(kUser));
    }
    void TearDown() override
    {
        m_session.reset();
        SessionTest::TearDown();
    }

    TQMOCMaster* master() const { return m_session->mocManager()->masterMOC(); }
    std::shared_ptr<Mail> mail(const QString& address)
    {
        return Mail::mailEntityWithAddress(address, true, master());
    }
    std::shared_ptr<FileEntryAbstract> document(const QString& owner, const QStringList& editors,
                                                const QStringList& viewers = {},
                                                const QStringList& commenters = {},
                                                const QString& entity = QStringLiteral("File"))
    {
        const auto file = master()->insertNewObject<FileEntryAbstract>(entity);
        file->setValueForKey(QStringLiteral("identifier"), QStringLiteral("doc%1").arg(++m_count));
        file->setOwner(mail(owner));
        const auto mails = [this](const QStringList& addresses) {
            QList<std::shared_ptr<Mail>> list;
            for (const QString& address : addresses)
                list.append(mail(address));
            return list;
        };
        file->setEditors(mails(editors));
        file->setViewers(mails(viewers));
        file->setCommenters(mails(commenters));
        return file;
    }
    // The addresses marked as favourites in the store.
    QStringList favorites() const
    {
        FetchRequest request(QStringLiteral("Mail"));
        request.setPredicate(Predicate::format(QStringLiteral("favorite == %@"), true));
        QStringList addresses;
        for (const auto& mail : ContextFetch::executeFetchRequestSafely<Mail>(master(), request))
            addresses.append(mail->address());
        addresses.sort();
        return addresses;
    }
    // Chooses, and waits until the request has run.
    QStringList chosen()
    {
        master()->save();
        m_session->createContactFavoritesAutomatically();
        const QList<TQOperationPtr> queued =
            m_session->queueManager()->operationsMatchingName(QStringLiteral("UpdateMails"));
        EXPECT_EQ(queued.size(), 1);
        if (queued.size() == 1) {
            const QVariantMap parameters = queued[0]->arguments();
            EXPECT_TRUE(parameters.value(QStringLiteral("isFavorite")).toBool());
            EXPECT_TRUE(parameters.value(QStringLiteral("statusID"))
                            .toString()
                            .startsWith(QLatin1String("favorites_")));
            EXPECT_TRUE(waitUntil([&] { return queued[0]->isFinished(); }, 10000));
        }
        return favorites();
    }

    std::unique_ptr<TQSession> m_session;
    int m_count = 0;
};

} // namespace

TEST_F(AutomaticFavoritesTest, TheFivePeopleSharedWithMostAreMarked)
{
    // p1 links 7 documents (the user's and others'), p2 6, ... p5 3, p6 2.
    const QStringList people{"p1@x.test", "p2@x.test", "p3@x.test", "p4@x.test", "p5@x.test", "p6@x.test"};
    for (int i = 0; i < 5; ++i)
        for (int n = 0; n < 7 - i; ++n)
            document(n % 2 ? kUser : QStringLiteral("other@x.test"), {people[i]});
    document(kUser, {people[5]});
    document(QStringLiteral("other@x.test"), {}, {people[5]});
    // A collection is no document: it does not count (else p6 would lead).
    for (int n = 0; n < 4; ++n)
        document(kUser, {}, {people[5]}, {}, QStringLiteral("Category"));

    EXPECT_EQ(chosen(), people.mid(0, 5));
}

TEST_F(AutomaticFavoritesTest, OnlyTheUsersOwnDocumentsNameCandidates)
{
    // The owner's whole address counts, letter case ignored; an address that merely begins like the
    // user's is someone else.
    document(kUser.toUpper(), {QStringLiteral("friend@x.test")});
    document(kUser + QStringLiteral(".evil.test"), {QStringLiteral("stranger@x.test")});
    document(QStringLiteral("other@x.test"), {QStringLiteral("stranger@x.test")});
    // Commenting makes a candidate, but only edits, views and ownership count.
    document(kUser, {}, {}, {QStringLiteral("critic@x.test")});
    document(kUser, {}, {QStringLiteral("reader@x.test")});
    document(QStringLiteral("other@x.test"), {}, {QStringLiteral("reader@x.test")});

    EXPECT_EQ(chosen(), (QStringList{"critic@x.test", "friend@x.test", "reader@x.test"}));
}

TEST_F(AutomaticFavoritesTest, NoPeopleSendsAnEmptyList)
{
    document(kUser, {});
    EXPECT_TRUE(chosen().isEmpty());
}

TEST_F(AutomaticFavoritesTest, ExistingFavoritesAreKept)
{
    document(kUser, {QStringLiteral("friend@x.test")});
    mail(QStringLiteral("chosen@x.test"))->setFavorite(true);
    master()->save();
    m_session->createContactFavoritesAutomatically();
    // The request would have been queued at once: nothing is.
    EXPECT_TRUE(m_session->queueManager()->operationsMatchingName(QStringLiteral("UpdateMails")).isEmpty());
    EXPECT_EQ(favorites(), QStringList{QStringLiteral("chosen@x.test")});
}

} // namespace tavrel::test
