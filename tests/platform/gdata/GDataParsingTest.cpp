#include "platform/gdata/GDataConstants.h"
#include "platform/gdata/GDataEntryACL.h"
#include "platform/gdata/GDataEntryContact.h"
#include "platform/gdata/GDataEntryDocListMetadata.h"
#include "platform/gdata/GDataEntryFileDoc.h"
#include "platform/gdata/GDataEntryFolderDoc.h"
#include "platform/gdata/GDataEntryPDFDoc.h"
#include "platform/gdata/GDataEntryPresentationDoc.h"
#include "platform/gdata/GDataEntrySpreadsheetDoc.h"
#include "platform/gdata/GDataEntryStandardDoc.h"
#include "platform/gdata/GDataFeedACL.h"
#include "platform/gdata/GDataFeedContact.h"
#include "platform/gdata/GDataFeedDocChange.h"
#include "platform/gdata/GDataFeedDocList.h"
#include "platform/gdata/GDataObjectFactory.h"
#include "platform/gdata/GDataResumableUpload.h"
#include "platform/gdata/GDataXMLDocument.h"
#include "support/TestData.h"

#include <QFile>
#include <gtest/gtest.h>

using namespace tavrel;

namespace {

QByteArray fixture(const char* name)
{
    QFile file(tavrel::test::testDataDir() + QStringLiteral("/gdata/") + QString::fromLatin1(name));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << name;
    return file.readAll();
}

template <class T>
std::shared_ptr<T> parse(const QByteArray& data,
                         GDataObjectFactory::FeedHint hint = GDataObjectFactory::FeedHint::None)
{
    Error error;
    GDataObjectPtr object = GDataObjectFactory::objectWithXMLData(data, &error, hint);
    EXPECT_TRUE(error.isNull()) << error.description().toStdString();
    auto typed = std::dynamic_pointer_cast<T>(object);
    EXPECT_TRUE(typed) << "unexpected class";
    return typed;
}

} // namespace

