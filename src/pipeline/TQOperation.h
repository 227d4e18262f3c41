#pragma once

#include "platform/runtime/Invocation.h"
#include "platform/runtime/Operation.h"
#include "platform/runtime/Timing.h"

#include <QDateTime>
#include <QPointer>
#include <QStringList>
#include <QThread>
#include <QVariantMap>
#include <exception>
#include <functional>
#include <memory>

namespace tavrel {

class GDataAuthorizer;
class OperationQueue;
class TQQueueManager;
class TQSessionProtocol;
class VUvodozuManager;

// The queued unit of work of one action: its name, arguments, callback and progress consumer. On its
// worker thread it moves the records of its arguments into that thread's context, tells the progress
// consumer when it starts and ends, and keeps the thread waiting on its event loop until the work has
// finished, was cancelled or (light operations only) timed out.
//
// Subclasses override the hooks: setup() (build sub-operations), performOperation() (the wait, or the
// work itself), handleOperationTimeout(), keyArguments() and dependentOperationNames().
class TQOperation : public Operation
{
    Q_OBJECT
public:
    static inline const QString kActionIDKey = QStringLiteral("actionID");
    static inline const QString kManagedObjectContextKey = QStringLiteral("managedObjectContext");
    static inline const QString kProgressConsumerKey = QStringLiteral("progressConsumer");
    static inline const QString kQueuePriorityKey = QStringLiteral("queuePriority");
    // How long a light operation waits for its work before it gives up (300 s).
    static constexpr Timing kOperationTimeout{"operationTimeout", 300000};

    TQOperation();
    ~TQOperation() override;

    // The action name; the class name until set.
    QString name() const;
    void setName(const QString& name);

    // Set when the queue manager schedules the operation; invalid for operations never scheduled.
    QDateTime scheduleDate() const;
    void setScheduleDate(const QDateTime& date);
    // Orders schedulings exactly, also within one millisecond; 0 when never scheduled.
    quint64 scheduleSequence() const;

    // A copy of the arguments; they always hold "actionID".
    QVariantMap arguments() const;
    // Stores a copy with "actionID" added: "id__<n>" with a number unique to this operation in the
    // process, so one operation keeps one identifier and none is ever used twice.
    void setArguments(const QVariantMap& arguments);
    QString actionID() const;

    // Heavy operations go to the heavy queue and never time out.
    virtual bool isHeavy() const;
    void setIsHeavy(bool heavy);

    // Seconds; kOperationTimeout (read at the moment of use) until set.
    double timeout() const;
    void setTimeout(double seconds);

    // The thread that scheduled the operation: the callback is performed there. Not owned.
    QThread* originThread() const;
    void setOriginThread(QThread* thread);

    // Filled in with (result, error) at arguments 2 and 3 and performed on the thread of origin when
    // the work ends, at most once, never after a cancel.
    InvocationPtr callback() const;
    void setCallback(const InvocationPtr& callback);

    // Told of the start and the end when it responds (see IProgressConsumer); watched, not owned.
    QObject* progressConsumer() const;
    void setProgressConsumer(QObject* consumer);
    // The consumer an arguments' "progressConsumer" names: a plain pointer as the requester gives it, or
    // the guarded one the manager keeps in its place (nullptr once the consumer is gone).
    static QObject* progressConsumerOf(const QVariant& value);

    // Decides which queued operations of dependentOperationNames() this one waits for.
    using DependencyChecker = std::function<bool(const TQOperation& queued)>;
    DependencyChecker dependencyChecker() const;
    void setDependencyChecker(DependencyChecker checker);

    bool isExclusive() const;
    void setIsExclusive(bool exclusive);

    // The queue chosen at scheduling; not owned.
    OperationQueue* queue() const;
    void setQueue(OperationQueue* queue);

    // The owning session; not owned.
    TQSessionProtocol* session() const;
    void setSession(TQSessionProtocol* session);
    TQQueueManager* queueManager() const;
    std::shared_ptr<GDataAuthorizer> authentication() const;

    // The action manager that made the operation (sub-steps are resolved through it); watched.
    VUvodozuManager* manager() const;
    void setManager(VUvodozuManager* manager);

    // The keys of the arguments whose values are neither strings nor numbers, in key order; empty
    // when there are none.
    virtual QStringList keyArguments() const;
    virtual void setup();
    virtual QStringList dependentOperationNames() const;
    virtual void handleOperationTimeout();
    // Waits on the worker's event loop in slices of a fifth of the time-out until the operation is
    // finished or cancelled; a light one gives up once its time-out has passed at the end of a slice.
    virtual void performOperation();

    // Re-fetches the arguments into the calling thread's context and records under
    // "managedObjectContext" the context they came from (kept when the requester gave one).
    void fetchManagedObjectInCurrentContext();

    void cancel() override;

    // Text of an argument dictionary for log lines.
    static QString describeArguments(const QVariantMap& arguments);

protected:
    // Runs the operation; an exception ends it through failWithException().
    void main() override;
    virtual double defaultTimeout() const;
    // Logs the exception and answers the requester with error 703, then finishes.
    virtual void failWithException(const std::exception& exception);
    static QString exceptionDescription(const std::exception& exception);
    // Fills the callback with (result, error) and performs it on the thread of origin without waiting
    // (here when there is none). Does nothing once called, cancelled or finished. Answers whether it
    // was performed.
    bool performCallbackWithResult(const QVariant& result, const QVariant& error);

private:
    QString m_name;
    QDateTime m_scheduleDate;
    quint64 m_scheduleSequence = 0;
    QVariantMap m_arguments;
    const quint64 m_actionNumber;
    bool m_heavy = false;
    double m_timeout = -1;
    QThread* m_originThread = nullptr;
    InvocationPtr m_callback;
    bool m_calledBack = false;
    QPointer<QObject> m_progressConsumer;
    DependencyChecker m_dependencyChecker;
    bool m_exclusive = false;
    OperationQueue* m_queue = nullptr;
    TQSessionProtocol* m_session = nullptr;
    QPointer<VUvodozuManager> m_manager;
};

using TQOperationPtr = std::shared_ptr<TQOperation>;
using TQOperationWeakPtr = std::weak_ptr<TQOperation>;

} // namespace tavrel

Q_DECLARE_METATYPE(tavrel::TQOperationPtr)
Q_DECLARE_METATYPE(tavrel::TQOperationWeakPtr)
