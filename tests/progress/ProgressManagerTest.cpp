#include "platform/runtime/Invocation.h"
#include "platform/runtime/NotificationCenter.h"
#include "platform/runtime/ThreadDispatch.h"
#include "platform/runtime/Timing.h"
#include "platform/system/Paths.h"
#include "platform/system/TQLogger.h"
#include "progress/TQProgressManager.h"
#include "progress/TQSavingProgressSession.h"
#include "progress/TQUpdateFinishedProgressSession.h"
#include "progress/TQUploadProgressSession.h"
#include "support/TempHome.h"
#include "support/WaitUntil.h"

#include <QFile>
#include <QPointer>
#include <QUrl>
#include <atomic>
#include <gtest/gtest.h>
#include <thread>

namespace tavrel::test {

namespace {

class ProgressManagerTest : public TempHomeTest
{
protected:
    void SetUp() override
    {
        TempHomeTest::SetUp();
        TQLogger::resetForTesting();
        manager()->resetForTesting();
    }
    void TearDown() override
    {
        manager()->resetForTesting();
        TempHomeTest::TearDown();
    }

    static TQProgressManager* manager() { return TQProgressManager::progressManager(); }

    static QVariantMap args(const QString& id, const QVariantMap& more = {})
    {
        QVariantMap arguments = more;
        arguments.insert(QStringLiteral("actionID"), id);
        return arguments;
    }

    static QStringList queueNames()
    {
        QStringList names;
        for (const TQProgressSession* session : manager()->activeSessions())
            names.append(session->name());
        return names;
    }

    static QString topName()
    {
        const TQProgressSession* top = manager()->topSession();
        return top ? top->name() : QString();
    }

    // Events are queued to the main thread: wait until an action started after them has arrived.
    static bool drainEvents()
    {
        static int sentinel = 0;
        const QString id = QStringLiteral("drain_%1").arg(++sentinel);
        manager()->actionWillStart(QStringLiteral("Drain"), args(id));
        const bool arrived = waitUntil([] { return queueNames().contains(QStringLiteral("Drain")); });
        manager()->actionDidFinish(QStringLiteral("Drain"), args(id));
        return arrived && waitUntil([] { return !queueNames().contains(QStringLiteral("Drain")); });
    }