TEST(GDataParsing, DocumentsFeedGivesEntriesOfTheirKindWithEveryReadValue)
{
    auto feed = parse<GDataFeedDocList>(fixture("documents-feed.xml"));
    ASSERT_TRUE(feed);
    EXPECT_EQ(feed->ETag(), QStringLiteral("W/\"Feed7Qx1\""));
    EXPECT_EQ(feed->batchLink().URL(),
              QUrl(QStringLiteral("http://127.0.0.1:8088/feeds/default/private/full/batch")));
    EXPECT_EQ(feed->totalResults(), 4);
    const QList<GDataEntryPtr> entries = feed->entries();
    ASSERT_EQ(entries.size(), 4);
    EXPECT_TRUE(std::dynamic_pointer_cast<GDataEntryStandardDoc>(entries[0]));
    EXPECT_TRUE(std::dynamic_pointer_cast<GDataEntrySpreadsheetDoc>(entries[1]));
    EXPECT_TRUE(std::dynamic_pointer_cast<GDataEntryFolderDoc>(entries[2]));
    EXPECT_TRUE(std::dynamic_pointer_cast<GDataEntryFileDoc>(entries[3]));

    auto doc = std::dynamic_pointer_cast<GDataEntryDocBase>(entries[0]);
    EXPECT_EQ(doc->resourceID(), QStringLiteral("document:1Report"));
    EXPECT_EQ(doc->kind(), QStringLiteral("document"));
    EXPECT_EQ(doc->title(), QStringLiteral("Quarterly Report"));
    EXPECT_EQ(doc->ETag(), QStringLiteral("\"Doc1Etag\""));
    EXPECT_EQ(doc->editedDate(), QDateTime(QDate(2026, 3, 1), QTime(14, 51, 56, 318), Qt::UTC));
    EXPECT_EQ(doc->publishedDate(), QDateTime(QDate(2026, 2, 27), QTime(10, 0, 1, 336), Qt::UTC));
    EXPECT_EQ(doc->lastViewed(), QDateTime(QDate(2026, 3, 1), QTime(15, 0), Qt::UTC));
    EXPECT_EQ(doc->lastCommented(), QDateTime(QDate(2026, 3, 1), QTime(16, 20), Qt::UTC));
    EXPECT_TRUE(doc->isStarred());
    EXPECT_TRUE(doc->isViewed());
    EXPECT_FALSE(doc->isDeleted());
    EXPECT_FALSE(doc->isHidden());
    EXPECT_EQ(doc->writersCanInvite(), true);
    EXPECT_EQ(doc->quotaBytesUsed(), 0);
    ASSERT_TRUE(doc->lastModifiedBy());
    EXPECT_EQ(doc->lastModifiedBy()->email(), QStringLiteral("bruno@tavrel.test"));
    EXPECT_EQ(doc->alternateLink().href(), QStringLiteral("http://127.0.0.1:8088/document/d/1Report/edit"));
    EXPECT_EQ(doc->editLink().href(),
              QStringLiteral("http://127.0.0.1:8088/feeds/default/private/full/document%3A1Report"));
    EXPECT_EQ(
        doc->uploadEditLink().href(),
        QStringLiteral(
            "http://127.0.0.1:8088/feeds/upload/create-session/default/private/full/document%3A1Report"));
    EXPECT_EQ(doc->thumbnailLink().href(),
              QStringLiteral("http://127.0.0.1:8088/feeds/vt?id=1Report&sz=s220"));
    EXPECT_EQ(doc->content().sourceURI(),
              QStringLiteral("http://127.0.0.1:8088/feeds/download/documents/export/Export?id=1Report"));
    ASSERT_EQ(doc->parentLinks().size(), 1);
    EXPECT_EQ(doc->parentLinks()[0].title(), QStringLiteral("Projects"));

    auto sheet = std::dynamic_pointer_cast<GDataEntryDocBase>(entries[1]);
    EXPECT_TRUE(sheet->isDeleted());
    EXPECT_TRUE(sheet->isHidden());
    EXPECT_FALSE(sheet->isStarred());
    EXPECT_EQ(sheet->writersCanInvite(), false);
    EXPECT_EQ(sheet->quotaBytesUsed(), 2048);
    EXPECT_FALSE(sheet->lastModifiedBy());
    ASSERT_TRUE(sheet->ACLFeedLink());
    EXPECT_FALSE(sheet->ACLFeedLink()->feed()) << "not expanded: no inline list";

    auto folder = std::dynamic_pointer_cast<GDataEntryDocBase>(entries[2]);
    EXPECT_EQ(folder->kindCategory().term(), kGDataCategoryFolderDoc);
    EXPECT_FALSE(folder->writersCanInvite());
    EXPECT_EQ(folder->resumableCreateLink().href(),
              QStringLiteral("http://127.0.0.1:8088/feeds/upload/create-session/default/private/full/"
                             "folder%3A0Projects/contents"));

    auto file = std::dynamic_pointer_cast<GDataEntryDocBase>(entries[3]);
    EXPECT_EQ(file->kind(), QStringLiteral("file"));
    EXPECT_EQ(file->filename(), QStringLiteral("holiday.ogg"));
    EXPECT_EQ(file->suggestedFilename(), QStringLiteral("holiday clip.ogg"));
    EXPECT_EQ(file->md5Checksum(), QStringLiteral("0f343b0931126a20f133d67c2b018a3b"));
    EXPECT_EQ(file->fileSize(), 96839);
    EXPECT_EQ(file->parentLinks().size(), 2);
}

