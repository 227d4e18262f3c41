#include "app/ApplicationInfo.h"

#include "platform/ui/StringTable.h"

#ifndef TAVREL_VERSION
#define TAVREL_VERSION "0"
#endif

namespace tavrel {

QVariantMap ApplicationInfo::infoDictionary()
{
    return {
        {QStringLiteral("CFBundleName"), QStringLiteral("Tavrel")},
        {QStringLiteral("CFBundleVersion"), QStringLiteral(TAVREL_VERSION)},
        {QStringLiteral("CFBundleIdentifier"), QStringLiteral("org.tavrel.Tavrel")},
        {QStringLiteral("NSHumanReadableCopyright"), QStringLiteral("Copyright © The Tavrel developers")},
    };
}

QVariantMap ApplicationInfo::localizedInfoDictionary()
{
    QVariantMap localized;
    for (const QString& key : StringTable::keys(kLocalizedTable))
        localized.insert(key, StringTable::text(key, kLocalizedTable));
    return localized;
}

QVariant ApplicationInfo::infoValueForKey(const QString& key)
{
    const QVariantMap localized = localizedInfoDictionary();
    if (const auto it = localized.constFind(key); it != localized.constEnd())
        return *it;
    return infoDictionary().value(key);
}

QString ApplicationInfo::version()
{
    return QStringLiteral(TAVREL_VERSION);
}

QUrl ApplicationInfo::feedbackURL()
{
    return QUrl(QStringLiteral("https://tavrel.example/feedback"));
}

QString ApplicationInfo::crashReporterIdentifier()
{
    return QStringLiteral("6c1f3e0a9b2d4e5f8a7c0b1d2e3f4a5b");
}

QString ApplicationInfo::desktopFileName()
{
    return QStringLiteral("tavrel");
}

} // namespace tavrel
