#pragma once

#include <QDateTime>
#include <QJsonObject>
#include <QString>

namespace tavrel {

class File;

// One locally edited copy of a document: the record it came from (identifier and version tag when the
// copy was made), where it lies and the last modification date that was seen.
class MonitoredFile
{
public:
    static inline const QString kTQMonitoredFileKeyIdentifier =
        QStringLiteral("kTQMonitoredFileKeyIdentifier");
    static inline const QString kTQMonitoredFileKeyETag = QStringLiteral("kTQMonitoredFileKeyETag");
    static inline const QString kTQMonitoredFileKeyDirPath = QStringLiteral("kTQMonitoredFileKeyDirPath");
    static inline const QString kTQMonitoredFileKeyFilename = QStringLiteral("kTQMonitoredFileKeyFilename");
    static inline const QString kTQMonitoredFileKeyLastModificationDate =
        QStringLiteral("kTQMonitoredFileKeyLastModificationDate");

    QString identifier;
    QString eTag;
    QString dirPath;
    QString filename;
    QDateTime lastModificationDate;

    // The folder joined with the file name, cleaned.
    QString fullPath() const;
    // The copy was made from this very version of the record.
    bool belongsToFileEntity(const File& record) const;

    QJsonObject toJson() const;
    // Nothing (an empty identifier) for an object that lacks a key.
    static MonitoredFile fromJson(const QJsonObject& object);
};

} // namespace tavrel