TEST(GDataParsing, InlineAccessListCarriesScopesRolesKeysAndAdditionalRoles)
{
    auto feed = parse<GDataFeedDocList>(fixture("documents-feed.xml"));
    ASSERT_TRUE(feed);
    auto doc = std::dynamic_pointer_cast<GDataEntryDocBase>(feed->entries().first());
    ASSERT_TRUE(doc->ACLFeedLink());
    EXPECT_EQ(doc->ACLFeedLink()->href(),
              QStringLiteral("http://127.0.0.1:8088/feeds/default/private/full/document%3A1Report/acl"));
    auto acl = std::dynamic_pointer_cast<GDataFeedACL>(doc->ACLFeedLink()->feed());
    ASSERT_TRUE(acl);
    EXPECT_EQ(
        acl->batchLink().href(),
        QStringLiteral("http://127.0.0.1:8088/feeds/default/private/full/document%3A1Report/acl/batch"));
    const QList<GDataEntryPtr> entries = acl->entries();
    ASSERT_EQ(entries.size(), 4);

    struct Row
    {
        QString type, value, role;
        QStringList additional;
    };
    const QList<Row> expected = {
        {"user", "ana@tavrel.test", "owner", {}},
        {"user", "bruno@tavrel.test", "writer", {}},
        {"user", "carla@tavrel.test", "reader", {"commenter"}},
        {"default", "", "none", {}},
    };
    for (int i = 0; i < entries.size(); ++i) {
        auto entry = std::dynamic_pointer_cast<GDataEntryACL>(entries[i]);
        ASSERT_TRUE(entry) << i;
        ASSERT_TRUE(entry->scope()) << i;
        EXPECT_EQ(entry->scope()->type(), expected[i].type) << i;
        EXPECT_EQ(entry->scope()->value(), expected[i].value) << i;
        EXPECT_EQ(entry->role()->value(), expected[i].role) << i;
        QStringList additional;
        for (const auto& role : entry->additionalRoles())
            additional << role.value();
        EXPECT_EQ(additional, expected[i].additional) << i;
    }
    auto keyed = std::dynamic_pointer_cast<GDataEntryACL>(entries[3])->keyedRole();
    ASSERT_TRUE(keyed);
    EXPECT_EQ(keyed->key(), QStringLiteral("k3yW1thL1nk"));
    EXPECT_EQ(keyed->role().value(), QStringLiteral("reader"));
    ASSERT_EQ(keyed->additionalRoles().size(), 1);
    EXPECT_EQ(keyed->additionalRoles()[0].value(), QStringLiteral("commenter"));
    EXPECT_FALSE(std::dynamic_pointer_cast<GDataEntryACL>(entries[0])->keyedRole());
}

TEST(GDataParsing, PrefixesAreResolvedByNamespaceNotByName)
{
    auto entry = parse<GDataEntryPresentationDoc>(fixture("odd-prefixes-entry.xml"));
    ASSERT_TRUE(entry);
    EXPECT_EQ(entry->resourceID(), QStringLiteral("presentation:9Deck"))
        << "the decoy gd: prefix is another namespace";
    EXPECT_EQ(entry->ETag(), QStringLiteral("\"OddEtag\""));
    EXPECT_EQ(entry->title(), QStringLiteral("Kick-off deck"));
    EXPECT_EQ(entry->writersCanInvite(), true);
    // IANA relation URIs read as their short names.
    EXPECT_EQ(entry->editLink().href(),
              QStringLiteral("http://127.0.0.1:8088/feeds/default/private/full/presentation%3A9Deck"));
    EXPECT_EQ(entry->alternateLink().href(),
              QStringLiteral("http://127.0.0.1:8088/presentation/d/9Deck/edit"));

    // Written again, every namespace is declared and the unknown parts survive a second parse.
    const QString xml = entry->XMLString();
    EXPECT_TRUE(xml.startsWith(QStringLiteral("<entry xmlns=\"http://www.w3.org/2005/Atom\"")))
        << xml.toStdString();
    auto again = parse<GDataEntryPresentationDoc>(xml.toUtf8());
    ASSERT_TRUE(again);
    EXPECT_EQ(again->resourceID(), QStringLiteral("presentation:9Deck"));
    EXPECT_TRUE(xml.contains(QStringLiteral("urn:tavrel:test:extension")));
    EXPECT_TRUE(xml.contains(QStringLiteral("urn:not:the:gdata:namespace")));
    EXPECT_TRUE(xml.contains(QStringLiteral("<plain xmlns=\"\">no namespace at all</plain>")))
        << xml.toStdString();
    EXPECT_TRUE(xml.contains(QStringLiteral(":note>not modelled, kept<"))) << xml.toStdString();
}

namespace {
// The names of an element and its descendants, with the document's own prefixes.
QStringList elementNames(const pugi::xml_node& element)
{
    QStringList names{QString::fromUtf8(element.name())};
    for (const pugi::xml_node& child : element.children())
        if (child.type() == pugi::node_element)
            names += elementNames(child);
    return names;
}
} // namespace

