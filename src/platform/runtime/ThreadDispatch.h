#pragma once

#include <QObject>
#include <QThread>
#include <functional>
#include <optional>
#include <type_traits>

namespace tavrel {

// Runs work on a chosen thread. A thread is reached through a context object living in it: the
// application object for the main thread, a per-thread object for the others (made by
// contextForCurrentThread(), which every worker thread of an OperationQueue calls when it starts).
class ThreadDispatch
{
public:
    static QThread* mainThread();
    static bool isMainThread();

    // The context object of the calling thread, made on first use and deleted when the thread ends.
    static QObject* contextForCurrentThread();
    // Deletes the calling thread's context before the thread ends (worker threads call it last).
    static void releaseContextForCurrentThread();
    // The context object of a thread; nullptr when that thread never made one or has ended.
    static QObject* contextForThread(QThread* thread);

    // wait = true: a direct call when already on the main thread, else a blocking queued call.
    // wait = false: always queued, so the work runs after the caller's current event.
    static void performOnMainThread(std::function<void()> work, bool wait);

    // Queued call on the given thread (direct when waiting on the same thread). Waiting blocks only
    // worker threads: from the main thread the call is queued without waiting, so the main thread
    // never blocks on a worker. Answers false when the thread has no context (nothing is run).
    static bool performOnThread(QThread* thread, std::function<void()> work, bool wait);

    // Runs the work on the main thread and answers its result (direct when already there).
    template <typename F> static auto callOnMainThread(F&& work) -> std::invoke_result_t<F>
    {
        using R = std::invoke_result_t<F>;
        if constexpr (std::is_void_v<R>) {
            performOnMainThread(std::forward<F>(work), true);
        } else {
            std::optional<R> result;
            performOnMainThread([&] { result.emplace(work()); }, true);
            return std::move(*result);
        }
    }
};

} // namespace tavrel
