#include "lists/TQPreviewItemAdapter.h"

namespace tavrel {

std::shared_ptr<TQPreviewItemAdapter> TQPreviewItemAdapter::previewItemWithURL(const QUrl& url,
                                                                               const QString& title)
{
    auto item = std::make_shared<TQPreviewItemAdapter>();
    item->setPreviewItemURL(url);
    item->setPreviewItemTitle(title);
    return item;
}

QUrl TQPreviewItemAdapter::previewItemURL() const
{
    QMutexLocker lock(&m_mutex);
    return m_previewItemURL;
}

void TQPreviewItemAdapter::setPreviewItemURL(const QUrl& url)
{
    QMutexLocker lock(&m_mutex);
    m_previewItemURL = url;
}

QString TQPreviewItemAdapter::previewItemTitle() const
{
    QMutexLocker lock(&m_mutex);
    return m_previewItemTitle;
}

void TQPreviewItemAdapter::setPreviewItemTitle(const QString& title)
{
    QMutexLocker lock(&m_mutex);
    m_previewItemTitle = title;
}

} // namespace tavrel
