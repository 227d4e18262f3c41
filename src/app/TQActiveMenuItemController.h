#pragma once

#include "app/TQMenuView.h"

#include <QLabel>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QToolButton>
#include <QWidgetAction>

namespace tavrel {

// A menu row with a view of its own: an icon button at the left (it turns into a remove mark under the
// pointer) and a title. The row's command (action and target) is what the icon button sends.
class TQActiveMenuItemController : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QString title READ title WRITE setTitle NOTIFY titleChanged)
    Q_PROPERTY(QString activeIcon READ activeIcon WRITE setActiveIcon NOTIFY activeIconChanged)
    Q_PROPERTY(bool hasSubitems READ hasSubitems NOTIFY hasSubitemsChanged)

public:
    static constexpr int kRowHeight = 26;
    static constexpr int kIconEdge = 16;

    // Gives the item this controller's view. The controller belongs to the item.
    explicit TQActiveMenuItemController(QWidgetAction* controlledItem);
    ~TQActiveMenuItemController() override;

    QWidgetAction* controlledItem() const { return m_controlledItem; }
    TQMenuView* view() const { return m_view; }
    QToolButton* itemAction() const { return m_itemAction; }
    QLabel* titleHolder() const { return m_titleHolder; }

    // The stored title followed by the extension when there is one.
    QString title() const;
    void setTitle(const QString& title);
    QString titleExtension() const { return m_titleExtension; }
    void setTitleExtension(const QString& extension);
    // The image name of the icon button's normal image.
    QString activeIcon() const { return m_activeIcon; }
    void setActiveIcon(const QString& name);

    QObject* target() const { return m_target; }
    void setTarget(QObject* target) { m_target = target; }
    QString action() const { return m_action; }
    void setAction(const QString& action);
    bool hasAction() const { return !m_action.isEmpty(); }
    virtual bool hasSubitems() const { return false; }

    // The icon button's click: the row's command, with the controller as sender.
    Q_INVOKABLE void actionPressed();
    Q_INVOKABLE virtual void mouseEntered() {}
    Q_INVOKABLE virtual void mouseExited() {}
    Q_INVOKABLE virtual void cancelAction(QObject* sender) { Q_UNUSED(sender); }

signals:
    void titleChanged(const QString& title);
    void activeIconChanged(const QString& name);
    void hasSubitemsChanged();

private:
    void refreshView();
    void refreshIcon(bool hovered, bool pressed);
    bool eventFilter(QObject* watched, QEvent* event) override;

    QPointer<QWidgetAction> m_controlledItem;
    // The item owns the view and deletes it before this controller.
    QPointer<TQMenuView> m_view;
    QPointer<QToolButton> m_itemAction;
    QPointer<QLabel> m_titleHolder;
    QString m_title;
    QString m_titleExtension;
    QString m_activeIcon = QStringLiteral("icon-updated");
    QPointer<QObject> m_target;
    QString m_action;
};

} // namespace tavrel
