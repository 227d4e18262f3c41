#pragma once

#include <QString>

namespace tavrel {

// What progress actions and progress sessions both answer: a name and an amount done of a total.
class IProgressAction
{
public:
    virtual ~IProgressAction() = default;
    virtual QString name() const = 0;
    virtual void setName(const QString& name) = 0;
    virtual quint64 progressPart() const = 0;
    virtual void setProgressPart(quint64 part) = 0;
    virtual quint64 progressTotal() const = 0;
    virtual void setProgressTotal(quint64 total) = 0;
};

} // namespace tavrel
