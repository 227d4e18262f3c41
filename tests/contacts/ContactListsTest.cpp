#include "ContactsFixture.h"
#include "contacts/ContactVCards.h"
#include "contacts/TQAllContactsController.h"
#include "contacts/TQAlphaGroupedContactsController.h"
#include "contacts/TQContactFavoritesController.h"
#include "controls/TQDraggingMatrix.h"
#include "controls/TQFlyerTableView.h"
#include "model/TQACLEntry.h"
#include "platform/ui/Animations.h"
#include "platform/ui/DragBus.h"
#include "platform/ui/MessageNames.h"
#include "platform/ui/StringTable.h"
#include "platform/ui/UserInterfaceItem.h"

#include <QAbstractItemModelTester>
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QDropEvent>
#include <QFile>
#include <QMimeData>
#include <QTemporaryDir>
#include <QUrl>
#include <gtest/gtest.h>
#include <memory>

namespace tavrel {
namespace {

class ContactListsTest : public test::ContactsFixture
{
protected:
    // A list over the store, its rows fetched, with the filter of the contacts list.
    template <typename List> std::unique_ptr<List> makeList(bool favoritesOnly = false)
    {
        auto list = std::make_unique<List>();
        list->setFilter([favoritesOnly] {
            QList<Predicate> parts{Predicate::format(QStringLiteral("visible == %@"), true)};
            if (favoritesOnly)
                parts.append(Predicate::format(QStringLiteral("favorite == %@"), true));
            return Predicate::andPredicate(parts);
        });
        install(list.get());
        list->dataProvider()->rearrangeObjects();
        return list;
    }
    static QStringList titles(const ListModel* model)
    {
        QStringList shown;
        for (int row = 0; row < model->count(); ++row)
            shown.append(model->data(model->index(row), ListModel::TitleRole).toString());
        return shown;
    }
    QList<ActionRequests::Request> requestsOf(const QString& action) const
    {
        return m_requests->requestsOf(action);
    }
};

TEST_F(ContactListsTest, LettersHeadTheirPeopleAndTheModelKeepsItsPromises)
{
    person(QStringLiteral("ann@x.org"), QStringLiteral("ann Lee"));
    person(QStringLiteral("abe@x.org"), QStringLiteral("Abe Ray"));
    person(QStringLiteral("zed@x.org"), QStringLiteral("Zed"));
    person(QStringLiteral("nameless@x.org"));
    save();
    auto list = makeList<TQAllContactsController>();
    TQAlphaGroupedContactsController* model = list->contacts();
    QAbstractItemModelTester tester(model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    // A person without a name shows the address and sits under "#"... or under the address's letter
    // when the store names the person by address: either way every person has a header above.
    const QStringList shown = titles(model);
    ASSERT_FALSE(shown.isEmpty());
    EXPECT_TRUE(model->isGroupRow(0));
    EXPECT_EQ(shown.indexOf(QStringLiteral("A")), 0);
    EXPECT_LT(shown.indexOf(QStringLiteral("Abe Ray")), shown.indexOf(QStringLiteral("ann Lee")));
    EXPECT_EQ(shown.indexOf(QStringLiteral("Z")) + 1, shown.indexOf(QStringLiteral("Zed")));
    EXPECT_EQ(shown.count(QStringLiteral("A")), 1);
    // A list whose first row is a header opens on the first person.
    list->reactivate();
    EXPECT_EQ(list->selectedRows(), QList<int>{1});

    person(QStringLiteral("amy@x.org"), QStringLiteral("Amy"));
    save();
    list->dataProvider()->rearrangeObjects();
    EXPECT_EQ(titles(model).count(QStringLiteral("A")), 1);
}

TEST_F(ContactListsTest, HeaderLettersAndRepeatedLettersKeepRowsApart)
{
    EXPECT_EQ(TQAlphaGroupedContactsController::headerLetter(QString()), QStringLiteral("#"));
    EXPECT_EQ(TQAlphaGroupedContactsController::headerLetter(QStringLiteral("  ")), QStringLiteral("#"));
    EXPECT_EQ(TQAlphaGroupedContactsController::headerLetter(QStringLiteral("émile")), QStringLiteral("É"));
    // Names whose first letters alternate under one sort bring a letter back: each header is a row of
    // its own.
    person(QStringLiteral("e1@x.org"), QStringLiteral("Eve"));
    person(QStringLiteral("e2@x.org"), QStringLiteral("émile"));
    person(QStringLiteral("e3@x.org"), QStringLiteral("Ezra"));
    save();
    auto list = makeList<TQAllContactsController>();
    QAbstractItemModelTester tester(list->contacts(), QAbstractItemModelTester::FailureReportingMode::Fatal);
    const QList<ManagedObjectID>& ids = list->contacts()->arrangedObjectIDs();
    EXPECT_EQ(QSet<ManagedObjectID>(ids.begin(), ids.end()).size(), ids.size());
}

TEST_F(ContactListsTest, FavouritesSortByDocumentsSharedAndTiesByName)
{
    const auto me = person(kUser);
    const auto bob = person(QStringLiteral("bob@x.org"), QStringLiteral("Bob"), true);
    const auto amy = person(QStringLiteral("amy@x.org"), QStringLiteral("Amy"), true);
    const auto cy = person(QStringLiteral("cy@x.org"), QStringLiteral("Cy"), true);
    person(QStringLiteral("dee@x.org"), QStringLiteral("Dee"), false);
    document(QStringLiteral("one"), me, {bob, cy});
    document(QStringLiteral("two"), me, {bob, amy});
    document(QStringLiteral("three"), me, {cy});
    document(QStringLiteral("four"), me, {cy});
    save();
    auto list = makeList<TQContactFavoritesController>(true);
    list->dataProvider()->rearrangeObjects();
    QAbstractItemModelTester tester(list->contacts(), QAbstractItemModelTester::FailureReportingMode::Fatal);
    // Cy 3, Bob 2, Amy 1; no headers.
    EXPECT_EQ(titles(list->contacts()),
              (QStringList{QStringLiteral("Cy"), QStringLiteral("Bob"), QStringLiteral("Amy")}));
    // The sort menu cannot change that order.
    list->setSortDescriptor(SortDescriptor(QStringLiteral("address"), false));
    list->dataProvider()->rearrangeObjects();
    EXPECT_EQ(titles(list->contacts()).first(), QStringLiteral("Cy"));
    // A tie is settled by name.
    document(QStringLiteral("five"), me, {amy});
    save();
    list->dataProvider()->rearrangeObjects();
    EXPECT_EQ(titles(list->contacts()),
              (QStringList{QStringLiteral("Cy"), QStringLiteral("Amy"), QStringLiteral("Bob")}));
    EXPECT_EQ(
        list->contacts()->data(list->contacts()->index(0), TQAlphaGroupedContactsController::SharedCountRole),
        3);
}

TEST_F(ContactListsTest, AutomaticChoiceStarsTheTopFiveVisiblePeopleNeverTheUser)
{
    const auto me = person(kUser);
    // Shares: 9, 7, 7, 5, 3, 2, 1, a hidden person with 20, and the user on everything.
    struct Someone
    {
        const char* address;
        const char* name;
        int shares;
        bool visible;
    };
    const Someone people[] = {{"p9@x.org", "Nine", 9, true},     {"p7b@x.org", "Seven B", 7, true},
                              {"p7a@x.org", "Seven A", 7, true}, {"p5@x.org", "Five", 5, true},
                              {"p3@x.org", "Three", 3, true},    {"p2@x.org", "Two", 2, true},
                              {"p1@x.org", "One", 1, true},      {"hidden@x.org", "Hidden", 20, false}};
    QList<std::shared_ptr<Mail>> made;
    for (const Someone& someone : people) {
        auto mail = person(QLatin1String(someone.address), QLatin1String(someone.name));
        mail->setVisible(someone.visible);
        made.append(mail);
    }
    for (int i = 0; i < 20; ++i) {
        QList<std::shared_ptr<Mail>> editors{me};
        for (qsizetype p = 0; p < made.size(); ++p)
            if (i < people[p].shares)
                editors.append(made.at(p));
        document(QStringLiteral("doc %1").arg(i), me, editors);
    }
    save();
    auto list = makeList<TQContactFavoritesController>(true);
    list->createFavoritesAutomatically(nullptr);
    const auto sent = requestsOf(QStringLiteral("UpdateMails"));
    ASSERT_EQ(sent.size(), 1);
    EXPECT_EQ(addressesOf(sent.first()), (QStringList{QStringLiteral("p9@x.org"), QStringLiteral("p7a@x.org"),
                                                      QStringLiteral("p7b@x.org"), QStringLiteral("p5@x.org"),
                                                      QStringLiteral("p3@x.org")}));
    EXPECT_EQ(sent.first().parameters.value(QStringLiteral("isFavorite")), true);
    EXPECT_TRUE(
        sent.first().parameters.value(QStringLiteral("statusID")).toString().startsWith("favorites_"));
    EXPECT_EQ(sent.first().manager, ActionRequests::Manager::Contacts);
}

TEST_F(ContactListsTest, AutomaticChoiceSendsNothingWithoutDocumentsOfTheUser)
{
    const auto other = person(QStringLiteral("other@x.org"), QStringLiteral("Other"));
    const auto amy = person(QStringLiteral("amy@x.org"), QStringLiteral("Amy"));
    // Owned by someone else, or by an address that merely starts with the user's.
    document(QStringLiteral("theirs"), other, {amy});
    document(QStringLiteral("lookalike"), person(kUser + QStringLiteral(".evil.org")), {amy});
    save();
    auto list = makeList<TQContactFavoritesController>(true);
    list->createFavoritesAutomatically(nullptr);
    EXPECT_TRUE(requestsOf(QStringLiteral("UpdateMails")).isEmpty());
}

TEST_F(ContactListsTest, DeleteHidesInTheListAndUnstarsInTheFavourites)
{
    person(QStringLiteral("amy@x.org"), QStringLiteral("Amy"), true);
    person(QStringLiteral("bob@x.org"), QStringLiteral("Bob"), true);
    save();
    struct Case
    {
        bool favourites;
        bool fromMenu;
        const char* flag;
        const char* status;
    };
    const Case cases[] = {{false, false, "isVisible", "delete_"},
                          {false, true, "isVisible", "delete_"},
                          {true, false, "isFavorite", "unstar_"},
                          {true, true, "isVisible", "delete_"}};
    for (const Case& c : cases) {
        m_requests->requests.clear();
        std::unique_ptr<TQAllContactsController> list;
        if (c.favourites)
            list = makeList<TQContactFavoritesController>(true);
        else
            list = makeList<TQAllContactsController>();
        list->dataProvider()->rearrangeObjects();
        const int row = list->isGroupRow(0) ? 1 : 0;
        list->selectRow(row);
        QAction item;
        UserInterfaceItem::setCommand(&item, Commands::deleteContact);
        if (c.fromMenu)
            list->deleteContact(&item);
        else
            list->deleteEntity(static_cast<QObject*>(nullptr));
        const auto sent = requestsOf(QStringLiteral("UpdateMails"));
        ASSERT_EQ(sent.size(), 1) << c.favourites << c.fromMenu;
        EXPECT_EQ(sent.first().parameters.value(QLatin1String(c.flag)), false) << c.favourites << c.fromMenu;
        EXPECT_TRUE(
            sent.first().parameters.value(QStringLiteral("statusID")).toString().startsWith(c.status));
        EXPECT_EQ(addressesOf(sent.first()), QStringList{list->mailAtRow(row)->address()});
    }
}

TEST_F(ContactListsTest, TheStarCommandStarsAMixedSelectionAndUnstarsAnAllFavouriteOne)
{
    person(QStringLiteral("amy@x.org"), QStringLiteral("Amy"), true);
    person(QStringLiteral("bob@x.org"), QStringLiteral("Bob"), false);
    save();
    auto list = makeList<TQAllContactsController>();
    list->dataProvider()->rearrangeObjects();
    // No headers in the way: select every person.
    QList<int> people;
    for (int row = 0; row < list->contacts()->count(); ++row)
        if (!list->isGroupRow(row))
            people.append(row);
    ASSERT_EQ(people.size(), 2);
    list->view();
    QAction item;
    UserInterfaceItem::setCommand(&item, Commands::toggleFavoriteState);
    struct Case
    {
        QList<int> rows;
        const char* title;
        bool starred;
    };
    const Case cases[] = {{people, "AddToFavorites", true}, {{people.first()}, "RemoveFromFavorites", false}};
    for (const Case& c : cases) {
        m_requests->requests.clear();
        list->selectRow(-1);
        for (const int row : c.rows)
            list->table()->selectionModel()->select(list->contacts()->index(row),
                                                    QItemSelectionModel::Select | QItemSelectionModel::Rows);
        list->validateUserInterfaceItem(&item);
        EXPECT_EQ(item.text(), StringTable::text(QLatin1String(c.title)));
        list->toggleFavoriteState(&item);
        const auto sent = requestsOf(QStringLiteral("UpdateMails"));
        ASSERT_EQ(sent.size(), 1);
        EXPECT_EQ(sent.first().parameters.value(QStringLiteral("isFavorite")), c.starred);
        EXPECT_EQ(addressesOf(sent.first()).size(), c.rows.size());
    }
}

TEST_F(ContactListsTest, TheFlyerMapsItsButtonsToRolesAndSendsTheShare)
{
    EXPECT_EQ(TQAllContactsController::roleForFlyerColumn(0), TQACLEntry::Writer);
    EXPECT_EQ(TQAllContactsController::roleForFlyerColumn(1), TQACLEntry::Reader);
    EXPECT_EQ(TQAllContactsController::roleForFlyerColumn(2), TQACLEntry::Commenter);

    const auto me = person(kUser);
    person(QStringLiteral("amy@x.org"), QStringLiteral("Amy"));
    const auto commented = document(QStringLiteral("Notes"), me);
    commented->setHasCommenterSupport(true);
    const auto plain = document(QStringLiteral("Photo"), me);
    plain->setResourceId(QStringLiteral("file:photo"));
    plain->setHasCommenterSupport(false);
    save();
    auto list = makeList<TQAllContactsController>();
    list->dataProvider()->rearrangeObjects();
    int amyRow = -1;
    for (int row = 0; row < list->contacts()->count(); ++row)
        if (auto mail = list->mailAtRow(row); mail && mail->address() == QLatin1String("amy@x.org"))
            amyRow = row;
    ASSERT_GE(amyRow, 0);
    TQFlyerTableView* table = list->flyerTable();
    TQDraggingMatrix* matrix = list->permissionFlyer();
    matrix->setGeometry(0, 0, 300, 48);
    Animations::FactorOverride instant{0};

    struct Case
    {
        std::shared_ptr<File> document;
        int columns;
        QPoint at;
        int role;
    };
    const Case cases[] = {{commented, 3, {50, 20}, TQACLEntry::Writer},
                          {commented, 3, {150, 20}, TQACLEntry::Reader},
                          {commented, 3, {250, 20}, TQACLEntry::Commenter},
                          {plain, 2, {225, 20}, TQACLEntry::Reader}};
    for (const Case& c : cases) {
        m_requests->requests.clear();
        QMimeData data;
        DragBus::setFileItems(&data, {c.document->identifier()});
        table->setDropRow(amyRow);
        QDropEvent moving(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        EXPECT_TRUE(list->acceptorCanAcceptDraggingInfo(table, &moving));
        ASSERT_EQ(matrix->numberOfColumns(), c.columns);
        // Only a drop on the flyer's buttons counts.
        EXPECT_FALSE(list->acceptorValidateDraggingInfo(table, &moving));
        QDropEvent drop(QPointF(c.at), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        table->setDropRow(amyRow);
        QDragEnterEvent enter(c.at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(matrix, &enter);
        QApplication::sendEvent(matrix, &drop);
        EXPECT_EQ(matrix->selectedColumn(), c.role == TQACLEntry::Writer   ? 0
                                            : c.role == TQACLEntry::Reader ? 1
                                                                           : 2);
        const auto sent = requestsOf(QStringLiteral("SetPermissions"));
        ASSERT_EQ(sent.size(), 1) << c.columns << c.role;
        const auto entries = sent.first().parameters.value(QStringLiteral("ACLEntries")).toList();
        ASSERT_EQ(entries.size(), 1);
        const TQACLEntry entry = entries.first().value<TQACLEntry>();
        EXPECT_EQ(entry.role(), c.role);
        EXPECT_EQ(entry.value(), QStringLiteral("amy@x.org"));
        EXPECT_EQ(sent.first().parameters.value(QStringLiteral("documentEntities")).toList().size(), 1);
    }

    // Files from the desktop are uploaded and shared in one action.
    m_requests->requests.clear();
    QMimeData files;
    DragBus::setFileURLs(&files, {QUrl::fromLocalFile(QDir::temp().filePath(QStringLiteral("a.txt")))});
    table->setDropRow(amyRow);
    QDragEnterEvent enter(QPoint(50, 20), Qt::CopyAction, &files, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(matrix, &enter);
    QDropEvent drop(QPointF(50, 20), Qt::CopyAction, &files, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(matrix, &drop);
    ASSERT_EQ(requestsOf(QStringLiteral("UploadFiles")).size(), 1);
}

TEST_F(ContactListsTest, VCardExportStaysInsideTheFolderAndOverwritesNothing)
{
    QTemporaryDir outer;
    ASSERT_TRUE(outer.isValid());
    const QString folder = QDir(outer.path()).filePath(QStringLiteral("chosen"));
    ASSERT_TRUE(QDir().mkpath(folder));
    QFile existing(QDir(folder).filePath(QStringLiteral("Ann.vcf")));
    ASSERT_TRUE(existing.open(QIODevice::WriteOnly));
    existing.write("keep me");
    existing.close();
    const QList<std::shared_ptr<Mail>> people{
        person(QStringLiteral("ab@x.org"), QStringLiteral("a/b")),
        person(QStringLiteral("up@x.org"), QStringLiteral("../x")),
        person(QStringLiteral("ann1@x.org"), QStringLiteral("Ann")),
        person(QStringLiteral("ann2@x.org"), QStringLiteral("Ann")),
        person(QStringLiteral("hidden@x.org"), QStringLiteral(".hidden"))};
    save();
    auto list = makeList<TQAllContactsController>();
    const QStringList written = list->exportVCards(people, folder);
    ASSERT_EQ(written.size(), people.size());
    for (const QString& path : written) {
        EXPECT_EQ(QFileInfo(path).absolutePath(), QFileInfo(folder).absoluteFilePath()) << path.toStdString();
        EXPECT_FALSE(QFileInfo(path).fileName().startsWith(QLatin1Char('.'))) << path.toStdString();
    }
    EXPECT_EQ(QSet<QString>(written.begin(), written.end()).size(), written.size());
    // Nothing landed beside the chosen folder, and the file that was there is as it was.
    EXPECT_EQ(QDir(outer.path()).entryList(QDir::Files).size(), 0);
    ASSERT_TRUE(existing.open(QIODevice::ReadOnly));
    EXPECT_EQ(existing.readAll(), QByteArray("keep me"));
    EXPECT_TRUE(written.contains(QDir(folder).filePath(QStringLiteral("Ann (1).vcf"))));
    EXPECT_TRUE(written.contains(QDir(folder).filePath(QStringLiteral("Ann (2).vcf"))));
    QFile card(written.first());
    ASSERT_TRUE(card.open(QIODevice::ReadOnly));
    EXPECT_TRUE(card.readAll().startsWith("BEGIN:VCARD"));

    // Dragged out, people become vCard files of the same names in a private folder.
    QModelIndexList rows;
    for (int row = 0; row < list->contacts()->count(); ++row)
        if (list->mailAtRow(row))
            rows.append(list->contacts()->index(row));
    ASSERT_EQ(rows.size(), people.size());
    std::unique_ptr<QMimeData> dragged(list->contacts()->mimeData(rows));
    ASSERT_TRUE(dragged);
    const QList<QUrl> urls = DragBus::fileURLs(dragged.get());
    ASSERT_EQ(urls.size(), people.size());
    QStringList names;
    for (const QUrl& url : urls) {
        EXPECT_TRUE(QFileInfo::exists(url.toLocalFile()));
        names.append(url.fileName());
    }
    EXPECT_TRUE(names.contains(QStringLiteral("a:b.vcf")));
    EXPECT_EQ(QFileInfo(urls.first().toLocalFile()).absolutePath(),
              QFileInfo(urls.last().toLocalFile()).absolutePath());

    EXPECT_EQ(ContactVCards::fileNameFor(QString()), QStringLiteral("#.vcf"));
    EXPECT_EQ(ContactVCards::fileNameFor(QStringLiteral("a/b")), QStringLiteral("a:b.vcf"));
}

} // namespace
} // namespace tavrel
