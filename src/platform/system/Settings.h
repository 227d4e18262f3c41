#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QUrl>
#include <QVariant>
#include <QVariantMap>

namespace tavrel {

// The user settings: an INI file (SettingsFileFormat) at Paths::settingsFile() over registered defaults.
// Every read goes to the file at that moment and every write to it at once, so a changed home (tests)
// takes effect at the next call. The defaults of the resource :/Defaults.ini are registered on first use;
// more can be registered. Wrong value types read as nothing (null string, empty list, invalid URL) or as
// false and 0; an integer out of range, or no number, as the key's default.
// A file that is there but cannot be read (permissions) is reported in the log and never rewritten:
// reads answer the defaults, and what is written while it cannot be read or written is kept in memory
// for the rest of the run.
// Thread-safe.
class Settings
{
public:
    // The stored value, else the registered default, else an invalid QVariant.
    static QVariant value(const QString& key);
    static bool contains(const QString& key);
    // An invalid value removes the key.
    static void setValue(const QString& key, const QVariant& value);
    static void remove(const QString& key);

    static bool boolValue(const QString& key);
    static qint64 integerValue(const QString& key);
    static QString stringValue(const QString& key);
    static QStringList stringListValue(const QString& key);
    static QByteArray dataValue(const QString& key);
    static QUrl urlValue(const QString& key);
    // URLs are stored as their text.
    static void setUrlValue(const QString& key, const QUrl& url);

    // Why the settings file cannot be used (it is there but cannot be read, or is no settings file);
    // empty when it can, or when there is none yet.
    static QString fileProblem();

    static void registerDefaults(const QVariantMap& defaults);
    static QVariantMap registeredDefaults();
};

} // namespace tavrel
