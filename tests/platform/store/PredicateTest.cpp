#include "StoreTestModel.h"
#include "platform/runtime/Exception.h"
#include "platform/store/KeyValueCoding.h"
#include "platform/store/PredicateParser.h"

#include <gtest/gtest.h>

namespace tavrel::test {

namespace {
QDateTime day(int year)
{
    return QDateTime(QDate(year, 1, 1), QTime(0, 0), Qt::UTC);
}
} // namespace

class PredicateTest : public StoreTest
{
protected:
    void SetUp() override
    {
        StoreTest::SetUp();
        auto alice = insert("Person", {{"name", "alice"}});
        auto bob = insert("Person", {{"name", "bob"}});
        auto red = insert("Tag", {{"name", "red"}});
        auto blue = insert("Tag", {{"name", "blue"}});
        const QList<QVariantMap> rows{
            {{"title", "plain"}, {"rank", 1}, {"score", 1.0}, {"flag", true}, {"updatedDate", day(2020)}},
            {{"title", "100% sure"}, {"rank", 5}, {"score", 1.5}, {"updatedDate", day(2021)}},
            {{"title", "a*b"}, {"rank", 10}, {"score", 2.0}},
            {{"title", "a_b"}, {"rank", 20}, {"flag", true}},
            {{"title", "it's"}, {"rank", 3}},
            {{"title", "say \"hi\""}, {"rank", 0}},
            {{"title", "Ünïcode"}, {"rank", 7}},
            {{"title", "UPPER"}, {"rank", 8}},
            {{"title", ""}, {"rank", 9}},
            {{"rank", 11}},
        };
        for (int i = 0; i < rows.size(); ++i) {
            QVariantMap values = rows[i];
            values.insert("identifier", QStringLiteral("r%1").arg(i + 1));
            m_records.append(insert("Note", values));
        }
        m_records[0]->setToOne("author", alice);
        m_records[2]->setToOne("author", bob);
        m_records[0]->addToMany("tags", red);
        m_records[1]->setToMany("tags", {red, blue});
        m_records[4]->addToMany("tags", blue);
        m_bob = bob;
        ASSERT_TRUE(context().save());
    }

    QStringList ids(const QList<ManagedObjectPtr>& objects)
    {
        QStringList result;
        for (const auto& o : objects)
            result.append(o->stringValue("identifier"));
        std::sort(result.begin(), result.end(),
                  [](const QString& a, const QString& b) { return a.mid(1).toInt() < b.mid(1).toInt(); });
        return result;
    }

