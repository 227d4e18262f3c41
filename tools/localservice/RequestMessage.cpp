#include "RequestMessage.h"

#include <QUrl>
#include <QUrlQuery>

namespace tavrel::localservice {

QByteArray RequestMessage::refusedTarget(const QByteArray& target)
{
    for (const char c : target) {
        if (static_cast<unsigned char>(c) <= 0x20 || static_cast<unsigned char>(c) >= 0x7F)
            return "Malformed request target";
    }
    return {};
}

QByteArray RequestMessage::refusedLength(const QString& header, qint64* length)
{
    const QString text = header.trimmed();
    bool digits = !text.isEmpty();
    for (const QChar c : text)
        digits = digits && c >= QLatin1Char('0') && c <= QLatin1Char('9');
    bool ok = false;
    const qint64 value = digits ? text.toLongLong(&ok) : -1;
    if (!ok)
        return "Invalid Content-Length: " + text.left(40).toUtf8();
    if (value > kMaximumBodyBytes)
        return "Content-Length " + QByteArray::number(value) + " is above the limit of " +
               QByteArray::number(kMaximumBodyBytes);
    *length = value;
    return {};
}

void RequestMessage::setTarget(Request* request, const QByteArray& target)
{
    const qsizetype question = target.indexOf('?');
    const QByteArray path = question < 0 ? target : target.left(question);
    request->rawTarget = QString::fromUtf8(target);
    request->path = QUrl::fromPercentEncoding(path);
    request->query.clear();
    if (question >= 0) {
        // As the server reads a query: "+" is a space.
        QByteArray query = target.mid(question + 1);
        query.replace('+', "%20");
        for (const auto& [key, value] : QUrlQuery(QString::fromUtf8(query)).queryItems(QUrl::FullyDecoded))
            request->query.insert(key, value);
    }
}

bool RequestMessage::parse(const QByteArray& message, Request* request, QByteArray* refusal)
{
    qsizetype headEnd = message.indexOf("\r\n\r\n");
    qsizetype bodyStart = headEnd + 4;
    const qsizetype bare = message.indexOf("\n\n");
    if (bare >= 0 && (headEnd < 0 || bare < headEnd)) {
        headEnd = bare;
        bodyStart = bare + 2;
    }
    if (headEnd < 0) {
        headEnd = message.size();
        bodyStart = message.size();
    }
    const QList<QByteArray> lines = message.left(headEnd).split('\n');
    const QList<QByteArray> requestLine = lines.first().trimmed().split(' ');
    if (requestLine.size() < 2 || requestLine.size() > 3 || requestLine.at(0).isEmpty() ||
        !requestLine.at(1).startsWith('/')) {
        *refusal = "Malformed request line";
        return false;
    }
    request->method = QString::fromLatin1(requestLine.at(0));
    setTarget(request, requestLine.at(1));
    *refusal = refusedTarget(requestLine.at(1));
    if (!refusal->isEmpty())
        return false;
    request->headers.clear();
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QByteArray line = lines.at(i).trimmed();
        const qsizetype colon = line.indexOf(':');
        if (colon <= 0) {
            *refusal = "Malformed header line";
            return false;
        }
        const QString name = QString::fromLatin1(line.left(colon).trimmed()).toLower();
        const QString value = QString::fromUtf8(line.mid(colon + 1).trimmed());
        if (request->headers.contains(name))
            request->headers[name] += QStringLiteral(", ") + value;
        else
            request->headers.insert(name, value);
    }
    request->body = message.mid(bodyStart);
    if (request->headers.contains(QStringLiteral("content-length"))) {
        qint64 length = 0;
        *refusal = refusedLength(request->header("content-length"), &length);
        if (!refusal->isEmpty())
            return false;
        if (request->body.size() < length) {
            *refusal = "The request body is shorter than its Content-Length";
            return false;
        }
        request->body.truncate(length);
    }
    return true;
}

} // namespace tavrel::localservice
