#include "SidebarListsFixture.h"
#include "controls/TQTableView.h"
#include "documents/TQAllCollectionsController.h"
#include "documents/TQAllFavoritesController.h"
#include "documents/TQAllItemsController.h"
#include "documents/TQAllItemsFilteringViewController.h"
#include "documents/TQTrashFilteringViewController.h"
#include "documents/TQTrashItemsController.h"
#include "lists/ListModel.h"
#include "model/TQMOCMaster.h"
#include "platform/runtime/NotificationCenter.h"
#include "platform/runtime/Timing.h"
#include "platform/store/FetchRequest.h"
#include "platform/ui/DragBus.h"
#include "platform/ui/MessageNames.h"
#include "platform/ui/StringTable.h"
#include "platform/ui/UserInterfaceItem.h"
#include "support/WaitUntil.h"

#include <QAbstractButton>
#include <QAbstractItemModelTester>
#include <QAction>
#include <QDropEvent>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <algorithm>
#include <gtest/gtest.h>

namespace tavrel {
namespace {

using test::SidebarListsFixture;

enum class Place { AllItems, Starred, Collections, Trash };

TQAllItemsController* makeList(Place place)
{
    switch (place) {
    case Place::Starred:
        return new TQAllFavoritesController;
    case Place::Collections:
        return new TQAllCollectionsController;
    case Place::Trash:
        return new TQTrashItemsController;
    default:
        return new TQAllItemsController;
    }
}

QStringList sorted(QStringList list)
{
    list.sort();
    return list;
}

class SidebarListsTest : public SidebarListsFixture
{
protected:
    QStringList fetch(const Predicate& predicate)
    {
        FetchRequest request(QStringLiteral("FileEntryAbstract"));
        request.setPredicate(predicate);
        QStringList shown;
        for (const ManagedObjectPtr& record : moc()->executeFetchRequest(request))
            shown << record->valueForKey(QStringLiteral("title")).toString();
        return sorted(shown);
    }
};

TEST_F(SidebarListsTest, EachPlaceFiltersTheStoreByItsOwnRule)
{
    struct Row
    {
        Place place;
        bool hiddenFiles;
        const char* search;
        const char* titles;
    };
    const Row rows[] = {
        {Place::AllItems, false, "", "Alpha Beta Box Epsilon Gamma Inner Linked Theta"},
        {Place::AllItems, true, "", "Alpha Beta Box Gamma Linked Theta"},
        {Place::Starred, false, "", "Alpha Epsilon Inner Theta"},
        // Starred inside a collection, hidden with the files in collections.
        {Place::Starred, true, "", "Alpha Theta"},
        {Place::Starred, false, "ALP", "Alpha"},
        {Place::Collections, false, "", "Box Inner"},
        {Place::Collections, true, "", "Box"},
        {Place::Collections, false, "nn", "Inner"},
        {Place::Trash, false, "", "Delta Gone Zeta"},
        {Place::Trash, true, "", "Delta Gone"},
        {Place::Trash, false, "zet", "Zeta"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message()
                     << int(row.place) << " hidden " << row.hiddenFiles << " search " << row.search);
        std::unique_ptr<TQAllItemsController> list(makeList(row.place));
        list->setHiddenFiles(row.hiddenFiles);
        list->setSearchString(QString::fromLatin1(row.search));
        EXPECT_EQ(fetch(list->placePredicate()).join(u' '), QString::fromLatin1(row.titles));
    }
}

TEST_F(SidebarListsTest, AFilteringViewShowsItsListsOwnRowsAndFollowsTheStore)
{
    struct Row
    {
        Place place;
        const char* titles;
        const char* noSearchKey;
    };
    const Row rows[] = {
        {Place::Starred, "Alpha Epsilon Inner Theta", "NoSearchFavoriteItems"},
        {Place::Collections, "Box Inner", "NoSearchCollections"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(int(row.place));
        TQAllItemsController* list = place(makeList(row.place));
        QAbstractItemModelTester tester(list->dataProvider(),
                                        QAbstractItemModelTester::FailureReportingMode::Warning);
        EXPECT_EQ(titles(list).join(u' '), QString::fromLatin1(row.titles));
        EXPECT_EQ(list->noSearchString(), StringTable::text(QLatin1String(row.noSearchKey)));
        // A search through the view's field narrows the rows.
        m_view->setSearchString(QStringLiteral("in"));
        EXPECT_TRUE(test::waitUntil([&] { return titles(list) == QStringList{QStringLiteral("Inner")}; }));
        m_view->setSearchString(QString());
        EXPECT_TRUE(test::waitUntil([&] { return titles(list).join(u' ') == QLatin1String(row.titles); }));
    }
    // Unstarring a record takes it out of the starred list.
    TQAllItemsController* starred = place(makeList(Place::Starred));
    std::dynamic_pointer_cast<FileEntryAbstract>(record(QStringLiteral("Alpha")))->setIsStarred(false);
    save();
    EXPECT_TRUE(test::waitUntil([&] { return !titles(starred).contains(QStringLiteral("Alpha")); }));
}

// --- Drops ---

enum class Payload { TrashedDocuments, Documents, Files };

std::unique_ptr<QMimeData> payload(Payload kind, const QStringList& identifiers)
{
    auto data = std::make_unique<QMimeData>();
    if (kind == Payload::Files) {
        DragBus::setFileURLs(data.get(), {QUrl::fromLocalFile(QStringLiteral("/tmp/report.pdf"))});
        return data;
    }
    DragBus::setFileItems(data.get(), identifiers);
    if (kind == Payload::TrashedDocuments)
        DragBus::setTrashedItems(data.get());
    return data;
}

class ListDropsTest : public SidebarListsTest
{
protected:
    // The point of the row showing the title in the viewport; below the last row for none.
    QPoint pointOf(TQAllItemsController* list, const QString& title)
    {
        TQTableView* table = list->tableView();
        const int rows = list->dataProvider()->count();
        for (int row = 0; row < rows; ++row)
            if (ManagedObjectPtr shown = list->recordAtRow(row);
                shown && shown->valueForKey(QStringLiteral("title")).toString() == title)
                return table->rectOfRow(row).center();
        return QPoint(20, table->rectOfRow(rows - 1).bottom() + 30);
    }
    static bool accepts(TQAllItemsController* list, QDropEvent* event)
    {
        bool answer = false;
        QMetaObject::invokeMethod(list, "acceptorCanAcceptDraggingInfo", Q_RETURN_ARG(bool, answer),
                                  Q_ARG(QObject*, list->tableView()), Q_ARG(QDropEvent*, event));
        return answer;
    }
    static bool process(TQAllItemsController* list, QDropEvent* event)
    {
        bool answer = false;
        QMetaObject::invokeMethod(list, "acceptorProcessDraggingInfo", Q_RETURN_ARG(bool, answer),
                                  Q_ARG(QObject*, list->tableView()), Q_ARG(QDropEvent*, event));
        return answer;
    }
    static QString titleOf(const QVariant& value)
    {
        const ManagedObjectPtr record = value.value<ManagedObjectPtr>();
        return record ? record->valueForKey(QStringLiteral("title")).toString() : QString();
    }
};

TEST_F(ListDropsTest, EachDropOfTheTableSendsItsActionAndDropsOnNoRowAreRefusedWhereTheyNeedOne)
{
    Timing::Override quick(QStringLiteral("collectionsSlideBackDelay"), 0);
    struct Row
    {
        Place place;
        Payload payload;
        const char* onto; // the row's title; "" below the last row
        bool accepted;
        const char* action;     // "" refused
        const char* identifier; // the status or progress identifier's verb
        const char* collection; // the target collection, "" none
    };
    const Row rows[] = {
        {Place::Starred, Payload::TrashedDocuments, "Alpha", true, "UntrashAndStarDocuments", "untrashing",
         ""},
        {Place::Starred, Payload::Documents, "Inner", true, "AssignCollections", "tocollection", "Inner"},
        {Place::Starred, Payload::Documents, "Alpha", true, "StarredDocuments", "starred", ""},
        {Place::Starred, Payload::Files, "Alpha", true, "UploadFiles", "upload", ""},
        {Place::Collections, Payload::TrashedDocuments, "Box", true, "AssignCollections", "tocollection",
         "Box"},
        {Place::Collections, Payload::Documents, "Inner", true, "AssignCollections", "tocollection", "Inner"},
        {Place::Collections, Payload::Documents, "Box", true, "AssignCollections", "tocollection", "Box"},
        {Place::Collections, Payload::Files, "Box", true, "UploadFiles", "upload", "Box"},
        // Below the last row: the starred list needs no row, the collections list has no collection.
        {Place::Starred, Payload::Documents, "", true, "StarredDocuments", "starred", ""},
        {Place::Starred, Payload::Files, "", true, "UploadFiles", "upload", ""},
        {Place::Collections, Payload::TrashedDocuments, "", false, "", "", ""},
        {Place::Collections, Payload::Documents, "", false, "", "", ""},
        {Place::Collections, Payload::Files, "", false, "", "", ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message()
                     << int(row.place) << " payload " << int(row.payload) << " onto " << row.onto);
        TQAllItemsController* list = place(makeList(row.place));
        const QStringList dragged = row.payload == Payload::TrashedDocuments
                                        ? QStringList{QStringLiteral("delta")}
                                        : QStringList{QStringLiteral("beta")};
        const auto data = payload(row.payload, dragged);
        QDropEvent drop(pointOf(list, QString::fromLatin1(row.onto)), Qt::CopyAction | Qt::MoveAction,
                        data.get(), Qt::LeftButton, Qt::NoModifier);
        m_requests->requests.clear();
        int slidBack = 0;
        QObject context;
        NotificationCenter::defaultCenter().addObserver(&context, DragBus::kDragDidCancelNotification,
                                                        QVariant(), [&](const Notification&) { ++slidBack; });
        ASSERT_EQ(accepts(list, &drop), row.accepted);
        EXPECT_EQ(list->tableView()->dropTarget(), !row.accepted             ? TQTableView::DropNowhere
                                                   : *row.collection != '\0' ? TQTableView::DropOnRow
                                                                             : TQTableView::DropOnTable);
        if (!row.accepted)
            continue;
        EXPECT_TRUE(process(list, &drop));
        ASSERT_EQ(m_requests->requests.size(), 1);
        const ActionRequests::Request& sent = m_requests->requests.first();
        EXPECT_EQ(sent.action, QLatin1String(row.action));
        const QString identifierKey =
            row.payload == Payload::Files ? QStringLiteral("progressID") : QStringLiteral("statusID");
        EXPECT_TRUE(sent.parameters.value(identifierKey)
                        .toString()
                        .startsWith(QLatin1String(row.identifier) + QLatin1Char('_')));
        EXPECT_EQ(sent.parameters.value(QStringLiteral("progressConsumer")).value<QObject*>(), list);
        EXPECT_EQ(titleOf(sent.parameters.value(QStringLiteral("collectionEntity"))),
                  QString::fromLatin1(row.collection));
        const bool starred =
            QLatin1String(row.action) != QLatin1String("AssignCollections") && row.place == Place::Starred;
        EXPECT_EQ(sent.parameters.value(QStringLiteral("isStarred")).toBool(), starred);
        if (row.payload == Payload::Files) {
            EXPECT_EQ(sent.parameters.value(QStringLiteral("fileURLs")).value<QList<QUrl>>().size(), 1);
        } else {
            const QVariantList entities = sent.parameters.value(QStringLiteral("documentEntities")).toList();
            ASSERT_EQ(entities.size(), 1);
            EXPECT_EQ(titleOf(entities.first()).toLower(), dragged.first());
        }
        // The collections list lets the sidebar put back what it moved for the drag.
        if (row.place == Place::Collections && row.payload != Payload::Files) {
            EXPECT_TRUE(test::waitUntil([&] { return slidBack == 1; }));
        }
        // Every answer goes to the list's own callback.
        m_requests->answerLast(QVariant());
    }
}

TEST_F(ListDropsTest, OwnRowsGoOnlyOntoAnUnselectedCollectionRowAndOtherProcessesRecordsAreRefused)
{
    TQAllItemsController* list = place(makeList(Place::Starred));
    TQTableView* table = list->tableView();
    const auto data = payload(Payload::Documents, {QStringLiteral("alpha")});
    DragBus::postBegin(table, data.get());
    struct Row
    {
        const char* onto;
        bool selectTarget;
        bool accepted;
    };
    const Row rows[] = {
        {"Inner", false, true}, {"Inner", true, false}, {"Theta", false, false}, {"", false, false}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.onto);
        const QPoint at = pointOf(list, QString::fromLatin1(row.onto));
        list->selectRow(row.selectTarget ? table->rowAt(at.y()) : -1);
        QDropEvent drop(at, Qt::MoveAction, data.get(), Qt::LeftButton, Qt::NoModifier);
        EXPECT_EQ(accepts(list, &drop), row.accepted);
    }
    // Group rows take nothing (the list grouped by date).
    m_view->setSortDescriptor(SortDescriptor(QStringLiteral("updatedDate"), false));
    ASSERT_TRUE(test::waitUntil([&] { return list->isGroupRow(0); }));
    const auto other = payload(Payload::Documents, {QStringLiteral("beta")});
    QDropEvent onGroup(table->rectOfRow(0).center(), Qt::MoveAction, other.get(), Qt::LeftButton,
                       Qt::NoModifier);
    EXPECT_FALSE(accepts(list, &onGroup));
    // Identifiers of another process name nothing here.
    QMimeData foreign;
    foreign.setData(DragBus::mimeType(DragBus::kFileItemsPboardType),
                    QByteArrayLiteral(R"({"items":["beta"],"pid":1})"));
    QDropEvent fromElsewhere(table->rectOfRow(1).center(), Qt::MoveAction, &foreign, Qt::LeftButton,
                             Qt::NoModifier);
    EXPECT_FALSE(accepts(list, &fromElsewhere));
}

// --- Trash ---

class TrashTest : public SidebarListsTest
{
protected:
    TQTrashFilteringViewController* trash()
    {
        return static_cast<TQTrashFilteringViewController*>(m_view.get());
    }
    QMessageBox* sheet() const
    {
        for (QMessageBox* box : m_view->view()->window()->findChildren<QMessageBox*>())
            if (box->isVisible())
                return box;
        return nullptr;
    }
    static void press(QMessageBox* box, const char* key)
    {
        for (QAbstractButton* button : box->buttons())
            if (button->text() == StringTable::text(QLatin1String(key))) {
                button->click();
                return;
            }
        ADD_FAILURE() << "no button " << key;
    }
    void selectTitle(TQAllItemsController* list, const QString& title)
    {
        for (int row = 0; row < list->dataProvider()->count(); ++row)
            if (ManagedObjectPtr shown = list->recordAtRow(row);
                shown && shown->valueForKey(QStringLiteral("title")).toString() == title)
                list->selectRow(row);
    }
    static QStringList entities(const ActionRequests::Request& request)
    {
        QStringList shown;
        for (const QVariant& value : request.parameters.value(QStringLiteral("documentEntities")).toList())
            shown << value.value<ManagedObjectPtr>()->valueForKey(QStringLiteral("title")).toString();
        return sorted(shown);
    }
};

TEST_F(TrashTest, RestoreAndDeleteForeverActOnTheSelectionWithoutAsking)
{
    auto* list = static_cast<TQTrashItemsController*>(install(new TQTrashFilteringViewController));
    EXPECT_EQ(m_view->title(), StringTable::text(QStringLiteral("TrashBack")));
    EXPECT_EQ(titles(list).join(u' '), QStringLiteral("Delta Gone Zeta"));
    // The row menu starts with Restore and a separator; its delete item says it deletes for good.
    QMenu* menu = list->rowMenu();
    ASSERT_GE(menu->actions().size(), 2);
    EXPECT_EQ(UserInterfaceItem::command(menu->actions().at(0)), Commands::restore);
    EXPECT_TRUE(menu->actions().at(1)->isSeparator());
    // As the menu opens on a row.
    list->tableView()->menuForRow(0);
    emit menu->aboutToShow();
    for (QAction* item : menu->actions())
        if (UserInterfaceItem::command(item) == Commands::deleteEntity) {
            EXPECT_EQ(item->text(), StringTable::text(QStringLiteral("DeleteForever")));
        }

    selectTitle(list, QStringLiteral("Delta"));
    QAction restoreItem;
    UserInterfaceItem::setCommand(&restoreItem, Commands::restore);
    EXPECT_TRUE(list->validateUserInterfaceItem(&restoreItem));
    list->restore(&restoreItem);
    ASSERT_EQ(m_requests->requests.size(), 1);
    EXPECT_EQ(m_requests->requests.last().action, QStringLiteral("UntrashDocuments"));
    EXPECT_EQ(entities(m_requests->requests.last()), QStringList{QStringLiteral("Delta")});
    EXPECT_TRUE(m_requests->requests.last()
                    .parameters.value(QStringLiteral("statusID"))
                    .toString()
                    .startsWith(QLatin1String("untrashing_")));

    selectTitle(list, QStringLiteral("Zeta"));
    list->deleteEntity(static_cast<QObject*>(nullptr));
    EXPECT_EQ(sheet(), nullptr);
    ASSERT_EQ(m_requests->requests.size(), 2);
    EXPECT_EQ(m_requests->requests.last().action, QStringLiteral("DeleteDocuments"));
    EXPECT_EQ(entities(m_requests->requests.last()), QStringList{QStringLiteral("Zeta")});
    // The list's key (the table's delete) deletes for good too.
    list->deleteEntity(list->tableView());
    EXPECT_EQ(m_requests->requests.last().action, QStringLiteral("DeleteDocuments"));

    // Rows dragged out of the trash carry the trash's marker.
    const std::unique_ptr<QMimeData> dragged(list->tableViewMimeDataForRows(list->tableView(), {0}));
    ASSERT_TRUE(dragged);
    EXPECT_TRUE(DragBus::hasTrashedItems(dragged.get()));

    // Nothing can be dropped on the trash.
    const auto data = payload(Payload::Documents, {QStringLiteral("alpha")});
    QDropEvent drop(list->tableView()->rectOfRow(0).center(), Qt::MoveAction, data.get(), Qt::LeftButton,
                    Qt::NoModifier);
    EXPECT_FALSE(list->acceptorCanAcceptDraggingInfo(list->tableView(), &drop));
}

TEST_F(TrashTest, EmptyingDeletesEverythingTrashedEvenWhatASearchHidesAndTheButtonComesBack)
{
    auto* list = static_cast<TQTrashItemsController*>(install(new TQTrashFilteringViewController));
    QPushButton* button = trash()->emptyTrashButton();
    ASSERT_NE(button, nullptr);
    EXPECT_TRUE(button->isVisible());
    m_view->setSearchString(QStringLiteral("del"));
    ASSERT_TRUE(test::waitUntil([&] { return titles(list) == QStringList{QStringLiteral("Delta")}; }));

    // Cancel changes nothing.
    button->click();
    ASSERT_NE(sheet(), nullptr);
    press(sheet(), "Cancel");
    EXPECT_TRUE(m_requests->requests.isEmpty());
    EXPECT_TRUE(button->isEnabled());

    // Confirmed: every trashed record goes, the button waits for the outcome.
    button->click();
    ASSERT_NE(sheet(), nullptr);
    press(sheet(), "OK");
    ASSERT_EQ(m_requests->requests.size(), 1);
    EXPECT_EQ(m_requests->requests.last().action, QStringLiteral("DeleteDocuments"));
    EXPECT_EQ(entities(m_requests->requests.last()).join(u' '), QStringLiteral("Delta Gone Zeta"));
    EXPECT_FALSE(button->isEnabled());
    // A failed deletion leaves records: the button comes back so that the user may try again.
    m_requests->answerLast(QVariant(), QVariant::fromValue(Error(QStringLiteral("test"), 703)));
    EXPECT_TRUE(button->isEnabled());

    // Once the list shows nothing the button is back even before the answer.
    button->click();
    press(sheet(), "OK");
    EXPECT_FALSE(button->isEnabled());
    m_view->setSearchString(QString());
    for (const QString& title : {QStringLiteral("Delta"), QStringLiteral("Gone"), QStringLiteral("Zeta")})
        moc()->deleteObject(record(title));
    save();
    EXPECT_TRUE(test::waitUntil([&] { return list->dataProvider()->count() == 0; }));
    EXPECT_TRUE(button->isEnabled());

    // An empty trash sends nothing and keeps the button.
    button->click();
    press(sheet(), "OK");
    EXPECT_EQ(m_requests->requests.size(), 2);
    EXPECT_TRUE(button->isEnabled());
}

} // namespace
} // namespace tavrel
