#include "LocalServiceFixture.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <map>

namespace tavrel::test {
namespace {

class ContactsAndSeedTest : public LocalServiceFixture
{
protected:
    static std::string contactXml(const std::string& name, const std::string& etag = {},
                                  const std::string& extra = {})
    {
        return "<entry xmlns='http://www.w3.org/2005/Atom' xmlns:gd='http://schemas.google.com/g/2005'"
               " xmlns:gContact='http://schemas.google.com/contact/2008'" +
               (etag.empty()
                    ? std::string()
                    : " gd:etag='" + QString::fromStdString(etag).toHtmlEscaped().toStdString() + "'") +
               "><category scheme='http://schemas.google.com/g/2005#kind' "
               "term='http://schemas.google.com/contact/2008#contact'/>"
               "<title>" +
               name + "</title><gd:name><gd:fullName>" + name +
               "</gd:fullName></gd:name>"
               "<gd:email rel='http://schemas.google.com/g/2005#work' address='jo@example.org' "
               "primary='true'/>" +
               extra + "</entry>";
    }
};

TEST_F(ContactsAndSeedTest, ContactsInsertUpdateDeleteAndPhotos)
{
    auto created = send("POST", "/m8/feeds/contacts/default/full",
                        contactXml("Jo Smith", {}, "<gContact:nickname>JJ</gContact:nickname>"));
    ASSERT_EQ(created->status, 201) << created->body;
    auto doc = parse(created->body);
    pugi::xml_node entry = doc.child("entry");
    EXPECT_STREQ(entry.child("gd:name").child_value("gd:givenName"), "Jo");
    EXPECT_STREQ(entry.child("gd:name").child_value("gd:familyName"), "Smith");
    EXPECT_STREQ(entry.child("gd:email").attribute("primary").value(), "true");
    EXPECT_STREQ(entry.child_value("gContact:nickname"), "JJ") << "unknown elements are kept";
    const std::string edit = local(linkHref(entry, "edit"));
    const std::string photo = local(linkHref(entry, "http://schemas.google.com/contacts/2008/rel#photo"));
    const std::string etag = created->get_header_value("ETag");

    EXPECT_EQ(m_client->Get(photo, auth())->status, 404) << "no photo yet";
    auto put = send("PUT", photo, "PNGDATA", {{"If-Match", "*"}}, "image/png");
    ASSERT_EQ(put->status, 200);
    auto photoEntry = parse(put->body);
    const std::string photoTag = photoEntry.child("entry").attribute("gd:etag").value();
    auto withPhoto = parse(get(edit)->body);
    pugi::xml_node link;
    for (pugi::xml_node l : withPhoto.child("entry").children("link")) {
        if (std::string(l.attribute("rel").value()).find("#photo") != std::string::npos)
            link = l;
    }
    EXPECT_EQ(std::string(link.attribute("gd:etag").value()), photoTag);
    auto image = get(photo);
    EXPECT_EQ(image->body, "PNGDATA");
    EXPECT_EQ(send("DELETE", photo, {}, {{"If-Match", "\"old\""}})->status, 412);
    EXPECT_EQ(send("DELETE", photo, {}, {{"If-Match", photoTag}})->status, 200);

    const std::string current = get(edit)->get_header_value("ETag");
    EXPECT_NE(current, etag) << "a photo change is a change of the contact";
    EXPECT_EQ(send("PUT", edit, contactXml("Jo Wilson"), {{"If-Match", etag}})->status, 412);
    auto updated = send("PUT", edit, contactXml("Jo Wilson"), {{"If-Match", current}});
    ASSERT_EQ(updated->status, 200);
    EXPECT_EQ(parse(updated->body).child("entry").child("gd:name").child_value("gd:familyName"),
              std::string("Wilson"));
    EXPECT_EQ(send("DELETE", edit, {}, {{"If-Match", "*"}})->status, 200);
    EXPECT_EQ(get(edit)->status, 404);
    auto withDeleted = parse(get("/m8/feeds/contacts/default/full?showdeleted=true&max-results=100")->body);
    int tombstones = 0;
    for (pugi::xml_node e : withDeleted.child("feed").children("entry"))
        tombstones += e.child("gd:deleted") ? 1 : 0;
    EXPECT_EQ(tombstones, 1);
}

TEST_F(ContactsAndSeedTest, ContactBatchAndPaging)
{
    generate(0, 0, 60);
    std::string path = "/m8/feeds/contacts/default/full?max-results=25";
    std::vector<std::string> ids;
    int pages = 0;
    while (!path.empty()) {
        auto doc = parse(get(path)->body);
        for (pugi::xml_node e : doc.child("feed").children("entry"))
            ids.push_back(e.child_value("id"));
        path = local(linkHref(doc.child("feed"), "next"));
        ++pages;
    }
    EXPECT_EQ(pages, 3);
    ASSERT_EQ(ids.size(), 60u);
    std::string edit = ids.at(1);
    edit.replace(edit.find("/base/"), 6, "/full/");
    const std::string body =
        "<feed xmlns='http://www.w3.org/2005/Atom' xmlns:batch='http://schemas.google.com/gdata/batch'"
        " xmlns:gd='http://schemas.google.com/g/2005'>"
        "<entry><title>Fooish Bar</title><batch:id>1</batch:id><batch:operation type='insert'/>"
        "<gd:name><gd:fullName>Fooish Bar</gd:fullName></gd:name></entry>"
        "<entry><id>" +
        ids.at(0) +
        "</id><batch:id>2</batch:id><batch:operation type='query'/></entry>"
        "<entry><id>foobar</id><batch:id>3</batch:id><batch:operation type='delete'/></entry>"
        "<entry gd:etag='*'><id>" +
        edit +
        "</id><title>Toby</title><batch:id>4</batch:id><batch:operation type='update'/>"
        "<gd:name><gd:fullName>Toby</gd:fullName></gd:name></entry>"
        "<entry gd:etag='&quot;stale&quot;'><id>" +
        ids.at(2) +
        "</id><batch:id>5</batch:id><batch:operation type='delete'/></entry>"
        "</feed>";
    auto r = send("POST", "/m8/feeds/contacts/default/full/batch", body);
    ASSERT_EQ(r->status, 200);
    auto doc = parse(r->body);
    std::map<std::string, std::pair<int, std::string>> status;
    for (pugi::xml_node e : doc.child("feed").children("entry"))
        status[e.child_value("batch:id")] = {e.child("batch:status").attribute("code").as_int(),
                                             e.child("batch:status").attribute("reason").value()};
    EXPECT_EQ(status["1"].first, 201);
    EXPECT_EQ(status["2"].first, 200);
    EXPECT_EQ(status["3"], (std::pair<int, std::string>{400, "Invalid entry Id/Uri"}));
    EXPECT_EQ(status["4"].first, 200);
    EXPECT_EQ(status["5"].first, 412);
}

TEST_F(ContactsAndSeedTest, SeedLoadsExportsAndRefusesBadInput)
{
    const QByteArray seed = R"({
      "owner": {"email": "me@tavrel.test", "name": "Me"},
      "documents": [
        {"resourceId": "folder:0Bbox", "kind": "folder", "title": "Box"},
        {"resourceId": "document:1abc", "kind": "document", "title": "Letter", "parents": ["folder:0Bbox"],
         "labels": ["starred"], "content": "Dear all",
         "acl": [{"scope": "user", "value": "ann@example.org", "role": "reader", "additionalRoles": ["commenter"]},
                 {"scope": "default", "role": "reader", "key": "k1"}]},
        {"kind": "pdf", "title": "Scan.pdf", "owner": "bob@example.org"}
      ],
      "contacts": [{"id": "00aa11bb22cc33dd", "name": "Ann Lee",
                    "emails": [{"address": "ann@example.org", "rel": "work", "primary": true}]}]
    })";
    QString error;
    ASSERT_TRUE(m_service.loadSeed(seed, &error)) << error.toStdString();
    EXPECT_EQ(m_service.ownerEmail(), QStringLiteral("me@tavrel.test"));
    EXPECT_EQ(m_service.documentTitle(QStringLiteral("document:1abc")), QStringLiteral("Letter"));
    auto entry = parse(get("/feeds/default/private/expandAcl/document%3A1abc")->body);
    std::string xml;
    {
        auto r = get("/feeds/default/private/expandAcl/document%3A1abc");
        xml = r->body;
    }
    EXPECT_NE(xml.find("labels#starred"), std::string::npos);
    EXPECT_NE(xml.find("<gAcl:withKey key='k1'>"), std::string::npos);
    EXPECT_NE(xml.find("<gAcl:additionalRole value='commenter'/>"), std::string::npos);
    EXPECT_EQ(local(linkHref(entry.child("entry"), "http://schemas.google.com/docs/2007#parent")),
              "/feeds/default/private/full/folder%3A0Bbox");
    auto contact = get("/m8/feeds/contacts/default/full/00aa11bb22cc33dd");
    EXPECT_EQ(contact->status, 200);

