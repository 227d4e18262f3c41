#include "importer/TQSpotlightImporter.h"

#include "importer/MetadataImporterPlugIn.h"
#include "model/TQDataModelEntities.h"
#include "platform/store/ExternalRecord.h"
#include "platform/system/TQLog.h"

#include <QUrl>

namespace tavrel {

namespace {
const QString kClassName = QStringLiteral("TQSpotlightImporter");
const QString kTitleKey = QStringLiteral("title");
} // namespace

const QString TQSpotlightImporter::kDisplayNameKey = QStringLiteral(IMPORTER_DISPLAY_NAME_KEY);
const QString TQSpotlightImporter::kTextContentKey = QStringLiteral(IMPORTER_TEXT_CONTENT_KEY);

bool TQSpotlightImporter::importFileAtPath(const QString& path, QVariantMap& attributes, Error*)
{
    const QString method = QStringLiteral("importFileAtPath:attributes:error:");
    std::optional<ReadOnlyStore::Record> object;
    Error error;
    const auto record =
        ExternalRecord::elementsDerivedFromExternalRecordURL(QUrl::fromLocalFile(path), &error);
    if (record) {
        m_storeURL = record->storePath();
        m_store.reset();
        m_storeOpened = false;
        if (ReadOnlyStore* store = persistentStoreCoordinator())
            object = store->recordWithIdentifier(record->entityName(),
                                                 QLatin1String(ExternalRecord::kIdentifierKey),
                                                 record->identifier(), {kTitleKey}, &error);
    }
    if (!object) {
        if (!error.isNull())
            tavrel::TQLog("E: %@:%@ %@", kClassName, method, error.description());
        tavrel::TQLog("E: %@:%@ to find object id from path %@", kClassName, method, path);
        return false;
    }
    if (object->entityName != QLatin1String("File"))
        return true;
    // A document without a title has nothing to show or search for.
    const QString title = object->values.value(kTitleKey).toString();
    if (title.isEmpty())
        return true;
    attributes.insert(kDisplayNameKey, QStringLiteral("Tavrel: %1").arg(title));
    attributes.insert(kTextContentKey, title);
    return true;
}

ReadOnlyStore* TQSpotlightImporter::persistentStoreCoordinator()
{
    if (!m_storeOpened) {
        m_storeOpened = true;
        Error error;
        m_store = ReadOnlyStore::open(m_storeURL, TQDataModelEntities::model(), &error);
        if (!m_store)
            tavrel::TQLog("E: %@:%@ unable to add persistent store coordinator - %@", kClassName,
                          QStringLiteral("persistentStoreCoordinator"), error.description());
    }
    return m_store.get();
}

} // namespace tavrel
