#pragma once

#include "platform/store/ManagedObject.h"

#include <QList>
#include <QString>
#include <QVariant>
#include <functional>

namespace tavrel {

// One sort key: a key path, a direction and a comparison. Nil sorts before every value (ascending).
class SortDescriptor
{
public:
    enum class Comparison { Default, CaseInsensitive, Localized, LocalizedCaseInsensitive };
    // Answers <0, 0 or >0 for two values at the key path (or for two objects when the key is "self").
    using Comparator = std::function<int(const QVariant& left, const QVariant& right)>;

    SortDescriptor() = default;
    SortDescriptor(QString keyPath, bool ascending = true, Comparison comparison = Comparison::Default);
    SortDescriptor(QString keyPath, bool ascending, Comparator comparator);

    const QString& key() const { return m_key; }
    bool ascending() const { return m_ascending; }
    Comparison comparison() const { return m_comparison; }
    bool hasComparator() const { return bool(m_comparator); }
    SortDescriptor reversed() const;

    int compareValues(const QVariant& left, const QVariant& right) const; // direction applied
    int compareObjects(const QVariant& left, const QVariant& right) const;
    int compareObjects(const ManagedObject* left, const ManagedObject* right) const;

    // Stable sorts by the descriptors in order.
    static void sortObjects(QList<ManagedObjectPtr>& objects, const QList<SortDescriptor>& descriptors);
    static void sortObjects(QVariantList& objects, const QList<SortDescriptor>& descriptors);

    // Equal when key, direction and comparison are equal (custom comparators never compare equal).
    bool operator==(const SortDescriptor& other) const;

private:
    QString m_key;
    bool m_ascending = true;
    Comparison m_comparison = Comparison::Default;
    Comparator m_comparator;
};

} // namespace tavrel
