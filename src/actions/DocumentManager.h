#pragma once

#include "actions/FileMonitor.h"
#include "actions/GDataDocumentManager.h"
#include "pipeline/VUvodozuManager.h"

#include <memory>

namespace tavrel {

// The session's documents action manager: actions resolve to "TQdmh<Action>Operation" or to the
// handler "dmh<Action>", whose service side goes through this manager's GDataDocumentManager.
// start/stop/clean drive the monitor of locally edited copies.
class DocumentManager : public VUvodozuManager
{
    Q_OBJECT
public:
    // Nothing for no session.
    static std::unique_ptr<DocumentManager> managerWithSession(TQSessionProtocol* session);
    // The service manager is made with the session's authentication (none without one).
    explicit DocumentManager(TQSessionProtocol* session, QObject* parent = nullptr);
    ~DocumentManager() override;

    QString handlerPrefix() const override;
    GDataDocumentManager* gdataManager() const override { return m_gdataManager.get(); }
    void setGdataManager(std::unique_ptr<GDataDocumentManager> manager);
    FileMonitor* fileMonitor() const { return m_fileMonitor.get(); }

    void start() override;
    void stop() override;
    void clean() override;

private:
    std::unique_ptr<GDataDocumentManager> m_gdataManager;
    std::unique_ptr<FileMonitor> m_fileMonitor;
};

} // namespace tavrel
