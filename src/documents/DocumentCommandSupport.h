#pragma once

#include "platform/runtime/Invocation.h"
#include "platform/store/ManagedObject.h"

#include <QLatin1String>
#include <QList>
#include <QString>
#include <QUrl>

class QObject;
class QWidget;

namespace tavrel {

class TQViewController;

// What the document lists' commands do alike, whichever list sends them (the all-items list acts on
// its selection, the shared-files list on its one selected row): opening, the browser, renaming,
// starring, trashing or removing, changing the owner and the detail view. Each takes the list that
// asks: its view is the progress consumer, its window holds the sheets, its banner shows the tips, its
// general callback hears the answers unless another target is given. Main thread only.
class DocumentCommandSupport
{
public:
    static QString username();
    // "verb_<number unique to the request>".
    static QString identifier(const char* verb);
    static void trackUsage(const QString& category, const QString& name, const QString& value);
    // A command sent by a menu item reports itself first.
    static void trackMenuEvent(QObject* sender, QLatin1String selector);
    static InvocationPtr callback(QObject* target, QLatin1String selector);
    static bool isOnline();
    static bool isCollection(const ManagedObjectPtr& record);
    // The user owns it (whole address, any letter case).
    static bool isMine(const ManagedObjectPtr& record);
    static QString titleOf(const ManagedObjectPtr& record);
    static QVariantList recordValues(const QList<ManagedObjectPtr>& records);
    static QWidget* windowOf(TQViewController* list);

    // Opens the documents among the records with the application (a desktop entry or a program), or
    // the kind's default; a native document without one opens in the browser while online.
    static void openRecords(TQViewController* list, const QList<ManagedObjectPtr>& records,
                            const QUrl& application);
    // The document's page in the browser, and the tip that local editing exists.
    static void openInBrowser(TQViewController* list, const ManagedObjectPtr& record);
    // The file chooser for an application; `open` gets the chosen one once it is accepted.
    static void chooseApplication(TQViewController* list, std::function<void(const QUrl&)> open);
    // Renames the record unless the name is empty or unchanged.
    static void renameRecord(TQViewController* list, const ManagedObjectPtr& record, const QString& newName);
    // Stars them all unless they are all starred or all unstarred alike: then the other way. Only the
    // documents that change are sent.
    static void toggleStar(TQViewController* list, const QList<ManagedObjectPtr>& items);
    // The user's own documents go to the trash at once; others' are removed after a confirmation
    // (unless the user asked not to be asked again). The answers go to the target's
    // "documentsDidTrashWithResult:error:" and "documentsDidDeleteWithResult:error:".
    static void trashOrRemove(TQViewController* list, QObject* target,
                              const QList<ManagedObjectPtr>& records);
    // Makes the sender's represented person the owner of the records after a confirmation (a warning
    // first when the person is of another domain, if asked for), or opens the change-owner dialog
    // without one.
    static void changeOwnership(TQViewController* list, QObject* sender,
                                const QList<ManagedObjectPtr>& records, bool warnOfOtherDomains = true);
    // Pushes the detail view of the record on the list's stack, on the tab of the filter (0 preview,
    // 1 sharing details, 2 organize).
    static void showDetails(TQViewController* list, const ManagedObjectPtr& record, int filter);
};

} // namespace tavrel
