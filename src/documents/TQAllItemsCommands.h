#pragma once

#include "platform/store/ManagedObject.h"

#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QUrl>

namespace tavrel {

class TQAllItemsController;

// The document commands of the all-items list and the callbacks of their actions. It stands behind the
// list in the responder chain, so the menus, keys and buttons of the window reach it through the list;
// it acts on the list's selection (or the row a menu or a row's button was used on), shows errors
// through the list and is validated by the list's validation (TQAllItemsValidation).
class TQAllItemsCommands : public QObject
{
    Q_OBJECT
public:
    explicit TQAllItemsCommands(TQAllItemsController* list);
    ~TQAllItemsCommands() override;

    TQAllItemsController* list() const { return m_list; }

    Q_INVOKABLE void executeFile(QObject* sender);
    Q_INVOKABLE void open(QObject* sender);
    Q_INVOKABLE void editEntity(QObject* sender);
    Q_INVOKABLE void openWith(QObject* sender);
    Q_INVOKABLE void chooseApplication(QObject* sender);
    Q_INVOKABLE void openInBrowser(QObject* sender);
    Q_INVOKABLE void showDetails(QObject* sender);
    Q_INVOKABLE void showPreview(QObject* sender);
    Q_INVOKABLE void showItemContacts(QObject* sender);
    Q_INVOKABLE void showSharingContacts(QObject* sender);
    Q_INVOKABLE void organize(QObject* sender);
    Q_INVOKABLE void toggleStarState(QObject* sender);
    Q_INVOKABLE void toggleStarStateOne(QObject* sender);
    Q_INVOKABLE void rename(QObject* sender);
    Q_INVOKABLE void toggleViewedState(QObject* sender);
    Q_INVOKABLE void toggleNewState(QObject* sender);
    Q_INVOKABLE void download(QObject* sender);
    Q_INVOKABLE void remove(QObject* sender);
    Q_INVOKABLE virtual void deleteEntity(QObject* sender);
    Q_INVOKABLE void changeOwnership(QObject* sender);
    Q_INVOKABLE void printEntity(QObject* sender);
    Q_INVOKABLE virtual void toggleGenericPermission(QObject* sender);
    Q_INVOKABLE bool validateUserInterfaceItem(QObject* item);

    // --- Sharing (TQAllItemsShareCommands.cpp) ---
    // The share command of the menus: usage events around shareNonTracked.
    Q_INVOKABLE void share(QObject* sender);
    // The share button of a row: shareNonTracked for that row, then its usage event.
    Q_INVOKABLE void shareOneWith(QObject* sender);
    // The share-with dialog for the pressed row, or else the selection, with the documents the user
    // may share; none of them: the banner says so; some: the user is asked first.
    Q_INVOKABLE void shareNonTracked(QObject* sender);
    // The share-with dialog for the records, at the point of the main window (null: centred).
    void shareWithForSelection(const QList<ManagedObjectPtr>& records, const QPoint& point);
    // The share-with dialog for the selection as it is, without filtering.
    Q_INVOKABLE void shareWith(QObject* sender);
    // The quick-share decision for the one selected row.
    Q_INVOKABLE void shareOne(QObject* sender);
    // The quick-share decision for the documents, anchored at the selected row: the read-only view,
    // the share list, the share-with dialog or first the sheet that drops what may not be shared.
    // Nothing opens for no documents.
    void shareForSelection(const QList<ManagedObjectPtr>& records);
    // The sharing settings of the selection, in a window of their own.
    Q_INVOKABLE void showSharingSettings(QObject* sender);
    // Copies the links of the selected documents the user may share, turning link sharing on first
    // where a document has no link; none permitted: the banner says so.
    Q_INVOKABLE void getLinkToShare(QObject* sender);
    void shareLinkWithForSelection(const QList<ManagedObjectPtr>& records);
    // Shows the detail view of the selected record on the tab of the filter (0 preview, 1 sharing
    // details, 2 organize).
    void showDetailsFilterActivated(int filter);
    // The in-place rename's commit: renames the record unless the name is empty or unchanged.
    void renameRecord(const ManagedObjectPtr& record, const QString& newName);
    // Stars or unstars the documents.
    void toggleStarStateForSelection(const QList<ManagedObjectPtr>& items);

    // Callbacks of the commands' actions.
    Q_INVOKABLE void documentsDidTrashWithResult(const QVariant& result, const QVariant& error);
    Q_INVOKABLE void documentsDidDeleteWithResult(const QVariant& result, const QVariant& error);
    Q_INVOKABLE void downloadDidFinishWithResult(const QVariant& result, const QVariant& error);
    Q_INVOKABLE void uploadDidFinishWithResult(const QVariant& result, const QVariant& error);
    Q_INVOKABLE virtual void generalPermissionDidFinishWithResult(const QVariant& result,
                                                                  const QVariant& error);

protected:
    QWidget* window() const;
    // Opens the documents among the records, with the application (a desktop entry or a program) or
    // the default one when it is empty.
    void openRecords(const QList<ManagedObjectPtr>& records, const QUrl& application);

    TQAllItemsController* m_list;
    // The share-with dialog a row's share button opened, and that row's record: a second press on
    // the same button closes it.
    QPointer<QWidget> m_rowShareDialog;
    ManagedObjectPtr m_rowShareRecord;
};

} // namespace tavrel
