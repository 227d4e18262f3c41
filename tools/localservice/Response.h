#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>

class QJsonObject;

namespace tavrel::localservice {

// An answer before it goes on the wire.
struct Response
{
    static constexpr const char* kAtomFeed = "application/atom+xml; charset=UTF-8; type=feed";
    static constexpr const char* kAtomEntry = "application/atom+xml; charset=UTF-8; type=entry";
    static constexpr const char* kText = "text/plain; charset=UTF-8";
    static constexpr const char* kHtml = "text/html; charset=UTF-8";
    static constexpr const char* kJson = "application/json; charset=utf-8";
    static constexpr const char* kXmlHeader = "<?xml version='1.0' encoding='UTF-8'?>";

    int status = 200;
    QByteArray contentType = kText;
    QByteArray body;
    QList<QPair<QByteArray, QByteArray>> headers;
    bool drop = false; // close the connection (after `dropAfter` bytes of the body)
    qint64 dropAfter = 0;
    // A body of no stated length: `body`, then `filler` every `streamDelayMs` until `streamBytes` (0: never).
    bool stream = false;
    QByteArray filler;
    int streamDelayMs = 0;
    qint64 streamBytes = 0;

    void header(const QByteArray& name, const QByteArray& value) { headers.append({name, value}); }

    static Response text(int status, const QByteArray& body);
    static Response html(int status, const QByteArray& body);
    static Response xml(int status, const QByteArray& contentType, const QByteArray& body);
    static Response json(int status, const QJsonObject& object);
};

} // namespace tavrel::localservice
