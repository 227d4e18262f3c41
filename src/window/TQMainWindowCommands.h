#pragma once

#include <QList>
#include <QObject>
#include <QStringList>
#include <QUrl>
#include <QVariant>

class QDropEvent;
class QMenu;

namespace tavrel {

class TQMainWindowController;
class TQViewController;

// The commands of the main window and the callbacks of their actions: the modes, synchronising,
// creating, uploading, the recent items and the services. It stands right behind the window
// controller in the responder chain, so the menus, keys and buttons of the window reach it after the
// views have had their turn, and it validates the window's menu items and buttons (asking the view on
// top about the commands that view answers).
class TQMainWindowCommands : public QObject
{
    Q_OBJECT
public:
    explicit TQMainWindowCommands(TQMainWindowController* controller);
    ~TQMainWindowCommands() override;

    TQMainWindowController* controller() const { return m_controller; }

    // Mode commands.
    Q_INVOKABLE void activateUserProfile(QObject* sender);
    Q_INVOKABLE void activateAllItems(QObject* sender);
    Q_INVOKABLE void activateFavorites(QObject* sender);
    Q_INVOKABLE void activateAllContacts(QObject* sender);
    Q_INVOKABLE void activateCollections(QObject* sender);
    Q_INVOKABLE void activateTrash(QObject* sender);
    // Forwarded to the view on top when it has them.
    Q_INVOKABLE void editEntity(QObject* sender);
    Q_INVOKABLE void share(QObject* sender);
    Q_INVOKABLE void deleteEntity(QObject* sender);
    Q_INVOKABLE void goBack(QObject* sender);

    Q_INVOKABLE void update(QObject* sender);
    Q_INVOKABLE void fastUpdate(QObject* sender);
    Q_INVOKABLE void close(QObject* sender);
    Q_INVOKABLE void toggleFilesInsideFolders(QObject* sender);
    Q_INVOKABLE void newDocument(QObject* sender);
    Q_INVOKABLE void newPresentation(QObject* sender);
    Q_INVOKABLE void newSpreadsheet(QObject* sender);
    Q_INVOKABLE void newDrawing(QObject* sender);
    Q_INVOKABLE void newCollection(QObject* sender);
    Q_INVOKABLE void newContact(QObject* sender);
    Q_INVOKABLE void newGroup(QObject* sender);
    // The new-item button's own command: its menu items carry theirs.
    Q_INVOKABLE void newFakeAction(QObject* sender);
    // Opens the file chooser as a sheet; uploadPanelDidEnd runs when it is answered.
    Q_INVOKABLE void uploadFilesOrFolder(QObject* sender);
    void uploadPanelDidEnd(int returnCode, const QList<QUrl>& urls);
    Q_INVOKABLE void openRecent(QObject* item);
    Q_INVOKABLE void clearRecentDocuments(QObject* sender);
    // Rebuilds the recent-items submenu: at most ten known documents, a separator and the clear item.
    void updateRecentMenu(QMenu* menu);
    Q_INVOKABLE bool validateUserInterfaceItem(QObject* item);

    // The services, reached through the program's command-line verbs with file names.
    void uploadFiles(const QStringList& fileNames);
    void linkToShare(const QStringList& fileNames);
    void uploadAndShare(const QStringList& fileNames);
    // The status item's drop view asks these.
    Q_INVOKABLE bool acceptorValidateDraggingInfo(QObject* acceptor, QDropEvent* draggingInfo);
    Q_INVOKABLE bool acceptorProcessDraggingInfo(QObject* acceptor, QDropEvent* draggingInfo);

    // The callbacks of the window's actions.
    Q_INVOKABLE void operationDidFinishWithResult(const QVariant& result, const QVariant& error);
    Q_INVOKABLE void uploadDidFinishWithResult(const QVariant& result, const QVariant& error);
    Q_INVOKABLE void uploadLinkDidFinishWithResult(const QVariant& result, const QVariant& error);
    Q_INVOKABLE void creationDidFinishWithResult(const QVariant& result, const QVariant& error);

    // The message of a created item's notification.
    static QString creationMessage(const QVariant& record);

private:
    QWidget* window() const;
    void createEmptyDocument(const QString& type, const QString& usageValue);
    bool topIs(TQViewController* controller) const;
    bool hasAttachedSheet() const;
    void uploadURLs(const QList<QUrl>& urls, const QString& callback, bool starredAndTrashed);

    TQMainWindowController* m_controller;
};

} // namespace tavrel
