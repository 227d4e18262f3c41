#include "StoreTestModel.h"
#include "platform/runtime/Exception.h"
#include "support/WaitUntil.h"

#include <QFile>
#include <atomic>
#include <functional>
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <thread>

namespace tavrel::test {

TEST_F(StoreTest, SavedValuesSurviveReopenWithTheirTypes)
{
    const QDateTime date = QDateTime::fromMSecsSinceEpoch(1700000000123, Qt::UTC);
    const QVariantMap extra{{QStringLiteral("k"), QStringLiteral("v")}, {QStringLiteral("n"), 3}};
    const int hooksBefore = Note::insertHooks;
    auto note = insert("Note", {{"title", "Réunion \"Q3\""},
                                {"body", ""},
                                {"updatedDate", date},
                                {"rank", 42},
                                {"score", 2.5},
                                {"flag", true},
                                {"blob", QByteArray("\0x\1", 3)},
                                {"extra", extra}});
    EXPECT_EQ(Note::insertHooks, hooksBefore + 1);
    EXPECT_EQ(note->stringValue("identifier"), "new"); // set by the insert hook
    EXPECT_TRUE(note->isInserted());
    EXPECT_TRUE(note->objectID().isTemporaryID());
    EXPECT_TRUE(context().hasChanges());

    QList<SaveNotification> saves;
    QObject::connect(&context(), &ManagedObjectContext::didSave,
                     [&](const SaveNotification& n) { saves.append(n); });
    Error error;
    ASSERT_TRUE(context().save(&error)) << error.description().toStdString();
    EXPECT_FALSE(note->isInserted());
    EXPECT_FALSE(note->objectID().isTemporaryID());
    EXPECT_FALSE(context().hasChanges());
    ASSERT_EQ(saves.size(), 1);
    EXPECT_EQ(saves[0].inserted, QList<ManagedObjectID>{note->objectID()});
    const ManagedObjectID id = note->objectID();
    note.reset();
    saves.clear();

    open();
    auto notes = fetch("Note");
    ASSERT_EQ(notes.size(), 1);
    auto n = notes[0];
    // Ids belong to one coordinator's model; across a reopen the key and entity stay.
    EXPECT_EQ(n->objectID().primaryKey(), id.primaryKey());
    EXPECT_EQ(n->stringValue("title"), "Réunion \"Q3\"");
    EXPECT_FALSE(n->valueForKey("body").toString().isNull()); // an empty text stays a value
    EXPECT_TRUE(n->valueForKey("body").toString().isEmpty());
    EXPECT_EQ(n->dateValue("updatedDate"), date);
    EXPECT_EQ(n->int64Value("rank"), 42);
    EXPECT_DOUBLE_EQ(n->doubleValue("score"), 2.5);
    EXPECT_TRUE(n->boolValue("flag"));
    EXPECT_EQ(n->dataValue("blob"), QByteArray("\0x\1", 3));
    EXPECT_EQ(n->valueForKey("extra").toMap(), extra);
    EXPECT_EQ(std::dynamic_pointer_cast<Note>(n)->fetchHooks, 1);
    EXPECT_EQ(n->valueForKeyPath("shout").toString(), "RÉUNION \"Q3\"");
    EXPECT_EQ(n->valueForKeyPath("entity.name").toString(), "Note");
    EXPECT_THROW(n->valueForKey("nothing"), Exception);
}

TEST_F(StoreTest, FetchOfAnAbstractParentFindsEverySubEntity)
{
    insert("Note", {{"title", "n1"}});
    insert("Note", {{"title", "n2"}});
    insert("Folder", {{"title", "f1"}});
    // Unsaved records take part in fetches, and saved ones too.
    EXPECT_EQ(titles(fetch("Item", {}, {SortDescriptor("title")})), QStringList({"f1", "n1", "n2"}));
    ASSERT_TRUE(context().save());
    open();
    EXPECT_EQ(titles(fetch("Item", {}, {SortDescriptor("title")})), QStringList({"f1", "n1", "n2"}));
    EXPECT_EQ(titles(fetch("Note", {}, {SortDescriptor("title")})), QStringList({"n1", "n2"}));
    auto folders = fetch("Item", Predicate::format("title BEGINSWITH %@", "f"));
    ASSERT_EQ(folders.size(), 1);
    EXPECT_EQ(folders[0]->entity()->name(), "Folder");
    EXPECT_TRUE(std::dynamic_pointer_cast<Folder>(folders[0]));
    EXPECT_EQ(context().countForFetchRequest(FetchRequest("Item")), 3);
    FetchRequest onlyItem("Item");
    onlyItem.setIncludesSubentities(false);
    EXPECT_EQ(context().countForFetchRequest(onlyItem), 0);
    // A key that only some records have, or a bad pattern, is a fetch error, not a crash.
    Error error;
    FetchRequest bad("Item");
    bad.setPredicate(Predicate::format("body == %@", "x"));
    EXPECT_TRUE(context().executeFetchRequest(bad, &error).isEmpty());
    EXPECT_EQ(error.code(), ManagedObjectContext::FetchError);
    bad.setPredicate(Predicate::format("title MATCHES %@", "(unclosed"));
    EXPECT_TRUE(context().executeFetchRequest(bad, &error).isEmpty());
    EXPECT_EQ(error.code(), ManagedObjectContext::FetchError);
    EXPECT_EQ(context().countForFetchRequest(bad, &error), -1);
    EXPECT_EQ(fetch("Item", Predicate::format("entity.name BEGINSWITH[c] 'note'")).size(), 2);
}

TEST_F(StoreTest, InversesStayInStepOnBothSides)
{
    auto alice = insert("Person", {{"name", "alice"}});
    auto bob = insert("Person", {{"name", "bob"}});
    auto note = insert("Note", {{"title", "n"}});
    auto other = insert("Note", {{"title", "o"}});
    auto red = insert("Tag", {{"name", "red"}});

    // To-one set: the to-many side gains it; set elsewhere: the old side loses it.
    note->setToOne("author", alice);
    EXPECT_EQ(alice->toMany("notes"), QList<ManagedObjectPtr>{note});
    note->setToOne("author", bob);
    EXPECT_TRUE(alice->toMany("notes").isEmpty());
    EXPECT_EQ(bob->toMany("notes"), QList<ManagedObjectPtr>{note});
    // To-many add: the to-one side follows, also away from its former owner.
    alice->addToMany("notes", note);
    EXPECT_EQ(note->toOne("author"), alice);
    EXPECT_TRUE(bob->toMany("notes").isEmpty());
    alice->removeFromMany("notes", note);
    EXPECT_EQ(note->toOne("author"), nullptr);
    // Many-to-many.
    note->addToMany("tags", red);
    other->addToMany("tags", red);
    EXPECT_EQ(red->toManyCount("notes"), 2);
    red->removeFromMany("notes", note);
    EXPECT_TRUE(note->toMany("tags").isEmpty());
    EXPECT_EQ(other->toMany("tags"), QList<ManagedObjectPtr>{red});
    // One-to-one: taking the profile of another person leaves that person without.
    auto profile = insert("Profile", {{"bio", "b"}});
    alice->setToOne("profile", profile);
    EXPECT_EQ(profile->toOne("person"), alice);
    bob->setToOne("profile", profile);
    EXPECT_EQ(alice->toOne("profile"), nullptr);
    EXPECT_EQ(profile->toOne("person"), bob);
    // Key-value access reaches relationships too.
    note->setValueForKey("author", QVariant::fromValue(bob));
    EXPECT_EQ(note->valueForKeyPath("author.name").toString(), "bob");
    EXPECT_EQ(bob->valueForKeyPath("notes.title").toList(), QVariantList{"n"});

    // Records of two contexts are never related directly.
    ManagedObjectContext second(m_coordinator);
    auto stranger = second.insertNewObject("Person");
    EXPECT_THROW(note->setToOne("author", stranger), Exception);
    EXPECT_THROW(red->addToMany("notes", second.insertNewObject("Note")), Exception);
    EXPECT_EQ(note->toOne("author"), bob);

    ASSERT_TRUE(context().save());
    open();
    auto people = fetch("Person", Predicate::format("name == %@", "bob"));
    ASSERT_EQ(people.size(), 1);
    EXPECT_EQ(titles(people[0]->toMany("notes")), QStringList{"n"});
    EXPECT_EQ(people[0]->valueForKeyPath("profile.bio").toString(), "b");
    // A change made while the record is still a fault survives the fault being filled.
    FetchRequest faults("Person");
    faults.setFetchBatchSize(5);
    faults.setPredicate(Predicate::format("name == 'alice'"));
    auto faulted = context().executeFetchRequest(faults);
    ASSERT_EQ(faulted.size(), 1);
    ASSERT_TRUE(faulted[0]->isFault());
    auto late = insert("Note", {{"title", "late"}});
    faulted[0]->addToMany("notes", late);
    EXPECT_EQ(faulted[0]->stringValue("name"), "alice");
    EXPECT_EQ(titles(faulted[0]->toMany("notes")), QStringList{"late"});
    EXPECT_EQ(late->toOne("author"), faulted[0]);

    auto tags = fetch("Tag");
    ASSERT_EQ(tags.size(), 1);
    EXPECT_EQ(titles(tags[0]->toMany("notes")), QStringList{"o"});
    EXPECT_EQ(tags[0]->toMany("notes")[0]->toMany("tags"), tags);
}

// Long lists answer membership from a set: it must follow every add, removal and reload.
TEST_F(StoreTest, LongToManyListsStayExactThroughAddsAndRemovals)
{
    auto person = insert("Person", {{"name", "p"}});
    auto tag = insert("Tag", {{"name", "t"}});
    QList<ManagedObjectPtr> notes;
    QStringList expected;
    for (int i = 0; i < 40; ++i) {
        notes.append(insert("Note", {{"title", QString::number(i)}}));
        notes.last()->setToOne("author", person);
        tag->addToMany("notes", notes.last());
        expected.append(QString::number(i));
    }
    tag->addToMany("notes", notes[3]); // already there: no second entry
    EXPECT_EQ(titles(tag->toMany("notes")), expected);
    ASSERT_TRUE(context().save());

    // Remove, re-add at the end, move to another author: both sides stay in step.
    tag->removeFromMany("notes", notes[5]);
    notes[7]->removeFromMany("tags", tag);
    tag->addToMany("notes", notes[5]);
    auto other = insert("Person", {{"name", "o"}});
    notes[9]->setToOne("author", other);
    person->addToMany("notes", notes[9]); // back again
    notes[11]->setToOne("author", other);
    expected.removeAll("5");
    expected.removeAll("7");
    expected.append("5");
    EXPECT_EQ(titles(tag->toMany("notes")), expected);
    EXPECT_TRUE(notes[7]->toMany("tags").isEmpty());
    EXPECT_EQ(person->toManyCount("notes"), 39);
    EXPECT_EQ(titles(other->toMany("notes")), QStringList{"11"});
    ASSERT_TRUE(context().save());

    open();
    auto tags = fetch("Tag");
    ASSERT_EQ(tags.size(), 1);
    // A note removed and added back within one save keeps its stored place.
    expected = titles(tags[0]->toMany("notes"));
    QStringList members = expected;
    members.sort();
    QStringList wanted;
    for (int i = 0; i < 40; ++i)
        if (i != 7)
            wanted.append(QString::number(i));
    wanted.sort();
    EXPECT_EQ(members, wanted);
    auto reloaded = fetch("Note", Predicate::format("title == '7'"));
    ASSERT_EQ(reloaded.size(), 1);
    tags[0]->addToMany("notes", reloaded[0]);
    tags[0]->addToMany("notes", reloaded[0]);
    expected.append("7");
    EXPECT_EQ(titles(tags[0]->toMany("notes")), expected);
    auto people = fetch("Person", Predicate::format("name == 'p'"));
    ASSERT_EQ(people.size(), 1);
    EXPECT_EQ(people[0]->toManyCount("notes"), 39);
}

// Relating records to a stored record changes its to-many without reading it; read later, before or
// after the save, it holds what the store holds with this context's changes laid over it.
TEST_F(StoreTest, ToManyChangedWithoutBeingReadIsExactWhenReadLater)
{
    auto person = insert("Person", {{"name", "p"}});
    auto tag = insert("Tag", {{"name", "t"}});
    for (const char* title : {"a", "b", "c"}) {
        auto note = insert("Note", {{"title", title}});
        note->setToOne("author", person);
        if (QByteArray(title) != "c")
            note->addToMany("tags", tag);
    }
    insert("Person", {{"name", "q"}});
    ASSERT_TRUE(context().save());
    open();

    QList<SaveNotification> saves;
    QObject::connect(&context(), &ManagedObjectContext::didSave,
                     [&](const SaveNotification& note) { saves.append(note); });
    const auto one = [&](const QString& entity, const QString& key, const QString& value) {
        const auto found = fetch(entity, Predicate::format("%K == %@", key, value));
        return found.size() == 1 ? found.first() : ManagedObjectPtr();
    };
    ManagedObjectPtr p = one("Person", "name", "p");
    ManagedObjectPtr q = one("Person", "name", "q");
    ManagedObjectPtr t = one("Tag", "name", "t");
    ASSERT_TRUE(p && q && t);
    auto added = insert("Note", {{"title", "d"}});
    added->setToOne("author", p);
    one("Note", "title", "a")->setToOne("author", q);
    context().deleteObject(one("Note", "title", "b"));
    one("Note", "title", "c")->addToMany("tags", t);
    added->addToMany("tags", t);

    const auto sorted = [](QStringList list) {
        list.sort();
        return list;
    };
    const QStringList personNotes{"c", "d"};
    const QStringList tagNotes{"a", "c", "d"};
    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round == 0 ? "before the save" : "after the save, read anew");
        EXPECT_EQ(sorted(titles(p->toMany("notes"))), personNotes);
        EXPECT_EQ(titles(q->toMany("notes")), QStringList{"a"});
        EXPECT_EQ(sorted(titles(t->toMany("notes"))), tagNotes);
        if (round == 0) {
            ASSERT_TRUE(context().save());
            ASSERT_EQ(saves.size(), 1);
            EXPECT_TRUE(saves.first().updatedKeys.value(p->objectID()).contains(QStringLiteral("notes")))
                << "other contexts hear of the changed list";
            open();
            p = one("Person", "name", "p");
            q = one("Person", "name", "q");
            t = one("Tag", "name", "t");
            ASSERT_TRUE(p && q && t);
        }
    }
}

