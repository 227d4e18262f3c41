#include "ActionsFixture.h"
#include "actions/ContactManagerHandler.h"
#include "actions/GDataContactHandler.h"
#include "actions/GDataResultValues.h"
#include "platform/gdata/GDataEntryContact.h"
#include "platform/gdata/GDataFeedContact.h"
#include "platform/runtime/ClassRegistry.h"
#include "support/WaitUntil.h"

namespace tavrel::test {

namespace {
// The keys of the last answer the store side of the test action received.
QStringList g_storeSideKeys;
} // namespace

// A contact action of the tests: the whole contacts feed, answered as it came.
class cmhTestListContacts : public ContactManagerHandler
{
    Q_OBJECT
public:
    void executeActionAndCall(const InvocationPtr& invocation, const QVariantMap& parameters) override
    {
        gdataManager()->executeAction(QStringLiteral("TestListContacts"), invocation, parameters);
    }
    Q_INVOKABLE QVariantMap defaultCallbackForParams(const QVariantMap& result) override
    {
        g_storeSideKeys = result.keys();
        return result;
    }
};

class gdcmhTestListContacts : public GDataContactHandler
{
    Q_OBJECT
public:
    void executeActionAndCall(const InvocationPtr& invocation, const QVariantMap& parameters) override
    {
        const GDataServiceTicketPtr ticket = service()->fetchFeedWithURL(
            GDataServiceGoogleContact::contactFeedURLForUserID(QStringLiteral("default")), this,
            kFeedCallback);
        if (ticket) {
            ticket->setProperty(kParameterKey, parameters);
            parkInvocation(ticket, invocation);
        } else
            callHighLevelInvocation(invocation, parameters, QVariant(), noTicketError());
    }
    Q_INVOKABLE QVariantMap defaultCallbackForParams(const QVariantMap& result) override { return result; }
};

TAVREL_REGISTER_CLASS(cmhTestListContacts)
TAVREL_REGISTER_CLASS(gdcmhTestListContacts)

using ContactFamilyTest = ActionsTest;

TEST_F(ContactFamilyTest, ContactActionsGoThroughTheContactsService)
{
    ActionRequester requester;
    m_account.session->contactManager()->executeAction(QStringLiteral("TestListContacts"),
                                                       requester.callback(), {});
    ASSERT_TRUE(waitUntil([&] { return requester.calls() == 1; }, 10000));
    EXPECT_TRUE(requester.error().isNull()) << requester.error().localizedDescription().toStdString();
    const auto feed = GDataResultValues::objectFromValue<GDataFeedContact>(requester.result());
    ASSERT_TRUE(feed);
    EXPECT_EQ(feed->entries().size(), 2);
    EXPECT_FALSE(
        requests(QStringLiteral("GET"), QStringLiteral("/m8/feeds/contacts/default/full")).isEmpty());
}

TEST_F(ContactFamilyTest, AnUnauthorisedContactsServiceGives702)
{
    m_account.service.addFault(
        {localservice::Fault::Status, QStringLiteral("GET"), QStringLiteral("^/m8/feeds/contacts/"), 5, 401});
    ActionRequester requester;
    m_account.session->contactManager()->executeAction(QStringLiteral("TestListContacts"),
                                                       requester.callback(), {});
    ASSERT_TRUE(waitUntil([&] { return requester.calls() == 1; }, 10000));
    EXPECT_EQ(requester.error().code(), VUvodozuManager::kNotAuthorizedErrorCode);
    EXPECT_FALSE(requester.result().isValid());
}

} // namespace tavrel::test

#include "ContactFamilyTest.moc"
