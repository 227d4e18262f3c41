#include "LocalServiceImpl.h"

namespace tavrel::localservice {

namespace {
// Below a projection, and below a user's contact list, a path is read segment by segment: "//" and a
// trailing "/" do not count. kEnd closes a path at its last segment; kMore lets further segments follow,
// unread.
const QString kEnd = QStringLiteral("/*$");
const QString kMore = QStringLiteral("(?:/.*)?$");
const QString kDocs = QStringLiteral("^/feeds/default/private/(?<projection>full|expandAcl)");
const QString kDoc = kDocs + QStringLiteral("/+(?<rid>[^/]+)");
const QString kFolder = kDocs + QStringLiteral("/+(?<folder>[^/]+)/+contents");
const QString kAcl = kDoc + QStringLiteral("/+acl");
const QString kContacts = QStringLiteral("^/m8/feeds/contacts/(?<user>[^/]+)/full");

bool expands(const Request& r)
{
    return r.arg("projection") == QLatin1String("expandAcl") || r.flag("expand-acl");
}

Response notAllowed(const Request&)
{
    return Response::text(405, "Method not allowed");
}
} // namespace

// The service's endpoints, tried in this order (see RouteTable). A later row never sees a request an
// earlier one took: "*" rows after a path's own methods answer the rest of them.
void LocalService::Impl::addRoutes()
{
    using Handler = RouteTable::Handler;
    RouteTable& t = routes;

    // Everything below a collection's content is 404 while the folder does not exist.
    auto inFolder = [this](Handler handler) -> Handler {
        return [this, handler](const Request& r) {
            const LocalServiceState::Doc* f = state.doc(r.arg("folder"));
            if (!f || f->kind != QLatin1String("folder"))
                return Response::text(404, "Not Found");
            return handler(r);
        };
    };
    // The contact list of anyone but the account's user is out of reach.
    auto ownContacts = [this](Handler handler) -> Handler {
        return [this, handler](const Request& r) {
            const QString user = r.arg("user");
            if (user != QLatin1String("default") && user.compare(state.ownerEmail, Qt::CaseInsensitive) != 0)
                return Response::text(403, "Forbidden");
            return handler(r);
        };
    };

    // Without a token.
    t.add(
        "GET", QStringLiteral("^/$"),
        [this](const Request&) {
            return Response::text(
                200, "Tavrel local service: a stand-in for the cloud document and contacts service.\n"
                     "Documents feed: " +
                         state.base.toUtf8() +
                         "/feeds/default/private/full (Bearer token required)\n"
                         "Account: " +
                         state.ownerEmail.toUtf8() + "\n");
        },
        RouteTable::Public);
    t.add(
        "GET", QStringLiteral("^/o/oauth2/auth$"), [this](const Request& r) { return oauth.authorize(r); },
        RouteTable::Public);
    t.add(
        "POST", QStringLiteral("^/o/oauth2/token$"), [this](const Request& r) { return oauth.token(r); },
        RouteTable::Public);

    t.add("*", QStringLiteral("^/oauth2/v[123]/userinfo$"),
          [this](const Request& r) { return oauth.userInfo(r); });
    t.add("GET", QStringLiteral("^/feeds/default/private/changes$"),
          [this](const Request& r) { return feeds.changes(r); });
    t.add("GET", QStringLiteral("^/feeds/metadata/default$"),
          [this](const Request&) { return feeds.metadata(); });

    // Transfers. A session's own URL is its creation URL with an upload_id.
    t.add("*",
          QStringLiteral(
              "^/feeds/upload/create-session/default/private/(?<projection>[^/]*)(?:/(?<rest>.*))?$"),
          [this](const Request& r) {
              if (r.query.contains(QStringLiteral("upload_id")))
                  return transfers.putChunk(r, r.param("upload_id"));
              return transfers.startUpload(r, r.arg("rest"), r.arg("projection"));
          });
    t.add("*", QStringLiteral("^/feeds/download/"),
          [this](const Request& r) { return transfers.download(r); });
    t.add("*", QStringLiteral("^/feeds/default/media/"),
          [this](const Request& r) { return transfers.download(r); });
    t.add("*", QStringLiteral("^/feeds/vt$"), [this](const Request&) { return transfers.thumbnail(); });

    // The document list, by category, and batches.
    t.add("GET", kDocs + kEnd,
          [this](const Request& r) { return feeds.list(r, r.arg("projection"), {}, {}); });
    t.add("POST", kDocs + kEnd, [this](const Request& r) { return documents.create(r, {}, expands(r)); });
    t.add("*", kDocs + kEnd, notAllowed);
    t.add("GET", kDocs + QStringLiteral("/+-(?<categories>/.*)?$"), [this](const Request& r) {
        return feeds.list(r, r.arg("projection"),
                          r.arg("categories").split(QLatin1Char('/'), Qt::SkipEmptyParts), {});
    });
    t.add("*", kDocs + QStringLiteral("/+-") + kMore, notAllowed);
    t.add("POST", kDocs + QStringLiteral("/+batch") + kEnd,
          [this](const Request& r) { return documents.batch(r, expands(r)); });
    t.add("*", kDocs + QStringLiteral("/+batch") + kEnd, notAllowed);

    // One document.
    t.add("GET", kDoc + kEnd,
          [this](const Request& r) { return documents.get(r, r.arg("rid"), expands(r)); });
    t.add("PUT", kDoc + kEnd,
          [this](const Request& r) { return documents.put(r, r.arg("rid"), expands(r)); });
    t.add("DELETE", kDoc + kEnd, [this](const Request& r) { return documents.remove(r, r.arg("rid")); });
    t.add("*", kDoc + kEnd, notAllowed);

    // A collection's content.
    t.add("GET", kFolder + kEnd, inFolder([this](const Request& r) {
              return feeds.list(r, r.arg("projection"), {}, r.arg("folder"));
          }));
    t.add("POST", kFolder + kEnd,
          inFolder([this](const Request& r) { return documents.create(r, r.arg("folder"), expands(r)); }));
    t.add("*", kFolder + kEnd, inFolder(notAllowed));
    const QString child = kFolder + QStringLiteral("/+(?<child>[^/]+)") + kMore;
    t.add("DELETE", child, inFolder([this](const Request& r) {
              return documents.removeFromFolder(r, r.arg("folder"), r.arg("child"));
          }));
    t.add("GET", child,
          inFolder([this](const Request& r) { return documents.get(r, r.arg("child"), expands(r)); }));
    t.add("PUT", child,
          inFolder([this](const Request& r) { return documents.put(r, r.arg("child"), expands(r)); }));
    t.add("*", child, inFolder(notAllowed));

    // A document's access list.
    t.add("GET", kAcl + kEnd, [this](const Request& r) { return accessLists.feed(r.arg("rid")); });
    t.add("POST", kAcl + kEnd, [this](const Request& r) { return accessLists.create(r, r.arg("rid")); });
    t.add("*", kAcl + kEnd, notAllowed);
    t.add("POST", kAcl + QStringLiteral("/+batch") + kMore,
          [this](const Request& r) { return accessLists.batch(r, r.arg("rid")); });
    const QString rule = kAcl + QStringLiteral("/+(?<rule>[^/]+)") + kMore;
    t.add("GET", rule,
          [this](const Request& r) { return accessLists.getRule(r, r.arg("rid"), r.arg("rule")); });
    t.add("PUT", rule,
          [this](const Request& r) { return accessLists.putRule(r, r.arg("rid"), r.arg("rule")); });
    t.add("DELETE", rule,
          [this](const Request& r) { return accessLists.deleteRule(r, r.arg("rid"), r.arg("rule")); });
    t.add("*", rule,
          [this](const Request& r) { return accessLists.ruleOtherMethod(r, r.arg("rid"), r.arg("rule")); });

    t.add("GET", kDoc + QStringLiteral("/+revisions/+(?<revision>[^/]+)") + kEnd,
          [this](const Request& r) { return feeds.revision(r.arg("rid"), r.arg("revision")); });
    t.add("GET", kDoc + QStringLiteral("/+revisions") + kMore,
          [this](const Request& r) { return feeds.revisions(r.arg("rid")); });

    // Contacts and their photos.
    t.add("GET", kContacts + kEnd, ownContacts([this](const Request& r) { return contacts.feed(r); }));
    t.add("POST", kContacts + kEnd, ownContacts([this](const Request& r) { return contacts.create(r); }));
    t.add("*", kContacts + kEnd, ownContacts(notAllowed));
    t.add("POST", kContacts + QStringLiteral("/+batch") + kMore,
          ownContacts([this](const Request& r) { return contacts.batch(r); }));
    const QString contact = kContacts + QStringLiteral("/+(?<id>[^/]+)") + kMore;
    t.add("GET", contact, ownContacts([this](const Request& r) { return contacts.get(r, r.arg("id")); }));
    t.add("PUT", contact, ownContacts([this](const Request& r) { return contacts.put(r, r.arg("id")); }));
    t.add("DELETE", contact,
          ownContacts([this](const Request& r) { return contacts.remove(r, r.arg("id")); }));
    t.add("*", contact, ownContacts(notAllowed));
    const QString photo = QStringLiteral("^/m8/feeds/photos/media/(?<user>[^/]+)/(?<id>[^/]+)$");
    t.add("GET", photo, [this](const Request& r) { return contacts.getPhoto(r.arg("id")); });
    t.add("PUT", photo, [this](const Request& r) { return contacts.putPhoto(r, r.arg("id")); });
    t.add("DELETE", photo, [this](const Request& r) { return contacts.deletePhoto(r, r.arg("id")); });
    t.add("*", photo, [this](const Request& r) { return contacts.photoOtherMethod(r, r.arg("id")); });
}

} // namespace tavrel::localservice
