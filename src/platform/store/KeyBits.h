#pragma once

#include <QList>
#include <bit>
#include <memory>
#include <vector>

namespace tavrel {

// A set of small non-negative indexes (attribute or relationship positions) as bits: what a record
// changed since its last save. No allocation below 64 keys.
class KeyBits
{
public:
    KeyBits() = default;
    KeyBits(const KeyBits& other)
        : m_low(other.m_low),
          m_more(other.m_more ? std::make_unique<std::vector<quint64>>(*other.m_more) : nullptr)
    {}
    KeyBits& operator=(const KeyBits& other)
    {
        if (this != &other) {
            m_low = other.m_low;
            m_more = other.m_more ? std::make_unique<std::vector<quint64>>(*other.m_more) : nullptr;
        }
        return *this;
    }
    KeyBits(KeyBits&&) = default;
    KeyBits& operator=(KeyBits&&) = default;

    void insert(int i)
    {
        if (i < 64) {
            m_low |= quint64(1) << i;
            return;
        }
        const size_t word = size_t(i / 64 - 1);
        if (!m_more)
            m_more = std::make_unique<std::vector<quint64>>();
        if (m_more->size() <= word)
            m_more->resize(word + 1, 0);
        (*m_more)[word] |= quint64(1) << (i % 64);
    }
    void remove(int i)
    {
        if (i < 64)
            m_low &= ~(quint64(1) << i);
        else if (m_more && size_t(i / 64 - 1) < m_more->size())
            (*m_more)[size_t(i / 64 - 1)] &= ~(quint64(1) << (i % 64));
    }
    bool contains(int i) const
    {
        if (i < 0)
            return false;
        if (i < 64)
            return (m_low >> i) & 1;
        const size_t word = size_t(i / 64 - 1);
        return m_more && word < m_more->size() && (((*m_more)[word] >> (i % 64)) & 1);
    }
    bool isEmpty() const
    {
        if (m_low)
            return false;
        if (m_more)
            for (quint64 w : *m_more)
                if (w)
                    return false;
        return true;
    }
    void clear()
    {
        m_low = 0;
        m_more.reset();
    }
    // Ascending.
    QList<int> values() const
    {
        QList<int> result;
        for (int i : *this)
            result.append(i);
        return result;
    }

    class const_iterator
    {
    public:
        const_iterator(const KeyBits* bits, int position) : m_bits(bits), m_position(position) { seek(); }
        int operator*() const { return m_position; }
        const_iterator& operator++()
        {
            ++m_position;
            seek();
            return *this;
        }
        bool operator==(const const_iterator& other) const { return m_position == other.m_position; }
        bool operator!=(const const_iterator& other) const { return m_position != other.m_position; }

    private:
        void seek()
        {
            const int end = m_bits->capacity();
            while (m_position < end) {
                const quint64 word = m_bits->word(m_position / 64) >> (m_position % 64);
                if (word) {
                    m_position += std::countr_zero(word);
                    return;
                }
                m_position = (m_position / 64 + 1) * 64;
            }
            m_position = end;
        }
        const KeyBits* m_bits;
        int m_position;
    };
    const_iterator begin() const { return const_iterator(this, 0); }
    const_iterator end() const { return const_iterator(this, capacity()); }

private:
    int capacity() const { return int(64 * (1 + (m_more ? m_more->size() : 0))); }
    quint64 word(int w) const { return w == 0 ? m_low : (*m_more)[size_t(w - 1)]; }

    quint64 m_low = 0;
    std::unique_ptr<std::vector<quint64>> m_more; // keys from 64 on
};

} // namespace tavrel
