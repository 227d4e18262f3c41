#pragma once

#include <QList>
#include <QObject>
#include <QPointer>
#include <QTimer>

class QAction;
class QMenu;
class QWidget;

namespace tavrel {

// Keeps the enabled state of command items in step with the responder chain (ResponderChain::validate):
// a menu's actions when it is about to show, the registered actions before a key press is matched
// against their shortcuts, and all registered actions once after input on a coalesced 0-ms timer: the
// window update, after which windowDidUpdate() lets button bars validate their buttons.
class CommandValidation : public QObject
{
    Q_OBJECT
public:
    // The process-wide validation; installs its event filter on the application on first use.
    static CommandValidation& instance();

    // Validates the menu's command actions each time it is about to show (submenus as they show),
    // with the chain starting at the origin (nullptr: the first responder); triggered actions send
    // from there too.
    static void attachToMenu(QMenu* menu, QWidget* origin = nullptr);
    static void validateMenu(QMenu* menu, QWidget* origin = nullptr);
    // Sets the item's enabled state from the chain (starting at the item's origin) and answers it; an
    // item without a command keeps its state.
    static bool validateItem(QObject* item);

    // Validated at every window update and before shortcuts, for as long as the action lives.
    static void registerAction(QAction* action);

    // Runs one window update on the next turn of the event loop; requests before it coalesce.
    void scheduleWindowUpdate();
    // Runs it now.
    void updateWindows();

signals:
    // After each window update.
    void windowDidUpdate();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    CommandValidation();
    void validateRegisteredActions(bool withShortcutsOnly);

    QTimer m_updateTimer;
    QList<QPointer<QAction>> m_actions;
    quint64 m_lastShortcutTimestamp = 0;
    int m_lastShortcutKey = 0;
};

} // namespace tavrel
