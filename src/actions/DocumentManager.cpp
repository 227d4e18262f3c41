#include "actions/DocumentManager.h"

namespace tavrel {

std::unique_ptr<DocumentManager> DocumentManager::managerWithSession(TQSessionProtocol* session)
{
    if (!session)
        return {};
    return std::make_unique<DocumentManager>(session);
}

DocumentManager::DocumentManager(TQSessionProtocol* session, QObject* parent)
    : VUvodozuManager(session, parent),
      m_gdataManager(GDataDocumentManager::gdataManagerWithAuthentication(authentication())),
      m_fileMonitor(FileMonitor::managerWithSession(session))
{}

DocumentManager::~DocumentManager() = default;

QString DocumentManager::handlerPrefix() const
{
    return QStringLiteral("dmh");
}

void DocumentManager::start()
{
    if (m_fileMonitor)
        m_fileMonitor->start();
}

void DocumentManager::stop()
{
    if (m_fileMonitor)
        m_fileMonitor->stop();
}

void DocumentManager::clean()
{
    if (m_fileMonitor)
        m_fileMonitor->clean();
}

void DocumentManager::setGdataManager(std::unique_ptr<GDataDocumentManager> manager)
{
    m_gdataManager = std::move(manager);
}

} // namespace tavrel
