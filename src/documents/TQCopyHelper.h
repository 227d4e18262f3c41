#pragma once

#include <QMutex>
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QVariantList>

class QThread;
class QWidget;

namespace tavrel {

// Copies downloaded documents out of the cache: into the downloads folder, or to the destinations of
// promised files dropped somewhere. Each item of a run is a "GetFile" result: "fileURL" (the cached
// copy) and "documentEntity" (its record), and for promised files "destinationURLs" (indexed like the
// items) and "existedURLs" (the destinations at which something existed when the promise was made).
//
// A file the user did not promise is never overwritten: the copy takes the first free name
// "name (n).ext". A promised destination that did not exist before is the drop's placeholder and is
// replaced. Every copy is written under a temporary name in the destination folder and then renamed,
// so an interrupted or failed copy leaves whatever was at the destination as it was.
class TQCopyHelper : public QObject
{
    Q_OBJECT
public:
    // The helper the lists share. Runs keep their state to themselves, so one helper serves them all.
    static TQCopyHelper* copingHelper();

    // The window of the list that asked (kept for questions about the copy; the copy asks none).
    void setInteractionWindow(QWidget* window);
    QWidget* interactionWindow() const;

    // Copies every item in order on the calling thread; answers the paths written, in order.
    // Failures are logged and the run goes on with the next item.
    QStringList copyDownloads(const QVariantList& results);
    // Reads the records on the calling thread (their context's), then copies on a new background
    // thread, which deletes itself once done. Answers that thread.
    QThread* copyDownloadsInBackground(const QVariantList& results);

    // The folder plain downloads go to: the one the preferences store names, else the desktop's.
    static QString downloadsFolder();
    // The first name "name (n).ext", n from 1, at which nothing exists in the file's folder; the path
    // itself when nothing exists there.
    static QString freePathFor(const QString& path);

private:
    mutable QMutex m_mutex;
    QPointer<QWidget> m_interactionWindow;
};

} // namespace tavrel
