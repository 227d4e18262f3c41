#pragma once

#include "platform/gdata/GDataQuery.h"

namespace tavrel {

// Query of the documents list and of its upload and edit addresses.
class GDataQueryDocs : public GDataQuery
{
public:
    using GDataQuery::GDataQuery;
    static GDataQueryDocs documentQueryWithFeedURL(const QUrl& feedURL) { return GDataQueryDocs(feedURL); }

    void setTitleQuery(const QString& title) { setParameter(QStringLiteral("title"), title); }
    void setShouldShowFolders(bool flag) { setBool(QStringLiteral("showfolders"), flag); }
    void setShouldConvertUpload(bool flag) { setBool(QStringLiteral("convert"), flag); }
    void setShouldOCRUpload(bool flag) { setBool(QStringLiteral("ocr"), flag); }
    void setShouldCreateNewRevision(bool flag) { setBool(QStringLiteral("new-revision"), flag); }
    void setShouldActuallyDelete(bool flag) { setBool(QStringLiteral("delete"), flag); }
    void setExportFormat(const QString& format)
    {
        setParameter(QStringLiteral("exportFormat"), format);
        setParameter(QStringLiteral("format"), format);
    }
};

} // namespace tavrel
