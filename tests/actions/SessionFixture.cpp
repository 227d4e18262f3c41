#include "SessionFixture.h"

#include "model/ContextFetch.h"
#include "model/FileEntryAbstract.h"
#include "model/Mail.h"
#include "model/TQMOCMaster.h"
#include "platform/gdata/GDataEndpoints.h"
#include "platform/gdata/GDataEntryDocBase.h"
#include "platform/gdata/GDataFeedBase.h"
#include "platform/gdata/GDataServiceGoogleDocs.h"
#include "platform/runtime/ClassRegistry.h"
#include "platform/runtime/ThreadDispatch.h"
#include "platform/store/FetchRequest.h"
#include "platform/system/TQLogger.h"
#include "session/ApplicationServices.h"
#include "session/TQAccount.h"
#include "support/WaitUntil.h"

namespace tavrel::test {

namespace {

// Stands for the synchronisation operations until they exist in the library: the full one copies the
// service's documents into the store, the incremental one only records that it ran.
class TestUpdateOperation : public TQOperation
{
    Q_OBJECT
    Q_PROPERTY(QObject* delegate MEMBER m_delegate)
    Q_PROPERTY(bool shouldSendNotification MEMBER m_shouldSendNotification)
public:
    explicit TestUpdateOperation(bool full) : m_full(full) {}

protected:
    void performOperation() override
    {
        auto* session = dynamic_cast<TQSession*>(this->session());
        UpdateJournal::instance().append({m_full ? TQMOCMaster::kFullUpdateOperationClass
                                                 : TQMOCMaster::kFastUpdateOperationClass,
                                          session ? session->username() : QString(), m_shouldSendNotification,
                                          session && m_delegate == session->mocManager()->masterMOC()});
        if (!m_full || !session) {
            performCallbackWithResult({}, {});
            setFinished(true);
            return;
        }
        GDataServiceGoogleDocs service;
        service.setAuthorizer(session->authentication());
        service.setServiceRetryBaseInterval(0.01);
        service.setServiceMaxRetryInterval(0.02);
        GDataFeedPtr feed;
        Error error;
        bool done = false;
        QUrl url = GDataEndpoints::docsExpandACLFeedURL();
        url.setQuery(QStringLiteral("showfolders=true"));
        service.fetchFeedWithURL(url, [&](const GDataServiceTicketPtr&, const GDataObjectPtr& object,
                                          const Error& fetchError) {
            feed = std::dynamic_pointer_cast<GDataFeedBase>(object);
            error = fetchError;
            done = true;
        });
        waitUntil([&] { return done || isCancelled(); }, 20000, 20);
        if (isCancelled()) {
            setFinished(true);
            return;
        }
        if (!error.isNull() || !feed) {
            performCallbackWithResult({}, QVariant::fromValue(error.isNull() ? Error("test", 1) : error));
            setFinished(true);
            return;
        }
        QObject* consumer = progressConsumer();
        ThreadDispatch::performOnMainThread(
            [&] {
                TQMOCMaster* master = session->mocManager()->masterMOC();
                QList<QPair<std::shared_ptr<FileEntryAbstract>, GDataEntryPtr>> filled;
                for (const GDataEntryPtr& base : feed->entries()) {
                    const auto entry = std::dynamic_pointer_cast<GDataEntryDocBase>(base);
                    const bool folder = entry->resourceID().startsWith(QLatin1String("folder:"));
                    const auto stored = master->insertNewObject<FileEntryAbstract>(
                        folder ? QStringLiteral("Category") : QStringLiteral("File"));
                    stored->fillAttributeFromGDataEntry(entry);
                    filled.append({stored, entry});
                    if (consumer)
                        QMetaObject::invokeMethod(consumer, "progressStatus", Q_ARG(int, 0),
                                                  Q_ARG(float, float(filled.size())),
                                                  Q_ARG(quint64, quint64(feed->entries().size())),
                                                  Q_ARG(float, 100.f * filled.size() / feed->entries().size()));
                }
                for (const auto& [stored, entry] : filled)
                    stored->fillRelationshipFromGdataEntry(entry, master);
                master->save();
            },
            true);
        performCallbackWithResult({}, {});
        setFinished(true);
    }

private:
    bool m_full;
    QObject* m_delegate = nullptr;
    bool m_shouldSendNotification = false;
};

class TestFullUpdateOperation : public TestUpdateOperation
{
    Q_OBJECT
public:
    TestFullUpdateOperation() : TestUpdateOperation(true) {}
};

class TestFastUpdateOperation : public TestUpdateOperation
{
    Q_OBJECT
public:
    TestFastUpdateOperation() : TestUpdateOperation(false) { setIsHeavy(false); }
};

// Records what the automatic favourites asked for.
class TestUpdateMailsOperation : public TQOperation
{
    Q_OBJECT
protected:
    void performOperation() override
    {
        const QVariantMap parameters = arguments();
        QStringList addresses;
        for (const QVariant& value : parameters.value(QStringLiteral("mailEntities")).toList())
            if (const auto mail = std::dynamic_pointer_cast<Mail>(value.value<ManagedObjectPtr>()))
                addresses.append(mail->address());
        UpdateJournal::instance().appendFavorites(addresses, parameters);
        setFinished(true);
    }
};

const bool registered = [] {
    ClassRegistry& registry = ClassRegistry::instance();
    if (!registry.hasClass(TQMOCMaster::kFullUpdateOperationClass))
        registry.registerClass<TestFullUpdateOperation>(TQMOCMaster::kFullUpdateOperationClass);
    if (!registry.hasClass(TQMOCMaster::kFastUpdateOperationClass))
        registry.registerClass<TestFastUpdateOperation>(TQMOCMaster::kFastUpdateOperationClass);
    registry.registerClass<TestUpdateMailsOperation>(QStringLiteral("TQcmhUpdateMailsOperation"));
    return true;
}();

} // namespace

UpdateJournal& UpdateJournal::instance()
{
    static UpdateJournal journal;
    return journal;
}

void UpdateJournal::append(const UpdateRecord& record)
{
    std::lock_guard lock(m_mutex);
    m_records.append(record);
}

QList<UpdateRecord> UpdateJournal::records() const
{
    std::lock_guard lock(m_mutex);
    return m_records;
}

int UpdateJournal::count(const QString& className) const
{
    std::lock_guard lock(m_mutex);
    return int(std::count_if(m_records.cbegin(), m_records.cend(),
                             [&](const UpdateRecord& r) { return r.className == className; }));
}

void UpdateJournal::clear()
{
    std::lock_guard lock(m_mutex);
    m_records.clear();
    m_favorites.clear();
}

void UpdateJournal::appendFavorites(const QStringList& addresses, const QVariantMap& parameters)
{
    std::lock_guard lock(m_mutex);
    m_favorites.append({addresses, parameters});
}

QList<QPair<QStringList, QVariantMap>> UpdateJournal::favorites() const
{
    std::lock_guard lock(m_mutex);
    return m_favorites;
}

StateRecorder::StateRecorder(TQSession* session)
{
    connect(session, &TQSession::stateChanged, this, [this](int state) { states.append(state); });
}

void ProgressScreen::progressStatus(int status, float processed, quint64 total, float percentage)
{
    received.append({status, processed, QVariant::fromValue(total), percentage});
}

void SessionTest::SetUp()
{
    TempHomeTest::SetUp();
    TQLogger::resetForTesting();
    UpdateJournal::instance().clear();
    localservice::GenerateOptions options;
    options.documents = 6;
    options.collections = 1;
    options.contacts = 2;
    m_service.generate(options);
    QString error;
    ASSERT_TRUE(m_service.start(0, &error)) << error.toStdString();
    GDataEndpoints::setServiceBaseURL(QUrl(m_service.baseUrl()));
    ApplicationServices* services = ApplicationServices::instance();
    services->resetForTesting();
    auto reachability = std::make_unique<SwitchableReachability>();
    m_reachability = reachability.get();
    services->mainApplicationWindowWillShow(std::move(reachability));
    setOnline(true);
}

void SessionTest::TearDown()
{
    m_service.clearFaults();
    ApplicationServices::instance()->resetForTesting();
    m_reachability = nullptr;
    m_service.stop();
    GDataEndpoints::setServiceBaseURL(QUrl());
    TQLogger::resetForTesting();
    TempHomeTest::TearDown();
}

std::shared_ptr<WXAccount> SessionTest::makeAccount(const QString& email) const
{
    auto authentication = OAuth2Authentication::create(OAuth2Configuration(QUrl(m_service.baseUrl())));
    authentication->setKeysForResponseDictionary(
        {{QStringLiteral("access_token"), const_cast<localservice::LocalService&>(m_service).issueAccessToken(email)},
         {QStringLiteral("refresh_token"),
          const_cast<localservice::LocalService&>(m_service).issueRefreshToken(email)},
         {QStringLiteral("expires_in"), 3600},
         {QStringLiteral("token_type"), QStringLiteral("Bearer")}});
    authentication->setUserEmail(email);
    return std::make_shared<TQAccount>(authentication);
}

void SessionTest::setOnline(bool online)
{
    m_reachability->report(online ? Reachability::ReachableViaNetwork : Reachability::NotReachable);
}

bool SessionTest::startAndSettle(TQSession& session, int timeoutMs)
{
    session.start();
    return waitUntil([&] { return session.state() != TQSession::kFirstSyncRunning; }, timeoutMs);
}

int SessionTest::storedDocuments(TQSession& session) const
{
    FetchRequest request(QStringLiteral("FileEntryAbstract"));
    return int(ContextFetch::executeFetchRequestSafely(session.mocManager()->masterMOC(), request).size());
}

} // namespace tavrel::test

#include "SessionFixture.moc"
