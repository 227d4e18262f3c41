#include "LocalService.h"

#include "AtomText.h"
#include "LocalServiceSeed.h"
#include "LocalServiceState.h"

#include <QCryptographicHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QUrl>
#include <QUrlQuery>
#include <arpa/inet.h>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <dirent.h>
#include <httplib.h>
#include <mutex>
#include <netinet/in.h>
#include <pugixml.hpp>
#include <sys/socket.h>
#include <thread>

namespace tavrel::localservice {

namespace {
using A = AtomText;
using State = LocalServiceState;

const QByteArray kAtomFeed = "application/atom+xml; charset=UTF-8; type=feed";
const QByteArray kAtomEntry = "application/atom+xml; charset=UTF-8; type=entry";
const QByteArray kText = "text/plain; charset=UTF-8";
const QByteArray kJson = "application/json; charset=utf-8";
const char kXmlHeader[] = "<?xml version='1.0' encoding='UTF-8'?>";
const int kMaxPage = 500;
const int kDefaultPage = 100;

struct Request
{
    QString method;
    QString path;
    QString rawTarget;
    QMap<QString, QString> query;
    QMap<QString, QString> headers;
    QByteArray body;
    bool truncated = false; // the connection is being dropped while the body was read

    QString header(const char* name) const { return headers.value(QString::fromLatin1(name)); }
    QString param(const char* name) const { return query.value(QString::fromLatin1(name)); }
    bool flag(const char* name) const
    {
        return param(name).compare(QLatin1String("true"), Qt::CaseInsensitive) == 0;
    }
};

struct Response
{
    int status = 200;
    QByteArray contentType = kText;
    QByteArray body;
    QList<QPair<QByteArray, QByteArray>> headers;
    bool drop = false; // close the connection (after `dropAfter` bytes of the body)
    qint64 dropAfter = 0;

    void header(const QByteArray& name, const QByteArray& value) { headers.append({name, value}); }
};

Response text(int status, const QByteArray& body)
{
    Response r;
    r.status = status;
    r.body = body;
    return r;
}

Response xml(int status, const QByteArray& contentType, const QByteArray& body)
{
    Response r;
    r.status = status;
    r.contentType = contentType;
    r.body = body;
    return r;
}

Response json(int status, const QJsonObject& object)
{
    Response r;
    r.status = status;
    r.contentType = kJson;
    r.body = QJsonDocument(object).toJson(QJsonDocument::Compact);
    r.header("Cache-Control", "no-cache, no-store, max-age=0, must-revalidate");
    return r;
}

QString reasonFor(int code)
{
    switch (code) {
    case 200:
        return QStringLiteral("Success");
    case 201:
        return QStringLiteral("Created");
    case 400:
        return QStringLiteral("Bad Request");
    case 403:
        return QStringLiteral("Forbidden");
    case 404:
        return QStringLiteral("Not Found");
    case 409:
        return QStringLiteral("Conflict");
    case 412:
        return QStringLiteral("Precondition Failed");
    default:
        return QStringLiteral("Error");
    }
}

// "https://host/feeds/id/document%3Aabc" or ".../full/document%3Aabc" -> "document:abc"
QString lastSegment(const QString& url)
{
    QString s = url;
    const int q = s.indexOf(QLatin1Char('?'));
    if (q >= 0)
        s.truncate(q);
    while (s.endsWith(QLatin1Char('/')))
        s.chop(1);
    return QUrl::fromPercentEncoding(s.section(QLatin1Char('/'), -1).toUtf8());
}

const char kKindScheme[] = "http://schemas.google.com/g/2005#kind";
const char kLabelScheme[] = "http://schemas.google.com/g/2005/labels";
const QStringList kSettableLabels = {QStringLiteral("starred"), QStringLiteral("trashed"),
                                     QStringLiteral("viewed"), QStringLiteral("hidden")};

// What an incoming document entry says.
struct DocInput
{
    QString kind;
    QString title;
    bool hasTitle = false;
    QSet<QString> labels;
    bool hasWritersCanInvite = false;
    bool writersCanInvite = true;
    QString etag;
    QString id; // the rid named by <id> or gd:resourceId
    QList<QByteArray> extras;
};

bool isModelledDocElement(const pugi::xml_node& n)
{
    const QString ns = A::namespaceOf(n);
    const QString local = A::localName(n.name());
    if (ns == QLatin1String(A::kAtom))
        return QStringList{"id", "published", "updated", "title", "content", "link", "author", "category"}
            .contains(local);
    if (ns == QLatin1String(A::kApp) || ns == QLatin1String(A::kBatch))
        return true;
    if (ns == QLatin1String(A::kGd))
        return QStringList{"resourceId",     "lastModifiedBy", "lastViewed",
                           "quotaBytesUsed", "feedLink",       "deleted"}
            .contains(local);
    if (ns == QLatin1String(A::kDocs))
        return QStringList{"writersCanInvite", "isShareable", "isShareableByMe",     "modifiedByMeDate",
                           "md5Checksum",      "filename",    "suggestedFilename",   "size",
                           "changestamp",      "removed",     "isExplicitlyTrashed", "hasForm"}
            .contains(local);
    return false;
}

DocInput readDocEntry(const pugi::xml_node& entry)
{
    DocInput in;
    in.etag = A::attribute(entry, "etag");
    for (pugi::xml_node c = entry.first_child(); c; c = c.next_sibling()) {
        if (c.type() != pugi::node_element)
            continue;
        if (A::is(c, A::kAtom, "category")) {
            const QString scheme = QString::fromUtf8(c.attribute("scheme").value());
            const QString term = QString::fromUtf8(c.attribute("term").value());
            if (scheme == QLatin1String(kKindScheme)) {
                const QString k = State::kindFromTerm(term);
                if (!k.isEmpty())
                    in.kind = k;
            } else if (scheme == QLatin1String(kLabelScheme)) {
                QString label = QString::fromUtf8(c.attribute("label").value());
                if (label.isEmpty())
                    label = term.section(QLatin1Char('#'), -1);
                in.labels.insert(label);
            }
        } else if (A::is(c, A::kAtom, "title")) {
            in.title = QString::fromUtf8(c.text().get());
            in.hasTitle = true;
        } else if (A::is(c, A::kAtom, "id")) {
            in.id = lastSegment(QString::fromUtf8(c.text().get()).trimmed());
        } else if (A::is(c, A::kGd, "resourceId")) {
            in.id = QString::fromUtf8(c.text().get()).trimmed();
        } else if (A::is(c, A::kDocs, "writersCanInvite")) {
            in.hasWritersCanInvite = true;
            in.writersCanInvite = QString::fromUtf8(c.attribute("value").value()) == QLatin1String("true");
        } else if (!isModelledDocElement(c)) {
            in.extras.append(A::serializeStandalone(c));
        }
    }
    return in;
}

struct AclInput
{
    QString scopeType, scopeValue, role, key, etag, id;
    bool withKey = false; // a gAcl:withKey element, with or without a key
    QStringList additionalRoles;
    bool valid() const { return !scopeType.isEmpty() && !role.isEmpty(); }
};

AclInput readAclEntry(const pugi::xml_node& entry)
{
    AclInput in;
    in.etag = A::attribute(entry, "etag");
    in.id = lastSegment(A::text(entry, A::kAtom, "id").trimmed());
    auto roles = [&](const pugi::xml_node& parent) {
        for (pugi::xml_node c = parent.first_child(); c; c = c.next_sibling()) {
            if (A::is(c, A::kAcl, "role"))
                in.role = QString::fromUtf8(c.attribute("value").value());
            else if (A::is(c, A::kAcl, "additionalRole"))
                in.additionalRoles << QString::fromUtf8(c.attribute("value").value());
        }
    };
    roles(entry);
    if (pugi::xml_node k = A::child(entry, A::kAcl, "withKey")) {
        in.withKey = true;
        in.key = QString::fromUtf8(k.attribute("key").value());
        roles(k);
    }
    if (pugi::xml_node s = A::child(entry, A::kAcl, "scope")) {
        in.scopeType = QString::fromUtf8(s.attribute("type").value());
        in.scopeValue = QString::fromUtf8(s.attribute("value").value());
    }
    return in;
}

struct ContactInput
{
    QString title, fullName, givenName, familyName, notes, etag, id;
    bool hasName = false;
    QList<State::Email> emails;
    QList<QByteArray> extras;
};

ContactInput readContactEntry(const pugi::xml_node& entry)
{
    ContactInput in;
    in.etag = A::attribute(entry, "etag");
    for (pugi::xml_node c = entry.first_child(); c; c = c.next_sibling()) {
        if (c.type() != pugi::node_element)
            continue;
        const QString ns = A::namespaceOf(c);
        const QString local = A::localName(c.name());
        if (ns == QLatin1String(A::kAtom)) {
            if (local == QLatin1String("title"))
                in.title = QString::fromUtf8(c.text().get()).trimmed();
            else if (local == QLatin1String("content"))
                in.notes = QString::fromUtf8(c.text().get());
            else if (local == QLatin1String("id"))
                in.id = QString::fromUtf8(c.text().get()).trimmed();
            continue; // links, categories, times: the service's own
        }
        if (ns == QLatin1String(A::kApp) || ns == QLatin1String(A::kBatch))
            continue;
        if (ns == QLatin1String(A::kGd) && local == QLatin1String("name")) {
            in.hasName = true;
            in.fullName = A::text(c, A::kGd, "fullName").trimmed();
            in.givenName = A::text(c, A::kGd, "givenName").trimmed();
            in.familyName = A::text(c, A::kGd, "familyName").trimmed();
            continue;
        }
        if (ns == QLatin1String(A::kGd) && local == QLatin1String("email")) {
            State::Email e;
            e.address = QString::fromUtf8(c.attribute("address").value());
            e.rel = QString::fromUtf8(c.attribute("rel").value());
            e.label = QString::fromUtf8(c.attribute("label").value());
            e.primary = QString::fromUtf8(c.attribute("primary").value()) == QLatin1String("true");
            in.emails.append(e);
            continue;
        }
        if (ns == QLatin1String(A::kGd) && local == QLatin1String("deleted"))
            continue;
        in.extras.append(A::serializeStandalone(c));
    }
    return in;
}

void applyContact(State::Contact& c, const ContactInput& in)
{
    c.title = in.title;
    c.fullName = in.fullName.isEmpty() ? in.title : in.fullName;
    c.givenName = in.givenName;
    c.familyName = in.familyName;
    // The service splits a full name that comes alone, as the real one does.
    if (c.givenName.isEmpty() && c.familyName.isEmpty() && !c.fullName.isEmpty()) {
        const int space = c.fullName.indexOf(QLatin1Char(' '));
        c.givenName = space < 0 ? c.fullName : c.fullName.left(space);
        c.familyName = space < 0 ? QString() : c.fullName.mid(space + 1).trimmed();
    }
    if (c.title.isEmpty())
        c.title = c.fullName;
    c.notes = in.notes;
    c.emails = in.emails;
    c.extras = in.extras;
}

QByteArray mimeForExport(const QString& format)
{
    static const QMap<QString, QByteArray> types = {
        {QStringLiteral("odt"), "application/vnd.oasis.opendocument.text"},
        {QStringLiteral("doc"), "application/msword"},
        {QStringLiteral("docx"), "application/vnd.openxmlformats-officedocument.wordprocessingml.document"},
        {QStringLiteral("rtf"), "application/rtf"},
        {QStringLiteral("txt"), "text/plain"},
        {QStringLiteral("html"), "text/html"},
        {QStringLiteral("pdf"), "application/pdf"},
        {QStringLiteral("xls"), "application/vnd.ms-excel"},
        {QStringLiteral("xlsx"), "application/vnd.openxmlformats-officedocument.spreadsheetml.sheet"},
        {QStringLiteral("ods"), "application/x-vnd.oasis.opendocument.spreadsheet"},
        {QStringLiteral("csv"), "text/csv"},
        {QStringLiteral("tsv"), "text/tab-separated-values"},
        {QStringLiteral("ppt"), "application/vnd.ms-powerpoint"},
        {QStringLiteral("pptx"), "application/vnd.openxmlformats-officedocument.presentationml.presentation"},
        {QStringLiteral("odp"), "application/vnd.oasis.opendocument.presentation"},
        {QStringLiteral("png"), "image/png"},
        {QStringLiteral("jpeg"), "image/jpeg"},
        {QStringLiteral("svg"), "image/svg+xml"},
    };
    return types.value(format.toLower(), "application/octet-stream");
}

QString nativeKindForUpload(const QString& mime)
{
    static const QStringList documents = {
        QStringLiteral("text/plain"),
        QStringLiteral("text/html"),
        QStringLiteral("application/rtf"),
        QStringLiteral("application/msword"),
        QStringLiteral("application/vnd.oasis.opendocument.text"),
        QStringLiteral("application/vnd.openxmlformats-officedocument.wordprocessingml.document")};
    static const QStringList spreadsheets = {
        QStringLiteral("text/csv"),
        QStringLiteral("text/tab-separated-values"),
        QStringLiteral("application/vnd.ms-excel"),
        QStringLiteral("application/vnd.oasis.opendocument.spreadsheet"),
        QStringLiteral("application/x-vnd.oasis.opendocument.spreadsheet"),
        QStringLiteral("application/vnd.openxmlformats-officedocument.spreadsheetml.sheet")};
    static const QStringList presentations = {
        QStringLiteral("application/vnd.ms-powerpoint"),
        QStringLiteral("application/vnd.oasis.opendocument.presentation"),
        QStringLiteral("application/vnd.openxmlformats-officedocument.presentationml.presentation")};
    const QString m = mime.section(QLatin1Char(';'), 0, 0).trimmed().toLower();
    if (documents.contains(m))
        return QStringLiteral("document");
    if (spreadsheets.contains(m))
        return QStringLiteral("spreadsheet");
    if (presentations.contains(m))
        return QStringLiteral("presentation");
    return {};
}

// A tiny valid PNG (1x1, grey), for thumbnails and generated contact photos.
const QByteArray& tinyPng()
{
    static const QByteArray png = QByteArray::fromBase64(
        "iVBORw0KGgoAAAANSUhEUgAAAAEAAAABCAAAAAA6fptVAAAACklEQVR4nGNoAAAAggCBd81ytgAAAABJRU5ErkJggg==");
    return png;
}

struct Upload
{
    bool update = false;
    QString rid;    // update: the document
    QString parent; // create: the folder, if any
    QString title, filename, mime;
    qint64 total = -1;
    QByteArray data;
    bool convert = true;
    bool newRevision = false;
    DocInput meta;
    bool hasMeta = false;
    QString projection;
};

struct Token
{
    QString email;
    std::chrono::steady_clock::time_point expires;
    bool expired = false;
};

struct FaultSlot
{
    Fault fault;
    QRegularExpression pattern;
    int remaining = 0;
};

// The server keeps an idle keep-alive connection until its time-out; stopping closes them at once, so that
// stop() does not wait for clients: every connected socket of this process whose local port is ours.
void shutdownAcceptedSockets(quint16 port)
{
    DIR* dir = ::opendir("/proc/self/fd");
    if (!dir)
        return;
    while (dirent* entry = ::readdir(dir)) {
        bool ok = false;
        const int fd = QByteArray(entry->d_name).toInt(&ok);
        if (!ok || fd == ::dirfd(dir))
            continue;
        sockaddr_in local{};
        socklen_t length = sizeof(local);
        if (::getsockname(fd, reinterpret_cast<sockaddr*>(&local), &length) != 0 ||
            local.sin_family != AF_INET || ntohs(local.sin_port) != port)
            continue;
        sockaddr_in peer{};
        length = sizeof(peer);
        if (::getpeername(fd, reinterpret_cast<sockaddr*>(&peer), &length) == 0)
            ::shutdown(fd, SHUT_RDWR);
    }
    ::closedir(dir);
}

} // namespace

struct LocalService::Impl
{
    mutable std::mutex mutex;
    std::condition_variable wake;
    std::unique_ptr<httplib::Server> server;
    std::thread thread;
    quint16 port = 0;
    bool running = false;
    bool stopping = false;

