#pragma once

#include "platform/store/ManagedObject.h"

namespace tavrel {

class GoogleObject;

// The stored entry text of one GoogleObject.
class XmlInfo : public ManagedObject
{
public:
    QString xmlValue() const;
    void setXmlValue(const QString& xml);
    std::shared_ptr<GoogleObject> googleObject() const;
};

} // namespace tavrel
