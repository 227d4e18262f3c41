#pragma once

#include "platform/store/KeyBits.h"
#include "platform/store/ManagedObjectID.h"

#include <QList>
#include <vector>

namespace tavrel {

// A record's relationship values by relationship position: which are loaded, and the ids of those that
// hold any. An empty or unloaded relationship takes no room.
class RecordRelations
{
public:
    // Nothing loaded, for n relationships.
    void resize(int n)
    {
        m_size = n;
        m_loaded.clear();
        std::vector<Entry>().swap(m_lists);
    }
    int size() const { return m_size; }
    // Every relationship known to be empty (a new record).
    void loadAllEmpty()
    {
        for (int i = 0; i < m_size; ++i)
            m_loaded.insert(i);
    }
    bool isLoaded(int i) const { return m_loaded.contains(i); }
    // The ids (none when empty or not loaded). Valid until the next change of this record's relations.
    const QList<ManagedObjectID>& list(int i) const
    {
        static const QList<ManagedObjectID> none;
        const auto it = find(i);
        return it != m_lists.end() && it->index == i ? it->ids : none;
    }
    // The list to change in place; the relationship counts as loaded.
    QList<ManagedObjectID>& edit(int i)
    {
        m_loaded.insert(i);
        auto it = find(i);
        if (it == m_lists.end() || it->index != i)
            it = m_lists.insert(it, Entry{i, {}});
        return it->ids;
    }
    void set(int i, const QList<ManagedObjectID>& ids)
    {
        m_loaded.insert(i);
        auto it = find(i);
        const bool present = it != m_lists.end() && it->index == i;
        if (ids.isEmpty()) {
            if (present)
                m_lists.erase(it);
        } else if (present) {
            it->ids = ids;
        } else {
            m_lists.insert(it, Entry{i, ids});
        }
    }
    void unload(int i)
    {
        m_loaded.remove(i);
        auto it = find(i);
        if (it != m_lists.end() && it->index == i)
            m_lists.erase(it);
    }

private:
    struct Entry
    {
        int index;
        QList<ManagedObjectID> ids;
    };
    std::vector<Entry>::iterator find(int i)
    {
        auto it = m_lists.begin();
        while (it != m_lists.end() && it->index < i)
            ++it;
        return it;
    }
    std::vector<Entry>::const_iterator find(int i) const
    {
        auto it = m_lists.begin();
        while (it != m_lists.end() && it->index < i)
            ++it;
        return it;
    }

    std::vector<Entry> m_lists; // by position
    KeyBits m_loaded;
    int m_size = 0;
};

} // namespace tavrel
