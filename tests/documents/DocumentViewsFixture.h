#pragma once

#include "controls/TQTableView.h"
#include "documents/TQAllItemsController.h"
#include "documents/TQAllItemsQuickLook.h"
#include "lists/ListModel.h"
#include "model/File.h"
#include "model/TQMOCMaster.h"
#include "platform/system/Paths.h"
#include "session/ApplicationServices.h"
#include "session/ConnectionStatus.h"
#include "session/TQSessionManager.h"
#include "support/AccountTest.h"
#include "support/SyncRecorder.h"
#include "support/WaitUntil.h"
#include "support/ui/WidgetTesting.h"

#include <QFile>
#include <QItemSelectionModel>
#include <gtest/gtest.h>

namespace tavrel::test {

// A synchronised account of the local service, current for the test, and its all-items list shown
// offscreen over a title-sorted provider. Actions run for real against the service, whose journal tells
// what reached it.
class DocumentViewsFixture : public AccountTest
{
protected:
    void startWithSeed(const char* seed, int rows)
    {
        startService(m_account, TestAccount::smallAccount());
        ASSERT_FALSE(HasFatalFailure());
        QString error;
        ASSERT_TRUE(m_account.service.loadSeed(QByteArray(seed), &error)) << error.toStdString();
        m_account.useService();
        m_account.openSession();
        SyncRecorder recorder;
        ASSERT_TRUE(m_account.runFull(recorder));
        ASSERT_TRUE(recorder.error.isNull());
        TQSessionManager::sharedManager()->setCurrentSession(m_account.session.get());
        ApplicationServices::instance()->mainApplicationWindowWillShow(nullptr);
        ApplicationServices::instance()->connectionStatus()->setOnline(false);
        m_account.service.clearJournal();

        list = std::make_unique<TQAllItemsController>();
        auto* provider = new ListModel(m_account.master(), QStringLiteral("FileEntryAbstract"));
        provider->setSortDescriptors({SortDescriptor(QStringLiteral("title"))});
        list->setDataProvider(provider);
        QWidget* view = list->view();
        view->resize(640, 480);
        ASSERT_TRUE(showAndExpose(view));
        list->viewDidInstall();
        ASSERT_TRUE(waitUntil([&] { return provider->count() == rows; }, 10000));
    }
    void TearDown() override
    {
        // The pipeline holds the list as the progress consumer of a preview's download until it answers.
        if (list)
            waitUntil([&] { return !list->quickLook()->hasDownloadsInFlight(); }, 20000);
        list.reset();
        ApplicationServices::instance()->resetForTesting();
        TQSessionManager::sharedManager()->setCurrentSession(nullptr);
        AccountTest::TearDown();
    }

    std::shared_ptr<FileEntryAbstract> entry(const QString& resourceId) const
    {
        return std::dynamic_pointer_cast<FileEntryAbstract>(
            FileEntryAbstract::fileEntryAbstractWithIdentifier(
                FileEntryAbstract::identifierFromGDataResourceId(resourceId), m_account.master()));
    }
    int rowOf(const QString& resourceId) const { return list->rowOfRecord(entry(resourceId)); }
    void select(const QStringList& resourceIds)
    {
        QList<int> rows;
        for (const QString& rid : resourceIds)
            rows << rowOf(rid);
        list->tableView()->selectionModel()->clearSelection();
        if (!rows.isEmpty())
            list->tableView()->selectRowIndexes(rows, false);
        ASSERT_EQ(list->selectedRecords().size(), resourceIds.size());
    }
    // The service's requests whose path begins with the prefix, as "METHOD path".
    QStringList requestsTo(const QString& prefix) const
    {
        QStringList lines;
        for (const auto& sent : m_account.service.journal())
            if (sent.path.startsWith(prefix))
                lines << sent.method + QLatin1Char(' ') + sent.path;
        return lines;
    }
    int downloads() const { return int(requestsTo(QStringLiteral("/feeds/download/")).size()); }
    static int logCount(const QByteArray& text)
    {
        QFile file(Paths::logFile());
        return file.open(QIODevice::ReadOnly) ? int(file.readAll().count(text)) : 0;
    }

    std::unique_ptr<TQAllItemsController> list;
};

} // namespace tavrel::test
