#include "controls/DelayedPerform.h"

#include <QHash>
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <limits>

namespace tavrel {

namespace {

struct Pending
{
    QObject owner;
    QMultiHash<const void*, QPointer<QTimer>> timers;
};

Pending& pending()
{
    static Pending* requests = new Pending;
    return *requests;
}

} // namespace

void DelayedPerform::perform(const void* key, qint64 milliseconds, std::function<void()> work)
{
    Pending& requests = pending();
    auto* timer = new QTimer(&requests.owner);
    timer->setSingleShot(true);
    requests.timers.insert(key, timer);
    QObject::connect(timer, &QTimer::timeout, &requests.owner, [key, timer, work = std::move(work)] {
        pending().timers.remove(key, timer);
        timer->deleteLater();
        work();
    });
    timer->start(int(qBound(qint64(0), milliseconds, qint64(std::numeric_limits<int>::max()))));
}

void DelayedPerform::cancelPreviousPerformRequests(const void* key)
{
    const QList<QPointer<QTimer>> timers = pending().timers.values(key);
    pending().timers.remove(key);
    for (const QPointer<QTimer>& timer : timers)
        if (timer) {
            timer->stop();
            timer->deleteLater();
        }
}

} // namespace tavrel
