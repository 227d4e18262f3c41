#pragma once

#include <QString>
#include <QVariant>
#include <memory>

namespace tavrel {

class MailAdapter;

// A mail address of the address book, as a record or detached. favorite and visible may be absent
// (an invalid QVariant), else hold a bool.
class IMail
{
public:
    virtual ~IMail() = default;
    virtual std::shared_ptr<MailAdapter> adapterObject() const = 0;
    virtual QString address() const = 0;
    virtual void setAddress(const QString& address) = 0;
    virtual QString label() const = 0;
    virtual void setLabel(const QString& label) = 0;
    virtual QVariant favorite() const = 0;
    virtual void setFavorite(const QVariant& favorite) = 0;
    virtual QVariant visible() const = 0;
    virtual void setVisible(const QVariant& visible) = 0;
};

} // namespace tavrel
