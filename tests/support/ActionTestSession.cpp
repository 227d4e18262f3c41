#include "ActionTestSession.h"

#include "pipeline/TQSessionContexts.h"

namespace tavrel::test {

ActionTestSession::ActionTestSession(std::shared_ptr<GDataAuthorizer> authentication, const QString& username)
    : m_authentication(std::move(authentication))
{
    m_account.setProperty("username", username);
    m_mocManager = TQMOCManager::mocManagerWithSession(&m_account);
    m_queueManager = std::make_unique<TQQueueManager>(this);
    m_documentManager = DocumentManager::managerWithSession(this);
    m_contactManager = ContactManager::managerWithSession(this);
}

ActionTestSession::~ActionTestSession()
{
    m_queueManager.reset();
    m_documentManager.reset();
    m_contactManager.reset();
    m_mocManager.reset();
}

QString ActionTestSession::username() const
{
    return m_account.property("username").toString();
}

QVariant ActionTestSession::managedObjectContextForCurrentThread()
{
    return TQSessionContexts::managedObjectContextForCurrentThread(m_mocManager.get());
}

QVariant ActionTestSession::masterManagedObjectContext()
{
    return TQSessionContexts::masterManagedObjectContext(m_mocManager.get());
}

bool ActionTestSession::isManagedObjectContext(const QVariant& value) const
{
    return TQSessionContexts::isManagedObjectContext(value);
}

QVariant ActionTestSession::fetchEntitiesFromObject(const QVariant& context, const QVariant& object,
                                                    QVariant* detectedSource)
{
    return TQSessionContexts::fetchEntitiesFromObject(context, object, detectedSource);
}

} // namespace tavrel::test
