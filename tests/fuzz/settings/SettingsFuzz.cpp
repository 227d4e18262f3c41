// The settings file: whatever it holds, reading it never asks for more memory than it has, the file's
// format writes what it read so that it reads the same again, the typed readers answer, and writing one
// key keeps every other key's value.
#include "FuzzSupport.h"
#include "platform/gdata/GDataEndpoints.h"
#include "platform/system/Paths.h"
#include "platform/system/Settings.h"
#include "platform/system/SettingsFileFormat.h"

#include <QDir>
#include <QFile>

using namespace tavrel;

namespace {

// Every character outside printable ASCII as \u{...}, so that the difference shows.
QString printable(const QString& text)
{
    QString out;
    for (const QChar c : text)
        out += c.unicode() >= 0x20 && c.unicode() < 0x7F ? QString(c)
                                                         : QStringLiteral("\\u{%1}").arg(c.unicode(), 0, 16);
    return out;
}

QString describe(const QSettings::SettingsMap& map)
{
    QStringList lines;
    for (auto it = map.constBegin(); it != map.constEnd(); ++it) {
        const QVariant& v = it.value();
        const QString text = v.typeId() == QMetaType::QByteArray ? QString::fromLatin1(v.toByteArray())
                             : v.typeId() == QMetaType::QStringList
                                 ? v.toStringList().join(QStringLiteral(" | "))
                                 : v.toString();
        lines.append(printable(it.key()) + QLatin1Char('=') + printable(text) + QLatin1String(" (") +
                     QString::fromLatin1(v.typeName()) + QLatin1Char(')'));
    }
    return lines.join(QLatin1Char('\n'));
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    fuzz::setUpProcess(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes = fuzz::bytesOf(data, size);
    const QSettings::SettingsMap read = SettingsFileFormat::fromText(bytes);
    const QByteArray written = SettingsFileFormat::toText(read);
    const QSettings::SettingsMap again = SettingsFileFormat::fromText(written);
    fuzz::check(again == read, "settings change when written and read again",
                describe(read) + QStringLiteral("\n--\n") + describe(again));
    fuzz::check(SettingsFileFormat::toText(again) == written,
                "settings are written differently the second time");

    // Each input gets a folder of its own: QSettings keeps what it read of a path while its size and
    // time stamp stay the same.
    static int count = 0;
    const QString config = fuzz::homePath() + QStringLiteral("/config-") + QString::number(++count);
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(config));
    QDir().mkpath(config + QStringLiteral("/Tavrel"));
    {
        QFile file(Paths::settingsFile());
        fuzz::check(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size(),
                    "the settings file cannot be written");
    }
    QStringList keys = read.keys();
    keys << QStringLiteral("launchPolicy") << QStringLiteral("serviceURL") << QStringLiteral("missing");
    for (const QString& key : keys) {
        (void)Settings::value(key);
        (void)Settings::boolValue(key);
        (void)Settings::integerValue(key);
        (void)Settings::stringValue(key);
        (void)Settings::stringListValue(key);
        (void)Settings::dataValue(key);
        (void)Settings::urlValue(key);
    }
    (void)GDataEndpoints::serviceBaseURL();

    const QString probe = QStringLiteral("fuzzProbe");
    Settings::setValue(probe, QStringLiteral("written"));
    fuzz::check(Settings::stringValue(probe) == QLatin1String("written"),
                "a written setting does not read back");
    for (auto it = read.constBegin(); it != read.constEnd(); ++it) {
        if (it.key() != probe)
            fuzz::check(Settings::value(it.key()) == it.value(), "writing a setting changed another one",
                        it.key() + QLatin1Char('\n') + describe(read));
    }
    QDir(config).removeRecursively();
    return 0;
}
