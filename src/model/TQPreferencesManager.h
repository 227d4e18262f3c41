#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QHash>
#include <QString>
#include <QStringList>
#include <QUrl>
#include <QVariant>
#include <mutex>

namespace tavrel {

// The one way to the application's persistent settings (read from Settings at the moment of use,
// written at once) and to a small table of values that live only while the process runs.
class TQPreferencesManager
{
public:
    static inline const QString kRecentFilesKey = QStringLiteral("TQRecentFiles");
    static inline const QString kAppSuiteKey = QStringLiteral("appSuite");
    static inline const QString kDownloadsBookmarkKey = QStringLiteral("downloadsBookmark");
    static inline const QString kDocumentsAppURLKey = QStringLiteral("documentsAppURL");
    static inline const QString kPresentationsAppURLKey = QStringLiteral("presentationsAppURL");
    static inline const QString kSpreadsheetsAppURLKey = QStringLiteral("spreadsheetsAppURL");
    static inline const QString kFormsAppURLKey = QStringLiteral("formsAppURL");
    static inline const QString kDrawingsAppURLKey = QStringLiteral("drawingsAppURL");
    static inline const QString kLastUpdateKey = QStringLiteral("lastUpdate");
    static inline const QString kLastVersionKey = QStringLiteral("lastVersion");
    static inline const QString kUsageStatisticsKey = QStringLiteral("usageStatistics");
    static inline const QString kHiddenFilesInFolderKey = QStringLiteral("hiddenFilesInFolder");
    static inline const QString kLaunchPolicyKey = QStringLiteral("launchPolicy");
    // Transient: "1" while the first-run presentation is due.
    static inline const QString kTQFirstLaunchKey = QStringLiteral("kTQFirstLaunchKey");

    static constexpr int kMaximumRecents = 50;

    static TQPreferencesManager* sharedManager();

    // Identifiers of the documents opened most recently, newest first, at most 50.
    QStringList allRecents() const;
    // Moves or inserts the identifier at the front; a null identifier does nothing.
    void addRecent(const QString& identifier);
    void removeRecents(const QStringList& identifiers);
    void resetRecents();

    // Storing a null value removes the key.
    QString applicationsSuite() const;
    void setApplicationsSuite(const QString& suite);
    QByteArray downloadsBookmark() const;
    void setDownloadsBookmark(const QByteArray& bookmark);
    QUrl documentsAppURL() const;
    void setDocumentsAppURL(const QUrl& url);
    QUrl presentationsAppURL() const;
    void setPresentationsAppURL(const QUrl& url);
    QUrl spreadsheetsAppURL() const;
    void setSpreadsheetsAppURL(const QUrl& url);
    QUrl formsAppURL() const;
    void setFormsAppURL(const QUrl& url);
    QUrl drawingsAppURL() const;
    void setDrawingsAppURL(const QUrl& url);

    // Stored as ISO 8601; the older locale text form is still read. Invalid when absent or unreadable.
    QDateTime lastUpdate() const;
    void setLastUpdate(const QDateTime& date);
    QString lastVersion() const;
    void setLastVersion(const QString& version);

    bool usageStatistics() const;
    bool hiddenFilesInFolder() const;
    void setHiddenFilesInFolder(bool hidden);
    // 0: a window and menus of its own; 1: the tray item only.
    qint32 applicationLaunchPolicy() const;
    void setApplicationLaunchPolicy(qint32 policy);

    // An invalid value removes the key.
    void setTransientValue(const QVariant& value, const QString& key);
    QVariant transientValueForKey(const QString& key) const;

    // Reads a "lastUpdate" text: ISO 8601, or the locale text that earlier versions wrote.
    static QDateTime dateFromStoredText(const QString& text);

private:
    TQPreferencesManager() = default;

    mutable std::mutex m_transientMutex;
    QHash<QString, QVariant> m_transientValues;
};

} // namespace tavrel
