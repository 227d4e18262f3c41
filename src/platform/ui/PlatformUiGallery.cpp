// Gallery pages of the interface layer itself: a cell in each state, in a button and in list rows;
// every image of ours and the theme's file icons; alerts with and without the suppression box.

#include "platform/ui/Alert.h"
#include "platform/ui/CellButton.h"
#include "platform/ui/CellItemDelegate.h"
#include "platform/ui/Drawing.h"
#include "platform/ui/GalleryRegistry.h"
#include "platform/ui/ImageRegistry.h"
#include "platform/ui/StringTable.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListView>
#include <QPainter>
#include <QPainterPath>
#include <QStringListModel>
#include <QVBoxLayout>

namespace tavrel {

namespace {

// A flat push button drawn by a cell, to show what the host does with each state.
class SampleButtonCell : public Cell
{
    TAVREL_CELL(SampleButtonCell)
public:
    explicit SampleButtonCell(const QString& title) : Cell(title) { setTrackable(true); }

    void paint(QPainter& painter, const QRectF& frame, CellHost&) override
    {
        const QRectF box = frame.adjusted(0.5, 0.5, -0.5, -0.5);
        QColor fill = Qt::white;
        QColor border = Drawing::grey(0.796875);
        QColor ink = Drawing::grey(0.24609375);
        if (state() == On) {
            fill = QColor(0x26, 0x5F, 0x99);
            border = fill;
            ink = Qt::white;
        } else if (isHighlighted()) {
            fill = Drawing::grey(0.859375);
        } else if (isSelected()) {
            fill = QColor(0xDC, 0xE8, 0xF6);
            border = QColor(0x8D, 0xB4, 0xE0);
        } else if (isHovered()) {
            fill = Drawing::grey(0.921875);
            border = Drawing::grey(0.64453125);
        }
        painter.save();
        painter.setOpacity(isEnabled() ? 1.0 : 0.45);
        painter.setPen(QPen(border, 1));
        painter.setBrush(fill);
        painter.drawRoundedRect(box, 5, 5);
        const QString icon = isHighlighted() ? QStringLiteral("close_active")
                             : isHovered()   ? QStringLiteral("close_hover")
                                             : QStringLiteral("close_regular");
        ImageRegistry::draw(painter, icon,
                            QRectF(frame.x() + 10, Drawing::floorf(frame.center().y() - 6), 12, 12));
        Drawing::drawText(painter, frame.adjusted(30, 0, -10, 0), title(), Drawing::font(13, QFont::DemiBold),
                          ink);
        painter.restore();
    }

    QSizeF cellSize(const QSizeF&) const override
    {
        return {Drawing::ceilf(Drawing::textSize(title(), Drawing::font(13, QFont::DemiBold)).width() + 42),
                30};
    }
};

// A list row: title, details and an action button on the right that shows hover.
class SampleRowCell : public Cell
{
    TAVREL_CELL(SampleRowCell)
public:
    QString details;

