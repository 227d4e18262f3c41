#pragma once

#include <QString>

namespace tavrel {

// Anything that carries a service identifier and version tag: a record or its detached twin.
class IGoogleObject
{
public:
    virtual ~IGoogleObject() = default;
    virtual QString identifier() const = 0;
    virtual void setIdentifier(const QString& identifier) = 0;
    virtual QString eTag() const = 0;
    virtual void setETag(const QString& eTag) = 0;
};

} // namespace tavrel
