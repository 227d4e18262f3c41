#include "sharing/QuickPopoverSupport.h"

#include "chrome/TQModalContentController.h"
#include "controls/TQFloatingWindow.h"
#include "controls/TQSwitchButton.h"
#include "controls/TQTriSwitchButton.h"
#include "model/FileEntryAbstract.h"
#include "model/GeneralACLPermission.h"
#include "model/GeneralACLPermissionAdapter.h"
#include "platform/runtime/Invocation.h"
#include "platform/system/TQLog.h"
#include "platform/ui/ImageRegistry.h"
#include "platform/ui/MessageNames.h"
#include "platform/ui/StringTable.h"
#include "sharing/SharingPermissions.h"
#include "window/ActionRequests.h"

#include <QBoxLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTimer>

namespace tavrel {

namespace {
constexpr int kArrowBottom = 2;
constexpr int kMediumWindow = 2;
} // namespace

void QuickPopoverSupport::makeWindow(TQModalContentController* controller)
{
    QWidget* view = controller->view();
    auto* window = new TQFloatingWindow(view->rect(), QString(), kArrowBottom);
    window->setFrameBackgroundImage(ImageRegistry::pixmap(QStringLiteral("dialog_background")));
    controller->setWindow(window);
    window->setFrameBackgroundColor(Qt::white);
    window->setWindowSize(kMediumWindow);
    window->setFrame(window->frameRectForContentRect(QRectF(view->rect())).toAlignedRect());
    window->setContentView(view);
}

bool QuickPopoverSupport::isWindowVisible(const TQModalContentController* controller)
{
    return controller->window() && controller->window()->isVisible();
}

void QuickPopoverSupport::closeWindow(TQModalContentController* controller)
{
    if (controller->window())
        controller->window()->close();
}

void QuickPopoverSupport::attachToWindow(TQModalContentController* controller, QWidget* parent,
                                         const QPointF& point)
{
    if (controller->window())
        controller->window()->attachToWindow(parent, point.toPoint());
}

void QuickPopoverSupport::observeWindowWillClose(TQModalContentController* controller,
                                                 std::function<void()> handler)
{
    TQFloatingWindow* window = controller->window();
    if (!window)
        return;
    auto connection = std::make_shared<QMetaObject::Connection>();
    *connection =
        QObject::connect(window, &TQFloatingWindow::windowWillClose, controller, [connection, handler] {
            QObject::disconnect(*connection);
            handler();
        });
}

void QuickPopoverSupport::closeLater(TQModalContentController* controller)
{
    const QPointer<TQFloatingWindow> window = controller->window();
    QTimer::singleShot(kCloseDelay.duration(), controller, [window] {
        if (window && window->isVisible())
            window->performClose(nullptr);
    });
}

void QuickPopoverSupport::fitWindowToContent(TQModalContentController* controller, QWidget* page)
{
    QWidget* view = controller->view();
    const QSize size = page->sizeHint().expandedTo(page->minimumSize());
    view->resize(size);
    if (TQFloatingWindow* window = controller->window()) {
        const QRect old = window->frame();
        QRect frame = window->frameRectForContentRect(QRectF(QPointF(), QSizeF(size))).toAlignedRect();
        frame.moveTo(old.topLeft());
        window->setFrame(frame);
    }
}

QLabel* QuickPopoverSupport::makeHeading(QWidget* page)
{
    auto* heading = new QLabel(page);
    heading->setObjectName(QStringLiteral("heading"));
    QFont font = heading->font();
    font.setBold(true);
    heading->setFont(font);
    heading->setTextInteractionFlags(Qt::NoTextInteraction);
    return heading;
}

QLabel* QuickPopoverSupport::makeCaption(QWidget* page, const QString& text)
{
    auto* caption = new QLabel(text, page);
    QPalette palette = caption->palette();
    palette.setColor(QPalette::WindowText, QColor(0x6b, 0x6b, 0x6b));
    caption->setPalette(palette);
    QFont font = caption->font();
    font.setPointSizeF(font.pointSizeF() * 0.9);
    caption->setFont(font);
    return caption;
}

QPushButton* QuickPopoverSupport::makeRemoveButton(QWidget* page, const QString& titleKey)
{
    auto* button = new QPushButton(StringTable::text(titleKey), page);
    button->setObjectName(QStringLiteral("removeButton"));
    button->setIcon(QIcon(ImageRegistry::pixmap(QStringLiteral("leave-sharing-regular"))));
    button->setFlat(true);
    button->setCursor(Qt::PointingHandCursor);
    return button;
}

TQSwitchButton* QuickPopoverSupport::addRoleSwitch(QWidget* page, QBoxLayout* layout, bool commenter)
{
    TQSwitchButton* role = commenter ? new TQTriSwitchButton(page) : new TQSwitchButton(page);
    role->setObjectName(commenter ? QStringLiteral("commenterRole") : QStringLiteral("regularRole"));
    role->setFixedSize(role->sizeHint());
    // The switch shows icons; the words of the chosen role stand beside it.
    QLabel* caption = makeCaption(page, QString());
    caption->setObjectName(QStringLiteral("roleCaption"));
    role->setProperty("roleCaption", QVariant::fromValue<QObject*>(caption));
    auto* row = new QHBoxLayout;
    row->setSpacing(10);
    row->addWidget(role);
    row->addWidget(caption);
    row->addStretch(1);
    layout->addLayout(row);
    QObject::connect(role, &TQSwitchButton::activated, caption, [role] { showRoleCaption(role); });
    showRoleCaption(role);
    return role;
}

void QuickPopoverSupport::showRoleCaption(TQSwitchButton* role)
{
    if (auto* caption = qobject_cast<QLabel*>(role->property("roleCaption").value<QObject*>()))
        caption->setText(StringTable::text(SharingPermissions::tooltipKeyForRoleCode(role->state())));
}

void QuickPopoverSupport::setRoleState(TQSwitchButton* role, int code)
{
    role->setCellState(code);
    role->synchronizeState();
    showRoleCaption(role);
}

void QuickPopoverSupport::requestGeneralRole(TQModalContentController* popover,
                                             const std::shared_ptr<FileEntryAbstract>& item,
                                             TQSwitchButton* role)
{
    const auto current = item ? item->generalACL() : nullptr;
    if (!current || !role)
        return;
    TQLog("Changing generic permission: %@", item->title());
    auto permission =
        GeneralACLPermissionAdapter::generalACLPermissionAdapterWithUsername(SharingPermissions::username());
    permission->setRole(SharingPermissions::generalRoleForRoleCode(role->state()));
    permission->setType(current->type());
    permission->setHasLink(current->hasLink());
    permission->setXml(current->xml());
    ActionRequests::executeDocumentAction(
        QStringLiteral("SetGeneralACLPermission"),
        Invocation::invocationForSelector(Selectors::operationDidFinish, popover),
        {{QStringLiteral("documentEntity"), SharingPermissions::recordValue(item)},
         {QStringLiteral("generalACLPermission"), QVariant::fromValue(permission)},
         {QStringLiteral("statusID"),
          SharingPermissions::statusIdentifier(QStringLiteral("genpermission"), item.get())},
         {QStringLiteral("progressConsumer"), QVariant::fromValue<QObject*>(popover)}});
    closeLater(popover);
}

} // namespace tavrel
