// The document commands of the list and the callbacks of their actions.
#include "documents/TQAllItemsController.h"

namespace tavrel {

void TQAllItemsController::executeFile(QObject*)
{
    editEntity(static_cast<QObject*>(nullptr));
}

void TQAllItemsController::open(QObject*)
{
    executeFile(nullptr);
}

void TQAllItemsController::editEntity(QObject*) {}
void TQAllItemsController::openWith(QObject*) {}
void TQAllItemsController::chooseApplication(QObject*) {}
void TQAllItemsController::openInBrowser(QObject*) {}

void TQAllItemsController::showDetails(QObject* sender)
{
    showPreview(sender);
}

void TQAllItemsController::showPreview(QObject*) {}
void TQAllItemsController::showItemContacts(QObject*) {}
void TQAllItemsController::showSharingContacts(QObject*) {}
void TQAllItemsController::organize(QObject*) {}
void TQAllItemsController::toggleStarState(QObject*) {}
void TQAllItemsController::toggleStarStateOne(QObject*) {}
void TQAllItemsController::rename(QObject*) {}
void TQAllItemsController::toggleViewedState(QObject*) {}
void TQAllItemsController::toggleNewState(QObject*) {}
void TQAllItemsController::download(QObject*) {}

void TQAllItemsController::remove(QObject*)
{
    deleteEntity(static_cast<QObject*>(nullptr));
}

void TQAllItemsController::deleteEntity(QObject*) {}
void TQAllItemsController::changeOwnership(QObject*) {}
void TQAllItemsController::printEntity(QObject*) {}
void TQAllItemsController::toggleGenericPermission(QObject*) {}
void TQAllItemsController::showDetailsFilterActivated(int) {}
void TQAllItemsController::renameRecord(const ManagedObjectPtr&, const QString&) {}

void TQAllItemsController::documentsDidTrashWithResult(const QVariant& result, const QVariant& error)
{
    operationDidFinishWithResult(result, error);
}

void TQAllItemsController::documentsDidDeleteWithResult(const QVariant& result, const QVariant& error)
{
    operationDidFinishWithResult(result, error);
}

void TQAllItemsController::downloadDidFinishWithResult(const QVariant& result, const QVariant& error)
{
    operationDidFinishWithResult(result, error);
}

void TQAllItemsController::uploadDidFinishWithResult(const QVariant& result, const QVariant& error)
{
    operationDidFinishWithResult(result, error);
}

void TQAllItemsController::generalPermissionDidFinishWithResult(const QVariant& result, const QVariant& error)
{
    operationDidFinishWithResult(result, error);
}

} // namespace tavrel
