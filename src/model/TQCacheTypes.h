#pragma once

#include <QHash>
#include <QString>
#include <QUrl>

namespace tavrel {

// The kinds of cached files: a document's downloaded copy, its thumbnail, a contact's photo. They key
// the maps that pass files into and out of the caches.
inline const QString kTQCacheTypeFileDocument = QStringLiteral("kTQCacheTypeFileDocument");
inline const QString kTQCacheTypeFileThumbnail = QStringLiteral("kTQCacheTypeFileThumbnail");
inline const QString kTQCacheTypeContactAvatar = QStringLiteral("kTQCacheTypeContactAvatar");

// Cache type to the URL of a file.
using TQCacheFiles = QHash<QString, QUrl>;

} // namespace tavrel
