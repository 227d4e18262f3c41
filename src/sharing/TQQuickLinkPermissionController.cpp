#include "sharing/TQQuickLinkPermissionController.h"

#include "controls/TQFloatingWindow.h"
#include "controls/TQSwitchButton.h"
#include "model/FileEntryAbstract.h"
#include "model/GeneralACLPermission.h"
#include "model/GeneralACLPermissionAdapter.h"
#include "platform/runtime/Invocation.h"
#include "platform/runtime/NotificationCenter.h"
#include "platform/system/TQLog.h"
#include "platform/ui/Clipboard.h"
#include "platform/ui/MessageNames.h"
#include "platform/ui/StringTable.h"
#include "sharing/QuickPopoverSupport.h"
#include "sharing/SharingPermissions.h"
#include "window/ActionRequests.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStackedLayout>
#include <QVBoxLayout>

namespace tavrel {

TQQuickLinkPermissionController::TQQuickLinkPermissionController(QObject* parent)
    : QuickPopover(QStringLiteral("QuickLinkView"), parent)
{}

TQQuickLinkPermissionController::~TQQuickLinkPermissionController()
{
    if (ControlPopovers::linkController() == this)
        ControlPopovers::setLinkController(nullptr);
    if (TQFloatingWindow* own = window()) {
        setWindow(nullptr);
        delete own;
    }
}

TQQuickLinkPermissionController* TQQuickLinkPermissionController::linkController()
{
    static TQQuickLinkPermissionController* shared = nullptr;
    if (!shared) {
        shared = new TQQuickLinkPermissionController;
        QuickPopoverSupport::makeWindow(shared);
        shared->refresh();
        ControlPopovers::setLinkController(shared);
    }
    return shared;
}

QWidget* TQQuickLinkPermissionController::makePage(const QString& name, bool commenter)
{
    auto* page = new QWidget;
    page->setObjectName(name);
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(14, 10, 14, 10);
    layout->setSpacing(6);
    layout->addWidget(QuickPopoverSupport::makeHeading(page));
    auto* link = new QLineEdit(page);
    link->setObjectName(commenter ? QStringLiteral("commenterLink") : QStringLiteral("regularLink"));
    link->setReadOnly(true);
    link->setMinimumWidth(240);
    layout->addWidget(link);

    TQSwitchButton* role = QuickPopoverSupport::addRoleSwitch(page, layout, commenter);
    role->setAction([this](TQSwitchButton& sender) { togglePermission(&sender); });

    auto* buttons = new QHBoxLayout;
    auto* copy = new QPushButton(StringTable::text(QStringLiteral("MenuCopyLink")), page);
    copy->setObjectName(QStringLiteral("copyButton"));
    connect(copy, &QPushButton::clicked, this, [this, copy] { copyLink(copy); });
    QPushButton* remove = QuickPopoverSupport::makeRemoveButton(page, QStringLiteral("QuickRemoveLink"));
    connect(remove, &QPushButton::clicked, this, [this, remove] { removePermission(remove); });
    buttons->addWidget(remove);
    buttons->addStretch(1);
    buttons->addWidget(copy);
    layout->addLayout(buttons);
    return page;
}

QWidget* TQQuickLinkPermissionController::loadView()
{
    auto* view = new QWidget;
    view->setObjectName(nibName());
    m_pages = new QStackedLayout(view);
    m_pages->addWidget(makePage(QStringLiteral("regularView"), false));
    m_pages->addWidget(makePage(QStringLiteral("commenterView"), true));
    view->resize(m_pages->widget(0)->sizeHint());
    return view;
}

QWidget* TQQuickLinkPermissionController::currentContent() const
{
    return m_pages ? m_pages->currentWidget() : nullptr;
}

void TQQuickLinkPermissionController::setItem(const std::shared_ptr<FileEntryAbstract>& item)
{
    m_item = item;
    refresh();
}

void TQQuickLinkPermissionController::setItem(const QVariant& item)
{
    setItem(std::dynamic_pointer_cast<FileEntryAbstract>(item.value<ManagedObjectPtr>()));
}

void TQQuickLinkPermissionController::refresh()
{
    view();
    if (!window() || !m_item)
        return;
    QWidget* page = m_pages->widget(m_item->hasCommenterSupport() ? 1 : 0);
    m_pages->setCurrentWidget(page);
    m_role = page->findChild<TQSwitchButton*>();
    m_linkField = page->findChild<QLineEdit*>();
    m_heading = page->findChild<QLabel*>(QStringLiteral("heading"));
    QuickPopoverSupport::fitWindowToContent(this, page);
    int code = m_role->state();
    if (const auto permission = m_item->generalACL()) {
        if (const auto key = SharingPermissions::popoverTitleKey(*permission))
            setTitle(StringTable::text(*key));
        code = SharingPermissions::roleCodeForGeneralRole(permission->role()).value_or(code);
    }
    QuickPopoverSupport::setRoleState(m_role, code);
    m_heading->setText(title());
    m_linkField->setText(m_item->alternateLink());
    m_linkField->selectAll();
}

void TQQuickLinkPermissionController::togglePermission(QObject* sender)
{
    auto* role = qobject_cast<TQSwitchButton*>(sender);
    if (!role)
        role = m_role;
    QuickPopoverSupport::requestGeneralRole(this, m_item, role);
}

void TQQuickLinkPermissionController::removePermission(QObject*)
{
    if (!m_item)
        return;
    TQLog("Removing link: %@", m_item->title());
    ActionRequests::executeDocumentAction(
        QStringLiteral("SetGeneralACLPermission"),
        Invocation::invocationForSelector(Selectors::operationDidFinish, this),
        {{QStringLiteral("documentEntity"), SharingPermissions::recordValue(m_item)},
         {QStringLiteral("statusID"),
          SharingPermissions::statusIdentifier(QStringLiteral("genpermission"), m_item.get())},
         {QStringLiteral("progressConsumer"), QVariant::fromValue<QObject*>(this)}});
    if (window())
        window()->performClose(nullptr);
}

void TQQuickLinkPermissionController::copyLink(QObject*)
{
    Clipboard::clear();
    if (m_item && !m_item->alternateLink().isEmpty())
        Clipboard::writeURLs({QUrl(m_item->alternateLink())});
    if (window())
        window()->performClose(nullptr);
}

void TQQuickLinkPermissionController::operationDidFinishWithResult(const QVariant& result,
                                                                   const QVariant& error)
{
    QuickPopover::operationDidFinishWithResult(result, error);
    NotificationCenter::defaultCenter().post(kRefreshIfInstalledNotification);
}

} // namespace tavrel
