#include "RawBaseline.h"

#include <QElapsedTimer>
#include <cstdio>
#include <cstring>
#include <httplib.h>
#include <pugixml.hpp>
#include <sqlite3.h>
#include <sstream>
#include <string>
#include <unordered_map>

namespace tavrel::bench {

namespace {

const char* kSchema = R"(
PRAGMA journal_mode = WAL;
PRAGMA synchronous = NORMAL;
CREATE TABLE entry (id INTEGER PRIMARY KEY, kind_entity INTEGER, identifier TEXT UNIQUE, resource_id TEXT,
  etag TEXT, title TEXT, kind TEXT, filename TEXT, edited TEXT, updated TEXT, published TEXT, last_viewed TEXT,
  alternate TEXT, hidden INTEGER, trashed INTEGER, starred INTEGER, viewed INTEGER, writers_can_invite INTEGER,
  owner INTEGER, modifier INTEGER, general_role TEXT, general_scope TEXT, xml TEXT);
CREATE INDEX entry_owner ON entry(owner);
CREATE INDEX entry_modifier ON entry(modifier);
CREATE TABLE mail (id INTEGER PRIMARY KEY, address TEXT UNIQUE COLLATE NOCASE, visible INTEGER, contact INTEGER);
CREATE INDEX mail_contact ON mail(contact);
CREATE TABLE permission (entry INTEGER, mail INTEGER, role INTEGER, PRIMARY KEY (entry, mail, role));
CREATE INDEX permission_mail ON permission(mail);
CREATE TABLE parent (entry INTEGER, collection TEXT, PRIMARY KEY (entry, collection));
CREATE TABLE contact (id INTEGER PRIMARY KEY, identifier TEXT UNIQUE, etag TEXT, full_name TEXT,
  given_name TEXT, family_name TEXT, avatar_etag TEXT, xml TEXT);
)";

struct Db
{
    sqlite3* db = nullptr;
    sqlite3_stmt* entry = nullptr;
    sqlite3_stmt* mailFind = nullptr;
    sqlite3_stmt* mailInsert = nullptr;
    sqlite3_stmt* permission = nullptr;
    sqlite3_stmt* parent = nullptr;
    sqlite3_stmt* contact = nullptr;
    sqlite3_stmt* mailContact = nullptr;
    std::unordered_map<std::string, sqlite3_int64> mails;

    ~Db()
    {
        for (sqlite3_stmt* s : {entry, mailFind, mailInsert, permission, parent, contact, mailContact})
            sqlite3_finalize(s);
        sqlite3_close(db);
    }
    void prepare(const char* sql, sqlite3_stmt** out) { sqlite3_prepare_v2(db, sql, -1, out, nullptr); }

