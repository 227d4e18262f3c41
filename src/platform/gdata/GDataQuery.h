#pragma once

#include <QList>
#include <QPair>
#include <QString>
#include <QUrl>
#include <optional>

namespace tavrel {

// A feed address with query parameters. Parameters keep the order in which they were first set; setting
// one again replaces its value. Parameters already in the feed address are kept.
class GDataQuery
{
public:
    GDataQuery() = default;
    explicit GDataQuery(QUrl feedURL) : m_feedURL(std::move(feedURL)) {}
    virtual ~GDataQuery() = default;

    const QUrl& feedURL() const { return m_feedURL; }

    void setStartIndex(qint64 index) { setParameter(QStringLiteral("start-index"), QString::number(index)); }
    void setMaxResults(qint64 count) { setParameter(QStringLiteral("max-results"), QString::number(count)); }
    void setFullTextQueryString(const QString& text) { setParameter(QStringLiteral("q"), text); }
    void setShouldShowDeleted(bool flag) { setBool(QStringLiteral("showdeleted"), flag); }
    std::optional<qint64> startIndex() const { return number(QStringLiteral("start-index")); }
    std::optional<qint64> maxResults() const { return number(QStringLiteral("max-results")); }

    void addCustomParameterWithName(const QString& name, const QString& value) { setParameter(name, value); }
    QString valueForParameterWithName(const QString& name) const;
    const QList<QPair<QString, QString>>& parameters() const { return m_parameters; }

    // The feed address with every parameter appended, percent-encoded.
    QUrl URL() const;

protected:
    void setParameter(const QString& name, const QString& value);
    void setBool(const QString& name, bool flag)
    {
        setParameter(name, flag ? QStringLiteral("true") : QStringLiteral("false"));
    }
    std::optional<qint64> number(const QString& name) const;

private:
    QUrl m_feedURL;
    QList<QPair<QString, QString>> m_parameters;
};

} // namespace tavrel
