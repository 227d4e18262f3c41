#include "contacts/TQTopContactsViewController.h"

#include "chrome/TQFilterbarController.h"
#include "chrome/TQTextFilterbar.h"
#include "contacts/TQAllContactsController.h"
#include "contacts/TQContactFavoritesController.h"
#include "controls/TQHostView.h"
#include "controls/TQHoverdTextButtonCell.h"
#include "model/TQUtility.h"
#include "platform/runtime/NotificationCenter.h"
#include "platform/ui/CellButton.h"
#include "platform/ui/ImageRegistry.h"
#include "platform/ui/MessageNames.h"
#include "platform/ui/StringTable.h"
#include "platform/ui/UserInterfaceItem.h"
#include "session/TQSession.h"
#include "session/TQSessionManager.h"
#include "window/TQMainWindowController.h"
#include "window/ViewClasses.h"

#include <QAbstractItemView>
#include <QAction>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QVBoxLayout>

namespace tavrel {

namespace {

constexpr int kHeaderHeight = 34;
constexpr int kFilterbarHeight = 30;

QString currentUser()
{
    TQSession* session = TQSessionManager::sharedManager()->currentSession();
    return session ? session->username() : QString();
}

} // namespace

TQTopContactsViewController::TQTopContactsViewController(QObject* parent)
    : TQViewController(QStringLiteral("TopContactsView"), parent)
{
    setTitle(StringTable::text(QStringLiteral("AllContactsBack")));
    NotificationCenter::defaultCenter().addObserver(
        this, TQContactFavoritesController::kAllContactsScreenRequestedNotification, QVariant(),
        [this](const Notification&) { activateList(1); });
}

TQTopContactsViewController::~TQTopContactsViewController()
{
    NotificationCenter::defaultCenter().removeObserver(this);
}

Predicate TQTopContactsViewController::rowFilter(const QString& user, const QString& search,
                                                 bool favoritesOnly)
{
    QList<Predicate> parts{Predicate::format(QStringLiteral("visible == %@"), true)};
    if (favoritesOnly)
        parts.append(Predicate::format(QStringLiteral("favorite == %@"), true));
    // The user's own address, in any letter case; other people whose address merely starts with it stay.
    if (!user.isEmpty())
        parts.append(Predicate::format(QStringLiteral("NOT (address ==[c] %@)"), user));
    if (!search.isEmpty())
        parts.append(Predicate::format(
            QStringLiteral("displayName CONTAINS[cd] %@ OR address CONTAINS[c] %@"), search, search));
    return Predicate::andPredicate(parts);
}

QWidget* TQTopContactsViewController::loadView()
{
    auto* view = new QWidget;
    view->setObjectName(nibName());
    auto* column = new QVBoxLayout(view);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);

    m_headerHolder = new TQHostView(view);
    m_headerHolder->setObjectName(QStringLiteral("headerHolder"));
    m_headerHolder->setFixedHeight(kHeaderHeight);
    auto* header = new QHBoxLayout(m_headerHolder);
    header->setContentsMargins(8, 5, 8, 5);
    header->addStretch(1);
    m_searchField = new QLineEdit(m_headerHolder);
    m_searchField->setObjectName(QStringLiteral("searchField"));
    m_searchField->setPlaceholderText(StringTable::text(QStringLiteral("FilterSearchPlaceholder")));
    m_searchField->setClearButtonEnabled(true);
    m_searchField->setMinimumWidth(160);
    m_searchField->setMaximumWidth(260);
    m_searchField->setFixedHeight(22);
    header->addWidget(m_searchField, 2);
    column->addWidget(m_headerHolder);

