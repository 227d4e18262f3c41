#include "importer/MetadataImporterPlugIn.h"

#include "importer/TQSpotlightImporter.h"
#include "platform/store/ExternalRecord.h"
#include "platform/system/TQLog.h"

#include <QFile>
#include <atomic>
#include <cstdarg>
#include <cstring>
#include <exception>
#include <new>
#include <string_view>

static_assert(std::string_view(IMPORTER_RECORD_CONTENT_TYPE) == tavrel::ExternalRecord::kContentType);

struct MetadataImporterPluginType
{
    const MetadataImporterInterfaceStruct* conduitInterface;
    ImporterUUIDBytes factoryID;
    bool hasFactoryID;
    std::atomic<uint32_t> refCount;
};

namespace {
const MetadataImporterInterfaceStruct kImporterInterface = {
    nullptr,
    MetadataImporterQueryInterface,
    MetadataImporterPluginAddRef,
    MetadataImporterPluginRelease,
    GetMetadataForFile,
};

bool sameUUID(const ImporterUUIDBytes& a, const ImporterUUIDBytes& b)
{
    return std::memcmp(a.bytes, b.bytes, sizeof a.bytes) == 0;
}

MetadataImporterPluginType* instanceOf(void* thisInstance)
{
    return static_cast<MetadataImporterPluginType*>(thisInstance);
}
} // namespace

void* MetadataImporterPluginFactory(void*, const ImporterUUIDBytes* typeID)
{
    const ImporterUUIDBytes importerType = IMPORTER_TYPE_ID;
    if (!typeID || !sameUUID(*typeID, importerType))
        return nullptr;
    const ImporterUUIDBytes factoryID = IMPORTER_FACTORY_ID;
    return AllocMetadataImporterPluginType(&factoryID);
}

MetadataImporterPluginType* AllocMetadataImporterPluginType(const ImporterUUIDBytes* factoryID)
{
    auto* instance = new (std::nothrow) MetadataImporterPluginType{&kImporterInterface, {}, false, {1}};
    if (instance && factoryID) {
        instance->factoryID = *factoryID;
        instance->hasFactoryID = true;
    }
    return instance;
}

void DeallocMetadataImporterPluginType(MetadataImporterPluginType* instance)
{
    delete instance;
}

int32_t MetadataImporterQueryInterface(void* thisInstance, ImporterUUIDBytes interfaceID, void** instance)
{
    const ImporterUUIDBytes importerInterface = IMPORTER_INTERFACE_ID;
    const ImporterUUIDBytes baseInterface = IMPORTER_IUNKNOWN_ID;
    if (thisInstance && (sameUUID(interfaceID, importerInterface) || sameUUID(interfaceID, baseInterface))) {
        MetadataImporterPluginAddRef(thisInstance);
        if (instance)
            *instance = thisInstance;
        return IMPORTER_S_OK;
    }
    if (instance)
        *instance = nullptr;
    return IMPORTER_E_NOINTERFACE;
}

uint32_t MetadataImporterPluginAddRef(void* thisInstance)
{
    return ++instanceOf(thisInstance)->refCount;
}

uint32_t MetadataImporterPluginRelease(void* thisInstance)
{
    MetadataImporterPluginType* instance = instanceOf(thisInstance);
    const uint32_t count = --instance->refCount;
    if (count == 0)
        DeallocMetadataImporterPluginType(instance);
    return count;
}

bool GetMetadataForFile(void*, ImporterAttributes* attributes, const char* contentType,
                        const char* pathToFile)
{
    // Nothing may escape into the indexer: a failure is a record that was not imported.
    try {
        const QString path = pathToFile ? QFile::decodeName(pathToFile) : QString();
        tavrel::TQLog("Cordel Importer for: %@", path);
        if (!contentType || std::strcmp(contentType, IMPORTER_RECORD_CONTENT_TYPE) != 0)
            return false;
        QVariantMap found;
        tavrel::TQSpotlightImporter importer;
        const bool result = importer.importFileAtPath(path, found, nullptr);
        if (attributes && attributes->setValue)
            for (auto it = found.cbegin(); it != found.cend(); ++it)
                attributes->setValue(attributes->context, it.key().toUtf8().constData(),
                                     it.value().toString().toUtf8().constData());
        return result;
    } catch (const std::exception& e) {
        tavrel::TQLog("E: GetMetadataForFile failed for %@: %@", QFile::decodeName(pathToFile),
                      QString::fromUtf8(e.what()));
    } catch (...) {
        tavrel::TQLog("E: GetMetadataForFile failed for %@", QFile::decodeName(pathToFile));
    }
    return false;
}

void TQLog(const char* format, ...)
{
    if (!format)
        return;
    va_list arguments;
    va_start(arguments, format);
    va_list measuring;
    va_copy(measuring, arguments);
    const int length = std::vsnprintf(nullptr, 0, format, measuring);
    va_end(measuring);
    if (length >= 0) {
        QByteArray text(length + 1, Qt::Uninitialized);
        std::vsnprintf(text.data(), size_t(text.size()), format, arguments);
        text.truncate(length);
        tavrel::detail::writeLogMessage(QString::fromUtf8(text));
    }
    va_end(arguments);
}
