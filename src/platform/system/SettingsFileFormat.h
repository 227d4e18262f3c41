#pragma once

#include <QByteArray>
#include <QSettings>

class QIODevice;

namespace tavrel {

// The text format of the settings file: INI as Qt writes it ("[General]" for keys outside any group,
// "%XX"/"%UXXXX" escapes and "\" for "/" in keys, C escapes, quotes and comma-separated lists in values,
// "@ByteArray(...)" for bytes), read without Qt's serialised forms ("@Variant(...)", "@DateTime(...)"):
// their data would be handed to a binary reader that allocates whatever length the file claims. A key
// holding one is left out, as if it were not there; every other key keeps its value. Settings values are
// text, numbers, booleans, lists of texts and bytes; the writer writes anything else as its text.
class SettingsFileFormat
{
public:
    // The format for QSettings, registered on first use.
    static QSettings::Format format();

    static bool read(QIODevice& device, QSettings::SettingsMap& map);
    static bool write(QIODevice& device, const QSettings::SettingsMap& map);
    static QSettings::SettingsMap fromText(const QByteArray& text);
    static QByteArray toText(const QSettings::SettingsMap& map);
};

} // namespace tavrel
