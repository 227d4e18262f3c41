#pragma once

#include "model/FileEntryAbstract.h"
#include "platform/gdata/GDataEntryDocBase.h"
#include "platform/runtime/Error.h"
#include "support/AccountTest.h"

#include <QObject>
#include <QThread>
#include <QVariant>
#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <ostream>

// Readable texts in test failures.
inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

namespace tavrel::test {

// A requester: records what its callback received, on which thread, and runs a hook there.
class ActionRequester : public QObject
{
    Q_OBJECT
public:
    Q_INVOKABLE void actionDidFinishWithResult(const QVariant& result, const QVariant& error);

    InvocationPtr callback();
    int calls() const { return m_calls.load(); }
    QVariant result() const;
    Error error() const;
    QThread* thread() const;
    // Runs inside the callback, on its thread.
    std::function<void(const QVariant& result)> onCallback;

private:
    mutable std::mutex m_mutex;
    std::atomic<int> m_calls{0};
    QVariant m_result;
    Error m_error;
    QThread* m_thread = nullptr;
};

// The local service with a small generated account, and a session of its owner whose store holds the
// account's documents.
class ActionsTest : public AccountTest
{
protected:
    void SetUp() override;

    DocumentManager* documents() const { return m_account.documents(); }
    TQMOCMaster* master() const { return m_account.master(); }
    // The master's record of a document, or nothing.
    std::shared_ptr<FileEntryAbstract> record(const QString& resourceId) const;
    // Resource ids of the stored documents (not collections), in feed order.
    QStringList storedDocumentIds() const { return m_documentIds; }
    QList<localservice::JournalEntry> requests(const QString& method, const QString& pathPrefix) const
    {
        return m_account.requests(method, pathPrefix);
    }

    // Runs an action from the main thread and waits for its callback.
    bool runAction(const QString& action, ActionRequester& requester, const QVariantMap& parameters,
                   int timeoutMs = 10000);

private:
    void fillStore();
    QStringList m_documentIds;
};

} // namespace tavrel::test