    State state;
    QHash<QString, Upload> uploads;
    quint64 uploadCounter = 0;

    QString clientId, clientSecret;
    int tokenLifetime = 3600;
    QHash<QString, Token> accessTokens;
    QHash<QString, QString> refreshTokens;         // token -> email
    QHash<QString, QPair<QString, QString>> codes; // code -> (email, redirect uri)
    quint64 tokenCounter = 0;
    bool denyAuthorization = false;

    QList<FaultSlot> faults;
    quint64 faultGeneration = 0;
    int hanging = 0;
    QList<JournalEntry> journal;

    // --- request handling (called on server threads) ---
    void serve(const httplib::Request& req, httplib::Response& res, const httplib::ContentReader* reader);
    Response dispatch(Request& r); // with the mutex held
    bool authorised(const Request& r, QString* email = nullptr);
    Response unauthorised() const;

    QString newToken(const char* prefix);
    QString issueAccess(const QString& email);

    // documents
    Response docFeed(const Request& r, const QString& projection, const QStringList& categories,
                     const QString& folder);
    Response changesFeed(const Request& r);
    Response docGet(const Request& r, const QString& rid, bool expand);
    Response docPut(const Request& r, const QString& rid, bool expand);
    Response docDelete(const Request& r, const QString& rid);
    Response docCreate(const Request& r, const QString& folder, bool expand);
    Response contentsRemove(const Request& r, const QString& folder, const QString& rid);
    Response docBatch(const Request& r, bool expand);
    Response aclFeed(const Request& r, const QString& rid);
    Response aclPost(const Request& r, const QString& rid);
    Response aclEntryRequest(const Request& r, const QString& rid, const QString& aclId);
    Response aclBatch(const Request& r, const QString& rid);
    Response revisionsFeed(const QString& rid);
    Response uploadStart(const Request& r, const QString& rest, const QString& projection);
    Response uploadChunk(const Request& r, const QString& uploadId);
    Response download(const Request& r);
    Response contactsFeed(const Request& r);
    Response contactGet(const Request& r, const QString& id);
    Response contactPost(const Request& r);
    Response contactPut(const Request& r, const QString& id);
    Response contactDelete(const Request& r, const QString& id);
    Response contactBatch(const Request& r);
    Response photo(const Request& r, const QString& id);
    Response oauthAuthorize(const Request& r);
    Response oauthToken(const Request& r);

