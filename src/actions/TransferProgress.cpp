#include "actions/TransferProgress.h"

#include "platform/runtime/Invocation.h"
#include "progress/IProgressConsumer.h"

#include <atomic>

namespace tavrel {

namespace {
std::atomic<quint64> g_nextItem{1};
} // namespace

void TransferProgress::setConsumer(QObject* consumer, const QString& progressID)
{
    m_consumer = consumer;
    m_progressID = progressID;
    m_totalProgress = 0;
    m_currentProgress = 0;
    m_lastProgress = 0;
}

bool TransferProgress::consumerTakesProgress() const
{
    return m_consumer &&
           Invocation::respondsToSelector(m_consumer, IProgressConsumer::kActionDidProgressSelector);
}

QString TransferProgress::addItem(quint64 size)
{
    const QString identifier = QStringLiteral("upload_%1").arg(g_nextItem.fetch_add(1));
    m_totalProgress += size;
    m_sizes.insert(identifier, size);
    return identifier;
}

void TransferProgress::itemDidProgress(const QString& identifier, const QVariantMap& arguments, quint64 part,
                                       quint64 total)
{
    const quint64 expected = m_sizes.value(identifier, 0);
    if (expected != 0 && expected != total) {
        m_totalProgress = m_totalProgress - expected + total;
        m_sizes.insert(identifier, total);
    }
    // A count that went back (a step that starts over) adds nothing until it passes where it was.
    if (part > m_lastProgress) {
        m_currentProgress += part - m_lastProgress;
        m_lastProgress = part;
    }
    IProgressConsumer::sendActionDidProgress(m_consumer, m_progressID, arguments, m_currentProgress,
                                             std::max(m_totalProgress, m_currentProgress));
}

} // namespace tavrel
