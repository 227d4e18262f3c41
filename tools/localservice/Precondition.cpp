#include "Precondition.h"

namespace tavrel::localservice {

QString Precondition::mismatchText(const QString& sent, quint64 version)
{
    return QStringLiteral("Mismatch: etags = [%1], version = [%2]")
        .arg(sent, QString::number(version * 7919 + 104729, 36));
}

std::optional<Response> Precondition::refused(const QString& sent, const QString& current, quint64 version,
                                              bool required)
{
    if (sent.isEmpty()) {
        if (required)
            return Response::text(403, "If-Match or If-None-Match header or entry etag attribute required");
        return std::nullopt;
    }
    if (!matches(sent, current))
        return Response::text(412, mismatchText(sent, version).toUtf8());
    return std::nullopt;
}

} // namespace tavrel::localservice
