// Gallery pages of the row cells, the role switches and the list tables.

#include "controls/ControlServices.h"
#include "controls/TQAnimatingBar.h"
#include "controls/TQBigContactTableCell.h"
#include "controls/TQBigDocumentTableCell.h"
#include "controls/TQCollectionTableCell.h"
#include "controls/TQContactTableCell.h"
#include "controls/TQDocumentTableCell.h"
#include "controls/TQDraggingMatrix.h"
#include "controls/TQDynamicPhotoSubcell.h"
#include "controls/TQDynamicTableView.h"
#include "controls/TQFlyerTableView.h"
#include "controls/TQHostView.h"
#include "controls/TQHoverdAdaptorButtonCell.h"
#include "controls/TQHoverdButtonCell.h"
#include "controls/TQHoveredPopUpButtonCell.h"
#include "controls/TQLinkTitleSubcell.h"
#include "controls/TQOutlineView.h"
#include "controls/TQPermissionTableCell.h"
#include "controls/TQPhotoSubcell.h"
#include "controls/TQSimpleBigContactTableCell.h"
#include "controls/TQStateItemCell.h"
#include "controls/TQSwitchButton.h"
#include "controls/TQTableViewDelegate.h"
#include "controls/TQTitledGroupTableCell.h"
#include "controls/TQTriSwitchButton.h"
#include "controls/TQUISettings.h"
#include "platform/ui/CellHost.h"
#include "platform/ui/Drawing.h"
#include "platform/ui/GalleryRegistry.h"
#include "platform/ui/ImageRegistry.h"
#include "platform/ui/OnlineFlag.h"
#include "platform/ui/StringTable.h"

#include <QIcon>
#include <QLabel>
#include <QMenu>
#include <QPainter>
#include <QScrollBar>
#include <QStandardItemModel>
#include <QVBoxLayout>

