#pragma once

#include "Request.h"

#include <QByteArray>
#include <QString>

namespace tavrel::localservice {

// A request's head and body as they arrive, before any handler sees them: the rules on Content-Length
// that a request over the socket meets, and the reading of a whole HTTP/1.1 message for requests handed
// over in-process.
class RequestMessage
{
public:
    // Larger bodies are refused rather than held in memory.
    static constexpr qint64 kMaximumBodyBytes = qint64(512) << 20;

    // Why a request target is refused: only visible ASCII may stand in one (a space ends it, and
    // control characters would end up in answers that quote it); empty when it is usable.
    static QByteArray refusedTarget(const QByteArray& target);
    // Why a Content-Length header is refused (not a decimal number, or above the maximum); empty when it
    // is usable, and then `length` holds it.
    static QByteArray refusedLength(const QString& header, qint64* length);

    // Reads "METHOD target [HTTP/1.x]", header lines and the body: Content-Length bytes of what follows
    // the head, or all of it without that header. The path and query are decoded as the server decodes
    // them. False with `refusal` set when the message is not a request or its body falls short.
    static bool parse(const QByteArray& message, Request* request, QByteArray* refusal);
    // Sets path, raw target and query from a request target ("/path?a=b").
    static void setTarget(Request* request, const QByteArray& target);
};

} // namespace tavrel::localservice
