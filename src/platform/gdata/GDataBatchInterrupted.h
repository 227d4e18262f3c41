#pragma once

#include <QString>

namespace tavrel {

// batch:interrupted: the service stopped working through a batch.
class GDataBatchInterrupted
{
public:
    GDataBatchInterrupted() = default;
    GDataBatchInterrupted(QString reason, int totalCount, int successCount, int errorCount)
        : m_reason(std::move(reason)), m_totalCount(totalCount), m_successCount(successCount),
          m_errorCount(errorCount)
    {}

    const QString& reason() const { return m_reason; }
    int totalCount() const { return m_totalCount; }
    int successCount() const { return m_successCount; }
    int errorCount() const { return m_errorCount; }

private:
    QString m_reason;
    int m_totalCount = 0;
    int m_successCount = 0;
    int m_errorCount = 0;
};

} // namespace tavrel