namespace tavrel {

namespace {

// One row as a list draws it: its background (white when hovered, the selection colour when
// selected), the cell with the mouse where the sample says, and the grid line under it.
class RowSample : public QWidget, public CellHost
{
public:
    RowSample(std::unique_ptr<Cell> cell, int width, int height, bool hovered, bool selected,
              QPointF mouse = QPointF(-100, -100))
        : m_cell(std::move(cell)), m_hovered(hovered), m_selected(selected), m_mouse(mouse)
    {
        // Online unless the sample says otherwise; the cell knows it before its parts are made.
        setOnline(true);
        resize(width, height + 1);
        if (m_hovered && m_mouse.x() < 0)
            m_mouse = QPointF(width - 80, 4);
    }
    QWidget* hostWidget() const override { return const_cast<RowSample*>(this); }
    QPointF mousePosition() const override { return m_mouse; }
    Cell& cell() { return *m_cell; }
    void setOnline(bool online)
    {
        OnlineFlag::of(this)->setOnline(online);
        m_cell->setOnline(online);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        const QRectF row(0, 0, width(), height() - 1);
        painter.fillRect(rect(), TQUISettings::rowBackgroundColor());
        if (m_selected)
            painter.fillRect(row, TQUISettings::selectedRowBackgroundColor());
        else if (m_hovered)
            painter.fillRect(row, Qt::white);
        m_cell->setSelected(m_selected);
        m_cell->setOnline(OnlineFlag::isOnline(this));
        m_cell->paint(painter, row, *this);
        painter.fillRect(QRectF(0, height() - 1, width(), 1),
                         m_selected ? TQUISettings::selectedGridBackgroundColor()
                                    : TQUISettings::gridBackgroundColor());
    }

private:
    std::unique_ptr<Cell> m_cell;
    bool m_hovered;
    bool m_selected;
    QPointF m_mouse;
};

QPixmap photo(int edge)
{
    return ImageRegistry::pixmap(QStringLiteral("user%1").arg(edge == 40 ? 49 : edge), QSizeF(edge, edge));
}

QPixmap fileIcon(const QString& name, int edge)
{
    return ImageRegistry::fileTypeIcon(name).pixmap(QSize(edge, edge));
}

std::unique_ptr<TQContactTableCell> contact(const QString& name, const QString& address)
{
    auto cell = std::make_unique<TQContactTableCell>(name);
    cell->setDetails(address);
    cell->setPhoto(photo(40));
    cell->setHasLink(true);
    cell->setCount(QString());
    cell->actionCell().setRegularImage(QPixmap());
    return cell;
}

QList<GallerySample> contactRows()
{
    QList<GallerySample> samples;
    samples.append(
        {QStringLiteral("Contact"),
         new RowSample(contact(QStringLiteral("Ann Fields"), QStringLiteral("ann.fields@example.com")), 360,
                       48, false, false)});
    samples.append(
        {QStringLiteral("Hovered: the share button shows"),
         new RowSample(contact(QStringLiteral("Ann Fields"), QStringLiteral("ann.fields@example.com")), 360,
                       48, true, false)});
    samples.append(
        {QStringLiteral("Pointer on the name: a link"),
         new RowSample(contact(QStringLiteral("Ann Fields"), QStringLiteral("ann.fields@example.com")), 360,
                       48, true, false, QPointF(80, 14))});
    samples.append(
        {QStringLiteral("Selected"),
         new RowSample(contact(QStringLiteral("Ann Fields"), QStringLiteral("ann.fields@example.com")), 360,
                       48, false, true)});
    auto counted = contact(QStringLiteral("Bob Marsh"), QString());
    counted->setCount(QStringLiteral("12"));
    samples.append({QStringLiteral("No address line, a count of shared items"),
                    new RowSample(std::move(counted), 360, 48, true, false)});
    auto editing = contact(QStringLiteral("Carol Stone"), QStringLiteral("carol@example.com"));
    editing->setShowsEditor(true);
    samples.append({QStringLiteral("Renaming in place: the ring of the editor"),
                    new RowSample(std::move(editing), 360, 48, false, true)});
    return samples;
}

std::unique_ptr<TQDocumentTableCell> document(const QString& title, const QString& file, int state,
                                              int sharing)
{
    auto cell = std::make_unique<TQDocumentTableCell>(title);
    cell->setDetails(QStringLiteral("Work, Plans"));
    cell->setPhoto(fileIcon(file, 16));
    cell->setItemState(state);
    cell->setDate(QStringLiteral("10:42"));
    cell->setSharingState(sharing);
    if (sharing == TQDocumentTableCell::ShareState)
        cell->actionCell().setRegularImage(QPixmap());
    cell->setHasLink(true);
    return cell;
}

QList<GallerySample> documentRows()
{
    QList<GallerySample> samples;
    const int width = 420;
    samples.append({QStringLiteral("Document, only me"),
                    new RowSample(document(QStringLiteral("Quarterly plan"), QStringLiteral("plan.odt"),
                                           TQStateItemCell::StateFavoriteOff, 1),
                                  width, 48, false, false)});
    samples.append({QStringLiteral("Hovered: share button"),
                    new RowSample(document(QStringLiteral("Quarterly plan"), QStringLiteral("plan.odt"),
                                           TQStateItemCell::StateFavoriteOff, 1),
                                  width, 48, true, false)});
    samples.append({QStringLiteral("Pointer on the star"),
                    new RowSample(document(QStringLiteral("Quarterly plan"), QStringLiteral("plan.odt"),
                                           TQStateItemCell::StateFavoriteOff, 1),
                                  width, 48, true, false, QPointF(15, 24))});
    samples.append({QStringLiteral("Starred, shared with others (who has access)"),
                    new RowSample(document(QStringLiteral("Budget 2027"), QStringLiteral("budget.ods"),
                                           TQStateItemCell::StateFavoriteOn, 3),
                                  width, 48, false, false)});
    samples.append({QStringLiteral("New"),
                    new RowSample(document(QStringLiteral("Team photo"), QStringLiteral("team.png"),
                                           TQStateItemCell::StateNew, 3),
                                  width, 48, false, false)});
    samples.append({QStringLiteral("Changed since last seen, selected"),
                    new RowSample(document(QStringLiteral("Release notes"), QStringLiteral("notes.pdf"),
                                           TQStateItemCell::StateModified, 3),
                                  width, 48, false, true)});

    // Collections: the check box follows the connection.
    for (const bool online : {true, false}) {
        auto collection = std::make_unique<TQCollectionTableCell>(QStringLiteral("Work"));
        collection->setPhoto(ImageRegistry::pixmap(QStringLiteral("shared_folder_small")));
        collection->setState(online ? Cell::On : Cell::Mixed);
        collection->actionCell().setRegularImage(QPixmap());
        // The picture is taken now: the box keeps the state it shows.
        auto* sample = new RowSample(std::move(collection), width, 48, false, false);
        sample->setOnline(online);
        samples.append({online ? QStringLiteral("Collection, online: the box can be changed")
                               : QStringLiteral("Collection, offline: the box is disabled"),
                        sample});
    }
    return samples;
}

QList<GallerySample> permissionRows()
{
    QList<GallerySample> samples;
    const struct
    {
        const char* caption;
        int role; // 0 editor, 1 viewer, -1 commenter, 2 owner
        bool isLong;
        bool hovered;
    } rows[] = {
        {"Can edit", 0, false, false},
        {"Can view, hovered: leave sharing", 1, false, true},
        {"Can comment (three positions)", -1, true, false},
        {"Owner", 2, false, false},
    };
    for (const auto& row : rows) {
        auto cell = std::make_unique<TQPermissionTableCell>(QStringLiteral("Dana Reyes"));
        cell->setDetails(QStringLiteral("dana.reyes@example.com"));
        cell->setPhoto(photo(52));
        cell->setHasLongAuxiliaryView(row.isLong);
        cell->setDeletable(row.role != 2);
        auto* sample = new RowSample(std::move(cell), 440, 68, row.hovered, false,
                                     row.hovered ? QPointF(440 - 28, 34) : QPointF(-100, -100));
        QWidget* control = nullptr;
        if (row.role == 2) {
            auto* label = new QLabel(StringTable::text(QStringLiteral("SortOwner")), sample);
            label->setAlignment(Qt::AlignCenter);
            label->setStyleSheet(QStringLiteral("color: #6C6C6C; font-weight: bold;"));
            control = label;
        } else if (row.isLong) {
            auto* toggle = new TQTriSwitchButton(sample);
            toggle->setCellState(row.role);
            control = toggle;
        } else {
            auto* toggle = new TQSwitchButton(sample);
            toggle->setCellState(row.role);
            control = toggle;
        }
        static_cast<TQPermissionTableCell&>(sample->cell()).setAuxiliaryView(control);
        control->setGeometry(static_cast<TQPermissionTableCell&>(sample->cell())
                                 .frameForAuxiliaryViewInBounds(QRectF(0, 0, 440, 68))
                                 .toRect());
        samples.append({QString::fromLatin1(row.caption), sample});
    }
    return samples;
}

QList<GallerySample> bigRows()
{
    QList<GallerySample> samples;
    const auto big = [](int documents, bool hovered) {
        auto cell = std::make_unique<TQBigContactTableCell>(QStringLiteral("Erin Walsh"));
        cell->setPhoto(photo(68));
        cell->setSubtitle(QStringLiteral("erin.walsh@example.com"));
        cell->setDetails(QStringLiteral("Design team"));
        QList<std::shared_ptr<Cell>> thumbnails;
        const QStringList names{QStringLiteral("a.pdf"), QStringLiteral("b.odt"), QStringLiteral("c.png"),
                                QStringLiteral("d.ods"), QStringLiteral("e.txt")};
        for (int i = 0; i < documents; ++i) {
            auto thumbnail = TQDynamicPhotoSubcell::cell();
            thumbnail->setImage(fileIcon(names[i % names.size()], 44));
            thumbnail->setPressInShadow(true);
            thumbnails.append(thumbnail);
        }
        cell->setActionCells(thumbnails);
        return std::make_unique<RowSample>(std::move(cell), 760, 87, hovered, false,
                                           QPointF(hovered ? 720 : -100, 43));
    };
    samples.append({QStringLiteral("Three shared documents"), big(3, false).release()});
    samples.append({QStringLiteral("More than fit: the more-items button, a thumbnail hovered"),
                    big(5, true).release()});
    auto simple = std::make_unique<TQSimpleBigContactTableCell>(QStringLiteral("Frank Ortiz"));
    simple->setPhoto(photo(68));
    simple->setSubtitle(QStringLiteral("frank.ortiz@example.com"));
    simple->setSharedItemsCount(7);
    samples.append({QStringLiteral("Compact: the number of shared items"),
                    new RowSample(std::move(simple), 760, 87, false, false)});
    return samples;
}

// A big document row as the lists fill it: the thumbnail, the title and date lines, the state badge,
// the general-access pop-up with the visibility menu, the share button and the pile of people.
RowSample* bigDocument(const QString& title, const QString& file, int state, int permission, int people,
                       bool hovered, bool selected, QPointF mouse = QPointF(-100, -100))
{
    auto cell = std::make_unique<TQBigDocumentTableCell>(QString());
    TQBigDocumentTableCell* row = cell.get();
    auto* sample = new RowSample(std::move(cell), 760, 87, hovered, selected, mouse);
    row->setControlView(sample);
    row->setTitle(title);
    row->setSubtitle(QStringLiteral("Today, 10:42 by Erin Walsh"));
    row->setDetails(QStringLiteral("Work, Plans"));
    row->setPhoto(fileIcon(file, 72));
    row->photoCell()->setImage(fileIcon(file, 72));
    row->setItemState(state);
    row->setItemPermission(0);
    auto* menu = new QMenu(sample);
    menu->addAction(QString());
    for (const char* image : {"private_regular", "icon_link_regular", "icon_public_regular",
                              "icon_domain_link_regular", "icon_domain_regular"})
        menu->addAction(ImageRegistry::icon(QString::fromLatin1(image)), QString());
    row->permissionCell()->setMenu(menu);
    row->setItemPermission(permission);
    row->staticActionCell();
    QList<std::shared_ptr<Cell>> pile;
    for (int i = 0; i < people; ++i) {
        auto person = TQDynamicPhotoSubcell::cell();
        person->setImage(photo(32));
        person->setHasRoundCorners(false);
        pile.append(person);
    }
    if (!pile.isEmpty())
        row->setActionCells(pile);
    return sample;
}

QList<GallerySample> bigDocumentRows()
{
    // The badge, the pop-up and the share button follow the connection: the samples are online.
    QList<GallerySample> samples;
    samples.append({QStringLiteral("Private, new, nobody else"),
                    bigDocument(QStringLiteral("Quarterly plan"), QStringLiteral("plan.odt"),
                                TQStateItemCell::StateNew, 1, 0, false, false)});
    samples.append({QStringLiteral("Starred, a link, one person: pointer on the share button"),
                    bigDocument(QStringLiteral("Budget 2027"), QStringLiteral("budget.ods"),
                                TQStateItemCell::StateFavoriteOn, 2, 1, true, false, QPointF(780, 43))});
    samples.append({QStringLiteral("Two people, pointer on the first"),
                    bigDocument(QStringLiteral("Team photo"), QStringLiteral("team.png"),
                                TQStateItemCell::StateFavoriteOff, 3, 2, true, false, QPointF(700, 43))});
    samples.append({QStringLiteral("Modified, shared in the domain with five people, selected"),
                    bigDocument(QStringLiteral("Release notes"), QStringLiteral("notes.pdf"),
                                TQStateItemCell::StateModified, 5, 5, false, true)});
    return samples;
}

QList<GallerySample> switches()
{
    QList<GallerySample> samples;
    for (const int state : {0, 1, -1}) {
        auto* holder = new QWidget;
        holder->resize(100, 36);
        auto* toggle = new TQSwitchButton(holder);
        toggle->setGeometry(10, 4, 80, 28);
        toggle->setCellState(state);
        samples.append({state == 0   ? QStringLiteral("Two positions: edit")
                        : state == 1 ? QStringLiteral("Two positions: view")
                                     : QStringLiteral("Two positions: mixed"),
                        holder});
    }
    for (const int state : {0, 1, -1}) {
        auto* holder = new QWidget;
        holder->resize(128, 36);
        auto* toggle = new TQTriSwitchButton(holder);
        toggle->setGeometry(10, 4, 108, 28);
        toggle->setCellState(state);
        samples.append({state == 0   ? QStringLiteral("Three positions: edit")
                        : state == 1 ? QStringLiteral("Three positions: view")
                                     : QStringLiteral("Three positions: comment"),
                        holder});
    }
    auto* holder = new QWidget;
    holder->resize(100, 36);
    auto* disabled = new TQSwitchButton(holder);
    disabled->setGeometry(10, 4, 80, 28);
    disabled->setCellState(1);
    disabled->setEnabled(false);
    samples.append({QStringLiteral("Offline: disabled"), holder});
    return samples;
}

// A sectioned list's controller for the table pictures.
class SampleController : public QObject, public TQTableViewDelegate
{
public:
    bool respondsTo(Method method) const override { return method & (IsGroupRow | DataCell | ViewForRow); }
    bool tableViewIsGroupRow(TQTableView*, int row) override { return groups.contains(row); }
    Cell* tableViewDataCell(TQTableView*, int row) override
    {
        if (groups.contains(row)) {
            header.setTitle(row == 0   ? QStringLiteral("Today")
                            : row == 4 ? QStringLiteral("Yesterday")
                                       : QStringLiteral("Earlier this week"));
            return &header;
        }
        static const QStringList titles{QStringLiteral("Quarterly plan"),  QStringLiteral("Budget 2027"),
                                        QStringLiteral("Team photo"),      QStringLiteral("Release notes"),
                                        QStringLiteral("Meeting minutes"), QStringLiteral("Road map")};
        static const QStringList files{QStringLiteral("plan.odt"),    QStringLiteral("budget.ods"),
                                       QStringLiteral("team.png"),    QStringLiteral("notes.pdf"),
                                       QStringLiteral("minutes.odt"), QStringLiteral("map.odp")};
        cell.setTitle(titles[row % titles.size()]);
        cell.setPhoto(fileIcon(files[row % files.size()], 16));
        cell.setDetails(row % 3 == 0 ? QStringLiteral("Work") : QString());
        cell.setItemState(row % 5 == 1   ? TQStateItemCell::StateFavoriteOn
                          : row % 5 == 2 ? TQStateItemCell::StateNew
                                         : TQStateItemCell::StateFavoriteOff);
        cell.setDate(QStringLiteral("%1:%2").arg(9 + row % 8).arg(row * 7 % 60, 2, 10, QLatin1Char('0')));
        cell.setSharingState(row % 2 ? 1 : 3);
        return &cell;
    }
    QWidget* dynamicTableViewViewForRow(TQDynamicTableView* table, int row) override
    {
        if (!dynamicRows)
            return nullptr;
        auto* toggle =
            row % 3 == 2 ? static_cast<TQSwitchButton*>(new TQTriSwitchButton) : new TQSwitchButton;
        toggle->setCellState(row % 3 == 0 ? 0 : row % 3 == 1 ? 1 : -1);
        const QRect rect = table->rectOfRow(row);
        const int width = row % 3 == 2 ? 108 : 80;
        // Left of the row's sharing button, in the width the table is shown at.
        toggle->setGeometry(table->width() - 150 - width, rect.top() + (rect.height() - 28) / 2, width, 28);
        return toggle;
    }

