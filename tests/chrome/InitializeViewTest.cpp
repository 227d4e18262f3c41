#include "chrome/TQInitializeViewController.h"
#include "platform/runtime/Invocation.h"
#include "support/TempHome.h"
#include "support/WaitUntil.h"

#include <QProgressBar>
#include <QThread>
#include <gtest/gtest.h>
#include <thread>

namespace tavrel {
namespace {

class InitializeViewTest : public test::TempHomeTest
{
protected:
    TQInitializeViewController m_screen;
};

// Captures the Qt warnings of its lifetime.
class WarningCapture
{
public:
    WarningCapture() { s_previous = qInstallMessageHandler(&handler); }
    ~WarningCapture() { qInstallMessageHandler(s_previous); }
    static inline QStringList warnings;

private:
    static void handler(QtMsgType type, const QMessageLogContext& context, const QString& message)
    {
        if (type != QtDebugMsg && type != QtInfoMsg)
            warnings << message;
        if (s_previous)
            s_previous(type, context, message);
    }
    static inline QtMessageHandler s_previous = nullptr;
};

TEST_F(InitializeViewTest, ReportsFromAWorkerThreadSetTheTextsOnTheMainThread)
{
    struct Row
    {
        int code;
        float processed;
        quint64 total;
        float percentage;
        QString message;
        QString status;
        bool syncing;
        double progress;
    };
    const QList<Row> rows = {
        {666, 0, 0, 2, QStringLiteral("Fetching your contacts"),
         QStringLiteral("This can take a while for a large account."), true, 0},
        {777, 0, 0, 7, QStringLiteral("Fetching your documents"),
         QStringLiteral("This can take a while for a large account."), true, 0},
        // The processed count is cut to a whole number.
        {888, 12.9f, 40, 31.5f, QStringLiteral("Processing your contacts"),
         QStringLiteral("12 of 40 contacts"), false, 31.5},
        {999, 3, 1500, 55, QStringLiteral("Processing your documents"), QStringLiteral("3 of 1500 documents"),
         false, 55},
    };
    WarningCapture capture;
    WarningCapture::warnings.clear();
    for (const Row& row : rows) {
        m_screen.presentSyncing();
        ASSERT_TRUE(m_screen.isSynching());
        std::thread worker([&] {
            // As the session forwards it: an invocation performed on the worker.
            auto invocation = Invocation::invocationForSelector(
                QStringLiteral("progressStatus:elProcessed:elTotal:percentage:"), &m_screen);
            invocation->setArgument(2, row.code);
            invocation->setArgument(3, row.processed);
            invocation->setArgument(4, QVariant::fromValue(row.total));
            invocation->setArgument(5, row.percentage);
            invocation->invoke();
        });
        worker.join();
        ASSERT_TRUE(test::waitUntil([&] { return m_screen.syncMessage() == row.message; })) << row.code;
        EXPECT_EQ(m_screen.syncStatus(), row.status) << row.code;
        EXPECT_EQ(m_screen.isSynching(), row.syncing) << row.code;
        EXPECT_DOUBLE_EQ(m_screen.syncProgress(), row.progress) << row.code;
        // The bar follows: indeterminate while fetching.
        EXPECT_EQ(m_screen.progressControl()->maximum(), row.syncing ? 0 : 100) << row.code;
    }
    EXPECT_TRUE(WarningCapture::warnings.isEmpty()) << qPrintable(WarningCapture::warnings.join('\n'));
}

TEST_F(InitializeViewTest, FetchingAfterProcessingKeepsTheBarDeterminateAndUnknownCodesChangeNothing)
{
    m_screen.presentSyncing();
    m_screen.progressStatus(888, 1, 10, 20);
    m_screen.progressStatus(666, 0, 0, 5);
    EXPECT_EQ(m_screen.syncMessage(), QStringLiteral("Fetching your contacts"));
    EXPECT_FALSE(m_screen.isSynching());
    EXPECT_DOUBLE_EQ(m_screen.syncProgress(), 20);

    m_screen.progressStatus(555, 9, 9, 99);
    EXPECT_EQ(m_screen.syncMessage(), QStringLiteral("Fetching your contacts"));
    EXPECT_DOUBLE_EQ(m_screen.syncProgress(), 20);
}

TEST_F(InitializeViewTest, PresentationsReplaceEachOther)
{
    EXPECT_EQ(m_screen.presentedView(), nullptr);
    m_screen.presentSyncing();
    EXPECT_EQ(m_screen.presentedView(), m_screen.syncingView());
    // Starting over clears the status line but keeps the message.
    m_screen.progressStatus(999, 1, 2, 50);
    m_screen.presentSyncing();
    EXPECT_EQ(m_screen.syncStatus(), QString(""));
    EXPECT_EQ(m_screen.syncMessage(), QStringLiteral("Processing your documents"));
    EXPECT_TRUE(m_screen.isSynching());

    m_screen.presentError();
    EXPECT_FALSE(m_screen.isSynching());
    m_screen.presentError();
    EXPECT_EQ(m_screen.presentedView(), m_screen.errorView());
    EXPECT_TRUE(m_screen.errorView()->isVisibleTo(m_screen.view()));
    m_screen.presentOffline();
    EXPECT_EQ(m_screen.presentedView(), m_screen.offlineView());
    EXPECT_FALSE(m_screen.errorView()->isVisibleTo(m_screen.view()));
}

} // namespace
} // namespace tavrel
