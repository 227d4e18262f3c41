#pragma once

#include "controls/TQSwitchButton.h"
#include "sharing/QuickPopoverSupport.h"

#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <memory>

class QStackedLayout;

namespace tavrel {

class FileEntryAbstract;

// The quick link popover of a document's general access: its link, selected for copying, under the
// title of its link mode, with the role the link grants, a copy button and a button that turns link
// sharing off. One popover serves the whole process (ControlPopovers). Main thread only.
class TQQuickLinkPermissionController : public QuickPopover<QuickLinkPort>
{
    Q_OBJECT
public:
    explicit TQQuickLinkPermissionController(QObject* parent = nullptr);
    ~TQQuickLinkPermissionController() override;

    static TQQuickLinkPermissionController* linkController();

    std::shared_ptr<FileEntryAbstract> item() const { return m_item; }
    void setItem(const std::shared_ptr<FileEntryAbstract>& item);

    // QuickLinkPort
    void setItem(const QVariant& item) override;

    // "regularView" or "commenterView", with its role switch, link field and heading.
    QWidget* currentContent() const;
    TQSwitchButton* role() const { return m_role; }
    QLineEdit* linkField() const { return m_linkField; }
    QLabel* heading() const { return m_heading; }

    Q_INVOKABLE void togglePermission(QObject* sender);
    Q_INVOKABLE void removePermission(QObject* sender);
    Q_INVOKABLE void copyLink(QObject* sender);
    Q_INVOKABLE void operationDidFinishWithResult(const QVariant& result, const QVariant& error) override;

protected:
    QWidget* loadView() override;

private:
    QWidget* makePage(const QString& name, bool commenter);
    void refresh();

    std::shared_ptr<FileEntryAbstract> m_item;
    QStackedLayout* m_pages = nullptr;
    QPointer<TQSwitchButton> m_role;
    QPointer<QLineEdit> m_linkField;
    QPointer<QLabel> m_heading;
};

} // namespace tavrel