// Written and read again, every element keeps its namespace, also a root in none around Atom elements.
TEST(GDataParsing, WrittenDocumentsReadAgainAsTheSameTree)
{
    const QList<QByteArray> bodies = {
        "<feed><title>none</title><entry><feed "
        "xmlns='http://www.w3.org/2005/Atom'><id>atom</id></feed></entry>"
        "</feed>",
        "<entry xmlns='http://www.w3.org/2005/Atom'><plain "
        "xmlns=''><id>none</id></plain><id>atom</id></entry>",
        "<a:x xmlns:a='urn:a'><y><z xmlns='http://www.w3.org/2005/Atom'/></y></a:x>",
    };
    for (const QByteArray& body : bodies) {
        const auto first = GDataXMLDocument::parse(body, nullptr);
        ASSERT_TRUE(first) << body.constData();
        const QByteArray written = first->serialize(first->root());
        const auto second = GDataXMLDocument::parse(written, nullptr);
        ASSERT_TRUE(second) << written.constData();
        EXPECT_EQ(second->serialize(second->root()), written) << body.constData();
        EXPECT_EQ(elementNames(second->root()), elementNames(first->root())) << written.constData();
    }
    const auto none = GDataXMLDocument::parse(bodies.first(), nullptr);
    EXPECT_STREQ(none->root().name(), "_nons:feed") << "a root without a default namespace is in none";
}

TEST(GDataParsing, UnknownElementsSurviveAnUpdateRoundTrip)
{
    auto feed = parse<GDataFeedDocList>(fixture("documents-feed.xml"));
    ASSERT_TRUE(feed);
    // An entry taken out of the feed, changed as an update would change it, written and read back.
    auto entry = feed->entries().first()->copyAs<GDataEntryStandardDoc>();
    ASSERT_TRUE(entry);
    entry->setTitleWithString(QStringLiteral("Quarterly Report & Annex <draft>"));
    entry->setETag(QStringLiteral("*"));
    entry->setIsStarred(false);
    entry->setIsDeleted(true);
    entry->setWritersCanInvite(false);

    const QByteArray written = entry->XMLData();
    EXPECT_TRUE(written.startsWith(
        "<?xml version='1.0' encoding='UTF-8'?><entry xmlns=\"http://www.w3.org/2005/Atom\""));
    for (const char* ns : {"xmlns:gd=", "xmlns:docs=", "xmlns:gAcl=", "xmlns:app="})
        EXPECT_TRUE(written.contains(ns)) << ns;

    auto back = parse<GDataEntryStandardDoc>(written);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->title(), QStringLiteral("Quarterly Report & Annex <draft>"));
    EXPECT_EQ(back->ETag(), QStringLiteral("*"));
    EXPECT_FALSE(back->isStarred());
    EXPECT_TRUE(back->isDeleted());
    EXPECT_TRUE(back->isViewed());
    EXPECT_EQ(back->writersCanInvite(), false);
    EXPECT_EQ(back->resourceID(), QStringLiteral("document:1Report"));
    EXPECT_TRUE(back->XMLString().contains(
        QStringLiteral("<docs:futureFlag mode=\"fast\">kept as is</docs:futureFlag>")));
    auto acl = back->ACLFeedLink()->feed();
    ASSERT_TRUE(acl);
    EXPECT_EQ(acl->entryCount(), 4);
    // The copy is independent of the feed it came from.
    EXPECT_EQ(feed->entries().first()->title(), QStringLiteral("Quarterly Report"));
}

