#pragma once

#include "model/IGoogleObject.h"

namespace tavrel {

// Stands for a record of a given identifier and version tag where no record is at hand.
class GoogleObjectAdapter : public IGoogleObject
{
public:
    GoogleObjectAdapter() = default;
    GoogleObjectAdapter(QString identifier, QString eTag)
        : m_identifier(std::move(identifier)), m_eTag(std::move(eTag))
    {}

    QString identifier() const override { return m_identifier; }
    void setIdentifier(const QString& identifier) override { m_identifier = identifier; }
    QString eTag() const override { return m_eTag; }
    void setETag(const QString& eTag) override { m_eTag = eTag; }

private:
    QString m_identifier;
    QString m_eTag;
};

} // namespace tavrel
