#include "ActionsFixture.h"
#include "SyncFixture.h"
#include "actions/FastCoreDataUpdateOperation.h"
#include "actions/FullCoreDataUpdateOperation.h"
#include "actions/GDataResultValues.h"
#include "model/Category.h"
#include "model/Contact.h"
#include "model/ContactList.h"
#include "model/File.h"
#include "model/FileList.h"
#include "model/Mail.h"
#include "model/TQMOCMaster.h"
#include "notifications/TQStandardNotificationCenter.h"
#include "platform/gdata/GDataEndpoints.h"
#include "platform/gdata/GDataEntryDocListMetadata.h"
#include "platform/gdata/GDataFeedBase.h"
#include "platform/gdata/GDataObjectFactory.h"
#include "platform/gdata/GDataServiceGoogleContact.h"
#include "platform/gdata/GDataServiceGoogleDocs.h"
#include "platform/runtime/NotificationCenter.h"
#include "platform/system/DesktopNotificationBackend.h"
#include "platform/system/Settings.h"
#include "support/RecordedNotifications.h"
#include "support/WaitUntil.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <gtest/gtest.h>
#include <mutex>

namespace tavrel::test {

namespace {

localservice::GenerateOptions account(int documents, int collections, int contacts)
{
    localservice::GenerateOptions options;
    options.documents = documents;
    options.collections = collections;
    options.contacts = contacts;
    return options;
}

template <class T> QList<std::shared_ptr<T>> all(ManagedObjectContext* context, const QString& entity)
{
    QList<std::shared_ptr<T>> records;
    for (const auto& record : context->executeFetchRequest(FetchRequest(entity)))
        if (auto typed = std::dynamic_pointer_cast<T>(record))
            records.append(typed);
    return records;
}

} // namespace

using FullSynchronisationTest = SyncTest;

TEST_F(FullSynchronisationTest, BuildsEveryRecordOfTheAccountAndStoresTheChangestamp)
{
    startService(account(120, 10, 15));
    int started = 0;
    QObject observer;
    NotificationCenter::defaultCenter().addObserver(&observer,
                                                    FullCoreDataUpdateOperation::kStartedNotification,
                                                    nullptr, [&](const Notification&) { ++started; });
    SyncRecorder requester;
    ASSERT_TRUE(runFull(requester));
    EXPECT_EQ(requester.calls, 1);
    ASSERT_TRUE(requester.error.isNull()) << requester.error.localizedDescription().toStdString();
    // The session's first synchronisation posts nothing.
    EXPECT_EQ(started, 0);

    EXPECT_EQ(storedResourceIds(), serviceResourceIds());
    EXPECT_EQ(count(QStringLiteral("Category")), 10);
    EXPECT_EQ(count(QStringLiteral("File")), 120);

    int nested = 0;
    for (const auto& category : all<Category>(master(), QStringLiteral("Category"))) {
        EXPECT_TRUE(category->listOfFiles());
        if (category->parent())
            ++nested;
    }
    EXPECT_GT(nested, 0) << "collections inside collections keep their parent";

    int withPeople = 0;
    int withGeneralAccess = 0;
    for (const auto& file : all<File>(master(), QStringLiteral("File"))) {
        EXPECT_TRUE(file->owner()) << file->title().toStdString();
        EXPECT_TRUE(file->listOfFiles());
        if (!file->editors().isEmpty() || !file->viewers().isEmpty() || !file->commenters().isEmpty())
            ++withPeople;
        if (file->generalACL())
            ++withGeneralAccess;
    }
    EXPECT_GT(withPeople, 0);
    EXPECT_GT(withGeneralAccess, 0);

    const auto contacts = all<Contact>(master(), QStringLiteral("Contact"));
    EXPECT_EQ(contacts.size(), 15);
    for (const auto& contact : contacts) {
        EXPECT_FALSE(contact->mails().isEmpty()) << contact->identifier().toStdString();
        EXPECT_TRUE(contact->contactList());
    }
    EXPECT_EQ(storedChangestamp().toLongLong(), m_account.service.largestChangestamp());

    // Pages of 500, collections and trashed entries included, access lists expanded.
    const auto lists = requests(QStringLiteral("GET"), QStringLiteral("/feeds/default/private/expandAcl"));
    ASSERT_EQ(lists.size(), 1);
    EXPECT_EQ(lists.first().query.value(QStringLiteral("max-results")), QStringLiteral("500"));
    EXPECT_EQ(lists.first().query.value(QStringLiteral("showfolders")), QStringLiteral("true"));
    EXPECT_EQ(lists.first().query.value(QStringLiteral("showdeleted")), QStringLiteral("true"));
    EXPECT_EQ(requests(QStringLiteral("GET"), QStringLiteral("/m8/feeds/contacts")).size(), 1);

    // Progress: both fetches announced, every contact and document counted, 100 % at the end.
    ASSERT_TRUE(waitUntil(
        [&] { return !requester.reports.isEmpty() && requester.reports.last().percentage == 100; }, 5000));
    const auto& reports = requester.reports;
    EXPECT_EQ(reports.first().status, 666);
    EXPECT_EQ(reports.first().percentage, 2);
    QList<float> fetching;
    float lastContact = 0;
    for (const auto& report : reports) {
        if (report.status == 666 || report.status == 777)
            fetching.append(report.percentage);
        if (report.status == 888) {
            EXPECT_EQ(report.total, 15u);
            lastContact = report.processed;
        }
    }
    EXPECT_EQ(fetching, (QList<float>{2, 5, 7, 10}));
    EXPECT_EQ(lastContact, 15);
    EXPECT_EQ(reports.last().status, 999);
    EXPECT_EQ(reports.last().processed, 130);
    EXPECT_EQ(reports.last().total, 130u);
}

TEST_F(FullSynchronisationTest, AgainAfterDeletionsOnTheServiceRemovesExactlyThose)
{
    startService(account(30, 4, 6));
    SyncRecorder requester;
    ASSERT_TRUE(runFull(requester));
    ASSERT_TRUE(requester.error.isNull());
    const QStringList before = storedResourceIds();

    QStringList documents;
    for (const QString& id : before)
        if (id.startsWith(QLatin1String("document:")) || id.startsWith(QLatin1String("spreadsheet:")))
            documents.append(id);
    ASSERT_GE(documents.size(), 3);
    ASSERT_TRUE(m_account.service.deleteDocument(documents.at(0)));
    ASSERT_TRUE(m_account.service.deleteDocument(documents.at(2)));
    // A contact leaves the address book.
    QJsonObject seed = QJsonDocument::fromJson(m_account.service.exportSeed()).object();
    QJsonArray contacts = seed.value(QStringLiteral("contacts")).toArray();
    ASSERT_EQ(contacts.size(), 6);
    contacts.removeAt(0);
    seed.insert(QStringLiteral("contacts"), contacts);
    QString error;
    ASSERT_TRUE(m_account.service.loadSeed(QJsonDocument(seed).toJson(), &error)) << error.toStdString();
    const qint64 contactsBefore = count(QStringLiteral("Contact"));

    // A record that stays is refreshed in place, never replaced.
    const auto kept = std::dynamic_pointer_cast<File>(FileEntryAbstract::fileEntryAbstractWithIdentifier(
        FileEntryAbstract::identifierFromGDataResourceId(documents.at(1)), master()));
    ASSERT_TRUE(kept);
    const ManagedObjectID keptID = kept->objectID();

    ASSERT_TRUE(runFull(requester));
    ASSERT_TRUE(requester.error.isNull()) << requester.error.localizedDescription().toStdString();
    QStringList expected = before;
    expected.removeOne(documents.at(0));
    expected.removeOne(documents.at(2));
    EXPECT_EQ(storedResourceIds(), expected);
    EXPECT_EQ(storedResourceIds(), serviceResourceIds());
    EXPECT_EQ(count(QStringLiteral("Contact")), contactsBefore - 1);
    const auto again = FileEntryAbstract::fileEntryAbstractWithIdentifier(
        FileEntryAbstract::identifierFromGDataResourceId(documents.at(1)), master());
    ASSERT_TRUE(again);
    EXPECT_EQ(again->objectID(), keptID);
}

TEST_F(FullSynchronisationTest, ContactWalkPassesOverAnEntryThatIsNotAContact)
{
    startService(account(4, 1, 5));
    SyncRecorder requester;
    ASSERT_TRUE(runFull(requester));
    ASSERT_TRUE(requester.error.isNull());
    ASSERT_EQ(count(QStringLiteral("Contact")), 5);

    // The contact feed with a group entry after its first contact.
    GDataServiceGoogleContact contactService;
    contactService.setAuthorizer(m_account.authentication);
    GDataServiceGoogleDocs docsService;
    docsService.setAuthorizer(m_account.authentication);
    GDataFeedPtr contactFeed;
    GDataFeedPtr fileFeed;
    contactService.fetchFeedWithURL(
        GDataEndpoints::contactFeedURL(),
        [&](const GDataServiceTicketPtr&, const GDataObjectPtr& object, const Error&) {
            contactFeed = std::dynamic_pointer_cast<GDataFeedBase>(object);
        });
    QUrl documentsURL = GDataEndpoints::docsExpandACLFeedURL();
    documentsURL.setQuery(QStringLiteral("showfolders=true&showdeleted=true"));
    docsService.fetchFeedWithURL(
        documentsURL, [&](const GDataServiceTicketPtr&, const GDataObjectPtr& object, const Error&) {
            fileFeed = std::dynamic_pointer_cast<GDataFeedBase>(object);
        });
    ASSERT_TRUE(waitUntil([&] { return contactFeed && fileFeed; }, 10000));
    QString xml = contactFeed->XMLString();
    const qsizetype firstEnd = xml.indexOf(QLatin1String("</entry>"));
    ASSERT_GT(firstEnd, 0);
    xml.insert(firstEnd + 8, QStringLiteral("<entry><id>urn:group:1</id><title>Friends</title><category "
                                            "scheme='http://schemas.google.com/g/2005#kind' "
                                            "term='http://schemas.google.com/contact/2008#group'/></entry>"));
    Error parseError;
    const auto mixed = std::dynamic_pointer_cast<GDataFeedBase>(
        GDataObjectFactory::objectWithXMLData(xml.toUtf8(), &parseError));
    ASSERT_TRUE(mixed) << parseError.localizedDescription().toStdString();
    ASSERT_EQ(mixed->entries().size(), 6);
    // Every contact must be written again, so the walk cannot stop without it showing.
    for (const auto& contact : all<Contact>(master(), QStringLiteral("Contact")))
        contact->setETag(QStringLiteral("stale"));
    ContactList::contactListFromContext(master())->setETag(QStringLiteral("stale"));
    master()->save();

    FullCoreDataUpdateOperation operation(m_account.session.get());
    operation.setFeeds(mixed, fileFeed);
    const Error error = operation.rebuildInContext(master());
    EXPECT_TRUE(error.isNull()) << error.localizedDescription().toStdString();
    const auto contacts = all<Contact>(master(), QStringLiteral("Contact"));
    EXPECT_EQ(contacts.size(), 5);
    for (const auto& contact : contacts)
        EXPECT_NE(contact->eTag(), QStringLiteral("stale")) << contact->identifier().toStdString();
    EXPECT_EQ(operation.progressPartContact(), 6);
}

TEST_F(FullSynchronisationTest, FailedSaveIsReportedAndTheStoreKeepsWhatItHad)
{
    startService(account(12, 2, 3));
    SyncRecorder requester;
    ASSERT_TRUE(runFull(requester));
    ASSERT_TRUE(requester.error.isNull());
    const QStringList before = storedResourceIds();
    const QVariant stamp = storedChangestamp();
    const QString renamed = before.last();
    const QString title = FileEntryAbstract::fileEntryAbstractWithIdentifier(
                              FileEntryAbstract::identifierFromGDataResourceId(renamed), master())
                              ->title();
    ASSERT_TRUE(m_account.service.renameDocument(renamed, QStringLiteral("Renamed elsewhere")));
    ASSERT_FALSE(m_account.service.addDocument(QStringLiteral("Brand new")).isEmpty());

    breakStoreWrites();
    ASSERT_TRUE(runFull(requester));
    repairStoreWrites();
    EXPECT_FALSE(requester.error.isNull()) << "a store that was not saved is no synchronised store";

    EXPECT_EQ(storedResourceIds(), before);
    EXPECT_EQ(storedChangestamp(), stamp);
    master()->reset();
    EXPECT_EQ(FileEntryAbstract::fileEntryAbstractWithIdentifier(
                  FileEntryAbstract::identifierFromGDataResourceId(renamed), master())
                  ->title(),
              title);

    // The same worker context carries nothing of the failed rebuild into the next run.
    ASSERT_TRUE(runFull(requester));
    EXPECT_TRUE(requester.error.isNull());
    EXPECT_EQ(storedResourceIds(), serviceResourceIds());
}

struct FeedFault
{
    const char* name;
    localservice::Fault::Kind kind;
    int status;
};

class FullSynchronisationFaultTest : public SyncTest, public ::testing::WithParamInterface<FeedFault>
{
};

TEST_P(FullSynchronisationFaultTest, FaultInTheMiddleOfTheDocumentListLosesNothing)
{
    // Two pages of documents.
    startService(account(560, 6, 3));
    SyncRecorder requester;
    ASSERT_TRUE(runFull(requester));
    ASSERT_TRUE(requester.error.isNull());
    const QStringList before = storedResourceIds();
    const QVariant stamp = storedChangestamp();
    ASSERT_TRUE(m_account.service.deleteDocument(before.first()));
    ASSERT_TRUE(m_account.service.renameDocument(before.last(), QStringLiteral("Renamed elsewhere")));

    // The first page comes; every try of the second fails.
    localservice::Fault pass;
    pass.kind = localservice::Fault::Delay;
    pass.delayMs = 1;
    pass.pathPattern = QStringLiteral("^/feeds/default/private/expandAcl$");
    m_account.service.addFault(pass);
    localservice::Fault fault;
    fault.kind = GetParam().kind;
    fault.status = GetParam().status;
    fault.count = 100;
    fault.pathPattern = pass.pathPattern;
    m_account.service.addFault(fault);

    ASSERT_TRUE(runFull(requester));
    EXPECT_FALSE(requester.error.isNull());
    const auto lists = requests(QStringLiteral("GET"), QStringLiteral("/feeds/default/private/expandAcl"));
    ASSERT_GE(lists.size(), 2);
    EXPECT_EQ(lists.first().status, 200);
    if (GetParam().kind == localservice::Fault::Status) {
        EXPECT_EQ(lists.last().status, GetParam().status) << "the fault hit a later page";
    }

    EXPECT_EQ(storedResourceIds(), before);
    EXPECT_EQ(storedChangestamp(), stamp);
    EXPECT_NE(FileEntryAbstract::fileEntryAbstractWithIdentifier(
                  FileEntryAbstract::identifierFromGDataResourceId(before.last()), master())
                  ->title(),
              QStringLiteral("Renamed elsewhere"));
}

INSTANTIATE_TEST_SUITE_P(Faults, FullSynchronisationFaultTest,
                         ::testing::Values(FeedFault{"ServerError", localservice::Fault::Status, 500},
                                           FeedFault{"MalformedPage", localservice::Fault::MalformedBody,
                                                     200}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(FullSynchronisationTest, ExpiredTokenIsRefreshedOnceAndTheSynchronisationCompletes)
{
    startService(account(10, 2, 3));
    m_account.service.expireAccessTokens();
    SyncRecorder requester;
    ASSERT_TRUE(runFull(requester));
    EXPECT_TRUE(requester.error.isNull()) << requester.error.localizedDescription().toStdString();
    EXPECT_EQ(requests(QStringLiteral("POST"), QStringLiteral("/o/oauth2/token")).size(), 1);
    EXPECT_EQ(storedResourceIds(), serviceResourceIds());
    EXPECT_EQ(count(QStringLiteral("Contact")), 3);
}

TEST_F(FullSynchronisationTest, NotificationsWhenAskedForAndEqualKeyArguments)
{
    startService(account(3, 1, 1));
    QStringList seen;
    QObject observer;
    for (const QString& name : {FullCoreDataUpdateOperation::kStartedNotification,
                                FullCoreDataUpdateOperation::kFinishedNotification})
        NotificationCenter::defaultCenter().addObserver(
            &observer, name, nullptr, [&](const Notification& n) { seen.append(n.name()); });
    SyncRecorder requester;
    {
        auto operation = FullCoreDataUpdateOperation::operationWithSession(m_account.session.get());
        operation->setShouldSendNotification(true);
        operation->setDelegate(master());
        EXPECT_EQ(operation->keyArguments(),
                  FullCoreDataUpdateOperation::operationWithSession(m_account.session.get())->keyArguments());
        ASSERT_TRUE(run(operation, requester));
    }
    EXPECT_TRUE(requester.error.isNull());
    EXPECT_TRUE(waitUntil([&] { return seen.size() == 2; }, 5000));
    EXPECT_EQ(seen, (QStringList{FullCoreDataUpdateOperation::kStartedNotification,
                                 FullCoreDataUpdateOperation::kFinishedNotification}));
    EXPECT_EQ(FullCoreDataUpdateOperation::operationWithSession(nullptr), nullptr);
}

using IncrementalSynchronisationTest = SyncTest;

TEST_F(IncrementalSynchronisationTest, ChangesOfOthersArriveThroughTheChangesFeedWithNotifications)
{
    startService(account(12, 2, 3));
    SyncRecorder requester;
    ASSERT_TRUE(runFull(requester));
    ASSERT_TRUE(requester.error.isNull());
    RecordedNotifications notifications;
    ASSERT_TRUE(notifications.active());
    const auto stored = [&](const QString& rid) {
        return FileEntryAbstract::fileEntryAbstractWithIdentifier(
            FileEntryAbstract::identifierFromGDataResourceId(rid), master());
    };
    const auto runAndCheck = [&] {
        m_account.service.clearJournal();
        ASSERT_TRUE(runFast(requester, master()));
        ASSERT_TRUE(requester.error.isNull()) << requester.error.localizedDescription().toStdString();
        // Only the changes feed: no full synchronisation.
        const auto all = m_account.service.journal();
        ASSERT_EQ(all.size(), 1);
        EXPECT_EQ(all.first().path, QStringLiteral("/feeds/default/private/changes"));
        EXPECT_EQ(storedChangestamp().toLongLong(), m_account.service.largestChangestamp());
    };

    // Someone else shares a new document with the user.
    const QString shared = m_account.service.addDocument(
        QStringLiteral("Budget from Ann"), QStringLiteral("document"), QStringLiteral("ann@other.test"));
    ASSERT_FALSE(shared.isEmpty());
    runAndCheck();
    ASSERT_TRUE(stored(shared));
    EXPECT_TRUE(stored(shared)->isNew());
    auto shown = notifications.takeAll();
    ASSERT_EQ(shown.size(), 1);
    EXPECT_EQ(shown.first().name, QStringLiteral("TQActionDidFinishNotification"));
    EXPECT_EQ(shown.first().title, QStringLiteral("Budget from Ann"));
    EXPECT_EQ(shown.first().message, QStringLiteral("Shared with you"));

    // The user's own new document is no news.
    const QString own = m_account.service.addDocument(QStringLiteral("My notes"));
    runAndCheck();
    ASSERT_TRUE(stored(own));
    EXPECT_FALSE(stored(own)->isNew());
    EXPECT_TRUE(notifications.takeAll().isEmpty());

    // Someone else renames a document of the user's.
    QString renamed;
    for (const auto& file : all<File>(master(), QStringLiteral("File")))
        if (file->owner() && file->owner()->address() == m_account.service.ownerEmail() && !file->isTrashed())
            renamed = file->resourceId();
    ASSERT_FALSE(renamed.isEmpty());
    ASSERT_TRUE(m_account.service.renameDocument(renamed, QStringLiteral("Renamed by a colleague")));
    runAndCheck();
    EXPECT_EQ(stored(renamed)->title(), QStringLiteral("Renamed by a colleague"));
    shown = notifications.takeAll();
    ASSERT_EQ(shown.size(), 1);
    EXPECT_EQ(shown.first().title, QStringLiteral("Renamed by a colleague"));
    EXPECT_TRUE(shown.first().message.startsWith(QStringLiteral("Updated by ")))
        << shown.first().message.toStdString();

    // Shared with someone, trashed, then one deleted for good.
    ASSERT_TRUE(
        m_account.service.shareDocument(own, QStringLiteral("bob@other.test"), QStringLiteral("writer")));
    runAndCheck();
    QStringList editors;
    for (const auto& mail : stored(own)->editors())
        editors.append(mail->address());
    EXPECT_TRUE(editors.contains(QStringLiteral("bob@other.test")));
    ASSERT_TRUE(m_account.service.trashDocument(renamed));
    runAndCheck();
    EXPECT_TRUE(stored(renamed)->isTrashed());
    ASSERT_TRUE(m_account.service.deleteDocument(renamed));
    runAndCheck();
    EXPECT_FALSE(stored(renamed));
    EXPECT_EQ(storedResourceIds(), serviceResourceIds());
}

TEST_F(IncrementalSynchronisationTest, IdleRunMakesOneSmallRequest)
{
    startService(account(8, 1, 2));
    SyncRecorder requester;
    ASSERT_TRUE(runFull(requester));
    const qint64 stamp = storedChangestamp().toLongLong();
    m_account.service.clearJournal();
    ASSERT_TRUE(runFast(requester));
    EXPECT_TRUE(requester.error.isNull());
    const auto all = m_account.service.journal();
    ASSERT_EQ(all.size(), 1);
    EXPECT_EQ(all.first().method, QStringLiteral("GET"));
    EXPECT_EQ(all.first().path, QStringLiteral("/feeds/default/private/changes"));
    EXPECT_EQ(all.first().query.value(QStringLiteral("start-index")), QString::number(stamp + 1));
    EXPECT_EQ(all.first().query.value(QStringLiteral("expand-acl")), QStringLiteral("true"));
    EXPECT_EQ(storedChangestamp().toLongLong(), stamp);
}

TEST_F(IncrementalSynchronisationTest, FirstRunLearnsTheStampThenAsksForWhatFollows)
{
    startService(account(8, 1, 2));
    ASSERT_FALSE(storedChangestamp().isValid());
    SyncRecorder requester;
    ASSERT_TRUE(runFast(requester));
    EXPECT_TRUE(requester.error.isNull());
    const auto all = m_account.service.journal();
    ASSERT_EQ(all.size(), 2);
    EXPECT_EQ(all.at(0).query.value(QStringLiteral("max-results")), QStringLiteral("1"));
    EXPECT_EQ(all.at(1).query.value(QStringLiteral("start-index")),
              QString::number(m_account.service.largestChangestamp() + 1));
    EXPECT_EQ(storedChangestamp().toLongLong(), m_account.service.largestChangestamp());
}

TEST_F(IncrementalSynchronisationTest, FailedSaveKeepsTheStampSoTheChangesComeAgain)
{
    startService(account(8, 1, 2));
    SyncRecorder requester;
    ASSERT_TRUE(runFull(requester));
    const QVariant stamp = storedChangestamp();
    QString rid;
    for (const auto& file : all<File>(master(), QStringLiteral("File")))
        if (file->owner() && file->owner()->address() == m_account.service.ownerEmail() && !file->isTrashed())
            rid = file->resourceId();
    ASSERT_FALSE(rid.isEmpty());
    ASSERT_TRUE(m_account.service.renameDocument(rid, QStringLiteral("Renamed elsewhere")));
    RecordedNotifications notifications;

    breakStoreWrites();
    ASSERT_TRUE(runFast(requester));
    repairStoreWrites();
    EXPECT_FALSE(requester.error.isNull());
    EXPECT_EQ(storedChangestamp(), stamp);
    EXPECT_TRUE(notifications.takeAll().isEmpty()) << "told of once the change is stored";

    ASSERT_TRUE(runFast(requester));
    EXPECT_TRUE(requester.error.isNull());
    EXPECT_EQ(notifications.takeAll().size(), 1);
    EXPECT_EQ(storedChangestamp().toLongLong(), m_account.service.largestChangestamp());
    master()->reset();
    EXPECT_EQ(FileEntryAbstract::fileEntryAbstractWithIdentifier(
                  FileEntryAbstract::identifierFromGDataResourceId(rid), master())
                  ->title(),
              QStringLiteral("Renamed elsewhere"));
}

TEST_F(IncrementalSynchronisationTest, FailingChangesFeedChangesNothing)
{
    startService(account(8, 1, 2));
    SyncRecorder requester;
    ASSERT_TRUE(runFull(requester));
    const QVariant stamp = storedChangestamp();
    const QStringList before = storedResourceIds();
    ASSERT_TRUE(m_account.service.deleteDocument(before.first()));
    localservice::Fault fault;
    fault.status = 500;
    fault.count = 100;
    fault.pathPattern = QStringLiteral("^/feeds/default/private/changes");
    m_account.service.addFault(fault);
    ASSERT_TRUE(runFast(requester));
    EXPECT_FALSE(requester.error.isNull());
    EXPECT_EQ(storedChangestamp(), stamp);
    EXPECT_EQ(storedResourceIds(), before);
}

TEST_F(IncrementalSynchronisationTest, StepActionsAnswerTheirValues)
{
    startService(account(3, 1, 1));
    ActionRequester requester;
    const auto runAction = [&](const QString& action, const QVariantMap& parameters) {
        const int before = requester.calls();
        m_account.session->documentManager()->executeAction(action, requester.callback(), parameters);
        return waitUntil([&] { return requester.calls() > before; }, 10000);
    };

    // Without a stamp the changes cannot be asked for.
    ASSERT_TRUE(runAction(QStringLiteral("ChangesFeed"), {}));
    EXPECT_EQ(requester.error().domain(), QStringLiteral("dor.izivozezu.RArizuzoVizadEvevaz"));
    EXPECT_EQ(requester.error().code(), 701);
    ASSERT_TRUE(runAction(QStringLiteral("ChangesFeed"),
                          {{QStringLiteral("largestChangestamp"), QStringLiteral("7")}}));
    EXPECT_EQ(requester.error().code(), 701);

    ASSERT_TRUE(runAction(QStringLiteral("LargestChangestamp"), {}));
    EXPECT_TRUE(requester.error().isNull());
    EXPECT_EQ(requester.result().toLongLong(), m_account.service.largestChangestamp());

    ASSERT_TRUE(runAction(QStringLiteral("AccountMetadata"), {}));
    EXPECT_TRUE(requester.error().isNull());
    const auto entry = GDataResultValues::objectFromValue<GDataEntryDocListMetadata>(requester.result());
    ASSERT_TRUE(entry);
    EXPECT_EQ(entry->largestChangestamp(), std::optional<qint64>(m_account.service.largestChangestamp()));
    const auto metadata = requests(QStringLiteral("GET"), QStringLiteral("/feeds/metadata/default"));
    EXPECT_EQ(metadata.size(), 1);
}

TEST_F(FullSynchronisationTest, UnchangedContactFeedLeavesContactsAlone)
{
    startService(account(5, 1, 4));
    SyncRecorder first;
    ASSERT_TRUE(runFull(first));
    ASSERT_TRUE(first.error.isNull());
    SyncRecorder second;
    ASSERT_TRUE(runFull(second));
    ASSERT_TRUE(second.error.isNull());
    ASSERT_TRUE(waitUntil(
        [&] { return !second.reports.isEmpty() && second.reports.last().percentage == 100; }, 5000));
    for (const auto& report : second.reports)
        EXPECT_NE(report.status, 888);
    EXPECT_EQ(count(QStringLiteral("Contact")), 4);
    EXPECT_EQ(second.reports.last().processed, 6);
}

} // namespace tavrel::test
