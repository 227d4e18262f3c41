#include "platform/runtime/NotificationCenter.h"

#include "support/WaitUntil.h"

#include <QThread>
#include <gtest/gtest.h>
#include <memory>
#include <thread>

namespace tavrel::test {

namespace {
const QString kName = QStringLiteral("kCordelConnectionStatusChanged");
}

TEST(NotificationCenter, DeliversSynchronouslyToMatchingObserversInOrder)
{
    NotificationCenter& center = NotificationCenter::defaultCenter();
    QObject context;
    QObject sender;
    QObject otherSender;
    QStringList seen;
    center.addObserver(&context, kName, QVariant(), [&](const Notification& n) {
        seen << QStringLiteral("any:%1").arg(n.userInfo().value(QStringLiteral("k")).toString());
    });
    center.addObserver(&context, kName, &sender, [&](const Notification& n) {
        EXPECT_EQ(n.objectAsQObject(), &sender);
        seen << QStringLiteral("sender");
    });
    center.addObserver(&context, kName, QVariant(1),
                       [&](const Notification&) { seen << QStringLiteral("one"); });
    center.addObserver(&context, QString(), QVariant(),
                       [&](const Notification& n) { seen << QStringLiteral("all:") + n.name(); });

    center.post(kName, &sender, {{QStringLiteral("k"), QStringLiteral("v")}});
    EXPECT_EQ(seen, (QStringList{QStringLiteral("any:v"), QStringLiteral("sender"),
                                 QStringLiteral("all:") + kName}));
    seen.clear();
    center.post(kName, &otherSender);
    center.post(kName, QVariant(1));
    center.post(QStringLiteral("other"));
    EXPECT_EQ(seen, (QStringList{QStringLiteral("any:"), QStringLiteral("all:") + kName,
                                 QStringLiteral("any:"), QStringLiteral("one"),
                                 QStringLiteral("all:") + kName, QStringLiteral("all:other")}));
    center.removeObserver(&context);
}

TEST(NotificationCenter, ObserversGoWithTheirContext)
{
    NotificationCenter& center = NotificationCenter::defaultCenter();
    const int before = center.observerCount();
    int calls = 0;
    auto context = std::make_unique<QObject>();
    center.addObserver(context.get(), kName, QVariant(), [&](const Notification&) { ++calls; });
    center.addObserver(context.get(), kName, QVariant(), [&](const Notification&) { ++calls; });
    center.post(kName);
    EXPECT_EQ(calls, 2);
    context.reset();
    EXPECT_EQ(center.observerCount(), before);
    center.post(kName);
    EXPECT_EQ(calls, 2);
}

TEST(NotificationCenter, AnObserverRemovedDuringAPostIsNotCalled)
{
    NotificationCenter& center = NotificationCenter::defaultCenter();
    QObject context;
    auto doomed = std::make_unique<QObject>();
    bool doomedCalled = false;
    center.addObserver(&context, kName, QVariant(), [&](const Notification&) { doomed.reset(); });
    center.addObserver(doomed.get(), kName, QVariant(), [&](const Notification&) { doomedCalled = true; });
    center.post(kName);
    EXPECT_FALSE(doomedCalled);
    center.removeObserver(&context);
}

TEST(NotificationCenter, DeliveryHappensOnThePostingThread)
{
    NotificationCenter& center = NotificationCenter::defaultCenter();
    QObject context;
    std::atomic<QThread*> deliveredOn{nullptr};
    center.addObserver(&context, kName, QVariant(),
                       [&](const Notification&) { deliveredOn = QThread::currentThread(); });
    QThread* posting = nullptr;
    std::thread worker([&] {
        posting = QThread::currentThread();
        NotificationCenter::defaultCenter().post(kName);
    });
    worker.join();
    EXPECT_EQ(deliveredOn.load(), posting);
    EXPECT_NE(posting, QThread::currentThread());
    center.removeObserver(&context);
}

TEST(NotificationCenter, ConcurrentPostsAndRegistrationsAreSafe)
{
    NotificationCenter& center = NotificationCenter::defaultCenter();
    QObject context;
    std::atomic<int> calls{0};
    center.addObserver(&context, kName, QVariant(), [&](const Notification&) { ++calls; });
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([] {
            for (int i = 0; i < 200; ++i) {
                QObject local;
                NotificationCenter::defaultCenter().addObserver(&local, kName, QVariant(),
                                                                [](const Notification&) {});
                NotificationCenter::defaultCenter().post(kName);
            }
        });
    for (auto& thread : threads)
        thread.join();
    EXPECT_EQ(calls.load(), 800);
    center.removeObserver(&context);
}

} // namespace tavrel::test
