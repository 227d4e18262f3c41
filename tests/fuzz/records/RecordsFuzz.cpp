// Records from entries: every entry of an answer goes into the account's store the way the
// synchronisations put it there, the store saves, and each record's stored entry rebuilds from the store.
#include "FuzzSupport.h"
#include "model/GoogleObject.h"
#include "model/TQMOCManager.h"
#include "model/TQMOCMaster.h"
#include "model/TQMOCMasterUpdater.h"
#include "platform/gdata/GDataEntryContact.h"
#include "platform/gdata/GDataEntryDocBase.h"
#include "platform/gdata/GDataFeedBase.h"
#include "platform/gdata/GDataObjectFactory.h"
#include "platform/store/FetchRequest.h"

#include <QObject>
#include <memory>

using namespace tavrel;

namespace {

struct Store
{
    QObject session;
    std::unique_ptr<TQMOCManager> manager;
};

Store& store()
{
    static Store instance;
    return instance;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    fuzz::setUpProcess(argc, argv);
    store().session.setProperty("username", QStringLiteral("me@example.com"));
    store().manager = std::make_unique<TQMOCManager>(&store().session);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const auto hint = GDataObjectFactory::FeedHint(size % 4);
    const GDataObjectPtr object =
        GDataObjectFactory::objectWithXMLData(fuzz::bytesOf(data, size), nullptr, hint);
    QList<GDataEntryPtr> entries;
    if (const auto feed = std::dynamic_pointer_cast<GDataFeedBase>(object))
        entries = feed->entries();
    else if (const auto entry = std::dynamic_pointer_cast<GDataEntryBase>(object))
        entries = {entry};
    if (entries.isEmpty())
        return 0;

    TQMOCMaster* master = store().manager->masterMOC();
    TQMOCMasterUpdater updater(master);
    for (const GDataEntryPtr& entry : entries) {
        if (std::dynamic_pointer_cast<GDataEntryDocBase>(entry))
            updater.documentCreated(entry);
        else if (std::dynamic_pointer_cast<GDataEntryContact>(entry))
            updater.contactCreated(entry);
    }

    // What the store holds, not what the context remembers.
    master->reset();
    Error error;
    const QList<ManagedObjectPtr> records =
        master->executeFetchRequest(FetchRequest(QStringLiteral("GoogleObject")), &error);
    fuzz::check(!error, "the stored records cannot be fetched", error.description());
    for (const ManagedObjectPtr& record : records) {
        const auto object = std::dynamic_pointer_cast<GoogleObject>(record);
        const QString xml = object ? object->xml() : QString();
        if (xml.isEmpty())
            continue;
        fuzz::check(GDataObjectFactory::entryWithXMLString(xml) != nullptr,
                    "a stored entry does not rebuild its entry", xml);
    }

    // Every input starts from an empty store.
    for (const char* entity : {"FileEntryAbstract", "Contact", "GeneralACLPermission", "Mail"}) {
        for (const ManagedObjectPtr& record :
             master->executeFetchRequest(FetchRequest(QString::fromLatin1(entity)), &error))
            master->deleteObject(record);
    }
    fuzz::check(master->ManagedObjectContext::save(&error), "the store cannot be emptied",
                error.description());
    return 0;
}
