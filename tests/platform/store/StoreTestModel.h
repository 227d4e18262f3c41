#pragma once

#include "platform/store/ManagedObjectContext.h"
#include "platform/store/ManagedObjectModel.h"
#include "platform/store/PersistentStoreCoordinator.h"
#include "support/TempHome.h"

#include <QDir>
#include <memory>
#include <ostream>

inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

namespace tavrel::test {

class Note : public ManagedObject
{
public:
    static inline int insertHooks = 0;
    int fetchHooks = 0;
    int faultHooks = 0;

    QString title() const { return stringValue("title"); }
    void setTitle(const QString& title) { setValueForKey("title", title); }
    ManagedObjectPtr author() const { return toOne("author"); }

    // A derived key, reachable by key paths like the stored ones.
    QVariant valueForKey(const QString& key) const override
    {
        if (key == QLatin1String("shout"))
            return title().toUpper();
        return ManagedObject::valueForKey(key);
    }

protected:
    void awakeFromInsert() override
    {
        ManagedObject::awakeFromInsert();
        ++insertHooks;
        setValueForKey("identifier", QStringLiteral("new"));
    }
    void awakeFromFetch() override { ++fetchHooks; }
    void willTurnIntoFault() override { ++faultHooks; }
};

class Folder : public ManagedObject
{
protected:
    // Companion record made with every new folder, like a cache record.
    void awakeFromInsert() override
    {
        ManagedObject::awakeFromInsert();
        auto info = managedObjectContext()->insertNewObject("Info");
        setToOne("info", info);
    }
};

// Item (abstract) > Note, Folder; Person, Tag, Profile, Info.
inline std::shared_ptr<ManagedObjectModel> makeTestModel(bool extended = false)
{
    using T = AttributeDescription::Type;
    using R = RelationshipDescription::DeleteRule;
    auto model = std::make_shared<ManagedObjectModel>();
    model->addEntity("Item")
        .setAbstract(true)
        .addAttribute("identifier", T::String, {}, true)
        .addAttribute("title", T::String, {}, true)
        .addAttribute("updatedDate", T::Date)
        .addAttribute("rank", T::Int64, 0)
        .addAttribute("score", T::Double)
        .addAttribute("flag", T::Bool, false)
        .addAttribute("blob", T::Data)
        .addAttribute("extra", T::Transformable);
    auto& note = model->addEntity("Note", "Item");
    note.addAttribute("body", T::String)
        .addToOne("author", "Person", "notes", R::Nullify)
        .addToOne("folder", "Folder", "notes", R::Nullify)
        .addToMany("tags", "Tag", "notes", R::Nullify)
        .setRecordClass<Note>();
    if (extended)
        note.addAttribute("color", T::String, QStringLiteral("blue"))
            .addToMany("labels", "Label", "notes", R::Nullify)
            .addToOne("mainLabel", "Label", {}, R::NoAction);
    model->addEntity("Folder", "Item")
        .addToMany("notes", "Note", "folder", R::Cascade)
        .addToOne("info", "Info", "folder", R::Cascade)
        .setRecordClass<Folder>();
    model->addEntity("Person")
        .addAttribute("name", T::String)
        .addAttribute("address", T::String, {}, true)
        .addToMany("notes", "Note", "author", R::Deny)
        .addToOne("profile", "Profile", "person", R::Cascade);
    model->addEntity("Profile")
        .addAttribute("bio", T::String)
        .addToOne("person", "Person", "profile", R::Nullify);
    model->addEntity("Tag").addAttribute("name", T::String).addToMany("notes", "Note", "tags", R::Nullify);
    model->addEntity("Info")
        .addAttribute("value", T::String)
        .addToOne("folder", "Folder", "info", R::Nullify);
    if (extended)
        model->addEntity("Label")
            .addAttribute("text", T::String)
            .addToMany("notes", "Note", "labels", R::Nullify)
            .addIndex({"text"});
    model->finalize();
    return model;
}

// A store in the temporary home, with a master context.
class StoreTest : public TempHomeTest
{
protected:
    void SetUp() override
    {
        TempHomeTest::SetUp();
        m_path = QDir(home().path()).filePath(QStringLiteral("data.storedata"));
        open();
    }
    void TearDown() override
    {
        m_context.reset();
        m_coordinator.reset();
        TempHomeTest::TearDown();
    }
    void open(bool extended = false)
    {
        m_context.reset();
        m_coordinator.reset();
        m_model = makeTestModel(extended);
        m_coordinator = std::make_shared<PersistentStoreCoordinator>(m_model);
        m_coordinator->addPersistentStore(m_path);
        m_context = std::make_unique<ManagedObjectContext>(m_coordinator);
    }
    ManagedObjectContext& context() { return *m_context; }
    ManagedObjectPtr insert(const QString& entity, const QVariantMap& values = {})
    {
        auto o = m_context->insertNewObject(entity);
        for (auto it = values.begin(); it != values.end(); ++it)
            o->setValueForKey(it.key(), it.value());
        return o;
    }
    QList<ManagedObjectPtr> fetch(const QString& entity, const Predicate& predicate = {},
                                  const QList<SortDescriptor>& sort = {})
    {
        FetchRequest request(entity);
        request.setPredicate(predicate);
        request.setSortDescriptors(sort);
        Error error;
        auto result = m_context->executeFetchRequest(request, &error);
        EXPECT_TRUE(error.isNull()) << error.description().toStdString();
        return result;
    }
    static QStringList titles(const QList<ManagedObjectPtr>& objects,
                              const QString& key = QStringLiteral("title"))
    {
        QStringList result;
        for (const auto& o : objects)
            result.append(o->valueForKey(key).toString());
        return result;
    }

    QString m_path;
    std::shared_ptr<ManagedObjectModel> m_model;
    std::shared_ptr<PersistentStoreCoordinator> m_coordinator;
    std::unique_ptr<ManagedObjectContext> m_context;
};

} // namespace tavrel::test
