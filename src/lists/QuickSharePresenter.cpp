#include "lists/QuickSharePresenter.h"

#include "platform/system/TQLog.h"
#include "platform/ui/Alert.h"
#include "platform/ui/StringTable.h"
#include "session/TQSession.h"
#include "session/TQSessionManager.h"
#include "window/TQMainWindow.h"
#include "window/TQMainWindowController.h"
#include "window/TQNotificationController.h"
#include "window/TQViewController.h"
#include "window/ViewClasses.h"

#include <QApplication>
#include <QPointer>
#include <QWidget>

namespace tavrel {

namespace {

QVariantList valuesOf(const QList<ManagedObjectPtr>& records)
{
    QVariantList values;
    for (const ManagedObjectPtr& record : records)
        values.append(QVariant::fromValue(record));
    return values;
}

QString me()
{
    TQSession* session = TQSessionManager::sharedManager()->currentSession();
    return session ? session->username() : QString();
}

// Shows the controller's view as the quick-share popover; the popover keeps the controller.
QWidget* showInPopover(TQViewController* controller, const QList<ManagedObjectPtr>& selection,
                       const QPoint& point)
{
    TQMainWindowController* main = QuickSharePresenter::mainController();
    if (!main) {
        TQLog("E: No main window to show the quick-share dialog in");
        delete controller;
        return nullptr;
    }
    QWidget* popover =
        main->showQuickShareDialogForContent(controller->view(), controller, valuesOf(selection), point);
    if (popover && !controller->parent())
        controller->setParent(popover);
    return popover;
}

} // namespace

bool QuickSharePresenter::sharingViewsExist()
{
    return ViewClasses::hasClass(kReadonlyClass) && ViewClasses::hasClass(kShareClass) &&
           ViewClasses::hasClass(kShareWithClass);
}

TQMainWindowController* QuickSharePresenter::mainController()
{
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (auto* window = qobject_cast<TQMainWindow*>(widget); window && window->delegate())
            return window->delegate();
    return nullptr;
}

QPoint QuickSharePresenter::anchorForRow(QWidget* viewport, const QRect& row)
{
    TQMainWindowController* main = mainController();
    QWidget* window = main ? main->window() : nullptr;
    if (!viewport || !window || row.isNull())
        return {};
    const QPoint middle = viewport->mapToGlobal(QPoint(row.right(), row.center().y()));
    const QPoint inWindow = window->mapFromGlobal(middle);
    return QPoint(window->width() + 2, inWindow.y());
}

void QuickSharePresenter::share(TQViewController* list, const QList<ManagedObjectPtr>& selection,
                                const QPoint& point, const ShareWith& shareWith, const Deselect& deselect)
{
    QuickShareDecision::Flags flags;
    const QString user = me();
    const QuickShareDecision::Mode mode = QuickShareDecision::decide(selection, user, &flags);
    TQLog("%@", flags.logLine());
    TQLog("%@", QuickShareDecision::modeLogLine(mode));
    switch (mode) {
    case QuickShareDecision::Mode::ReadOnly:
        if (auto* readonly = ViewClasses::make<TQViewController>(kReadonlyClass)) {
            readonly->setProperty("items", valuesOf(selection));
            showInPopover(readonly, selection, point);
        }
        return;
    case QuickShareDecision::Mode::ShareWith:
        if (shareWith)
            shareWith(selection, point);
        return;
    case QuickShareDecision::Mode::ShareList:
        if (auto* shareList = ViewClasses::make<TQViewController>(kShareClass)) {
            shareList->setProperty("items", valuesOf(selection));
            showInPopover(shareList, selection, point);
        }
        return;
    case QuickShareDecision::Mode::AskToDrop:
        break;
    }
    auto* alert = new Alert;
    // The title counts the documents that would be left out.
    const qsizetype refused = selection.size() - QuickShareDecision::permittedOnly(selection, user).size();
    alert->setMessageText(StringTable::format(QStringLiteral("MixedPermissionTitle"), refused));
    alert->setInformativeText(StringTable::text(QStringLiteral("MixedPermissionMessage")));
    alert->setDefaultButtonTitle(StringTable::text(QStringLiteral("Yes")));
    alert->setAlternateButtonTitle(StringTable::text(QStringLiteral("No")));
    QPointer<TQViewController> self(list);
    QWidget* window = list && list->isViewLoaded() ? list->view()->window() : nullptr;
    alert->beginSheet(window, [self, selection, point, shareWith, deselect, user](int response, bool) {
        if (!self || response != Alert::DefaultResponse)
            return;
        QList<ManagedObjectPtr> kept;
        for (const ManagedObjectPtr& record : selection) {
            if (QuickShareDecision::isPermitted(record, user))
                kept.append(record);
            else if (deselect)
                deselect(record);
        }
        // The anchor stands only for a single document, which never asks.
        share(self, kept, selection.size() <= 1 ? point : QPoint(), shareWith, deselect);
    });
}

QWidget* QuickSharePresenter::showShareWith(const QList<ManagedObjectPtr>& selection, const QPoint& point,
                                            bool titled)
{
    auto* shareWith = ViewClasses::make<TQViewController>(kShareWithClass);
    if (!shareWith)
        return nullptr;
    const QVariant item = selection.isEmpty() ? QVariant() : QVariant::fromValue(selection.constLast());
    if (!QMetaObject::invokeMethod(shareWith, "setItem", Q_ARG(QVariant, item)))
        shareWith->setProperty("item", item);
    QWidget* popover = showInPopover(shareWith, selection, point);
    if (popover && titled)
        popover->setWindowTitle(StringTable::text(QStringLiteral("WindowShareWith")));
    return popover;
}

void QuickSharePresenter::showDenied(TQViewController* list)
{
    TQNotificationController* banner = list ? list->notificationController() : nullptr;
    if (!banner)
        return;
    banner->setMessage(StringTable::text(QStringLiteral("ShareDeniedMessage")), QString(),
                       StringTable::text(QStringLiteral("RequestRightsAction")));
    banner->showNotification();
}

} // namespace tavrel