    void paint(QPainter& painter, const QRectF& frame, CellHost&) override
    {
        painter.save();
        painter.fillRect(frame, isHovered() ? Qt::white : Drawing::grey(0.98828125));
        if (isSelected())
            painter.fillRect(frame, Drawing::grey(0.9453125));
        painter.fillRect(QRectF(frame.x(), frame.bottom() - 1, frame.width(), 1), Drawing::grey(0.91015625));
        ImageRegistry::draw(painter, QStringLiteral("generic_document"),
                            QRectF(frame.x() + 10, frame.y() + 8, 32, 32));
        Drawing::drawText(painter, QRectF(frame.x() + 52, frame.y() + 7, frame.width() - 110, 18), title(),
                          Drawing::font(13, QFont::Bold), Drawing::grey(0.24609375));
        Drawing::drawText(painter, QRectF(frame.x() + 52, frame.y() + 25, frame.width() - 110, 16), details,
                          Drawing::font(11), Drawing::grey(0.64453125));
        const QRectF button(frame.right() - 46, frame.y() + 7, 32, 33);
        painter.setPen(Qt::NoPen);
        painter.setBrush(isHovered() ? QColor(0x26, 0x5F, 0x99) : Drawing::grey(0.859375));
        painter.drawRoundedRect(button.adjusted(4, 6, -4, -6), 4, 4);
        Drawing::drawText(painter, button, QStringLiteral("•••"), Drawing::font(11, QFont::Bold),
                          isHovered() ? Qt::white : Drawing::grey(0.421875), Qt::AlignCenter);
        painter.restore();
    }
    QSizeF cellSize(const QSizeF& bounds) const override { return {qMax(bounds.width(), 320.0), 48}; }
};

QList<GallerySample> cells()
{
    QList<GallerySample> samples;
    const auto button = [&](const QString& caption, const std::function<void(Cell&)>& configure) {
        auto cell = std::make_shared<SampleButtonCell>(QStringLiteral("Share"));
        configure(*cell);
        auto* host = new CellButton(cell);
        host->setEnabled(cell->isEnabled());
        host->resize(host->sizeHint());
        samples.append({caption, host});
    };
    button(QStringLiteral("Regular"), [](Cell&) {});
    button(QStringLiteral("Hovered"), [](Cell& c) { c.setHovered(true); });
    button(QStringLiteral("Pressed (highlighted)"), [](Cell& c) { c.setHighlighted(true); });
    button(QStringLiteral("Selected"), [](Cell& c) { c.setSelected(true); });
    button(QStringLiteral("On"), [](Cell& c) { c.setState(Cell::On); });
    button(QStringLiteral("Disabled"), [](Cell& c) { c.setEnabled(false); });

    // Rows drawn through the delegate bridge: the second row is the one under the mouse.
    auto* list = new QListView;
    auto* model =
        new QStringListModel({QStringLiteral("Quarterly report"), QStringLiteral("Team offsite plan"),
                              QStringLiteral("Budget 2024"), QStringLiteral("Reading list")},
                             list);
    list->setModel(model);
    list->setFrameShape(QFrame::NoFrame);
    list->setUniformItemSizes(true);
    auto row = std::make_shared<SampleRowCell>();
    new CellItemDelegate(list, [row, list](const QModelIndex& index) -> Cell* {
        row->setTitle(index.data().toString());
        row->details = StringTable::format(QStringLiteral("FileModifiedBy"),
                                           StringTable::text(QStringLiteral("OnlyME")));
        row->setHovered(index.row() == 1);
        row->setSelected(list->selectionModel()->isSelected(index));
        return row.get();
    });
    list->selectionModel()->select(model->index(2, 0), QItemSelectionModel::Select);
    list->resize(420, 4 * 48);
    samples.append({QStringLiteral("Rows of a list: hovered (2nd), selected (3rd)"), list});
    return samples;
}

// Pixmaps side by side, aligned at their bottom edge.
QWidget* pixmapRow(const std::function<QPixmap(int index, qreal ratio)>& pixmapAt, int count)
{
    auto* tile = new QWidget;
    auto* layout = new QHBoxLayout(tile);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(12);
    for (int i = 0; i < count; ++i) {
        auto* label = new QLabel;
        label->setPixmap(pixmapAt(i, tile->devicePixelRatioF()));
        layout->addWidget(label, 0, Qt::AlignBottom);
    }
    return tile;
}

// One of our images at its natural size and twice that.
QWidget* imageTile(const QString& name)
{
    const QSizeF natural = ImageRegistry::naturalSize(name);
    return pixmapRow(
        [&](int i, qreal ratio) { return ImageRegistry::pixmap(name, natural * (i + 1), ratio); }, 2);
}

// A theme icon at the sizes lists, rows and dialogs use.
QWidget* iconTile(const QIcon& icon)
{
    static const int sizes[]{16, 32, 48};
    return pixmapRow([&](int i, qreal ratio) { return icon.pixmap(QSize(sizes[i], sizes[i]), ratio); }, 3);
}

QList<GallerySample> images()
{
    QList<GallerySample> samples;
    for (const QString& name : ImageRegistry::names())
        samples.append({name, imageTile(name)});
    const QList<std::pair<QString, QIcon>> themeIcons{
        {QStringLiteral("Theme: folder"), ImageRegistry::folderIcon()},
        {QStringLiteral("Theme: report.pdf"), ImageRegistry::fileTypeIcon(QStringLiteral("report.pdf"))},
        {QStringLiteral("Theme: notes.odt"), ImageRegistry::fileTypeIcon(QStringLiteral("notes.odt"))},
        {QStringLiteral("Theme: budget.xlsx"), ImageRegistry::fileTypeIcon(QStringLiteral("budget.xlsx"))},
        {QStringLiteral("Theme: slides.odp"), ImageRegistry::fileTypeIcon(QStringLiteral("slides.odp"))},
        {QStringLiteral("Theme: photo.jpg"), ImageRegistry::fileTypeIcon(QStringLiteral("photo.jpg"))},
        {QStringLiteral("Theme: unknown kind"), ImageRegistry::fileTypeIcon(QStringLiteral("data.zzq"))},
    };
    for (const auto& [caption, icon] : themeIcons)
        samples.append({caption, iconTile(icon)});
    return samples;
}

QList<GallerySample> alerts()
{
    QList<GallerySample> samples;
    const auto add = [&](const QString& caption, Alert* alert) {
        QMessageBox* box = alert->makeMessageBox(nullptr);
        box->setWindowTitle(QStringLiteral("Tavrel"));
        // The gallery owns the box from here; the alert goes with it.
        box->setParent(nullptr);
        alert->setParent(box);
        samples.append({caption, box, true});
    };

    auto* trash = new Alert;
    trash->setMessageText(StringTable::text(QStringLiteral("TrashItemTitle")));
    trash->setInformativeText(
        StringTable::format(QStringLiteral("TrashItemMessage"), QStringLiteral("Budget 2024")));
    trash->setDefaultButtonTitle(StringTable::text(QStringLiteral("OK")));
    trash->setAlternateButtonTitle(StringTable::text(QStringLiteral("Cancel")));
    trash->setShowsSuppressionButton(true);
    add(QStringLiteral("Warning with the suppression box"), trash);

    auto* owner = new Alert;
    owner->setMessageText(
        StringTable::format(QStringLiteral("WrongDomainTitle"), QStringLiteral("ana@example.org")));
    owner->setInformativeText(StringTable::text(QStringLiteral("WrongDomainMessage")));
    owner->setShowsSuppressionButton(true);
    add(QStringLiteral("One button, suppression box"), owner);

    auto* restart = new Alert;
    restart->setStyle(Alert::Style::Informational);
    restart->setMessageText(StringTable::text(QStringLiteral("NeedsRestartTitle")));
    restart->setDefaultButtonTitle(StringTable::text(QStringLiteral("RestartNow")));
    restart->setAlternateButtonTitle(StringTable::text(QStringLiteral("Later")));
    add(QStringLiteral("Informational, with the program's icon"), restart);
    return samples;
}

} // namespace

TAVREL_GALLERY_PAGE("cells", "Cells in a button and in list rows", cells)
TAVREL_GALLERY_PAGE("images", "Images and file icons", images)
TAVREL_GALLERY_PAGE("alerts", "Alerts", alerts)

} // namespace tavrel
