#pragma once

#include "platform/runtime/Invocation.h"

#include <QObject>
#include <QVariantMap>
#include <memory>

namespace tavrel {

class GDataAuthorizer;
class GDManagerHandler;

// Base of the service-side managers (documents "gddmh", contacts "gdcmh"). Each concrete manager owns
// its configured service object. executeAction() finds the service-side handler "<prefix><action>",
// chains its defaultCallbackForParams: in front of the store side's invocation, and starts it on the
// calling (worker) thread.
class GDManagerManager : public QObject
{
    Q_OBJECT
public:
    // The service side's error domain and codes.
    static inline const QString kErrorDomain = QStringLiteral("rez.uzorevuza.GDManagerErrorDomain");
    static constexpr qint64 kServiceErrorCode = 601;
    static constexpr qint64 kNotAuthorizedErrorCode = 602;
    static constexpr qint64 kBatchErrorCode = 603;

    explicit GDManagerManager(std::shared_ptr<GDataAuthorizer> authentication, QObject* parent = nullptr);
    ~GDManagerManager() override;

    // The handler prefix of the concrete manager. Pure; its body, for a manager that passes the call
    // up, raises.
    virtual QString handlerPrefix() const = 0;
    std::shared_ptr<GDataAuthorizer> authentication() const { return m_authentication; }

    // Raises when no service-side handler exists for the action (the handler operation turns that
    // into an error for the requester).
    void executeAction(const QString& action, const InvocationPtr& call, const QVariantMap& parameters);
    // The service-side handler "<prefix><action>", or nullptr (logged).
    std::shared_ptr<GDManagerHandler> handlerByActionName(const QString& action);

private:
    std::shared_ptr<GDataAuthorizer> m_authentication;
};

} // namespace tavrel