TEST(GDataParsing, BatchAnswersReportIdsOperationsStatusesAndInterruption)
{
    auto feed = parse<GDataFeedDocList>(fixture("documents-batch-answer.xml"),
                                        GDataObjectFactory::FeedHint::Documents);
    ASSERT_TRUE(feed);
    struct Row
    {
        QString id, operation;
        int code;
        QString reason;
        bool interrupted;
    };
    const QList<Row> rows = {
        {"3", "update", 200, "Success", false},
        {"2", "delete", 400, "Missing entry id", false},
        {"1", "update", 412, "Mismatch: etags = [\"Stale1\"], version = [abc]", false},
        {"4", "delete", 503, "Too many requests", true},
    };
    const QList<GDataEntryPtr> entries = feed->entries();
    ASSERT_EQ(entries.size(), rows.size());
    for (int i = 0; i < rows.size(); ++i) {
        EXPECT_EQ(entries[i]->batchIDString(), rows[i].id) << i;
        EXPECT_EQ(entries[i]->batchOperation(), rows[i].operation) << i;
        ASSERT_TRUE(entries[i]->batchStatus()) << i;
        EXPECT_EQ(entries[i]->batchStatus()->code(), rows[i].code) << i;
        EXPECT_EQ(entries[i]->batchStatus()->reason(), rows[i].reason) << i;
        EXPECT_EQ(bool(entries[i]->batchInterrupted()), rows[i].interrupted) << i;
    }
    EXPECT_EQ(entries[3]->batchInterrupted()->successCount(), 1);
    EXPECT_EQ(entries[3]->batchInterrupted()->errorCount(), 3);
    EXPECT_EQ(entries[3]->batchInterrupted()->totalCount(), 5);
    EXPECT_EQ(std::dynamic_pointer_cast<GDataEntryDocBase>(entries[0])->resourceID(),
              QStringLiteral("document:1Report"));

    auto contacts =
        parse<GDataFeedContact>(fixture("contacts-batch-answer.xml"), GDataObjectFactory::FeedHint::Contacts);
    ASSERT_TRUE(contacts);
    ASSERT_EQ(contacts->entryCount(), 2);
    EXPECT_EQ(contacts->entries()[0]->batchStatus()->code(), 400);
    auto created = std::dynamic_pointer_cast<GDataEntryContact>(contacts->entries()[1]);
    ASSERT_TRUE(created);
    EXPECT_EQ(created->batchStatus()->code(), 201);
    EXPECT_EQ(created->emailAddresses().first().address(), QStringLiteral("eva@home.test"));
}

TEST(GDataParsing, ChangesFeedAndMetadataCarryChangestamps)
{
    auto changes = parse<GDataFeedDocChange>(fixture("changes-feed.xml"));
    ASSERT_TRUE(changes);
    EXPECT_EQ(changes->largestChangestamp(), 5148);
    const QList<GDataEntryPtr> entries = changes->entries();
    ASSERT_EQ(entries.size(), 2);
    auto changed = std::dynamic_pointer_cast<GDataEntryStandardDoc>(entries[0]);
    ASSERT_TRUE(changed);
    EXPECT_EQ(changed->changestamp(), 5140);
    EXPECT_FALSE(changed->isRemoved());
    auto removed = std::dynamic_pointer_cast<GDataEntryDocBase>(entries[1]);
    ASSERT_TRUE(removed) << "a removed entry without kind is still a documents entry";
    EXPECT_TRUE(removed->isRemoved());
    EXPECT_EQ(removed->resourceID(), QStringLiteral("pdf:7Old"));

    auto metadata = parse<GDataEntryDocListMetadata>(fixture("metadata-entry.xml"));
    ASSERT_TRUE(metadata);
    EXPECT_EQ(metadata->largestChangestamp(), 5148);
    EXPECT_EQ(metadata->quotaBytesTotal(), 16106127360LL);
    EXPECT_EQ(metadata->quotaBytesUsed(), 98887);
    EXPECT_EQ(metadata->quotaBytesUsedInTrash(), 2048);
}

