#include "LocalServiceFixture.h"

#include <QUrl>
#include <algorithm>

namespace tavrel::test {
namespace {

// The account's user (demo@tavrel.test) holds every role once: owner, reader, commenter, writer where
// writers may invite, and writer where they may not.
const char* const kSeed = R"({
  "owner": {"email": "demo@tavrel.test", "name": "Demo User"},
  "documents": [
    {"resourceId": "document:mine", "kind": "document", "title": "Mine",
     "acl": [{"scope": "user", "value": "ann@example.org", "role": "writer"},
             {"scope": "default", "role": "reader"}]},
    {"resourceId": "document:reader", "kind": "document", "title": "Read only", "owner": "bob@example.org",
     "acl": [{"scope": "user", "value": "demo@tavrel.test", "role": "reader"},
             {"scope": "user", "value": "ann@example.org", "role": "reader"}]},
    {"resourceId": "document:commenter", "kind": "document", "title": "Comments", "owner": "bob@example.org",
     "acl": [{"scope": "user", "value": "Demo@Tavrel.test", "role": "reader", "additionalRoles": ["commenter"]}]},
    {"resourceId": "document:writer", "kind": "document", "title": "Shared", "owner": "bob@example.org",
     "writersCanInvite": true,
     "acl": [{"scope": "user", "value": "demo@tavrel.test", "role": "writer"},
             {"scope": "user", "value": "ann@example.org", "role": "reader"}]},
    {"resourceId": "document:closed", "kind": "document", "title": "Closed", "owner": "bob@example.org",
     "writersCanInvite": false,
     "acl": [{"scope": "user", "value": "demo@tavrel.test", "role": "writer"},
             {"scope": "user", "value": "ann@example.org", "role": "reader"}]},
    {"resourceId": "folder:mybox", "kind": "folder", "title": "My box"},
    {"resourceId": "folder:theirs", "kind": "folder", "title": "Their box", "owner": "bob@example.org",
     "acl": [{"scope": "user", "value": "demo@tavrel.test", "role": "reader"}]},
    {"resourceId": "folder:open", "kind": "folder", "title": "Open box", "owner": "bob@example.org",
     "acl": [{"scope": "user", "value": "demo@tavrel.test", "role": "writer"}]},
    {"resourceId": "folder:none", "kind": "folder", "title": "Closed box", "owner": "bob@example.org"},
    {"resourceId": "document:bobs", "kind": "document", "title": "Bob's", "owner": "bob@example.org",
     "parents": ["folder:theirs", "folder:none"]},
    {"resourceId": "document:private", "kind": "document", "title": "Private", "owner": "bob@example.org"}
  ]
})";

const std::string kAtom = "xmlns='http://www.w3.org/2005/Atom' xmlns:gd='http://schemas.google.com/g/2005' "
                          "xmlns:gAcl='http://schemas.google.com/acl/2007'";

std::string rule(const std::string& type, const std::string& value, const std::string& role)
{
    return "<entry " + kAtom +
           "><category scheme='http://schemas.google.com/g/2005#kind' "
           "term='http://schemas.google.com/acl/2007#accessRule'/><gAcl:role value='" +
           role + "'/><gAcl:scope type='" + type + "'" + (value.empty() ? "" : " value='" + value + "'") +
           "/></entry>";
}

std::string documentEntry(const std::string& inner)
{
    return "<entry " + kAtom +
           "><category scheme='http://schemas.google.com/g/2005#kind' "
           "term='http://schemas.google.com/docs/2007#document'/>" +
           inner + "</entry>";
}

const char* const kEntries = "/feeds/default/private/full/";
const char* const kUploads = "/feeds/upload/create-session/default/private/full/";

struct Operation
{
    const char* name;
    const char* method;
    std::string suffix; // after the document's path
    std::string body;
    const char* prefix = kEntries; // before the document's resource id
};