    const QByteArray exported = m_service.exportSeed();
    ASSERT_TRUE(m_service.loadSeed(exported, &error)) << error.toStdString();
    EXPECT_EQ(m_service.exportSeed(), exported) << "export and load are inverse";

    const std::vector<QByteArray> bad = {
        "not json",
        R"({"documents": [{"kind": "scroll", "title": "x"}]})",
        R"({"documents": [{"kind": "document", "parents": ["folder:none"]}]})",
        R"({"documents": [{"resourceId": "document:1", "kind": "folder"}]})",
    };
    for (const QByteArray& b : bad) {
        error.clear();
        EXPECT_FALSE(m_service.loadSeed(b, &error)) << b.toStdString();
        EXPECT_FALSE(error.isEmpty());
        EXPECT_EQ(m_service.exportSeed(), exported) << "a bad seed changes nothing";
    }
}

TEST_F(ContactsAndSeedTest, GeneratedAccountIsDeterministicAndVaried)
{
    localservice::GenerateOptions options;
    options.documents = 400;
    options.collections = 20;
    options.contacts = 50;
    m_service.generate(options);
    const QByteArray first = m_service.exportSeed();
    m_service.generate(options);
    EXPECT_EQ(m_service.exportSeed(), first);
    options.seed = 2;
    m_service.generate(options);
    EXPECT_NE(m_service.exportSeed(), first);

    const QJsonObject root = QJsonDocument::fromJson(first).object();
    const QJsonArray docs = root.value(QStringLiteral("documents")).toArray();
    EXPECT_EQ(docs.size(), 420);
    EXPECT_EQ(root.value(QStringLiteral("contacts")).toArray().size(), 50);
    QSet<QString> kinds, scopes, extras;
    int foreign = 0, nested = 0;
    for (const QJsonValue& v : docs) {
        const QJsonObject o = v.toObject();
        kinds.insert(o.value(QStringLiteral("kind")).toString());
        foreign += o.value(QStringLiteral("owner")).toString() != QStringLiteral("demo@tavrel.test") ? 1 : 0;
        nested += !o.value(QStringLiteral("parents")).toArray().isEmpty() ? 1 : 0;
        for (const QJsonValue& a : o.value(QStringLiteral("acl")).toArray()) {
            const QJsonObject ao = a.toObject();
            scopes.insert(ao.value(QStringLiteral("scope")).toString() + QLatin1Char('/') +
                          ao.value(QStringLiteral("role")).toString());
            if (ao.contains(QStringLiteral("key")))
                extras.insert(QStringLiteral("key"));
            if (ao.contains(QStringLiteral("additionalRoles")))
                extras.insert(QStringLiteral("commenter"));
        }
    }
    EXPECT_EQ(kinds.size(), 8);
    EXPECT_GT(foreign, 0);
    EXPECT_GT(nested, 0);
    for (const char* s :
         {"user/owner", "user/writer", "user/reader", "group/reader", "domain/reader", "default/reader"})
        EXPECT_TRUE(scopes.contains(QString::fromLatin1(s))) << s;
    EXPECT_EQ(extras.size(), 2);
}

TEST_F(ContactsAndSeedTest, LargeAccountGeneratesAndServesFullPages)
{
    localservice::GenerateOptions options;
    options.documents = 20000;
    options.collections = 200;
    options.contacts = 2000;
    m_service.generate(options);
    EXPECT_EQ(m_service.documentIds().size(), 20200);
    auto r = get("/feeds/default/private/"
                 "expandAcl?max-results=500&showfolders=true&showdeleted=true&start-index=19801");
    ASSERT_EQ(r->status, 200);
    auto doc = parse(r->body);
    EXPECT_EQ(count(doc.child("feed"), "entry"), 400);
    EXPECT_TRUE(linkHref(doc.child("feed"), "next").empty());
}

} // namespace
} // namespace tavrel::test