TEST_F(StoreTest, DeleteRulesCascadeNullifyAndDeny)
{
    auto folder = insert("Folder", {{"title", "f"}});
    ASSERT_TRUE(folder->toOne("info")); // made by the insert hook
    auto a = insert("Note", {{"title", "a"}});
    auto b = insert("Note", {{"title", "b"}});
    auto person = insert("Person", {{"name", "p"}});
    auto tag = insert("Tag", {{"name", "t"}});
    folder->setToMany("notes", {a, b});
    a->addToMany("tags", tag);
    b->setToOne("author", person);
    ASSERT_TRUE(context().save());

    // Nullify: the tag forgets the deleted note.
    context().deleteObject(a);
    EXPECT_TRUE(a->isDeleted());
    EXPECT_TRUE(tag->toMany("notes").isEmpty());
    EXPECT_EQ(titles(folder->toMany("notes")), QStringList{"b"});
    ASSERT_TRUE(context().save());

    // Deny: a person with notes cannot go; the save fails and keeps the changes.
    context().deleteObject(person);
    Error error;
    EXPECT_FALSE(context().save(&error));
    EXPECT_EQ(error.code(), ManagedObjectContext::DeniedDeleteError);
    EXPECT_TRUE(context().hasChanges());
    context().refreshObject(person, false);
    EXPECT_FALSE(person->isDeleted());

    // Cascade: the folder takes its notes and its companion record along.
    context().deleteObject(folder);
    EXPECT_TRUE(b->isDeleted());
    EXPECT_TRUE(person->toMany("notes").isEmpty());
    ASSERT_TRUE(context().save(&error)) << error.description().toStdString();
    open();
    EXPECT_TRUE(fetch("Item").isEmpty());
    EXPECT_TRUE(fetch("Info").isEmpty());
    EXPECT_EQ(fetch("Person").size(), 1);
    EXPECT_EQ(fetch("Tag").size(), 1);
    EXPECT_TRUE(fetch("Tag")[0]->toMany("notes").isEmpty());
}

