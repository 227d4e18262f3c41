#pragma once

#include "platform/gdata/GDataEntryDocBase.h"

namespace tavrel {

// The account's metadata entry: the largest changestamp and the quota.
class GDataEntryDocListMetadata : public GDataEntryBase
{
    TAVREL_GDATA_OBJECT(GDataEntryDocListMetadata, GDataEntryBase)

    std::optional<qint64> largestChangestamp() const
    {
        return number(childAttribute("docs:largestChangestamp"));
    }
    std::optional<qint64> quotaBytesTotal() const { return number(childText("gd:quotaBytesTotal")); }
    std::optional<qint64> quotaBytesUsed() const { return number(childText("gd:quotaBytesUsed")); }
    std::optional<qint64> quotaBytesUsedInTrash() const
    {
        return number(childText("docs:quotaBytesUsedInTrash"));
    }

private:
    static std::optional<qint64> number(const QString& text)
    {
        bool ok = false;
        const qint64 value = text.trimmed().toLongLong(&ok);
        return ok ? std::optional<qint64>(value) : std::nullopt;
    }
};

} // namespace tavrel
