#pragma once

#include "controls/TQWindowController.h"
#include "window/INewGroupSheet.h"

#include <QPointer>
#include <QVariantMap>
#include <functional>

class QLabel;
class QLineEdit;
class QPushButton;

namespace tavrel {

// The sheet that asks for the name of a new contact group and, on confirmation, asks the contact
// manager for "CreateGroup". The contact actions have no group creation: the manager answers the
// unknown action with its error, which reaches the callback target (the main window controller)
// like any action error, and the window keeps the command out of its menus (isCreateGroupAvailable).
// The sheet keeps itself from showing to its end.
class TQNewGroupController : public TQWindowController, public INewGroupSheet
{
    Q_OBJECT
public:
    TQNewGroupController();

    QString groupName() const { return m_groupName; }
    void setGroupName(const QString& name);
    virtual QString message() const;
    virtual QString action() const;
    QLineEdit* nameField() const { return m_nameField; }

    // Whether the contact manager can create groups at all.
    static bool isCreateGroupAvailable();

    // Runs the sheet window-modal on the window.
    void showWindowModalToWindow(QWidget* window) override;
    Q_INVOKABLE void ok(QObject* sender);
    Q_INVOKABLE void cancel(QObject* sender);
    // Closes the sheet; on the default button (1) confirms the name; then the controller goes.
    virtual void sheetDidEnd(int returnCode);

    // Who runs the action and gets its answer: the current session's contact manager and the
    // application delegate unless set.
    using ActionExecutor =
        std::function<void(const QString& action, QObject* callbackTarget, const QVariantMap& parameters)>;
    void setActionExecutor(ActionExecutor executor) { m_executor = std::move(executor); }
    void setCallbackTarget(QObject* target) override { m_callbackTarget = target; }

protected:
    // Shows message(), action() and the title: a subclass calls it from its constructor, where its own
    // texts are known.
    void updateTexts(const QString& windowTitle);
    // Whether the default button may confirm the name; not while it is empty.
    virtual bool acceptsName(const QString& name) const;
    // Enables the default button for the current name.
    void updateConfirmButton();
    // The default button was pressed: asks the contact manager for the new group.
    virtual void nameConfirmed();

private:
    QString m_groupName;
    QLineEdit* m_nameField = nullptr;
    QLabel* m_prompt = nullptr;
    QPushButton* m_confirm = nullptr;
    ActionExecutor m_executor;
    QPointer<QObject> m_callbackTarget;
    bool m_ended = false;
};

} // namespace tavrel
