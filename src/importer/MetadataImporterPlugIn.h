/* The desktop-search importer's C interface. A host (an indexer, or tavrel-importer) loads the library
 * with dlopen, asks MetadataImporterPluginFactory for an instance of the importer type, asks the instance
 * for the importer interface and calls GetMetadataForFile once per record file; each reference it holds
 * ends with Release. Instances follow the COM layout: the instance points at its interface table.
 *
 * The library links neither the application nor any windowing library; it reads the store named by the
 * record file read-only and may run while the program writes that store. It is never unloaded once
 * loaded, so an instance stays valid after the host's dlclose. */
#ifndef TAVREL_METADATA_IMPORTER_PLUGIN_H
#define TAVREL_METADATA_IMPORTER_PLUGIN_H

#include <stdbool.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#define IMPORTER_EXPORT __attribute__((visibility("default")))

/* A UUID as its 16 bytes, most significant first. */
typedef struct ImporterUUIDBytes
{
    uint8_t bytes[16];
} ImporterUUIDBytes;

/* clang-format off */
/* 8B08C4BF-415B-11D8-B3F9-0003936726FC: the plug-in type that the factory makes. */
#define IMPORTER_TYPE_ID \
    {{0x8B, 0x08, 0xC4, 0xBF, 0x41, 0x5B, 0x11, 0xD8, 0xB3, 0xF9, 0x00, 0x03, 0x93, 0x67, 0x26, 0xFC}}
/* 6EBC27C4-899C-11D8-84AE-0003936726FC: the importer interface. */
#define IMPORTER_INTERFACE_ID \
    {{0x6E, 0xBC, 0x27, 0xC4, 0x89, 0x9C, 0x11, 0xD8, 0x84, 0xAE, 0x00, 0x03, 0x93, 0x67, 0x26, 0xFC}}
/* 00000000-0000-0000-C000-000000000046: the base interface every instance answers. */
#define IMPORTER_IUNKNOWN_ID \
    {{0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}}
/* 6932EB51-8FE1-4299-83EE-F28908C3CE64: the factory, kept by each instance. */
#define IMPORTER_FACTORY_ID \
    {{0x69, 0x32, 0xEB, 0x51, 0x8F, 0xE1, 0x42, 0x99, 0x83, 0xEE, 0xF2, 0x89, 0x08, 0xC3, 0xCE, 0x64}}

/* clang-format on */

#define IMPORTER_S_OK ((int32_t)0)
#define IMPORTER_E_NOINTERFACE ((int32_t)0x80000004)

/* The content type of record files (files ending in ".tavrel"): the only type the importer reads. */
#define IMPORTER_RECORD_CONTENT_TYPE "rez.uzorevuza.externalrecord.tavrel"

/* Keys of the attributes the importer fills. */
#define IMPORTER_DISPLAY_NAME_KEY "displayName"
#define IMPORTER_TEXT_CONTENT_KEY "textContent"

/* The host's attributes of one file. The importer calls setValue for each attribute it adds (keys and
 * values are UTF-8, valid during the call only) and nothing else. */
typedef struct ImporterAttributes
{
    void* context;
    void (*setValue)(void* context, const char* key, const char* value);
} ImporterAttributes;

/* The importer interface table; slot order is fixed. */
typedef struct MetadataImporterInterfaceStruct
{
    void* reserved;
    int32_t (*QueryInterface)(void* thisInstance, ImporterUUIDBytes interfaceID, void** instance);
    uint32_t (*AddRef)(void* thisInstance);
    uint32_t (*Release)(void* thisInstance);
    bool (*GetMetadataForFile)(void* thisInstance, ImporterAttributes* attributes, const char* contentType,
                               const char* pathToFile);
} MetadataImporterInterfaceStruct;

typedef struct MetadataImporterPluginType MetadataImporterPluginType;

/* An instance (reference count 1) for the importer type; NULL for any other type. The allocator is
 * ignored. */
IMPORTER_EXPORT void* MetadataImporterPluginFactory(void* allocator, const ImporterUUIDBytes* typeID);

IMPORTER_EXPORT MetadataImporterPluginType*
AllocMetadataImporterPluginType(const ImporterUUIDBytes* factoryID);
IMPORTER_EXPORT void DeallocMetadataImporterPluginType(MetadataImporterPluginType* instance);

/* For the importer interface or the base interface: one more reference, the instance in *instance and
 * IMPORTER_S_OK. Otherwise NULL in *instance and IMPORTER_E_NOINTERFACE; the count is unchanged. */
IMPORTER_EXPORT int32_t MetadataImporterQueryInterface(void* thisInstance, ImporterUUIDBytes interfaceID,
                                                       void** instance);
/* The new reference count. */
IMPORTER_EXPORT uint32_t MetadataImporterPluginAddRef(void* thisInstance);
/* The new reference count; at 0 the instance is gone. */
IMPORTER_EXPORT uint32_t MetadataImporterPluginRelease(void* thisInstance);

/* Fills the attributes of one record file. Another content type: false, nothing read. A record that
 * does not resolve (unreadable record file, unusable store, no such record): false, logged. A record
 * that is not a document: true, nothing added. A document: true with its display name
 * "Tavrel: <title>" and its title as text. */
IMPORTER_EXPORT bool GetMetadataForFile(void* thisInstance, ImporterAttributes* attributes,
                                        const char* contentType, const char* pathToFile);

/* The importer's log, written as one line to the program's log file. The format takes %s for UTF-8
 * texts and the other printf conversions. */
IMPORTER_EXPORT void TQLog(const char* format, ...) __attribute__((format(printf, 1, 2)));

#ifdef __cplusplus
}
#endif

#endif