std::string idEntry(const std::string& rid)
{
    return "<entry " + kAtom + "><id>http://127.0.0.1/feeds/id/" +
           QUrl::toPercentEncoding(QString::fromStdString(rid)).toStdString() + "</id></entry>";
}

const Operation kRename{"Rename", "PUT", "", documentEntry("<title>New title</title>")};
const Operation kStar{
    "Star", "PUT", "",
    documentEntry("<category scheme='http://schemas.google.com/g/2005/labels' "
                  "term='http://schemas.google.com/g/2005/labels#starred' label='starred'/>")};
const Operation kTrash{"Trash", "DELETE", "", ""};
const Operation kDelete{"DeleteForGood", "DELETE", "?delete=true", ""};
const Operation kShare{"Share", "POST", "/acl", rule("user", "carl@example.org", "writer")};
const Operation kDomain{"OpenToDomain", "POST", "/acl", rule("domain", "tavrel.test", "reader")};
const Operation kHandOver{"HandOver", "PUT", "/acl/user%3Aann%40example.org",
                          rule("user", "ann@example.org", "owner")};
const Operation kRemoveAnn{"RemoveSomeone", "DELETE", "/acl/user%3Aann%40example.org", ""};
const Operation kLeave{"Leave", "DELETE", "/acl/user%3Ademo%40tavrel.test", ""};
// Content and collection membership.
const Operation kNewContent{"NewContent", "PUT", "", "", kUploads};
const Operation kUploadInto{"UploadInto", "POST", "/contents", "", kUploads};
const Operation kCreateInside{"CreateInside", "POST", "/contents", documentEntry("<title>Inside</title>")};
const Operation kAddMine{"AddMine", "POST", "/contents", idEntry("document:mine")};
const Operation kAddPrivate{"AddPrivate", "POST", "/contents", idEntry("document:private")};
const Operation kAddReadable{"AddReadable", "POST", "/contents", idEntry("document:reader")};
const Operation kTakeOutBobs{"TakeOutBobs", "DELETE", "/contents/document%3Abobs", ""};
const Operation kWritersInvite{
    "StopWritersInviting", "PUT", "",
    documentEntry("<docs:writersCanInvite xmlns:docs='http://schemas.google.com/docs/2007' "
                  "value='false'/>")};

struct RoleCase
{
    const char* document;
    Operation operation;
    int status;
};

class AccessRolesTest : public LocalServiceFixture, public ::testing::WithParamInterface<RoleCase>
{
protected:
    void SetUp() override
    {
        LocalServiceFixture::SetUp();
        QString error;
        ASSERT_TRUE(m_service.loadSeed(kSeed, &error)) << error.toStdString();
    }
    static std::string path(const QString& rid, const char* prefix = kEntries)
    {
        return prefix + QUrl::toPercentEncoding(rid).toStdString();
    }
    // What a refusal must leave as it was: every document's title, collections, content and revisions.
    QStringList account() const
    {
        QStringList out;
        for (const QString& rid : m_service.documentIds()) {
            const localservice::DocumentSnapshot d = m_service.document(rid);
            out.append(rid + QLatin1Char('|') + d.title + QLatin1Char('|') +
                       d.parents.join(QLatin1Char(',')) + QLatin1Char('|') + QString::fromUtf8(d.content) +
                       QLatin1Char('|') + QString::number(d.revisions));
        }
        return out;
    }
};

TEST_P(AccessRolesTest, AnswersAsTheServiceDecidesForTheRole)
{
    const RoleCase& row = GetParam();
    const QString name = QString::fromLatin1(row.document);
    const QString rid = name.contains(QLatin1Char(':')) ? name : QStringLiteral("document:") + name;
    const QStringList before = account();
    const qint64 stampBefore = m_service.largestChangestamp();
    auto r = send(row.operation.method, path(rid, row.operation.prefix) + row.operation.suffix,
                  row.operation.body, {{"If-Match", "*"}, {"X-Upload-Content-Length", "5"}});
    ASSERT_TRUE(r);
    EXPECT_EQ(r->status, row.status) << r->body;
    if (row.status == 403) {
        EXPECT_NE(r->body.find("ServiceForbiddenException"), std::string::npos) << r->body;
        EXPECT_EQ(m_service.largestChangestamp(), stampBefore) << "a refusal changes nothing";
        EXPECT_EQ(account(), before);
        EXPECT_EQ(m_service.openUploadSessions(), 0) << "nor opens a session";
    }
}

