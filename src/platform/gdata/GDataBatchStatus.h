#pragma once

#include <QString>

namespace tavrel {

// batch:status of one answered batch entry.
class GDataBatchStatus
{
public:
    GDataBatchStatus() = default;
    GDataBatchStatus(int code, QString reason, QString contentType = {})
        : m_code(code), m_reason(std::move(reason)), m_contentType(std::move(contentType))
    {}

    int code() const { return m_code; }
    const QString& reason() const { return m_reason; }
    const QString& contentType() const { return m_contentType; }

private:
    int m_code = 0;
    QString m_reason;
    QString m_contentType;
};

} // namespace tavrel
