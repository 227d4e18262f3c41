#include "chrome/TQFilteringViewController.h"

#include "controls/BasicPopUpButton.h"
#include "controls/TQHostView.h"
#include "platform/system/Settings.h"
#include "platform/ui/CommandValidation.h"
#include "platform/ui/ImageRegistry.h"
#include "platform/ui/StringTable.h"
#include "platform/ui/UserInterfaceItem.h"

#include <QAbstractItemView>
#include <QAction>
#include <QHBoxLayout>
#include <QIcon>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QVBoxLayout>

namespace tavrel {

namespace {

const char* const kRepresentedDescriptorProperty = "tavrelSortDescriptor";
constexpr int kHeaderHeight = 30;

} // namespace

TQFilteringViewController::TQFilteringViewController(const QString& nibName, QObject* parent)
    : TQViewController(nibName, parent)
{}

TQFilteringViewController::~TQFilteringViewController()
{
    delete m_controller.data();
}

SortDescriptorRef TQFilteringViewController::representedDescriptor(const QObject* item)
{
    return item ? item->property(kRepresentedDescriptorProperty).value<SortDescriptorRef>() : nullptr;
}

void TQFilteringViewController::setRepresentedDescriptor(QObject* item, const SortDescriptorRef& descriptor)
{
    item->setProperty(kRepresentedDescriptorProperty, QVariant::fromValue(descriptor));
}

QWidget* TQFilteringViewController::loadView()
{
    auto* view = new QWidget;
    view->setObjectName(nibName());
    auto* column = new QVBoxLayout(view);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);

    m_headerHolder = new TQHostView(view);
    m_headerHolder->setFixedHeight(kHeaderHeight);
    auto* header = new QHBoxLayout(m_headerHolder);
    header->setContentsMargins(6, 3, 8, 4);
    header->setSpacing(6);
    m_sortControl = new BasicPopUpButton(m_headerHolder, true);
    m_sortControl->setToolTip(StringTable::text(QStringLiteral("FilterSortToolTip")));
    m_sortControl->setFixedSize(38, 22);
    m_sortControl->setMenu(new QMenu(m_sortControl));
    CommandValidation::attachToMenu(m_sortControl->menu(), view);
    header->addWidget(m_sortControl);
    header->addStretch(1);
    m_searchField = new QLineEdit(m_headerHolder);
    m_searchField->setPlaceholderText(StringTable::text(QStringLiteral("FilterSearchPlaceholder")));
    m_searchField->setClearButtonEnabled(true);
    m_searchField->setMinimumWidth(140);
    m_searchField->setMaximumWidth(240);
    m_searchField->setFixedHeight(22);
    header->addWidget(m_searchField, 2);
    column->addWidget(m_headerHolder);

    m_hostView = new QWidget(view);
    auto* host = new QVBoxLayout(m_hostView);
    host->setContentsMargins(0, 0, 0, 0);
    column->addWidget(m_hostView, 1);

    // Typing filters as it goes; a null text means no filter.
    connect(m_searchField, &QLineEdit::textChanged, this,
            [this](const QString& text) { setSearchString(text.isEmpty() ? QString() : text); });
    m_searchField->installEventFilter(this);
    return view;
}

bool TQFilteringViewController::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_searchField && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Escape && key->modifiers() == Qt::NoModifier) {
            m_searchField->clear();
            QWidget* content = m_controller ? m_controller->view() : nullptr;
            auto* list = content ? content->findChild<QAbstractItemView*>() : nullptr;
            if (list)
                list->setFocus(Qt::ShortcutFocusReason);
            return true;
        }
    }
    return TQViewController::eventFilter(watched, event);
}

void TQFilteringViewController::awakeFromNib()
{
    TQViewController::awakeFromNib();
    m_headerHolder->setBackgroundImage(ImageRegistry::pixmap(QStringLiteral("filter_background")));
    setupSearchDescriptors(m_sortControl);
}

QMap<QString, SortDescriptorRef>
TQFilteringViewController::searchDescriptorsWithOrderedKeys(QStringList* orderedKeys)
{
    if (orderedKeys)
        orderedKeys->clear();
    return {};
}

void TQFilteringViewController::setupSearchDescriptors(BasicPopUpButton* popUp)
{
    QMenu* menu = popUp->menu();
    for (QAction* entry : menu->actions()) {
        menu->removeAction(entry);
        delete entry;
    }
    QStringList titles;
    const QMap<QString, SortDescriptorRef> descriptors = searchDescriptorsWithOrderedKeys(&titles);
    for (const QString& title : titles) {
        QAction* entry = UserInterfaceItem::makeAction(title, kChangeSortDescriptorCommand, menu, 0, this);
        entry->setCheckable(true);
        setRepresentedDescriptor(entry, descriptors.value(title));
        menu->addAction(entry);
    }
    // The pull-down's face: the list icon, never a sort of its own.
    auto* face = new QAction(QIcon(ImageRegistry::pixmap(QStringLiteral("list_icon"))), QString(), menu);
    menu->insertAction(menu->actions().value(0), face);
    // The sort chosen in an earlier run, else the first one.
    const QStringList kept = Settings::stringListValue(sortSettingKey());
    QAction* initial = menu->actions().value(1);
    for (QAction* entry : menu->actions()) {
        if (const SortDescriptorRef descriptor = representedDescriptor(entry);
            descriptor && kept == sortSettingValue(*descriptor)) {
            initial = entry;
            break;
        }
    }
    if (initial)
        applySortDescriptor(representedDescriptor(initial));
    popUp->update();
}

