#include "platform/ui/ResponderChain.h"

#include "platform/ui/CommandValidation.h"
#include "platform/ui/StringTable.h"
#include "platform/ui/UserInterfaceItem.h"
#include "support/ui/WidgetTesting.h"

#include <QAction>
#include <QLineEdit>
#include <QMenu>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>
#include <gtest/gtest.h>
#include <memory>

namespace tavrel {
namespace {

QStringList g_received;

// The focus widget: a list that opens its selection.
class ListWidget : public QWidget
{
    Q_OBJECT
public:
    using QWidget::QWidget;
    Q_INVOKABLE void open(QObject* sender)
    {
        g_received << QStringLiteral("list open ") + sender->objectName();
    }
};

class ViewController : public QObject
{
    Q_OBJECT
public:
    bool allowDelete = false;
    bool starred = true;
    Q_INVOKABLE void share(QObject* sender)
    {
        g_received << QStringLiteral("view share ") + sender->objectName();
    }
    Q_INVOKABLE void deleteEntity(QObject*) { g_received << QStringLiteral("view deleteEntity"); }
    Q_INVOKABLE void toggleStarState(QObject*) { g_received << QStringLiteral("view toggleStarState"); }
    Q_INVOKABLE bool validateUserInterfaceItem(QObject* item)
    {
        const QString command = UserInterfaceItem::command(item);
        if (command == QStringLiteral("deleteEntity:"))
            return allowDelete;
        if (command == QStringLiteral("toggleStarState:"))
            UserInterfaceItem::setTitle(item, StringTable::text(starred ? QStringLiteral("MenuRemoveStar")
                                                                        : QStringLiteral("MenuAddStar")));
        return true;
    }
};

class WindowController : public QObject
{
    Q_OBJECT
public:
    Q_INVOKABLE void share(QObject*) { g_received << QStringLiteral("window share"); }
    Q_INVOKABLE void newDocument(QObject*) { g_received << QStringLiteral("window newDocument"); }
};

class ApplicationDelegate : public QObject
{
    Q_OBJECT
public:
    Q_INVOKABLE void newDocument(QObject*) { g_received << QStringLiteral("delegate newDocument"); }
    Q_INVOKABLE void showPreferences(QObject*) { g_received << QStringLiteral("delegate showPreferences"); }
};

// A window: a content view holding the list (the view controller behind the content view), the
// window controller behind the window, the application delegate at the end.
class ResponderChainTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        g_received.clear();
        window = std::make_unique<QWidget>();
        window->setObjectName(QStringLiteral("window"));
        auto* content = new QWidget(window.get());
        auto* layout = new QVBoxLayout(content);
        list = new ListWidget(content);
        list->setObjectName(QStringLiteral("list"));
        list->setFocusPolicy(Qt::StrongFocus);
        field = new QLineEdit(content);
        layout->addWidget(list);
        layout->addWidget(field);
        auto* windowLayout = new QVBoxLayout(window.get());
        windowLayout->addWidget(content);
        viewController = std::make_unique<ViewController>();
        ResponderChain::insertResponder(content, viewController.get());
        ResponderChain::insertResponder(window.get(), &windowController);
        ResponderChain::setApplicationDelegate(&delegate);
        sender.setObjectName(QStringLiteral("sender"));
    }
    void TearDown() override { ResponderChain::setApplicationDelegate(nullptr); }

    bool activateWithFocusOn(QWidget* widget)
    {
        window->show();
        window->activateWindow();
        if (!QTest::qWaitForWindowActive(window.get()))
            return false;
        widget->setFocus();
        return QTest::qWaitFor([widget] { return widget->hasFocus(); });
    }

    std::unique_ptr<QWidget> window;
    ListWidget* list = nullptr;
    QLineEdit* field = nullptr;
    std::unique_ptr<ViewController> viewController;
    WindowController windowController;
    ApplicationDelegate delegate;
    QObject sender;
};

TEST_F(ResponderChainTest, ACommandWithoutTargetReachesTheFirstResponderThatAnswersIt)
{
    struct Row
    {
        const char* command;
        const char* received;
    };
    const Row rows[]{
        {"open:", "list open sender"},
        {"share:", "view share sender"},
        {"newDocument:", "window newDocument"},
        {"showPreferences:", "delegate showPreferences"},
    };
    for (const Row& row : rows) {
        g_received.clear();
        EXPECT_NE(ResponderChain::send(QString::fromLatin1(row.command), &sender, nullptr, list), nullptr);
        EXPECT_EQ(g_received, QStringList{QString::fromLatin1(row.received)}) << row.command;
    }
    g_received.clear();
    EXPECT_EQ(ResponderChain::send(QStringLiteral("unknownCommand:"), &sender, nullptr, list), nullptr);
    // A target that does not answer is not replaced by the chain.
    EXPECT_EQ(ResponderChain::send(QStringLiteral("open:"), &sender, &windowController, list), nullptr);
    EXPECT_TRUE(g_received.isEmpty());
}

