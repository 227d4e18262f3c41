#include "DocumentViewsFixture.h"
#include "documents/TQAllItemsDragging.h"
#include "documents/TQAllItemsQuickLook.h"
#include "documents/TQPreviewPanel.h"
#include "model/Category.h"
#include "platform/ui/DragBus.h"

#include <QApplication>
#include <QDir>
#include <QDropEvent>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMimeData>
#include <QTemporaryDir>

namespace tavrel {
namespace {

// Rows by title: Alpha, Archive, Box, Gone (trashed), Notes.txt.
const char* const kSeed = R"({
  "owner": {"email": "demo@tavrel.test", "name": "Demo User"},
  "documents": [
    {"resourceId": "folder:box", "kind": "folder", "title": "Box"},
    {"resourceId": "folder:archive", "kind": "folder", "title": "Archive"},
    {"resourceId": "document:alpha", "kind": "document", "title": "Alpha"},
    {"resourceId": "document:gone", "kind": "document", "title": "Gone", "labels": ["trashed"]},
    {"resourceId": "file:notes", "kind": "file", "title": "Notes.txt", "content": "first notes\n"}
  ]
})";

class DocumentDragTest : public test::DocumentViewsFixture
{
protected:
    void SetUp() override
    {
        DocumentViewsFixture::SetUp();
        startWithSeed(kSeed, 5);
    }
    TQAllItemsDragging* dragging() { return list->dragging(); }
    QPoint pointOfRow(int row) const
    {
        return list->tableView()->visualRect(list->tableView()->model()->index(row, 0)).center();
    }
    // A drag that enters the table, moves to the point and is released there; answers whether the drop
    // was taken, and whether the moves were accepted.
    bool drop(QMimeData* data, const QPoint& point, bool* acceptedOnMove = nullptr)
    {
        QWidget* viewport = list->tableView()->viewport();
        QDragEnterEvent enter(point, Qt::CopyAction | Qt::MoveAction, data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(viewport, &enter);
        QDragMoveEvent move(point, Qt::CopyAction | Qt::MoveAction, data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(viewport, &move);
        if (acceptedOnMove)
            *acceptedOnMove = move.isAccepted() && move.dropAction() != Qt::IgnoreAction;
        QDropEvent dropping(QPointF(point), Qt::CopyAction | Qt::MoveAction, data, Qt::LeftButton,
                            Qt::NoModifier);
        QApplication::sendEvent(viewport, &dropping);
        return dropping.isAccepted();
    }
    // The list's own drag of the rows, as its table starts it.
    std::unique_ptr<QMimeData> ownDrag(const QList<int>& rows)
    {
        std::unique_ptr<QMimeData> data(dragging()->mimeDataForRows(rows));
        DragBus::postBegin(list->tableView(), data.get());
        return data;
    }
    void downloadNotes()
    {
        select({QStringLiteral("file:notes")});
        list->quickLook()->activateQuickLook();
        ASSERT_TRUE(test::waitUntil(
            [&] {
                const auto file = std::dynamic_pointer_cast<File>(entry(QStringLiteral("file:notes")));
                return file && file->isFilePathConsistent();
            },
            20000));
        TQPreviewPanel::existingPreviewPanel()->closePanel();
    }
};

TEST_F(DocumentDragTest, ADragCarriesIdentifiersWithTheProcessAndTheCurrentCopiesOnly)
{
    downloadNotes();
    const QList<int> rows{rowOf(QStringLiteral("document:alpha")), rowOf(QStringLiteral("folder:box")),
                          rowOf(QStringLiteral("file:notes"))};
    std::unique_ptr<QMimeData> data(dragging()->mimeDataForRows(rows));
    // The dragged rows become the selection.
    EXPECT_EQ(list->selectedRows(), rows);
    const QStringList expected{entry(QStringLiteral("document:alpha"))->identifier(),
                               entry(QStringLiteral("folder:box"))->identifier(),
                               entry(QStringLiteral("file:notes"))->identifier()};
    EXPECT_EQ(DragBus::fileItems(data.get()), expected);
    const auto notes = std::dynamic_pointer_cast<File>(entry(QStringLiteral("file:notes")));
    EXPECT_EQ(DragBus::fileURLs(data.get()), QList<QUrl>{QUrl(notes->filePath())});
    // The payload names records, never memory: what another process reads of it is nothing.
    const QString type = DragBus::mimeType(DragBus::kFileItemsPboardType);
    QJsonObject payload = QJsonDocument::fromJson(data->data(type)).object();
    EXPECT_EQ(payload.value(QStringLiteral("pid")).toInteger(), QCoreApplication::applicationPid());
    payload.insert(QStringLiteral("pid"), QCoreApplication::applicationPid() + 1);
    QMimeData foreign;
    foreign.setData(type, QJsonDocument(payload).toJson());
    EXPECT_TRUE(dragging()->draggedRecords(&foreign).isEmpty());

    // Nothing cached: the file list is there and empty.
    std::unique_ptr<QMimeData> uncached(
        dragging()->mimeDataForRows({rowOf(QStringLiteral("document:alpha"))}));
    EXPECT_TRUE(DragBus::fileURLs(uncached.get()).isEmpty());
}

TEST_F(DocumentDragTest, OwnRowsGoOnlyOntoAnUnselectedCollectionRowWhichTheyJoin)
{
    const int alpha = rowOf(QStringLiteral("document:alpha"));
    const int box = rowOf(QStringLiteral("folder:box"));
    const int notes = rowOf(QStringLiteral("file:notes"));
    struct Refused
    {
        const char* name;
        QPoint point;
    };
    const Refused refused[] = {
        {"a dragged row", pointOfRow(alpha)},
        {"a document row", pointOfRow(notes)},
        {"below the rows", QPoint(20, list->tableView()->viewport()->height() - 2)},
    };
    for (const Refused& row : refused) {
        SCOPED_TRACE(row.name);
        auto data = ownDrag({alpha});
        bool accepted = true;
        EXPECT_FALSE(drop(data.get(), row.point, &accepted));
        EXPECT_FALSE(accepted);
    }
    m_account.service.clearJournal();
    auto data = ownDrag({alpha});
    bool accepted = false;
    EXPECT_TRUE(drop(data.get(), pointOfRow(box), &accepted));
    EXPECT_TRUE(accepted);
    ASSERT_TRUE(test::waitUntil(
        [&] {
            const auto file = std::dynamic_pointer_cast<File>(entry(QStringLiteral("document:alpha")));
            return file && file->categories().contains(
                               std::dynamic_pointer_cast<Category>(entry(QStringLiteral("folder:box"))));
        },
        20000));
    EXPECT_TRUE(m_account.service.document(QStringLiteral("document:alpha"))
                    .parents.contains(QStringLiteral("folder:box")));
}

TEST_F(DocumentDragTest, TrashedRecordsAreRestoredAndOthersFromElsewhereAreRefused)
{
    // Records of this program from another list that is not the trash: nothing they could mean here.
    QMimeData other;
    DragBus::setFileItems(&other, {entry(QStringLiteral("document:alpha"))->identifier()});
    bool accepted = true;
    EXPECT_FALSE(drop(&other, pointOfRow(rowOf(QStringLiteral("folder:box"))), &accepted));
    EXPECT_FALSE(accepted);
    EXPECT_EQ(list->tableView()->dropTarget(), TQTableView::DropNowhere);

    QMimeData trashed;
    DragBus::setFileItems(&trashed, {entry(QStringLiteral("document:gone"))->identifier()});
    DragBus::setTrashedItems(&trashed);
    EXPECT_TRUE(drop(&trashed, pointOfRow(rowOf(QStringLiteral("file:notes"))), &accepted));
    EXPECT_TRUE(accepted);
    ASSERT_TRUE(test::waitUntil([&] { return !entry(QStringLiteral("document:gone"))->isTrashed(); }, 20000));

    // Nothing of ours and no files: refused.
    QMimeData text;
    text.setText(QStringLiteral("words"));
    EXPECT_FALSE(drop(&text, pointOfRow(0), &accepted));
    EXPECT_FALSE(accepted);
}

TEST_F(DocumentDragTest, FilesFromTheFileManagerAreUploaded)
{
    QTemporaryDir folder;
    const QString path = QDir(folder.path()).filePath(QStringLiteral("Dropped.txt"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("dropped\n");
    file.close();
    QMimeData data;
    DragBus::setFileURLs(&data, {QUrl::fromLocalFile(path)});
    bool accepted = false;
    EXPECT_TRUE(drop(&data, pointOfRow(0), &accepted));
    EXPECT_TRUE(accepted);
    ASSERT_TRUE(test::waitUntil([&] { return list->dataProvider()->count() == 6; }, 20000));
    bool found = false;
    for (const QString& rid : m_account.service.documentIds())
        found = found || m_account.service.documentTitle(rid) == QStringLiteral("Dropped.txt");
    EXPECT_TRUE(found);
}

TEST_F(DocumentDragTest, PromisedNamesStayInsideTheFolderTheyWereDroppedOn)
{
    const auto alpha = entry(QStringLiteral("document:alpha"));
    alpha->setValueForKey(QStringLiteral("title"), QStringLiteral("../../etc/evil"));
    const auto notes = entry(QStringLiteral("file:notes"));
    notes->setValueForKey(QStringLiteral("title"), QStringLiteral(".."));
    QTemporaryDir folder;
    const QStringList names = dragging()->namesOfPromisedFilesDroppedAtDestination(
        folder.path(), {rowOf(QStringLiteral("document:alpha")), rowOf(QStringLiteral("file:notes"))});
    ASSERT_EQ(names.size(), 2);
    for (const QString& name : names) {
        SCOPED_TRACE(name.toStdString());
        EXPECT_FALSE(name.contains(QLatin1Char('/')));
        EXPECT_NE(name, QStringLiteral(".."));
        EXPECT_NE(name, QStringLiteral("."));
        EXPECT_FALSE(name.startsWith(QLatin1Char('.')));
        EXPECT_TRUE(QFileInfo::exists(QDir(folder.path()).filePath(name)));
    }
    // Nothing was written outside the folder.
    QDir parent(folder.path());
    parent.cdUp();
    EXPECT_FALSE(QFileInfo::exists(parent.filePath(QStringLiteral("evil.doc"))));
}

} // namespace
} // namespace tavrel
