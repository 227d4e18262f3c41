#pragma once

#include "platform/gdata/GDataConstants.h"

#include <QString>

namespace tavrel {

// An atom:category: kind categories (scheme kGDataCategoryScheme) and labels (kGDataCategoryLabelScheme).
class GDataCategory
{
public:
    GDataCategory() = default;
    GDataCategory(QString scheme, QString term, QString label = {})
        : m_scheme(std::move(scheme)), m_term(std::move(term)), m_label(std::move(label))
    {}
    // A label category from its term (kGDataCategoryLabelTrashed ...).
    static GDataCategory categoryWithLabelTerm(const QString& term)
    {
        return GDataCategory(kGDataCategoryLabelScheme, term,
                             term.mid(term.lastIndexOf(QLatin1Char('#')) + 1));
    }

    bool isNull() const { return m_term.isNull(); }
    const QString& scheme() const { return m_scheme; }
    const QString& term() const { return m_term; }
    const QString& label() const { return m_label; }

    bool operator==(const GDataCategory& other) const = default;

private:
    QString m_scheme;
    QString m_term;
    QString m_label;
};

} // namespace tavrel
