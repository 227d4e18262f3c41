#include "platform/system/TQLog.h"

#include "platform/system/TQLogger.h"

#include <cstring>

namespace tavrel::detail {

QString logArgumentText(const QVariant& value)
{
    if (!value.isValid())
        return QStringLiteral("(null)");
    return value.toString();
}

QString formatLogMessage(const char* format, const QStringList& arguments)
{
    QString out;
    QByteArray literal; // format text is UTF-8: decode runs of it whole
    int next = 0;
    for (const char* p = format; *p; ++p) {
        if (*p != '%') {
            literal += *p;
            continue;
        }
        if (p[1] == '%') {
            literal += '%';
            ++p;
            continue;
        }
        out += QString::fromUtf8(literal);
        literal.clear();
        const char* q = p + 1;
        while (*q && std::strchr("0123456789.-+ #lhqzjt", *q))
            ++q;
        if (!*q)
            break;
        out += next < arguments.size() ? arguments.at(next) : QString();
        ++next;
        p = q;
    }
    out += QString::fromUtf8(literal);
    return out;
}

void writeLogMessage(const QString& message)
{
    // Without a log file the message is dropped; the next one tries again.
    if (TQLogger* logger = TQLogger::logger())
        logger->logFormat(message);
}

} // namespace tavrel::detail