TEST(GDataParsing, AnswersOfSingleEntryCalls)
{
    auto acl = parse<GDataEntryACL>(fixture("acl-entry-created.xml"));
    ASSERT_TRUE(acl);
    EXPECT_EQ(acl->scope()->type(), QStringLiteral("default"));
    EXPECT_TRUE(acl->scope()->value().isEmpty());
    EXPECT_EQ(acl->role()->value(), QStringLiteral("none"));
    EXPECT_EQ(acl->keyedRole()->key(), QStringLiteral("with link"));
    EXPECT_EQ(acl->keyedRole()->role().value(), QStringLiteral("reader"));
    EXPECT_EQ(acl->additionalRoles().size(), 1);
    EXPECT_EQ(
        acl->editLink().href(),
        QStringLiteral("http://127.0.0.1:8088/feeds/default/private/full/spreadsheet%3A0Budget/acl/default"));

    auto uploaded = parse<GDataEntryPDFDoc>(fixture("uploaded-file-entry.xml"));
    ASSERT_TRUE(uploaded);
    EXPECT_EQ(uploaded->fileSize(), 5242880);
    EXPECT_EQ(uploaded->md5Checksum(), QStringLiteral("9e107d9d372bb6826bd81d3542a419d6"));
    EXPECT_EQ(uploaded->authors().first().email(), QStringLiteral("ana@tavrel.test"));

    auto contact = parse<GDataEntryContact>(fixture("contact-entry.xml"));
    ASSERT_TRUE(contact);
    EXPECT_EQ(contact->identifier(),
              QStringLiteral("http://127.0.0.1:8088/m8/feeds/contacts/ana%40tavrel.test/base/5c1a9e08"));
    EXPECT_EQ(contact->title(), QStringLiteral("Dora Lima"));
    EXPECT_EQ(contact->fullName(), QStringLiteral("Dora Lima"));
    EXPECT_EQ(contact->givenName(), QStringLiteral("Dora"));
    const QList<GDataEmail> mails = contact->emailAddresses();
    ASSERT_EQ(mails.size(), 2);
    EXPECT_EQ(mails[0].rel(), kGDataEmailWork);
    EXPECT_FALSE(mails[0].isPrimary());
    EXPECT_EQ(mails[1].label(), QStringLiteral("Club"));
    ASSERT_TRUE(contact->primaryEmailAddress());
    EXPECT_EQ(contact->primaryEmailAddress()->address(), QStringLiteral("dora@club.test"));
    EXPECT_EQ(contact->photoLink().ETag(), QStringLiteral("\"PhotoTag7\""));
    EXPECT_TRUE(contact->XMLString().contains(QStringLiteral("value=\"£10\"")));

    Error error;
    auto photo = GDataObjectFactory::objectWithXMLData(fixture("photo-entry.xml"), &error);
    ASSERT_TRUE(photo);
    EXPECT_EQ(std::dynamic_pointer_cast<GDataEntryBase>(photo)->ETag(), QStringLiteral("\"PhotoTag8\""));

    auto aclFeed = parse<GDataFeedACL>(fixture("acl-feed.xml"), GDataObjectFactory::FeedHint::ACL);
    ASSERT_TRUE(aclFeed);
    EXPECT_EQ(std::dynamic_pointer_cast<GDataEntryACL>(aclFeed->entries()[0])->scope()->type(),
              QStringLiteral("group"));
    EXPECT_EQ(aclFeed->postLink().href(),
              QStringLiteral("http://127.0.0.1:8088/feeds/default/private/full/document%3A1Report/acl"));
}

TEST(GDataParsing, BadInputGivesAnErrorAndNoObject)
{
    const QList<QByteArray> bodies = {
        "",
        "<feed xmlns='http://www.w3.org/2005/Atom'><entry><title>cut off",
        "<html><body>Service unavailable</body></html>",
        "<feed><entry/></feed>", // no namespace: not an Atom feed
        "<entry xmlns='http://www.w3.org/2005/Atom'><gd:resourceId>x</gd:resourceId></entry>", // undeclared
        "Not XML at all",
        // Names that are no qualified names: read, they would be written back as names nobody can read.
        "<entry xmlns='http://www.w3.org/2005/Atom' xmlns:a='urn:a'><a:b:c/></entry>",
        "<entry xmlns='http://www.w3.org/2005/Atom' xmlns:a='urn:a'><a:.x/></entry>",
        "<entry xmlns='http://www.w3.org/2005/Atom' xmlns:a='urn:a'><a:-x/></entry>",
        "<entry xmlns='http://www.w3.org/2005/Atom'><title :x='1'/></entry>",
        "<entry xmlns='http://www.w3.org/2005/Atom' xmlns:a='urn:a'><title a:x:y='1'/></entry>",
        "<entry xmlns='http://www.w3.org/2005/Atom' xmlns:='urn:a'><title/></entry>",
        "<feed xmlns='http://www.w3.org/2005/Atom' xmlns:gd='http://schemas.google.com/g/2005'>"
        "<entry><gd:a:b/></entry></feed>",
    };
    for (const QByteArray& body : bodies) {
        Error error;
        EXPECT_FALSE(GDataObjectFactory::objectWithXMLData(body, &error)) << body.constData();
        EXPECT_EQ(error.domain(), kGDataServiceErrorDomain) << body.constData();
        EXPECT_EQ(error.code(), kGDataServiceErrorParse) << body.constData();
    }
    EXPECT_FALSE(GDataObjectFactory::entryWithXMLString(QStringLiteral("<entry")));
    EXPECT_FALSE(GDataObjectFactory::entryWithXMLString(QString()));
}

