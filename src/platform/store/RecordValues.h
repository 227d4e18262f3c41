#pragma once

#include <QVariant>
#include <bit>
#include <vector>

namespace tavrel {

// A record's attribute values by attribute position. Only set values take room: most records leave
// many attributes nil. (Entities of more than 64 attributes keep every position.)
class RecordValues
{
public:
    // Every value nil, for n attributes.
    void resize(int n)
    {
        m_size = n;
        clear();
    }
    int size() const { return m_size; }
    const QVariant& at(int i) const
    {
        static const QVariant nil;
        if (i < 0 || i >= m_size)
            return nil;
        if (dense())
            return size_t(i) < m_values.size() ? m_values[size_t(i)] : nil;
        if (!((m_present >> i) & 1))
            return nil;
        return m_values[rank(i)];
    }
    QVariant value(int i) const { return at(i); }
    void set(int i, const QVariant& value)
    {
        if (i < 0 || i >= m_size)
            return;
        if (dense()) {
            if (m_values.size() < size_t(m_size))
                m_values.resize(size_t(m_size));
            m_values[size_t(i)] = value;
            return;
        }
        const quint64 bit = quint64(1) << i;
        const size_t at = rank(i);
        if (m_present & bit) {
            if (value.isValid()) {
                m_values[at] = value;
            } else {
                m_values.erase(m_values.begin() + qsizetype(at));
                m_present &= ~bit;
            }
        } else if (value.isValid()) {
            m_values.insert(m_values.begin() + qsizetype(at), value);
            m_present |= bit;
        }
    }
    void reserve(int n) { m_values.reserve(size_t(n)); }
    void clear()
    {
        m_present = 0;
        std::vector<QVariant>().swap(m_values);
    }

private:
    bool dense() const { return m_size > 64; }
    size_t rank(int i) const { return size_t(std::popcount(m_present & ((quint64(1) << i) - 1))); }

    int m_size = 0;
    quint64 m_present = 0;          // positions holding a value
    std::vector<QVariant> m_values; // those values in position order
};

} // namespace tavrel