INSTANTIATE_TEST_SUITE_P(
    Roles, AccessRolesTest,
    ::testing::Values(
        RoleCase{"mine", kRename, 200}, RoleCase{"mine", kTrash, 200}, RoleCase{"mine", kDelete, 200},
        RoleCase{"mine", kShare, 201}, RoleCase{"mine", kDomain, 201}, RoleCase{"mine", kHandOver, 200},
        RoleCase{"mine", kWritersInvite, 200}, RoleCase{"reader", kRename, 403},
        RoleCase{"reader", kStar, 200}, RoleCase{"reader", kTrash, 403}, RoleCase{"reader", kDelete, 403},
        RoleCase{"reader", kShare, 403}, RoleCase{"reader", kRemoveAnn, 403}, RoleCase{"reader", kLeave, 200},
        RoleCase{"commenter", kRename, 403}, RoleCase{"commenter", kShare, 403},
        RoleCase{"commenter", kStar, 200}, RoleCase{"writer", kRename, 200}, RoleCase{"writer", kTrash, 200},
        RoleCase{"writer", kDelete, 403}, RoleCase{"writer", kShare, 201},
        RoleCase{"writer", kRemoveAnn, 200}, RoleCase{"writer", kDomain, 403},
        RoleCase{"writer", kHandOver, 403}, RoleCase{"writer", kWritersInvite, 403},
        RoleCase{"closed", kRename, 200}, RoleCase{"closed", kShare, 403},
        RoleCase{"closed", kRemoveAnn, 403}, RoleCase{"closed", kLeave, 200},
        // New content is the writers': through the upload route as through any other.
        RoleCase{"reader", kNewContent, 403}, RoleCase{"commenter", kNewContent, 403},
        RoleCase{"writer", kNewContent, 200}, RoleCase{"mine", kNewContent, 200},
        // A collection's content is changed by its writers; what goes in must be the account's to open.
        RoleCase{"folder:theirs", kAddMine, 403}, RoleCase{"folder:theirs", kTakeOutBobs, 403},
        RoleCase{"folder:theirs", kCreateInside, 403}, RoleCase{"folder:theirs", kUploadInto, 403},
        RoleCase{"folder:none", kAddMine, 403}, RoleCase{"folder:none", kTakeOutBobs, 403},
        RoleCase{"folder:none", kCreateInside, 403}, RoleCase{"folder:none", kUploadInto, 403},
        RoleCase{"folder:open", kAddMine, 201}, RoleCase{"folder:open", kCreateInside, 201},
        RoleCase{"folder:open", kUploadInto, 200}, RoleCase{"folder:mybox", kAddPrivate, 403},
        RoleCase{"folder:mybox", kAddReadable, 201}, RoleCase{"folder:mybox", kUploadInto, 200}),
    [](const ::testing::TestParamInfo<RoleCase>& info) {
        std::string name = std::string(info.param.document) + "_" + info.param.operation.name;
        std::replace(name.begin(), name.end(), ':', '_');
        return name;
    });

TEST_F(AccessRolesTest, AChunkIsRefusedOnceTheRoleIsGone)
{
    const QString rid = QStringLiteral("document:writer");
    auto started =
        send("PUT", path(rid, kUploads), {}, {{"If-Match", "*"}, {"X-Upload-Content-Length", "5"}});
    ASSERT_TRUE(started);
    ASSERT_EQ(started->status, 200);
    const std::string session = local(started->get_header_value("Location"));
    ASSERT_TRUE(m_service.shareDocument(rid, QStringLiteral("demo@tavrel.test"), QStringLiteral("reader")));
    const QStringList before = account();

    auto chunk = send("PUT", session, "hello", {{"Content-Range", "bytes 0-4/5"}}, "text/plain");
    ASSERT_TRUE(chunk);
    EXPECT_EQ(chunk->status, 403) << chunk->body;
    EXPECT_EQ(account(), before) << "the content stays";
}