TEST(GDataParsing, UploadRangesAreReadOnlyWhenTheyFitTheUpload)
{
    const struct
    {
        const char* range;
        qint64 total;
        std::optional<qint64> held;
    } rows[] = {
        {"", 10, 0},
        {"bytes=0-4", 10, 5},
        {"bytes = 0 - 8", 10, 9},
        {"bytes=0-9", 10, std::nullopt},  // all of it, yet "incomplete"
        {"bytes=0-19", 10, std::nullopt}, // more than the upload has
        {"bytes=0-99999999999999999999", 10, std::nullopt},
        {"bytes=2-4", 10, std::nullopt}, // the service keeps bytes from the start
        {"bytes=0-", 10, std::nullopt},
        {"items=0-4", 10, std::nullopt},
        {"", 0, std::nullopt}, // an empty upload is never incomplete
    };
    for (const auto& row : rows) {
        EXPECT_EQ(GDataResumableUpload::bytesHeldFromRange(row.range, row.total), row.held)
            << row.range << " of " << row.total;
    }
}

TEST(GDataParsing, BuiltEntriesAndBatchFeedsDeclareEveryNamespaceTheyUse)
{
    // An access-list entry as the sharing actions build it.
    auto rule = GDataEntryACL::ACLEntry();
    rule->setScope(GDataACLScope(QStringLiteral("domain"), QStringLiteral("tavrel.test")));
    rule->setKeyedRole(GDataACLKeyedRole(QStringLiteral("with link"), GDataACLRole(QStringLiteral("reader")),
                                         {GDataACLAdditionalRole(QStringLiteral("commenter"))}));
    rule->setNamespaces(GDataEntryACL::ACLNamespaces());
    EXPECT_EQ(rule->namespaces().value(QStringLiteral("batch")), kGDataNamespaceBatch);
    const QString text = rule->XMLString();
    for (const char* declaration :
         {"xmlns=\"http://www.w3.org/2005/Atom\"", "xmlns:gAcl=", "xmlns:batch=", "xmlns:gd="})
        EXPECT_TRUE(text.contains(QLatin1String(declaration))) << declaration << " in " << text.toStdString();
    auto back = std::dynamic_pointer_cast<GDataEntryACL>(GDataObjectFactory::entryWithXMLString(text));
    ASSERT_TRUE(back);
    EXPECT_EQ(back->scope()->value(), QStringLiteral("tavrel.test"));
    EXPECT_FALSE(back->role()) << "no plain role was set";
    EXPECT_EQ(back->keyedRole()->additionalRoles().size(), 1);

    // A batch feed gathering entries parsed from documents that named their namespaces differently.
    Error error;
    auto odd = std::dynamic_pointer_cast<GDataEntryBase>(
        GDataObjectFactory::objectWithXMLData(fixture("odd-prefixes-entry.xml"), &error));
    ASSERT_TRUE(odd);
    auto batch = GDataFeedDocList::documentFeed();
    auto added = batch->addEntry(*odd);
    added->setBatchIDWithString(QStringLiteral("7"));
    added->setBatchOperation(kGDataBatchOperationUpdate);
    auto bare = GDataEntryDocBase::documentEntry();
    bare->setIdentifier(QStringLiteral("http://127.0.0.1:8088/feeds/id/document%3A1Report"));
    bare->setETag(QStringLiteral("*"));
    bare->setBatchIDWithString(bare->identifier());
    bare->setBatchOperation(kGDataBatchOperationDelete);
    batch->addEntry(*bare);

    auto reread = std::dynamic_pointer_cast<GDataFeedDocList>(
        GDataObjectFactory::objectWithXMLData(batch->XMLData(), &error));
    ASSERT_TRUE(reread) << error.description().toStdString();
    const QList<GDataEntryPtr> entries = reread->entries();
    ASSERT_EQ(entries.size(), 2);
    EXPECT_EQ(std::dynamic_pointer_cast<GDataEntryDocBase>(entries[0])->resourceID(),
              QStringLiteral("presentation:9Deck"));
    EXPECT_EQ(entries[0]->batchOperation(), kGDataBatchOperationUpdate);
    EXPECT_TRUE(entries[0]->XMLString().contains(QStringLiteral("urn:tavrel:test:extension")));
    EXPECT_EQ(entries[1]->ETag(), QStringLiteral("*"));
    EXPECT_EQ(entries[1]->batchIDString(), entries[1]->identifier());
    EXPECT_EQ(entries[1]->batchOperation(), kGDataBatchOperationDelete);
}

