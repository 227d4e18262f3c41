#include "model/TQPreferencesManager.h"

#include "platform/system/Settings.h"

#include <QLocale>
#include <QTimeZone>

namespace tavrel {

TQPreferencesManager* TQPreferencesManager::sharedManager()
{
    static TQPreferencesManager* shared = new TQPreferencesManager; // one for the life of the process
    return shared;
}

QStringList TQPreferencesManager::allRecents() const
{
    // An older or hand-edited list may be longer than the cap.
    return Settings::stringListValue(kRecentFilesKey).mid(0, kMaximumRecents);
}

void TQPreferencesManager::addRecent(const QString& identifier)
{
    if (identifier.isNull())
        return;
    QStringList recents = Settings::stringListValue(kRecentFilesKey);
    recents.removeAll(identifier);
    recents = recents.mid(0, kMaximumRecents - 1);
    recents.prepend(identifier);
    Settings::setValue(kRecentFilesKey, recents);
}

void TQPreferencesManager::removeRecents(const QStringList& identifiers)
{
    QStringList recents = Settings::stringListValue(kRecentFilesKey);
    for (const QString& identifier : identifiers)
        recents.removeAll(identifier);
    Settings::setValue(kRecentFilesKey, recents.mid(0, kMaximumRecents));
}

void TQPreferencesManager::resetRecents()
{
    Settings::remove(kRecentFilesKey);
}

QString TQPreferencesManager::applicationsSuite() const
{
    return Settings::stringValue(kAppSuiteKey);
}
void TQPreferencesManager::setApplicationsSuite(const QString& suite)
{
    Settings::setValue(kAppSuiteKey, suite.isNull() ? QVariant() : QVariant(suite));
}

QByteArray TQPreferencesManager::downloadsBookmark() const
{
    return Settings::dataValue(kDownloadsBookmarkKey);
}
void TQPreferencesManager::setDownloadsBookmark(const QByteArray& bookmark)
{
    Settings::setValue(kDownloadsBookmarkKey, bookmark.isNull() ? QVariant() : QVariant(bookmark));
}

QUrl TQPreferencesManager::documentsAppURL() const
{
    return Settings::urlValue(kDocumentsAppURLKey);
}
void TQPreferencesManager::setDocumentsAppURL(const QUrl& url)
{
    Settings::setUrlValue(kDocumentsAppURLKey, url);
}
QUrl TQPreferencesManager::presentationsAppURL() const
{
    return Settings::urlValue(kPresentationsAppURLKey);
}
void TQPreferencesManager::setPresentationsAppURL(const QUrl& url)
{
    Settings::setUrlValue(kPresentationsAppURLKey, url);
}
QUrl TQPreferencesManager::spreadsheetsAppURL() const
{
    return Settings::urlValue(kSpreadsheetsAppURLKey);
}
void TQPreferencesManager::setSpreadsheetsAppURL(const QUrl& url)
{
    Settings::setUrlValue(kSpreadsheetsAppURLKey, url);
}
QUrl TQPreferencesManager::formsAppURL() const
{
    return Settings::urlValue(kFormsAppURLKey);
}
void TQPreferencesManager::setFormsAppURL(const QUrl& url)
{
    Settings::setUrlValue(kFormsAppURLKey, url);
}
QUrl TQPreferencesManager::drawingsAppURL() const
{
    return Settings::urlValue(kDrawingsAppURLKey);
}
void TQPreferencesManager::setDrawingsAppURL(const QUrl& url)
{
    Settings::setUrlValue(kDrawingsAppURLKey, url);
}

QDateTime TQPreferencesManager::lastUpdate() const
{
    const QString text = Settings::stringValue(kLastUpdateKey);
    if (text.isNull())
        return QDateTime();
    return dateFromStoredText(text);
}

void TQPreferencesManager::setLastUpdate(const QDateTime& date)
{
    // ISO 8601 in UTC: the same text in every locale, and exact to the millisecond.
    Settings::setValue(kLastUpdateKey,
                       date.isValid() ? QVariant(date.toUTC().toString(Qt::ISODateWithMs)) : QVariant());
}

QDateTime TQPreferencesManager::dateFromStoredText(const QString& stored)
{
    const QString text = stored.trimmed();
    if (text.isEmpty())
        return QDateTime();
    QDateTime date = QDateTime::fromString(text, Qt::ISODateWithMs);
    if (!date.isValid())
        date = QDateTime::fromString(text, Qt::ISODate);
    if (date.isValid())
        return date.toUTC();
    // A date's plain description: "2026-03-04 05:06:07 +0100".
    const QStringList parts = text.split(QLatin1Char(' '));
    if (parts.size() == 3 && parts.at(2).size() == 5 &&
        (parts.at(2).startsWith(QLatin1Char('+')) || parts.at(2).startsWith(QLatin1Char('-')))) {
        const QDateTime local = QDateTime::fromString(parts.at(0) + QLatin1Char(' ') + parts.at(1),
                                                      QStringLiteral("yyyy-MM-dd HH:mm:ss"));
        bool okHours = false;
        bool okMinutes = false;
        const int hours = parts.at(2).mid(1, 2).toInt(&okHours);
        const int minutes = parts.at(2).mid(3, 2).toInt(&okMinutes);
        if (local.isValid() && okHours && okMinutes) {
            const int sign = parts.at(2).startsWith(QLatin1Char('-')) ? -1 : 1;
            QDateTime zoned(local.date(), local.time(), QTimeZone(sign * (hours * 3600 + minutes * 60)));
            return zoned.toUTC();
        }
    }
    // The locale's own long and short texts, in the current locale, then in English.
    for (const QLocale& locale : {QLocale(), QLocale::c()}) {
        for (QLocale::FormatType format : {QLocale::LongFormat, QLocale::ShortFormat}) {
            date = locale.toDateTime(text, format);
            if (date.isValid())
                return date.toUTC();
        }
    }
    return QDateTime();
}

QString TQPreferencesManager::lastVersion() const
{
    return Settings::stringValue(kLastVersionKey);
}
void TQPreferencesManager::setLastVersion(const QString& version)
{
    Settings::setValue(kLastVersionKey, version.isNull() ? QVariant() : QVariant(version));
}

bool TQPreferencesManager::usageStatistics() const
{
    return Settings::boolValue(kUsageStatisticsKey);
}
bool TQPreferencesManager::hiddenFilesInFolder() const
{
    return Settings::boolValue(kHiddenFilesInFolderKey);
}
void TQPreferencesManager::setHiddenFilesInFolder(bool hidden)
{
    Settings::setValue(kHiddenFilesInFolderKey, hidden);
}

qint32 TQPreferencesManager::applicationLaunchPolicy() const
{
    return qint32(Settings::integerValue(kLaunchPolicyKey));
}

void TQPreferencesManager::setApplicationLaunchPolicy(qint32 policy)
{
    Settings::setValue(kLaunchPolicyKey, policy);
}

void TQPreferencesManager::setTransientValue(const QVariant& value, const QString& key)
{
    std::lock_guard lock(m_transientMutex);
    if (value.isValid())
        m_transientValues.insert(key, value);
    else
        m_transientValues.remove(key);
}

QVariant TQPreferencesManager::transientValueForKey(const QString& key) const
{
    std::lock_guard lock(m_transientMutex);
    return m_transientValues.value(key);
}

} // namespace tavrel
