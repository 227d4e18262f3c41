#include "platform/runtime/ThreadDispatch.h"

#include <QCoreApplication>
#include <QHash>
#include <QMetaObject>
#include <QSemaphore>
#include <memory>
#include <mutex>

namespace tavrel {

namespace {

std::mutex& registryMutex()
{
    static std::mutex mutex;
    return mutex;
}

QHash<QThread*, QObject*>& registry()
{
    static QHash<QThread*, QObject*> contexts;
    return contexts;
}

// Owns the calling thread's context object; its destructor runs when the thread ends.
struct ThreadContextHolder
{
    QThread* thread = nullptr;
    std::unique_ptr<QObject> context;

    ~ThreadContextHolder() { release(); }
    void release()
    {
        if (!context)
            return;
        {
            std::lock_guard lock(registryMutex());
            registry().remove(thread);
        }
        context.reset();
    }
};

thread_local ThreadContextHolder t_holder;

} // namespace

QThread* ThreadDispatch::mainThread()
{
    if (QCoreApplication* app = QCoreApplication::instance())
        return app->thread();
    return nullptr;
}

bool ThreadDispatch::isMainThread()
{
    QThread* main = mainThread();
    return main && QThread::currentThread() == main;
}

QObject* ThreadDispatch::contextForCurrentThread()
{
    if (isMainThread())
        return QCoreApplication::instance();
    if (!t_holder.context) {
        t_holder.thread = QThread::currentThread();
        t_holder.context = std::make_unique<QObject>();
        t_holder.context->setObjectName(QStringLiteral("ThreadContext"));
        // Gone with the thread's loop: calls posted after that are refused, not lost in silence.
        QObject::connect(t_holder.thread, &QThread::finished, [] { t_holder.release(); });
        std::lock_guard lock(registryMutex());
        registry().insert(t_holder.thread, t_holder.context.get());
    }
    return t_holder.context.get();
}

void ThreadDispatch::releaseContextForCurrentThread()
{
    t_holder.release();
}

QObject* ThreadDispatch::contextForThread(QThread* thread)
{
    if (!thread)
        return nullptr;
    if (thread == mainThread())
        return QCoreApplication::instance();
    std::lock_guard lock(registryMutex());
    return registry().value(thread, nullptr);
}

void ThreadDispatch::performOnMainThread(std::function<void()> work, bool wait)
{
    QObject* context = QCoreApplication::instance();
    if (!context) {
        // No application object: there is no main loop to queue to.
        work();
        return;
    }
    if (wait) {
        if (isMainThread())
            work();
        else
            QMetaObject::invokeMethod(context, std::move(work), Qt::BlockingQueuedConnection);
        return;
    }
    QMetaObject::invokeMethod(context, std::move(work), Qt::QueuedConnection);
}

bool ThreadDispatch::performOnThread(QThread* thread, std::function<void()> work, bool wait)
{
    if (thread && thread == mainThread()) {
        performOnMainThread(std::move(work), wait);
        return true;
    }
    if (wait && thread && QThread::currentThread() == thread) {
        work();
        return true;
    }
    const bool block = wait && !isMainThread();
    // Released when the posted call has run or has been dropped because its thread ended, so a
    // waiting caller never hangs on a thread that is gone.
    struct Release
    {
        QSemaphore* semaphore = nullptr;
        ~Release()
        {
            if (semaphore)
                semaphore->release();
        }
    };
    QSemaphore done;
    auto release = std::make_shared<Release>();
    release->semaphore = block ? &done : nullptr;
    {
        // Posting under the registry lock keeps the context alive until the event is queued.
        std::lock_guard lock(registryMutex());
        QObject* context = registry().value(thread, nullptr);
        if (!context)
            return false;
        QMetaObject::invokeMethod(
            context, [work = std::move(work), release]() { work(); }, Qt::QueuedConnection);
    }
    release.reset();
    if (block)
        done.acquire();
    return true;
}

} // namespace tavrel