    sqlite3_int64 mail(const char* address)
    {
        std::string key(address);
        for (char& c : key)
            c = char(std::tolower(static_cast<unsigned char>(c)));
        if (auto it = mails.find(key); it != mails.end())
            return it->second;
        sqlite3_bind_text(mailInsert, 1, address, -1, SQLITE_TRANSIENT);
        sqlite3_step(mailInsert);
        sqlite3_reset(mailInsert);
        const sqlite3_int64 id = sqlite3_last_insert_rowid(db);
        mails.emplace(std::move(key), id);
        return id;
    }
};

void bindText(sqlite3_stmt* s, int i, const char* text)
{
    if (text && *text)
        sqlite3_bind_text(s, i, text, -1, SQLITE_TRANSIENT);
    else
        sqlite3_bind_null(s, i);
}

struct StringWriter : pugi::xml_writer
{
    std::string out;
    void write(const void* data, size_t size) override { out.append(static_cast<const char*>(data), size); }
};

bool hasLabel(const pugi::xml_node& entry, const char* label)
{
    for (pugi::xml_node c = entry.child("category"); c; c = c.next_sibling("category"))
        if (std::strcmp(c.attribute("label").value(), label) == 0 &&
            std::strstr(c.attribute("scheme").value(), "labels"))
            return true;
    return false;
}

// One document or collection entry: its attributes, the stored text, its access list and parents.
void storeDocument(Db& db, const pugi::xml_node& e)
{
    const char* rid = e.child_value("gd:resourceId");
    const char* colon = std::strchr(rid, ':');
    const std::string identifier = colon ? colon + 1 : rid;
    const char* kind = "";
    for (pugi::xml_node c = e.child("category"); c; c = c.next_sibling("category"))
        if (std::strstr(c.attribute("scheme").value(), "#kind"))
            kind = c.attribute("label").value();
    const char* alternate = "";
    for (pugi::xml_node l = e.child("link"); l; l = l.next_sibling("link"))
        if (std::strcmp(l.attribute("rel").value(), "alternate") == 0)
            alternate = l.attribute("href").value();

    // The access list: the general permission, the owner and the people with their roles.
    const char* generalRole = "";
    const char* generalScope = "";
    sqlite3_int64 owner = 0;
    std::vector<std::pair<sqlite3_int64, int>> people;
    for (pugi::xml_node link = e.child("gd:feedLink"); link; link = link.next_sibling("gd:feedLink")) {
        pugi::xml_node feed = link.child("feed");
        for (pugi::xml_node a = feed.child("entry"); a; a = a.next_sibling("entry")) {
            pugi::xml_node scope = a.child("gAcl:scope");
            const char* type = scope.attribute("type").value();
            const char* role = a.child("gAcl:role").attribute("value").value();
            if (!std::strcmp(type, "default") || !std::strcmp(type, "domain")) {
                generalRole = role;
                generalScope = type;
            } else if (!std::strcmp(type, "user")) {
                const sqlite3_int64 m = db.mail(scope.attribute("value").value());
                if (!std::strcmp(role, "owner"))
                    owner = m;
                else if (!std::strcmp(role, "writer"))
                    people.emplace_back(m, 1);
                else if (!std::strcmp(role, "reader"))
                    people.emplace_back(m, a.child("gAcl:additionalRole") ? 3 : 2);
            }
        }
    }
    const char* modifierEmail = e.child("gd:lastModifiedBy").child_value("email");
    const sqlite3_int64 modifier = *modifierEmail ? db.mail(modifierEmail) : 0;

    StringWriter xml;
    e.print(xml, "", pugi::format_raw);

    sqlite3_stmt* s = db.entry;
    sqlite3_bind_int(s, 1, std::strcmp(kind, "folder") == 0 ? 1 : 0);
    bindText(s, 2, identifier.c_str());
    bindText(s, 3, rid);
    bindText(s, 4, e.attribute("gd:etag").value());
    bindText(s, 5, e.child_value("title"));
    bindText(s, 6, kind);
    bindText(s, 7, e.child_value("docs:filename"));
    bindText(s, 8, e.child_value("app:edited"));
    bindText(s, 9, e.child_value("updated"));
    bindText(s, 10, e.child_value("published"));
    bindText(s, 11, e.child_value("gd:lastViewed"));
    bindText(s, 12, alternate);
    sqlite3_bind_int(s, 13, hasLabel(e, "hidden"));
    sqlite3_bind_int(s, 14, e.child("gd:deleted") ? 1 : 0);
    sqlite3_bind_int(s, 15, hasLabel(e, "starred"));
    sqlite3_bind_int(s, 16, hasLabel(e, "viewed"));
    sqlite3_bind_int(s, 17,
                     std::strcmp(e.child("docs:writersCanInvite").attribute("value").value(), "true") == 0);
    sqlite3_bind_int64(s, 18, owner);
    sqlite3_bind_int64(s, 19, modifier);
    bindText(s, 20, generalRole);
    bindText(s, 21, generalScope);
    sqlite3_bind_text(s, 22, xml.out.data(), int(xml.out.size()), SQLITE_TRANSIENT);
    sqlite3_step(s);
    sqlite3_reset(s);
    const sqlite3_int64 row = sqlite3_last_insert_rowid(db.db);
    for (const auto& [m, role] : people) {
        sqlite3_bind_int64(db.permission, 1, row);
        sqlite3_bind_int64(db.permission, 2, m);
        sqlite3_bind_int(db.permission, 3, role);
        sqlite3_step(db.permission);
        sqlite3_reset(db.permission);
    }
    for (pugi::xml_node l = e.child("link"); l; l = l.next_sibling("link")) {
        const char* rel = l.attribute("rel").value();
        if (std::strstr(rel, "#parent")) {
            sqlite3_bind_int64(db.parent, 1, row);
            bindText(db.parent, 2, l.attribute("href").value());
            sqlite3_step(db.parent);
            sqlite3_reset(db.parent);
        }
    }
}

void storeContact(Db& db, const pugi::xml_node& e)
{
    const char* id = e.child_value("id");
    const char* slash = std::strrchr(id, '/');
    pugi::xml_node name = e.child("gd:name");
    StringWriter xml;
    e.print(xml, "", pugi::format_raw);
    const char* avatar = "";
    for (pugi::xml_node l = e.child("link"); l; l = l.next_sibling("link"))
        if (std::strstr(l.attribute("rel").value(), "#photo"))
            avatar = l.attribute("gd:etag").value();
    sqlite3_stmt* s = db.contact;
    bindText(s, 1, slash ? slash + 1 : id);
    bindText(s, 2, e.attribute("gd:etag").value());
    bindText(s, 3, name.child_value("gd:fullName"));
    bindText(s, 4, name.child_value("gd:givenName"));
    bindText(s, 5, name.child_value("gd:familyName"));
    bindText(s, 6, avatar);
    sqlite3_bind_text(s, 7, xml.out.data(), int(xml.out.size()), SQLITE_TRANSIENT);
    sqlite3_step(s);
    sqlite3_reset(s);
    const sqlite3_int64 row = sqlite3_last_insert_rowid(db.db);
    for (pugi::xml_node m = e.child("gd:email"); m; m = m.next_sibling("gd:email")) {
        const sqlite3_int64 mail = db.mail(m.attribute("address").value());
        sqlite3_bind_int64(db.mailContact, 1, row);
        sqlite3_bind_int64(db.mailContact, 2, mail);
        sqlite3_step(db.mailContact);
        sqlite3_reset(db.mailContact);
    }
}

} // namespace

