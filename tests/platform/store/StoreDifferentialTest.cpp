#include "StoreTestModel.h"

#include <QRandomGenerator>
#include <gtest/gtest.h>

namespace tavrel::test {

// Random data and random predicates and orders: what runs in SQL must answer exactly what the same
// predicate or order answers in memory.
class StoreDifferentialTest : public StoreTest
{
protected:
    void SetUp() override
    {
        StoreTest::SetUp();
        QRandomGenerator random(20261210);
        auto pick = [&](const QVariantList& pool) { return pool[random.bounded(int(pool.size()))]; };
        m_people = {insert("Person", {{"name", "Ann"}}), insert("Person", {{"name", "bob"}}),
                    insert("Person", {{"name", "Çelik"}})};
        m_tags = {insert("Tag", {{"name", "red"}}), insert("Tag", {{"name", "Red"}}),
                  insert("Tag", {{"name", "blue"}})};
        for (int i = 0; i < 120; ++i) {
            auto note =
                insert("Note", {{"identifier", QStringLiteral("id%1").arg(i, 3, 10, QLatin1Char('0'))},
                                {"title", pick(titlePool())},
                                {"rank", pick(rankPool())},
                                {"score", pick({QVariant(), 0.5, 1.0, 2.25})},
                                {"flag", pick({true, false})},
                                {"updatedDate", pick(datePool())}});
            const int who = random.bounded(4);
            if (who < 3)
                note->setToOne("author", m_people[who]);
            for (const auto& tag : m_tags)
                if (random.bounded(3) == 0)
                    note->addToMany("tags", tag);
        }
        ASSERT_TRUE(context().save());
        m_all = fetch("Note");
    }

    static QVariantList titlePool()
    {
        return {QVariant(), "",    "alpha", "Alpha",     "ALPHA beta",  "élan", "Elan",   "a%b",  "a_b",
                "a*b",      "a?b", "it's",  "say \"x\"", "back\\slash", "zeta", "Zeta 2", "100%", "ß"};
    }
    static QVariantList rankPool() { return {QVariant(), -3, 0, 1, 2, 10, 250}; }
    static QVariantList datePool()
    {
        return {QVariant(), QDateTime::fromMSecsSinceEpoch(0, Qt::UTC),
                QDateTime::fromMSecsSinceEpoch(1700000000000, Qt::UTC),
                QDateTime::fromMSecsSinceEpoch(1800000000000, Qt::UTC)};
    }

    Predicate randomAtom(QRandomGenerator& random)
    {
        using Op = Predicate::Operator;
        auto pick = [&](const QVariantList& pool) { return pool[random.bounded(int(pool.size()))]; };
        const int options = random.bounded(4);
        switch (random.bounded(8)) {
        case 0: {
            static const Op ops[] = {Op::Equal,    Op::NotEqual, Op::BeginsWith, Op::EndsWith,
                                     Op::Contains, Op::Like,     Op::Less,       Op::GreaterOrEqual};
            const QVariantList needles{QVariant(), "",    "a",   "A",  "alpha", "e",   "E",
                                       "%",        "_",   "*",   "?",  "'",     "\"",  "\\",
                                       "a*",       "a?b", "*a*", "ss", "ß",     "lan", "zeta"};
            return Predicate::comparison("title", ops[random.bounded(8)], pick(needles), options);
        }
        case 1: {
            static const Op ops[] = {Op::Equal,       Op::NotEqual, Op::Less,
                                     Op::LessOrEqual, Op::Greater,  Op::GreaterOrEqual};
            return Predicate::comparison("rank", ops[random.bounded(6)],
                                         pick({QVariant(), 0, 1, 2, 10, -1, 2.5}));
        }
        case 2:
            return Predicate::comparison("title", Op::In,
                                         QVariantList{pick(titlePool()), pick(titlePool()), "nothing"},
                                         random.bounded(2) ? Predicate::CaseInsensitive : 0);
        case 3:
            return Predicate::comparison("flag", random.bounded(2) ? Op::Equal : Op::NotEqual,
                                         pick({true, false, 1}));
        case 4:
            return Predicate::comparison("updatedDate", random.bounded(2) ? Op::Less : Op::Equal,
                                         pick(datePool()));
        case 5:
            return Predicate::comparison("author.name", random.bounded(2) ? Op::BeginsWith : Op::Equal,
                                         pick({"a", "Ann", "B", "c", "Çelik"}), options);
        case 6: {
            static const Predicate::Modifier modifiers[] = {
                Predicate::Modifier::Any, Predicate::Modifier::All, Predicate::Modifier::None};
            return Predicate::comparison("tags.name", random.bounded(2) ? Op::Equal : Op::BeginsWith,
                                         pick({"red", "r", "blue", "b"}), options,
                                         modifiers[random.bounded(3)]);
        }
        default:
            return Predicate::comparison(
                "author", random.bounded(2) ? Op::Equal : Op::NotEqual,
                random.bounded(4) == 0 ? QVariant() : QVariant::fromValue(m_people[random.bounded(3)]));
        }
    }

