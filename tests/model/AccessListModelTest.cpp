#include "StoreFixture.h"
#include "model/GeneralACLPermission.h"
#include "model/GeneralACLPermissionAdapter.h"
#include "model/TQACLEntry.h"
#include "platform/gdata/GDataObjectFactory.h"
#include "platform/store/ManagedObjectContext.h"

#include <gtest/gtest.h>

using namespace tavrel;
using tavrel::test::StoreFixture;

namespace {

QStringList additionalValues(const QList<GDataACLAdditionalRole>& roles)
{
    QStringList values;
    for (const auto& role : roles)
        values.append(role.value());
    return values;
}

TEST(TQACLEntry, ToServiceEntries)
{
    const struct
    {
        qint32 type;
        qint32 role;
        QString scopeType;
        QString roleValue;
        QStringList additional;
    } rows[] = {
        {0, 0, "user", "reader", {}}, {0, 1, "user", "reader", {"commenter"}},  {0, 2, "user", "writer", {}},
        {0, 3, "user", "owner", {}},  {1, 1, "group", "reader", {"commenter"}}, {1, 2, "group", "writer", {}},
        {7, 9, "", "", {}},
    };
    for (const auto& row : rows) {
        const TQACLEntry acl(row.type, row.role, "someone@example.com");
        const auto entry = acl.gdataEntry();
        ASSERT_TRUE(entry);
        const std::string label = acl.description().toStdString();
        ASSERT_TRUE(entry->scope()) << label;
        EXPECT_EQ(entry->scope()->type(), row.scopeType) << label;
        EXPECT_EQ(entry->scope()->value(), "someone@example.com") << label;
        ASSERT_TRUE(entry->role()) << label;
        EXPECT_EQ(entry->role()->value(), row.roleValue) << label;
        EXPECT_EQ(additionalValues(entry->additionalRoles()), row.additional) << label;
        EXPECT_FALSE(entry->keyedRole()) << label;

        // What goes over the wire parses back to the same rule.
        const auto parsed = std::dynamic_pointer_cast<GDataEntryACL>(
            GDataObjectFactory::entryWithXMLString(entry->XMLString()));
        ASSERT_TRUE(parsed) << label;
        EXPECT_EQ(parsed->scope(), entry->scope()) << label;
        EXPECT_EQ(additionalValues(parsed->additionalRoles()), row.additional) << label;
    }
}

TEST(TQACLEntry, StringFormsAndDescription)
{
    TQACLEntry acl(1, 2, "team@example.com");
    EXPECT_EQ(acl.stringType(), "group");
    EXPECT_EQ(acl.stringRole(), "writer");
    EXPECT_TRUE(acl.displayName().isEmpty());
    EXPECT_EQ(acl.description(), "Type: group   Value: team@example.com   Role: writer");
    acl.setType(2);
    acl.setRole(-1);
    EXPECT_EQ(acl.stringType(), "");
    EXPECT_EQ(acl.stringRole(), "");
}

GDataEntryACLPtr serviceEntry(const QString& scopeType, const std::optional<QString>& role,
                              const std::optional<GDataACLKeyedRole>& keyed)
{
    auto entry = GDataEntryACL::ACLEntry();
    entry->setScope(GDataACLScope(scopeType, scopeType == "domain" ? "example.com" : QString()));
    if (role)
        entry->setRole(GDataACLRole(*role));
    entry->setKeyedRole(keyed);
    return entry;
}

class AccessListModel : public StoreFixture
{
};

TEST_F(AccessListModel, GeneralAccessFromServiceEntries)
{
    const GDataACLRole reader("reader");
    const GDataACLAdditionalRole commenter("commenter");
    const struct
    {
        const char* name;
        GDataEntryACLPtr entry;
        QString role;
        bool hasLink;
    } rows[] = {
        {"plain reader", serviceEntry("default", "reader", std::nullopt), "reader", false},
        {"plain writer", serviceEntry("domain", "writer", std::nullopt), "writer", false},
        {"none", serviceEntry("default", "none", std::nullopt), "none", false},
        {"keyed reader", serviceEntry("default", "none", GDataACLKeyedRole("k", reader)), "reader", true},
        {"keyed commenter", serviceEntry("domain", "none", GDataACLKeyedRole("k", reader, {commenter})),
         "commenter", true},
        {"keyed without key", serviceEntry("default", "none", GDataACLKeyedRole(QString(), reader)), "reader",
         false},
        {"no role", serviceEntry("default", std::nullopt, std::nullopt), QString(), false},
    };
    for (const auto& row : rows) {
        auto permission = moc()->insertNewObject<GeneralACLPermission>("GeneralACLPermission");
        permission->fillAttributeFromGDataEntry(row.entry);
        EXPECT_EQ(permission->type(), row.entry->scope()->type()) << row.name;
        EXPECT_EQ(permission->role(), row.role) << row.name;
        EXPECT_EQ(permission->role().isNull(), row.role.isNull()) << row.name;
        EXPECT_EQ(permission->hasLink(), QVariant(row.hasLink)) << row.name;
        // The stored text rebuilds the entry.
        const auto rebuilt = permission->gdataEntry();
        ASSERT_TRUE(rebuilt) << row.name;
        EXPECT_EQ(rebuilt->scope(), row.entry->scope()) << row.name;
        EXPECT_EQ(rebuilt->keyedRole(), row.entry->keyedRole()) << row.name;
    }
}

TEST_F(AccessListModel, RecordToAdapter)
{
    auto permission = moc()->insertNewObject<GeneralACLPermission>("GeneralACLPermission");
    permission->fillAttributeFromGDataEntry(
        serviceEntry("domain", "none", GDataACLKeyedRole("k", GDataACLRole("writer"))));
    const auto adapter = permission->adapterObjectForUsername("me@example.com");
    EXPECT_EQ(adapter->username(), "me@example.com");
    EXPECT_EQ(adapter->type(), "domain");
    EXPECT_EQ(adapter->role(), "writer");
    EXPECT_EQ(adapter->hasLink(), QVariant(true));
    EXPECT_EQ(adapter->xml(), permission->xml());
    // An adapter's copy keeps its own user name.
    EXPECT_EQ(adapter->adapterObjectForUsername("other@example.com")->username(), "me@example.com");
}

TEST(GeneralACLPermissionAdapter, ToServiceEntries)
{
    const struct
    {
        QString type;
        QString role;
        QVariant hasLink;
        std::optional<GDataACLScope> scope;
        std::optional<QString> plainRole;
        std::optional<GDataACLKeyedRole> keyed;
        QStringList additional;
    } rows[] = {
        {"default", "reader", QVariant(), GDataACLScope("default", QString()), "reader", std::nullopt, {}},
        {"domain", "writer", false, GDataACLScope("domain", "corp.example.com"), "writer", std::nullopt, {}},
        {"default",
         "commenter",
         QVariant(),
         GDataACLScope("default", QString()),
         "reader",
         std::nullopt,
         {"commenter"}},
        {"default",
         "commenter",
         true,
         GDataACLScope("default", QString()),
         std::nullopt,
         GDataACLKeyedRole("with link", GDataACLRole("reader")),
         {"commenter"}},
        {"domain",
         "reader",
         true,
         GDataACLScope("domain", "corp.example.com"),
         std::nullopt,
         GDataACLKeyedRole("with link", GDataACLRole("reader")),
         {}},
        {"everyone", "reader", QVariant(), std::nullopt, "reader", std::nullopt, {}},
    };
    for (const auto& row : rows) {
        GeneralACLPermissionAdapter adapter("me@mail.corp.example.com@corp.example.com");
        adapter.setType(row.type);
        adapter.setRole(row.role);
        adapter.setHasLink(row.hasLink);
        const auto entry = adapter.gdataEntry();
        const std::string label = (row.type + "/" + row.role + "/" + row.hasLink.toString()).toStdString();
        ASSERT_TRUE(entry) << label;
        const auto scope = entry->scope();
        EXPECT_EQ(scope.has_value(), row.scope.has_value()) << label;
        if (scope && row.scope) {
            EXPECT_EQ(scope->type(), row.scope->type()) << label;
            EXPECT_EQ(scope->value().isEmpty(), row.scope->value().isEmpty()) << label;
            if (!row.scope->value().isEmpty()) {
                EXPECT_EQ(scope->value(), row.scope->value()) << label;
            }
        }
        const auto role = entry->role();
        EXPECT_EQ(role.has_value(), row.plainRole.has_value()) << label;
        if (role && row.plainRole) {
            EXPECT_EQ(role->value(), *row.plainRole) << label;
        }
        EXPECT_EQ(entry->keyedRole(), row.keyed) << label;
        EXPECT_EQ(additionalValues(entry->additionalRoles()), row.additional) << label;
    }
}

} // namespace
