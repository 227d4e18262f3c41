#pragma once

#include "actions/GDataContactManager.h"
#include "pipeline/VUvodozuManager.h"

#include <memory>

namespace tavrel {

// The session's contacts action manager: actions resolve to "TQcmh<Action>Operation" or to the
// handler "cmh<Action>", whose service side goes through this manager's GDataContactManager.
class ContactManager : public VUvodozuManager
{
    Q_OBJECT
public:
    // Nothing for no session.
    static std::unique_ptr<ContactManager> managerWithSession(TQSessionProtocol* session);
    // The service manager is made with the session's authentication (none without one).
    explicit ContactManager(TQSessionProtocol* session, QObject* parent = nullptr);
    ~ContactManager() override;

    QString handlerPrefix() const override;
    GDataContactManager* gdataManager() const override { return m_gdataManager.get(); }
    void setGdataManager(std::unique_ptr<GDataContactManager> manager);

private:
    std::unique_ptr<GDataContactManager> m_gdataManager;
};

} // namespace tavrel
