#pragma once

#include <QString>
#include <QUrl>

namespace tavrel {

// atom:content: a type and either a source address (documents: the download or export address) or text.
class GDataEntryContent
{
public:
    GDataEntryContent() = default;
    GDataEntryContent(QString type, QString sourceURI, QString text = {})
        : m_type(std::move(type)), m_sourceURI(std::move(sourceURI)), m_text(std::move(text))
    {}

    const QString& type() const { return m_type; }
    const QString& sourceURI() const { return m_sourceURI; }
    QUrl sourceURL() const { return QUrl(m_sourceURI); }
    const QString& stringValue() const { return m_text; }

private:
    QString m_type;
    QString m_sourceURI;
    QString m_text;
};

} // namespace tavrel