    auto* barHolder = new TQHostView(view);
    barHolder->setFixedHeight(kFilterbarHeight);
    barHolder->setBackgroundImage(ImageRegistry::pixmap(QStringLiteral("filter_background")));
    auto* barLayout = new QHBoxLayout(barHolder);
    barLayout->setContentsMargins(0, 0, 0, 0);
    m_filterbar = new TQTextFilterbar(barHolder);
    m_filterbar->setObjectName(QStringLiteral("contactsFilterbar"));
    for (const char* key : {"Favorites", "AllContacts"}) {
        auto* button = new CellButton(
            std::make_shared<TQHoverdTextButtonCell>(StringTable::text(QLatin1String(key))), m_filterbar);
        button->setObjectName(QLatin1String(key));
        button->resize(button->sizeHint().expandedTo(QSize(120, 22)));
    }
    barLayout->addWidget(m_filterbar);
    column->addWidget(barHolder);

    m_filterController = new TQFilterbarController(this);
    column->addWidget(m_filterController->view(), 1);

    connect(m_searchField, &QLineEdit::textChanged, this,
            [this](const QString& text) { setSearchString(text.isEmpty() ? QString() : text); });
    m_searchField->installEventFilter(this);
    return view;
}

void TQTopContactsViewController::awakeFromNib()
{
    TQViewController::awakeFromNib();
    m_filterbar->awakeFromNib();
    m_headerHolder->setBackgroundImage(ImageRegistry::pixmap(QStringLiteral("filter_background")));
    const QString user = currentUser();
    m_favorites = new TQContactFavoritesController(this);
    m_favorites->setRowsLayout(0);
    m_favorites->setDisableGroupping(true);
    TQContactFavoritesController* favorites = m_favorites;
    m_favorites->setFilter([favorites, user] { return rowFilter(user, favorites->searchString(), true); });
    m_allContacts = new TQAllContactsController(QStringLiteral("AllContactsView"), this);
    m_allContacts->setRowsLayout(0);
    TQAllContactsController* all = m_allContacts;
    m_allContacts->setFilter([all, user] { return rowFilter(user, all->searchString(), false); });
    m_filterController->setFilterbar(m_filterbar);
    m_filterController->setControllers({m_favorites, m_allContacts});
    m_filterController->setDelegate(this);
    m_filterbar->layoutButtons();
}

TQFilterbarController* TQTopContactsViewController::filterController()
{
    view();
    return m_filterController;
}

TQTextFilterbar* TQTopContactsViewController::filterbar()
{
    view();
    return m_filterbar;
}

QLineEdit* TQTopContactsViewController::searchField()
{
    view();
    return m_searchField;
}

TQHostView* TQTopContactsViewController::headerHolder()
{
    view();
    return m_headerHolder;
}

TQAllContactsController* TQTopContactsViewController::currentList() const
{
    return m_filterController
               ? qobject_cast<TQAllContactsController*>(m_filterController->currentController())
               : nullptr;
}

bool TQTopContactsViewController::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_searchField && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        TQAllContactsController* list = currentList();
        if (key->key() == Qt::Key_Escape && key->modifiers() == Qt::NoModifier) {
            m_searchField->clear();
            return true;
        }
        if (list &&
            (key->key() == Qt::Key_Down || key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)) {
            if (list->selectedMails().isEmpty())
                list->reactivate();
            list->table()->setFocus(Qt::TabFocusReason);
            return true;
        }
    }
    return TQViewController::eventFilter(watched, event);
}

void TQTopContactsViewController::activateList(int index)
{
    if (m_filterbar)
        m_filterbar->activateButtonAtIndex(index);
}

void TQTopContactsViewController::setSearchString(const QString& searchString)
{
    TQViewController::setSearchString(searchString);
    if (m_searchField && m_searchField->text() != searchString)
        m_searchField->setText(searchString);
    if (TQAllContactsController* list = currentList())
        list->setSearchString(searchString);
}

bool TQTopContactsViewController::filterbarControllerShouldSwitchToController(QObject*, QObject* controller)
{
    if (auto* incoming = qobject_cast<TQAllContactsController*>(controller))
        if (TQAllContactsController* current = currentList(); current && current != incoming)
            incoming->setSearchString(current->searchString());
    return true;
}

