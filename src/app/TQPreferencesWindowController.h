#pragma once

#include "controls/TQWindowController.h"

#include <QHash>
#include <QPointer>
#include <QToolBar>
#include <functional>

namespace tavrel {

class TQDefaultPrefViewController;

// The preferences window, one per process: a toolbar of panes (the general one is the only pane) and
// the pane shown. Every value is written to the preferences store at once; there is no apply step.
class TQPreferencesWindowController : public TQWindowController
{
    Q_OBJECT
public:
    static inline const QString kGeneralIdentifier = QStringLiteral("id.general");

    static TQPreferencesWindowController* sharedPreferencesController();
    static void resetForTesting();

    // Opens the window over the window the sender (a menu item, a button) belongs to, else over the
    // active window, where it was when it is shown already.
    Q_INVOKABLE void showWindow(QObject* sender) override;
    Q_INVOKABLE void showGeneralPane(QObject* sender);
    void installControllerForIdentifier(const QString& identifier);

    QObject* currentController() const { return m_currentController; }
    TQDefaultPrefViewController* generalPane() const;
    QToolBar* toolbar() const { return m_toolbar; }

private:
    TQPreferencesWindowController();
    void awakeFromNib() override;

    QHash<QString, QObject*> m_prefControllers;
    QPointer<QObject> m_currentController;
    QToolBar* m_toolbar = nullptr;
};

} // namespace tavrel
