#pragma once

#include <QString>
#include <QStringList>
#include <optional>

namespace tavrel {

// Several selected items standing where one is expected (share and change-owner dialogs, thumbnails,
// quota displays). Items are paths: a local path, a file URL's text or a document record's path value.
class TQArrayItemWrapper
{
public:
    static TQArrayItemWrapper wrapperWithArray(const QStringList& items);

    const QStringList& items() const { return m_items; }
    // One item: its last path component; otherwise the "SharingNItems" text with the number of items.
    QString title() const;
    // Several items report no quota.
    std::optional<qint64> quotaBytesUsed() const { return std::nullopt; }

    // The last component of a path or URL text, ignoring a trailing slash ("/a/b/" gives "b").
    static QString lastPathComponent(const QString& path);

private:
    explicit TQArrayItemWrapper(QStringList items) : m_items(std::move(items)) {}
    QStringList m_items;
};

} // namespace tavrel
