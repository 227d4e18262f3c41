#include "platform/system/TQLog.h"

#include "platform/system/TQLogger.h"

#include <cstring>
#include <string_view>

namespace tavrel {

Q_LOGGING_CATEGORY(lcStore, "tavrel.store")
Q_LOGGING_CATEGORY(lcSync, "tavrel.sync")
Q_LOGGING_CATEGORY(lcTransfers, "tavrel.transfers")
Q_LOGGING_CATEGORY(lcInterface, "tavrel.interface")
Q_LOGGING_CATEGORY(lcGeneral, "tavrel")

const QLoggingCategory& logCategoryForSourceFile(const char* path)
{
    using Category = const QLoggingCategory& (*)();
    struct Area
    {
        std::string_view part;
        Category category;
    };
    // Transfers are named after what they carry, wherever they live.
    static constexpr Area kTransferNames[] = {
        {"Transfer", lcTransfers}, {"Download", lcTransfers},    {"Upload", lcTransfers},
        {"Cache", lcTransfers},    {"Thumbnail", lcTransfers},   {"Avatar", lcTransfers},
        {"GetFile", lcTransfers},  {"FileMonitor", lcTransfers}, {"CopyHelper", lcTransfers},
    };
    static constexpr Area kFolders[] = {
        {"progress/", lcTransfers},    {"platform/store/", lcStore}, {"model/", lcStore},
        {"accounts/", lcStore},        {"importer/", lcStore},       {"platform/gdata/", lcSync},
        {"pipeline/", lcSync},         {"actions/", lcSync},         {"session/", lcSync},
        {"platform/ui/", lcInterface}, {"controls/", lcInterface},   {"window/", lcInterface},
        {"chrome/", lcInterface},      {"lists/", lcInterface},      {"sharing/", lcInterface},
        {"documents/", lcInterface},   {"contacts/", lcInterface},   {"notifications/", lcInterface},
        {"app/", lcInterface},
    };
    const std::string_view file = path ? path : "";
    const size_t source = file.rfind("src/");
    if (source == std::string_view::npos)
        return lcGeneral();
    const std::string_view below = file.substr(source + 4);
    const std::string_view name = below.substr(below.rfind('/') + 1);
    for (const Area& area : kTransferNames)
        if (name.find(area.part) != std::string_view::npos)
            return area.category();
    for (const Area& area : kFolders)
        if (below.starts_with(area.part))
            return area.category();
    return lcGeneral();
}

} // namespace tavrel

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
