#include "actions/MonitoredFile.h"

#include "model/File.h"

#include <QDir>

namespace tavrel {

QString MonitoredFile::fullPath() const
{
    return QDir::cleanPath(dirPath + QLatin1Char('/') + filename);
}

bool MonitoredFile::belongsToFileEntity(const File& record) const
{
    return record.identifier() == identifier && record.eTag() == eTag;
}

QJsonObject MonitoredFile::toJson() const
{
    return {
        {kTQMonitoredFileKeyIdentifier, identifier},
        {kTQMonitoredFileKeyETag, eTag},
        {kTQMonitoredFileKeyDirPath, dirPath},
        {kTQMonitoredFileKeyFilename, filename},
        {kTQMonitoredFileKeyLastModificationDate, lastModificationDate.toUTC().toString(Qt::ISODateWithMs)}};
}

MonitoredFile MonitoredFile::fromJson(const QJsonObject& object)
{
    MonitoredFile file;
    for (const QString& key :
         {kTQMonitoredFileKeyIdentifier, kTQMonitoredFileKeyETag, kTQMonitoredFileKeyDirPath,
          kTQMonitoredFileKeyFilename, kTQMonitoredFileKeyLastModificationDate})
        if (!object.value(key).isString())
            return {};
    file.identifier = object.value(kTQMonitoredFileKeyIdentifier).toString();
    file.eTag = object.value(kTQMonitoredFileKeyETag).toString();
    file.dirPath = object.value(kTQMonitoredFileKeyDirPath).toString();
    file.filename = object.value(kTQMonitoredFileKeyFilename).toString();
    file.lastModificationDate = QDateTime::fromString(
        object.value(kTQMonitoredFileKeyLastModificationDate).toString(), Qt::ISODateWithMs);
    if (file.identifier.isEmpty() || file.dirPath.isEmpty() || file.filename.isEmpty() ||
        !file.lastModificationDate.isValid())
        return {};
    return file;
}

} // namespace tavrel
