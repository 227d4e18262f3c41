#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QMap>
#include <QPair>
#include <QString>
#include <QStringList>
#include <memory>

namespace tavrel::localservice {

// One request as the service received it, for tests to assert what went over the wire.
struct JournalEntry
{
    QString method;
    QString path;                   // decoded path, no query
    QString rawTarget;              // path and query as sent
    QMap<QString, QString> query;   // decoded query parameters
    QMap<QString, QString> headers; // names in lower case
    QByteArray body;                // the first MiB of it; nothing for a refused request
    qint64 bodySize = 0;            // how many bytes the body had
    int status = 0;                 // what the service answered
};

// What handleMessage answers.
struct DirectAnswer
{
    int status = 0;
    QList<QPair<QByteArray, QByteArray>> headers;
    QByteArray body;
};

// A fault applied to the next `count` requests whose method matches (empty: any) and whose path
// matches the regular expression `pathPattern` (empty: any).
struct Fault
{
    enum Kind {
        Status,         // answer `status` with a short body (and Retry-After 0 for 503)
        Delay,          // wait `delayMs` before handling the request normally
        Hang,           // never answer until the fault is cleared or the service stops
        DropAfterBytes, // close the connection after `bytes` bytes of the request body were read,
                        // or, for answers, after `bytes` bytes of the answer body were sent
                        // (a request with a body is cut in its body; the bytes that came are used,
                        // as an upload chunk keeps them)
        MalformedBody,  // answer 200 with a body that is not well-formed XML
        Answer,         // answer `status` with `headers` and `body` as they are (a redirect, a broken
                        // encoding, an upload session elsewhere ...)
        Stream,         // answer `status` with `headers`, no length, `body` then `filler` again and again,
                        // `delayMs` apart, until `bytes` went out (0: until the client goes or the
                        // service stops)
    };
    Kind kind = Status;
    QString method;
    QString pathPattern;
    int count = 1;
    int status = 500;
    int delayMs = 0;
    qint64 bytes = 0;
    QList<QPair<QByteArray, QByteArray>> headers = {};
    QByteArray body = {};
    QByteArray filler = {};
};

// What the service holds of one document, for tests to compare with what the client sent.
struct DocumentSnapshot
{
    QString resourceId;
    QString kind;
    QString title;
    QString mime;
    QStringList parents; // folder resource ids
    QByteArray content;
    int revisions = 0;
};

// Size of a generated account.
struct GenerateOptions
{
    QString ownerEmail = QStringLiteral("demo@tavrel.test");
    QString ownerName = QStringLiteral("Demo User");
    int documents = 40;
    int collections = 5;
    int contacts = 20;
    int sharedPeople = 10; // distinct other people appearing in access lists
    quint32 seed = 1;      // same seed, same account
};

// The cloud document and contacts service, in memory, on 127.0.0.1. Thread-safe: tests call it while
// the HTTP threads serve. Endpoints under baseUrl(): /feeds/default/private/full (documents, with
// /batch, /{resourceId}, /{resourceId}/acl, /{resourceId}/acl/batch, /{folderId}/contents),
// /feeds/default/private/changes, /feeds/metadata/default, /feeds/upload/create-session/default/private/full,
// /feeds/download/..., /m8/feeds/contacts/default/full (with /batch), /m8/feeds/photos/media/default/{id},
// /o/oauth2/auth, /o/oauth2/token, /oauth2/v1/userinfo.
class LocalService
{
public:
    LocalService();
    ~LocalService();
    LocalService(const LocalService&) = delete;
    LocalService& operator=(const LocalService&) = delete;

    // 0 picks a free port. Answers false (with a reason) when the port cannot be bound.
    bool start(quint16 port = 0, QString* error = nullptr);
    void stop();
    quint16 port() const;
    QString baseUrl() const; // "http://127.0.0.1:PORT"

    // Seeding: replaces the whole account.
    bool loadSeed(const QByteArray& json, QString* error = nullptr);
    void generate(const GenerateOptions& options);
    QByteArray exportSeed() const; // the current state as seed JSON

    // OAuth: the client the service accepts, and the tokens it hands out.
    void setClientCredentials(const QString& clientId, const QString& clientSecret);
    void setAccessTokenLifetime(int seconds);
    QString issueRefreshToken(const QString& email);     // for tests that skip the browser
    QString issueAccessToken(const QString& email = {}); // empty: the owner; valid for the set lifetime
    void setAuthorizationDenied(bool denied);            // the authorisation page answers error=access_denied
    void expireAccessTokens();                           // every access token issued so far stops working
    // Every token issued so far stops working and refresh tokens are refused ("invalid_grant"), as
    // when the user withdrew the program's access.
    void revokeTokens();
    QString ownerEmail() const;

    // Upload sessions: how long one stays open after its last request (a week unless set), and how many
    // are open now. An expired session is forgotten with its bytes.
    void setUploadSessionLifetime(qint64 milliseconds);
    int openUploadSessions() const;

    // Faults and the journal.
    void addFault(const Fault& fault);
    void clearFaults();
    int hangingRequests() const; // requests held by a Hang fault right now
    QList<JournalEntry> journal() const;
    void clearJournal();

    // Handles one HTTP/1.1 request message (request line, headers, then Content-Length bytes of body, or
    // all that follows the head without that header) in-process, the way a request over the socket goes:
    // faults, token, route, journal. The service need not be started. For tests and the fuzz target.
    DirectAnswer handleMessage(const QByteArray& message);

    // Changes made "by someone else", as the service's own state changes; each bumps the changestamp.
    // A rename or new content names another person as the last modifier (the owner when not the user).
    // They answer the resource id ("document:...") or an empty string when nothing matched.
    QString addDocument(const QString& title, const QString& kind = QStringLiteral("document"),
                        const QString& ownerEmail = {}, const QString& parentFolderId = {});
    bool renameDocument(const QString& resourceId, const QString& title);
    bool trashDocument(const QString& resourceId);
    bool deleteDocument(const QString& resourceId); // permanent
    bool shareDocument(const QString& resourceId, const QString& email, const QString& role);
    bool setDocumentContent(const QString& resourceId, const QByteArray& content);
    qint64 largestChangestamp() const;
    QStringList documentIds() const;
    QString documentTitle(const QString& resourceId) const; // empty when no such document
    // The document as stored now; an empty resourceId when there is none.
    DocumentSnapshot document(const QString& resourceId) const;

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

} // namespace tavrel::localservice
