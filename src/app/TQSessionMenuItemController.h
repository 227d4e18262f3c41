#pragma once

#include "app/TQActiveMenuItemController.h"
#include "progress/TQProgressSession.h"

#include <QMenu>
#include <QPointer>

namespace tavrel {

class TQActionMenuItemController;

// The status menu's status line: follows one progress session (the uploads while they run), shows its
// name and percentage, and while two or more uploads run offers a submenu with one cancellable row per
// upload. On this desktop the row is a widget of the menu, so its icon button takes clicks directly.
class TQSessionMenuItemController : public TQActiveMenuItemController
{
    Q_OBJECT
public:
    explicit TQSessionMenuItemController(QWidgetAction* controlledItem);
    ~TQSessionMenuItemController() override;

    TQProgressSession* progressSession() const { return m_progressSession; }
    // The same session again changes nothing.
    void setProgressSession(TQProgressSession* session);
    QMenu* submenu() const { return m_submenu; }
    bool hasSubitems() const override;
    // The upload rows, in the submenu's order.
    QList<TQActionMenuItemController*> rows() const;

    Q_INVOKABLE void mouseEntered() override;
    Q_INVOKABLE void mouseExited() override;
    // An upload row's button: cancels that upload and takes its row out of the session.
    Q_INVOKABLE void cancelAction(QObject* sender) override;

private:
    void progressDidChange();
    void rebuildSubmenu();

    QPointer<TQProgressSession> m_progressSession;
    QMenu* m_submenu = nullptr;
    QList<QMetaObject::Connection> m_connections;
};

} // namespace tavrel
