#include "Journal.h"

namespace tavrel::localservice {

void Journal::append(JournalEntry entry, bool refused)
{
    entry.bodySize = entry.body.size();
    if (refused)
        entry.body = QByteArray();
    else if (entry.body.size() > kMaximumBodyBytesPerEntry)
        entry.body = entry.body.left(kMaximumBodyBytesPerEntry);
    m_bodyBytes += entry.body.size();
    m_entries.append(std::move(entry));
    if (m_entries.size() > kMaximumEntries) {
        m_bodyBytes -= m_entries.first().body.size();
        m_entries.removeFirst();
        m_oldestBody = std::max<qsizetype>(0, m_oldestBody - 1);
    }
    while (m_bodyBytes > kMaximumBodyBytes && m_oldestBody < m_entries.size()) {
        QByteArray& body = m_entries[m_oldestBody++].body;
        m_bodyBytes -= body.size();
        body = QByteArray();
    }
}

void Journal::clear()
{
    m_entries.clear();
    m_bodyBytes = 0;
    m_oldestBody = 0;
}

} // namespace tavrel::localservice