    QSet<int> groups;
    bool dynamicRows = false;
    TQTitledGroupTableCell header;
    TQDocumentTableCell cell;
};

QWidget* tableSample(TQTableView* table, SampleController* controller, int rows, const QSize& size)
{
    auto* model = new QStandardItemModel(rows, 1, table);
    table->setModel(model);
    table->setTableDelegate(controller);
    controller->setParent(table);
    table->noteHeightOfRows(QList<int>(controller->groups.begin(), controller->groups.end()));
    table->resize(size);
    return table;
}

QList<GallerySample> tables()
{
    QList<GallerySample> samples;

    auto* sectioned = new TQTableView;
    auto* controller = new SampleController;
    controller->groups = {0, 4, 9};
    tableSample(sectioned, controller, 14, QSize(460, 300));
    sectioned->selectRowIndexes({2}, false);
    samples.append(
        {QStringLiteral("Sectioned document list, one row selected (shown while the list has focus)"),
         sectioned});

    auto* scrolled = new TQTableView;
    auto* scrolledController = new SampleController;
    scrolledController->groups = {0, 4, 9};
    tableSample(scrolled, scrolledController, 14, QSize(460, 300));
    scrolled->verticalScrollBar()->setValue(80);
    samples.append({QStringLiteral("Scrolled: the section's header floats at the top"), scrolled});

    auto* overlaid = new TQTableView;
    tableSample(overlaid, new SampleController, 6, QSize(460, 200));
    auto* bar = new TQAnimatingBar;
    bar->setBackgroundColor(Qt::white);
    bar->setGeometry(200, 48, 260, 48);
    for (const char* name : {"share_hover", "sharings_hover"}) {
        auto* button = new QLabel(bar);
        button->setPixmap(ImageRegistry::pixmap(QString::fromLatin1(name)));
        button->setGeometry(210, 7, 32, 33);
    }
    overlaid->installOverlay(bar);
    bar->layoutSubviews();
    samples.append({QStringLiteral("A row's overlay bar of actions"), overlaid});

    auto* dropping = new TQTableView;
    tableSample(dropping, new SampleController, 5, QSize(460, 200));
    dropping->setDropTarget(TQTableView::DropOnTable);
    samples.append({QStringLiteral("A list without rows hovered, ready for drops"), dropping});

    auto* dynamic = new TQDynamicTableView;
    auto* dynamicController = new SampleController;
    dynamicController->dynamicRows = true;
    tableSample(dynamic, dynamicController, 5, QSize(460, 200));
    samples.append({QStringLiteral("Dynamic table: a control over each row"), dynamic});

    auto* outline = new TQOutlineView;
    OnlineFlag::of(outline)->setOnline(true);
    auto* model = new QStandardItemModel(outline);
    auto* group = new QStandardItem(QStringLiteral("My collections"));
    auto* work = new QStandardItem(QStringLiteral("Work"));
    work->appendRow(new QStandardItem(QStringLiteral("Plans")));
    work->appendRow(new QStandardItem(QStringLiteral("Reports")));
    model->appendRow(group);
    model->appendRow(work);
    model->appendRow(new QStandardItem(QStringLiteral("Home")));
    outline->setModel(model);
    auto* headerCell = new TQTitledGroupTableCell;
    auto* rowCell = new TQCollectionTableCell;
    outline->setGroupTest(
        [group](const QModelIndex& index) { return index.data().toString() == group->text(); });
    outline->setCellProvider([headerCell, rowCell, group](const QModelIndex& index) -> Cell* {
        if (index.data().toString() == group->text()) {
            headerCell->setTitle(index.data().toString());
            return headerCell;
        }
        rowCell->setTitle(index.data().toString());
        rowCell->setPhoto(ImageRegistry::pixmap(QStringLiteral("folder_small")));
        rowCell->setState(index.data().toString() == QStringLiteral("Plans") ? Cell::On : Cell::Off);
        rowCell->actionCell().setRegularImage(QPixmap());
        return rowCell;
    });
    QObject::connect(outline, &QObject::destroyed, [headerCell, rowCell] {
        delete headerCell;
        delete rowCell;
    });
    outline->expandAll();
    outline->resize(360, 240);
    samples.append({QStringLiteral("Outline of collections"), outline});

    auto* flyerTable = new TQFlyerTableView;
    tableSample(flyerTable, new SampleController, 4, QSize(460, 200));
    auto* flyer = new TQHostView;
    flyer->setBackgroundColor(QColor(0xF7, 0xF7, 0xF7));
    auto* matrix = new TQDraggingMatrix(flyer);
    QList<std::shared_ptr<Cell>> roles;
    for (const char* key : {"CanEdit", "CanComment", "CanView"}) {
        auto role = std::make_shared<Cell>(StringTable::text(QString::fromLatin1(key)));
        role->setFont(Drawing::font(11, QFont::Bold));
        role->setTextColor(TQUISettings::rowTitleTextColor());
        roles.append(role);
    }
    roles[1]->setHighlighted(true);
    matrix->setCells(roles);
    flyerTable->setFlyer(flyer);
    flyerTable->setDropRow(1);
    flyerTable->installFlyer();
    matrix->setGeometry(0, 0, 460, 48);
    samples.append({QStringLiteral("Dropping onto a person: the flyer of roles over the row"), flyerTable});
    return samples;
}

} // namespace

TAVREL_GALLERY_PAGE("rows-contacts", "Contact rows", contactRows)
TAVREL_GALLERY_PAGE("rows-documents", "Document and collection rows", documentRows)
TAVREL_GALLERY_PAGE("rows-permissions", "Permission rows with their role controls", permissionRows)
TAVREL_GALLERY_PAGE("rows-big-contacts", "Big contact rows", bigRows)
TAVREL_GALLERY_PAGE("rows-big-documents", "Big document rows", bigDocumentRows)
TAVREL_GALLERY_PAGE("role-switches", "Role switches", switches)
TAVREL_GALLERY_PAGE("list-tables", "List tables, dynamic table, outline, flyer", tables)

} // namespace tavrel