    static QString log()
    {
        QFile file(Paths::logFile());
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    }
};

} // namespace

TEST_F(ProgressManagerTest, SessionsTakeClassPriorityAndNameFromTheActionName)
{
    struct Row
    {
        QString name;
        const QMetaObject* kind;
        quint64 priority;
        bool hasProgress;
        QString humanReadableName;
    };
    const QList<Row> rows{
        {"FullCoreDataUpdateOperation", &TQProgressSession::staticMetaObject, 0x7fffffff, false, "Syncing"},
        {"FastCoreDataUpdateOperation", &TQProgressSession::staticMetaObject, 0x7ffffffe, false,
         "Checking for changes"},
        {"UploadFiles", &TQUploadProgressSession::staticMetaObject, 1000, true, "Uploading"},
        {"GetFiles", &TQSavingProgressSession::staticMetaObject, 1000, true, "Saving"},
        {"UploadFile", &TQProgressSession::staticMetaObject, 100, true, "Uploading"},
        {"GetFile", &TQProgressSession::staticMetaObject, 100, true, "Saving"},
        {"TrashDocuments", &TQProgressSession::staticMetaObject, 0, false, "Moving to trash"},
        {"SomethingElse", &TQProgressSession::staticMetaObject, 0, false, "Updating"},
        {"UpdateFinished", &TQUpdateFinishedProgressSession::staticMetaObject, 0, false, ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name.toStdString());
        std::unique_ptr<TQProgressSession> session(TQProgressSession::sessionWithName(row.name));
        ASSERT_NE(session, nullptr);
        EXPECT_EQ(session->metaObject(), row.kind);
        EXPECT_EQ(session->name(), row.name);
        EXPECT_EQ(session->priority(), row.priority);
        EXPECT_EQ(session->hasProgress(), row.hasProgress);
        EXPECT_EQ(session->isStatic(), row.name == QLatin1String("UpdateFinished"));
        if (!row.humanReadableName.isEmpty()) {
            EXPECT_EQ(session->humanReadableName(), row.humanReadableName);
        }
    }
    EXPECT_EQ(TQProgressSession::sessionWithName(QString()), nullptr);
}

TEST_F(ProgressManagerTest, ActionsOfOneNameShareASessionUntilTheLastEnds)
{
    QList<bool> activity;
    int queueChanges = 0;
    QObject context;
    QObject::connect(manager(), &TQProgressManager::hasActivityChanged, &context,
                     [&](bool value) { activity.append(value); });
    QObject::connect(manager(), &TQProgressManager::activeSessionsChanged, &context, [&] { ++queueChanges; });

    const QVariantMap first =
        args("id__1", {{"fileURLs", QVariantList{QUrl::fromLocalFile("/home/u/a.txt")}}});
    const QVariantMap second =
        args("id__2", {{"fileURLs", QVariantList{QUrl::fromLocalFile("/home/u/b.txt"),
                                                 QUrl::fromLocalFile("/home/u/a.txt")}}});
    manager()->actionWillStart(QStringLiteral("UploadFiles"), first);
    ASSERT_TRUE(waitUntil([] { return manager()->topSession() != nullptr; }));
    QPointer<TQProgressSession> session = manager()->topSession();
    EXPECT_EQ(session->humanReadableName(), QStringLiteral("Uploading a.txt"));

    manager()->actionWillStart(QStringLiteral("UploadFiles"), second);
    ASSERT_TRUE(waitUntil([&] { return session->numberOfActions() == 2; }));
    EXPECT_EQ(manager()->activeSessions().size(), 1);
    EXPECT_EQ(session->humanReadableName(), QStringLiteral("Uploading 2 files"));

    manager()->actionDidFinish(QStringLiteral("UploadFiles"), first);
    ASSERT_TRUE(waitUntil([&] { return session->numberOfActions() == 1; }));
    EXPECT_TRUE(manager()->hasActivity());
    EXPECT_EQ(session->humanReadableName(), QStringLiteral("Uploading 2 files")) << "b.txt and a.txt remain";

    manager()->actionDidFinish(QStringLiteral("UploadFiles"), second);
    ASSERT_TRUE(waitUntil([] { return !manager()->hasActivity(); }));
    EXPECT_EQ(manager()->topSession(), nullptr);
    EXPECT_TRUE(manager()->activeSessions().isEmpty());
    EXPECT_EQ(activity, (QList<bool>{true, false}));
    EXPECT_EQ(queueChanges, 2);

    const QString text = log();
    for (const char* line :
         {"PM: Activity started", "PM: added session => UploadFiles", "PM: current session => UploadFiles",
          "PM: removed session => UploadFiles", "PM: Activity finished"})
        EXPECT_TRUE(text.contains(QLatin1String(line))) << line;
}

TEST_F(ProgressManagerTest, SavingSessionCountsEachDocumentOnce)
{
    QObject plans;
    plans.setProperty("title", QStringLiteral("Plans"));
    QObject budget;
    budget.setProperty("title", QStringLiteral("Budget"));
    const auto entities = [](QList<QObject*> records) {
        QVariantList list;
        for (QObject* record : records)
            list.append(QVariant::fromValue(record));
        return QVariantMap{{"documentEntities", list}};
    };

    manager()->actionWillStart(QStringLiteral("GetFiles"), args("id__1", entities({&plans})));
    manager()->actionWillStart(QStringLiteral("GetFiles"), args("id__2", entities({&plans})));
    ASSERT_TRUE(
        waitUntil([] { return manager()->topSession() && manager()->topSession()->numberOfActions() == 2; }));
    QPointer<TQProgressSession> session = manager()->topSession();
    EXPECT_EQ(session->humanReadableName(), QStringLiteral("Saving Plans"));

    manager()->actionWillStart(QStringLiteral("GetFiles"), args("id__3", entities({&budget, &plans})));
    ASSERT_TRUE(waitUntil([&] { return session->numberOfActions() == 3; }));
    EXPECT_EQ(session->humanReadableName(), QStringLiteral("Saving 2 documents"));
}

TEST_F(ProgressManagerTest, TopSessionIsTheHighestPriorityAndTheEarliestAmongEquals)
{
    struct Step
    {
        bool start;
        QString name;
        QStringList queue; // ascending, the last is top
    };
    const QList<Step> steps{
        {true, "UploadFile", {"UploadFile"}},
        {true, "UploadFiles", {"UploadFile", "UploadFiles"}},
        {true, "FullCoreDataUpdateOperation", {"UploadFile", "UploadFiles", "FullCoreDataUpdateOperation"}},
        {true,
         "RenameDocument",
         {"RenameDocument", "UploadFile", "UploadFiles", "FullCoreDataUpdateOperation"}},
        {true,
         "TrashDocuments",
         {"TrashDocuments", "RenameDocument", "UploadFile", "UploadFiles", "FullCoreDataUpdateOperation"}},
        {false,
         "FullCoreDataUpdateOperation",
         {"TrashDocuments", "RenameDocument", "UploadFile", "UploadFiles"}},
        {false, "UploadFiles", {"TrashDocuments", "RenameDocument", "UploadFile"}},
        {false, "UploadFile", {"TrashDocuments", "RenameDocument"}},
        {false, "RenameDocument", {"TrashDocuments"}},
        {false, "TrashDocuments", {}},
    };
    QStringList tops;
    QObject context;
    QObject::connect(manager(), &TQProgressManager::topSessionChanged, &context,
                     [&](TQProgressSession* top) { tops.append(top ? top->name() : QStringLiteral("nil")); });

    for (const Step& step : steps) {
        SCOPED_TRACE((step.start ? "start " : "finish ") + step.name.toStdString());
        const QVariantMap arguments = args(QStringLiteral("id_") + step.name);
        if (step.start)
            manager()->actionWillStart(step.name, arguments);
        else
            manager()->actionDidFinish(step.name, arguments);
        ASSERT_TRUE(waitUntil([&] { return queueNames() == step.queue; }))
            << queueNames().join(',').toStdString();
        EXPECT_EQ(topName(), step.queue.isEmpty() ? QString() : step.queue.last());
    }
    EXPECT_EQ(tops, (QStringList{"UploadFile", "UploadFiles", "FullCoreDataUpdateOperation", "UploadFiles",
                                 "UploadFile", "RenameDocument", "TrashDocuments", "nil"}));
}

TEST_F(ProgressManagerTest, ActionWithoutIdentifierNeverAppears)
{
    manager()->actionWillStart(QStringLiteral("RenameDocument"), {{"title", "x"}});
    manager()->actionWillStart(QString(), args("id__9"));
    manager()->actionDidProgress(QStringLiteral("RenameDocument"), {}, 1, 2);
    ASSERT_TRUE(drainEvents());
    EXPECT_TRUE(manager()->activeSessions().isEmpty());
    EXPECT_FALSE(manager()->hasActivity());
    EXPECT_TRUE(log().contains(QStringLiteral("E: Skip action (no ID) => name:RenameDocument")));

    // An end for an action never started still empties the activity.
    manager()->actionDidFinish(QStringLiteral("RenameDocument"), args("id__unknown"));
    ASSERT_TRUE(drainEvents());
    EXPECT_FALSE(manager()->hasActivity());
}

TEST_F(ProgressManagerTest, ProgressAddsUpOverActionsAndFollowsLowerValues)
{
    struct Event
    {
        QString id;
        quint64 part, total;
        quint64 sessionPart, sessionTotal;
    };
    const QList<Event> events{
        {"id__1", 10, 100, 10, 100}, {"id__1", 30, 100, 30, 100},
        {"id__2", 5, 50, 35, 150},   {"id__1", 20, 80, 25, 130}, // a smaller value lowers the sums
        {"id__3", 99, 99, 25, 130},                              // not held by the session: nothing
    };
    manager()->actionWillStart(QStringLiteral("GetFile"), args("id__1"));
    manager()->actionWillStart(QStringLiteral("GetFile"), args("id__2"));
    ASSERT_TRUE(
        waitUntil([] { return manager()->topSession() && manager()->topSession()->numberOfActions() == 2; }));
    QPointer<TQProgressSession> session = manager()->topSession();

    for (const Event& event : events) {
        SCOPED_TRACE(event.id.toStdString());
        manager()->actionDidProgress(QStringLiteral("GetFile"), args(event.id), event.part, event.total);
        ASSERT_TRUE(drainEvents());
        EXPECT_EQ(session->progressPart(), event.sessionPart);
        EXPECT_EQ(session->progressTotal(), event.sessionTotal);
    }
    EXPECT_TRUE(log().contains(QStringLiteral("Action <id__1> progress: part=20, total=80")));
}

TEST_F(ProgressManagerTest, EventsFromWorkerThreadsAreKeptOnTheMainThread)
{
    std::atomic<int> offMain{0};
    QObject context;
    const auto check = [&] {
        if (!ThreadDispatch::isMainThread())
            ++offMain;
    };
    QObject::connect(manager(), &TQProgressManager::activeSessionsChanged, &context, check,
                     Qt::DirectConnection);
    QObject::connect(manager(), &TQProgressManager::topSessionChanged, &context, check, Qt::DirectConnection);
    QObject::connect(manager(), &TQProgressManager::hasActivityChanged, &context, check,
                     Qt::DirectConnection);

    constexpr int kThreads = 4;
    constexpr int kActions = 25;
    std::atomic<int> sent{0};
    std::vector<std::thread> workers;
    for (int t = 0; t < kThreads; ++t) {
        workers.emplace_back([t, &sent] {
            // Sent the way an operation sends them: by selector, to whoever responds.
            QObject* consumer = manager();
            for (int i = 0; i < kActions; ++i) {
                const QString name = t % 2 ? QStringLiteral("UploadFile") : QStringLiteral("GetFiles");
                const QVariantMap arguments = args(QStringLiteral("id__%1_%2").arg(t).arg(i));
                auto start =
                    Invocation::invocationForSelector(QStringLiteral("actionWillStart:arguments:"), consumer);
                start->setArgument(2, name);
                start->setArgument(3, arguments);
                start->invoke();
                auto progress = Invocation::invocationForSelector(
                    QStringLiteral("actionDidProgress:arguments:part:ofTotal:"), consumer);
                progress->setArgument(2, name);
                progress->setArgument(3, arguments);
                progress->setArgument(4, quint64(1));
                progress->setArgument(5, quint64(2));
                progress->invoke();
                auto finish =
                    Invocation::invocationForSelector(QStringLiteral("actionDidFinish:arguments:"), consumer);
                finish->setArgument(2, name);
                finish->setArgument(3, arguments);
                finish->invoke();
                ++sent;
            }
        });
    }
    ASSERT_TRUE(waitUntil([&] { return sent == kThreads * kActions; }, 20000));
    for (std::thread& worker : workers)
        worker.join();
    ASSERT_TRUE(drainEvents());
    EXPECT_FALSE(manager()->hasActivity());
    EXPECT_TRUE(manager()->activeSessions().isEmpty());
    EXPECT_EQ(offMain, 0);
}

TEST_F(ProgressManagerTest, UpdateFinishedMessageShowsAfterASynchronisationForItsTime)
{
    Timing::Override shortMessage("updateFinishedMessage", 100);
    QList<bool> activity;
    QObject context;
    QObject::connect(manager(), &TQProgressManager::hasActivityChanged, &context,
                     [&](bool value) { activity.append(value); });

    std::thread worker(
        [] { NotificationCenter::defaultCenter().post(TQProgressManager::kFastUpdateFinishedNotification); });
    worker.join();
    ASSERT_TRUE(waitUntil([] { return topName() == QLatin1String("UpdateFinished"); }));
    const TQProgressSession* top = manager()->topSession();
    EXPECT_TRUE(top->isStatic());
    EXPECT_TRUE(top->humanReadableName().startsWith(QStringLiteral("Updated ")))
        << top->humanReadableName().toStdString();
    EXPECT_TRUE(manager()->hasActivity());

    ASSERT_TRUE(waitUntil([] { return !manager()->hasActivity(); }));
    EXPECT_EQ(manager()->topSession(), nullptr);
    EXPECT_EQ(activity, (QList<bool>{true, false}));

    // A full synchronisation while an upload runs: the message waits below the upload.
    manager()->actionWillStart(QStringLiteral("UploadFile"), args("id__u"));
    NotificationCenter::defaultCenter().post(TQProgressManager::kFullUpdateFinishedNotification);
    ASSERT_TRUE(waitUntil([] { return queueNames() == QStringList{"UpdateFinished", "UploadFile"}; }));
    ASSERT_TRUE(waitUntil([] { return queueNames() == QStringList{"UploadFile"}; }));
    EXPECT_TRUE(manager()->hasActivity());
    manager()->actionDidFinish(QStringLiteral("UploadFile"), args("id__u"));
    ASSERT_TRUE(waitUntil([] { return !manager()->hasActivity(); }));
}

} // namespace tavrel::test
