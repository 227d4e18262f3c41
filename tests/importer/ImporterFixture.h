#pragma once

#include "importer/MetadataImporterPlugIn.h"
#include "model/Contact.h"
#include "model/File.h"
#include "model/TQDataModel.h"
#include "platform/store/ManagedObjectContext.h"
#include "platform/store/PersistentStoreCoordinator.h"
#include "platform/system/Paths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMap>
#include <QTemporaryDir>
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <memory>

namespace tavrel::test {

// The folder holding the built plug-in and its host: given by CTest, else found beside the test program.
inline QString importerBuildDir()
{
    const QString fromEnvironment = qEnvironmentVariable("TAVREL_IMPORTER_DIR");
    if (!fromEnvironment.isEmpty())
        return fromEnvironment;
    return QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("../src/importer"));
}

// The plug-in, loaded once per test program with dlopen as an indexer loads it.
class ImporterLibrary
{
public:
    using Factory = void* (*)(void*, const ImporterUUIDBytes*);

    static ImporterLibrary& shared()
    {
        static ImporterLibrary library;
        return library;
    }
    void* handle() const { return m_handle; }
    QString path() const { return m_path; }
    void* symbol(const char* name) const { return m_handle ? dlsym(m_handle, name) : nullptr; }
    Factory factory() const { return reinterpret_cast<Factory>(symbol("MetadataImporterPluginFactory")); }

private:
    ImporterLibrary()
    {
        m_path = QDir(importerBuildDir()).filePath(QStringLiteral("libtavrel-importer.so"));
        m_handle = dlopen(QFile::encodeName(m_path).constData(), RTLD_NOW | RTLD_LOCAL);
    }
    QString m_path;
    void* m_handle = nullptr;
};

inline const MetadataImporterInterfaceStruct* interfaceOf(void* instance)
{
    return *static_cast<MetadataImporterInterfaceStruct**>(instance);
}

// What one GetMetadataForFile call answered.
struct ImportAnswer
{
    bool imported = false;
    QMap<QString, QString> attributes;
};

// Calls the plug-in for one file through the factory and the importer interface, as an indexer does.
inline ImportAnswer importFile(const char* contentType, const QString& path)
{
    ImportAnswer answer;
    const ImporterUUIDBytes type = IMPORTER_TYPE_ID;
    void* plugin = ImporterLibrary::shared().factory()(nullptr, &type);
    void* importer = nullptr;
    interfaceOf(plugin)->QueryInterface(plugin, IMPORTER_INTERFACE_ID, &importer);
    interfaceOf(plugin)->Release(plugin);
    ImporterAttributes sink{&answer.attributes, [](void* context, const char* key, const char* value) {
                                static_cast<QMap<QString, QString>*>(context)->insert(
                                    QString::fromUtf8(key), QString::fromUtf8(value));
                            }};
    answer.imported = interfaceOf(importer)->GetMetadataForFile(importer, &sink, contentType,
                                                                QFile::encodeName(path).constData());
    interfaceOf(importer)->Release(importer);
    return answer;
}

// An account store made by the program's own store layer, with a document, an untitled document, a
// collection, a contact and a mail address, and record files naming them. The fixture stays in the
// test program's home so that the plug-in's log (opened once per process) is the one the test reads.
class ImporterTest : public ::testing::Test
{
public:
    static constexpr const char* kTitle = "Budget \"2024\" — Überblick";

    void SetUp() override
    {
        ASSERT_TRUE(ImporterLibrary::shared().handle()) << dlerror();
        makeFixture();
    }

    // A fresh folder with the store; the log is read from here on.
    void makeFixture()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        ASSERT_TRUE(m_dir->isValid());
        m_storePath = m_dir->filePath(QStringLiteral("data.storedata"));
        auto psc = std::make_shared<PersistentStoreCoordinator>(TQDataModel::mainDataContext());
        psc->addPersistentStore(m_storePath);
        {
            ManagedObjectContext context(psc);
            auto document = context.insertNewObject<File>(QStringLiteral("File"));
            document->setIdentifier(QStringLiteral("doc-budget"));
            document->setResourceId(QStringLiteral("document:budget"));
            document->setTitle(QString::fromUtf8(kTitle));
            auto untitled = context.insertNewObject<File>(QStringLiteral("File"));
            untitled->setIdentifier(QStringLiteral("doc-untitled"));
            auto collection = context.insertNewObject(QStringLiteral("Category"));
            collection->setValueForKey(QStringLiteral("identifier"), QStringLiteral("folder-projects"));
            collection->setValueForKey(QStringLiteral("title"), QStringLiteral("Projects"));
            auto contact = context.insertNewObject(QStringLiteral("Contact"));
            contact->setValueForKey(QStringLiteral("identifier"), QStringLiteral("contact-ann"));
            contact->setValueForKey(QStringLiteral("name"), QStringLiteral("Ann"));
            auto mail = context.insertNewObject(QStringLiteral("Mail"));
            mail->setValueForKey(QStringLiteral("address"), QStringLiteral("ann@example.com"));
            Error error;
            ASSERT_TRUE(context.save(&error)) << error.description().toStdString();
        }
        psc->removePersistentStore();
        m_logStart = QFileInfo(Paths::logFile()).size();
    }

    QString storePath() const { return m_storePath; }
    QString path(const QString& name) const { return m_dir->filePath(name); }

    // A record file with the given values (a key with an invalid value is left out).
    QString writeRecord(const QString& name, const QVariantMap& values) const
    {
        QVariantMap record{{QStringLiteral("storePath"), m_storePath},
                           {QStringLiteral("schemaVersion"), PersistentStoreCoordinator::kSchemaVersion}};
        for (auto it = values.cbegin(); it != values.cend(); ++it) {
            if (it.value().isValid())
                record.insert(it.key(), it.value());
            else
                record.remove(it.key());
        }
        return writeFile(name, QJsonDocument(QJsonObject::fromVariantMap(record)).toJson());
    }
    QString writeRecord(const QString& name, const QString& entity, const QString& identifier) const
    {
        return writeRecord(name,
                           {{QStringLiteral("entity"), entity}, {QStringLiteral("identifier"), identifier}});
    }
    QString writeFile(const QString& name, const QByteArray& bytes) const
    {
        QFile file(m_dir->filePath(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return file.fileName();
    }

    // Lines the test program and the plug-in logged since the test began.
    QStringList logLines() const
    {
        QFile log(Paths::logFile());
        if (!log.open(QIODevice::ReadOnly) || !log.seek(m_logStart))
            return {};
        QStringList lines = QString::fromUtf8(log.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        lines.removeIf([](const QString& line) { return !line.contains(QLatin1String("<Info>: ")); });
        for (QString& line : lines)
            line = line.mid(line.indexOf(QLatin1String("<Info>: ")) + 8);
        return lines;
    }

    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_storePath;
    qint64 m_logStart = 0;
};

} // namespace tavrel::test
