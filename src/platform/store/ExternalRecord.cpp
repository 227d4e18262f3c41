#include "platform/store/ExternalRecord.h"

#include "platform/store/EntityDescription.h"
#include "platform/store/ManagedObjectContext.h"
#include "platform/store/PersistentStoreCoordinator.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>

namespace tavrel {

namespace {
std::optional<ExternalRecord> fail(Error* error, qint64 code, const QString& description)
{
    if (error)
        *error =
            Error(ManagedObjectContext::kErrorDomain, code, {{Error::kLocalizedDescriptionKey, description}});
    return std::nullopt;
}

// The path with symbolic links resolved as far as the file exists, so that two spellings of one store
// compare equal.
QString comparablePath(const QString& path)
{
    const QFileInfo info(path);
    const QString canonical = info.canonicalFilePath();
    if (!canonical.isEmpty())
        return canonical;
    const QString folder = info.absoluteDir().canonicalPath();
    return folder.isEmpty() ? QDir::cleanPath(info.absoluteFilePath())
                            : folder + QLatin1Char('/') + info.fileName();
}
} // namespace

std::optional<ExternalRecord> ExternalRecord::elementsDerivedFromExternalRecordURL(const QUrl& fileURL,
                                                                                   Error* error)
{
    if (!fileURL.isLocalFile())
        return fail(error, FileReadUnsupportedSchemeError,
                    QStringLiteral("%1 is not a local record file").arg(fileURL.toDisplayString()));
    const QString path = fileURL.toLocalFile();
    const QFileInfo info(path);
    if (!info.exists())
        return fail(error, FileReadNoSuchFileError,
                    QStringLiteral("The record file %1 does not exist").arg(path));
    QFile file(path);
    if (!info.isFile() || !file.open(QIODevice::ReadOnly))
        return fail(error, FileReadUnknownError,
                    QStringLiteral("The record file %1 cannot be read").arg(path));
    // Read one byte past the limit, so that a file growing meanwhile is caught too.
    const QByteArray bytes = file.read(kMaximumFileSize + 1);
    if (bytes.size() > kMaximumFileSize)
        return fail(
            error, FileReadTooLargeError,
            QStringLiteral("The record file %1 is larger than %2 bytes").arg(path).arg(kMaximumFileSize));

    auto malformed = [&](const QString& what) {
        return fail(error, FileReadCorruptFileError, QStringLiteral("The record file %1 %2").arg(path, what));
    };
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &parseError);
    if (parseError.error != QJsonParseError::NoError)
        return malformed(QStringLiteral("is not JSON (%1)").arg(parseError.errorString()));
    if (!document.isObject())
        return malformed(QStringLiteral("holds no JSON object"));
    const QJsonObject object = document.object();
    auto text = [&object](const char* key) {
        const QJsonValue value = object.value(QLatin1String(key));
        return value.isString() ? value.toString() : QString();
    };

    ExternalRecord record;
    record.m_storePath = text("storePath");
    record.m_entityName = text("entity");
    record.m_identifier = text("identifier");
    if (record.m_storePath.isEmpty() || !QDir::isAbsolutePath(record.m_storePath))
        return malformed(QStringLiteral("names no absolute \"storePath\""));
    if (record.m_entityName.isEmpty())
        return malformed(QStringLiteral("names no \"entity\""));
    if (record.m_identifier.isEmpty())
        return malformed(QStringLiteral("names no \"identifier\""));
    const QJsonValue version = object.value(QLatin1String("schemaVersion"));
    const double number = version.toDouble(-1);
    if (!version.isDouble() || number != double(qint64(number)) || number < 1 ||
        number > PersistentStoreCoordinator::kSchemaVersion)
        return malformed(
            QStringLiteral("has a \"schemaVersion\" this program does not read (it reads 1 to %1)")
                .arg(PersistentStoreCoordinator::kSchemaVersion));
    record.m_schemaVersion = int(number);
    return record;
}

bool ExternalRecord::hasRecordFileExtension(const QString& fileName)
{
    return QFileInfo(fileName).suffix() == QLatin1String(kFileExtension);
}

bool ExternalRecord::namesStoreAtPath(const QString& storePath) const
{
    return !storePath.isEmpty() && comparablePath(m_storePath) == comparablePath(storePath);
}

ManagedObjectPtr ExternalRecord::existingObjectInContext(ManagedObjectContext& context, Error* error) const
{
    auto notFound = [&](const QString& why) -> ManagedObjectPtr {
        if (error)
            *error =
                Error(ManagedObjectContext::kErrorDomain, ManagedObjectContext::ObjectNotFoundError,
                      {{Error::kLocalizedDescriptionKey,
                        QStringLiteral("The record %1 \"%2\" %3").arg(m_entityName, m_identifier, why)}});
        return nullptr;
    };
    const PersistentStoreCoordinator* coordinator = context.persistentStoreCoordinator();
    if (!coordinator || !namesStoreAtPath(coordinator->storePath()))
        return notFound(QStringLiteral("belongs to another store (%1)").arg(m_storePath));
    const EntityDescription* entity = coordinator->managedObjectModel().entity(m_entityName);
    if (!entity || !entity->attribute(QLatin1String(kIdentifierKey)))
        return notFound(QStringLiteral("names an entity without identifiers"));
    FetchRequest request(m_entityName);
    request.setPredicate(
        Predicate::format(QStringLiteral("%K == %@"), QString::fromLatin1(kIdentifierKey), m_identifier));
    request.setFetchLimit(1);
    Error fetchError;
    const QList<ManagedObjectPtr> found = context.executeFetchRequest(request, &fetchError);
    if (found.isEmpty()) {
        if (!fetchError.isNull()) {
            if (error)
                *error = fetchError;
            return nullptr;
        }
        return notFound(QStringLiteral("is not in the store"));
    }
    return found.first();
}

} // namespace tavrel
