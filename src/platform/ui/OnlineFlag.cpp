#include "platform/ui/OnlineFlag.h"

#include <QWidget>

namespace tavrel {

namespace {

OnlineFlag* flagOf(const QWidget* widget)
{
    return widget->findChild<OnlineFlag*>(QString(), Qt::FindDirectChildrenOnly);
}

} // namespace

OnlineFlag::OnlineFlag(QWidget* view) : QObject(view) {}

OnlineFlag* OnlineFlag::of(QWidget* view)
{
    if (!view)
        return nullptr;
    if (OnlineFlag* flag = flagOf(view))
        return flag;
    return new OnlineFlag(view);
}

bool OnlineFlag::isOnline(const QWidget* widget)
{
    for (; widget; widget = widget->parentWidget())
        if (const OnlineFlag* flag = flagOf(widget))
            return flag->isOnline();
    return false;
}

void OnlineFlag::setOnline(bool online)
{
    if (online == m_online)
        return;
    m_online = online;
    auto* view = static_cast<QWidget*>(parent());
    view->update();
    // A scroll area's viewport and the widgets a list places over its rows draw on their own.
    for (QWidget* child : view->findChildren<QWidget*>())
        child->update();
    emit onlineChanged(online);
}

} // namespace tavrel
