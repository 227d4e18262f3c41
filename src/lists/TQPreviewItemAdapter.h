#pragma once

#include <QMutex>
#include <QString>
#include <QUrl>
#include <memory>

namespace tavrel {

// What the lists hand the preview panel for one document: the local file to show and its title. The
// panel may read it from its own thread, so each value is read and written whole.
class TQPreviewItemAdapter
{
public:
    static std::shared_ptr<TQPreviewItemAdapter> previewItemWithURL(const QUrl& url, const QString& title);

    QUrl previewItemURL() const;
    void setPreviewItemURL(const QUrl& url);
    QString previewItemTitle() const;
    void setPreviewItemTitle(const QString& title);

private:
    mutable QMutex m_mutex;
    QUrl m_previewItemURL;
    QString m_previewItemTitle;
};

} // namespace tavrel
