#include "platform/store/SortDescriptor.h"

#include "platform/store/KeyValueCoding.h"

#include <algorithm>

namespace tavrel {

SortDescriptor::SortDescriptor(QString keyPath, bool ascending, Comparison comparison)
    : m_key(std::move(keyPath)), m_ascending(ascending), m_comparison(comparison)
{}

SortDescriptor::SortDescriptor(QString keyPath, bool ascending, Comparator comparator)
    : m_key(std::move(keyPath)), m_ascending(ascending), m_comparator(std::move(comparator))
{}

SortDescriptor SortDescriptor::reversed() const
{
    SortDescriptor copy = *this;
    copy.m_ascending = !m_ascending;
    return copy;
}

int SortDescriptor::compareValues(const QVariant& left, const QVariant& right) const
{
    int c = 0;
    if (m_comparator) {
        c = m_comparator(left, right);
    } else {
        const bool ci = m_comparison == Comparison::CaseInsensitive ||
                        m_comparison == Comparison::LocalizedCaseInsensitive;
        const bool localized =
            m_comparison == Comparison::Localized || m_comparison == Comparison::LocalizedCaseInsensitive;
        c = KeyValueCoding::sortCompare(left, right, ci ? 1 : 0, localized);
    }
    c = c < 0 ? -1 : (c > 0 ? 1 : 0);
    return m_ascending ? c : -c;
}

int SortDescriptor::compareObjects(const QVariant& left, const QVariant& right) const
{
    return compareValues(KeyValueCoding::valueForKeyPath(left, m_key),
                         KeyValueCoding::valueForKeyPath(right, m_key));
}

int SortDescriptor::compareObjects(const ManagedObject* left, const ManagedObject* right) const
{
    const bool self = m_key.compare(QLatin1String("self"), Qt::CaseInsensitive) == 0;
    auto value = [&](const ManagedObject* o) -> QVariant {
        if (!o)
            return {};
        if (self)
            return QVariant::fromValue(std::const_pointer_cast<ManagedObject>(o->shared_from_this()));
        return o->valueForKeyPath(m_key);
    };
    return compareValues(value(left), value(right));
}

void SortDescriptor::sortObjects(QList<ManagedObjectPtr>& objects, const QList<SortDescriptor>& descriptors)
{
    if (descriptors.isEmpty() || objects.size() < 2)
        return;
    // Read each key once per object, not once per comparison.
    struct Row
    {
        ManagedObjectPtr object;
        QVariantList keys;
    };
    QList<Row> rows;
    rows.reserve(objects.size());
    for (const auto& o : objects) {
        Row r{o, {}};
        for (const auto& d : descriptors)
            r.keys.append(d.m_key.compare(QLatin1String("self"), Qt::CaseInsensitive) == 0
                              ? QVariant::fromValue(o)
                              : (o ? o->valueForKeyPath(d.m_key) : QVariant()));
        rows.append(std::move(r));
    }
    std::stable_sort(rows.begin(), rows.end(), [&](const Row& a, const Row& b) {
        for (qsizetype i = 0; i < descriptors.size(); ++i) {
            const int c = descriptors[i].compareValues(a.keys[i], b.keys[i]);
            if (c != 0)
                return c < 0;
        }
        return false;
    });
    for (qsizetype i = 0; i < rows.size(); ++i)
        objects[i] = rows[i].object;
}

void SortDescriptor::sortObjects(QVariantList& objects, const QList<SortDescriptor>& descriptors)
{
    if (descriptors.isEmpty())
        return;
    std::stable_sort(objects.begin(), objects.end(), [&](const QVariant& a, const QVariant& b) {
        for (const auto& d : descriptors) {
            const int c = d.compareObjects(a, b);
            if (c != 0)
                return c < 0;
        }
        return false;
    });
}

bool SortDescriptor::operator==(const SortDescriptor& other) const
{
    return !m_comparator && !other.m_comparator && m_key == other.m_key && m_ascending == other.m_ascending &&
           m_comparison == other.m_comparison;
}

} // namespace tavrel
