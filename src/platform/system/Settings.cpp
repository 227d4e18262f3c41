#include "platform/system/Settings.h"

#include "platform/system/Paths.h"
#include "platform/system/SettingsFileFormat.h"
#include "platform/system/TQLog.h"

#include <QFile>
#include <QSet>
#include <QSettings>
#include <mutex>
#include <optional>

// Resources of a static library need an explicit initialisation, outside any namespace.
static void initCoreResources()
{
    Q_INIT_RESOURCE(core);
}

namespace tavrel {

namespace {

std::recursive_mutex& settingsMutex()
{
    static std::recursive_mutex mutex;
    return mutex;
}

QVariantMap& defaultsTable()
{
    static QVariantMap table;
    static std::once_flag loaded;
    std::call_once(loaded, [] {
        initCoreResources();
        QSettings resource(QStringLiteral(":/Defaults.ini"), SettingsFileFormat::format());
        for (const QString& key : resource.allKeys())
            table.insert(key, resource.value(key));
    });
    return table;
}

// Values written while the file could not take them, by file: read from here for the rest of the run.
QVariantMap& unsavedValues(const QString& path)
{
    static QHash<QString, QVariantMap> values;
    return values[path];
}

// Why the file is there and cannot be read; empty when it reads or is not there yet.
QString readProblem(const QString& path)
{
    QFile file(path);
    if (!file.exists() || file.open(QIODevice::ReadOnly))
        return QString();
    return file.errorString();
}

// Logs a problem of the file once per file and reason; called outside the settings lock.
void logProblem(const QString& path, const QString& problem)
{
    static std::mutex mutex;
    static QSet<QString> logged;
    {
        std::lock_guard lock(mutex);
        if (logged.contains(path + problem))
            return;
        logged.insert(path + problem);
    }
    TQLog("E: Settings: %@ (%@): the defaults are used and the file is left as it is", path, problem);
}

} // namespace

QString Settings::fileProblem()
{
    const QString path = Paths::settingsFile();
    const QString problem = readProblem(path);
    if (!problem.isEmpty())
        return problem;
    std::lock_guard lock(settingsMutex());
    QSettings settings(path, SettingsFileFormat::format());
    return settings.status() == QSettings::FormatError ? QStringLiteral("not a settings file") : QString();
}

QVariant Settings::value(const QString& key)
{
    const QString path = Paths::settingsFile();
    const QString problem = readProblem(path);
    if (!problem.isEmpty())
        logProblem(path, problem);
    std::lock_guard lock(settingsMutex());
    if (unsavedValues(path).contains(key))
        return unsavedValues(path).value(key);
    if (problem.isEmpty()) {
        QSettings settings(path, SettingsFileFormat::format());
        if (settings.contains(key))
            return settings.value(key);
    }
    return defaultsTable().value(key);
}

bool Settings::contains(const QString& key)
{
    return value(key).isValid();
}

void Settings::setValue(const QString& key, const QVariant& value)
{
    const QString path = Paths::settingsFile();
    QString problem = readProblem(path);
    {
        std::lock_guard lock(settingsMutex());
        // A file that cannot be read is never rewritten: that would keep only this value and lose
        // every other one (an account's changestamp among them).
        if (problem.isEmpty()) {
            QSettings settings(path, SettingsFileFormat::format());
            if (value.isValid())
                settings.setValue(key, value);
            else
                settings.remove(key);
            settings.sync();
            if (settings.status() == QSettings::NoError) {
                unsavedValues(path).remove(key);
                return;
            }
            problem = settings.status() == QSettings::AccessError ? QStringLiteral("cannot be written")
                                                                  : QStringLiteral("not a settings file");
        }
        unsavedValues(path).insert(key, value);
    }
    logProblem(path, problem);
}

void Settings::remove(const QString& key)
{
    setValue(key, QVariant());
}

bool Settings::boolValue(const QString& key)
{
    const QVariant stored = value(key);
    if (stored.typeId() == QMetaType::Bool)
        return stored.toBool();
    if (stored.typeId() == QMetaType::QString) {
        // INI files hold text: "true"/"false" and numbers.
        const QString text = stored.toString().trimmed().toLower();
        if (text == QLatin1String("true") || text == QLatin1String("yes"))
            return true;
        bool ok = false;
        const qint64 number = text.toLongLong(&ok);
        return ok && number != 0;
    }
    if (stored.canConvert<qint64>() && stored.typeId() != QMetaType::QStringList)
        return stored.toLongLong() != 0;
    return false;
}

namespace {
// A stored integer, or a real number within range cut to one; nothing for anything else.
std::optional<qint64> integerOf(const QVariant& stored)
{
    if (!stored.isValid())
        return std::nullopt;
    const QString text = stored.toString().trimmed();
    bool ok = false;
    const qint64 number = text.toLongLong(&ok);
    if (ok)
        return number;
    const double real = text.toDouble(&ok);
    // -2^63 fits, 2^63 does not; NaN fails both comparisons.
    if (ok && real >= -9223372036854775808.0 && real < 9223372036854775808.0)
        return qint64(real);
    return std::nullopt;
}
} // namespace

qint64 Settings::integerValue(const QString& key)
{
    if (const std::optional<qint64> stored = integerOf(value(key)))
        return *stored;
    // Out of range or no number: the key's default.
    std::lock_guard lock(settingsMutex());
    return integerOf(defaultsTable().value(key)).value_or(0);
}

QString Settings::stringValue(const QString& key)
{
    const QVariant stored = value(key);
    if (stored.typeId() == QMetaType::QString)
        return stored.toString();
    return QString();
}

QStringList Settings::stringListValue(const QString& key)
{
    const QVariant stored = value(key);
    // INI keeps a one-item list as a plain string.
    if (stored.typeId() == QMetaType::QString)
        return QStringList{stored.toString()};
    if (stored.typeId() == QMetaType::QStringList || stored.typeId() == QMetaType::QVariantList)
        return stored.toStringList();
    return QStringList();
}

QByteArray Settings::dataValue(const QString& key)
{
    const QVariant stored = value(key);
    return stored.typeId() == QMetaType::QByteArray ? stored.toByteArray() : QByteArray();
}

QUrl Settings::urlValue(const QString& key)
{
    const QVariant stored = value(key);
    if (stored.typeId() == QMetaType::QUrl)
        return stored.toUrl();
    if (stored.typeId() != QMetaType::QString || stored.toString().isEmpty())
        return QUrl();
    const QUrl url(stored.toString());
    return url.isValid() ? url : QUrl();
}

void Settings::setUrlValue(const QString& key, const QUrl& url)
{
    setValue(key, url.isEmpty() ? QVariant() : QVariant(url.toString()));
}

void Settings::registerDefaults(const QVariantMap& defaults)
{
    std::lock_guard lock(settingsMutex());
    QVariantMap& table = defaultsTable();
    for (auto it = defaults.constBegin(); it != defaults.constEnd(); ++it)
        table.insert(it.key(), it.value());
}

QVariantMap Settings::registeredDefaults()
{
    std::lock_guard lock(settingsMutex());
    return defaultsTable();
}

} // namespace tavrel