    QList<ManagedObjectPtr> m_records;
    ManagedObjectPtr m_bob;
};

TEST_F(PredicateTest, SqlAndMemoryAgreeOnEveryForm)
{
    const QStringList all{"r1", "r2", "r3", "r4", "r5", "r6", "r7", "r8", "r9", "r10"};
    auto except = [&](const QStringList& out) {
        QStringList r = all;
        for (const QString& s : out)
            r.removeAll(s);
        return r;
    };
    struct Row
    {
        QString format;
        QVariantList args;
        QStringList expected;
    };
    // Lists longer than SQLite binds in one statement (the identifiers a synchronisation keeps).
    QStringList many{"plain", "it's"};
    QVariantList manyRanks{qint64(3)};
    for (int i = 0; i < 40000; ++i) {
        many.append(QStringLiteral("absent %1").arg(i));
        manyRanks.append(qint64(100000 + i));
    }
    const QList<Row> rows{
        {"title IN %@", {many}, {"r1", "r5"}},
        {"NOT (identifier IN %@)", {many}, all},
        {"rank IN %@", {manyRanks}, {"r5"}},
        {"title == %@", {"it's"}, {"r5"}},
        {"title == %@", {"a*b"}, {"r3"}},
        {"title = %@", {""}, {"r9"}},
        {"title CONTAINS %@", {"%"}, {"r2"}},
        {"title CONTAINS %@", {"*"}, {"r3"}},
        {"title CONTAINS %@", {"_"}, {"r4"}},
        {"title CONTAINS[c] %@", {"'S"}, {"r5"}},
        {"title BEGINSWITH %@", {"a*"}, {"r3"}},
        {"title BEGINSWITH[c] %@", {"upp"}, {"r8"}},
        {"title BEGINSWITH %@", {"upp"}, {}},
        {"title CONTAINS[cd] %@", {"UNI"}, {"r7"}},
        {"title CONTAINS[c] %@", {"uni"}, {}},
        {"title ENDSWITH %@", {"\"hi\""}, {"r6"}},
        {"title LIKE %@", {"a?b"}, {"r3", "r4"}},
        {"title LIKE[c] %@", {"*SURE"}, {"r2"}},
        {"title LIKE %@", {"100%"}, {}},
        {"title LIKE %@", {"100% sure"}, {"r2"}},
        {"title MATCHES %@", {"a.b"}, {"r3", "r4"}},
        {"title == nil", {}, {"r10"}},
        {"title != NULL", {}, except({"r10"})},
        {"title != %@", {"plain"}, except({"r1"})},
        {"title IN %@", {QStringList{"plain", "UPPER"}}, {"r1", "r8"}},
        {"NOT (title IN %@)", {QStringList{"plain"}}, except({"r1"})},
        {"NOT (self.identifier IN %@)", {QStringList{"r1", "r2"}}, except({"r1", "r2"})},
        {"rank > 5", {}, {"r3", "r4", "r7", "r8", "r9", "r10"}},
        {"rank >= 5 AND rank < 20", {}, {"r2", "r3", "r7", "r8", "r9", "r10"}},
        {"rank == %@", {qint64(3)}, {"r5"}},
        {"rank IN %@", {QVariant::fromValue(QList<qint64>{3, 7})}, {"r5", "r7"}},
        {"title IN %@", {QVariant::fromValue(QSet<QString>{"UPPER"})}, {"r8"}},
        {"rank =< 1", {}, {"r1", "r6"}},
        {"score <= 1.5", {}, {"r1", "r2"}},
        {"flag == YES", {}, {"r1", "r4"}},
        {"flag = %@", {false}, except({"r1", "r4"})},
        {"NOT flag == TRUE", {}, except({"r1", "r4"})},
        {"updatedDate < %@", {day(2020).addDays(100)}, {"r1"}},
        {"title == 'it\\'s'", {}, {"r5"}},
        {"title == \"plain\"", {}, {"r1"}},
        {"TRUEPREDICATE", {}, all},
        {"FALSEPREDICATE", {}, {}},
        {"%K == %@", {"title", "plain"}, {"r1"}},
        {"title BEGINSWITH 'a' OR rank == 3 && flag == NO", {}, {"r3", "r4", "r5"}},
        {"!(title == 'plain')", {}, except({"r1"})},
        {"author.name == %@", {"alice"}, {"r1"}},
        {"author.name BEGINSWITH[c] %@", {"B"}, {"r3"}},
        {"author == nil", {}, except({"r1", "r3"})},
        {"ANY tags.name == %@", {"red"}, {"r1", "r2"}},
        {"SOME tags.name IN %@", {QStringList{"blue"}}, {"r2", "r5"}},
        {"NONE tags.name == 'red'", {}, except({"r1", "r2"})},
        {"ALL tags.name BEGINSWITH 'r'", {}, except({"r2", "r5"})},
        {"(ANY tags.name == 'red' OR title == 'plain')AND rank > 1", {}, {"r2"}},
        {"title IN {'plain', 'a_b'} || rank IN {7, 8}", {}, {"r1", "r4", "r7", "r8"}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.format.toStdString());
        const Predicate p = Predicate::fromFormat(row.format, row.args);
        EXPECT_EQ(ids(fetch("Note", p)), row.expected);
        EXPECT_EQ(context().countForFetchRequest([&] {
            FetchRequest r("Note");
            r.setPredicate(p);
            return r;
        }()),
                  row.expected.size());
        QList<ManagedObjectPtr> inMemory;
        for (const auto& o : m_records)
            if (p.evaluate(o))
                inMemory.append(o);
        EXPECT_EQ(ids(inMemory), row.expected);
        EXPECT_FALSE(p.predicateFormat().isEmpty());
    }
}

TEST_F(PredicateTest, RecordArgumentsAndCodeBuiltPredicates)
{
    const ManagedObjectPtr r3 = m_records[2];
    EXPECT_EQ(ids(fetch("Note", Predicate::format("SELF == %@", r3))), QStringList{"r3"});
    EXPECT_EQ(ids(fetch("Note", Predicate::format("SELF == %@", r3.get()))), QStringList{"r3"});
    EXPECT_EQ(fetch("Note", Predicate::format("SELF != %@", r3)).size(), 9);
    EXPECT_EQ(ids(fetch("Note", Predicate::format("SELF IN %@", QList<ManagedObjectPtr>{m_records[0], r3}))),
              QStringList({"r1", "r3"}));
    EXPECT_EQ(ids(fetch("Note", Predicate::format("author == %@", m_bob))), QStringList{"r3"});
    EXPECT_EQ(ids(fetch("Note", Predicate::format("author.name BEGINSWITH[c] %@ AND SELF != %@", "b", r3))),
              QStringList{});

    const Predicate built = Predicate::andPredicate(
        {Predicate::comparison("title", Predicate::Operator::BeginsWith, "a", Predicate::CaseInsensitive),
         Predicate::notPredicate(Predicate::comparison("rank", Predicate::Operator::Equal, 10))});
    EXPECT_EQ(ids(fetch("Note", built)), QStringList{"r4"});
    EXPECT_EQ(ids(fetch("Note", Predicate::orPredicate({built, Predicate::format("rank == 0")}))),
              QStringList({"r4", "r6"}));
    // Blocks run in memory, combined with what runs in SQL.
    const Predicate block = Predicate::withBlock(
        [](const QVariant& o) { return KeyValueCoding::valueForKey(o, "title").toString().size() == 3; });
    EXPECT_EQ(ids(fetch("Note", Predicate::andPredicate({block, Predicate::format("rank > 5")}))),
              QStringList({"r3", "r4"}));
    // Plain values and maps evaluate too.
    EXPECT_TRUE(
        Predicate::format("SELF MATCHES %@", "[a-z]+@[a-z]+\\.[a-z]{2,4}").evaluate(QVariant("me@x.org")));
    EXPECT_FALSE(Predicate::format("SELF MATCHES %@", "[a-z]+").evaluate(QVariant("me@x.org")));
    EXPECT_TRUE(Predicate::format("name == %@", "n").evaluate(QVariant(QVariantMap{{"name", "n"}})));
    EXPECT_TRUE(Predicate().evaluate(QVariant()));
}

// Texts whose case folding leaves ASCII, and a leading U+FEFF, which UTF-8 readers like to drop: a fetch
// (whose ASCII arguments go through NOCASE) and the evaluation of the records read back agree on them.
TEST_F(PredicateTest, SqlAndMemoryAgreeOnTextsThatFoldOrDecodeOddly)
{
    const QString kelvin(QChar(0x212A));
    const QString longS(QChar(0x17F));
    const QString mark = QString(QChar(0xFEFF)) + QStringLiteral("mark");
    const QList<QPair<QString, QString>> stored{{"k1", kelvin}, {"k2", QStringLiteral("k")},
                                                {"k3", longS},  {"k4", QStringLiteral("S")},
                                                {"k5", mark},   {"k6", QStringLiteral("")}};
    for (const auto& [id, title] : stored)
        insert("Note", {{"identifier", id}, {"title", title}});
    ASSERT_TRUE(context().save());
    context().reset();
    const QList<ManagedObjectPtr> notes = fetch("Note", Predicate::format("identifier BEGINSWITH 'k'"));
    ASSERT_EQ(notes.size(), 6);
    for (const ManagedObjectPtr& note : notes) {
        if (note->stringValue("identifier") == QLatin1String("k5")) {
            EXPECT_EQ(note->stringValue("title"), mark) << "the stored text comes back whole";
        }
    }

    const struct
    {
        QString format;
        QVariantList args;
        QStringList expected;
    } rows[] = {
        {"title ==[c] %@", {"k"}, {"k2"}},
        {"title ==[c] %@", {"K"}, {"k2"}},
        {"title ==[c] %@", {kelvin}, {"k1"}},
        {"title ==[c] %@", {"s"}, {"k4"}},
        {"title ==[c] %@", {longS}, {"k3"}},
        {"title ==[cd] %@", {"k"}, {"k1", "k2"}}, // compatibility decomposition makes the sign a K
        {"title == %@", {mark}, {"k5"}},
        {"title == %@", {"mark"}, {}},
        {"title ==[c] %@", {"MARK"}, {}},
        {"title BEGINSWITH %@", {QString(QChar(0xFEFF))}, {"k5"}},
        // No text, not even "", lies in nil (SQL answers no row for nil).
        {"title IN %@", {QString()}, {}},
        {"title IN[c] %@", {QString()}, {}},
        {"title IN %@", {"Smart"}, {"k4", "k6"}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE((row.format + QLatin1Char(' ') + row.args.value(0).toString()).toStdString());
        const Predicate p = Predicate::fromFormat(row.format, row.args);
        QStringList fetched =
            ids(fetch("Note", Predicate::andPredicate({p, Predicate::format("identifier BEGINSWITH 'k'")})));
        QStringList inMemory;
        for (const ManagedObjectPtr& note : notes)
            if (p.evaluate(note))
                inMemory.append(note->stringValue("identifier"));
        std::sort(fetched.begin(), fetched.end());
        std::sort(inMemory.begin(), inMemory.end());
        EXPECT_EQ(fetched, row.expected);
        EXPECT_EQ(inMemory, row.expected);
    }
}

TEST_F(PredicateTest, NestingBeyondTheLimitRaisesRatherThanOverflowingTheStack)
{
    const int limit = PredicateParser::kMaximumNesting;
    // As deep as the parser goes, and deeper than SQLite parses: such a fetch runs in memory.
    QString nestedAnd = QStringLiteral("rank == 1");
    for (int i = 1; i < limit; ++i)
        nestedAnd = QStringLiteral("(rank < 5 AND %1)").arg(nestedAnd);
    const QStringList deepest{
        QString(limit, u'(') + QStringLiteral("rank == 1") + QString(limit, u')'),
        QStringLiteral("NOT ").repeated(limit) + QStringLiteral("rank == 1"),
        QStringLiteral("NOT ").repeated(limit - 1) + QStringLiteral("rank != 1"),
        nestedAnd,
    };
    for (const QString& format : deepest) {
        SCOPED_TRACE(format.left(40).toStdString());
        EXPECT_EQ(ids(fetch("Note", Predicate::fromFormat(format))), QStringList{"r1"});
    }
    const QStringList tooDeep{
        QString(4000, u'(') + QStringLiteral("rank == 1") + QString(4000, u')'),
        QStringLiteral("NOT ").repeated(10000) + QStringLiteral("rank == 1"),
        QStringLiteral("!").repeated(limit + 1) + QStringLiteral("rank == 1"),
        QStringLiteral("rank IN ") + QString(5000, u'{') + QString(5000, u'}'),
    };
    for (const QString& format : tooDeep) {
        SCOPED_TRACE(format.left(20).toStdString());
        try {
            Predicate::fromFormat(format);
            ADD_FAILURE() << "parsed";
        } catch (const Exception& e) {
            EXPECT_EQ(e.name(), Exception::kInvalidArgumentException);
        }
    }
}

TEST_F(PredicateTest, MalformedFormatsRaise)
{
    const QStringList bad{"title ==",         "title == %@",     "(title == 'a'",
                          "title == 'open",   "title BETWEEN 1", "ANY 'x' == 1",
                          "title == 'a' AND", "title ==[z] 'a'", "== 'a'"};
    for (const QString& format : bad) {
        SCOPED_TRACE(format.toStdString());
        try {
            Predicate::fromFormat(format);
            ADD_FAILURE() << "parsed";
        } catch (const Exception& e) {
            EXPECT_EQ(e.name(), Exception::kInvalidArgumentException);
        }
    }
}

} // namespace tavrel::test
