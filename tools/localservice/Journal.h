#pragma once

#include "LocalService.h"

#include <QList>

namespace tavrel::localservice {

// The requests the service served, for tests to read: each one's line, headers and status, and as much of
// its body as tests look at. Bounded, so that a long run or a flood of large requests cannot grow it
// without end: the oldest entries go first, and then the oldest bodies when all bodies together pass
// their limit. A refused request (no valid token, or a malformed body) keeps no body at all.
class Journal
{
public:
    static constexpr qsizetype kMaximumEntries = 10000;
    static constexpr qsizetype kMaximumBodyBytesPerEntry = qsizetype(1) << 20;
    static constexpr qint64 kMaximumBodyBytes = qint64(64) << 20;

    void append(JournalEntry entry, bool refused);
    QList<JournalEntry> entries() const { return m_entries; }
    void clear();

private:
    QList<JournalEntry> m_entries;
    qint64 m_bodyBytes = 0;     // held by the bodies of m_entries
    qsizetype m_oldestBody = 0; // entries before it hold no body
};

} // namespace tavrel::localservice
