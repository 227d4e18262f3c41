#pragma once

#include <QString>
#include <QUrl>

namespace tavrel {

// An atom:link. Relations written as IANA URIs ("http://www.iana.org/assignments/relation/edit") are read
// in their short form ("edit"). `ETag` is the gd:etag of the link (contact photos carry one).
class GDataLink
{
public:
    GDataLink() = default;
    GDataLink(QString rel, QString type, QString href, QString title = {}, QString etag = {})
        : m_rel(std::move(rel)), m_type(std::move(type)), m_href(std::move(href)), m_title(std::move(title)),
          m_etag(std::move(etag))
    {}

    bool isNull() const { return m_href.isNull() && m_rel.isNull(); }
    const QString& rel() const { return m_rel; }
    const QString& type() const { return m_type; }
    const QString& href() const { return m_href; }
    QUrl URL() const { return QUrl(m_href); }
    const QString& title() const { return m_title; }
    const QString& ETag() const { return m_etag; }

    bool operator==(const GDataLink& other) const = default;

private:
    QString m_rel;
    QString m_type;
    QString m_href;
    QString m_title;
    QString m_etag;
};

} // namespace tavrel
