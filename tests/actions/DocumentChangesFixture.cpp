#include "DocumentChangesFixture.h"

#include "model/TQMOCMaster.h"
#include "support/SyncRecorder.h"
#include "support/WaitUntil.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace tavrel::test {

namespace {

// The user (demo@tavrel.test) owns alpha, beta, public (open to everyone with the link and to the
// domain), gamma (in the collection Box) and old (in the trash);
// bob's documents give the user the roles writer where writers may invite (shared), writer where they
// may not (closed) and reader (readonly).
const char* const kSeed = R"({
  "owner": {"email": "demo@tavrel.test", "name": "Demo User"},
  "documents": [
    {"resourceId": "folder:box", "kind": "folder", "title": "Box"},
    {"resourceId": "document:alpha", "kind": "document", "title": "Alpha",
     "acl": [{"scope": "user", "value": "ann@example.org", "role": "writer"},
             {"scope": "default", "role": "reader"},
             {"scope": "domain", "value": "tavrel.test", "role": "reader"}]},
    {"resourceId": "document:beta", "kind": "document", "title": "Beta",
     "acl": [{"scope": "user", "value": "ann@example.org", "role": "reader"}]},
    {"resourceId": "document:public", "kind": "document", "title": "Public",
     "acl": [{"scope": "user", "value": "ann@example.org", "role": "reader"},
             {"scope": "default", "role": "reader", "key": "k1"},
             {"scope": "domain", "value": "tavrel.test", "role": "writer"}]},
    {"resourceId": "spreadsheet:gamma", "kind": "spreadsheet", "title": "Gamma", "parents": ["folder:box"]},
    {"resourceId": "document:old", "kind": "document", "title": "Old", "labels": ["trashed"]},
    {"resourceId": "document:shared", "kind": "document", "title": "Shared", "owner": "bob@example.org",
     "writersCanInvite": true,
     "acl": [{"scope": "user", "value": "demo@tavrel.test", "role": "writer"}]},
    {"resourceId": "document:closed", "kind": "document", "title": "Closed", "owner": "bob@example.org",
     "writersCanInvite": false,
     "acl": [{"scope": "user", "value": "demo@tavrel.test", "role": "writer"}]},
    {"resourceId": "document:readonly", "kind": "document", "title": "Read only", "owner": "bob@example.org",
     "acl": [{"scope": "user", "value": "demo@tavrel.test", "role": "reader"},
             {"scope": "user", "value": "ann@example.org", "role": "writer"}]}
  ]
})";

} // namespace

void DocumentChangesTest::SetUp()
{
    AccountTest::SetUp();
    startService(m_account, TestAccount::smallAccount());
    ASSERT_FALSE(HasFatalFailure());
    QString error;
    ASSERT_TRUE(m_account.service.loadSeed(kSeed, &error)) << error.toStdString();
    m_account.useService();
    m_account.openSession();
    SyncRecorder recorder;
    ASSERT_TRUE(m_account.runFull(recorder));
    ASSERT_TRUE(recorder.error.isNull()) << recorder.error.localizedDescription().toStdString();
    ASSERT_TRUE(record(QStringLiteral("document:alpha")));
    m_account.service.clearJournal();
    m_notifications.takeAll();
}

std::shared_ptr<FileEntryAbstract> DocumentChangesTest::record(const QString& resourceId) const
{
    return FileEntryAbstract::fileEntryAbstractWithIdentifier(
        FileEntryAbstract::identifierFromGDataResourceId(resourceId), master());
}

QVariant DocumentChangesTest::recordValue(const QString& resourceId) const
{
    return QVariant::fromValue(std::static_pointer_cast<ManagedObject>(record(resourceId)));
}

QVariantList DocumentChangesTest::recordValues(const QStringList& resourceIds) const
{
    QVariantList values;
    for (const QString& rid : resourceIds)
        values.append(recordValue(rid));
    return values;
}

bool DocumentChangesTest::runAction(const QString& action, ActionRequester& requester,
                                    const QVariantMap& parameters, int timeoutMs)
{
    const int before = requester.calls();
    documents()->executeAction(action, requester.callback(), parameters);
    return waitUntil([&] { return requester.calls() > before; }, timeoutMs);
}

QStringList DocumentChangesTest::requestLines() const
{
    QStringList lines;
    for (const localservice::JournalEntry& entry : journal()) {
        const QString query = entry.rawTarget.section(QLatin1Char('?'), 1);
        lines.append(entry.method + QLatin1Char(' ') + entry.path +
                     (query.isEmpty() ? QString() : QLatin1Char('?') + query));
    }
    return lines;
}

QStringList DocumentChangesTest::serviceAccessList(const QString& resourceId)
{
    QStringList list;
    const QJsonObject seed = QJsonDocument::fromJson(m_account.service.exportSeed()).object();
    for (const QJsonValue& value : seed.value(QStringLiteral("documents")).toArray()) {
        const QJsonObject document = value.toObject();
        if (document.value(QStringLiteral("resourceId")).toString() != resourceId)
            continue;
        for (const QJsonValue& rule : document.value(QStringLiteral("acl")).toArray()) {
            const QJsonObject a = rule.toObject();
            const QString who = a.value(QStringLiteral("scope")).toString() == QLatin1String("user")
                                    ? a.value(QStringLiteral("value")).toString()
                                    : a.value(QStringLiteral("scope")).toString();
            list.append(who + QLatin1Char('=') + a.value(QStringLiteral("role")).toString());
        }
    }
    return list;
}

} // namespace tavrel::test
