#pragma once

#include "controls/TQSwitchButton.h"
#include "sharing/QuickPopoverSupport.h"

#include <QLabel>
#include <QPointer>
#include <memory>

class QStackedLayout;

namespace tavrel {

class FileEntryAbstract;
class Mail;

// The quick permission popover: one person's role on one document, changed or removed in one
// gesture; opened without a person (a link row) it changes the role of the document's general
// permission instead. The owner sees a read-only page. One popover serves the whole process; the
// cells open it at themselves (ControlPopovers). A role change closes it a moment later, a removal
// at once. Main thread only.
class TQQuickPermissionController : public QuickPopover<QuickPermissionPort>
{
    Q_OBJECT
public:
    explicit TQQuickPermissionController(QObject* parent = nullptr);
    ~TQQuickPermissionController() override;

    // The process-wide popover, made with its window on first use and registered with the controls.
    static TQQuickPermissionController* permisssionController();

    std::shared_ptr<FileEntryAbstract> item() const { return m_item; }
    void setItem(const std::shared_ptr<FileEntryAbstract>& item);
    std::shared_ptr<Mail> email() const { return m_email; }
    void setEmail(const std::shared_ptr<Mail>& email);
    bool deletable() const { return m_deletable; }

    // QuickPermissionPort: the cells hand records inside variants.
    void setDeletable(bool deletable) override;
    void setItem(const QVariant& item) override;
    void setEmail(const QVariant& mail) override;

    // The page shown now: "regularView", "commenterView", "nonDeleteViewEdit", "nonDeleteComment" or
    // "readonlyView"; its role switch (none for the owner); the heading.
    QWidget* currentContent() const;
    TQSwitchButton* role() const { return m_role; }
    QLabel* heading() const { return m_heading; }

    Q_INVOKABLE void togglePermission(QObject* sender);
    Q_INVOKABLE void toggleACLPermission(QObject* sender);
    Q_INVOKABLE void removePermission(QObject* sender);
    // Then installed lists refresh.
    Q_INVOKABLE void operationDidFinishWithResult(const QVariant& result, const QVariant& error) override;

protected:
    QWidget* loadView() override;

private:
    QWidget* makePage(const QString& name, bool commenter, bool deletable);
    void refresh();
    void show(QWidget* page);

    std::shared_ptr<FileEntryAbstract> m_item;
    std::shared_ptr<Mail> m_email;
    bool m_deletable = false;
    QStackedLayout* m_pages = nullptr;
    QPointer<TQSwitchButton> m_role;
    QPointer<QLabel> m_heading;
};

} // namespace tavrel
