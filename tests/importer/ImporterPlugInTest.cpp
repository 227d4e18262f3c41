#include "ImporterFixture.h"

#include <elf.h>
#include <link.h>

namespace tavrel::test {

namespace {
ImporterUUIDBytes uuid(const char* text)
{
    ImporterUUIDBytes bytes{};
    const QByteArray hex = QByteArray(text).replace('-', "");
    const QByteArray raw = QByteArray::fromHex(hex);
    std::memcpy(bytes.bytes, raw.constData(), std::min<size_t>(16, size_t(raw.size())));
    return bytes;
}

// The reference count, seen through AddRef and Release as a host sees it.
uint32_t referenceCount(void* instance)
{
    const uint32_t raised = interfaceOf(instance)->AddRef(instance);
    interfaceOf(instance)->Release(instance);
    return raised - 1;
}
} // namespace

TEST(ImporterPlugIn, FactoryMakesInstancesOfTheImporterTypeOnly)
{
    auto* library = &ImporterLibrary::shared();
    ASSERT_TRUE(library->handle()) << dlerror();
    const struct
    {
        const char* type;
        bool made;
    } rows[] = {
        {"8B08C4BF-415B-11D8-B3F9-0003936726FC", true},  // the importer type
        {"6EBC27C4-899C-11D8-84AE-0003936726FC", false}, // its interface is no type
        {"6932EB51-8FE1-4299-83EE-F28908C3CE64", false}, // nor its factory
        {"8B08C4BF-415B-11D8-B3F9-0003936726FD", false}, // one bit off
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.type);
        const ImporterUUIDBytes type = uuid(row.type);
        void* instance = library->factory()(nullptr, &type);
        EXPECT_EQ(instance != nullptr, row.made);
        if (!instance)
            continue;
        EXPECT_EQ(referenceCount(instance), 1u);
        EXPECT_EQ(interfaceOf(instance)->reserved, nullptr);
        EXPECT_EQ(interfaceOf(instance)->Release(instance), 0u);
    }
    EXPECT_EQ(library->factory()(nullptr, nullptr), nullptr);
}

TEST(ImporterPlugIn, QueryInterfaceAnswersTheImporterAndBaseInterfacesOnly)
{
    const ImporterUUIDBytes type = IMPORTER_TYPE_ID;
    void* instance = ImporterLibrary::shared().factory()(nullptr, &type);
    ASSERT_TRUE(instance);
    const struct
    {
        const char* interface;
        int32_t status;
    } rows[] = {
        {"6EBC27C4-899C-11D8-84AE-0003936726FC", IMPORTER_S_OK},          // the importer interface
        {"00000000-0000-0000-C000-000000000046", IMPORTER_S_OK},          // the base interface
        {"8B08C4BF-415B-11D8-B3F9-0003936726FC", IMPORTER_E_NOINTERFACE}, // the type is no interface
        {"6932EB51-8FE1-4299-83EE-F28908C3CE64", IMPORTER_E_NOINTERFACE},
        {"00000000-0000-0000-0000-000000000000", IMPORTER_E_NOINTERFACE},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.interface);
        const uint32_t before = referenceCount(instance);
        int marker = 0;
        void* answered = &marker; // anything but null, to see it cleared
        EXPECT_EQ(interfaceOf(instance)->QueryInterface(instance, uuid(row.interface), &answered),
                  row.status);
        if (row.status == IMPORTER_S_OK) {
            EXPECT_EQ(answered, instance);
            EXPECT_EQ(referenceCount(instance), before + 1);
            EXPECT_EQ(interfaceOf(instance)->Release(instance), before);
        } else {
            EXPECT_EQ(answered, nullptr);
            EXPECT_EQ(referenceCount(instance), before);
        }
    }
    EXPECT_EQ(uint32_t(0x80000004), uint32_t(IMPORTER_E_NOINTERFACE));
    EXPECT_EQ(interfaceOf(instance)->Release(instance), 0u);
}

TEST(ImporterPlugIn, EntryPointsAreTheInterfaceTableAndTheLibraryNeedsNoInterfaceLibraries)
{
    ImporterLibrary& library = ImporterLibrary::shared();
    ASSERT_TRUE(library.handle()) << dlerror();
    const ImporterUUIDBytes type = IMPORTER_TYPE_ID;
    void* instance = library.factory()(nullptr, &type);
    ASSERT_TRUE(instance);
    const MetadataImporterInterfaceStruct* table = interfaceOf(instance);
    EXPECT_EQ(reinterpret_cast<void*>(table->QueryInterface),
              library.symbol("MetadataImporterQueryInterface"));
    EXPECT_EQ(reinterpret_cast<void*>(table->AddRef), library.symbol("MetadataImporterPluginAddRef"));
    EXPECT_EQ(reinterpret_cast<void*>(table->Release), library.symbol("MetadataImporterPluginRelease"));
    EXPECT_EQ(reinterpret_cast<void*>(table->GetMetadataForFile), library.symbol("GetMetadataForFile"));
    for (const char* name : {"AllocMetadataImporterPluginType", "DeallocMetadataImporterPluginType", "TQLog"})
        EXPECT_TRUE(library.symbol(name)) << name;
    table->Release(instance);
    // Nothing of the code it carries is exported, so it cannot clash with a host's own copy.
    EXPECT_EQ(library.symbol("_ZN6tavrel7TQLogger6loggerEv"), nullptr);

    // The libraries it needs: never the application's interface libraries.
    link_map* map = nullptr;
    ASSERT_EQ(dlinfo(library.handle(), RTLD_DI_LINKMAP, &map), 0);
    const char* strings = nullptr;
    for (const ElfW(Dyn)* entry = map->l_ld; entry->d_tag != DT_NULL; ++entry)
        if (entry->d_tag == DT_STRTAB)
            strings = reinterpret_cast<const char*>(entry->d_un.d_ptr);
    ASSERT_TRUE(strings);
    QStringList needed;
    for (const ElfW(Dyn)* entry = map->l_ld; entry->d_tag != DT_NULL; ++entry)
        if (entry->d_tag == DT_NEEDED)
            needed.append(QString::fromUtf8(strings + entry->d_un.d_val));
    EXPECT_TRUE(needed.contains(QStringLiteral("libQt6Core.so.6"))) << needed.join(' ').toStdString();
    for (const QString& name : std::as_const(needed))
        for (const char* refused : {"Widgets", "Gui", "Network", "DBus", "Svg", "pugixml"})
            EXPECT_FALSE(name.contains(QLatin1String(refused))) << name.toStdString();
}

TEST_F(ImporterTest, LogsEachCallAndItsOwnLinesToTheProgramLogFile)
{
    const QString record =
        writeRecord(QStringLiteral("doc.tavrel"), QStringLiteral("File"), QStringLiteral("doc-budget"));
    EXPECT_TRUE(importFile(IMPORTER_RECORD_CONTENT_TYPE, record).imported);
    using LogFunction = void (*)(const char*, ...);
    const auto log = reinterpret_cast<LogFunction>(ImporterLibrary::shared().symbol("TQLog"));
    ASSERT_TRUE(log);
    log("E: %s failed %d times", "indexing", 3);
    EXPECT_EQ(logLines(), (QStringList{QStringLiteral("Cordel Importer for: ") + record,
                                       QStringLiteral("E: indexing failed 3 times")}));
}

} // namespace tavrel::test