TEST_F(ResponderChainTest, TheChainStartsAtTheFocusWidgetAndDropsDestroyedResponders)
{
    ASSERT_TRUE(activateWithFocusOn(list));
    EXPECT_EQ(ResponderChain::firstResponder(), list);
    EXPECT_EQ(ResponderChain::targetForCommand(QStringLiteral("share:")), viewController.get());
    viewController.reset();
    EXPECT_EQ(ResponderChain::targetForCommand(QStringLiteral("share:")), &windowController);
}

TEST_F(ResponderChainTest, AMenuItemIsEnabledAndTitledByValidationAlongTheSameChain)
{
    QMenu menu;
    struct Row
    {
        const char* command;
        bool enabled;
    };
    const Row rows[]{
        {"share:", true},           // answered, the view controller agrees
        {"deleteEntity:", false},   // answered, the view controller refuses
        {"showPreferences:", true}, // answered by a responder that does not validate
        {"unknownCommand:", false}, // nobody answers
        {"toggleStarState:", true},
    };
    for (const Row& row : rows)
        menu.addAction(
            UserInterfaceItem::makeAction(QStringLiteral("item"), QString::fromLatin1(row.command), &menu));
    CommandValidation::attachToMenu(&menu, list);
    emit menu.aboutToShow();
    for (int i = 0; i < int(std::size(rows)); ++i)
        EXPECT_EQ(menu.actions().at(i)->isEnabled(), rows[i].enabled) << rows[i].command;
    EXPECT_EQ(menu.actions().at(4)->text(), StringTable::text(QStringLiteral("MenuRemoveStar")));

    viewController->allowDelete = true;
    viewController->starred = false;
    emit menu.aboutToShow();
    EXPECT_TRUE(menu.actions().at(1)->isEnabled());
    EXPECT_EQ(menu.actions().at(4)->text(), StringTable::text(QStringLiteral("MenuAddStar")));

    // A triggered item sends from where its menu was opened, with itself as sender.
    QAction* share = menu.actions().at(0);
    share->setObjectName(QStringLiteral("shareItem"));
    share->trigger();
    EXPECT_EQ(g_received, QStringList{QStringLiteral("view share shareItem")});
}

TEST_F(ResponderChainTest, RegisteredItemsFollowTheChainAtTheCoalescedWindowUpdate)
{
    auto* remove = UserInterfaceItem::makeAction(QStringLiteral("Delete"), QStringLiteral("deleteEntity:"),
                                                 window.get());
    UserInterfaceItem::setOrigin(remove, list);
    CommandValidation::registerAction(remove);
    QSignalSpy updates(&CommandValidation::instance(), &CommandValidation::windowDidUpdate);
    CommandValidation::instance().updateWindows();
    EXPECT_FALSE(remove->isEnabled());
    updates.clear();

    viewController->allowDelete = true;
    for (int i = 0; i < 3; ++i)
        CommandValidation::instance().scheduleWindowUpdate();
    EXPECT_FALSE(remove->isEnabled()); // not before the event loop turns
    ASSERT_TRUE(updates.wait(2000));
    EXPECT_TRUE(remove->isEnabled());
    QCoreApplication::processEvents();
    EXPECT_EQ(updates.count(), 1);
}

TEST_F(ResponderChainTest, AShortcutIsValidatedBeforeItIsMatched)
{
    auto* remove = UserInterfaceItem::makeAction(QStringLiteral("Delete"), QStringLiteral("deleteEntity:"),
                                                 window.get());
    remove->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_D));
    window->addAction(remove);
    CommandValidation::registerAction(remove);
    ASSERT_TRUE(activateWithFocusOn(list));
    CommandValidation::instance().updateWindows();
    ASSERT_FALSE(remove->isEnabled());

    // The state changes without a window update; the key press itself brings the item up to date.
    viewController->allowDelete = true;
    QTest::keyClick(list, Qt::Key_D, Qt::ControlModifier);
    EXPECT_EQ(g_received, QStringList{QStringLiteral("view deleteEntity")});
}

TEST_F(ResponderChainTest, TextFieldsAnswerTheStandardEditCommands)
{
    field->setText(QStringLiteral("quarterly report"));
    field->deselect();
    QAction copy;
    UserInterfaceItem::setCommand(&copy, QStringLiteral("copy:"));
    EXPECT_FALSE(ResponderChain::validate(QStringLiteral("copy:"), &copy, nullptr, field));
    EXPECT_EQ(ResponderChain::send(QStringLiteral("selectAll:"), &sender, nullptr, field), field);
    EXPECT_EQ(field->selectedText(), QStringLiteral("quarterly report"));
    EXPECT_TRUE(ResponderChain::validate(QStringLiteral("copy:"), &copy, nullptr, field));
    field->setReadOnly(true);
    EXPECT_FALSE(ResponderChain::validate(QStringLiteral("cut:"), &copy, nullptr, field));
}

} // namespace
} // namespace tavrel

#include "ResponderChainTest.moc"
