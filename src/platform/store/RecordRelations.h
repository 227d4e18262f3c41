#pragma once

#include "platform/store/KeyBits.h"
#include "platform/store/ManagedObjectID.h"

#include <QList>
#include <QSet>
#include <memory>
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
    // Whether list(i) holds id. Long lists answer from a set built on first use, so relating many records
    // to one (every file to its owner) stays linear overall.
    bool contains(int i, const ManagedObjectID& id) const
    {
        auto it = const_cast<RecordRelations*>(this)->find(i);
        if (it == m_lists.end() || it->index != i)
            return false;
        if (it->ids.size() < kIndexedFrom)
            return it->ids.contains(id);
        if (!it->members)
            it->members = std::make_unique<QSet<ManagedObjectID>>(it->ids.cbegin(), it->ids.cend());
        return it->members->contains(id);
    }
    // Appends id in place; the relationship counts as loaded.
    void append(int i, const ManagedObjectID& id)
    {
        m_loaded.insert(i);
        auto it = find(i);
        if (it == m_lists.end() || it->index != i)
            it = m_lists.insert(it, Entry{i, {}, {}});
        it->ids.append(id);
        if (it->members)
            it->members->insert(id);
    }
    // Removes every occurrence of id in place.
    void remove(int i, const ManagedObjectID& id)
    {
        auto it = find(i);
        if (it == m_lists.end() || it->index != i)
            return;
        it->ids.removeAll(id);
        if (it->ids.isEmpty())
            m_lists.erase(it);
        else if (it->members)
            it->members->remove(id);
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
            it->members.reset();
        } else {
            m_lists.insert(it, Entry{i, ids, {}});
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
    static constexpr qsizetype kIndexedFrom = 16;

    struct Entry
    {
        Entry(int i, const QList<ManagedObjectID>& list, std::unique_ptr<QSet<ManagedObjectID>> set)
            : index(i), ids(list), members(std::move(set))
        {}
        // A copy rebuilds its set when asked.
        Entry(const Entry& other) : index(other.index), ids(other.ids) {}
        Entry& operator=(const Entry& other)
        {
            index = other.index;
            ids = other.ids;
            members.reset();
            return *this;
        }
        Entry(Entry&&) = default;
        Entry& operator=(Entry&&) = default;

        int index;
        QList<ManagedObjectID> ids;
        mutable std::unique_ptr<QSet<ManagedObjectID>> members; // for long lists, built lazily
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
