#include "DocumentChangesFixture.h"
#include "model/GeneralACLPermission.h"
#include "model/GeneralACLPermissionAdapter.h"
#include "pipeline/VUvodozuManager.h"

#include <pugixml.hpp>

namespace tavrel::test {

namespace {

QVariant permission(const QString& type, const QString& role, bool withLink)
{
    auto value = GeneralACLPermissionAdapter::generalACLPermissionAdapterWithUsername(
        QStringLiteral("demo@tavrel.test"));
    value->setType(type);
    value->setRole(role);
    value->setHasLink(withLink);
    return QVariant::fromValue(value);
}

// "operation scope" of each entry of a posted batch, in order.
QStringList batchOperations(const QByteArray& body)
{
    QStringList operations;
    pugi::xml_document doc;
    doc.load_buffer(body.constData(), size_t(body.size()));
    for (pugi::xml_node e = doc.document_element().first_child(); e; e = e.next_sibling()) {
        if (QString::fromUtf8(e.name()).section(QLatin1Char(':'), -1) != QLatin1String("entry"))
            continue;
        QString operation, scope;
        for (pugi::xml_node c = e.first_child(); c; c = c.next_sibling()) {
            const QString name = QString::fromUtf8(c.name()).section(QLatin1Char(':'), -1);
            if (name == QLatin1String("operation"))
                operation = QString::fromUtf8(c.attribute("type").value());
            else if (name == QLatin1String("scope"))
                scope = QString::fromUtf8(c.attribute("type").value());
        }
        operations.append(operation + QLatin1Char(' ') + scope);
    }
    return operations;
}

} // namespace

using GeneralAccessTest = DocumentChangesTest;

TEST_F(GeneralAccessTest, ReplacesTheGeneralEntriesInOneBatch)
{
    struct Row
    {
        const char* name;
        QString document;
        QVariant permission; // invalid: private
        QStringList operations;
        QStringList generalAfter;
    };
    const QList<Row> rows = {
        {"DomainWithLinkOverBoth",
         QStringLiteral("document:alpha"),
         permission(QStringLiteral("domain"), QStringLiteral("writer"), true),
         {QStringLiteral("delete default"), QStringLiteral("delete domain"), QStringLiteral("insert domain")},
         {QStringLiteral("domain=writer")}},
        {"PrivateKeepsPeople",
         QStringLiteral("document:public"),
         QVariant(),
         {QStringLiteral("delete default"), QStringLiteral("delete domain")},
         {}},
        {"FirstGeneralAccess",
         QStringLiteral("document:beta"),
         permission(QStringLiteral("default"), QStringLiteral("reader"), false),
         {QStringLiteral("insert default")},
         {QStringLiteral("default=reader")}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        QVariantMap parameters = {{QStringLiteral("documentEntities"), recordValues({row.document})}};
        if (row.permission.isValid())
            parameters.insert(QStringLiteral("generalACLPermission"), row.permission);
        const QStringList peopleBefore = serviceAccessList(row.document).filter(QStringLiteral("@"));
        m_account.service.clearJournal();
        ActionRequester requester;
        ASSERT_TRUE(runAction(QStringLiteral("SetGeneralACLPermissions"), requester, parameters));
        ASSERT_TRUE(requester.error().isNull()) << requester.error().localizedDescription().toStdString();
        ASSERT_EQ(requester.result().toList().size(), 1);

        const QList<localservice::JournalEntry> sent = journal();
        ASSERT_EQ(sent.size(), 3);
        EXPECT_EQ(sent.at(1).path, QStringLiteral("/feeds/default/private/full/") + row.document +
                                       QStringLiteral("/acl/batch"));
        EXPECT_EQ(batchOperations(sent.at(1).body), row.operations);
        const QStringList after = serviceAccessList(row.document);
        EXPECT_EQ(after.filter(QStringLiteral("@")), peopleBefore) << "people keep their entries";
        QStringList general = after;
        general.removeIf([](const QString& rule) { return rule.contains(QLatin1Char('@')); });
        EXPECT_EQ(general, row.generalAfter);
        const auto stored = record(row.document);
        EXPECT_EQ(bool(stored->generalACL()), !row.generalAfter.isEmpty()) << "the store follows the service";
    }
    EXPECT_TRUE(m_notifications.takeAll().isEmpty());
}

TEST_F(GeneralAccessTest, ANewEntryRefusedAfterTheDeletionsIsReportedNotSuccess)
{
    // The service takes the deletions and refuses the new entry inside the same batch: the document is
    // private now, and the user must hear that the change failed.
    ActionRequester requester;
    ASSERT_TRUE(runAction(QStringLiteral("SetGeneralACLPermission"), requester,
                          {{QStringLiteral("documentEntity"), recordValue(QStringLiteral("document:alpha"))},
                           {QStringLiteral("generalACLPermission"),
                            permission(QStringLiteral("default"), QStringLiteral("admin"), false)}}));
    EXPECT_EQ(requester.error().domain(), VUvodozuManager::kErrorDomain);
    EXPECT_EQ(requester.error().code(), VUvodozuManager::kSomeFetchErrorCode);
    EXPECT_FALSE(requester.result().isValid());
}

TEST_F(GeneralAccessTest, OnlyTheOwnerChangesWhoMayOpenADocument)
{
    const QStringList before = serviceAccessList(QStringLiteral("document:shared"));
    ActionRequester requester;
    ASSERT_TRUE(
        runAction(QStringLiteral("SetGeneralACLPermissions"), requester,
                  {{QStringLiteral("documentEntities"),
                    recordValues({QStringLiteral("document:shared"), QStringLiteral("document:beta")})},
                   {QStringLiteral("generalACLPermission"),
                    permission(QStringLiteral("default"), QStringLiteral("reader"), true)}}));
    EXPECT_EQ(requester.error().code(), VUvodozuManager::kSomeFetchErrorCode);
    EXPECT_TRUE(requester.result().toList().isEmpty());
    EXPECT_EQ(serviceAccessList(QStringLiteral("document:shared")), before);
    for (const QString& line : requestLines())
        EXPECT_FALSE(line.contains(QStringLiteral("document:beta")))
            << "the second document is never touched";
}

} // namespace tavrel::test
