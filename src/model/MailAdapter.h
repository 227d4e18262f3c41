#pragma once

#include "model/IMail.h"

namespace tavrel {

// A mail address detached from any context: carried between threads and into the store updater.
class MailAdapter : public IMail
{
public:
    MailAdapter() = default;

    std::shared_ptr<MailAdapter> adapterObject() const override
    {
        return std::make_shared<MailAdapter>(*this);
    }
    QString address() const override { return m_address; }
    void setAddress(const QString& address) override { m_address = address; }
    QString label() const override { return m_label; }
    void setLabel(const QString& label) override { m_label = label; }
    QVariant favorite() const override { return m_favorite; }
    void setFavorite(const QVariant& favorite) override;
    QVariant visible() const override { return m_visible; }
    void setVisible(const QVariant& visible) override;

private:
    QString m_address;
    QString m_label;
    QVariant m_favorite;
    QVariant m_visible;
};

} // namespace tavrel