TEST_F(StoreTest, DeletedRecordsAreNothingByIdentifier)
{
    auto note = insert("Note", {{"title", "n"}});
    ASSERT_TRUE(context().save());
    const ManagedObjectID id = note->objectID();
    ManagedObjectContext second(m_coordinator);
    ASSERT_TRUE(second.existingObjectWithID(id));
    EXPECT_EQ(second.existingObjectWithID(id)->stringValue("title"), "n");

    context().deleteObject(note);
    EXPECT_EQ(context().existingObjectWithID(id), nullptr);
    ASSERT_TRUE(context().save());
    Error error;
    EXPECT_EQ(context().existingObjectWithID(id, &error), nullptr);
    EXPECT_EQ(error.code(), ManagedObjectContext::ObjectNotFoundError);
    ManagedObjectContext third(m_coordinator);
    EXPECT_EQ(third.existingObjectWithID(id), nullptr);
    // An unsaved record of one context is nothing to another.
    auto unsaved = insert("Note");
    EXPECT_EQ(third.existingObjectWithID(unsaved->objectID()), nullptr);
}

TEST_F(StoreTest, SortLimitOffsetAndCount)
{
    const QStringList names{"delta", "Alpha", "charlie", "Bravo", "echo"};
    for (int i = 0; i < names.size(); ++i)
        insert("Note", {{"title", names[i]}, {"rank", i % 2}});
    ASSERT_TRUE(context().save());
    open();
    FetchRequest request("Note");
    request.setSortDescriptors({SortDescriptor("title", true, SortDescriptor::Comparison::CaseInsensitive)});
    request.setFetchOffset(1);
    request.setFetchLimit(3);
    EXPECT_EQ(titles(context().executeFetchRequest(request)), QStringList({"Bravo", "charlie", "delta"}));
    request.setSortDescriptors({SortDescriptor("rank", false), SortDescriptor("title")});
    request.setFetchOffset(0);
    request.setFetchLimit(0);
    EXPECT_EQ(titles(context().executeFetchRequest(request)),
              QStringList({"Alpha", "Bravo", "charlie", "delta", "echo"}));
    EXPECT_EQ(context().executeFetchRequestForIDs(request).size(), 5);
    request.setFetchLimit(2);
    EXPECT_EQ(context().countForFetchRequest(request), 2);
    request.setPredicate(Predicate::format("rank == 0"));
    request.setFetchLimit(0);
    EXPECT_EQ(context().countForFetchRequest(request), 3);
    // The same order when the sort must run in memory (a derived key).
    request.setPredicate({});
    request.setSortDescriptors({SortDescriptor("shout", false)});
    request.setFetchLimit(2);
    EXPECT_EQ(titles(context().executeFetchRequest(request)), QStringList({"echo", "delta"}));
    // Unsaved changes take part in order and window.
    auto first = fetch("Note", Predicate::format("title == 'echo'"))[0];
    first->setValueForKey("title", "aaa");
    request.setSortDescriptors({SortDescriptor("title", true)});
    EXPECT_EQ(titles(context().executeFetchRequest(request)), QStringList({"Alpha", "Bravo"}));
    request.setSortDescriptors({SortDescriptor("title", true, SortDescriptor::Comparison::CaseInsensitive)});
    EXPECT_EQ(titles(context().executeFetchRequest(request)), QStringList({"aaa", "Alpha"}));
}

