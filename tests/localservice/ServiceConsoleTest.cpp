#include "ServiceConsole.h"

#include "LocalServiceFixture.h"

namespace tavrel::test {
namespace {

class ServiceConsoleTest : public LocalServiceFixture
{
protected:
    QByteArray ask(const QString& command) { return m_console.answer(command.toUtf8()); }

    localservice::ServiceConsole m_console{m_service};
};

// Changes made through the console are the service's own, and a command it cannot carry out changes
// nothing; every answer ends with its "." line.
TEST_F(ServiceConsoleTest, CommandsChangeTheAccountOrAnswerAnErrorAndChangeNothing)
{
    generate(3);
    const QString first = m_service.documentIds().constFirst();
    struct Row
    {
        QString command;
        QByteArray answer; // the first line
        bool changes;
    };
    const Row rows[] = {
        {QStringLiteral("rename %1 A title with spaces").arg(first), "ok", true},
        {QStringLiteral("  add   Added by someone  "), "ok", true},
        {QStringLiteral("share %1 ann@example.org writer").arg(first), "ok", true},
        {QStringLiteral("trash %1").arg(first), "ok", true},
        {QStringLiteral("rename document:none Title"), "error: nothing matched", false},
        {QStringLiteral("delete document:none"), "error: nothing matched", false},
        {QStringLiteral("rename %1").arg(first), "error: unknown command rename", false},
        {QStringLiteral("share %1 ann@example.org").arg(first), "error: unknown command share", false},
        {QStringLiteral("add"), "error: unknown command add", false},
        {QStringLiteral("explode"), "error: unknown command explode", false},
        {QString(), "error: unknown command ", false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.command.toStdString());
        const qint64 stamp = m_service.largestChangestamp();
        const QByteArray answer = ask(row.command);
        EXPECT_TRUE(answer.endsWith("\n.\n")) << answer.toStdString();
        EXPECT_EQ(answer.left(answer.indexOf('\n')), row.answer);
        EXPECT_EQ(m_service.largestChangestamp() > stamp, row.changes);
    }
    EXPECT_EQ(m_service.documentTitle(first), QStringLiteral("A title with spaces"));
    EXPECT_EQ(m_service.documentIds().size(), 4);
}

TEST_F(ServiceConsoleTest, ReadsListTheAccountAndTheRequestsReceived)
{
    generate(2);
    const auto lines = [&](const QString& command) {
        QList<QByteArray> all = ask(command).split('\n');
        EXPECT_EQ(all.takeLast(), QByteArray());
        EXPECT_EQ(all.takeLast(), QByteArray("."));
        return all;
    };
    QStringList ids;
    for (const QByteArray& line : lines(QStringLiteral("ids")))
        ids.append(QString::fromUtf8(line));
    EXPECT_EQ(ids, m_service.documentIds());
    EXPECT_EQ(lines(QStringLiteral("changestamp")),
              QList<QByteArray>{QByteArray::number(m_service.largestChangestamp())});

    ASSERT_EQ(ask(QStringLiteral("clear-journal")), QByteArray("ok\n.\n"));
    ASSERT_TRUE(get("/feeds/default/private/full?max-results=1"));
    const QList<QByteArray> journal = lines(QStringLiteral("journal"));
    ASSERT_EQ(journal.size(), 1);
    const QList<QByteArray> fields = journal.first().split(' ');
    ASSERT_EQ(fields.size(), 4);
    EXPECT_EQ(fields[0], "GET");
    EXPECT_EQ(fields[1], "200");
    EXPECT_EQ(fields[3], "/feeds/default/private/full?max-results=1");

    // Who has access to a document, as the changes through the console made it.
    const QString first = m_service.documentIds().constFirst();
    ASSERT_EQ(ask(QStringLiteral("share %1 ann@example.org writer").arg(first)), QByteArray("ok\n.\n"));
    const QList<QByteArray> access = lines(QStringLiteral("acl %1").arg(first));
    ASSERT_FALSE(access.isEmpty());
    EXPECT_EQ(access.first(), "owner " + m_service.ownerEmail().toUtf8());
    EXPECT_TRUE(access.contains("writer user ann@example.org"));
    EXPECT_EQ(ask(QStringLiteral("acl document:none")).left(5), QByteArray("error"));

    // A token the console hands out opens the feeds.
    const QList<QByteArray> token = lines(QStringLiteral("token"));
    ASSERT_EQ(token.size(), 1);
    m_token = token.first().toStdString();
    auto answer = get("/feeds/default/private/full");
    ASSERT_TRUE(answer);
    EXPECT_EQ(answer->status, 200);
}

} // namespace
} // namespace tavrel::test
