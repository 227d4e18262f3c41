#pragma once

#include "platform/runtime/Error.h"
#include "platform/store/ManagedObject.h"

#include <QString>
#include <QUrl>
#include <optional>

namespace tavrel {

class ManagedObjectContext;

// A record file: a small JSON file that names one record of a store, for desktop search and for opening
// that record from a file manager.
//
//     {"storePath": "/home/me/.local/share/Tavrel/me@example.com/data.storedata",
//      "entity": "File", "identifier": "document:1a2b", "schemaVersion": 1}
//
// The record is the one of that entity (or a sub-entity) whose "identifier" attribute holds the
// identifier: a service identity, which stays with its document while store keys may be reused.
// Other keys are ignored. The program reads these files and never writes them.
class ExternalRecord
{
public:
    // The content type under which desktop search hands record files to the importer.
    static constexpr char kContentType[] = "rez.uzorevuza.externalrecord.tavrel";
    static constexpr char kFileExtension[] = "tavrel";
    // The attribute that names a record inside its entity.
    static constexpr char kIdentifierKey[] = "identifier";
    // Record files are a few hundred bytes; anything much larger is not one.
    static constexpr qint64 kMaximumFileSize = 64 * 1024;

    // Errors of reading a record file, in ManagedObjectContext::kErrorDomain, with a description that
    // names the file and what is wrong with it.
    enum ErrorCode : qint64 {
        FileReadUnknownError = 256,     // unreadable (a folder, no permission, an I/O error)
        FileReadCorruptFileError = 259, // not a record file: malformed JSON, a missing or wrong value
        FileReadNoSuchFileError = 260,
        FileReadUnsupportedSchemeError = 262, // not a local file URL
        FileReadTooLargeError = 263,
    };

    // Reads the record file at a local file URL. Nothing, and the error when given, when the file is
    // missing, unreadable, too large or not a record file: the store path must be absolute, entity and
    // identifier non-empty texts, and the schema version one this program reads.
    static std::optional<ExternalRecord> elementsDerivedFromExternalRecordURL(const QUrl& fileURL,
                                                                              Error* error = nullptr);
    // Whether a file name has the record files' extension (".tavrel").
    static bool hasRecordFileExtension(const QString& fileName);

    const QString& storePath() const { return m_storePath; }
    const QString& entityName() const { return m_entityName; }
    const QString& identifier() const { return m_identifier; }
    int schemaVersion() const { return m_schemaVersion; }

    // Whether the record names the store file at that path (compared as canonical paths).
    bool namesStoreAtPath(const QString& storePath) const;
    // The record in the context: nothing (and ObjectNotFoundError) when the record names another store
    // than the context's, an entity its model lacks or one without identifiers, or when the store holds
    // no record with that identifier. Runs on the context's thread.
    ManagedObjectPtr existingObjectInContext(ManagedObjectContext& context, Error* error = nullptr) const;

private:
    QString m_storePath;
    QString m_entityName;
    QString m_identifier;
    int m_schemaVersion = 0;
};

} // namespace tavrel
