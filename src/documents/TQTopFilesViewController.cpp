#include "documents/TQTopFilesViewController.h"

#include "chrome/TQFilterbarController.h"
#include "chrome/TQTextFilterbar.h"
#include "controls/TQHostView.h"
#include "controls/TQHoverdTextButtonCell.h"
#include "documents/TQAllItemsController.h"
#include "lists/TQNoSearchProvider.h"
#include "model/FileEntryAbstract.h"
#include "model/Mail.h"
#include "platform/ui/CellButton.h"
#include "platform/ui/ImageRegistry.h"
#include "platform/ui/StringTable.h"
#include "session/TQSession.h"
#include "session/TQSessionManager.h"

#include <QLabel>
#include <QVBoxLayout>

namespace tavrel {

namespace {

constexpr int kFilterbarHeight = 30;
const char* const kTabTitles[] = {"FilterAllItems", "FilterSharedWithMe", "FilterSharedByMe",
                                  "FilterTimedSearches"};

QString currentUsername()
{
    TQSession* session = TQSessionManager::sharedManager()->currentSession();
    return session ? session->username() : QString();
}

} // namespace

TQTopFilesViewController::TQTopFilesViewController(QObject* parent)
    : TQViewController(QStringLiteral("TopFilesView"), parent)
{
    setTitle(StringTable::text(QStringLiteral("AllItemsBack")));
}

TQTopFilesViewController::~TQTopFilesViewController() = default;

QWidget* TQTopFilesViewController::loadView()
{
    auto* view = new QWidget;
    view->setObjectName(nibName());
    auto* column = new QVBoxLayout(view);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    auto* header = new TQHostView(view);
    header->setObjectName(QStringLiteral("filterHeader"));
    header->setFixedHeight(kFilterbarHeight);
    m_filterbar = new TQTextFilterbar(header);
    for (const char* key : kTabTitles) {
        auto* button = new CellButton(
            std::make_shared<TQHoverdTextButtonCell>(StringTable::text(QLatin1String(key))), m_filterbar);
        button->resize(button->sizeHint().expandedTo(QSize(110, 22)));
    }
    auto* headerLayout = new QVBoxLayout(header);
    headerLayout->setContentsMargins(0, 0, 0, 0);
    headerLayout->addWidget(m_filterbar);
    column->addWidget(header);
    m_filterController = new TQFilterbarController(this);
    column->addWidget(m_filterController->view(), 1);
    return view;
}

TQFilterbarController* TQTopFilesViewController::filterController()
{
    view();
    return m_filterController;
}

TQTextFilterbar* TQTopFilesViewController::filterbar()
{
    view();
    return m_filterbar;
}

void TQTopFilesViewController::awakeFromNib()
{
    TQViewController::awakeFromNib();
    if (auto* header = qobject_cast<TQHostView*>(m_filterbar->parentWidget()))
        header->setBackgroundImage(ImageRegistry::pixmap(QStringLiteral("filter_background")));
    m_filterbar->awakeFromNib();
    m_filterController->setDelegate(this);
    m_filterController->setFilterbar(m_filterbar);
    m_filterController->setControllers(filteredControllers());
}

Predicate TQTopFilesViewController::sharedWithMePredicate(const QString& me)
{
    // Whole addresses: "bob@x.com" is not "bob@x.com.evil.org".
    return Predicate::orPredicate({Predicate::format(QStringLiteral("ANY viewers.address ==[c] %@"), me),
                                   Predicate::format(QStringLiteral("ANY editors.address ==[c] %@"), me)});
}

Predicate TQTopFilesViewController::sharedByMePredicate(const QString& me)
{
    return Predicate::andPredicate(
        {Predicate::format(QStringLiteral("owner.address ==[c] %@"), me),
         Predicate::withBlock([](const QVariant& object) {
             const auto entry =
                 std::dynamic_pointer_cast<FileEntryAbstract>(object.value<ManagedObjectPtr>());
             return entry &&
                    entry->editors().size() + entry->viewers().size() + entry->commenters().size() > 0;
         })});
}

QList<TQViewController*>
TQTopFilesViewController::makeTabs(const std::function<TQAllItemsController*()>& make, const Predicate& extra)
{
    const QString me = currentUsername();
    const QList<Predicate> conditions = {Predicate(), sharedWithMePredicate(me), sharedByMePredicate(me)};
    QList<TQViewController*> tabs;
    for (const Predicate& condition : conditions) {
        TQAllItemsController* list = make();
        list->setOwner(this);
        // Trashed records belong to the trash alone.
        QList<Predicate> parts{Predicate::format(QStringLiteral("isTrashed == %@"), false)};
        if (!extra.isNull())
            parts << extra;
        if (!condition.isNull())
            parts << condition;
        const Predicate filter = parts.size() == 1 ? parts.first() : Predicate::andPredicate(parts);
        list->setFilter([filter] { return filter; });
        // The search test ends every rule: the provider matches the title in any letter case.
        list->setProviderSearchFormat(QStringLiteral("title CONTAINS[c] %@"));
        // Newest first, as the document places start.
        list->setSortDescriptor(SortDescriptor(QStringLiteral("updatedDate"), false));
        tabs << list;
    }
    auto* timed = new TQViewController(QStringLiteral("TimedSearchView"));
    QWidget* message = TQNoSearchProvider::makeMessageView(
        timed->view(), StringTable::text(QStringLiteral("NoTimedSearches")));
    message->setObjectName(QStringLiteral("timedSearchMessage"));
    auto* layout = new QVBoxLayout(timed->view());
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(message);
    message->show();
    tabs << timed;
    return tabs;
}

QList<TQViewController*> TQTopFilesViewController::filteredControllers()
{
    return makeTabs([] { return new TQAllItemsController; }, Predicate());
}

TQViewController* TQTopFilesViewController::currentTab() const
{
    return m_filterController ? m_filterController->currentController() : nullptr;
}

void TQTopFilesViewController::viewDidInstall()
{
    if (TQViewController* tab = currentTab())
        tab->viewDidInstall();
    for (TQViewController* tab : m_filterController->controllers())
        if (tab)
            tab->setNavigationController(navigationController());
}

void TQTopFilesViewController::setNavigationController(TQNavigationController* controller)
{
    TQViewController::setNavigationController(controller);
    if (!m_filterController)
        return;
    for (TQViewController* tab : m_filterController->controllers())
        if (tab)
            tab->setNavigationController(controller);
}

void TQTopFilesViewController::setSearchString(const QString& searchString)
{
    TQViewController::setSearchString(searchString);
    if (TQViewController* tab = currentTab())
        tab->setSearchString(searchString);
}

void TQTopFilesViewController::reactivate()
{
    if (!m_filterbar || !m_filterController)
        return;
    TQViewController* first = m_filterController->controllers().value(0);
    if (currentTab() != first) {
        m_reactivating = true;
        m_filterbar->activateButtonAtIndex(0);
    } else if (first) {
        first->reactivate();
    }
}

void TQTopFilesViewController::filterbarControllerDidSwitchToController(QObject*, QObject* controller)
{
    auto* tab = qobject_cast<TQViewController*>(controller);
    if (!tab)
        return;
    tab->setSearchString(searchString());
    if (m_reactivating) {
        m_reactivating = false;
        tab->reactivate();
    }
}

void TQTopFilesViewController::editEntity(QObject* sender)
{
    if (TQViewController* tab = currentTab())
        tab->editEntity(sender);
}

void TQTopFilesViewController::share(QObject* sender)
{
    if (TQViewController* tab = currentTab())
        tab->share(sender);
}

void TQTopFilesViewController::deleteEntity(QObject* sender)
{
    if (TQViewController* tab = currentTab())
        tab->deleteEntity(sender);
}

bool TQTopFilesViewController::validateUserInterfaceItem(QObject* item)
{
    TQViewController* tab = currentTab();
    return tab && tab->validateUserInterfaceItem(item);
}

} // namespace tavrel