TEST_F(StoreTest, SortThroughToOneMatchesTheInMemoryOrder)
{
    auto zed = insert("Person", {{"name", "zed"}});
    auto amy = insert("Person", {{"name", "Amy"}});
    const QList<std::pair<QString, ManagedObjectPtr>> rows{{"n1", zed}, {"n2", {}}, {"n3", amy}, {"n4", zed}};
    for (const auto& [title, author] : rows)
        insert("Note", {{"title", title}})->setToOne("author", author);
    ASSERT_TRUE(context().save());
    open();
    for (const auto comparison :
         {SortDescriptor::Comparison::Default, SortDescriptor::Comparison::CaseInsensitive}) {
        for (const bool ascending : {true, false}) {
            const QList<SortDescriptor> sort{SortDescriptor("author.name", ascending, comparison),
                                             SortDescriptor("title")};
            const QStringList inSql = titles(fetch("Note", {}, sort));
            // A comparator forces the in-memory path with the same comparison.
            const SortDescriptor same("author.name", ascending, comparison);
            const QList<SortDescriptor> memorySort{
                SortDescriptor("author.name", true,
                               [same](const QVariant& a, const QVariant& b) {
                                   return same.compareValues(a, b); // direction included
                               }),
                SortDescriptor("title")};
            EXPECT_EQ(inSql, titles(fetch("Note", {}, memorySort))) << int(comparison) << ascending;
        }
    }
    EXPECT_EQ(titles(fetch("Note", {}, {SortDescriptor("author.name"), SortDescriptor("title")})),
              QStringList({"n2", "n3", "n1", "n4"}));
}

TEST_F(StoreTest, BatchedFaultsLoadLazilyAndUnusedRecordsAreReleased)
{
    for (int i = 0; i < 30; ++i)
        insert("Note", {{"title", QStringLiteral("n%1").arg(i, 2, 10, QLatin1Char('0'))}});
    ASSERT_TRUE(context().save());
    open();
    FetchRequest request("Note");
    request.setSortDescriptors({SortDescriptor("title")});
    request.setFetchBatchSize(10);
    auto notes = context().executeFetchRequest(request);
    ASSERT_EQ(notes.size(), 30);
    for (const auto& n : notes)
        EXPECT_TRUE(n->isFault());
    EXPECT_EQ(notes[5]->stringValue("title"), "n05");
    for (int i = 5; i < 15; ++i)
        EXPECT_FALSE(notes[i]->isFault()) << i;
    EXPECT_TRUE(notes[15]->isFault());
    EXPECT_TRUE(notes[4]->isFault());

    std::weak_ptr<ManagedObject> weak = notes[0];
    notes.clear();
    EXPECT_TRUE(weak.expired());
    // A changed record is kept until saved.
    auto changed = fetch("Note", Predicate::format("title == 'n01'"))[0];
    changed->setValueForKey("title", "x");
    weak = changed;
    changed.reset();
    EXPECT_FALSE(weak.expired());
    ASSERT_TRUE(context().save());
    EXPECT_TRUE(weak.expired());
    // Turning into a fault runs the hook and reloads on next access.
    auto n = std::dynamic_pointer_cast<Note>(fetch("Note", Predicate::format("title == 'x'"))[0]);
    n->turnIntoFault();
    EXPECT_EQ(n->faultHooks, 1);
    EXPECT_TRUE(n->isFault());
    EXPECT_EQ(n->title(), "x");
}

