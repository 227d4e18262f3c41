#pragma once

#include "model/IGoogleObject.h"
#include "platform/store/ManagedObject.h"

namespace tavrel {

class XmlInfo;

// Anything with a service identifier and version tag. Its entry text lives in a companion XmlInfo,
// made when the record is inserted, and is reached through the key "xml".
class GoogleObject : public ManagedObject, public IGoogleObject
{
public:
    QString identifier() const override;
    void setIdentifier(const QString& identifier) override;
    QString eTag() const override;
    void setETag(const QString& eTag) override;

    std::shared_ptr<XmlInfo> xmlInfo() const;
    void setXmlInfo(const std::shared_ptr<XmlInfo>& xmlInfo);
    // xmlInfo.xmlValue; nothing without text.
    QString xml() const;
    void setXml(const QString& xml);

    QVariant valueForKey(const QString& key) const override;
    void setValueForKey(const QString& key, const QVariant& value) override;

protected:
    void awakeFromInsert() override;
};

} // namespace tavrel