TEST_F(AccessRolesTest, RefusalsInsideAnAcceptedBatchAreEntryStatuses)
{
    const std::string feed =
        "<feed " + kAtom +
        " xmlns:batch='http://schemas.google.com/gdata/batch'>"
        "<entry><batch:id>1</batch:id><batch:operation type='insert'/>"
        "<gAcl:role value='reader'/><gAcl:scope type='user' value='carl@example.org'/></entry>"
        "<entry><batch:id>2</batch:id><batch:operation type='insert'/>"
        "<gAcl:role value='reader'/><gAcl:scope type='default'/></entry></feed>";
    auto r = send("POST", path(QStringLiteral("document:writer")) + "/acl/batch", feed);
    ASSERT_TRUE(r);
    ASSERT_EQ(r->status, 200);
    auto doc = parse(r->body);
    std::map<std::string, int> statuses;
    for (pugi::xml_node e = doc.child("feed").child("entry"); e; e = e.next_sibling("entry"))
        statuses[e.child_value("batch:id")] = e.child("batch:status").attribute("code").as_int();
    EXPECT_EQ(statuses["1"], 201) << "a writer who may invite shares with a person";
    EXPECT_EQ(statuses["2"], 403) << "but only the owner opens the document to everyone";

    const std::string deletions = "<feed " + kAtom +
                                  " xmlns:batch='http://schemas.google.com/gdata/batch'>"
                                  "<entry><id>http://x/feeds/id/document%3Amine</id><batch:id>a</"
                                  "batch:id><batch:operation type='delete'/></entry>"
                                  "<entry><id>http://x/feeds/id/document%3Awriter</id><batch:id>b</"
                                  "batch:id><batch:operation type='delete'/></entry>"
                                  "</feed>";
    r = send("POST", "/feeds/default/private/full/batch?delete=true", deletions);
    ASSERT_TRUE(r);
    ASSERT_EQ(r->status, 200);
    doc = parse(r->body);
    statuses.clear();
    for (pugi::xml_node e = doc.child("feed").child("entry"); e; e = e.next_sibling("entry"))
        statuses[e.child_value("batch:id")] = e.child("batch:status").attribute("code").as_int();
    EXPECT_EQ(statuses["a"], 200);
    EXPECT_EQ(statuses["b"], 403);
    EXPECT_TRUE(m_service.documentTitle(QStringLiteral("document:mine")).isEmpty());
    EXPECT_EQ(m_service.documentTitle(QStringLiteral("document:writer")), QStringLiteral("Shared"));
}

TEST_F(AccessRolesTest, HandingOverMakesTheOwnerBeforeAWriter)
{
    auto r = send("PUT", path(QStringLiteral("document:mine")) + "/acl/user%3Aann%40example.org",
                  rule("user", "ann@example.org", "owner"), {{"If-Match", "*"}});
    ASSERT_TRUE(r);
    ASSERT_EQ(r->status, 200);
    // The former owner now only writes: general access is no longer theirs to change.
    r = send("POST", path(QStringLiteral("document:mine")) + "/acl", rule("domain", "tavrel.test", "reader"));
    ASSERT_TRUE(r);
    EXPECT_EQ(r->status, 403);
    r = send("PUT", path(QStringLiteral("document:mine")), documentEntry("<title>Still editable</title>"),
             {{"If-Match", "*"}});
    ASSERT_TRUE(r);
    EXPECT_EQ(r->status, 200);
}

} // namespace
} // namespace tavrel::test
