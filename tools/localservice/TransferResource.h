#pragma once

#include "DocInput.h"
#include "DocumentResource.h"
#include "LocalServiceState.h"
#include "Request.h"
#include "Response.h"

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
    };

    LocalServiceState& m_state;
    DocumentResource& m_documents;
    QHash<QString, Upload> m_uploads;
    quint64 m_uploadCounter = 0;
};

} // namespace tavrel::localservice
