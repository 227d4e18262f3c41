#pragma once

#include "DocInput.h"
#include "DocumentResource.h"
#include "LocalServiceState.h"
#include "Request.h"
#include "Response.h"

#include <QElapsedTimer>
#include <QHash>

namespace tavrel::localservice {

// Content going in and out: resumable upload sessions (create and update), exports and file downloads,
// thumbnails.
class TransferResource
{
public:
    TransferResource(LocalServiceState& state, DocumentResource& documents);

    // A new session for the path below "create-session/default/private/{projection}/": nothing (create),
    // "{folderId}/contents" (create inside) or "{resourceId}" (new content).
    Response startUpload(const Request& r, const QString& rest, const QString& projection);
    // A chunk (or a "where to go on" question) of session `uploadId`; the last one makes the document.
    Response putChunk(const Request& r, const QString& uploadId);
    Response download(const Request& r);
    Response thumbnail() const;
    void clear(); // forgets every open session

    // How long a session stays open after its last request; an abandoned one is dropped with its bytes
    // then, as the service forgets it. A week by default.
    void setSessionLifetime(qint64 milliseconds) { m_sessionLifetimeMs = milliseconds; }
    static constexpr qint64 kDefaultSessionLifetimeMs = qint64(7) * 24 * 60 * 60 * 1000;
    int openSessions(); // after dropping the expired ones

private:
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
        QString account; // who opened the session
        qint64 lastUsedMs = 0;
    };

    void dropExpiredSessions();
    // The document made or changed by a session that has all its bytes.
    Response complete(Upload done);
    // Why the account may not write what the session writes (the document, or into the collection);
    // empty when it may.
    QByteArray writeRefusal(const Upload& up, const QString& account);

    LocalServiceState& m_state;
    DocumentResource& m_documents;
    QHash<QString, Upload> m_uploads;
    quint64 m_uploadCounter = 0;
    qint64 m_sessionLifetimeMs = kDefaultSessionLifetimeMs;
    QElapsedTimer m_clock;
};

} // namespace tavrel::localservice
