#pragma once

#include "lists/ListModel.h"
#include "lists/TQTableViewController.h"
#include "platform/store/ManagedObjectContext.h"
#include "platform/store/ManagedObjectModel.h"
#include "platform/store/PersistentStoreCoordinator.h"
#include "platform/ui/Cell.h"
#include "support/ui/LoggingTest.h"

#include <QDir>
#include <memory>

namespace tavrel::test {

// A store of notes ("title", "rank", "isGroup"), with a master context on the main thread.
class ListFixture : public LoggingTest
{
protected:
    void SetUp() override
    {
        LoggingTest::SetUp();
        using T = AttributeDescription::Type;
        auto model = std::make_shared<ManagedObjectModel>();
        model->addEntity(QStringLiteral("Note"))
            .addAttribute(QStringLiteral("title"), T::String, {}, true)
            .addAttribute(QStringLiteral("rank"), T::Int64, qint64(0))
            .addAttribute(QStringLiteral("isGroup"), T::Bool, false);
        model->finalize();
        m_coordinator = std::make_shared<PersistentStoreCoordinator>(model);
        m_coordinator->addPersistentStore(QDir(home().path()).filePath(QStringLiteral("list.sqlite")));
        m_context = std::make_unique<ManagedObjectContext>(m_coordinator);
    }

    void TearDown() override
    {
        m_context.reset();
        m_coordinator->removePersistentStore();
        m_coordinator.reset();
        LoggingTest::TearDown();
    }

    ManagedObjectPtr insert(const QString& title, qint64 rank, bool isGroup = false, bool save = true)
    {
        ManagedObjectPtr note = m_context->insertNewObject(QStringLiteral("Note"));
        note->setValueForKey(QStringLiteral("title"), title);
        note->setValueForKey(QStringLiteral("rank"), rank);
        note->setValueForKey(QStringLiteral("isGroup"), isGroup);
        if (save)
            m_context->save();
        return note;
    }

    // A provider of every note by rank.
    ListModel* makeProvider(const QString& entity = QStringLiteral("Note"))
    {
        auto* provider = new ListModel(m_context.get(), entity);
        provider->setSortDescriptors({SortDescriptor(QStringLiteral("rank"))});
        return provider;
    }

    std::shared_ptr<PersistentStoreCoordinator> m_coordinator;
    std::unique_ptr<ManagedObjectContext> m_context;
};

// A row whose right-hand 40 points are a button (trackable, never selecting the row).
class RowWithButtonCell : public Cell
{
    TAVREL_CELL(RowWithButtonCell)
public:
    HitResults hitTest(const QPointF& point, const QRectF& frame) const override
    {
        if (!frameContains(frame, point))
            return {};
        if (point.x() >= frame.right() - 40)
            return HitResults(TrackableArea | NoSelect);
        return HitResults(ContentArea);
    }
};

// A list of notes whose group headers are the notes marked isGroup.
class NoteListController : public TQTableViewController
{
public:
    explicit NoteListController(ListModel* provider) { setDataProvider(provider); }

    bool isGroupRow(int row) const override
    {
        const ManagedObjectPtr note = dataProvider()->objectAtRow(row);
        return note && note->valueForKey(QStringLiteral("isGroup")).toBool();
    }
    Cell* dataCellForRow(int) override { return &m_cell; }

    RowWithButtonCell m_cell;
};

} // namespace tavrel::test