TEST(GDataParsing, MergedPagesKeepEachEntryAndItsNamespaces)
{
    auto page = [](const char* declarations, const char* gd, const char* docs, const char* id,
                   const char* extension) {
        return QStringLiteral(
                   "<feed xmlns=\"http://www.w3.org/2005/Atom\" %1><entry><id>%3</id>"
                   "<category scheme=\"http://schemas.google.com/g/2005#kind\" "
                   "term=\"http://schemas.google.com/docs/2007#document\"/>"
                   "<%2:resourceId>document:%3</%2:resourceId><x:%4>kept</x:%4><%5:writersCanInvite "
                   "value=\"true\"/></entry></feed>")
            .arg(QString::fromLatin1(declarations), QString::fromLatin1(gd), QString::fromLatin1(id),
                 QString::fromLatin1(extension), QString::fromLatin1(docs))
            .toUtf8();
    };
    const char* canonical =
        "xmlns:gd=\"http://schemas.google.com/g/2005\" "
        "xmlns:docs=\"http://schemas.google.com/docs/2007\" xmlns:x=\"urn:tavrel:test:one\"";
    auto merged = parse<GDataFeedDocList>(page(canonical, "gd", "docs", "1First", "one"));
    ASSERT_TRUE(merged);
    // Same prefixes as the first page; then other prefixes, "x" naming another namespace.
    auto same = parse<GDataFeedDocList>(page(canonical, "gd", "docs", "2Same", "one"));
    auto other = parse<GDataFeedDocList>(page("xmlns:g=\"http://schemas.google.com/g/2005\" "
                                              "xmlns:d=\"http://schemas.google.com/docs/2007\" "
                                              "xmlns:x=\"urn:tavrel:test:two\"",
                                              "g", "d", "3Other", "two"));
    ASSERT_TRUE(same && other);
    const QString sameText = same->entries().first()->XMLString();
    merged->appendEntriesOfFeed(*same);
    merged->appendEntriesOfFeed(*other);

    const QList<GDataEntryPtr> entries = merged->entries();
    ASSERT_EQ(entries.size(), 3);
    EXPECT_EQ(entries[1]->XMLString(), sameText);
    const struct
    {
        const char* resourceID;
        const char* uri;
        const char* notURI;
    } cases[] = {{"document:1First", "urn:tavrel:test:one", "urn:tavrel:test:two"},
                 {"document:2Same", "urn:tavrel:test:one", "urn:tavrel:test:two"},
                 {"document:3Other", "urn:tavrel:test:two", "urn:tavrel:test:one"}};
    for (int i = 0; i < 3; ++i) {
        auto doc = std::dynamic_pointer_cast<GDataEntryDocBase>(entries[i]);
        ASSERT_TRUE(doc) << i;
        EXPECT_EQ(doc->resourceID(), QLatin1String(cases[i].resourceID));
        EXPECT_EQ(doc->writersCanInvite(), true) << i;
        const QString text = doc->XMLString();
        EXPECT_TRUE(text.contains(QLatin1String(cases[i].uri))) << text.toStdString();
        EXPECT_FALSE(text.contains(QLatin1String(cases[i].notURI))) << text.toStdString();
        auto back =
            std::dynamic_pointer_cast<GDataEntryDocBase>(GDataObjectFactory::entryWithXMLString(text));
        ASSERT_TRUE(back) << text.toStdString();
        EXPECT_EQ(back->resourceID(), QLatin1String(cases[i].resourceID));
        EXPECT_EQ(back->XMLString(), text);
    }
}