QString TQFilteringViewController::sortSettingKey() const
{
    return QString::fromLatin1(metaObject()->className()) + QStringLiteral("Sort");
}

QStringList TQFilteringViewController::sortSettingValue(const SortDescriptor& descriptor)
{
    return {descriptor.key(),
            descriptor.ascending() ? QStringLiteral("ascending") : QStringLiteral("descending")};
}

void TQFilteringViewController::changeSortDescriptor(QObject* sender)
{
    if (SortDescriptorRef descriptor = representedDescriptor(sender)) {
        applySortDescriptor(descriptor);
        // The user's choice is kept for the next run.
        Settings::setValue(sortSettingKey(), sortSettingValue(*descriptor));
    }
}

void TQFilteringViewController::setSortDescriptor(const std::optional<SortDescriptor>& descriptor)
{
    applySortDescriptor(descriptor ? std::make_shared<const SortDescriptor>(*descriptor) : nullptr);
}

void TQFilteringViewController::applySortDescriptor(const SortDescriptorRef& descriptor)
{
    m_sortInForce = descriptor;
    const std::optional<SortDescriptor> value =
        descriptor ? std::optional<SortDescriptor>(*descriptor) : std::nullopt;
    TQViewController::setSortDescriptor(value);
    if (m_controller)
        m_controller->setSortDescriptor(value);
}

QString TQFilteringViewController::searchString() const
{
    return m_controller ? m_controller->searchString() : TQViewController::searchString();
}

void TQFilteringViewController::setSearchString(const QString& searchString)
{
    TQViewController::setSearchString(searchString);
    if (m_controller)
        m_controller->setSearchString(searchString);
    // Cleared from outside (reactivating the list): the field shows it.
    if (m_searchField && m_searchField->text() != searchString) {
        const QSignalBlocker blocker(m_searchField);
        m_searchField->setText(searchString);
    }
}

void TQFilteringViewController::setNavigationController(TQNavigationController* controller)
{
    TQViewController::setNavigationController(controller);
    if (m_controller)
        m_controller->setNavigationController(controller);
}

void TQFilteringViewController::setController(TQViewController* controller)
{
    if (controller == m_controller)
        return;
    if (m_controller) {
        if (m_controller->isViewLoaded())
            m_controller->view()->setParent(nullptr);
        delete m_controller.data();
    }
    m_controller = controller;
    if (!controller)
        return;
    controller->setParent(this);
    if (QWidget* own = view(); own && m_hostView) {
        QWidget* list = controller->view();
        list->setParent(m_hostView);
        list->setGeometry(m_hostView->rect());
        m_hostView->layout()->addWidget(list);
        list->show();
    }
    controller->setSortDescriptor(TQViewController::sortDescriptor());
    controller->setNavigationController(navigationController());
}

void TQFilteringViewController::viewDidInstall()
{
    TQViewController::viewDidInstall();
    if (m_controller)
        m_controller->viewDidInstall();
}

void TQFilteringViewController::viewWillUninstall()
{
    TQViewController::viewWillUninstall();
    if (m_controller)
        m_controller->viewWillUninstall();
}

void TQFilteringViewController::viewDidUninstall()
{
    TQViewController::viewDidUninstall();
    if (m_controller)
        m_controller->viewDidUninstall();
}

void TQFilteringViewController::goFind(QObject*)
{
    view();
    m_searchField->setFocus(Qt::ShortcutFocusReason);
    m_searchField->selectAll();
}

void TQFilteringViewController::mirrorSortMenu(QAction* item)
{
    QMenu* submenu = item->menu<QMenu*>();
    if (!submenu) {
        submenu = new QMenu;
        connect(item, &QObject::destroyed, submenu, &QObject::deleteLater);
        item->setMenu(submenu);
    }
    submenu->clear();
    for (QAction* entry : m_sortControl->menu()->actions()) {
        QAction* copy =
            UserInterfaceItem::makeAction(entry->text(), UserInterfaceItem::command(entry), submenu, 0, this);
        copy->setIcon(entry->icon());
        setRepresentedDescriptor(copy, representedDescriptor(entry));
        copy->setCheckable(entry->isCheckable());
        // A pull-down never lists its face.
        copy->setVisible(representedDescriptor(entry) != nullptr);
        copy->setEnabled(validateUserInterfaceItem(copy));
        submenu->addAction(copy);
    }
}

bool TQFilteringViewController::validateUserInterfaceItem(QObject* item)
{
    const bool verdict = TQViewController::validateUserInterfaceItem(item);
    if (!verdict)
        return verdict;
    if (UserInterfaceItem::command(item) != kChangeSortDescriptorCommand)
        return verdict;
    auto* action = qobject_cast<QAction*>(item);
    if (action && UserInterfaceItem::tag(item) == kSortMenuItemTag && m_sortControl &&
        m_sortControl->menu()) {
        mirrorSortMenu(action);
        return verdict;
    }
    if (const SortDescriptorRef descriptor = representedDescriptor(item))
        UserInterfaceItem::setState(item, descriptor == m_sortInForce ? 1 : 0);
    return verdict;
}

} // namespace tavrel
