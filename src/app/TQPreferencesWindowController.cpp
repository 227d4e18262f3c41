#include "app/TQPreferencesWindowController.h"

#include "app/TQDefaultPrefViewController.h"
#include "platform/ui/FloatingWindows.h"
#include "platform/ui/ImageRegistry.h"
#include "platform/ui/StringTable.h"

#include <QAction>
#include <QApplication>
#include <QMainWindow>

namespace tavrel {

namespace {

TQPreferencesWindowController* g_preferences = nullptr;

// Identifier of a pane to the pane it installs.
const QHash<QString, std::function<QObject*()>>& paneClasses()
{
    static const QHash<QString, std::function<QObject*()>> classes{
        {TQPreferencesWindowController::kGeneralIdentifier, [] { return new TQDefaultPrefViewController(); }},
    };
    return classes;
}

} // namespace

TQPreferencesWindowController* TQPreferencesWindowController::sharedPreferencesController()
{
    if (!g_preferences)
        g_preferences = new TQPreferencesWindowController();
    return g_preferences;
}

void TQPreferencesWindowController::resetForTesting()
{
    delete g_preferences;
    g_preferences = nullptr;
}

TQPreferencesWindowController::TQPreferencesWindowController()
{
    auto* window = new QMainWindow();
    window->setObjectName(QStringLiteral("preferencesWindow"));
    m_toolbar = new QToolBar(window);
    m_toolbar->setMovable(false);
    m_toolbar->setFloatable(false);
    m_toolbar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    m_toolbar->setIconSize(QSize(28, 28));
    QAction* general = m_toolbar->addAction(
        ImageRegistry::themeIcon(QStringLiteral("preferences-system"), QStringLiteral("tavrel")),
        StringTable::text(QStringLiteral("PreferencesGeneral")));
    general->setObjectName(kGeneralIdentifier);
    general->setCheckable(true);
    connect(general, &QAction::triggered, this, [this, general] { showGeneralPane(general); });
    window->addToolBar(Qt::TopToolBarArea, m_toolbar);
    window->setUnifiedTitleAndToolBarOnMac(true);
    setWindow(window);
    awakeFromNib();
}

void TQPreferencesWindowController::awakeFromNib()
{
    TQWindowController::awakeFromNib();
    window()->setWindowTitle(StringTable::text(QStringLiteral("PreferencesTitle")));
    for (QAction* item : m_toolbar->actions())
        item->setChecked(item->objectName() == kGeneralIdentifier);
    installControllerForIdentifier(kGeneralIdentifier);
}

void TQPreferencesWindowController::showWindow(QObject* sender)
{
    QWidget* own = window();
    if (own && !own->isVisible()) {
        QWidget* over = nullptr;
        // A menu is a window of its own: the window it drops from is further up.
        for (QObject* object = sender; object && !over; object = object->parent())
            if (auto* widget = qobject_cast<QWidget*>(object);
                widget && widget->window()->isVisible() && widget->window()->windowType() != Qt::Popup)
                over = widget->window();
        if (!over)
            over = QApplication::activeWindow();
        FloatingWindows::centreOver(own, over == own ? nullptr : over);
    }
    TQWindowController::showWindow(sender);
}

void TQPreferencesWindowController::showGeneralPane(QObject* sender)
{
    installControllerForIdentifier(sender ? sender->objectName() : kGeneralIdentifier);
}

TQDefaultPrefViewController* TQPreferencesWindowController::generalPane() const
{
    return qobject_cast<TQDefaultPrefViewController*>(m_prefControllers.value(kGeneralIdentifier));
}

void TQPreferencesWindowController::installControllerForIdentifier(const QString& identifier)
{
    QObject* controller = m_prefControllers.value(identifier);
    if (!controller) {
        const auto make = paneClasses().value(identifier);
        if (!make)
            return;
        controller = make();
        controller->setParent(this);
        m_prefControllers.insert(identifier, controller);
    }
    auto* window = static_cast<QMainWindow*>(this->window());
    QWidget* view = controller->property("view").value<QWidget*>();
    if (!view)
        return;
    if (window->centralWidget() != view) {
        if (QWidget* old = window->takeCentralWidget())
            old->setParent(nullptr);
        window->setCentralWidget(view);
    }
    // The window takes the pane's size; its top-left corner stays.
    window->adjustSize();
    window->setFixedSize(window->sizeHint());
    m_currentController = controller;
}

} // namespace tavrel
