// Gallery pages of the filter bars, the filtering views, the utility window and the new-group sheet.

#include "chrome/TQFilterbarController.h"
#include "chrome/TQFilteringViewController.h"
#include "chrome/TQFloatingTitlebar.h"
#include "chrome/TQFolderFilteringViewController.h"
#include "chrome/TQNewGroupController.h"
#include "chrome/TQTextFilterbar.h"
#include "chrome/TQUtilityWindowController.h"
#include "controls/BasicPopUpButton.h"
#include "controls/TQHostView.h"
#include "controls/TQHoverdTextButtonCell.h"
#include "platform/ui/CellButton.h"
#include "platform/ui/GalleryRegistry.h"
#include "platform/ui/ImageRegistry.h"
#include "platform/ui/StringTable.h"

#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QMimeDatabase>
#include <QTreeWidget>

namespace tavrel {

namespace {

QString text(const char* key)
{
    return StringTable::text(QString::fromLatin1(key));
}

// A fixture list of documents: what a list controller shows inside the chrome.
class SampleList : public TQViewController
{
public:
    explicit SampleList(QStringList titles = {}) : m_titles(std::move(titles)) {}

protected:
    QWidget* loadView() override
    {
        static const QList<QPair<QString, QString>> documents = {
            {QStringLiteral("Budget 2027"), QStringLiteral("application/vnd.oasis.opendocument.spreadsheet")},
            {QStringLiteral("Team offsite agenda"),
             QStringLiteral("application/vnd.oasis.opendocument.text")},
            {QStringLiteral("Quarterly report"), QStringLiteral("application/pdf")},
            {QStringLiteral("Launch plan"),
             QStringLiteral("application/vnd.oasis.opendocument.presentation")},
            {QStringLiteral("Travel expenses"),
             QStringLiteral("application/vnd.oasis.opendocument.spreadsheet")},
            {QStringLiteral("Minutes, 3 December"),
             QStringLiteral("application/vnd.oasis.opendocument.text")},
            {QStringLiteral("Office floor plan"), QStringLiteral("image/png")},
        };
        auto* tree = new QTreeWidget;
        tree->setHeaderHidden(true);
        tree->setRootIsDecorated(false);
        tree->setFrameShape(QFrame::NoFrame);
        tree->setIconSize(QSize(24, 24));
        tree->setAlternatingRowColors(false);
        const QMimeDatabase mime;
        for (const auto& [title, type] : documents) {
            if (!m_titles.isEmpty() && !m_titles.contains(title))
                continue;
            auto* row = new QTreeWidgetItem(tree, {title});
            const QMimeType kind = mime.mimeTypeForName(type);
            row->setIcon(0, QIcon::fromTheme(kind.iconName(), QIcon::fromTheme(kind.genericIconName())));
            row->setSizeHint(0, QSize(0, 34));
        }
        return tree;
    }

private:
    QStringList m_titles;
};

// The document lists' sorts, as a subclass supplies them.
class DocumentSorts : public TQFilteringViewController
{
public:
    QMap<QString, SortDescriptorRef> searchDescriptorsWithOrderedKeys(QStringList* orderedKeys) override
    {
        *orderedKeys = {text("SortLastModified"), text("SortName"), text("SortSize")};
        return {{text("SortLastModified"), std::make_shared<const SortDescriptor>("updatedDate", false)},
                {text("SortName"), std::make_shared<const SortDescriptor>("title")},
                {text("SortSize"), std::make_shared<const SortDescriptor>("size", false)}};
    }
};

// The white content area of a window, where lists lie.
QWidget* whiteHolder(const QSize& size)
{
    auto* holder = new QWidget;
    holder->resize(size);
    holder->setAutoFillBackground(true);
    QPalette palette = holder->palette();
    palette.setColor(QPalette::Window, Qt::white);
    holder->setPalette(palette);
    return holder;
}

QWidget* hosted(TQFilteringViewController* filtering, QStringList titles = {})
{
    QWidget* holder = whiteHolder(QSize(460, 300));
    filtering->setController(new SampleList(std::move(titles)));
    QWidget* view = filtering->view();
    view->setParent(holder);
    view->setGeometry(holder->rect());
    filtering->setParent(holder);
    return holder;
}

QList<GallerySample> filteringViews()
{
    QList<GallerySample> samples;
    samples.append({QStringLiteral("Document list, sorted by the first entry"), hosted(new DocumentSorts)});
    {
        auto* filtering = new DocumentSorts;
        QWidget* holder =
            hosted(filtering, {QStringLiteral("Budget 2027"), QStringLiteral("Travel expenses")});
        filtering->searchField()->setText(QStringLiteral("2027 \"travel\" 100%"));
        samples.append({QStringLiteral("Searching: quotes and percent signs are plain text"), holder});
    }
    samples.append({QStringLiteral("A collection's contents (folder view, no sort entries)"),
                    hosted(new TQFolderFilteringViewController,
                           {QStringLiteral("Launch plan"), QStringLiteral("Quarterly report"),
                            QStringLiteral("Office floor plan")})});
    {
        // The sort menu as it opens from the pull-down.
        auto* filtering = new DocumentSorts;
        QWidget* holder = hosted(filtering);
        filtering->changeSortDescriptor(filtering->sortControl()->menu()->actions().at(2));
        auto* menu = new QMenu(holder);
        for (QAction* entry : filtering->sortControl()->menu()->actions()) {
            if (!TQFilteringViewController::representedDescriptor(entry))
                continue;
            filtering->validateUserInterfaceItem(entry);
            menu->addAction(entry);
        }
        menu->ensurePolished();
        menu->adjustSize();
        menu->move(8, 32);
        menu->setWindowFlags(Qt::Widget);
        menu->setParent(holder);
        menu->show();
        samples.append({QStringLiteral("The sort menu, \"Name\" in force"), holder});
    }
    return samples;
}

CellButton* filterButton(QWidget* parent, const char* key)
{
    auto* button = new CellButton(std::make_shared<TQHoverdTextButtonCell>(text(key)), parent);
    button->resize(button->sizeHint().expandedTo(QSize(120, 22)));
    return button;
}

QWidget* filterBarSample(int selected)
{
    QWidget* holder = whiteHolder(QSize(460, 290));
    // The bar lies on the filter background, like the header of a filtering view.
    auto* header = new TQHostView(holder);
    header->setGeometry(0, 0, 460, 30);
    header->setBackgroundImage(ImageRegistry::pixmap(QStringLiteral("filter_background")));
    auto* bar = new TQTextFilterbar(header);
    bar->setGeometry(header->rect());
    filterButton(bar, "FilterAllItems");
    filterButton(bar, "FilterOwnedByMe");
    filterButton(bar, "FilterSharedWithMe");
    bar->awakeFromNib();
    auto* filter = new TQFilterbarController(holder);
    filter->view()->setParent(holder);
    filter->view()->setGeometry(0, 30, 460, 260);
    filter->setFilterbar(bar);
    filter->setControllers({new SampleList,
                            new SampleList({QStringLiteral("Budget 2027"), QStringLiteral("Launch plan")}),
                            new SampleList({QStringLiteral("Team offsite agenda")})});
    bar->activateButtonAtIndex(selected);
    bar->layoutButtons();
    return holder;
}

QList<GallerySample> filterBars()
{
    return {{QStringLiteral("Text filter bar: all items"), filterBarSample(0)},
            {QStringLiteral("Switched to \"Owned by me\""), filterBarSample(1)},
            {QStringLiteral("Switched to \"Shared with me\""), filterBarSample(2)}};
}

QList<GallerySample> utilityWindow()
{
    auto* utility = new TQUtilityWindowController;
    auto* filtering = new DocumentSorts;
    filtering->setController(new SampleList);
    utility->setController(filtering);
    utility->titleToolbar()->setTitle(text("ShowFilesInFolder"));
    utility->window()->setWindowTitle(text("ShowFilesInFolder"));
    utility->window()->resize(480, 380);
    return {{QStringLiteral("A list in a window of its own"), utility->window(), true}};
}

QList<GallerySample> newGroupSheet()
{
    auto* empty = new TQNewGroupController;
    empty->window()->resize(380, 150);
    auto* named = new TQNewGroupController;
    named->nameField()->setText(QStringLiteral("Book club"));
    named->window()->resize(380, 150);
    return {{QStringLiteral("Asking for the name"), empty->window(), true},
            {QStringLiteral("A name typed"), named->window(), true}};
}

} // namespace

TAVREL_GALLERY_PAGE("filter-bars", "Filter bars", filterBars)
TAVREL_GALLERY_PAGE("filtering-views", "Filtering views", filteringViews)
TAVREL_GALLERY_PAGE("utility-window", "Utility window", utilityWindow)
TAVREL_GALLERY_PAGE("new-group-sheet", "New-group sheet", newGroupSheet)

} // namespace tavrel