// A list loads the records of a page of ids together; changed, new, duplicate and unknown ids are
// left as they are.
TEST_F(StoreTest, FaultsOfManyIdsLoadTogetherAndKeepUnsavedValues)
{
    for (int i = 0; i < 100; ++i)
        insert("Note", {{"title", QStringLiteral("n%1").arg(i, 2, 10, QLatin1Char('0'))}});
    ASSERT_TRUE(context().save());
    open();
    FetchRequest request("Note");
    request.setSortDescriptors({SortDescriptor("title")});
    const QList<ManagedObjectID> ids = context().executeFetchRequestForIDs(request);
    ASSERT_EQ(ids.size(), 100);
    QList<ManagedObjectPtr> notes;
    for (const ManagedObjectID& id : ids)
        notes.append(context().objectWithID(id));
    notes[3]->setValueForKey("title", "changed");
    ASSERT_TRUE(notes[5]->isFault());
    auto fresh = insert("Note", {{"title", "new"}});
    QList<ManagedObjectID> asked = ids.mid(0, 90);
    asked << ids[0] << fresh->objectID() << ManagedObjectID(ids[0].entity(), 999999);
    context().fireFaults(asked);
    for (int i = 0; i < 90; ++i)
        EXPECT_FALSE(notes[i]->isFault()) << i;
    for (int i = 90; i < 100; ++i)
        EXPECT_TRUE(notes[i]->isFault()) << i;
    EXPECT_EQ(notes[3]->stringValue("title"), "changed");
    EXPECT_EQ(notes[89]->stringValue("title"), "n89");
    EXPECT_EQ(fresh->stringValue("title"), "new");
    EXPECT_FALSE(context().existingObjectWithID(ManagedObjectID(ids[0].entity(), 999999)));
    EXPECT_EQ(notes[95]->stringValue("title"), "n95");
}

TEST_F(StoreTest, ObserversBetweenRecordsFollowChangesAndEndWithTheObserver)
{
    auto person = insert("Person", {{"name", "old"}});
    auto note = insert("Note");
    QStringList seen;
    person->addObserver("name", note.get(), [&](ManagedObject* o, const QString& key) {
        seen.append(key + "=" + o->stringValue(key));
    });
    person->setValueForKey("name", "new");
    person->setValueForKey("name", "new"); // no change, no call
    person->didChangeValueForKey("name");
    EXPECT_EQ(seen, QStringList({"name=new", "name=new"}));
    context().deleteObject(note);
    ASSERT_TRUE(context().save());
    note.reset(); // the observer is gone: its watch ends
    person->setValueForKey("name", "again");
    EXPECT_EQ(seen.size(), 2);
}

TEST_F(StoreTest, ObjectsDidChangeAnnouncesInsertsUpdatesAndDeletes)
{
    auto keep = insert("Note", {{"title", "keep"}});
    auto drop = insert("Note", {{"title", "drop"}});
    ASSERT_TRUE(context().save());
    QList<ObjectsDidChangeNotification> notes;
    QObject::connect(&context(), &ManagedObjectContext::objectsDidChange,
                     [&](const ObjectsDidChangeNotification& n) { notes.append(n); });
    keep->setValueForKey("title", "kept");
    context().deleteObject(drop);
    auto added = insert("Note");
    ASSERT_TRUE(waitUntil([&] { return !notes.isEmpty(); }));
    ASSERT_EQ(notes.size(), 1); // coalesced in one turn of the event loop
    EXPECT_EQ(notes[0].updated, QList<ManagedObjectPtr>{keep});
    EXPECT_EQ(notes[0].deleted, QList<ManagedObjectPtr>{drop});
    EXPECT_EQ(notes[0].inserted, QList<ManagedObjectPtr>{added});
    context().reset();
    EXPECT_TRUE(notes.last().invalidatedAll);
    EXPECT_FALSE(context().hasChanges());
}

TEST_F(StoreTest, UnsavedChangesAreToldPerEntityWithTheirSubEntities)
{
    auto note = insert("Note", {{"title", "note"}});
    auto person = insert("Person", {{"name", "ann"}});
    auto tag = insert("Tag", {{"name", "t"}});
    ASSERT_TRUE(context().save());
    const auto changedOf = [&](const QSet<QString>& names) { return context().hasChangesForEntities(names); };
    EXPECT_FALSE(changedOf({"Item", "Note", "Person", "Tag"}));

    struct Row
    {
        const char* what;
        std::function<void()> change;
        QSet<QString> changed;   // answer true
        QSet<QString> unchanged; // answer false
    };
    const QList<Row> rows = {
        {"update",
         [&] { person->setValueForKey("name", "bob"); },
         {"Person"},
         {"Note", "Item", "Tag", "Folder"}},
        // A record of a sub-entity is a change of its parent, never of a sibling.
        {"insert", [&] { insert("Folder"); }, {"Folder", "Item"}, {"Note", "Person"}},
        {"delete", [&] { context().deleteObject(tag); }, {"Tag"}, {"Item", "Profile"}},
        {"update of a sub-entity", [&] { note->setValueForKey("body", "b"); }, {"Note", "Item"}, {"Folder"}},
    };
    for (const Row& row : rows) {
        row.change();
        for (const QString& name : row.changed)
            EXPECT_TRUE(changedOf({name})) << row.what << " " << qPrintable(name);
        for (const QString& name : row.unchanged)
            EXPECT_FALSE(changedOf({name})) << row.what << " " << qPrintable(name);
        EXPECT_TRUE(changedOf(row.unchanged + row.changed)) << row.what;
        ASSERT_TRUE(context().save());
        EXPECT_FALSE(changedOf(row.changed)) << row.what;
    }
}

