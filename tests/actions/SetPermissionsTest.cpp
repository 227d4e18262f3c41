#include "DocumentChangesFixture.h"
#include "model/Mail.h"
#include "model/TQACLEntry.h"
#include "model/TQLocalizedStrings.h"
#include "pipeline/VUvodozuManager.h"

#include <pugixml.hpp>

namespace tavrel::test {

namespace {

QVariant person(const QString& address, qint32 role, const QString& name = {})
{
    TQACLEntry entry(TQACLEntry::User, role, address);
    entry.setDisplayName(name);
    return QVariant::fromValue(entry);
}

struct BatchEntry
{
    QString batchId, operation, scope, role, id;
};

// The entries of a posted batch, as the service read them.
QList<BatchEntry> batchEntries(const QByteArray& body)
{
    QList<BatchEntry> entries;
    pugi::xml_document doc;
    doc.load_buffer(body.constData(), size_t(body.size()));
    for (pugi::xml_node e = doc.document_element().first_child(); e; e = e.next_sibling()) {
        if (QString::fromUtf8(e.name()).section(QLatin1Char(':'), -1) != QLatin1String("entry"))
            continue;
        BatchEntry out;
        for (pugi::xml_node c = e.first_child(); c; c = c.next_sibling()) {
            const QString name = QString::fromUtf8(c.name()).section(QLatin1Char(':'), -1);
            if (name == QLatin1String("id") && QString::fromUtf8(c.name()).contains(QLatin1Char(':')))
                out.batchId = QString::fromUtf8(c.child_value());
            else if (name == QLatin1String("id"))
                out.id = QString::fromUtf8(c.child_value());
            else if (name == QLatin1String("operation"))
                out.operation = QString::fromUtf8(c.attribute("type").value());
            else if (name == QLatin1String("scope"))
                out.scope = QString::fromUtf8(c.attribute("type").value()) + QLatin1Char(':') +
                            QString::fromUtf8(c.attribute("value").value());
            else if (name == QLatin1String("role"))
                out.role = QString::fromUtf8(c.attribute("value").value());
        }
        entries.append(out);
    }
    return entries;
}

} // namespace

using SetPermissionsTest = DocumentChangesTest;

TEST_F(SetPermissionsTest, UpdatesExistingGranteesInsertsNewOnesAndTellsTheUser)
{
    const QVariantList people = {person(QStringLiteral("Ann@Example.org"), TQACLEntry::Reader),
                                 person(QStringLiteral("carl@example.org"), TQACLEntry::Writer),
                                 person(QStringLiteral("dave@example.org"), TQACLEntry::Commenter)};
    ActionRequester requester;
    ASSERT_TRUE(
        runAction(QStringLiteral("SetPermissions"), requester,
                  {{QStringLiteral("documentEntities"), recordValues({QStringLiteral("document:alpha")})},
                   {QStringLiteral("ACLEntries"), people},
                   {QStringLiteral("statusID"), QStringLiteral("share_1")}}));
    ASSERT_TRUE(requester.error().isNull()) << requester.error().localizedDescription().toStdString();
    ASSERT_EQ(requester.result().toList().size(), 1);

    EXPECT_EQ(requestLines(),
              (QStringList{QStringLiteral("GET /feeds/default/private/full/document:alpha/acl"),
                           QStringLiteral("POST /feeds/default/private/full/document:alpha/acl/batch"),
                           QStringLiteral("POST /feeds/default/private/expandAcl/batch")}));
    const QList<BatchEntry> sent = batchEntries(journal().at(1).body);
    ASSERT_EQ(sent.size(), 3);
    // Ann is on the list under another letter case: her entry is updated, not added twice.
    EXPECT_EQ(sent.at(0).operation, QStringLiteral("update"));
    EXPECT_TRUE(sent.at(0).id.endsWith(QStringLiteral("acl/user%3Aann%40example.org")))
        << sent.at(0).id.toStdString();
    EXPECT_EQ(sent.at(0).role, QStringLiteral("reader"));
    EXPECT_EQ(sent.at(1).operation, QStringLiteral("insert"));
    EXPECT_EQ(sent.at(1).scope, QStringLiteral("user:carl@example.org"));
    EXPECT_EQ(sent.at(2).operation, QStringLiteral("insert"));
    EXPECT_EQ(QStringList({sent.at(0).batchId, sent.at(1).batchId, sent.at(2).batchId}),
              (QStringList{QStringLiteral("batch_1"), QStringLiteral("batch_2"), QStringLiteral("batch_3")}));

    const QStringList onService = serviceAccessList(QStringLiteral("document:alpha"));
    EXPECT_TRUE(onService.contains(QStringLiteral("ann@example.org=reader")))
        << onService.join(' ').toStdString();
    EXPECT_TRUE(onService.contains(QStringLiteral("carl@example.org=writer")));
    EXPECT_TRUE(onService.contains(QStringLiteral("default=reader"))) << "people not named keep their access";
    QStringList editors;
    for (const auto& mail : record(QStringLiteral("document:alpha"))->editors())
        editors.append(mail->address());
    EXPECT_TRUE(editors.contains(QStringLiteral("carl@example.org"))) << "the store holds the new list";

    const QList<Shown> shown = m_notifications.takeAll();
    ASSERT_EQ(shown.size(), 1);
    EXPECT_EQ(shown.first().title, QStringLiteral("Alpha"));
    EXPECT_EQ(shown.first().message, TQLocalizedStrings::localizedStringForKey(
                                         QStringLiteral("SetPermissionNotification1ItemMoreContacts"))
                                         .arg(3));
}

TEST_F(SetPermissionsTest, NotificationTextsFollowTheNumbersOfDocumentsAndPeople)
{
    struct Row
    {
        QStringList documents;
        QVariantList people;
        bool modified;
        QString title, message; // empty title: no notification
    };
    const QString many = TQLocalizedStrings::localizedStringForKey(QStringLiteral("ManyItems"));
    const QList<Row> rows = {
        {{QStringLiteral("document:beta")},
         {person(QStringLiteral("eve@example.org"), TQACLEntry::Reader)},
         false,
         QStringLiteral("Beta"),
         TQLocalizedStrings::localizedStringForKey(QStringLiteral("SetPermissionNotification1Item1Contact"))
             .arg(QStringLiteral("eve@example.org"))},
        {{QStringLiteral("document:beta"), QStringLiteral("spreadsheet:gamma")},
         {person(QStringLiteral("eve@example.org"), TQACLEntry::Reader, QStringLiteral("Eve"))},
         false,
         many.arg(2),
         TQLocalizedStrings::localizedStringForKey(
             QStringLiteral("SetPermissionNotificationMoreItems1Contact"))
             .arg(QStringLiteral("Eve"))},
        {{QStringLiteral("document:beta")},
         {person(QStringLiteral("eve@example.org"), TQACLEntry::Writer)},
         true,
         {},
         {}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.message.toStdString());
        QVariantMap parameters = {{QStringLiteral("documentEntities"), recordValues(row.documents)},
                                  {QStringLiteral("ACLEntries"), row.people}};
        if (row.modified)
            parameters.insert(QStringLiteral("modified"), true);
        ActionRequester requester;
        ASSERT_TRUE(runAction(QStringLiteral("SetPermissions"), requester, parameters));
        EXPECT_TRUE(requester.error().isNull());
        const QList<Shown> shown = m_notifications.takeAll();
        if (row.title.isEmpty()) {
            EXPECT_TRUE(shown.isEmpty());
            continue;
        }
        ASSERT_EQ(shown.size(), 1);
        EXPECT_EQ(shown.first().title, row.title);
        EXPECT_EQ(shown.first().message, row.message);
    }
}

TEST_F(SetPermissionsTest, AFailureInTheMiddleLeavesTheFirstSharedAndTheRestUntouched)
{
    // The user only reads the second document: the service refuses its entry inside the batch.
    const QStringList order = {QStringLiteral("document:beta"), QStringLiteral("document:readonly"),
                               QStringLiteral("spreadsheet:gamma")};
    const QStringList readonlyBefore = serviceAccessList(QStringLiteral("document:readonly"));
    ActionRequester requester;
    ASSERT_TRUE(runAction(QStringLiteral("SetPermissions"), requester,
                          {{QStringLiteral("documentEntities"), recordValues(order)},
                           {QStringLiteral("ACLEntries"),
                            QVariantList{person(QStringLiteral("eve@example.org"), TQACLEntry::Writer)}}}));
    EXPECT_EQ(requester.error().domain(), VUvodozuManager::kErrorDomain);
    EXPECT_EQ(requester.error().code(), VUvodozuManager::kSomeFetchErrorCode);
    const QVariantList shared = requester.result().toList();
    ASSERT_EQ(shared.size(), 1);
    EXPECT_EQ(shared.first().value<ManagedObjectPtr>(),
              std::static_pointer_cast<ManagedObject>(record(QStringLiteral("document:beta"))));
    EXPECT_TRUE(serviceAccessList(QStringLiteral("document:beta"))
                    .contains(QStringLiteral("eve@example.org=writer")));
    EXPECT_EQ(serviceAccessList(QStringLiteral("document:readonly")), readonlyBefore);
    for (const QString& line : requestLines())
        EXPECT_FALSE(line.contains(QStringLiteral("gamma"))) << "the third document is never touched";
    EXPECT_TRUE(m_notifications.takeAll().isEmpty()) << "no success is announced";
}

TEST_F(SetPermissionsTest, WritersShareOnlyWhereWritersMayInvite)
{
    struct Row
    {
        const char* document;
        bool shares;
    };
    for (const Row& row : {Row{"document:shared", true}, Row{"document:closed", false}}) {
        SCOPED_TRACE(row.document);
        const QString rid = QString::fromLatin1(row.document);
        ActionRequester requester;
        ASSERT_TRUE(
            runAction(QStringLiteral("SetPermissions"), requester,
                      {{QStringLiteral("documentEntities"), recordValues({rid})},
                       {QStringLiteral("ACLEntries"),
                        QVariantList{person(QStringLiteral("eve@example.org"), TQACLEntry::Reader)}}}));
        EXPECT_EQ(requester.error().isNull(), row.shares);
        EXPECT_EQ(serviceAccessList(rid).contains(QStringLiteral("eve@example.org=reader")), row.shares);
        EXPECT_EQ(m_notifications.takeAll().size(), row.shares ? 1 : 0);
    }
}

TEST_F(SetPermissionsTest, StepsRefuseWhatTheyCannotWorkWith)
{
    struct Row
    {
        const char* action;
        QVariantMap parameters;
    };
    const QList<Row> rows = {
        {"SetPermissionHandler", {{QStringLiteral("ACLEntries"), QVariantList{}}}},
        {"SetPermissionHandler",
         {{QStringLiteral("feedACL"), QStringLiteral("feed")},
          {QStringLiteral("ACLEntries"), QVariantList{}}}},
        {"SetGeneralACLPermissionHandler", {}},
        {"RemovePermissionHandler",
         {{QStringLiteral("documentEntity"), recordValue(QStringLiteral("document:beta"))}}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.action);
        ActionRequester requester;
        ASSERT_TRUE(runAction(QString::fromLatin1(row.action), requester, row.parameters));
        EXPECT_EQ(requester.error().code(), VUvodozuManager::kMissingParameterErrorCode);
    }
    EXPECT_TRUE(journal().isEmpty());
}

TEST_F(SetPermissionsTest, NoDocumentsAnswerAtOnceWithNothingShared)
{
    ActionRequester requester;
    ASSERT_TRUE(runAction(QStringLiteral("SetPermissions"), requester,
                          {{QStringLiteral("documentEntities"), QVariantList{}},
                           {QStringLiteral("ACLEntries"),
                            QVariantList{person(QStringLiteral("eve@example.org"), TQACLEntry::Reader)}}}));
    EXPECT_TRUE(requester.error().isNull());
    EXPECT_TRUE(requester.result().toList().isEmpty());
    EXPECT_TRUE(journal().isEmpty());
    EXPECT_TRUE(m_notifications.takeAll().isEmpty());
}

} // namespace tavrel::test
