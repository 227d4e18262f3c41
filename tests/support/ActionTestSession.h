#pragma once

#include "actions/ContactManager.h"
#include "actions/DocumentManager.h"
#include "model/TQMOCManager.h"
#include "pipeline/TQQueueManager.h"
#include "pipeline/TQSessionProtocol.h"

#include <QObject>
#include <memory>

namespace tavrel::test {

// A session of one account, as the real session holds it: the store in the current (temporary) home,
// the queue manager, the document and contact managers and the account's authentication. Actions run
// through it exactly as they will through the session.
class ActionTestSession : public TQSessionProtocol
{
public:
    ActionTestSession(std::shared_ptr<GDataAuthorizer> authentication, const QString& username);
    // The queues go first (they wait for running operations), then the managers, then the store.
    ~ActionTestSession() override;

    QString username() const;

    TQQueueManager* queueManager() const override { return m_queueManager.get(); }
    std::shared_ptr<GDataAuthorizer> authentication() const override { return m_authentication; }
    TQMOCManager* mocManager() const override { return m_mocManager.get(); }
    DocumentManager* documentManager() const override { return m_documentManager.get(); }
    ContactManager* contactManager() const override { return m_contactManager.get(); }

    QVariant managedObjectContextForCurrentThread() override;
    QVariant masterManagedObjectContext() override;
    bool isManagedObjectContext(const QVariant& value) const override;
    QVariant fetchEntitiesFromObject(const QVariant& context, const QVariant& object,
                                     QVariant* detectedSource = nullptr) override;

private:
    QObject m_account; // carries "username", which names the store's folder
    std::shared_ptr<GDataAuthorizer> m_authentication;
    std::unique_ptr<TQMOCManager> m_mocManager;
    std::unique_ptr<TQQueueManager> m_queueManager;
    std::unique_ptr<DocumentManager> m_documentManager;
    std::unique_ptr<ContactManager> m_contactManager;
};

} // namespace tavrel::test