    // shared pieces
    QByteArray feedHead(const QByteArray& id, const QString& title, const QByteArray& selfUrl,
                        const QByteArray& postUrl, const QByteArray& etag) const;
    static QString etagMismatchText(const QString& sent, quint64 version);
    bool etagMatches(const QString& sent, const QString& current) const
    {
        return sent == QLatin1String("*") || sent == current;
    }
    // The answer to a conditional write: 403 when a required tag is missing, 412 when the tag sent is
    // stale; nothing when the write may go on.
    std::optional<Response> refusedPrecondition(const QString& sent, const QString& current, quint64 version,
                                                bool required) const
    {
        if (sent.isEmpty()) {
            if (required)
                return text(403, "If-Match or If-None-Match header or entry etag attribute required");
            return std::nullopt;
        }
        if (!etagMatches(sent, current))
            return text(412, etagMismatchText(sent, version).toUtf8());
        return std::nullopt;
    }
    void applyDocInput(State::Doc& d, const DocInput& in, bool replaceLabels);
    State::Doc& createDoc(const DocInput& in, const QString& kind, const QString& folder);
    Response entryResponse(int status, const State::Doc& d, bool expand, const QByteArray& location = {});
    void trash(State::Doc& d, bool on);
};

// ---------------------------------------------------------------------------------------------------------
// Server plumbing

void LocalService::Impl::serve(const httplib::Request& req, httplib::Response& res,
                               const httplib::ContentReader* reader)
{
    Request r;
    r.method = QString::fromStdString(req.method);
    r.path = QString::fromStdString(req.path);
    r.rawTarget = QString::fromStdString(req.target);
    for (const auto& [k, v] : req.params)
        r.query.insert(QString::fromStdString(k), QString::fromStdString(v));
    for (const auto& [k, v] : req.headers) {
        const QString name = QString::fromStdString(k).toLower();
        const QString value = QString::fromStdString(v);
        if (r.headers.contains(name))
            r.headers[name] += QStringLiteral(", ") + value;
        else
            r.headers.insert(name, value);
    }

    // Which fault applies, decided before the body is read.
    std::optional<Fault> fault;
    quint64 generation = 0;
    {
        std::lock_guard lock(mutex);
        for (int i = 0; i < faults.size(); ++i) {
            FaultSlot& slot = faults[i];
            if (!slot.fault.method.isEmpty() && slot.fault.method.compare(r.method, Qt::CaseInsensitive) != 0)
                continue;
            if (!slot.fault.pathPattern.isEmpty() && !slot.pattern.match(r.path).hasMatch())
                continue;
            fault = slot.fault;
            if (--slot.remaining <= 0)
                faults.removeAt(i);
            break;
        }
        generation = faultGeneration;
    }

    const bool dropRequest = fault && fault->kind == Fault::DropAfterBytes && reader;
    if (reader) {
        const qint64 limit = dropRequest ? fault->bytes : -1;
        (*reader)([&](const char* data, size_t length) {
            if (limit >= 0) {
                const qint64 room = limit - r.body.size();
                r.body.append(data, int(std::min<qint64>(room, qint64(length))));
                if (r.body.size() >= limit) {
                    r.truncated = true;
                    return false;
                }
                return true;
            }
            r.body.append(data, int(length));
            return true;
        });
        if (dropRequest)
            r.truncated = true;
    } else {
        r.body = QByteArray::fromStdString(req.body);
    }

    Response out;
    bool handled = false;
    if (fault && !dropRequest) {
        std::unique_lock lock(mutex);
        switch (fault->kind) {
        case Fault::Status:
            out = text(fault->status, "Injected failure " + QByteArray::number(fault->status));
            if (fault->status == 503)
                out.header("Retry-After", "0");
            if (fault->status == 401)
                out.header("WWW-Authenticate",
                           "Bearer realm=\"https://accounts.google.com/\", error=invalid_token");
            handled = true;
            break;
        case Fault::Delay:
            wake.wait_for(lock, std::chrono::milliseconds(fault->delayMs), [&] { return stopping; });
            break;
        case Fault::Hang:
            ++hanging;
            wake.wait(lock, [&] { return stopping || faultGeneration != generation; });
            --hanging;
            if (stopping) {
                out = text(503, "Service stopping");
                handled = true;
            }
            break;
        case Fault::MalformedBody:
            out = xml(200, kAtomFeed,
                      QByteArray(kXmlHeader) +
                          "<feed xmlns='http://www.w3.org/2005/Atom'><entry><title>broken</feed");
            handled = true;
            break;
        case Fault::DropAfterBytes:
            break;
        }
    }
    if (!handled) {
        std::lock_guard lock(mutex);
        out = dispatch(r);
    }
    if (dropRequest) {
        out.drop = true;
        out.dropAfter = 0;
    } else if (fault && fault->kind == Fault::DropAfterBytes) {
        out.drop = true;
        out.dropAfter = fault->bytes;
    }

    {
        std::lock_guard lock(mutex);
        JournalEntry j;
        j.method = r.method;
        j.path = r.path;
        j.rawTarget = r.rawTarget;
        j.query = r.query;
        j.headers = r.headers;
        j.body = r.body;
        j.status = dropRequest ? 0 : out.status;
        journal.append(j);
    }

    res.status = out.status;
    for (const auto& [k, v] : out.headers)
        res.set_header(k.toStdString(), v.toStdString());
    res.set_header("GData-Version", "3.0");
    if (out.drop) {
        auto body = std::make_shared<std::string>(out.body.toStdString());
        const size_t keep = size_t(std::min<qint64>(out.dropAfter, qint64(body->size())));
        res.set_content_provider(std::max<size_t>(body->size(), keep + 1), out.contentType.toStdString(),
                                 [body, keep](size_t, size_t, httplib::DataSink& sink) {
                                     if (keep > 0)
                                         sink.write(body->data(), keep);
                                     return false;
                                 });
    } else if (!out.body.isEmpty() || out.status == 200 || out.status == 201) {
        res.set_content(out.body.constData(), size_t(out.body.size()), out.contentType.toStdString());
    }
}

bool LocalService::Impl::authorised(const Request& r, QString* email)
{
    const QString h = r.header("authorization");
    QString token;
    if (h.startsWith(QLatin1String("Bearer "), Qt::CaseInsensitive))
        token = h.mid(7).trimmed();
    else if (h.isEmpty())
        token = r.param("access_token"); // lets a browser look at the feeds
    if (token.isEmpty())
        return false;
    auto it = accessTokens.find(token);
    if (it == accessTokens.end() || it->expired || std::chrono::steady_clock::now() >= it->expires)
        return false;
    if (email)
        *email = it->email;
    return true;
}

Response LocalService::Impl::unauthorised() const
{
    Response r = text(401, "<HTML><HEAD><TITLE>Token invalid</TITLE></HEAD><BODY><H1>Token invalid</H1>"
                           "<H2>Error 401</H2></BODY></HTML>");
    r.contentType = "text/html; charset=UTF-8";
    r.header("WWW-Authenticate", "Bearer realm=\"https://accounts.google.com/\", error=invalid_token");
    return r;
}

QString LocalService::Impl::newToken(const char* prefix)
{
    ++tokenCounter;
    const QByteArray raw = QByteArray::number(tokenCounter) +
                           QByteArray::number(QDateTime::currentMSecsSinceEpoch()) +
                           QByteArray::number(quintptr(this));
    return QString::fromLatin1(prefix) +
           QString::fromLatin1(
               QCryptographicHash::hash(raw, QCryptographicHash::Sha1)
                   .toBase64(QByteArray::Base64UrlEncoding | QByteArray::OmitTrailingEquals)) +
           QString::number(tokenCounter);
}

QString LocalService::Impl::issueAccess(const QString& email)
{
    const QString token = newToken("ya29.");
    accessTokens.insert(
        token, Token{email, std::chrono::steady_clock::now() + std::chrono::seconds(tokenLifetime), false});
    return token;
}

Response LocalService::Impl::dispatch(Request& r)
{
    const QString& p = r.path;
    const QString& m = r.method;
    if (p == QLatin1String("/") && m == QLatin1String("GET")) {
        return text(200, "Tavrel local service: a stand-in for the cloud document and contacts service.\n"
                         "Documents feed: " +
                             state.base.toUtf8() +
                             "/feeds/default/private/full (Bearer token required)\n"
                             "Account: " +
                             state.ownerEmail.toUtf8() + "\n");
    }
    if (p == QLatin1String("/o/oauth2/auth") && m == QLatin1String("GET"))
        return oauthAuthorize(r);
    if (p == QLatin1String("/o/oauth2/token") && m == QLatin1String("POST"))
        return oauthToken(r);

    QString email;
    if (!authorised(r, &email))
        return unauthorised();

    if (p == QLatin1String("/oauth2/v1/userinfo") || p == QLatin1String("/oauth2/v2/userinfo") ||
        p == QLatin1String("/oauth2/v3/userinfo")) {
        QJsonObject o;
        o.insert(QStringLiteral("id"), QString::number(qHash(email)));
        o.insert(QStringLiteral("email"), email);
        o.insert(QStringLiteral("verified_email"), true);
        return json(200, o);
    }
    if (p == QLatin1String("/feeds/default/private/changes") && m == QLatin1String("GET"))
        return changesFeed(r);
    if (p == QLatin1String("/feeds/metadata/default") && m == QLatin1String("GET"))
        return xml(200, kAtomEntry, State::entryDocument(state.metadataEntry()));
    if (p.startsWith(QLatin1String("/feeds/upload/create-session/default/private/"))) {
        if (r.query.contains(QStringLiteral("upload_id")))
            return uploadChunk(r, r.param("upload_id"));
        QString rest = p.mid(QStringLiteral("/feeds/upload/create-session/default/private/").size());
        const QString projection = rest.section(QLatin1Char('/'), 0, 0);
        rest = rest.section(QLatin1Char('/'), 1);
        return uploadStart(r, rest, projection);
    }
    if (p.startsWith(QLatin1String("/feeds/download/")) ||
        p.startsWith(QLatin1String("/feeds/default/media/")))
        return download(r);
    if (p == QLatin1String("/feeds/vt")) {
        Response out = xml(200, "image/png", tinyPng());
        return out;
    }
    static const QRegularExpression docs(QStringLiteral("^/feeds/default/private/(full|expandAcl)(/.*)?$"));
    if (auto match = docs.match(p); match.hasMatch()) {
        const QString projection = match.captured(1);
        const bool expand = projection == QLatin1String("expandAcl") || r.flag("expand-acl");
        QStringList parts = match.captured(2).split(QLatin1Char('/'), Qt::SkipEmptyParts);
        if (parts.isEmpty()) {
            if (m == QLatin1String("GET"))
                return docFeed(r, projection, {}, {});
            if (m == QLatin1String("POST"))
                return docCreate(r, {}, expand);
            return text(405, "Method not allowed");
        }
        if (parts.first() == QLatin1String("-")) {
            if (m != QLatin1String("GET"))
                return text(405, "Method not allowed");
            return docFeed(r, projection, parts.mid(1), {});
        }
        if (parts.first() == QLatin1String("batch") && parts.size() == 1) {
            if (m != QLatin1String("POST"))
                return text(405, "Method not allowed");
            return docBatch(r, expand);
        }
        const QString rid = parts.first();
        if (parts.size() == 1) {
            if (m == QLatin1String("GET"))
                return docGet(r, rid, expand);
            if (m == QLatin1String("PUT"))
                return docPut(r, rid, expand);
            if (m == QLatin1String("DELETE"))
                return docDelete(r, rid);
            return text(405, "Method not allowed");
        }
        const QString sub = parts.at(1);
        if (sub == QLatin1String("contents")) {
            if (!state.doc(rid) || state.doc(rid)->kind != QLatin1String("folder"))
                return text(404, "Not Found");
            if (parts.size() == 2) {
                if (m == QLatin1String("GET"))
                    return docFeed(r, projection, {}, rid);
                if (m == QLatin1String("POST"))
                    return docCreate(r, rid, expand);
                return text(405, "Method not allowed");
            }
            const QString child = parts.at(2);
            if (m == QLatin1String("DELETE"))
                return contentsRemove(r, rid, child);
            if (m == QLatin1String("GET"))
                return docGet(r, child, expand);
            if (m == QLatin1String("PUT"))
                return docPut(r, child, expand);
            return text(405, "Method not allowed");
        }
        if (sub == QLatin1String("acl")) {
            if (parts.size() == 2) {
                if (m == QLatin1String("GET"))
                    return aclFeed(r, rid);
                if (m == QLatin1String("POST"))
                    return aclPost(r, rid);
                return text(405, "Method not allowed");
            }
            if (parts.at(2) == QLatin1String("batch") && m == QLatin1String("POST"))
                return aclBatch(r, rid);
            return aclEntryRequest(r, rid, parts.at(2));
        }
        if (sub == QLatin1String("revisions") && m == QLatin1String("GET"))
            return revisionsFeed(rid);
        return text(404, "Not Found");
    }
    static const QRegularExpression contacts(QStringLiteral("^/m8/feeds/contacts/([^/]+)/full(/.*)?$"));
    if (auto match = contacts.match(p); match.hasMatch()) {
        const QString user = match.captured(1);
        if (user != QLatin1String("default") && user.compare(state.ownerEmail, Qt::CaseInsensitive) != 0)
            return text(403, "Forbidden");
        const QStringList parts = match.captured(2).split(QLatin1Char('/'), Qt::SkipEmptyParts);
        if (parts.isEmpty()) {
            if (m == QLatin1String("GET"))
                return contactsFeed(r);
            if (m == QLatin1String("POST"))
                return contactPost(r);
            return text(405, "Method not allowed");
        }
        if (parts.first() == QLatin1String("batch") && m == QLatin1String("POST"))
            return contactBatch(r);
        if (m == QLatin1String("GET"))
            return contactGet(r, parts.first());
        if (m == QLatin1String("PUT"))
            return contactPut(r, parts.first());
        if (m == QLatin1String("DELETE"))
            return contactDelete(r, parts.first());
        return text(405, "Method not allowed");
    }
    static const QRegularExpression photos(QStringLiteral("^/m8/feeds/photos/media/([^/]+)/([^/]+)$"));
    if (auto match = photos.match(p); match.hasMatch())
        return photo(r, match.captured(2));
    return text(404, "Not Found");
}

// ---------------------------------------------------------------------------------------------------------
// Documents

QByteArray LocalService::Impl::feedHead(const QByteArray& id, const QString& title, const QByteArray& selfUrl,
                                        const QByteArray& postUrl, const QByteArray& etag) const
{
    QByteArray out;
    out += kXmlHeader;
    out += "<feed";
    out += AtomText::namespaces();
    out += " gd:etag='" + A::escape(etag) + "'><id>";
    out += A::escape(id);
    out += "</id><updated>";
    out += A::isoBytes(QDateTime::currentDateTimeUtc());
    out += "</updated><category scheme='http://schemas.google.com/g/2005#kind' "
           "term='http://schemas.google.com/docs/2007#item' label='item'/><title>";
    out += A::escape(title);
    out += "</title>";
    const QByteArray b = state.base.toUtf8();
    out += "<link rel='alternate' type='text/html' href='" + A::escape(b) + "'/>";
    out += "<link rel='http://schemas.google.com/g/2005#resumable-create-media' type='application/atom+xml' "
           "href='" +
           A::escape(b + "/feeds/upload/create-session/default/private/full") + "'/>";
    out += "<link rel='http://schemas.google.com/g/2005#feed' type='application/atom+xml' href='" +
           A::escape(postUrl) + "'/>";
    out += "<link rel='http://schemas.google.com/g/2005#post' type='application/atom+xml' href='" +
           A::escape(postUrl) + "'/>";
    out += "<link rel='http://schemas.google.com/g/2005#batch' type='application/atom+xml' href='" +
           A::escape(b + "/feeds/default/private/full/batch") + "'/>";
    out += "<link rel='self' type='application/atom+xml' href='" + A::escape(selfUrl) + "'/>";
    return out;
}

namespace {
// The request's own URL with one paging parameter replaced.
QByteArray pageUrl(const QString& base, const Request& r, const QString& dropA, const QString& dropB,
                   const QString& key, const QString& value)
{
    QUrlQuery q;
    for (auto it = r.query.constBegin(); it != r.query.constEnd(); ++it) {
        if (it.key() != dropA && it.key() != dropB)
            q.addQueryItem(it.key(), it.value());
    }
    if (!key.isEmpty())
        q.addQueryItem(key, value);
    QUrl url(base + r.path);
    url.setQuery(q);
    return url.toEncoded();
}

int pageSize(const Request& r)
{
    bool ok = false;
    const qint64 n = r.param("max-results").toLongLong(&ok);
    if (!ok || n <= 0)
        return kDefaultPage;
    return int(std::min<qint64>(n, kMaxPage));
}
} // namespace

Response LocalService::Impl::docFeed(const Request& r, const QString& projection,
                                     const QStringList& categories, const QString& folder)
{
    const bool expand = projection == QLatin1String("expandAcl") || r.flag("expand-acl");
    bool showFolders = r.flag("showfolders") || !folder.isEmpty();
    bool showDeleted = r.flag("showdeleted");
    // Category path: AND of terms, "|" for OR inside a term, "-" to negate.
    QList<QStringList> terms;
    for (const QString& c : categories) {
        QStringList alternatives = c.split(QLatin1Char('|'), Qt::SkipEmptyParts);
        for (QString& a : alternatives) {
            a = QUrl::fromPercentEncoding(a.toUtf8());
            a = a.section(QLatin1Char('#'), -1);
            a = a.section(QLatin1Char('}'), -1);
            if (a == QLatin1String("folder"))
                showFolders = true;
            if (a == QLatin1String("trashed"))
                showDeleted = true;
        }
        terms.append(alternatives);
    }
    const QString q = r.param("q").trimmed();
    const QString title = r.param("title");
    const bool titleExact = r.flag("title-exact");
    auto matches = [&](const State::Doc& d) {
        const bool isFolder = d.kind == QLatin1String("folder");
        if (isFolder && !showFolders)
            return false;
        if (d.labels.contains(QStringLiteral("trashed")) && !showDeleted)
            return false;
        if (!folder.isEmpty() && !d.parents.contains(folder))
            return false;
        if (!q.isEmpty() && !d.title.contains(q, Qt::CaseInsensitive))
            return false;
        if (!title.isEmpty()) {
            if (titleExact ? d.title.compare(title, Qt::CaseInsensitive) != 0
                           : !d.title.contains(title, Qt::CaseInsensitive))
                return false;
        }
        for (const QStringList& alternatives : terms) {
            bool any = false;
            for (const QString& a : alternatives) {
                const bool negate = a.startsWith(QLatin1Char('-'));
                const QString t = negate ? a.mid(1) : a;
                bool has = d.kind == t || d.labels.contains(t);
                if (t == QLatin1String("mine"))
                    has = d.ownerEmail.compare(state.ownerEmail, Qt::CaseInsensitive) == 0;
                if (has != negate)
                    any = true;
            }
            if (!any)
                return false;
        }
        return true;
    };

    const int size = pageSize(r);
    auto it = state.docs.begin();
    int startIndex = 1;
    if (r.query.contains(QStringLiteral("start-key"))) {
        const qint64 key = r.param("start-key").mid(1).toLongLong();
        it = state.docs.lower_bound(key);
    } else if (r.query.contains(QStringLiteral("start-index"))) {
        startIndex = std::max(1, r.param("start-index").toInt());
        int skip = startIndex - 1;
        while (it != state.docs.end() && skip > 0) {
            if (matches(it->second))
                --skip;
            ++it;
        }
    }
    // The page's serialised entries stay in their documents' caches while the lock is held.
    std::vector<const QByteArray*> page;
    qint64 pageBytes = 0;
    int count = 0;
    qint64 nextKey = -1;
    for (; it != state.docs.end(); ++it) {
        if (!matches(it->second))
            continue;
        if (count == size) {
            nextKey = it->first;
            break;
        }
        page.push_back(&state.docEntry(it->second, expand));
        pageBytes += page.back()->size();
        ++count;
    }
    const QByteArray selfUrl = state.base.toUtf8() + r.rawTarget.toUtf8();
    QByteArray postUrl = folder.isEmpty()
                             ? state.base.toUtf8() + "/feeds/default/private/" + projection.toUtf8()
                             : state.docUrl(folder) + "/contents";
    const QByteArray etag = state.etag(r.rawTarget, quint64(state.changestamp), true).toUtf8();
    if (r.header("if-none-match") == QString::fromUtf8(etag)) {
        Response out = text(304, {});
        out.header("ETag", etag);
        return out;
    }
    QString feedTitle = QStringLiteral("Available Documents - ") + state.ownerEmail;
    if (!folder.isEmpty())
        feedTitle = state.doc(folder)->title;
    QByteArray out = feedHead(state.base.toUtf8() + "/feeds/default/private/" + projection.toUtf8() +
                                  (folder.isEmpty() ? QByteArray() : '/' + A::percent(folder) + "/contents"),
                              feedTitle, selfUrl, postUrl, etag);
    if (nextKey >= 0) {
        out += "<link rel='next' type='application/atom+xml' href='" +
               A::escape(pageUrl(state.base, r, QStringLiteral("start-index"), QStringLiteral("start-key"),
                                 QStringLiteral("start-key"), QLatin1Char('k') + QString::number(nextKey))) +
               "'/>";
    }
    out += "<author><name>" + A::escape(state.ownerName) + "</name><email>" + A::escape(state.ownerEmail) +
           "</email></author>";
    out += "<openSearch:startIndex>" + QByteArray::number(startIndex) + "</openSearch:startIndex>";
    out += "<openSearch:itemsPerPage>" + QByteArray::number(size) + "</openSearch:itemsPerPage>";
    out.reserve(out.size() + pageBytes + 16);
    for (const QByteArray* entry : page)
        out += *entry;
    out += "</feed>";
    Response resp = xml(200, kAtomFeed, out);
    resp.header("ETag", etag);
    return resp;
}

Response LocalService::Impl::changesFeed(const Request& r)
{
    const bool expand = r.flag("expand-acl");
    const int size = pageSize(r);
    const qint64 start = std::max<qint64>(1, r.param("start-index").toLongLong());
    QByteArray entries;
    entries.reserve(size * 4096);
    int count = 0;
    qint64 next = -1;
    for (auto it = state.changes.lower_bound(start); it != state.changes.end(); ++it) {
        if (count == size) {
            next = it->first;
            break;
        }
        const State::ChangeRecord& c = it->second;
        const QByteArray stamp = "<docs:changestamp value='" + QByteArray::number(it->first) + "'/>";
        if (c.removed) {
            entries += "<entry><id>" + state.docIdUrl(c.rid) + "</id><updated>" + A::isoBytes(c.when) +
                       "</updated><category scheme='http://schemas.google.com/g/2005#kind' "
                       "term='http://schemas.google.com/docs/2007#" +
                       A::escape(c.kind) + "' label='" + A::escape(c.kind) + "'/><title>" +
                       A::escape(c.title) + "</title><gd:resourceId>" + A::escape(c.rid) +
                       "</gd:resourceId>" + stamp + "<docs:removed/></entry>";
        } else if (const State::Doc* d = state.doc(c.rid)) {
            entries += State::withTail(state.docEntry(*d, expand), stamp);
        }
        ++count;
    }
    const QByteArray selfUrl = state.base.toUtf8() + r.rawTarget.toUtf8();
    const QByteArray etag = state.etag(r.rawTarget, quint64(state.changestamp), true).toUtf8();
    QByteArray out = feedHead(state.base.toUtf8() + "/feeds/default/private/changes",
                              QStringLiteral("Available Changes - ") + state.ownerEmail, selfUrl,
                              state.base.toUtf8() + "/feeds/default/private/full", etag);
    if (next >= 0) {
        out += "<link rel='next' type='application/atom+xml' href='" +
               A::escape(pageUrl(state.base, r, QStringLiteral("start-index"), QString(),
                                 QStringLiteral("start-index"), QString::number(next))) +
               "'/>";
    }
    out += "<author><name>" + A::escape(state.ownerName) + "</name><email>" + A::escape(state.ownerEmail) +
           "</email></author>";
    out += "<openSearch:startIndex>1</openSearch:startIndex><openSearch:itemsPerPage>" +
           QByteArray::number(size) + "</openSearch:itemsPerPage>";
    out += "<docs:largestChangestamp value='" + QByteArray::number(state.changestamp) + "'/>";
    out += entries;
    out += "</feed>";
    Response resp = xml(200, kAtomFeed, out);
    resp.header("ETag", etag);
    return resp;
}

Response LocalService::Impl::entryResponse(int status, const State::Doc& d, bool expand,
                                           const QByteArray& location)
{
    Response out = xml(status, kAtomEntry, State::entryDocument(state.docEntry(d, expand)));
    out.header("ETag", state.docEtag(d).toUtf8());
    if (!location.isEmpty()) {
        out.header("Location", location);
        out.header("Content-Location", location);
    }
    return out;
}

Response LocalService::Impl::docGet(const Request& r, const QString& rid, bool expand)
{
    const State::Doc* d = state.doc(rid);
    if (!d)
        return text(404, "Not Found");
    if (r.header("if-none-match") == state.docEtag(*d)) {
        Response out = text(304, {});
        out.header("ETag", state.docEtag(*d).toUtf8());
        return out;
    }
    return entryResponse(200, *d, expand);
}

QString LocalService::Impl::etagMismatchText(const QString& sent, quint64 version)
{
    return QStringLiteral("Mismatch: etags = [%1], version = [%2]")
        .arg(sent, QString::number(version * 7919 + 104729, 36));
}

void LocalService::Impl::trash(State::Doc& d, bool on)
{
    if (on)
        d.labels.insert(QStringLiteral("trashed"));
    else
        d.labels.remove(QStringLiteral("trashed"));
}

void LocalService::Impl::applyDocInput(State::Doc& d, const DocInput& in, bool replaceLabels)
{
    if (in.hasTitle && !in.title.trimmed().isEmpty())
        d.title = in.title;
    if (replaceLabels) {
        for (const QString& l : kSettableLabels) {
            if (in.labels.contains(l))
                d.labels.insert(l);
            else
                d.labels.remove(l);
        }
    }
    if (d.labels.contains(QStringLiteral("viewed")) && !d.lastViewed.isValid())
        d.lastViewed = state.now();
    if (in.hasWritersCanInvite)
        d.writersCanInvite = in.writersCanInvite;
    d.extras = in.extras;
}

Response LocalService::Impl::docPut(const Request& r, const QString& rid, bool expand)
{
    State::Doc* d = state.doc(rid);
    if (!d)
        return text(404, "Not Found");
    pugi::xml_document doc;
    if (!doc.load_buffer(r.body.constData(), size_t(r.body.size())) ||
        !A::is(doc.document_element(), A::kAtom, "entry"))
        return text(400, "Invalid request URI or entry: the body is not an Atom entry");
    const DocInput in = readDocEntry(doc.document_element());
    QString sent = r.header("if-match");
    if (sent.isEmpty())
        sent = in.etag;
    if (auto refused = refusedPrecondition(sent, state.docEtag(*d), d->version, true))
        return *refused;
    const bool wasViewed = d->labels.contains(QStringLiteral("viewed"));
    applyDocInput(*d, in, true);
    if (!wasViewed && d->labels.contains(QStringLiteral("viewed")))
        d->lastViewed = state.now();
    d->modifiedByEmail = state.ownerEmail;
    d->modifiedByName = state.ownerName;
    state.touch(*d);
    return entryResponse(200, *d, expand);
}

Response LocalService::Impl::docDelete(const Request& r, const QString& rid)
{
    State::Doc* d = state.doc(rid);
    if (!d)
        return text(404, "Not Found");
    const QString sent = r.header("if-match");
    if (auto refused = refusedPrecondition(sent, state.docEtag(*d), d->version, true))
        return *refused;
    if (r.flag("delete"))
        state.removeDoc(rid);
    else {
        trash(*d, true);
        state.touch(*d);
    }
    Response out = text(200, {});
    out.contentType = "text/html; charset=UTF-8";
    return out;
}

State::Doc& LocalService::Impl::createDoc(const DocInput& in, const QString& kind, const QString& folder)
{
    State::Doc d;
    d.kind = kind;
    d.title = in.title.trimmed().isEmpty() ? QStringLiteral("Untitled") : in.title;
    if (kind == QLatin1String("pdf"))
        d.mime = QStringLiteral("application/pdf");
    if (!folder.isEmpty())
        d.parents << folder;
    applyDocInput(d, in, true);
    d.labels.insert(QStringLiteral("viewed"));
    d.lastViewed = state.now();
    d.published = d.lastViewed;
    d.md5 = QString::fromLatin1(QCryptographicHash::hash(d.content, QCryptographicHash::Md5).toHex());
    return state.insertDoc(std::move(d));
}

Response LocalService::Impl::docCreate(const Request& r, const QString& folder, bool expand)
{
    pugi::xml_document doc;
    if (!doc.load_buffer(r.body.constData(), size_t(r.body.size())) ||
        !A::is(doc.document_element(), A::kAtom, "entry"))
        return text(400, "Invalid request URI or entry: the body is not an Atom entry");
    const DocInput in = readDocEntry(doc.document_element());
    // An entry naming an existing document, posted to a folder's contents, puts it into the folder.
    if (!folder.isEmpty() && !in.id.isEmpty() && state.doc(in.id)) {
        State::Doc* d = state.doc(in.id);
        if (!d->parents.contains(folder)) {
            d->parents.append(folder);
            state.touch(*d, false);
        }
        const QByteArray location = state.docUrl(folder) + "/contents/" + A::percent(d->rid);
        return entryResponse(201, *d, expand, location);
    }
    if (!folder.isEmpty() && !in.id.isEmpty())
        return text(404, "Not Found: " + in.id.toUtf8());
    if (in.kind.isEmpty())
        return text(400, "Invalid request: the entry has no kind category");
    State::Doc& d = createDoc(in, in.kind, folder);
    return entryResponse(201, d, expand, state.docUrl(d.rid));
}

Response LocalService::Impl::contentsRemove(const Request& r, const QString& folder, const QString& rid)
{
    State::Doc* d = state.doc(rid);
    if (!d || !d->parents.contains(folder))
        return text(404, "Not Found");
    const QString sent = r.header("if-match");
    if (auto refused = refusedPrecondition(sent, state.docEtag(*d), d->version, false))
        return *refused;
    d->parents.removeAll(folder);
    state.touch(*d, false);
    Response out = text(200, {});
    out.contentType = "text/html; charset=UTF-8";
    return out;
}

namespace {
struct BatchItem
{
    pugi::xml_node entry;
    QString batchId;
    QString operation;
};

QByteArray batchTail(const QString& id, int code, const QString& reason, const QString& operation)
{
    QByteArray out;
    if (!id.isNull())
        out += "<batch:id>" + A::escape(id) + "</batch:id>";
    out += "<batch:status code='" + QByteArray::number(code) + "' reason='" + A::escape(reason) + "'/>";
    out += "<batch:operation type='" + A::escape(operation) + "'/>";
    return out;
}

QByteArray batchError(const QString& entryId, const QString& title, int code, const QString& reason,
                      const QString& content, const QString& batchId, const QString& operation)
{
    QByteArray out = "<entry><id>" + A::escape(entryId) + "</id><updated>" +
                     A::isoBytes(QDateTime::currentDateTimeUtc()) + "</updated><title>" + A::escape(title) +
                     "</title><content>" + A::escape(content) + "</content>";
    out += batchTail(batchId, code, reason, operation);
    out += "</entry>";
    return out;
}

// Reads a batch feed; answers false when the body is not one.
bool readBatch(const QByteArray& body, pugi::xml_document& doc, QList<BatchItem>& items)
{
    if (!doc.load_buffer(body.constData(), size_t(body.size())))
        return false;
    pugi::xml_node feed = doc.document_element();
    if (!A::is(feed, A::kAtom, "feed"))
        return false;
    QString defaultOp;
    if (pugi::xml_node op = A::child(feed, A::kBatch, "operation"))
        defaultOp = QString::fromUtf8(op.attribute("type").value());
    for (pugi::xml_node c = feed.first_child(); c; c = c.next_sibling()) {
        if (!A::is(c, A::kAtom, "entry"))
            continue;
        BatchItem item;
        item.entry = c;
        item.batchId = A::text(c, A::kBatch, "id");
        pugi::xml_node op = A::child(c, A::kBatch, "operation");
        item.operation = op ? QString::fromUtf8(op.attribute("type").value()) : defaultOp;
        items.append(item);
    }
    return true;
}

QByteArray batchFeedHead(const QByteArray& id)
{
    QByteArray out = kXmlHeader;
    out += "<feed" + AtomText::namespaces() + "><id>" + A::escape(id) + "</id><updated>" +
           A::isoBytes(QDateTime::currentDateTimeUtc()) + "</updated><title>Batch operation feed</title>";
    return out;
}

QByteArray interrupted(const QString& reason, int success, int failures, int parsed)
{
    return "<batch:interrupted reason='" + A::escape(reason) + "' success='" + QByteArray::number(success) +
           "' failures='" + QByteArray::number(failures) + "' parsed='" + QByteArray::number(parsed) + "'/>";
}

const QStringList kOperations = {QStringLiteral("insert"), QStringLiteral("update"), QStringLiteral("delete"),
                                 QStringLiteral("query")};
} // namespace

Response LocalService::Impl::docBatch(const Request& r, bool expand)
{
    pugi::xml_document doc;
    QList<BatchItem> items;
    if (!readBatch(r.body, doc, items))
        return text(400, "Invalid batch feed");
    const bool permanent = r.flag("delete");
    QByteArray out = batchFeedHead(state.base.toUtf8() + "/feeds/id/batch/" +
                                   QByteArray::number(QDateTime::currentMSecsSinceEpoch()));
    int success = 0, failures = 0, parsed = 0;
    for (const BatchItem& item : items) {
        ++parsed;
        if (!kOperations.contains(item.operation)) {
            out += interrupted(QStringLiteral("Unknown batch operation: ") + item.operation, success,
                               failures, parsed);
            break;
        }
        const DocInput in = readDocEntry(item.entry);
        const QString entryIdText = A::text(item.entry, A::kAtom, "id").trimmed();
        auto fail = [&](int code, const QString& reason) {
            ++failures;
            out += batchError(entryIdText.isEmpty() ? item.batchId : entryIdText,
                              code == 412 || code == 400 ? QStringLiteral("Error") : reasonFor(code), code,
                              reason, reason, item.batchId, item.operation);
        };
        if (item.operation == QLatin1String("insert")) {
            if (in.kind.isEmpty()) {
                fail(400, QStringLiteral("Missing kind category"));
                continue;
            }
            State::Doc& d = createDoc(in, in.kind, {});
            out += State::withTail(state.docEntry(d, expand),
                                   batchTail(item.batchId, 201, reasonFor(201), item.operation));
            ++success;
            continue;
        }
        if (in.id.isEmpty()) {
            fail(400, QStringLiteral("Missing entry id"));
            continue;
        }
        State::Doc* d = state.doc(in.id);
        if (!d) {
            fail(404, reasonFor(404));
            continue;
        }
        if (item.operation == QLatin1String("query")) {
            out += State::withTail(state.docEntry(*d, expand),
                                   batchTail(item.batchId, 200, reasonFor(200), item.operation));
            ++success;
            continue;
        }
        if (!in.etag.isEmpty() && !etagMatches(in.etag, state.docEtag(*d))) {
            fail(412, etagMismatchText(in.etag, d->version));
            continue;
        }
        if (item.operation == QLatin1String("update")) {
            applyDocInput(*d, in, true);
            d->modifiedByEmail = state.ownerEmail;
            d->modifiedByName = state.ownerName;
            state.touch(*d);
            out += State::withTail(state.docEntry(*d, expand),
                                   batchTail(item.batchId, 200, reasonFor(200), item.operation));
        } else {
            const QString title = d->title;
            const QByteArray idUrl = state.docIdUrl(d->rid);
            if (permanent) {
                state.removeDoc(d->rid);
            } else {
                trash(*d, true);
                state.touch(*d);
            }
            out += "<entry><id>" + idUrl + "</id><updated>" + A::isoBytes(QDateTime::currentDateTimeUtc()) +
                   "</updated><title>" + A::escape(title) + "</title><content>Deleted</content>" +
                   batchTail(item.batchId, 200, reasonFor(200), item.operation) + "</entry>";
        }
        ++success;
    }
    out += "</feed>";
    return xml(200, kAtomFeed, out);
}

// ---------------------------------------------------------------------------------------------------------
// Access lists

Response LocalService::Impl::aclFeed(const Request& r, const QString& rid)
{
    Q_UNUSED(r);
    const State::Doc* d = state.doc(rid);
    if (!d)
        return text(404, "Not Found");
    QByteArray body = state.aclFeedBody(*d);
    QByteArray out = kXmlHeader;
    out += "<feed" + AtomText::namespaces() + body.mid(5);
    return xml(200, kAtomFeed, out);
}

namespace {
QString checkAcl(const AclInput& in)
{
    static const QStringList types = {QStringLiteral("user"), QStringLiteral("group"),
                                      QStringLiteral("domain"), QStringLiteral("default")};
    static const QStringList roles = {QStringLiteral("owner"), QStringLiteral("writer"),
                                      QStringLiteral("reader"), QStringLiteral("commenter"),
                                      QStringLiteral("none")};
    if (!types.contains(in.scopeType))
        return QStringLiteral("Invalid scope type: ") + in.scopeType;
    if (in.scopeType != QLatin1String("default") && in.scopeValue.isEmpty())
        return QStringLiteral("Missing scope value");
    if (!roles.contains(in.role))
        return QStringLiteral("Invalid role: ") + in.role;
    return {};
}

void applyAcl(State::Acl& a, const AclInput& in, const QDateTime& now)
{
    a.scopeType = in.scopeType;
    a.scopeValue = in.scopeType == QLatin1String("default") ? QString() : in.scopeValue;
    a.role = in.role;
    a.additionalRoles = in.additionalRoles;
    a.key = in.key;
    // Asking for link access without a key: the service makes one up, as the real one does.
    if (in.withKey && a.key.isEmpty()) {
        static std::atomic<quint64> counter{0};
        const quint64 n = ++counter ^ quint64(now.toMSecsSinceEpoch());
        a.key = QStringLiteral("k") + QString::number(n * 0x9e3779b97f4a7c15ULL % 0xffffffffffULL, 36);
    }
    ++a.version;
    a.updated = now;
}
} // namespace

Response LocalService::Impl::aclPost(const Request& r, const QString& rid)
{
    State::Doc* d = state.doc(rid);
    if (!d)
        return text(404, "Not Found");
    pugi::xml_document doc;
    if (!doc.load_buffer(r.body.constData(), size_t(r.body.size())) ||
        !A::is(doc.document_element(), A::kAtom, "entry"))
        return text(400, "Invalid access rule entry");
    const AclInput in = readAclEntry(doc.document_element());
    if (const QString error = checkAcl(in); !error.isEmpty())
        return text(400, error.toUtf8());
    State::Acl a;
    applyAcl(a, in, state.now());
    for (const State::Acl& other : d->acl) {
        if (other.id() == a.id())
            return text(409, "Conflict: a rule with this scope exists");
    }
    d->acl.append(a);
    state.touch(*d, false);
    const QByteArray location = state.docUrl(rid) + "/acl/" + A::percent(a.id());
    Response out = xml(201, kAtomEntry, State::entryDocument(state.aclEntry(*d, d->acl.last())));
    out.header("ETag", state.aclEtag(*d, d->acl.last()).toUtf8());
    out.header("Location", location);
    out.header("Content-Location", location);
    return out;
}

Response LocalService::Impl::aclEntryRequest(const Request& r, const QString& rid, const QString& aclId)
{
    State::Doc* d = state.doc(rid);
    if (!d)
        return text(404, "Not Found");
    int index = -1;
    for (int i = 0; i < d->acl.size(); ++i) {
        if (d->acl.at(i).id() == aclId)
            index = i;
    }
    if (index < 0)
        return text(404, "Not Found");
    const QString sent = r.header("if-match");
    if (r.method == QLatin1String("GET")) {
        Response out = xml(200, kAtomEntry, State::entryDocument(state.aclEntry(*d, d->acl.at(index))));
        out.header("ETag", state.aclEtag(*d, d->acl.at(index)).toUtf8());
        return out;
    }
    if (auto refused =
            refusedPrecondition(sent, state.aclEtag(*d, d->acl.at(index)), d->acl.at(index).version, false))
        return *refused;
    if (r.method == QLatin1String("DELETE")) {
        if (d->acl.at(index).role == QLatin1String("owner"))
            return text(403, "Forbidden: the owner cannot be removed");
        d->acl.removeAt(index);
        const bool lostAccess =
            d->ownerEmail.compare(state.ownerEmail, Qt::CaseInsensitive) != 0 &&
            aclId.compare(QStringLiteral("user:") + state.ownerEmail, Qt::CaseInsensitive) == 0;
        if (lostAccess)
            state.removeDoc(rid);
        else
            state.touch(*d, false);
        Response out = text(200, {});
        out.contentType = "text/html; charset=UTF-8";
        return out;
    }
    if (r.method == QLatin1String("PUT")) {
        pugi::xml_document doc;
        if (!doc.load_buffer(r.body.constData(), size_t(r.body.size())) ||
            !A::is(doc.document_element(), A::kAtom, "entry"))
            return text(400, "Invalid access rule entry");
        AclInput in = readAclEntry(doc.document_element());
        if (in.scopeType.isEmpty()) {
            in.scopeType = d->acl.at(index).scopeType;
            in.scopeValue = d->acl.at(index).scopeValue;
        }
        if (const QString error = checkAcl(in); !error.isEmpty())
            return text(400, error.toUtf8());
        applyAcl(d->acl[index], in, state.now());
        state.touch(*d, false);
        Response out = xml(200, kAtomEntry, State::entryDocument(state.aclEntry(*d, d->acl.at(index))));
        out.header("ETag", state.aclEtag(*d, d->acl.at(index)).toUtf8());
        return out;
    }
    return text(405, "Method not allowed");
}

Response LocalService::Impl::aclBatch(const Request& r, const QString& rid)
{
    State::Doc* d = state.doc(rid);
    if (!d)
        return text(404, "Not Found");
    pugi::xml_document doc;
    QList<BatchItem> items;
    if (!readBatch(r.body, doc, items))
        return text(400, "Invalid batch feed");
    QByteArray out = batchFeedHead(state.docIdUrl(rid) + "/acl/batch/" +
                                   QByteArray::number(QDateTime::currentMSecsSinceEpoch()));
    int success = 0, failures = 0, parsed = 0;
    bool changed = false;
    bool removed = false;
    for (const BatchItem& item : items) {
        ++parsed;
        if (!kOperations.contains(item.operation)) {
            out += interrupted(QStringLiteral("Unknown batch operation: ") + item.operation, success,
                               failures, parsed);
            break;
        }
        AclInput in = readAclEntry(item.entry);
        auto fail = [&](int code, const QString& reason) {
            ++failures;
            out += batchError(in.id.isEmpty() ? item.batchId : in.id, QStringLiteral("Error"), code, reason,
                              reason, item.batchId, item.operation);
        };
        int index = -1;
        const QString wanted = in.id.isEmpty() ? QString() : in.id;
        for (int i = 0; i < d->acl.size(); ++i) {
            if (!wanted.isEmpty() && d->acl.at(i).id() == wanted)
                index = i;
        }
        if (item.operation == QLatin1String("insert")) {
            if (const QString error = checkAcl(in); !error.isEmpty()) {
                fail(400, error);
                continue;
            }
            State::Acl a;
            applyAcl(a, in, state.now());
            bool duplicate = false;
            for (const State::Acl& other : d->acl)
                duplicate = duplicate || other.id() == a.id();
            if (duplicate) {
                fail(409, QStringLiteral("Conflict"));
                continue;
            }
            d->acl.append(a);
            changed = true;
            out += State::withTail(state.aclEntry(*d, d->acl.last()),
                                   batchTail(item.batchId, 201, reasonFor(201), item.operation));
            ++success;
            continue;
        }
        if (wanted.isEmpty()) {
            fail(400, QStringLiteral("Missing entry id"));
            continue;
        }
        if (index < 0) {
            fail(404, reasonFor(404));
            continue;
        }
        if (!in.etag.isEmpty() && !etagMatches(in.etag, state.aclEtag(*d, d->acl.at(index)))) {
            fail(412, etagMismatchText(in.etag, d->acl.at(index).version));
            continue;
        }
        if (item.operation == QLatin1String("query")) {
            out += State::withTail(state.aclEntry(*d, d->acl.at(index)),
                                   batchTail(item.batchId, 200, reasonFor(200), item.operation));
        } else if (item.operation == QLatin1String("update")) {
            if (in.scopeType.isEmpty()) {
                in.scopeType = d->acl.at(index).scopeType;
                in.scopeValue = d->acl.at(index).scopeValue;
            }
            if (const QString error = checkAcl(in); !error.isEmpty()) {
                fail(400, error);
                continue;
            }
            applyAcl(d->acl[index], in, state.now());
            changed = true;
            out += State::withTail(state.aclEntry(*d, d->acl.at(index)),
                                   batchTail(item.batchId, 200, reasonFor(200), item.operation));
        } else {
            if (d->acl.at(index).role == QLatin1String("owner")) {
                fail(403, QStringLiteral("The owner cannot be removed"));
                continue;
            }
            const QString id = d->acl.at(index).id();
            d->acl.removeAt(index);
            changed = true;
            if (d->ownerEmail.compare(state.ownerEmail, Qt::CaseInsensitive) != 0 &&
                id.compare(QStringLiteral("user:") + state.ownerEmail, Qt::CaseInsensitive) == 0)
                removed = true;
            out += "<entry><id>" + state.docIdUrl(rid) + "/acl/" + A::percent(id) + "</id><updated>" +
                   A::isoBytes(QDateTime::currentDateTimeUtc()) + "</updated><title>" + A::escape(id) +
                   "</title><content>Deleted</content>" +
                   batchTail(item.batchId, 200, reasonFor(200), item.operation) + "</entry>";
        }
        ++success;
    }
    out += "</feed>";
    if (removed)
        state.removeDoc(rid);
    else if (changed)
        state.touch(*d, false);
    return xml(200, kAtomFeed, out);
}

Response LocalService::Impl::revisionsFeed(const QString& rid)
{
    const State::Doc* d = state.doc(rid);
    if (!d)
        return text(404, "Not Found");
    const QByteArray url = state.docUrl(rid) + "/revisions";
    QByteArray out = kXmlHeader;
    out += "<feed" + AtomText::namespaces() + "><id>" + url + "</id><updated>" + A::isoBytes(d->updated) +
           "</updated><title>Revisions</title>";
    for (int i = 1; i <= d->revisions; ++i) {
        out += "<entry><id>" + url + '/' + QByteArray::number(i) + "</id><updated>" +
               A::isoBytes(d->updated) + "</updated><title>Revision " + QByteArray::number(i) +
               "</title><author><name>" + A::escape(d->modifiedByName) + "</name><email>" +
               A::escape(d->modifiedByEmail) + "</email></author></entry>";
    }
    out += "</feed>";
    return xml(200, kAtomFeed, out);
}

// ---------------------------------------------------------------------------------------------------------
// Uploads and downloads

Response LocalService::Impl::uploadStart(const Request& r, const QString& rest, const QString& projection)
{
    Upload up;
    up.projection = projection;
    up.mime = r.header("x-upload-content-type");
    if (up.mime.isEmpty())
        up.mime = QStringLiteral("application/octet-stream");
    bool ok = false;
    up.total = r.header("x-upload-content-length").toLongLong(&ok);
    if (!ok)
        up.total = -1;
    up.filename = QUrl::fromPercentEncoding(r.header("slug").toUtf8());
    up.title = up.filename;
    up.convert = !r.query.contains(QStringLiteral("convert")) || r.flag("convert");
    up.newRevision = r.flag("new-revision");
    if (!r.body.trimmed().isEmpty()) {
        pugi::xml_document doc;
        if (!doc.load_buffer(r.body.constData(), size_t(r.body.size())) ||
            !A::is(doc.document_element(), A::kAtom, "entry"))
            return text(400, "Invalid metadata entry");
        up.meta = readDocEntry(doc.document_element());
        up.hasMeta = true;
        if (up.meta.hasTitle && !up.meta.title.trimmed().isEmpty())
            up.title = up.meta.title;
    }
    const QStringList parts = rest.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    if (parts.size() == 2 && parts.at(1) == QLatin1String("contents")) {
        const State::Doc* f = state.doc(parts.at(0));
        if (!f || f->kind != QLatin1String("folder"))
            return text(404, "Not Found");
        up.parent = f->rid;
    } else if (parts.size() == 1) {
        const State::Doc* d = state.doc(parts.at(0));
        if (!d)
            return text(404, "Not Found");
        const QString sent = r.header("if-match");
        if (auto refused = refusedPrecondition(sent, state.docEtag(*d), d->version, false))
            return *refused;
        up.update = true;
        up.rid = d->rid;
    } else if (!parts.isEmpty()) {
        return text(404, "Not Found");
    } else if (r.method != QLatin1String("POST")) {
        return text(405, "Method not allowed");
    }
    ++uploadCounter;
    const QString id =
        QStringLiteral("AEnB2U") +
        QString::fromLatin1(QCryptographicHash::hash(QByteArray::number(uploadCounter) + r.path.toUtf8(),
                                                     QCryptographicHash::Sha1)
                                .toBase64(QByteArray::Base64UrlEncoding | QByteArray::OmitTrailingEquals)) +
        QString::number(uploadCounter);
    uploads.insert(id, up);
    QUrlQuery q;
    for (auto it = r.query.constBegin(); it != r.query.constEnd(); ++it)
        q.addQueryItem(it.key(), it.value());
    q.addQueryItem(QStringLiteral("upload_id"), id);
    QUrl location(state.base + r.path);
    location.setQuery(q);
    Response out = text(200, {});
    out.contentType = "text/html; charset=UTF-8";
    out.header("Location", location.toEncoded());
    return out;
}

Response LocalService::Impl::uploadChunk(const Request& r, const QString& uploadId)
{
    auto it = uploads.find(uploadId);
    if (it == uploads.end())
        return text(404, "No such upload session");
    Upload& up = *it;
    auto incomplete = [&]() {
        Response out = text(308, {});
        if (!up.data.isEmpty())
            out.header("Range", "bytes=0-" + QByteArray::number(up.data.size() - 1));
        return out;
    };
    const QString range = r.header("content-range");
    static const QRegularExpression full(QStringLiteral("^bytes (\\d+)-(\\d+)/(\\d+|\\*)$"));
    static const QRegularExpression status(QStringLiteral("^bytes \\*/(\\d+|\\*)$"));
    if (auto m = status.match(range); m.hasMatch()) {
        if (m.captured(1) != QLatin1String("*"))
            up.total = m.captured(1).toLongLong();
        if (up.total >= 0 && up.data.size() == up.total && up.total == 0)
            ; // an empty file finishes below
        else
            return incomplete();
    } else if (auto m = full.match(range); m.hasMatch()) {
        const qint64 first = m.captured(1).toLongLong();
        const qint64 last = m.captured(2).toLongLong();
        if (m.captured(3) != QLatin1String("*"))
            up.total = m.captured(3).toLongLong();
        if (last < first || (!r.truncated && r.body.size() != last - first + 1))
            return text(400, "Content-Range does not match the body");
        if (first > up.data.size())
            return incomplete(); // a gap: the client asks where to go on
        const qint64 skip = up.data.size() - first;
        if (skip < r.body.size())
            up.data.append(r.body.mid(int(skip)));
        if (r.truncated || up.total < 0 || up.data.size() < up.total)
            return incomplete();
    } else if (range.isEmpty() && up.total < 0) {
        up.data = r.body;
        up.total = up.data.size();
    } else if (range.isEmpty()) {
        up.data = r.body;
        if (r.truncated || up.data.size() < up.total)
            return incomplete();
    } else {
        return text(400, "Invalid Content-Range");
    }
    if (up.total >= 0 && up.data.size() > up.total)
        up.data.truncate(int(up.total));

    // Complete.
    const Upload done = up;
    uploads.erase(it);
    const bool expand = done.projection == QLatin1String("expandAcl");
    const QString md5 =
        QString::fromLatin1(QCryptographicHash::hash(done.data, QCryptographicHash::Md5).toHex());
    if (done.update) {
        State::Doc* d = state.doc(done.rid);
        if (!d)
            return text(404, "Not Found");
        d->content = done.data;
        d->md5 = md5;
        if (!State::isNative(d->kind))
            d->mime = done.mime;
        if (done.hasMeta)
            applyDocInput(*d, done.meta, false);
        if (done.newRevision)
            ++d->revisions;
        d->modifiedByEmail = state.ownerEmail;
        d->modifiedByName = state.ownerName;
        state.touch(*d);
        return entryResponse(200, *d, expand);
    }
    QString kind = done.convert ? nativeKindForUpload(done.mime) : QString();
    if (kind.isEmpty())
        kind = done.mime.startsWith(QLatin1String("application/pdf")) ? QStringLiteral("pdf")
                                                                      : QStringLiteral("file");
    DocInput in = done.meta;
    in.title = done.title.isEmpty() ? QStringLiteral("Untitled") : done.title;
    in.hasTitle = true;
    State::Doc& d = createDoc(in, kind, done.parent);
    d.content = done.data;
    d.md5 = md5;
    d.mime = done.mime;
    d.filename = done.filename;
    d.cache[0].clear();
    d.cache[1].clear();
    const QByteArray location = done.parent.isEmpty()
                                    ? state.docUrl(d.rid)
                                    : state.docUrl(done.parent) + "/contents/" + A::percent(d.rid);
    return entryResponse(201, d, expand, location);
}

Response LocalService::Impl::download(const Request& r)
{
    const State::Doc* d = nullptr;
    QString format = r.param("exportFormat");
    if (format.isEmpty())
        format = r.param("format");
    if (r.path.startsWith(QLatin1String("/feeds/default/media/"))) {
        d = state.doc(r.path.mid(QStringLiteral("/feeds/default/media/").size()));
    } else if (r.path.startsWith(QLatin1String("/feeds/download/files/"))) {
        d = state.docByLocal(r.path.mid(QStringLiteral("/feeds/download/files/").size()));
    } else {
        const QString id = r.query.contains(QStringLiteral("id")) ? r.param("id") : r.param("key");
        d = state.docByLocal(id);
    }
    if (!d || d->kind == QLatin1String("folder"))
        return text(404, "Not Found");
    Response out;
    out.status = 200;
    out.body = d->content;
    QString ext;
    if (State::isNative(d->kind)) {
        if (format.isEmpty())
            format = d->kind == QLatin1String("spreadsheet") ? QStringLiteral("xls") : QStringLiteral("pdf");
        out.contentType = mimeForExport(format);
        ext = QLatin1Char('.') + format;
        if (out.body.isEmpty())
            out.body = d->title.toUtf8() + '\n';
    } else {
        out.contentType = d->mime.toUtf8();
    }
    const QString name = (d->filename.isEmpty() || State::isNative(d->kind) ? d->title : d->filename) + ext;
    out.header("Content-Disposition", "attachment;filename=\"" + QUrl::toPercentEncoding(name) + '"');
    return out;
}

// ---------------------------------------------------------------------------------------------------------
// Contacts

Response LocalService::Impl::contactsFeed(const Request& r)
{
    const bool showDeleted = r.flag("showdeleted");
    const QDateTime updatedMin =
        r.query.contains(QStringLiteral("updated-min")) ? A::parseTime(r.param("updated-min")) : QDateTime();
    auto matches = [&](const State::Contact& c) {
        if (c.deleted && !showDeleted)
            return false;
        if (updatedMin.isValid() && c.updated < updatedMin)
            return false;
        return true;
    };
    const int size = pageSize(r);
    const int startIndex = std::max(1, r.param("start-index").toInt());
    int skip = startIndex - 1;
    QByteArray entries;
    int count = 0, total = 0;
    bool more = false;
    for (const auto& [seq, c] : state.contacts) {
        if (!matches(c))
            continue;
        ++total;
        if (skip > 0) {
            --skip;
            continue;
        }
        if (count == size) {
            more = true;
            continue;
        }
        entries += state.contactEntry(c);
        ++count;
    }
    const QByteArray etag =
        state.etag(QStringLiteral("contacts") + r.rawTarget, state.contactsVersion, true).toUtf8();
    if (r.header("if-none-match") == QString::fromUtf8(etag)) {
        Response out = text(304, {});
        out.header("ETag", etag);
        return out;
    }
    const QByteArray feedUrl = state.contactsFeedUrl();
    QByteArray out = kXmlHeader;
    out += "<feed" + AtomText::namespaces() + " gd:etag='" + A::escape(etag) + "'><id>" +
           A::escape(state.ownerEmail) + "</id><updated>" + A::isoBytes(QDateTime::currentDateTimeUtc()) +
           "</updated><category scheme='http://schemas.google.com/g/2005#kind' "
           "term='http://schemas.google.com/contact/2008#contact'/><title>" +
           A::escape(state.ownerName) + "'s Contacts</title>";
    out += "<link rel='alternate' type='text/html' href='" + A::escape(state.base.toUtf8()) + "'/>";
    out += "<link rel='http://schemas.google.com/g/2005#feed' type='application/atom+xml' href='" + feedUrl +
           "'/>";
    out += "<link rel='http://schemas.google.com/g/2005#post' type='application/atom+xml' href='" + feedUrl +
           "'/>";
    out += "<link rel='http://schemas.google.com/g/2005#batch' type='application/atom+xml' href='" + feedUrl +
           "/batch'/>";
    out += "<link rel='self' type='application/atom+xml' href='" +
           A::escape(state.base.toUtf8() + r.rawTarget.toUtf8()) + "'/>";
    if (more) {
        out += "<link rel='next' type='application/atom+xml' href='" +
               A::escape(pageUrl(state.base, r, QStringLiteral("start-index"), QString(),
                                 QStringLiteral("start-index"), QString::number(startIndex + count))) +
               "'/>";
    }
    out +=
        "<author><name>" + A::escape(state.ownerName) + "</name><email>" + A::escape(state.ownerEmail) +
        "</email></author><generator version='1.0' uri='http://www.google.com/m8/feeds'>Contacts</generator>";
    out += "<openSearch:totalResults>" + QByteArray::number(total) +
           "</openSearch:totalResults><openSearch:startIndex>" + QByteArray::number(startIndex) +
           "</openSearch:startIndex><openSearch:itemsPerPage>" + QByteArray::number(size) +
           "</openSearch:itemsPerPage>";
    out += entries;
    out += "</feed>";
    Response resp = xml(200, kAtomFeed, out);
    resp.header("ETag", etag);
    return resp;
}

Response LocalService::Impl::contactGet(const Request& r, const QString& id)
{
    const State::Contact* c = state.contact(id);
    if (!c || c->deleted)
        return text(404, "Contact not found.");
    if (r.header("if-none-match") == state.contactEtag(*c))
        return text(304, {});
    Response out = xml(200, kAtomEntry, State::entryDocument(state.contactEntry(*c)));
    out.header("ETag", state.contactEtag(*c).toUtf8());
    return out;
}

Response LocalService::Impl::contactPost(const Request& r)
{
    pugi::xml_document doc;
    if (!doc.load_buffer(r.body.constData(), size_t(r.body.size())) ||
        !A::is(doc.document_element(), A::kAtom, "entry"))
        return text(400, "Invalid contact entry");
    State::Contact c;
    applyContact(c, readContactEntry(doc.document_element()));
    State::Contact& stored = state.insertContact(std::move(c));
    Response out = xml(201, kAtomEntry, State::entryDocument(state.contactEntry(stored)));
    out.header("ETag", state.contactEtag(stored).toUtf8());
    out.header("Location", state.contactUrl(stored));
    out.header("Content-Location", state.contactUrl(stored));
    return out;
}

Response LocalService::Impl::contactPut(const Request& r, const QString& id)
{
    State::Contact* c = state.contact(id);
    if (!c || c->deleted)
        return text(404, "Contact not found.");
    pugi::xml_document doc;
    if (!doc.load_buffer(r.body.constData(), size_t(r.body.size())) ||
        !A::is(doc.document_element(), A::kAtom, "entry"))
        return text(400, "Invalid contact entry");
    const ContactInput in = readContactEntry(doc.document_element());
    QString sent = r.header("if-match");
    if (sent.isEmpty())
        sent = in.etag;
    if (auto refused = refusedPrecondition(sent, state.contactEtag(*c), c->version, true))
        return *refused;
    applyContact(*c, in);
    state.touch(*c);
    Response out = xml(200, kAtomEntry, State::entryDocument(state.contactEntry(*c)));
    out.header("ETag", state.contactEtag(*c).toUtf8());
    return out;
}

Response LocalService::Impl::contactDelete(const Request& r, const QString& id)
{
    State::Contact* c = state.contact(id);
    if (!c || c->deleted)
        return text(404, "Contact not found.");
    const QString sent = r.header("if-match");
    if (auto refused = refusedPrecondition(sent, state.contactEtag(*c), c->version, true))
        return *refused;
    c->deleted = true;
    state.touch(*c);
    Response out = text(200, {});
    out.contentType = "text/html; charset=UTF-8";
    return out;
}

Response LocalService::Impl::contactBatch(const Request& r)
{
    pugi::xml_document doc;
    QList<BatchItem> items;
    if (!readBatch(r.body, doc, items))
        return text(400, "Invalid batch feed");
    QByteArray out = batchFeedHead(state.contactsFeedUrl() + "/batch/" +
                                   QByteArray::number(QDateTime::currentMSecsSinceEpoch()));
    int success = 0, failures = 0, parsed = 0;
    for (const BatchItem& item : items) {
        ++parsed;
        if (!kOperations.contains(item.operation)) {
            out += interrupted(QStringLiteral("Unknown batch operation: ") + item.operation, success,
                               failures, parsed);
            break;
        }
        const ContactInput in = readContactEntry(item.entry);
        auto fail = [&](int code, const QString& reason) {
            ++failures;
            out += batchError(in.id.isEmpty() ? item.batchId : in.id, QStringLiteral("Error"), code, reason,
                              reason, item.batchId, item.operation);
        };
        if (item.operation == QLatin1String("insert")) {
            State::Contact c;
            applyContact(c, in);
            State::Contact& stored = state.insertContact(std::move(c));
            out += State::withTail(state.contactEntry(stored),
                                   batchTail(item.batchId, 201, reasonFor(201), item.operation));
            ++success;
            continue;
        }
        if (in.id.isEmpty() || !in.id.contains(QLatin1Char('/'))) {
            fail(400, QStringLiteral("Invalid entry Id/Uri"));
            continue;
        }
        State::Contact* c = state.contact(lastSegment(in.id));
        if (!c || c->deleted) {
            fail(404, reasonFor(404));
            continue;
        }
        if (item.operation == QLatin1String("query")) {
            out += State::withTail(state.contactEntry(*c),
                                   batchTail(item.batchId, 200, reasonFor(200), item.operation));
            ++success;
            continue;
        }
        if (!in.etag.isEmpty() && !etagMatches(in.etag, state.contactEtag(*c))) {
            fail(412, etagMismatchText(in.etag, c->version));
            continue;
        }
        if (item.operation == QLatin1String("update")) {
            applyContact(*c, in);
            state.touch(*c);
            out += State::withTail(state.contactEntry(*c),
                                   batchTail(item.batchId, 200, reasonFor(200), item.operation));
        } else {
            c->deleted = true;
            state.touch(*c);
            out += "<entry><id>" + A::escape(in.id) + "</id><updated>" +
                   A::isoBytes(QDateTime::currentDateTimeUtc()) + "</updated><title>" + A::escape(c->title) +
                   "</title><content>Deleted</content>" +
                   batchTail(item.batchId, 200, reasonFor(200), item.operation) + "</entry>";
        }
        ++success;
    }
    out += "</feed>";
    return xml(200, kAtomFeed, out);
}

Response LocalService::Impl::photo(const Request& r, const QString& id)
{
    State::Contact* c = state.contact(id);
    if (!c || c->deleted)
        return text(404, "Contact not found.");
    if (r.method == QLatin1String("GET")) {
        if (c->photo.isEmpty())
            return text(404, "Photo not found");
        Response out =
            xml(200, c->photoMime.isEmpty() ? QByteArray("image/png") : c->photoMime.toUtf8(), c->photo);
        out.header("ETag", state.photoEtag(*c).toUtf8());
        return out;
    }
    const QString sent = r.header("if-match");
    if (!sent.isEmpty() && sent != QLatin1String("*") && (c->photo.isEmpty() || sent != state.photoEtag(*c)))
        return text(412, etagMismatchText(sent, c->photoVersion).toUtf8());
    if (r.method == QLatin1String("PUT")) {
        if (r.body.isEmpty())
            return text(400, "Empty photo");
        c->photo = r.body;
        c->photoMime = r.header("content-type");
        ++c->photoVersion;
        state.touch(*c);
        Response out = xml(200, kAtomEntry, State::entryDocument(state.photoEntry(*c)));
        out.header("ETag", state.photoEtag(*c).toUtf8());
        return out;
    }
    if (r.method == QLatin1String("DELETE")) {
        if (c->photo.isEmpty())
            return text(404, "Photo not found");
        c->photo.clear();
        ++c->photoVersion;
        state.touch(*c);
        Response out = text(200, {});
        out.contentType = "text/html; charset=UTF-8";
        return out;
    }
    return text(405, "Method not allowed");
}

// ---------------------------------------------------------------------------------------------------------
// OAuth 2

Response LocalService::Impl::oauthAuthorize(const Request& r)
{
    const QString redirect = r.param("redirect_uri");
    if (redirect.isEmpty() || r.param("response_type") != QLatin1String("code"))
        return text(400, "invalid_request: redirect_uri and response_type=code are required");
    if (!clientId.isEmpty() && r.param("client_id") != clientId)
        return text(401, "invalid_client: The OAuth client was not found.");
    QUrl target(redirect);
    QUrlQuery q(target);
    if (denyAuthorization) {
        q.addQueryItem(QStringLiteral("error"), QStringLiteral("access_denied"));
    } else {
        const QString code = newToken("4_");
        codes.insert(code, {state.ownerEmail, redirect});
        q.addQueryItem(QStringLiteral("code"), code);
    }
    if (r.query.contains(QStringLiteral("state")))
        q.addQueryItem(QStringLiteral("state"), r.param("state"));
    target.setQuery(q);
    Response out = text(302, {});
    out.header("Location", target.toEncoded());
    return out;
}

Response LocalService::Impl::oauthToken(const Request& r)
{
    QUrlQuery form(QString::fromUtf8(r.body).replace(QLatin1Char('+'), QLatin1Char(' ')));
    auto value = [&](const char* key) {
        return form.queryItemValue(QString::fromLatin1(key), QUrl::FullyDecoded);
    };
    QString id = value("client_id");
    QString secret = value("client_secret");
    const QString basic = r.header("authorization");
    if (basic.startsWith(QLatin1String("Basic "), Qt::CaseInsensitive)) {
        const QString pair = QString::fromUtf8(QByteArray::fromBase64(basic.mid(6).trimmed().toLatin1()));
        id = QUrl::fromPercentEncoding(pair.section(QLatin1Char(':'), 0, 0).toUtf8());
        secret = QUrl::fromPercentEncoding(pair.section(QLatin1Char(':'), 1).toUtf8());
    }
    auto error = [](int status, const char* code, const char* description) {
        QJsonObject o;
        o.insert(QStringLiteral("error"), QString::fromLatin1(code));
        o.insert(QStringLiteral("error_description"), QString::fromLatin1(description));
        return json(status, o);
    };
    if (!clientId.isEmpty() && (id != clientId || (!clientSecret.isEmpty() && secret != clientSecret)))
        return error(401, "invalid_client", "The OAuth client was not found.");
    const QString grant = value("grant_type");
    QString email;
    QString refresh;
    if (grant == QLatin1String("authorization_code")) {
        auto it = codes.find(value("code"));
        if (it == codes.end())
            return error(400, "invalid_grant", "Malformed auth code.");
        if (!value("redirect_uri").isEmpty() && value("redirect_uri") != it->second) {
            codes.erase(it);
            return error(400, "redirect_uri_mismatch", "Bad Request");
        }
        email = it->first;
        codes.erase(it);
        refresh = newToken("1_");
        refreshTokens.insert(refresh, email);
    } else if (grant == QLatin1String("refresh_token")) {
        auto it = refreshTokens.find(value("refresh_token"));
        if (it == refreshTokens.end())
            return error(400, "invalid_grant", "Token has been expired or revoked.");
        email = *it;
    } else {
        return error(400, "unsupported_grant_type", "Invalid grant_type.");
    }
    QJsonObject o;
    o.insert(QStringLiteral("access_token"), issueAccess(email));
    o.insert(QStringLiteral("expires_in"), tokenLifetime);
    o.insert(QStringLiteral("token_type"), QStringLiteral("Bearer"));
    o.insert(QStringLiteral("scope"), value("scope"));
    if (!refresh.isEmpty())
        o.insert(QStringLiteral("refresh_token"), refresh);
    return json(200, o);
}

// ---------------------------------------------------------------------------------------------------------
// Public API

LocalService::LocalService() : d(std::make_unique<Impl>()) {}

LocalService::~LocalService()
{
    stop();
}

bool LocalService::start(quint16 port, QString* error)
{
    std::lock_guard lock(d->mutex);
    if (d->running) {
        if (error)
            *error = QStringLiteral("already running");
        return false;
    }
    auto server = std::make_unique<httplib::Server>();
    // A keep-alive connection holds a worker while it is open: room for several clients and hung requests.
    server->new_task_queue = [] { return new httplib::ThreadPool(64); };
    server->set_keep_alive_max_count(100000);
    server->set_tcp_nodelay(true); // headers and body go out in separate writes: no Nagle stalls
    server->set_keep_alive_timeout(2);
    server->set_read_timeout(5);
    server->set_write_timeout(5);
    Impl* impl = d.get();
    auto plain = [impl](const httplib::Request& req, httplib::Response& res) {
        impl->serve(req, res, nullptr);
    };
    auto reading = [impl](const httplib::Request& req, httplib::Response& res,
                          const httplib::ContentReader& reader) { impl->serve(req, res, &reader); };
    const std::string any = ".*";
    server->Get(any, plain);
    server->Post(any, plain);
    server->Put(any, plain);
    server->Patch(any, plain);
    server->Delete(any, plain);
    server->Post(any, reading);
    server->Put(any, reading);
    server->Patch(any, reading);
    server->Delete(any, reading);
    int bound = 0;
    if (port == 0) {
        bound = server->bind_to_any_port("127.0.0.1");
    } else {
        bound = server->bind_to_port("127.0.0.1", port) ? port : -1;
    }
    if (bound <= 0) {
        if (error)
            *error = QStringLiteral("cannot bind 127.0.0.1:%1").arg(port);
        return false;
    }
    d->port = quint16(bound);
    d->state.base = QStringLiteral("http://127.0.0.1:%1").arg(d->port);
    for (auto& [seq, doc] : d->state.docs) {
        doc.cache[0].clear();
        doc.cache[1].clear();
    }
    for (auto& [seq, c] : d->state.contacts)
        c.cache.clear();
    d->stopping = false;
    d->running = true;
    d->server = std::move(server);
    httplib::Server* raw = d->server.get();
    d->thread = std::thread([raw] { raw->listen_after_bind(); });
    // A stop before the server loop runs would not reach it and the loop would never end: answer only
    // once it runs (it starts at once on a bound socket; the bound keeps a broken start from hanging).
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (!raw->is_running() && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    return true;
}

void LocalService::stop()
{
    std::thread thread;
    std::unique_ptr<httplib::Server> server;
    {
        std::lock_guard lock(d->mutex);
        if (!d->running)
            return;
        d->stopping = true;
        d->running = false;
        thread = std::move(d->thread);
        server = std::move(d->server);
    }
    d->wake.notify_all();
    server->stop();
    shutdownAcceptedSockets(d->port);
    if (thread.joinable())
        thread.join();
    server.reset();
}

quint16 LocalService::port() const
{
    std::lock_guard lock(d->mutex);
    return d->port;
}

QString LocalService::baseUrl() const
{
    std::lock_guard lock(d->mutex);
    return d->state.base;
}

void LocalService::setClientCredentials(const QString& clientId, const QString& clientSecret)
{
    std::lock_guard lock(d->mutex);
    d->clientId = clientId;
    d->clientSecret = clientSecret;
}

void LocalService::setAccessTokenLifetime(int seconds)
{
    std::lock_guard lock(d->mutex);
    d->tokenLifetime = seconds;
}

QString LocalService::issueRefreshToken(const QString& email)
{
    std::lock_guard lock(d->mutex);
    const QString token = d->newToken("1_");
    d->refreshTokens.insert(token, email.isEmpty() ? d->state.ownerEmail : email);
    return token;
}

QString LocalService::issueAccessToken(const QString& email)
{
    std::lock_guard lock(d->mutex);
    return d->issueAccess(email.isEmpty() ? d->state.ownerEmail : email);
}

void LocalService::expireAccessTokens()
{
    std::lock_guard lock(d->mutex);
    for (Token& t : d->accessTokens)
        t.expired = true;
}

void LocalService::setAuthorizationDenied(bool denied)
{
    std::lock_guard lock(d->mutex);
    d->denyAuthorization = denied;
}

QString LocalService::ownerEmail() const
{
    std::lock_guard lock(d->mutex);
    return d->state.ownerEmail;
}

void LocalService::addFault(const Fault& fault)
{
    std::lock_guard lock(d->mutex);
    FaultSlot slot;
    slot.fault = fault;
    slot.pattern = QRegularExpression(fault.pathPattern);
    slot.remaining = std::max(1, fault.count);
    d->faults.append(slot);
}

void LocalService::clearFaults()
{
    {
        std::lock_guard lock(d->mutex);
        d->faults.clear();
        ++d->faultGeneration;
    }
    d->wake.notify_all();
}

int LocalService::hangingRequests() const
{
    std::lock_guard lock(d->mutex);
    return d->hanging;
}

QList<JournalEntry> LocalService::journal() const
{
    std::lock_guard lock(d->mutex);
    return d->journal;
}

void LocalService::clearJournal()
{
    std::lock_guard lock(d->mutex);
    d->journal.clear();
}

QString LocalService::addDocument(const QString& title, const QString& kind, const QString& ownerEmail,
                                  const QString& parentFolderId)
{
    std::lock_guard lock(d->mutex);
    if (State::kindFromTerm(QStringLiteral("http://schemas.google.com/docs/2007#") + kind).isEmpty())
        return {};
    if (!parentFolderId.isEmpty()) {
        const State::Doc* f = d->state.doc(parentFolderId);
        if (!f || f->kind != QLatin1String("folder"))
            return {};
    }
    State::Doc doc;
    doc.kind = kind;
    doc.title = title;
    if (kind == QLatin1String("pdf"))
        doc.mime = QStringLiteral("application/pdf");
    else if (kind == QLatin1String("file"))
        doc.mime = QStringLiteral("application/octet-stream");
    if (!ownerEmail.isEmpty() && ownerEmail.compare(d->state.ownerEmail, Qt::CaseInsensitive) != 0) {
        doc.ownerEmail = ownerEmail;
        doc.ownerName = ownerEmail.section(QLatin1Char('@'), 0, 0);
        State::Acl mine;
        mine.scopeType = QStringLiteral("user");
        mine.scopeValue = d->state.ownerEmail;
        mine.role = QStringLiteral("writer");
        doc.acl.append(mine);
    }
    if (!parentFolderId.isEmpty())
        doc.parents << parentFolderId;
    doc.md5 = QString::fromLatin1(QCryptographicHash::hash({}, QCryptographicHash::Md5).toHex());
    doc.published = d->state.now();
    return d->state.insertDoc(std::move(doc)).rid;
}

namespace {
// Changes made through the test interface come from another person: the owner when that is not the
// account's user, else the first other person on the access list, else a stranger.
void modifiedBySomeoneElse(State& state, State::Doc& doc)
{
    QString email;
    if (doc.ownerEmail.compare(state.ownerEmail, Qt::CaseInsensitive) != 0) {
        email = doc.ownerEmail;
    } else {
        for (const State::Acl& a : doc.acl) {
            if (a.scopeType == QLatin1String("user") &&
                a.scopeValue.compare(state.ownerEmail, Qt::CaseInsensitive) != 0) {
                email = a.scopeValue;
                break;
            }
        }
    }
    if (email.isEmpty())
        email = QStringLiteral("someone@example.org");
    doc.modifiedByEmail = email;
    doc.modifiedByName = email == doc.ownerEmail ? doc.ownerName : email.section(QLatin1Char('@'), 0, 0);
}
} // namespace

bool LocalService::renameDocument(const QString& resourceId, const QString& title)
{
    std::lock_guard lock(d->mutex);
    State::Doc* doc = d->state.doc(resourceId);
    if (!doc)
        return false;
    doc->title = title;
    modifiedBySomeoneElse(d->state, *doc);
    d->state.touch(*doc);
    return true;
}

bool LocalService::trashDocument(const QString& resourceId)
{
    std::lock_guard lock(d->mutex);
    State::Doc* doc = d->state.doc(resourceId);
    if (!doc)
        return false;
    d->trash(*doc, true);
    d->state.touch(*doc);
    return true;
}

bool LocalService::deleteDocument(const QString& resourceId)
{
    std::lock_guard lock(d->mutex);
    if (!d->state.doc(resourceId))
        return false;
    d->state.removeDoc(resourceId);
    return true;
}

bool LocalService::shareDocument(const QString& resourceId, const QString& email, const QString& role)
{
    std::lock_guard lock(d->mutex);
    State::Doc* doc = d->state.doc(resourceId);
    if (!doc)
        return false;
    for (State::Acl& a : doc->acl) {
        if (a.scopeType == QLatin1String("user") && a.scopeValue == email) {
            a.role = role;
            ++a.version;
            a.updated = d->state.now();
            d->state.touch(*doc, false);
            return true;
        }
    }
    State::Acl a;
    a.scopeType = QStringLiteral("user");
    a.scopeValue = email;
    a.role = role;
    a.updated = d->state.now();
    doc->acl.append(a);
    d->state.touch(*doc, false);
    return true;
}

bool LocalService::setDocumentContent(const QString& resourceId, const QByteArray& content)
{
    std::lock_guard lock(d->mutex);
    State::Doc* doc = d->state.doc(resourceId);
    if (!doc)
        return false;
    doc->content = content;
    doc->md5 = QString::fromLatin1(QCryptographicHash::hash(content, QCryptographicHash::Md5).toHex());
    ++doc->revisions;
    modifiedBySomeoneElse(d->state, *doc);
    d->state.touch(*doc);
    return true;
}

qint64 LocalService::largestChangestamp() const
{
    std::lock_guard lock(d->mutex);
    return d->state.changestamp;
}

QStringList LocalService::documentIds() const
{
    std::lock_guard lock(d->mutex);
    QStringList ids;
    ids.reserve(int(d->state.docs.size()));
    for (const auto& [seq, doc] : d->state.docs)
        ids << doc.rid;
    return ids;
}

QString LocalService::documentTitle(const QString& resourceId) const
{
    std::lock_guard lock(d->mutex);
    const State::Doc* doc = d->state.doc(resourceId);
    return doc ? doc->title : QString();
}

bool LocalService::loadSeed(const QByteArray& json, QString* error)
{
    std::lock_guard lock(d->mutex);
    const QString base = d->state.base;
    const bool ok = LocalServiceSeed::load(d->state, json, error);
    d->state.base = base;
    d->uploads.clear();
    return ok;
}

void LocalService::generate(const GenerateOptions& options)
{
    std::lock_guard lock(d->mutex);
    const QString base = d->state.base;
    LocalServiceSeed::generate(d->state, options);
    d->state.base = base;
    d->uploads.clear();
}

QByteArray LocalService::exportSeed() const
{
    std::lock_guard lock(d->mutex);
    return LocalServiceSeed::exportJson(d->state);
}

} // namespace tavrel::localservice