TEST_F(StoreTest, StoreReopenedWithALargerModelKeepsItsData)
{
    auto note = insert("Note", {{"title", "kept"}, {"rank", 7}});
    auto person = insert("Person", {{"name", "p"}});
    note->setToOne("author", person);
    ASSERT_TRUE(context().save());
    note.reset();
    person.reset();

    open(true);
    auto notes = fetch("Note");
    ASSERT_EQ(notes.size(), 1);
    EXPECT_EQ(notes[0]->stringValue("title"), "kept");
    EXPECT_EQ(notes[0]->int64Value("rank"), 7);
    EXPECT_FALSE(notes[0]->valueForKey("color").isValid()); // the added column is empty for old rows
    EXPECT_EQ(notes[0]->valueForKeyPath("author.name").toString(), "p");
    notes[0]->setValueForKey("color", "red");
    auto label = insert("Label", {{"text", "l"}});
    notes[0]->addToMany("labels", label);
    notes[0]->setToOne("mainLabel", label);
    EXPECT_EQ(insert("Note")->stringValue("color"), "blue"); // default of the new attribute
    ASSERT_TRUE(context().save());
    open(true);
    auto kept = fetch("Note", Predicate::format("title == 'kept'"));
    ASSERT_EQ(kept.size(), 1);
    EXPECT_EQ(kept[0]->stringValue("color"), "red");
    EXPECT_EQ(kept[0]->valueForKeyPath("mainLabel.text").toString(), "l");
    EXPECT_EQ(kept[0]->valueForKeyPath("labels.text").toList(), QVariantList{"l"});
    EXPECT_EQ(fetch("Label")[0]->toManyCount("notes"), 1);
    EXPECT_EQ(fetch("Note", Predicate::format("color == %@", "red")).size(), 1);
    EXPECT_EQ(fetch("Note", Predicate::format("ANY labels.text == 'l'")).size(), 1);
    // The original model still opens the file that the larger one extended.
    open(false);
    EXPECT_EQ(titles(fetch("Note", {}, {SortDescriptor("title")})), QStringList({"", "kept"}));
}

TEST_F(StoreTest, RemovedStoreClosesEveryConnectionUntilAnotherIsAdded)
{
    insert("Note", {{"title", "old"}});
    ASSERT_TRUE(context().save());
    ManagedObjectContext other(m_coordinator);
    FetchRequest notes("Note");
    ASSERT_EQ(other.executeFetchRequest(notes).size(), 1);
    auto unsaved = insert("Note", {{"title", "unsaved"}});
    ASSERT_TRUE(QFile::exists(m_path + "-wal"));

    m_coordinator->removePersistentStore();
    EXPECT_FALSE(m_coordinator->hasStore());
    EXPECT_TRUE(m_coordinator->storePath().isEmpty());
    // Every connection is closed: the last one took its journal with it.
    EXPECT_FALSE(QFile::exists(m_path + "-wal"));
    EXPECT_FALSE(QFile::exists(m_path + "-shm"));
    Error error;
    EXPECT_TRUE(other.executeFetchRequest(notes, &error).isEmpty());
    EXPECT_EQ(error.code(), ManagedObjectContext::FetchError);
    EXPECT_EQ(other.countForFetchRequest(notes), -1);
    EXPECT_FALSE(context().save(&error));
    EXPECT_EQ(error.code(), ManagedObjectContext::SaveError);
    EXPECT_TRUE(context().hasChanges());

    // Another store at another place: both contexts forget the old records and use the new file.
    const QString second = QDir(home().path()).filePath(QStringLiteral("second.storedata"));
    m_coordinator->addPersistentStore(second);
    EXPECT_FALSE(context().hasChanges());
    EXPECT_FALSE(unsaved->managedObjectContext());
    EXPECT_EQ(other.countForFetchRequest(notes), 0);
    auto fresh = insert("Note", {{"title", "fresh"}});
    ASSERT_TRUE(context().save(&error)) << error.description().toStdString();
    EXPECT_EQ(titles(other.executeFetchRequest(notes)), QStringList{"fresh"});
    m_coordinator->removePersistentStore();
    m_coordinator->removePersistentStore(); // nothing to do
    m_coordinator->addPersistentStore(m_path);
    EXPECT_EQ(titles(other.executeFetchRequest(notes)), QStringList{"old"});
}

TEST_F(StoreTest, ConnectionsOfContextsThatWentServeLaterContextsWithCurrentData)
{
    const FetchRequest notes("Note");
    insert("Note", {{"title", "one"}});
    ASSERT_TRUE(context().save());
    {
        ManagedObjectContext gone(m_coordinator);
        ASSERT_EQ(titles(gone.executeFetchRequest(notes)), QStringList{"one"});
    }
    insert("Note", {{"title", "two"}});
    ASSERT_TRUE(context().save());
    {
        ManagedObjectContext next(m_coordinator);
        EXPECT_EQ(titles(next.executeFetchRequest(notes)), QStringList({"one", "two"}));
    }
    // Worker threads come and go, each with its context: each sees the saves made before it.
    for (int round = 0; round < 6; ++round) {
        qint64 seen = -1;
        std::thread([&] {
            ManagedObjectContext mine(m_coordinator);
            seen = mine.countForFetchRequest(notes);
            mine.insertNewObject("Note")->setValueForKey("title", QStringLiteral("w%1").arg(round));
            ASSERT_TRUE(mine.save());
        }).join();
        EXPECT_EQ(seen, 2 + 2 * round);
        insert("Note", {{"title", QStringLiteral("m%1").arg(round)}});
        ASSERT_TRUE(context().save());
    }
    // Kept connections close with the store and never reach the store added next.
    m_coordinator->removePersistentStore();
    EXPECT_FALSE(QFile::exists(m_path + "-wal"));
    const QString second = QDir(home().path()).filePath(QStringLiteral("second.storedata"));
    m_coordinator->addPersistentStore(second);
    {
        ManagedObjectContext fresh(m_coordinator);
        EXPECT_EQ(fresh.countForFetchRequest(notes), 0);
    }
    m_coordinator->removePersistentStore();
    m_coordinator->addPersistentStore(m_path);
    ManagedObjectContext back(m_coordinator);
    EXPECT_EQ(back.countForFetchRequest(notes), 14);
}

