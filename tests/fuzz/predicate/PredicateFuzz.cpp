// The predicate parser and its two evaluators: a format (user text only ever comes as an argument, but
// the format reader must survive anything) either raises NSInvalidArgumentException or parses, and a
// fetch that runs the predicate in SQL finds exactly the records the predicate accepts in memory.
//
// Input: the first line picks the arguments, each byte one of the 34 values of Fixture::values (its code
// modulo 34: "D" is the first), the rest is the format.
#include "FuzzSupport.h"
#include "platform/runtime/Exception.h"
#include "platform/store/FetchRequest.h"
#include "platform/store/ManagedObjectContext.h"
#include "platform/store/ManagedObjectModel.h"
#include "platform/store/PersistentStoreCoordinator.h"
#include "platform/store/Predicate.h"

#include <QDateTime>
#include <QDir>
#include <QSet>
#include <QStringList>
#include <memory>

using namespace tavrel;

namespace {

// Texts whose folding, escaping or storage has tripped readers before.
const QStringList& texts()
{
    static const QStringList list = {
        QString(),
        QStringLiteral(""),
        QStringLiteral("k"),
        QStringLiteral("K"),
        QString(QChar(0x212A)), // Kelvin sign
        QStringLiteral("s"),
        QString(QChar(0x17F)),                          // long s
        QString(QChar(0xFEFF)) + QStringLiteral("abc"), // leading U+FEFF
        QStringLiteral("abc"),
        QStringLiteral("ABC"),
        QString::fromUtf8("\xC3\xA9t\xC3\xA9"), // été, composed
        QStringLiteral("e\u0301te\u0301"),      // été, decomposed
        QString::fromUtf8("stra\xC3\x9F"
                          "e"), // straße
        QStringLiteral("STRASSE"),
        QString(QChar(0x130)), // dotted capital I
        QStringLiteral("i"),
        QStringLiteral("a*b?c"),
        QStringLiteral("50% off_now"),
        QStringLiteral("it's \"quoted\" \\"),
        QStringLiteral("\xD83D\xDE00 emoji"),
    };
    return list;
}

struct Fixture
{
    std::shared_ptr<ManagedObjectModel> model;
    std::shared_ptr<PersistentStoreCoordinator> coordinator;
    std::unique_ptr<ManagedObjectContext> context;
    QList<ManagedObjectPtr> items;
    QList<ManagedObjectPtr> people;
    QVariantList values; // what the first line of an input picks from
};

Fixture& fixture()
{
    static Fixture instance;
    return instance;
}

void makeStore()
{
    using T = AttributeDescription::Type;
    using R = RelationshipDescription::DeleteRule;
    Fixture& f = fixture();
    f.model = std::make_shared<ManagedObjectModel>();
    f.model->addEntity(QStringLiteral("Item"))
        .addAttribute(QStringLiteral("title"), T::String, {}, true)
        .addAttribute(QStringLiteral("note"), T::String)
        .addAttribute(QStringLiteral("count"), T::Int64)
        .addAttribute(QStringLiteral("score"), T::Double)
        .addAttribute(QStringLiteral("flag"), T::Bool)
        .addAttribute(QStringLiteral("when"), T::Date)
        .addAttribute(QStringLiteral("blob"), T::Data)
        .addToOne(QStringLiteral("owner"), QStringLiteral("Person"), QStringLiteral("items"), R::Nullify)
        .addToMany(QStringLiteral("tags"), QStringLiteral("Person"), QStringLiteral("tagged"), R::Nullify)
        .addCaseInsensitiveIndex(QStringLiteral("title"));
    f.model->addEntity(QStringLiteral("Person"))
        .addAttribute(QStringLiteral("address"), T::String, {}, true)
        .addToMany(QStringLiteral("items"), QStringLiteral("Item"), QStringLiteral("owner"), R::Nullify)
        .addToMany(QStringLiteral("tagged"), QStringLiteral("Item"), QStringLiteral("tags"), R::Nullify)
        .addCaseInsensitiveIndex(QStringLiteral("address"));
    f.model->finalize();
    f.coordinator = std::make_shared<PersistentStoreCoordinator>(f.model);
    f.coordinator->addPersistentStore(fuzz::homePath() + QStringLiteral("/predicates.sqlite"));
    f.context = std::make_unique<ManagedObjectContext>(f.coordinator);

    const QStringList& t = texts();
    const QDateTime epoch = QDateTime::fromMSecsSinceEpoch(0, Qt::UTC);
    for (int i = 0; i < 4; ++i) {
        ManagedObjectPtr person = f.context->insertNewObject(QStringLiteral("Person"));
        person->setValueForKey(QStringLiteral("address"), t.at((i * 3 + 2) % t.size()));
        f.people.append(person);
    }
    for (int i = 0; i < t.size() + 4; ++i) {
        ManagedObjectPtr item = f.context->insertNewObject(QStringLiteral("Item"));
        item->setValueForKey(QStringLiteral("title"), t.at(i % t.size()));
        item->setValueForKey(QStringLiteral("note"), t.at((i * 7 + 3) % t.size()));
        if (i % 5 != 0) {
            item->setValueForKey(QStringLiteral("count"), qint64(i % 7) - 3);
            item->setValueForKey(QStringLiteral("score"), (i % 9) * 0.5 - 1.0);
            item->setValueForKey(QStringLiteral("flag"), i % 2 == 0);
            item->setValueForKey(QStringLiteral("when"), epoch.addSecs(qint64(i) * 3600));
            item->setValueForKey(QStringLiteral("blob"), t.at(i % t.size()).toUtf8());
        }
        if (i % 4 != 3)
            item->setToOne(QStringLiteral("owner"), f.people.at(i % f.people.size()));
        for (int p = 0; p < i % 3; ++p)
            item->addToMany(QStringLiteral("tags"), f.people.at((i + p) % f.people.size()));
        f.items.append(item);
    }
    Error error;
    fuzz::check(f.context->save(&error), "the predicate store cannot be saved", error.description());
    // Memory evaluates the records as the store reads them back.
    f.context->reset();
    f.items = f.context->executeFetchRequest(FetchRequest(QStringLiteral("Item")), &error);
    f.people = f.context->executeFetchRequest(FetchRequest(QStringLiteral("Person")), &error);
    fuzz::check(!error && f.people.size() == 4, "the predicate store cannot be read", error.description());

    for (const QString& text : t)
        f.values.append(text);
    // QList::append would add a list's items one by one: lists go in as one value.
    f.values.append(QVariant(QVariantList{QStringLiteral("abc"), QString(), QStringLiteral("k")}));
    f.values.append(QVariant(QStringList{QStringLiteral("K"), QString(QChar(0x212A)), QStringLiteral("")}));
    f.values.append(QVariant(QVariantList{}));
    f.values.append(QVariant());
    f.values.append(qint64(0));
    f.values.append(qint64(-3));
    f.values.append(2.5);
    f.values.append(true);
    f.values.append(epoch.addSecs(7200));
    f.values.append(QByteArray("abc"));
    f.values.append(QVariant::fromValue(f.people.at(1)));
    f.values.append(
        QVariant(QVariantList{QVariant::fromValue(f.people.at(0)), QVariant::fromValue(f.people.at(2))}));
    f.values.append(QStringLiteral("title"));
    f.values.append(QStringLiteral("owner.address"));
}

QString describe(const QString& format, const QVariantList& arguments)
{
    QStringList parts{QStringLiteral("format: ") + format};
    for (const QVariant& argument : arguments)
        parts.append(QStringLiteral("argument: ") + argument.toString());
    return parts.join(QLatin1Char('\n'));
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    fuzz::setUpProcess(argc, argv);
    makeStore();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Fixture& f = fixture();
    const QByteArray bytes = fuzz::bytesOf(data, size);
    const qsizetype newline = bytes.indexOf('\n');
    const QByteArray picks = newline < 0 ? QByteArray() : bytes.left(newline);
    const QString format = QString::fromUtf8(newline < 0 ? bytes : bytes.mid(newline + 1));
    QVariantList arguments;
    for (const char c : picks)
        arguments.append(f.values.at(static_cast<unsigned char>(c) % f.values.size()));

    Predicate predicate;
    try {
        predicate = Predicate::fromFormat(format, arguments);
    } catch (const Exception&) {
        return 0;
    }
    (void)predicate.predicateFormat();

    QSet<ManagedObjectID> inMemory;
    bool evaluated = true;
    try {
        for (const ManagedObjectPtr& item : f.items)
            if (predicate.evaluate(item))
                inMemory.insert(item->objectID());
    } catch (const Exception&) {
        evaluated = false; // an unknown key or a bad pattern: the fetch must not crash on it either
    }

    FetchRequest request(QStringLiteral("Item"));
    request.setPredicate(predicate);
    Error error;
    const QList<ManagedObjectPtr> fetched = f.context->executeFetchRequest(request, &error);
    if (!evaluated)
        return 0;
    fuzz::check(!error, "a fetch fails where memory evaluates the predicate",
                describe(format, arguments) + QStringLiteral("\nerror: ") + error.description());
    QSet<ManagedObjectID> inStore;
    for (const ManagedObjectPtr& item : fetched)
        inStore.insert(item->objectID());
    fuzz::check(inStore == inMemory, "the fetch and the evaluation in memory disagree",
                describe(format, arguments) +
                    QStringLiteral("\nin memory %1, fetched %2").arg(inMemory.size()).arg(inStore.size()));
    return 0;
}
