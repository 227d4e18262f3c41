#include "platform/gdata/GDataServiceTicket.h"

#include "platform/gdata/GDataResumableUpload.h"

namespace tavrel {

GDataServiceTicket::~GDataServiceTicket() = default;

void GDataServiceTicket::setProperty(const QString& key, const QVariant& value)
{
    std::lock_guard lock(m_mutex);
    if (value.isValid())
        m_properties.insert(key, value);
    else
        m_properties.remove(key);
}

QVariant GDataServiceTicket::propertyForKey(const QString& key) const
{
    std::lock_guard lock(m_mutex);
    return m_properties.value(key);
}

QVariantMap GDataServiceTicket::properties() const
{
    std::lock_guard lock(m_mutex);
    return m_properties;
}

void GDataServiceTicket::cancelTicket()
{
    m_cancelled = true;
    GTMHTTPFetcherPtr fetcher;
    std::shared_ptr<GDataResumableUpload> upload;
    {
        // Dropping them here also breaks the reference cycles through their callbacks.
        std::lock_guard lock(m_mutex);
        fetcher = std::move(m_fetcher);
        upload = std::move(m_upload);
        m_fetcher.reset();
        m_upload.reset();
    }
    if (fetcher)
        fetcher->stopFetching();
    if (upload)
        upload->cancel();
}

void GDataServiceTicket::reportUploadProgress(quint64 sent, quint64 total)
{
    if (m_cancelled || sent < m_uploadReported)
        return;
    m_uploadReported = sent;
    auto self = shared_from_this();
    if (m_serviceUploadProgress)
        m_serviceUploadProgress(self, sent, total);
    if (m_uploadProgress)
        m_uploadProgress(self, sent, total);
}

} // namespace tavrel
