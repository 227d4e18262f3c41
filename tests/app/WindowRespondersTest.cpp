#include "AppShellTest.h"
#include "app/RealMainWindowController.h"
#include "chrome/TQFilteringViewController.h"
#include "documents/TQAllItemsController.h"
#include "documents/TQAllItemsRowMenus.h"
#include "platform/ui/ResponderChain.h"
#include "platform/ui/UserInterfaceItem.h"
#include "window/SidebarMode.h"
#include "window/TQMainWindowController.h"
#include "window/TQNavigationController.h"
#include "window/TQSidebarController.h"
#include "window/TQViewController.h"

#include <QAbstractItemView>
#include <QAction>
#include <QHash>
#include <QMenu>
#include <QSet>
#include <QWidget>
#include <gtest/gtest.h>

namespace tavrel::test {
namespace {

// The program's own window, with every view it registers: each command it offers must reach someone.
class CommandsTest : public AppShellTest
{
protected:
    MainWindowFactory windowFactory() const override { return RealMainWindowController::factory(); }
    TQMainWindowController* mainWindow() const
    {
        return qobject_cast<TQMainWindowController*>(
            m_delegate->existingMainController()->controllerObject());
    }
};

struct Sent
{
    QString command;
    QString item; // what sends it, for the failure message
    QObject* target;
    QWidget* origin;
};

// The commands of a menu and its submenus that a user can reach (hidden items are not offered).
void collectMenu(QMenu* menu, QWidget* origin, QList<Sent>& sent)
{
    if (!menu)
        return;
    for (QAction* action : menu->actions()) {
        if (!action->isVisible() || action->isSeparator())
            continue;
        if (action->menu())
            collectMenu(action->menu(), origin, sent);
        const QString command = UserInterfaceItem::command(action);
        if (command.isEmpty())
            continue;
        QWidget* from = UserInterfaceItem::origin(action) ? UserInterfaceItem::origin(action) : origin;
        sent.append(
            {command, menu->objectName() + u'/' + action->text(), UserInterfaceItem::target(action), from});
    }
}

// The buttons of a view and the menus they open.
void collectWidgets(QWidget* root, QWidget* origin, QList<Sent>& sent)
{
    for (QWidget* widget : root->findChildren<QWidget*>()) {
        if (qobject_cast<QMenu*>(widget))
            collectMenu(static_cast<QMenu*>(widget), origin, sent);
        else if (const QString command = UserInterfaceItem::command(widget); !command.isEmpty())
            sent.append({command, QString::fromLatin1(widget->metaObject()->className()),
                         UserInterfaceItem::target(widget), widget});
    }
}

TEST_F(CommandsTest, EveryCommandTheWindowSendsHasAResponder)
{
    launchSignedIn();
    if (HasFatalFailure())
        return;
    TQMainWindowController* window = mainWindow();
    ASSERT_NE(window, nullptr);
    const SidebarMode modes[] = {SidebarMode::AllItems, SidebarMode::Starred, SidebarMode::Contacts,
                                 SidebarMode::Collections, SidebarMode::Trash};
    // A command nobody answers is disabled, never silent; one that no view of the window answers is a
    // misspelt name or a responder gone.
    QHash<QString, QStringList> unanswered;
    QSet<QString> answered;
    for (SidebarMode mode : modes) {
        SCOPED_TRACE(testing::Message() << "mode " << int(mode));
        window->sidebarController()->activateMode(mode);
        TQViewController* shown = window->navigationController()->topController();
        ASSERT_NE(shown, nullptr);
        // A menu of the window is opened over the list shown: its commands start there.
        QWidget* from = shown->view();
        if (auto* table = shown->view()->findChild<QAbstractItemView*>())
            from = table;
        QList<Sent> sent;
        collectWidgets(window->window(), from, sent);
        if (auto* filtering = qobject_cast<TQFilteringViewController*>(shown))
            if (auto* list = qobject_cast<TQAllItemsController*>(filtering->controller())) {
                collectMenu(list->rowMenu(), from, sent);
                collectMenu(list->rowMenus()->permissionMenu(), from, sent);
            }
        for (const Sent& item : sent) {
            const bool reached = ResponderChain::targetForCommand(item.command, item.target, item.origin);
            if (reached)
                answered.insert(item.command);
            else
                unanswered[item.command] << item.item;
            // The document list, the program's own view, answers everything it and the window offer.
            if (mode == SidebarMode::AllItems) {
                EXPECT_TRUE(reached) << item.command.toStdString() << " of " << item.item.toStdString();
            }
        }
    }
    for (auto it = unanswered.cbegin(); it != unanswered.cend(); ++it)
        EXPECT_TRUE(answered.contains(it.key()))
            << it.key().toStdString() << " of " << it.value().join(u',').toStdString() << " reaches nobody";
    // The window offers commands at all: the menus and buttons were found.
    EXPECT_GT(answered.size(), 20);
}

} // namespace
} // namespace tavrel::test
