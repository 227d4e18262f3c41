#include "model/XmlInfo.h"

#include "model/GoogleObject.h"
#include "model/RecordValue.h"

namespace tavrel {

QString XmlInfo::xmlValue() const
{
    return recordvalue::stringFrom(valueForKey("xmlValue"));
}

void XmlInfo::setXmlValue(const QString& xml)
{
    setValueForKey("xmlValue", recordvalue::stringOrNil(xml));
}

std::shared_ptr<GoogleObject> XmlInfo::googleObject() const
{
    return toOne<GoogleObject>("googleObject");
}

} // namespace tavrel
