#pragma once

#include "ActionsFixture.h"
#include "support/RecordedNotifications.h"

#include <QStringList>
#include <QVariantList>

namespace tavrel::test {

// An account whose documents give the user every role (see kDocumentChangesSeed), synchronised into the
// store as the first synchronisation leaves it, and desktop notifications recorded.
class DocumentChangesTest : public AccountTest
{
protected:
    void SetUp() override;

    DocumentManager* documents() const { return m_account.documents(); }
    TQMOCMaster* master() const { return m_account.master(); }
    // The master's record of a document or collection, or nothing.
    std::shared_ptr<FileEntryAbstract> record(const QString& resourceId) const;
    QVariant recordValue(const QString& resourceId) const;
    QVariantList recordValues(const QStringList& resourceIds) const;
    // Runs an action from the main thread and waits for its callback.
    bool runAction(const QString& action, ActionRequester& requester, const QVariantMap& parameters,
                   int timeoutMs = 15000);
    // Every request the service received since the set-up, as "METHOD path[?query]", in order.
    QStringList requestLines() const;
    QList<localservice::JournalEntry> journal() const { return m_account.service.journal(); }
    // The addresses on a document's access list on the service, with their roles ("ann@example.org=writer").
    QStringList serviceAccessList(const QString& resourceId);

    RecordedNotifications m_notifications;
};

} // namespace tavrel::test