    Predicate randomPredicate(QRandomGenerator& random, int depth)
    {
        if (depth == 0 || random.bounded(3) == 0)
            return randomAtom(random);
        switch (random.bounded(3)) {
        case 0:
            return Predicate::andPredicate(
                {randomPredicate(random, depth - 1), randomPredicate(random, depth - 1)});
        case 1:
            return Predicate::orPredicate(
                {randomPredicate(random, depth - 1), randomPredicate(random, depth - 1)});
        default:
            return Predicate::notPredicate(randomPredicate(random, depth - 1));
        }
    }

    static QStringList identifiers(const QList<ManagedObjectPtr>& objects, bool sorted)
    {
        QStringList result;
        for (const auto& o : objects)
            result.append(o->stringValue("identifier"));
        if (sorted)
            result.sort();
        return result;
    }

    QList<ManagedObjectPtr> m_people, m_tags, m_all;
};

TEST_F(StoreDifferentialTest, RandomPredicatesAnswerAlikeInSqlAndInMemory)
{
    QRandomGenerator random(7);
    for (int i = 0; i < 400; ++i) {
        const Predicate p = randomPredicate(random, 3);
        SCOPED_TRACE(p.predicateFormat().toStdString());
        QList<ManagedObjectPtr> expected;
        for (const auto& o : m_all)
            if (p.evaluate(o))
                expected.append(o);
        FetchRequest request("Note");
        request.setPredicate(p);
        Error error;
        const auto found = context().executeFetchRequest(request, &error);
        ASSERT_TRUE(error.isNull()) << error.description().toStdString();
        ASSERT_EQ(identifiers(found, true), identifiers(expected, true));
        ASSERT_EQ(context().countForFetchRequest(request), expected.size());
    }
}

TEST_F(StoreDifferentialTest, RandomOrdersAnswerAlikeInSqlAndInMemory)
{
    QRandomGenerator random(11);
    const QStringList keys{"title", "rank", "score", "flag", "updatedDate", "author.name"};
    for (int i = 0; i < 120; ++i) {
        QList<SortDescriptor> inSql, inMemory;
        for (int k = 0, n = 1 + random.bounded(3); k < n; ++k) {
            const SortDescriptor d(keys[random.bounded(int(keys.size()))], random.bounded(2) == 0,
                                   SortDescriptor::Comparison(random.bounded(4)));
            inSql.append(d);
            inMemory.append(SortDescriptor(
                d.key(), true, [d](const QVariant& a, const QVariant& b) { return d.compareValues(a, b); }));
        }
        // A unique last key, so that ties cannot differ.
        inSql.append(SortDescriptor("identifier"));
        inMemory.append(SortDescriptor("identifier"));
        FetchRequest request("Note");
        request.setSortDescriptors(inSql);
        request.setFetchOffset(random.bounded(20));
        request.setFetchLimit(random.bounded(40));
        const auto sqlOrder = context().executeFetchRequest(request);
        request.setSortDescriptors(inMemory);
        const auto memoryOrder = context().executeFetchRequest(request);
        ASSERT_EQ(identifiers(sqlOrder, false), identifiers(memoryOrder, false)) << i;
    }
}

TEST_F(StoreDifferentialTest, UnsavedChangesTakePartAlike)
{
    QRandomGenerator random(23);
    auto pick = [&](const QVariantList& pool) { return pool[random.bounded(int(pool.size()))]; };
    QList<ManagedObjectPtr> live = m_all;
    for (int i = 0; i < 30; ++i) {
        auto& o = live[random.bounded(int(live.size()))];
        o->setValueForKey("title", pick(titlePool()));
        o->setValueForKey("rank", pick(rankPool()));
    }
    for (int i = 0; i < 10; ++i) {
        const int at = random.bounded(int(live.size()));
        context().deleteObject(live[at]);
        live.removeAt(at);
    }
    for (int i = 0; i < 10; ++i)
        live.append(insert("Note", {{"identifier", QStringLiteral("new%1").arg(i)},
                                    {"title", pick(titlePool())},
                                    {"rank", pick(rankPool())}}));
    for (int i = 0; i < 200; ++i) {
        const Predicate p = randomPredicate(random, 2);
        SCOPED_TRACE(p.predicateFormat().toStdString());
        QList<ManagedObjectPtr> expected;
        for (const auto& o : live)
            if (p.evaluate(o))
                expected.append(o);
        const QList<SortDescriptor> sort{SortDescriptor("rank", random.bounded(2) == 0),
                                         SortDescriptor("identifier")};
        SortDescriptor::sortObjects(expected, sort);
        const qsizetype offset = random.bounded(5);
        const qsizetype limit = random.bounded(10);
        expected = expected.mid(offset, limit ? limit : -1);
        FetchRequest request("Note");
        request.setPredicate(p);
        request.setSortDescriptors(sort);
        request.setFetchOffset(offset);
        request.setFetchLimit(limit);
        ASSERT_EQ(identifiers(context().executeFetchRequest(request), false), identifiers(expected, false));
    }
}

} // namespace tavrel::test
