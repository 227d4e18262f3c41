#pragma once

#include "platform/store/ManagedObject.h"

#include <QObject>
#include <QPoint>

namespace tavrel {

class TQSharedFilesController;

// The single-document commands of the shared-files list and the callbacks of their actions. They act
// on the list's selected row; a command that needs one does nothing without it. It stands behind the
// list in the responder chain and is validated by the list's menus (TQSharedFilesMenus).
class TQSharedFilesCommands : public QObject
{
    Q_OBJECT
public:
    explicit TQSharedFilesCommands(TQSharedFilesController* list);
    ~TQSharedFilesCommands() override;

    TQSharedFilesController* list() const { return m_list; }

    Q_INVOKABLE void open(QObject* sender);
    Q_INVOKABLE void openWith(QObject* sender);
    Q_INVOKABLE void editEntity(QObject* sender);
    Q_INVOKABLE void chooseApplication(QObject* sender);
    Q_INVOKABLE void openInBrowser(QObject* sender);
    Q_INVOKABLE void clickLink(QObject* sender);
    Q_INVOKABLE void getLinkToShare(QObject* sender);
    Q_INVOKABLE void share(QObject* sender);
    Q_INVOKABLE void shareOne(QObject* sender);
    Q_INVOKABLE void shareOneWith(QObject* sender);
    Q_INVOKABLE void changeOwnership(QObject* sender);
    Q_INVOKABLE void showPreview(QObject* sender);
    Q_INVOKABLE void showItemContacts(QObject* sender);
    Q_INVOKABLE void showSharingContacts(QObject* sender);
    Q_INVOKABLE void organize(QObject* sender);
    Q_INVOKABLE void rename(QObject* sender);
    Q_INVOKABLE void download(QObject* sender);
    Q_INVOKABLE void toggleStarStateOne(QObject* sender);
    Q_INVOKABLE void deleteEntity(QObject* sender);
    Q_INVOKABLE bool validateUserInterfaceItem(QObject* item);

    // The detail view of the selected document on the tab of the filter (0 preview, 1 sharing
    // details, 2 organize).
    void showDetailsFilterActivated(int filter);
    // The quick-share decision for the documents, anchored at the selected row.
    void shareForSelection(const QList<ManagedObjectPtr>& selection);
    // The share-with dialog for the documents, anchored at the selected row.
    void shareWithForSelection(const QList<ManagedObjectPtr>& selection);

    // Callbacks of the commands' actions.
    Q_INVOKABLE void documentsDidTrashWithResult(const QVariant& result, const QVariant& error);
    Q_INVOKABLE void documentsDidDeleteWithResult(const QVariant& result, const QVariant& error);
    Q_INVOKABLE void downloadDidFinishWithResult(const QVariant& result, const QVariant& error);
    Q_INVOKABLE void generalPermissionDidFinishWithResult(const QVariant& result, const QVariant& error);

private:
    QPoint anchor() const;
    // Copies the document's link and says so; false when it has none yet.
    bool copyLink(const ManagedObjectPtr& record);

    TQSharedFilesController* m_list;
};

} // namespace tavrel
