#pragma once

#include <QCache>
#include <QHash>
#include <QObject>
#include <QPixmap>
#include <QSet>
#include <QThreadPool>

namespace tavrel {

// People's photos at one edge: a cached avatar file is read and scaled on a worker thread the first
// time a row being drawn asks for it, and the placeholder stands in until it is ready. Main thread
// only; the reads it started end before it does.
class ContactAvatars : public QObject
{
    Q_OBJECT
public:
    explicit ContactAvatars(int edge, QObject* parent = nullptr);
    ~ContactAvatars() override;

    // The photo of the avatar file (a path or file URL) now: the placeholder while it is read, and for
    // an empty path or a file that cannot be read.
    QPixmap avatar(const QString& avatarPath);

signals:
    // The file was read (or could not be): rows showing it draw it again.
    void avatarReady(const QString& avatarPath);

private:
    void didRead(const QString& avatarPath, const QImage& image);

    int m_edge;
    QPixmap m_placeholder;
    QCache<QString, QPixmap> m_ready;
    QSet<QString> m_reading;
    QSet<QString> m_unreadable;
    QThreadPool m_pool;
};

} // namespace tavrel
