#pragma once

#include "chrome/IUIAction.h"

#include <QHash>
#include <QObject>

namespace tavrel {

// The in-window banner's delegate: a registry of named actions. A view registers an action just
// before it shows a banner whose link names it; a click on the link later finds it by name and runs
// it. Actions stay until another of the same name replaces them, so an old link still works.
// Main thread only.
class TQActionProcessor : public QObject
{
    Q_OBJECT
public:
    explicit TQActionProcessor(QObject* parent = nullptr);
    static TQActionProcessor* sharedActionProcessor();

    // Nothing for a null action; replaces an action of the same name.
    void pushAction(const IUIActionPtr& action);
    IUIActionPtr actionNamed(const QString& name) const { return m_container.value(name); }

    // The banner's request: runs the action of that name; an unknown name does nothing.
    Q_INVOKABLE void notificationController(QObject* controller, const QString& requestPerformAction);

private:
    QHash<QString, IUIActionPtr> m_container;
};

} // namespace tavrel