TEST_F(StoreTest, StoreRemovedWhileAnotherThreadReadsAndWrites)
{
    // The worker's reads and writes wait for the removal or answer errors; none runs on a closed
    // connection, and the worker ends up writing to the store added last.
    std::atomic<bool> stop = false;
    std::atomic<int> rounds = 0;
    std::atomic<int> failures = 0;
    std::thread worker([&] {
        ManagedObjectContext mine(m_coordinator);
        int i = 0;
        while (!stop) {
            mine.insertNewObject("Note")->setValueForKey("title", QStringLiteral("w%1").arg(i++));
            Error error;
            if (!mine.save(&error) || mine.countForFetchRequest(FetchRequest("Note")) < 0)
                ++failures;
            mine.reset();
            ++rounds;
        }
    });
    const QString second = QDir(home().path()).filePath(QStringLiteral("second.storedata"));
    for (const QString& next : {second, m_path, second}) {
        const int before = rounds;
        EXPECT_TRUE(waitUntil([&] { return rounds > before + 2; }, 20000));
        m_coordinator->removePersistentStore();
        m_coordinator->addPersistentStore(next);
    }
    const int before = rounds;
    EXPECT_TRUE(waitUntil([&] { return rounds > before + 2; }, 20000));
    stop = true;
    worker.join();
    EXPECT_GT(context().countForFetchRequest(FetchRequest("Note")), 0);
    EXPECT_EQ(m_coordinator->storePath(), second);
}

TEST_F(StoreTest, FileOfThePreviousLayoutOpensWithItsData)
{
    auto note = insert("Note", {{"title", "kept"}});
    auto person = insert("Person", {{"name", "p"}, {"address", "p@x.com"}});
    note->setToOne("author", person);
    person->setToOne("profile", insert("Profile", {{"bio", "b"}}));
    ASSERT_TRUE(context().save());
    note.reset();
    person.reset();
    m_context.reset();
    m_coordinator.reset();
    // The previous layout indexed every link, on both sides of one-to-one pairs, over every row.
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(m_path.toUtf8().constData(), &db), SQLITE_OK);
    const char* previous = "DROP INDEX \"ZItem_author_index\";"
                           "CREATE INDEX \"ZItem_author_index\" ON \"ZItem\" (\"author\");"
                           "CREATE INDEX \"ZPerson_profile_index\" ON \"ZPerson\" (\"profile\");"
                           "CREATE INDEX \"ZProfile_person_index\" ON \"ZProfile\" (\"person\");"
                           "CREATE INDEX mine ON ZPerson (name);";
    ASSERT_EQ(sqlite3_exec(db, previous, nullptr, nullptr, nullptr), SQLITE_OK) << sqlite3_errmsg(db);
    sqlite3_close(db);

    open();
    auto notes = fetch("Note", Predicate::format("author.address == %@", "p@x.com"));
    ASSERT_EQ(notes.size(), 1);
    EXPECT_EQ(notes[0]->stringValue("title"), "kept");
    auto people = fetch("Person");
    ASSERT_EQ(people.size(), 1);
    EXPECT_EQ(people[0]->toManyCount("notes"), 1);
    EXPECT_EQ(fetch("Note", Predicate::format("author == %@", people[0])).size(), 1);
    EXPECT_EQ(people[0]->valueForKeyPath("profile.bio").toString(), "b");
    EXPECT_EQ(fetch("Profile")[0]->toOne("person"), people[0]);

    // The indexes this program no longer reads are gone; the others, and one it did not make, stay.
    m_context.reset();
    m_coordinator.reset();
    ASSERT_EQ(sqlite3_open(m_path.toUtf8().constData(), &db), SQLITE_OK);
    QStringList indexes;
    sqlite3_stmt* s = nullptr;
    sqlite3_prepare_v2(db, "SELECT name FROM sqlite_master WHERE type = 'index' AND sql IS NOT NULL", -1, &s,
                       nullptr);
    while (sqlite3_step(s) == SQLITE_ROW)
        indexes.append(QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(s, 0))));
    sqlite3_finalize(s);
    sqlite3_close(db);
    EXPECT_TRUE(indexes.contains("ZItem_author_index"));
    EXPECT_TRUE(indexes.contains("mine"));
    EXPECT_FALSE(indexes.contains("ZPerson_profile_index"));
    EXPECT_FALSE(indexes.contains("ZProfile_person_index"));
}

TEST_F(StoreTest, EntitiesWithManyKeysKeepEveryValueAndChange)
{
    // Records keep values and changed keys compactly for up to 64 keys, and otherwise beyond that.
    using T = AttributeDescription::Type;
    auto model = std::make_shared<ManagedObjectModel>();
    auto& wide = model->addEntity("Wide");
    for (int i = 0; i < 70; ++i)
        wide.addAttribute(QStringLiteral("a%1").arg(i), T::String);
    for (int i = 0; i < 66; ++i)
        wide.addToOne(QStringLiteral("r%1").arg(i), "Wide", QString());
    model->finalize();
    m_context.reset();
    m_coordinator = std::make_shared<PersistentStoreCoordinator>(model);
    m_coordinator->addPersistentStore(QDir(home().path()).filePath(QStringLiteral("wide.storedata")));
    m_context = std::make_unique<ManagedObjectContext>(m_coordinator);

    auto a = context().insertNewObject("Wide");
    auto b = context().insertNewObject("Wide");
    for (int i : {0, 3, 63, 64, 69})
        a->setValueForKey(QStringLiteral("a%1").arg(i), QStringLiteral("v%1").arg(i));
    a->setToOne("r65", b);
    a->setToOne("r1", b);
    ASSERT_TRUE(context().save());
    a.reset();
    b.reset();
    context().reset();

    auto rows = fetch("Wide", Predicate::format("a69 == 'v69'"));
    ASSERT_EQ(rows.size(), 1);
    auto row = rows[0];
    for (int i = 0; i < 70; ++i) {
        const bool set = QList<int>{0, 3, 63, 64, 69}.contains(i);
        EXPECT_EQ(row->valueForKey(QStringLiteral("a%1").arg(i)).toString(),
                  set ? QStringLiteral("v%1").arg(i) : QString())
            << i;
    }
    ASSERT_TRUE(row->toOne("r65"));
    EXPECT_EQ(row->toOne("r65"), row->toOne("r1"));
    EXPECT_FALSE(row->toOne("r64"));
    EXPECT_FALSE(row->isUpdated());
    row->setValueForKey("a66", "new");
    row->setValueForKey("a63", QVariant()); // back to nil
    row->setToOne("r64", row);
    EXPECT_TRUE(row->isUpdated());
    EXPECT_EQ(row->changedValues().keys(), QStringList({"a63", "a66", "r64"}));
    ASSERT_TRUE(context().save());
    row.reset();
    rows.clear();
    context().reset();
    row = fetch("Wide", Predicate::format("a66 == 'new'")).value(0);
    ASSERT_TRUE(row);
    EXPECT_FALSE(row->valueForKey("a63").isValid());
    EXPECT_EQ(row->stringValue("a64"), "v64");
    EXPECT_EQ(row->toOne("r64"), row);
}

