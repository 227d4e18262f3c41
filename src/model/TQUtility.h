#pragma once

#include "model/TQDateFormatter.h"
#include "model/TQFolderPreviewContent.h"

#include <QDateTime>
#include <QHash>
#include <QString>
#include <QUrl>
#include <functional>

namespace tavrel {

// Operations that the views and the application shell share.
class TQUtility
{
public:
    static inline const QString kPreviewPageName = QStringLiteral("folder.html");
    static inline const QString kFolderIconName = QStringLiteral("GenericFolderIcon-256x256.png");
    static inline const QString kSharedFolderIconName = QStringLiteral("GenericSharedFolderIcon-256x256.png");

    static TQUtility* sharedInstance();

    // Made on first use; used from the main thread.
    static const TQDateFormatter& sharedShortDateFormatter();
    static const TQDateFormatter& sharedShortDateTimeFormatter();
    static const TQDateFormatter& sharedShortTimeFormatter();

    // The application chosen in the preferences for the kind of a resource identifier
    // ("spreadsheet:abc"); empty for other kinds or when none is chosen.
    static QUrl defaultApplicationForResourcesID(const QString& resourceID);

    static bool actionAllowedOffline(const QString& selector)
    {
        Q_UNUSED(selector);
        return true;
    }
    bool alwaysNegative() const { return false; }

    // Sets the support folder aside and removes it in the background when the program's executable
    // is newer than the folder.
    static void resetTavrelDirectory();
    // The same for any folder and build date.
    static void resetDirectory(const QString& folder, const QDateTime& buildDate);

    // Total size in bytes of a file or of every file below a folder. Names beginning with "." count
    // nothing (hidden folders are still walked). The canceller is asked before each entry; when it
    // answers true the sum so far is answered. Safe on any thread.
    static quint64 sizeofPath(const QString& path, const std::function<bool()>& cancelled = {});

    // Writes the preview page of a collection and answers its file URL. The user's address chooses
    // the shared or plain folder icon. Main thread.
    QUrl preparePreviewWithCategory(const TQFolderPreviewContent& category, const QString& userAddress);

    // The folder holding the preview page and its icons (in the program's cache).
    static QString previewFolder();
    // The template with every "[PLACEHOLDER]" of the table replaced in one pass, values HTML-escaped;
    // text produced by a replacement is never searched again.
    static QString previewPageFromTemplate(const QString& pageTemplate,
                                           const QHash<QString, QString>& values);

private:
    TQUtility() = default;
};

} // namespace tavrel
