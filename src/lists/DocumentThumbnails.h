#pragma once

#include "platform/store/ManagedObject.h"

#include <QCache>
#include <QHash>
#include <QObject>
#include <QPixmap>
#include <QSet>
#include <QSizeF>
#include <QThreadPool>

namespace tavrel {

// The pictures of document rows at one size: a document's cached thumbnail file is read and scaled on
// a worker thread the first time a row asks for it (only rows being drawn ask), and the kind's icon
// stands in until it is ready; everything else (collections, kinds' icons, thumbnails read before) is
// answered at once. Main thread only; the reads it started end before it does.
class DocumentThumbnails : public QObject
{
    Q_OBJECT
public:
    explicit DocumentThumbnails(const QSizeF& size, QObject* parent = nullptr);
    ~DocumentThumbnails() override;

    // The record's picture now; never null for a document or collection.
    QPixmap thumbnail(const ManagedObjectPtr& record);
    // The file a record's thumbnail is read from ("" when it has none to read).
    static QString iconPathOf(const ManagedObjectPtr& record);

signals:
    // The thumbnail of that file was read (or could not be): rows showing it draw it again.
    void thumbnailReady(const QString& iconPath);

private:
    void read(const QString& iconPath);
    void didRead(const QString& iconPath, const QImage& image);
    QPixmap placeholder(const ManagedObjectPtr& record);

    QSizeF m_size;
    // The thumbnails read, by file, the most recent kept.
    QCache<QString, QPixmap> m_ready;
    QSet<QString> m_reading;
    QSet<QString> m_unreadable;
    QHash<QString, QPixmap> m_placeholders;
    QThreadPool m_pool;
};

} // namespace tavrel