TEST_F(StoreTest, LargeSaveReleasesWhatNobodyHoldsAndKeepsTheRest)
{
    QList<ManagedObjectID> ids;
    ManagedObjectPtr held;
    for (int i = 0; i < 3000; ++i) {
        auto note = insert("Note", {{"title", QStringLiteral("n%1").arg(i)}});
        ids.append(note->objectID());
        if (i == 1234)
            held = note;
    }
    auto folder = insert("Folder", {{"title", "kept"}}); // its Info companion is held by nobody
    ASSERT_TRUE(context().save());
    EXPECT_EQ(context().objectRegisteredForID(held->objectID()), held);
    EXPECT_EQ(context().objectRegisteredForID(folder->objectID()), folder);
    EXPECT_FALSE(context().objectRegisteredForID(ids[0]));
    EXPECT_FALSE(context().objectRegisteredForID(ids[2999]));
    EXPECT_EQ(held->managedObjectContext(), &context());
    held->setValueForKey("title", "changed");
    EXPECT_TRUE(context().hasChanges());
    ASSERT_TRUE(context().save());
    auto all = fetch("Note", {}, {SortDescriptor("title")});
    ASSERT_EQ(all.size(), 3000);
    EXPECT_TRUE(all.contains(held));
    EXPECT_EQ(fetch("Note", Predicate::format("title == 'changed'")).value(0), held);
    EXPECT_EQ(folder->valueForKeyPath("info.folder"), QVariant::fromValue(ManagedObjectPtr(folder)));
}

TEST_F(StoreTest, UnusableFilesRaiseTheNamedException)
{
    const QString junk = QDir(home().path()).filePath(QStringLiteral("junk.storedata"));
    QFile file(junk);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QByteArray(4096, 'x'));
    file.close();
    const QString foreign = QDir(home().path()).filePath(QStringLiteral("foreign.sqlite"));
    {
        sqlite3* db = nullptr;
        ASSERT_EQ(sqlite3_open(foreign.toUtf8().constData(), &db), SQLITE_OK);
        ASSERT_EQ(sqlite3_exec(db, "CREATE TABLE notes (x TEXT)", nullptr, nullptr, nullptr), SQLITE_OK);
        sqlite3_close(db);
    }
    struct Case
    {
        QString path;
    };
    const QList<Case> cases{{junk},
                            {foreign},
                            {QDir(home().path()).filePath(QStringLiteral("missing/folder/data.storedata"))},
                            {home().path()}};
    for (const Case& c : cases) {
        auto psc = std::make_shared<PersistentStoreCoordinator>(makeTestModel());
        try {
            psc->addPersistentStore(c.path);
            ADD_FAILURE() << "no exception for " << c.path.toStdString();
        } catch (const Exception& e) {
            EXPECT_EQ(e.name(), PersistentStoreCoordinator::kPersistentStoreOpenException)
                << c.path.toStdString();
            EXPECT_FALSE(e.reason().isEmpty());
        }
        EXPECT_FALSE(psc->hasStore());
    }
    // A store written by a newer version of the program is refused, and left alone.
    {
        sqlite3* db = nullptr;
        ASSERT_EQ(sqlite3_open(m_path.toUtf8().constData(), &db), SQLITE_OK);
        ASSERT_EQ(sqlite3_exec(db, "UPDATE Z_METADATA SET Z_VALUE = 99 WHERE Z_KEY = 'schemaVersion'",
                               nullptr, nullptr, nullptr),
                  SQLITE_OK);
        sqlite3_close(db);
        auto psc = std::make_shared<PersistentStoreCoordinator>(makeTestModel());
        EXPECT_THROW(psc->addPersistentStore(m_path), Exception);
    }
    // A damaged store: opening raises the named exception, or reading answers an error; nothing crashes.
    {
        for (int i = 0; i < 300; ++i)
            insert("Note", {{"title", QStringLiteral("note %1").arg(i)}});
        ASSERT_TRUE(context().save());
        m_context.reset();
        m_coordinator.reset();
        QFile store(m_path);
        ASSERT_TRUE(store.open(QIODevice::ReadWrite));
        const qint64 size = store.size();
        ASSERT_GT(size, 8192);
        store.seek(4096);
        store.write(QByteArray(int(size - 4096), '\xA5'));
        store.close();
        QFile::remove(m_path + "-wal");
        QFile::remove(m_path + "-shm");
        auto psc = std::make_shared<PersistentStoreCoordinator>(makeTestModel());
        try {
            psc->addPersistentStore(m_path);
            ManagedObjectContext damaged(psc);
            Error error;
            damaged.executeFetchRequest(FetchRequest("Note"), &error);
            EXPECT_FALSE(error.isNull());
        } catch (const Exception& e) {
            EXPECT_EQ(e.name(), PersistentStoreCoordinator::kPersistentStoreOpenException);
        }
    }
    // The junk file is left as it was.
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QByteArray(4096, 'x'));
}

TEST_F(StoreTest, ContextLockIsReentrantAndExcludesOtherThreads)
{
    context().lock();
    context().lock();
    bool otherGotIt = true;
    std::thread other([&] { otherGotIt = context().tryLock(); });
    other.join();
    EXPECT_FALSE(otherGotIt);
    context().unlock();
    context().unlock();
    std::thread again([&] {
        otherGotIt = context().tryLock();
        if (otherGotIt)
            context().unlock();
    });
    again.join();
    EXPECT_TRUE(otherGotIt);
}

} // namespace tavrel::test
