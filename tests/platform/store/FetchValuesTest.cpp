#include "StoreTestModel.h"

#include <gtest/gtest.h>

namespace tavrel {
namespace {

class FetchValuesTest : public test::StoreTest
{
protected:
    // Two authors, a folder, three notes with tags; saved.
    void fill()
    {
        auto ann =
            insert("Person", {{"name", QStringLiteral("Ann")}, {"address", QStringLiteral("ann@x.org")}});
        auto bob =
            insert("Person", {{"name", QStringLiteral("Bob")}, {"address", QStringLiteral("bob@x.org")}});
        auto red = insert("Tag", {{"name", QStringLiteral("red")}});
        auto blue = insert("Tag", {{"name", QStringLiteral("blue")}});
        const QDateTime day(QDate(2026, 1, 2), QTime(3, 4), Qt::UTC);
        m_a = insert("Note",
                     {{"title", QStringLiteral("a")}, {"rank", 3}, {"updatedDate", day}, {"flag", true}});
        m_b = insert("Note", {{"title", QStringLiteral("b")}, {"rank", 1}});
        m_c = insert("Note", {{"title", QStringLiteral("c")}, {"rank", 2}});
        m_folder = insert("Folder", {{"title", QStringLiteral("f")}, {"rank", 0}});
        m_a->setToOne("author", ann);
        m_c->setToOne("author", bob);
        m_a->setToOne("folder", m_folder);
        m_a->addToMany("tags", red);
        m_a->addToMany("tags", blue);
        m_c->addToMany("tags", red);
        ASSERT_TRUE(context().save());
    }

    QList<FetchColumn> columns() const
    {
        return {FetchColumn::keyPath(QStringLiteral("title")),
                FetchColumn::keyPath(QStringLiteral("author.address")),
                FetchColumn::keyPath(QStringLiteral("author")),
                FetchColumn::keyPath(QStringLiteral("entity.name")),
                FetchColumn::count(QStringLiteral("tags")),
                FetchColumn::condition(
                    Predicate::format(QStringLiteral("ANY tags.name == %@"), QStringLiteral("red"))),
                FetchColumn::keyPath(QStringLiteral("updatedDate")),
                FetchColumn::keyPath(QStringLiteral("flag"))};
    }

    ManagedObjectPtr m_a, m_b, m_c, m_folder;
};

// The values read in SQL are those the records answer, also when unsaved changes make the context
// read the records instead, and the order and filter are the request's.
TEST_F(FetchValuesTest, ReadsTheValuesTheRecordsHoldInSqlAndInMemory)
{
    fill();
    FetchRequest request(QStringLiteral("Item"));
    request.setPredicate(Predicate::format(QStringLiteral("rank > %@"), 0));
    request.setSortDescriptors({SortDescriptor(QStringLiteral("rank"), false)});
    const auto expectRows = [&](const ManagedObjectContext::FetchedValues& fetched) {
        ASSERT_EQ(fetched.ids, (QList<ManagedObjectID>{m_a->objectID(), m_c->objectID(), m_b->objectID()}));
        ASSERT_EQ(fetched.values.size(), 3);
        const QVariantList& a = fetched.values.at(0);
        EXPECT_EQ(a.at(0).toString(), QStringLiteral("a"));
        EXPECT_EQ(a.at(1).toString(), QStringLiteral("ann@x.org"));
        EXPECT_EQ(a.at(2).value<ManagedObjectID>(), m_a->toOne("author")->objectID());
        EXPECT_EQ(a.at(3).toString(), QStringLiteral("Note"));
        EXPECT_EQ(a.at(4).toLongLong(), 2);
        EXPECT_TRUE(a.at(5).toBool());
        EXPECT_EQ(a.at(6).toDateTime(), QDateTime(QDate(2026, 1, 2), QTime(3, 4), Qt::UTC));
        EXPECT_TRUE(a.at(7).toBool());
        const QVariantList& b = fetched.values.at(2);
        // Missing links and values are nil.
        EXPECT_FALSE(b.at(1).isValid());
        EXPECT_FALSE(b.at(2).isValid());
        EXPECT_EQ(b.at(4).toLongLong(), 0);
        EXPECT_FALSE(b.at(5).toBool());
        EXPECT_FALSE(b.at(6).isValid());
        EXPECT_FALSE(b.at(7).toBool());
        const QVariantList& c = fetched.values.at(1);
        EXPECT_EQ(c.at(1).toString(), QStringLiteral("bob@x.org"));
        EXPECT_EQ(c.at(4).toLongLong(), 1);
        EXPECT_TRUE(c.at(5).toBool());
    };
    Error error;
    const auto inSql = context().executeFetchRequestForValues(request, columns(), &error);
    EXPECT_TRUE(error.isNull());
    expectRows(inSql);

    // An unsaved change of the entity: the records are read, with the same answers.
    m_folder->setValueForKey(QStringLiteral("identifier"), QStringLiteral("changed"));
    const auto inMemory = context().executeFetchRequestForValues(request, columns(), &error);
    EXPECT_TRUE(error.isNull());
    expectRows(inMemory);
}

// A to-many of a sub-entity counts nothing for the others of the fetched hierarchy; an unknown key
// fails the fetch with an error rather than answering wrong values.
TEST_F(FetchValuesTest, CountsRelationshipsOfSubentitiesAndRefusesUnknownKeys)
{
    fill();
    FetchRequest request(QStringLiteral("Item"));
    request.setSortDescriptors({SortDescriptor(QStringLiteral("rank"))});
    Error error;
    const auto fetched = context().executeFetchRequestForValues(
        request, {FetchColumn::count(QStringLiteral("notes"))}, &error);
    ASSERT_TRUE(error.isNull());
    ASSERT_EQ(fetched.ids.size(), 4);
    EXPECT_EQ(fetched.ids.first(), m_folder->objectID());
    EXPECT_EQ(fetched.values.first().first().toLongLong(), 1);
    EXPECT_EQ(fetched.values.last().first().toLongLong(), 0);

    const auto unknown = context().executeFetchRequestForValues(
        request, {FetchColumn::keyPath(QStringLiteral("nothing.here"))}, &error);
    EXPECT_FALSE(error.isNull());
    EXPECT_TRUE(unknown.ids.isEmpty());
}

} // namespace
} // namespace tavrel
