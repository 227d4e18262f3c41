#include "model/XmlInfo.h"

#include "model/GoogleObject.h"
#include "model/RecordValue.h"

namespace tavrel {

QString XmlInfo::xmlValue() const
{
    return recordvalue::stringFrom(valueForKey(QStringLiteral("xmlValue")));
}

void XmlInfo::setXmlValue(const QString& xml)
{
    setValueForKey(QStringLiteral("xmlValue"), recordvalue::stringOrNil(xml));
}

std::shared_ptr<GoogleObject> XmlInfo::googleObject() const
{
    return toOne<GoogleObject>(QStringLiteral("googleObject"));
}

} // namespace tavrel
