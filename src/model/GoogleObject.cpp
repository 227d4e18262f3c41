#include "model/GoogleObject.h"

#include "model/RecordValue.h"
#include "model/XmlInfo.h"
#include "platform/store/ManagedObjectContext.h"

namespace tavrel {

QString GoogleObject::identifier() const
{
    return recordvalue::stringFrom(valueForKey(QStringLiteral("identifier")));
}

void GoogleObject::setIdentifier(const QString& identifier)
{
    setValueForKey(QStringLiteral("identifier"), recordvalue::stringOrNil(identifier));
}

QString GoogleObject::eTag() const
{
    return recordvalue::stringFrom(valueForKey(QStringLiteral("eTag")));
}

void GoogleObject::setETag(const QString& eTag)
{
    setValueForKey(QStringLiteral("eTag"), recordvalue::stringOrNil(eTag));
}

std::shared_ptr<XmlInfo> GoogleObject::xmlInfo() const
{
    return toOne<XmlInfo>(QStringLiteral("xmlInfo"));
}

void GoogleObject::setXmlInfo(const std::shared_ptr<XmlInfo>& xmlInfo)
{
    setToOne(QStringLiteral("xmlInfo"), xmlInfo);
}

QString GoogleObject::xml() const
{
    const auto info = xmlInfo();
    if (!info)
        return {};
    const QString text = info->xmlValue();
    return text.isEmpty() ? QString() : text;
}

void GoogleObject::setXml(const QString& xml)
{
    auto info = xmlInfo();
    if (!info) {
        // A record made before companions existed, or whose XmlInfo was removed: give it one now.
        if (auto* context = managedObjectContext()) {
            info = context->insertNewObject<XmlInfo>(QStringLiteral("XmlInfo"));
            setXmlInfo(info);
        }
    }
    if (!info)
        return;
    info->setXmlValue(xml);
    didChangeValueForKey(QStringLiteral("xml"));
}

QVariant GoogleObject::valueForKey(const QString& key) const
{
    if (key == QLatin1String("xml"))
        return recordvalue::stringOrNil(xml());
    return ManagedObject::valueForKey(key);
}

void GoogleObject::setValueForKey(const QString& key, const QVariant& value)
{
    if (key == QLatin1String("xml")) {
        setXml(recordvalue::stringFrom(value));
        return;
    }
    ManagedObject::setValueForKey(key, value);
}

void GoogleObject::awakeFromInsert()
{
    ManagedObject::awakeFromInsert();
    if (auto* context = managedObjectContext())
        setXmlInfo(context->insertNewObject<XmlInfo>(QStringLiteral("XmlInfo")));
}

} // namespace tavrel
