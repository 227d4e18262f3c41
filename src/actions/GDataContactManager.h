#pragma once

#include "pipeline/GDManagerManager.h"
#include "platform/gdata/GDataServiceGoogleContact.h"

#include <memory>

namespace tavrel {

// The service side of the contact actions ("gdcmh" handlers): owns the session's one contacts service,
// authorised by the account's OAuth 2 authentication, with cached answers, next links followed and
// retries on.
class GDataContactManager : public GDManagerManager
{
    Q_OBJECT
public:
    // Nothing without an authentication.
    static std::unique_ptr<GDataContactManager>
    gdataManagerWithAuthentication(std::shared_ptr<GDataAuthorizer> authentication);
    explicit GDataContactManager(std::shared_ptr<GDataAuthorizer> authentication, QObject* parent = nullptr);
    ~GDataContactManager() override;

    QString handlerPrefix() const override;
    GDataServiceGoogleContact* service() const { return m_service.get(); }
    void setService(std::unique_ptr<GDataServiceGoogleContact> service);

private:
    std::unique_ptr<GDataServiceGoogleContact> m_service;
};

} // namespace tavrel
