#include "ActionsFixture.h"
#include "actions/ContactManager.h"
#include "model/Mail.h"
#include "model/TQMOCMaster.h"
#include "pipeline/VUvodozuManager.h"
#include "support/WaitUntil.h"

namespace tavrel::test {

namespace {

const QString kCreateMail = QStringLiteral("CreateMail");
const QString kUpdateMails = QStringLiteral("UpdateMails");

} // namespace

class MailRecordsTest : public ActionsTest
{
protected:
    bool runContactAction(const QString& action, ActionRequester& requester, const QVariantMap& parameters)
    {
        const int before = requester.calls();
        m_account.session->contactManager()->executeAction(action, requester.callback(), parameters);
        return waitUntil([&] { return requester.calls() > before; }, 10000);
    }

    std::shared_ptr<Mail> created(const QString& address, const QVariantMap& more = {})
    {
        ActionRequester requester;
        QVariantMap parameters = more;
        parameters.insert(QStringLiteral("mailAddress"), address);
        if (!runContactAction(kCreateMail, requester, parameters) || !requester.error().isNull())
            return nullptr;
        return std::dynamic_pointer_cast<Mail>(requester.result().value<ManagedObjectPtr>());
    }

    std::shared_ptr<Mail> stored(const QString& address) const
    {
        return Mail::mailEntityWithAddress(address, master());
    }
};

TEST_F(MailRecordsTest, CreateMailWithOnlyAnAddressMakesAVisibleFavouriteWithoutLabel)
{
    const auto mail = created(QStringLiteral("typed@example.test"));
    ASSERT_TRUE(mail);
    EXPECT_EQ(mail, stored(QStringLiteral("typed@example.test"))) << "the master context's record";
    EXPECT_EQ(mail->address(), QStringLiteral("typed@example.test"));
    EXPECT_TRUE(mail->favorite().toBool());
    EXPECT_TRUE(mail->visible().toBool());
    EXPECT_TRUE(mail->label().isEmpty());

    const auto labelled =
        created(QStringLiteral("work@example.test"), {{QStringLiteral("mailLabel"), QStringLiteral("Work")},
                                                      {QStringLiteral("isFavorite"), false}});
    ASSERT_TRUE(labelled);
    EXPECT_EQ(labelled->label(), QStringLiteral("Work"));
    EXPECT_FALSE(labelled->favorite().toBool());
}

TEST_F(MailRecordsTest, MissingOrMistypedRequiredParametersAnswer701AndChangeNothing)
{
    const qint64 mailsBefore = master()->countForFetchRequest(FetchRequest(QStringLiteral("Mail")));
    const struct
    {
        QString action;
        QVariantMap parameters;
    } rows[] = {
        {kCreateMail, {}},
        {kCreateMail, {{QStringLiteral("mailAddress"), 42}}},
        {kUpdateMails, {}},
        {kUpdateMails, {{QStringLiteral("mailEntities"), QStringLiteral("not a list")}}},
    };
    for (const auto& row : rows) {
        ActionRequester requester;
        ASSERT_TRUE(runContactAction(row.action, requester, row.parameters));
        EXPECT_EQ(requester.error().domain(), VUvodozuManager::kErrorDomain) << row.action.toStdString();
        EXPECT_EQ(requester.error().code(), 701) << row.action.toStdString();
        EXPECT_FALSE(requester.result().isValid());
    }
    EXPECT_EQ(master()->countForFetchRequest(FetchRequest(QStringLiteral("Mail"))), mailsBefore);
}

TEST_F(MailRecordsTest, UpdateMailsHidingAnAddressAlsoTakesItsFavouriteMark)
{
    const auto first = created(QStringLiteral("one@example.test"));
    const auto second = created(QStringLiteral("two@example.test"));
    ASSERT_TRUE(first && second);
    ActionRequester requester;
    ASSERT_TRUE(runContactAction(
        kUpdateMails, requester,
        {{QStringLiteral("mailEntities"), QVariantList{QVariant::fromValue<ManagedObjectPtr>(first),
                                                       QVariant::fromValue<ManagedObjectPtr>(second)}},
         {QStringLiteral("isVisible"), false},
         {QStringLiteral("isFavorite"), true}}));
    EXPECT_TRUE(requester.error().isNull());
    EXPECT_EQ(requester.result().toList().size(), 2);
    for (const auto& mail : {first, second}) {
        EXPECT_FALSE(mail->visible().toBool());
        EXPECT_FALSE(mail->favorite().toBool());
    }
}

TEST_F(MailRecordsTest, UpdateMailsChangingTheAddressFindsTheRecordByItsOldOne)
{
    const auto mail = created(QStringLiteral("old@example.test"));
    ASSERT_TRUE(mail);
    ActionRequester requester;
    ASSERT_TRUE(runContactAction(
        kUpdateMails, requester,
        {{QStringLiteral("mailEntities"), QVariantList{QVariant::fromValue<ManagedObjectPtr>(mail)}},
         {QStringLiteral("mailAddress"), QStringLiteral("new@example.test")},
         {QStringLiteral("mailLabel"), QStringLiteral("Home")}}));
    EXPECT_TRUE(requester.error().isNull());
    EXPECT_EQ(mail->address(), QStringLiteral("new@example.test"));
    EXPECT_EQ(mail->label(), QStringLiteral("Home"));
    EXPECT_FALSE(stored(QStringLiteral("old@example.test")));
    EXPECT_EQ(stored(QStringLiteral("new@example.test")), mail);
}

TEST_F(MailRecordsTest, UpdateMailsWithAnEmptyListAnswersAnEmptyList)
{
    ActionRequester requester;
    ASSERT_TRUE(
        runContactAction(kUpdateMails, requester, {{QStringLiteral("mailEntities"), QVariantList{}}}));
    EXPECT_TRUE(requester.error().isNull());
    EXPECT_EQ(requester.result().metaType(), QMetaType::fromType<QVariantList>());
    EXPECT_TRUE(requester.result().toList().isEmpty());
    EXPECT_FALSE(master()->hasChanges());
}

} // namespace tavrel::test
