#pragma once

#include "model/IGoogleObject.h"
#include "platform/gdata/GDataObjectFactory.h"
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

    // The stored entry text parsed as one entry element, as an entry of class T (the class the text's
    // kind names when that is a T); nothing when the text is empty or does not parse.
    template <class T> static std::shared_ptr<T> entryFromXml(const QString& xml)
    {
        const GDataEntryPtr parsed = GDataObjectFactory::entryWithXMLString(xml);
        if (!parsed)
            return nullptr;
        if (auto typed = std::dynamic_pointer_cast<T>(parsed))
            return typed;
        return std::make_shared<T>(parsed->XMLDocument(), parsed->XMLElement());
    }
};

} // namespace tavrel
