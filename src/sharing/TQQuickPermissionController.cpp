#include "sharing/TQQuickPermissionController.h"

#include "controls/TQFloatingWindow.h"
#include "controls/TQSwitchButton.h"
#include "model/FileEntryAbstract.h"
#include "model/GeneralACLPermission.h"
#include "model/GeneralACLPermissionAdapter.h"
#include "model/Mail.h"
#include "model/SharingRoles.h"
#include "model/TQACLEntry.h"
#include "platform/runtime/Invocation.h"
#include "platform/runtime/NotificationCenter.h"
#include "platform/system/TQLog.h"
#include "platform/ui/MessageNames.h"
#include "platform/ui/StringTable.h"
#include "sharing/QuickPopoverSupport.h"
#include "sharing/SharingPermissions.h"
#include "window/ActionRequests.h"

#include <QLabel>
#include <QPushButton>
#include <QStackedLayout>
#include <QVBoxLayout>

namespace tavrel {

TQQuickPermissionController::TQQuickPermissionController(QObject* parent)
    : QuickPopover(QStringLiteral("QuickPermissionView"), parent)
{}

TQQuickPermissionController::~TQQuickPermissionController()
{
    if (ControlPopovers::permissionController() == this)
        ControlPopovers::setPermissionController(nullptr);
    if (TQFloatingWindow* own = window()) {
        setWindow(nullptr);
        delete own;
    }
}

TQQuickPermissionController* TQQuickPermissionController::permisssionController()
{
    // Process-wide: never deleted, so that no cell ever holds a freed popover.
    static TQQuickPermissionController* shared = nullptr;
    if (!shared) {
        shared = new TQQuickPermissionController;
        QuickPopoverSupport::makeWindow(shared);
        shared->refresh();
        ControlPopovers::setPermissionController(shared);
    }
    return shared;
}

QWidget* TQQuickPermissionController::makePage(const QString& name, bool commenter, bool deletable)
{
    auto* page = new QWidget;
    page->setObjectName(name);
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(14, 10, 14, 10);
    layout->setSpacing(6);
    layout->addWidget(QuickPopoverSupport::makeHeading(page));
    TQSwitchButton* role = QuickPopoverSupport::addRoleSwitch(page, layout, commenter);
    role->setAction([this](TQSwitchButton& sender) {
        if (m_email)
            togglePermission(&sender);
        else
            toggleACLPermission(&sender);
    });
    if (deletable) {
        QPushButton* remove =
            QuickPopoverSupport::makeRemoveButton(page, QStringLiteral("QuickRemoveAccess"));
        connect(remove, &QPushButton::clicked, this, [this, remove] { removePermission(remove); });
        layout->addWidget(remove, 0, Qt::AlignLeft);
    }
    page->setMinimumWidth(220);
    return page;
}

QWidget* TQQuickPermissionController::loadView()
{
    auto* view = new QWidget;
    view->setObjectName(nibName());
    m_pages = new QStackedLayout(view);
    m_pages->addWidget(makePage(QStringLiteral("regularView"), false, true));
    m_pages->addWidget(makePage(QStringLiteral("commenterView"), true, true));
    m_pages->addWidget(makePage(QStringLiteral("nonDeleteViewEdit"), false, false));
    m_pages->addWidget(makePage(QStringLiteral("nonDeleteComment"), true, false));
    auto* readonly = new QWidget;
    readonly->setObjectName(QStringLiteral("readonlyView"));
    auto* layout = new QVBoxLayout(readonly);
    layout->setContentsMargins(14, 10, 14, 12);
    layout->addWidget(QuickPopoverSupport::makeHeading(readonly));
    layout->addWidget(
        QuickPopoverSupport::makeCaption(readonly, StringTable::text(QStringLiteral("QuickOwnerCaption"))));
    readonly->setMinimumWidth(220);
    m_pages->addWidget(readonly);
    view->resize(m_pages->widget(0)->sizeHint().expandedTo(QSize(220, 0)));
    return view;
}

QWidget* TQQuickPermissionController::currentContent() const
{
    return m_pages ? m_pages->currentWidget() : nullptr;
}

void TQQuickPermissionController::setDeletable(bool deletable)
{
    m_deletable = deletable;
}

void TQQuickPermissionController::setItem(const std::shared_ptr<FileEntryAbstract>& item)
{
    if (item != m_item)
        m_item = item;
    refresh();
}

void TQQuickPermissionController::setItem(const QVariant& item)
{
    setItem(std::dynamic_pointer_cast<FileEntryAbstract>(item.value<ManagedObjectPtr>()));
}

void TQQuickPermissionController::setEmail(const std::shared_ptr<Mail>& email)
{
    m_email = email;
    if (!email)
        setTitle(QString());
    else if (SharingRoles::sameAddress(email->address(), SharingPermissions::username()))
        setTitle(StringTable::text(QStringLiteral("OnlyME")));
    else
        setTitle(email->displayName().isEmpty() ? email->address() : email->displayName());
    refresh();
}

void TQQuickPermissionController::setEmail(const QVariant& mail)
{
    setEmail(std::dynamic_pointer_cast<Mail>(mail.value<ManagedObjectPtr>()));
}

void TQQuickPermissionController::show(QWidget* page)
{
    m_pages->setCurrentWidget(page);
    m_heading = page->findChild<QLabel*>(QStringLiteral("heading"));
    m_role = page->findChild<TQSwitchButton*>();
    QuickPopoverSupport::fitWindowToContent(this, page);
}

void TQQuickPermissionController::refresh()
{
    view();
    if (!window() || !m_item)
        return;
    const bool commenter = m_item->hasCommenterSupport();
    auto page = [this](const char* name) { return view()->findChild<QWidget*>(QLatin1String(name)); };
    QWidget* chosen = commenter ? page(m_deletable ? "commenterView" : "nonDeleteComment")
                                : page(m_deletable ? "regularView" : "nonDeleteViewEdit");
    if (m_email) {
        if (SharingRoles::isOwner(*m_item, m_email->address()))
            chosen = page("readonlyView");
        show(chosen);
        if (m_role) {
            const auto code = SharingPermissions::roleCodeForPerson(*m_item, m_email->address());
            // Someone in none of the lists keeps the state the switch had.
            QuickPopoverSupport::setRoleState(m_role, code.value_or(m_role->state()));
        }
    } else {
        show(chosen);
        int code = m_role->state();
        if (const auto permission = m_item->generalACL()) {
            if (const auto key = SharingPermissions::popoverTitleKey(*permission))
                setTitle(StringTable::text(*key));
            code = SharingPermissions::roleCodeForGeneralRole(permission->role()).value_or(code);
        }
        QuickPopoverSupport::setRoleState(m_role, code);
    }
    if (m_heading)
        m_heading->setText(title());
}

void TQQuickPermissionController::togglePermission(QObject* sender)
{
    auto* role = qobject_cast<TQSwitchButton*>(sender);
    if (!role)
        role = m_role;
    if (!m_item || !m_email || !role)
        return;
    const int code = role->state();
    TQACLEntry entry(TQACLEntry::User, SharingPermissions::aclRoleForRoleCode(code), m_email->address());
    entry.setDisplayName(m_email->displayName());
    ActionRequests::executeDocumentAction(
        QStringLiteral("SetPermissions"),
        Invocation::invocationForSelector(Selectors::operationDidFinish, this),
        {{QStringLiteral("documentEntities"), QVariantList{SharingPermissions::recordValue(m_item)}},
         {QStringLiteral("ACLEntries"), QVariantList{QVariant::fromValue(entry)}},
         {QStringLiteral("modified"), true},
         {QStringLiteral("statusID"),
          SharingPermissions::statusIdentifier(QStringLiteral("changeowner"), m_email.get())},
         {QStringLiteral("progressConsumer"), QVariant::fromValue<QObject*>(this)}});
    QuickPopoverSupport::closeLater(this);
}

void TQQuickPermissionController::toggleACLPermission(QObject* sender)
{
    auto* role = qobject_cast<TQSwitchButton*>(sender);
    if (!role)
        role = m_role;
    QuickPopoverSupport::requestGeneralRole(this, m_item, role);
}

void TQQuickPermissionController::removePermission(QObject*)
{
    if (!m_item || !m_email)
        return;
    TQLog("Deleting permission for contact: %@ [%@]", m_email->address(), m_item->title());
    ActionRequests::executeDocumentAction(
        QStringLiteral("RemovePermission"),
        Invocation::invocationForSelector(Selectors::operationDidFinish, this),
        {{QStringLiteral("documentEntity"), SharingPermissions::recordValue(m_item)},
         {QStringLiteral("mailAddress"), m_email->address()},
         {QStringLiteral("statusID"),
          SharingPermissions::statusIdentifier(QStringLiteral("removepermission"), m_email.get())},
         {QStringLiteral("progressConsumer"), QVariant::fromValue<QObject*>(this)}});
    if (window())
        window()->performClose(nullptr);
}

void TQQuickPermissionController::operationDidFinishWithResult(const QVariant& result, const QVariant& error)
{
    QuickPopover::operationDidFinishWithResult(result, error);
    NotificationCenter::defaultCenter().post(kRefreshIfInstalledNotification);
}

} // namespace tavrel