RawBaseline::Result RawBaseline::run(quint16 port, const QString& token, const QStringList& firstPages,
                                     const QString& databasePath)
{
    Result result;
    QElapsedTimer total;
    total.start();
    Db db;
    if (sqlite3_open(databasePath.toUtf8().constData(), &db.db) != SQLITE_OK)
        return result;
    if (sqlite3_exec(db.db, kSchema, nullptr, nullptr, nullptr) != SQLITE_OK) {
        std::fprintf(stderr, "baseline schema: %s\n", sqlite3_errmsg(db.db));
        return result;
    }
    db.prepare(
        "INSERT INTO entry (kind_entity, identifier, resource_id, etag, title, kind, filename, edited, "
        "updated, published, last_viewed, alternate, hidden, trashed, starred, viewed, writers_can_invite, "
        "owner, modifier, general_role, general_scope, xml) VALUES "
        "(?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)",
        &db.entry);
    db.prepare("INSERT INTO mail (address, visible) VALUES (?, 1)", &db.mailInsert);
    db.prepare("INSERT OR IGNORE INTO permission (entry, mail, role) VALUES (?,?,?)", &db.permission);
    db.prepare("INSERT OR IGNORE INTO parent (entry, collection) VALUES (?,?)", &db.parent);
    db.prepare("INSERT INTO contact (identifier, etag, full_name, given_name, family_name, avatar_etag, xml) "
               "VALUES (?,?,?,?,?,?,?)",
               &db.contact);
    db.prepare("UPDATE mail SET contact = ? WHERE id = ?", &db.mailContact);

    httplib::Client client("127.0.0.1", port);
    client.set_keep_alive(true);
    client.set_tcp_nodelay(true);
    const httplib::Headers headers{{"Authorization", "Bearer " + token.toStdString()},
                                   {"GData-Version", "3"}};
    const std::string base = "http://127.0.0.1:" + std::to_string(port);
    QStringList targets = firstPages;
    QElapsedTimer t;
    while (!targets.isEmpty()) {
        const QString target = targets.takeFirst();
        t.start();
        auto r = client.Get(target.toStdString(), headers);
        result.fetchSeconds += t.nsecsElapsed() / 1e9;
        if (!r || r->status != 200) {
            std::fprintf(stderr, "baseline: %s failed\n", qPrintable(target));
            return result;
        }
        ++result.pages;
        result.bytes += static_cast<long long>(r->body.size());
        t.start();
        pugi::xml_document doc;
        if (!doc.load_buffer(r->body.data(), r->body.size())) {
            std::fprintf(stderr, "baseline: %s is not XML\n", qPrintable(target));
            return result;
        }
        pugi::xml_node feed = doc.child("feed");
        for (pugi::xml_node l = feed.child("link"); l; l = l.next_sibling("link")) {
            const std::string href = l.attribute("href").value();
            if (std::strcmp(l.attribute("rel").value(), "next") == 0 &&
                href.compare(0, base.size(), base) == 0)
                targets.prepend(QString::fromStdString(href.substr(base.size())));
        }
        result.parseSeconds += t.nsecsElapsed() / 1e9;
        t.start();
        const bool contacts = target.startsWith(QLatin1String("/m8/"));
        sqlite3_exec(db.db, "BEGIN", nullptr, nullptr, nullptr);
        for (pugi::xml_node e = feed.child("entry"); e; e = e.next_sibling("entry")) {
            if (contacts) {
                storeContact(db, e);
                ++result.contacts;
            } else {
                storeDocument(db, e);
                ++result.documents;
            }
        }
        if (sqlite3_exec(db.db, "COMMIT", nullptr, nullptr, nullptr) != SQLITE_OK) {
            std::fprintf(stderr, "baseline commit: %s\n", sqlite3_errmsg(db.db));
            return result;
        }
        result.insertSeconds += t.nsecsElapsed() / 1e9;
    }
    result.seconds = total.nsecsElapsed() / 1e9;
    result.ok = true;
    return result;
}

} // namespace tavrel::bench
