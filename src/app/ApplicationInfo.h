#pragma once

#include <QString>
#include <QUrl>
#include <QVariantMap>

namespace tavrel {

// The program's information keys, as a bundle carries them: "CFBundleName", "CFBundleVersion",
// "CFBundleIdentifier", "NSHumanReadableCopyright". The localised dictionary is the strings table
// "InfoPlist"; the base one is built in.
class ApplicationInfo
{
public:
    static inline const QString kLocalizedTable = QStringLiteral("InfoPlist");

    static QVariantMap infoDictionary();
    // Only the keys the strings table translates.
    static QVariantMap localizedInfoDictionary();
    // The localised value when there is one, else the base value; invalid for an unknown key.
    static QVariant infoValueForKey(const QString& key);

    static QString version();
    // The product's feedback page (a deployment value).
    static QUrl feedbackURL();
    // The crash reporter's identifier of this application: 32 lowercase hexadecimal digits.
    static QString crashReporterIdentifier();
    // The freedesktop identity of the program: its desktop file's name without ".desktop".
    static QString desktopFileName();
};

} // namespace tavrel
