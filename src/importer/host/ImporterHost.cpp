// tavrel-importer FILE [CONTENT-TYPE]: loads the desktop-search importer beside this program with dlopen,
// calls it for one file as an indexer would (factory, importer interface, GetMetadataForFile, release)
// and prints the attributes it gave as a JSON object. The content type defaults to that of record files.
// Exit status: 0 when the importer answered true, 1 when it answered false, 2 when it could not be used.

#include "importer/MetadataImporterPlugIn.h"

#include <QByteArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <cstdio>
#include <dlfcn.h>
#include <filesystem>
#include <string>

namespace {
constexpr char kLibraryName[] = "libtavrel-importer.so";

int failWith(const std::string& message)
{
    std::fprintf(stderr, "tavrel-importer: %s\n", message.c_str());
    return 2;
}

// The plug-in beside this program, or wherever the dynamic loader finds it.
void* loadImporter()
{
    std::error_code error;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
    if (!error) {
        const std::filesystem::path beside = self.parent_path() / kLibraryName;
        if (std::filesystem::exists(beside, error))
            return dlopen(beside.c_str(), RTLD_NOW | RTLD_LOCAL);
    }
    return dlopen(kLibraryName, RTLD_NOW | RTLD_LOCAL);
}
} // namespace

int main(int argc, char** argv)
{
    if (argc < 2 || argc > 3) {
        std::fprintf(stderr, "Usage: tavrel-importer FILE [CONTENT-TYPE]\n"
                             "Prints the desktop-search attributes of FILE as JSON. CONTENT-TYPE defaults to "
                             "\"" IMPORTER_RECORD_CONTENT_TYPE "\".\n");
        return 2;
    }
    const char* path = argv[1];
    const char* contentType = argc > 2 ? argv[2] : IMPORTER_RECORD_CONTENT_TYPE;

    void* library = loadImporter();
    if (!library)
        return failWith(dlerror());
    using Factory = void* (*)(void*, const ImporterUUIDBytes*);
    const auto factory = reinterpret_cast<Factory>(dlsym(library, "MetadataImporterPluginFactory"));
    if (!factory)
        return failWith("the importer has no factory");
    const ImporterUUIDBytes importerType = IMPORTER_TYPE_ID;
    void* plugin = factory(nullptr, &importerType);
    if (!plugin)
        return failWith("the factory made no importer");

    // Like an indexer: ask the new instance for the importer interface, then drop the first reference.
    const MetadataImporterInterfaceStruct* base = *static_cast<MetadataImporterInterfaceStruct**>(plugin);
    void* importer = nullptr;
    const int32_t status = base->QueryInterface(plugin, IMPORTER_INTERFACE_ID, &importer);
    base->Release(plugin);
    if (status != IMPORTER_S_OK || !importer)
        return failWith("the instance has no importer interface");
    const MetadataImporterInterfaceStruct* table = *static_cast<MetadataImporterInterfaceStruct**>(importer);

    QJsonObject attributes;
    ImporterAttributes sink{&attributes, [](void* context, const char* key, const char* value) {
                                static_cast<QJsonObject*>(context)->insert(QString::fromUtf8(key),
                                                                           QString::fromUtf8(value));
                            }};
    const bool imported = table->GetMetadataForFile(importer, &sink, contentType, path);
    table->Release(importer);

    const QByteArray json = QJsonDocument(attributes).toJson(QJsonDocument::Indented);
    std::fwrite(json.constData(), 1, size_t(json.size()), stdout);
    return imported ? 0 : 1;
}
