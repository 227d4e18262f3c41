#include "ListFixture.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QThread>
#include <gtest/gtest.h>
#include <thread>

namespace tavrel {
namespace {

class ListModelTest : public test::ListFixture
{
protected:
    QStringList titles(const ListModel& model) const
    {
        QStringList result;
        for (int row = 0; row < model.count(); ++row)
            result << model.data(model.index(row)).toString();
        return result;
    }
};

TEST_F(ListModelTest, SearchTextMatchesLiterallyWhateverItHolds)
{
    const QStringList stored = {
        QStringLiteral("O'Brien \"draft\""), QStringLiteral("100% done"), QStringLiteral("a*b"),
        QStringLiteral("back\\slash"),       QStringLiteral("plain"),     QStringLiteral("under_score")};
    for (int i = 0; i < stored.size(); ++i)
        insert(stored.at(i), i);
    struct Row
    {
        QString search;
        QStringList expected;
    };
    const QList<Row> rows = {
        {QStringLiteral("'"), {stored.at(0)}},
        {QStringLiteral("\""), {stored.at(0)}},
        {QStringLiteral("\"draft\""), {stored.at(0)}},
        {QStringLiteral("%"), {stored.at(1)}},
        {QStringLiteral("100%"), {stored.at(1)}},
        {QStringLiteral("*"), {stored.at(2)}},
        {QStringLiteral("a*b"), {stored.at(2)}},
        {QStringLiteral("\\"), {stored.at(3)}},
        {QStringLiteral("k\\s"), {stored.at(3)}},
        {QStringLiteral("_"), {stored.at(5)}},
        // Text that would be syntax if it were pasted into the format.
        {QStringLiteral("%@"), {}},
        {QStringLiteral("' OR TRUEPREDICATE OR title == '"), {}},
        {QStringLiteral("\") OR (1 == 1"), {}},
        {QStringLiteral("PLAIN"), {stored.at(4)}},
        {QString(), stored},
    };
    ListModel model(m_context.get(), QStringLiteral("Note"));
    model.setSortDescriptors({SortDescriptor(QStringLiteral("rank"))});
    for (const Row& row : rows) {
        model.setSearchString(row.search);
        Error error;
        EXPECT_TRUE(model.fetchWithRequest(std::nullopt, false, &error)) << qPrintable(row.search);
        EXPECT_TRUE(error.isNull()) << qPrintable(row.search);
        EXPECT_EQ(titles(model), row.expected) << qPrintable(row.search);
    }
}

TEST_F(ListModelTest, FilterSearchAndSortCombine)
{
    insert(QStringLiteral("beta"), 2);
    insert(QStringLiteral("alpha"), 3);
    insert(QStringLiteral("alpine"), 1);
    insert(QStringLiteral("Header"), 0, true);
    ListModel model(m_context.get(), QStringLiteral("Note"));
    model.setFilterPredicate(Predicate::format(QStringLiteral("isGroup == NO")));
    model.setSortDescriptors({SortDescriptor(QStringLiteral("title"), false)});
    model.setSearchString(QStringLiteral("alp"));
    model.rearrangeObjects();
    EXPECT_EQ(titles(model), (QStringList{QStringLiteral("alpine"), QStringLiteral("alpha")}));
    model.setSearchFormat(QStringLiteral("title BEGINSWITH[c] %@ OR title ENDSWITH[c] %@"));
    model.setSearchString(QStringLiteral("a"));
    model.rearrangeObjects();
    EXPECT_EQ(titles(model),
              (QStringList{QStringLiteral("beta"), QStringLiteral("alpine"), QStringLiteral("alpha")}));
}

TEST_F(ListModelTest, AFetchRunsOnAnotherThreadAndTheRowsAreTakenOnThisOne)
{
    for (int i = 0; i < 50; ++i)
        insert(QStringLiteral("note %1").arg(i), 50 - i);
    ListModel model(m_context.get(), QStringLiteral("Note"));
    model.setSortDescriptors({SortDescriptor(QStringLiteral("rank"))});
    const ListFetchPtr fetch = model.makeFetch();
    std::thread worker([fetch] { fetch->run(); });
    worker.join();
    EXPECT_EQ(model.count(), 0);
    // Nothing changed since the fetch was made: its rows are what a fetch now would give.
    EXPECT_TRUE(model.adoptFetch(*fetch));
    ASSERT_EQ(model.count(), 50);
    EXPECT_EQ(model.data(model.index(0)).toString(), QStringLiteral("note 49"));

    // A save, an unsaved record of the entity or another request after the fetch was made: its rows
    // are taken but may be stale.
    const std::function<void()> changes[] = {
        [this] { insert(QStringLiteral("saved"), 100); },
        [this] { insert(QStringLiteral("unsaved"), 100, false, false); },
        [&model] { model.setSearchString(QStringLiteral("note 1")); },
    };
    for (const auto& change : changes) {
        const ListFetchPtr stale = model.makeFetch();
        EXPECT_TRUE(stale->run());
        change();
        EXPECT_FALSE(model.adoptFetch(*stale));
        m_context->save();
    }

    // A failed fetch (an entity the store does not know) leaves the rows.
    ListModel unknown(m_context.get(), QStringLiteral("Nothing"));
    const ListFetchPtr failing = unknown.makeFetch();
    EXPECT_FALSE(failing->run());
    EXPECT_FALSE(failing->error().isNull());
    const QList<ManagedObjectID> rows = model.arrangedObjectIDs();
    EXPECT_FALSE(model.adoptFetch(*failing));
    EXPECT_EQ(model.arrangedObjectIDs(), rows);
}

// A search that keeps every other row of a long list would remove the rows one run at a time, each
// moving all rows below it: the list is shown afresh in one reset instead, and back again.
TEST_F(ListModelTest, AnArrangementOfManyScatteredRunsResetsOnce)
{
    for (int i = 0; i < 300; ++i)
        insert(QStringLiteral("%1 %2").arg(i % 2 ? QStringLiteral("odd") : QStringLiteral("even")).arg(i), i,
               false, false);
    m_context->save();
    ListModel model(m_context.get(), QStringLiteral("Note"));
    model.setSortDescriptors({SortDescriptor(QStringLiteral("rank"))});
    model.rearrangeObjects();
    model.setAutomaticallyPreparesContent(true);
    QSignalSpy resets(&model, &QAbstractItemModel::modelReset);
    QSignalSpy removed(&model, &QAbstractItemModel::rowsRemoved);
    QSignalSpy changes(&model, &ListModel::arrangedObjectsChanged);
    model.setSearchString(QStringLiteral("odd"));
    ASSERT_EQ(model.count(), 150);
    EXPECT_EQ(model.data(model.index(0)).toString(), QStringLiteral("odd 1"));
    EXPECT_EQ(model.rowOfObjectID(model.arrangedObjectIDs().last()), 149);
    model.setSearchString(QString());
    EXPECT_EQ(model.count(), 300);
    EXPECT_EQ(model.data(model.index(299)).toString(), QStringLiteral("odd 299"));
    EXPECT_EQ(resets.size(), 2);
    EXPECT_EQ(removed.size(), 0);
    EXPECT_EQ(changes.size(), 2);
}

TEST_F(ListModelTest, StoreChangesMoveInsertAndRemoveRowsWithoutAReset)
{
    const ManagedObjectPtr first = insert(QStringLiteral("first"), 10);
    const ManagedObjectPtr second = insert(QStringLiteral("second"), 20);
    const ManagedObjectPtr third = insert(QStringLiteral("third"), 30);
    ListModel model(m_context.get(), QStringLiteral("Note"));
    model.setSortDescriptors({SortDescriptor(QStringLiteral("rank"))});
    model.rearrangeObjects();
    model.setAutomaticallyPreparesContent(true);
    QSignalSpy resets(&model, &QAbstractItemModel::modelReset);
    QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
    QSignalSpy removed(&model, &QAbstractItemModel::rowsRemoved);
    QSignalSpy moved(&model, &QAbstractItemModel::layoutChanged);
    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    auto settle = [this] {
        m_context->processPendingChanges();
        QCoreApplication::processEvents();
    };

    insert(QStringLiteral("between"), 15);
    settle();
    EXPECT_EQ(titles(model), (QStringList{"first", "between", "second", "third"}));
    ASSERT_EQ(inserted.size(), 1);
    EXPECT_EQ(inserted.first().at(1).toInt(), 1);
    EXPECT_EQ(model.rowOfObjectID(third->objectID()), 3);

    m_context->deleteObject(second);
    m_context->save();
    settle();
    EXPECT_EQ(titles(model), (QStringList{"first", "between", "third"}));
    EXPECT_EQ(removed.size(), 1);

    // A persistent index follows its record to its new row.
    const QPersistentModelIndex tracked = model.index(0);
    first->setValueForKey(QStringLiteral("rank"), qint64(40));
    m_context->save();
    settle();
    EXPECT_EQ(titles(model), (QStringList{"between", "third", "first"}));
    EXPECT_GE(moved.size(), 1);
    EXPECT_EQ(tracked.row(), 2);
    EXPECT_EQ(model.rowOfObjectID(first->objectID()), 2);
    EXPECT_EQ(model.rowOfObjectID(second->objectID()), -1);

    // A change that moves nothing redraws its row's title alone, and the rows stay as they are.
    changed.clear();
    QSignalSpy arranged(&model, &ListModel::arrangedObjectsChanged);
    third->setValueForKey(QStringLiteral("title"), QStringLiteral("third, renamed"));
    m_context->save();
    settle();
    EXPECT_EQ(model.data(model.index(1)).toString(), QStringLiteral("third, renamed"));
    EXPECT_EQ(model.data(model.index(1), ListModel::TitleRole).toString(), QStringLiteral("third, renamed"));
    ASSERT_EQ(changed.size(), 1);
    EXPECT_EQ(changed.first().at(0).value<QModelIndex>().row(), 1);
    EXPECT_EQ(changed.first().at(1).value<QModelIndex>().row(), 1);
    EXPECT_EQ(changed.first().at(2).value<QList<int>>(), (QList<int>{Qt::DisplayRole, ListModel::TitleRole}));
    EXPECT_EQ(arranged.size(), 0);
    EXPECT_EQ(resets.size(), 0);
}

} // namespace
} // namespace tavrel