void TQTopContactsViewController::setNavigationController(TQNavigationController* controller)
{
    TQViewController::setNavigationController(controller);
    if (m_filterController)
        m_filterController->setNavigationController(controller);
}

void TQTopContactsViewController::viewDidInstall()
{
    TQViewController::viewDidInstall();
    if (TQAllContactsController* list = currentList())
        list->viewDidInstall();
    if (m_filterController)
        m_filterController->setNavigationController(navigationController());
}

void TQTopContactsViewController::viewWillUninstall()
{
    if (TQAllContactsController* list = currentList())
        list->viewWillUninstall();
    TQViewController::viewWillUninstall();
}

void TQTopContactsViewController::viewDidUninstall()
{
    if (m_favorites)
        m_favorites->setNavigationController(nullptr);
    if (m_allContacts)
        m_allContacts->setNavigationController(nullptr);
    if (TQAllContactsController* list = currentList())
        list->viewDidUninstall();
    TQViewController::viewDidUninstall();
}

void TQTopContactsViewController::reactivate()
{
    // The search goes first, so the first person selected is the first of the whole list.
    setSearchString(QString());
    if (TQAllContactsController* list = currentList())
        list->reactivate();
}

void TQTopContactsViewController::editEntity(QObject* sender)
{
    if (TQAllContactsController* list = currentList())
        list->editEntity(sender);
}

void TQTopContactsViewController::share(QObject* sender)
{
    if (TQAllContactsController* list = currentList())
        list->share(sender);
}

void TQTopContactsViewController::deleteEntity(QObject* sender)
{
    if (TQAllContactsController* list = currentList())
        list->deleteEntity(sender);
}

void TQTopContactsViewController::sortAscending(QObject* sender)
{
    if (TQAllContactsController* list = currentList())
        list->sortAscending(sender);
}

void TQTopContactsViewController::sortDescending(QObject* sender)
{
    if (TQAllContactsController* list = currentList())
        list->sortDescending(sender);
}

void TQTopContactsViewController::showPreview(QObject*)
{
    activateList(0);
}

void TQTopContactsViewController::showSharingContacts(QObject*)
{
    activateList(1);
}

void TQTopContactsViewController::organize(QObject*)
{
    // No list of groups exists: the command is hidden, and does nothing if sent all the same.
}

void TQTopContactsViewController::goFind(QObject*)
{
    if (m_searchField) {
        m_searchField->setFocus(Qt::ShortcutFocusReason);
        m_searchField->selectAll();
    }
}

void TQTopContactsViewController::newContact(QObject*)
{
    QObject* editor = ViewClasses::make(TQMainWindowController::kMailEditorClass);
    if (!editor)
        return;
    QMetaObject::invokeMethod(editor, "setEmail", Q_ARG(QVariant, QVariant()));
    // A person created while the favourites show is starred.
    editor->setProperty("autoFavorite", currentList() && currentList() == m_favorites);
    QMetaObject::invokeMethod(editor, "showWindowModalToWindow", Q_ARG(QWidget*, view()->window()));
}

bool TQTopContactsViewController::validateUserInterfaceItem(QObject* item)
{
    const QString command = UserInterfaceItem::command(item);
    if (command == Commands::organize) {
        // There is no list of groups to switch to.
        if (auto* action = qobject_cast<QAction*>(item))
            action->setVisible(false);
        return false;
    }
    TQAllContactsController* list = currentList();
    bool answer =
        list ? list->validateUserInterfaceItem(item) : TQViewController::validateUserInterfaceItem(item);
    if (command == Commands::showPreview) {
        UserInterfaceItem::setTitle(item, StringTable::text(QStringLiteral("Favorites")));
        answer = true;
    } else if (command == Commands::showSharingContacts) {
        UserInterfaceItem::setTitle(item, StringTable::text(QStringLiteral("AllContacts")));
        answer = true;
    } else if (command == Commands::newContact || command == Commands::goFind) {
        answer = true;
    }
    return answer && TQUtility::actionAllowedOffline(command);
}

} // namespace tavrel
