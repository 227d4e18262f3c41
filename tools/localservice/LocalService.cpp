#include "LocalService.h"

#include "LocalServiceImpl.h"
#include "LocalServiceSeed.h"
#include "RequestMessage.h"

#include <QCryptographicHash>
#include <arpa/inet.h>
#include <chrono>
#include <dirent.h>
#include <httplib.h>
#include <netinet/in.h>
#include <sys/socket.h>

namespace tavrel::localservice {

namespace {
using State = LocalServiceState;

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
    d->oauth.setClientCredentials(clientId, clientSecret);
}

void LocalService::setAccessTokenLifetime(int seconds)
{
    std::lock_guard lock(d->mutex);
    d->oauth.setAccessTokenLifetime(seconds);
}

void LocalService::setUploadSessionLifetime(qint64 milliseconds)
{
    std::lock_guard lock(d->mutex);
    d->transfers.setSessionLifetime(milliseconds);
}

int LocalService::openUploadSessions() const
{
    std::lock_guard lock(d->mutex);
    return d->transfers.openSessions();
}

QString LocalService::issueRefreshToken(const QString& email)
{
    std::lock_guard lock(d->mutex);
    return d->oauth.issueRefreshToken(email.isEmpty() ? d->state.ownerEmail : email);
}

QString LocalService::issueAccessToken(const QString& email)
{
    std::lock_guard lock(d->mutex);
    return d->oauth.issueAccessToken(email.isEmpty() ? d->state.ownerEmail : email);
}

void LocalService::expireAccessTokens()
{
    std::lock_guard lock(d->mutex);
    d->oauth.expireAccessTokens();
}

void LocalService::revokeTokens()
{
    std::lock_guard lock(d->mutex);
    d->oauth.revokeTokens();
}

void LocalService::setAuthorizationDenied(bool denied)
{
    std::lock_guard lock(d->mutex);
    d->oauth.setAuthorizationDenied(denied);
}

QString LocalService::ownerEmail() const
{
    std::lock_guard lock(d->mutex);
    return d->state.ownerEmail;
}

void LocalService::addFault(const Fault& fault)
{
    std::lock_guard lock(d->mutex);
    Impl::FaultSlot slot;
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
    return d->journal.entries();
}

void LocalService::clearJournal()
{
    std::lock_guard lock(d->mutex);
    d->journal.clear();
}

DirectAnswer LocalService::handleMessage(const QByteArray& message)
{
    Request r;
    QByteArray refusal;
    if (!RequestMessage::parse(message, &r, &refusal) && r.method.isEmpty())
        return DirectAnswer{400, {}, refusal};
    quint64 generation = 0;
    const std::optional<Fault> fault = d->takeFault(r, &generation);
    const Response out = d->respond(r, fault, generation, false, refusal);
    DirectAnswer answer{out.status, out.headers, out.body};
    answer.headers.append({"Content-Type", out.contentType});
    return answer;
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
    DocumentResource::trash(*doc, true);
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

DocumentSnapshot LocalService::document(const QString& resourceId) const
{
    std::lock_guard lock(d->mutex);
    const State::Doc* doc = d->state.doc(resourceId);
    if (!doc)
        return {};
    return {doc->rid, doc->kind, doc->title, doc->mime, doc->parents, doc->content, doc->revisions};
}

bool LocalService::loadSeed(const QByteArray& json, QString* error)
{
    std::lock_guard lock(d->mutex);
    const QString base = d->state.base;
    const bool ok = LocalServiceSeed::load(d->state, json, error);
    d->state.base = base;
    d->transfers.clear();
    return ok;
}

void LocalService::generate(const GenerateOptions& options)
{
    std::lock_guard lock(d->mutex);
    const QString base = d->state.base;
    LocalServiceSeed::generate(d->state, options);
    d->state.base = base;
    d->transfers.clear();
}

QByteArray LocalService::exportSeed() const
{
    std::lock_guard lock(d->mutex);
    return LocalServiceSeed::exportJson(d->state);
}

} // namespace tavrel::localservice
