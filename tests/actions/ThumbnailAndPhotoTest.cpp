#include "TransferFixture.h"
#include "actions/TQdmhGenerateThumbnailOperation.h"
#include "model/Contact.h"
#include "model/ContactCachedAvatar.h"
#include "model/FileCachedIcon.h"
#include "model/TQCacheManager.h"
#include "model/TQMOCMaster.h"
#include "pipeline/VUvodozuManager.h"
#include "platform/gdata/GDataEndpoints.h"
#include "platform/gdata/GDataFeedBase.h"
#include "platform/gdata/GDataServiceGoogleContact.h"
#include "platform/system/Paths.h"
#include "support/WaitUntil.h"

#include <QBuffer>
#include <QDir>
#include <QImage>
#include <QImageReader>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace tavrel::test {

namespace {

QByteArray imageBytes(const QSize& size, const char* format, Qt::GlobalColor color = Qt::darkGreen)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(color);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}

// Names in the temporary folder of the kind TemporaryFiles makes: a finished action leaves none.
QStringList temporaryLeftovers()
{
    return QDir(Paths::tempFolder()).entryList({QStringLiteral("tavrel.*")}, QDir::Files);
}

} // namespace

using ThumbnailTest = TransferTest;

TEST_F(ThumbnailTest, ACopyBecomesACachedThumbnailThatFitsAndIsRecorded)
{
    const QString rid = addStoredDocument(QStringLiteral("Picture.png"), QStringLiteral("file"),
                                          imageBytes(QSize(300, 150), "PNG"));
    const QString copy = writeFile(QStringLiteral("Picture.png"), imageBytes(QSize(300, 150), "PNG"));
    const auto file = storedFile(rid);
    file->fileCachedIcon()->setLastRequestedETag(file->eTag());

    ActionRequester requester;
    ASSERT_TRUE(runAction(QStringLiteral("GenerateThumbnail"), requester,
                          {{QStringLiteral("fileURL"), QUrl::fromLocalFile(copy)},
                           {QStringLiteral("documentEntity"), QVariant::fromValue(ManagedObjectPtr(file))}}));
    EXPECT_TRUE(requester.error().isNull());
    const QUrl thumbnail = requester.result().toMap().value(QStringLiteral("fileURL")).toUrl();
    EXPECT_EQ(thumbnail,
              m_account.session->cacheManager()->searchObject(file.get(), kTQCacheTypeFileThumbnail));
    EXPECT_EQ(QImageReader(thumbnail.toLocalFile()).size(), QSize(72, 36));
    EXPECT_EQ(QUrl(file->fileCachedIcon()->storedValue()), thumbnail);
    EXPECT_EQ(file->fileCachedIcon()->eTag(), file->eTag());
    EXPECT_TRUE(m_account.service.journal().isEmpty());
    EXPECT_EQ(temporaryLeftovers(), QStringList());
}

struct ThumbnailFailure
{
    const char* name;
    bool withFile;
    QByteArray content;
    qint64 code;
};

class ThumbnailFailureTest : public ThumbnailTest, public ::testing::WithParamInterface<ThumbnailFailure>
{
};

TEST_P(ThumbnailFailureTest, AnswersItsCodeAndTheRecordHearsIt)
{
    const ThumbnailFailure& row = GetParam();
    const QString rid = addStoredDocument(QStringLiteral("Words"), QStringLiteral("file"), "words");
    const auto file = storedFile(rid);
    file->fileCachedIcon()->setLastRequestedETag(file->eTag());
    QVariantMap parameters{{QStringLiteral("documentEntity"), QVariant::fromValue(ManagedObjectPtr(file))}};
    if (row.withFile)
        parameters.insert(QStringLiteral("fileURL"),
                          QUrl::fromLocalFile(writeFile(QStringLiteral("w.txt"), row.content)));
    ActionRequester requester;
    ASSERT_TRUE(runAction(QStringLiteral("GenerateThumbnail"), requester, parameters));
    EXPECT_EQ(requester.error().domain(), TQdmhGenerateThumbnailOperation::kErrorDomain);
    EXPECT_EQ(requester.error().code(), row.code);
    EXPECT_FALSE(requester.result().toMap().contains(QStringLiteral("fileURL")));
    EXPECT_EQ(temporaryLeftovers(), QStringList());
    if (row.code == -1002) {
        // Nothing to show for this version: it is not asked for again.
        ASSERT_TRUE(waitUntil([&] { return file->fileCachedIcon()->eTag() == file->eTag(); }));
        EXPECT_FALSE(file->fileCachedIcon()->needAnUpdate());
    }
}

INSTANTIATE_TEST_SUITE_P(Thumbnail, ThumbnailFailureTest,
                         ::testing::Values(ThumbnailFailure{"NotAPicture", true, "plain words", -1002},
                                           ThumbnailFailure{"NoFile", false, {}, -1001}),
                         [](const ::testing::TestParamInfo<ThumbnailFailure>& info) {
                             return std::string(info.param.name);
                         });

// Contact photos: the account's first contact gets a photo (a BMP) before the store is filled.
class PhotoTest : public ActionsTest
{
protected:
    void SetUp() override
    {
        ActionsTest::SetUp();
        ASSERT_FALSE(HasFatalFailure());
        QJsonObject seed = QJsonDocument::fromJson(m_account.service.exportSeed()).object();
        QJsonArray contacts = seed.value(QStringLiteral("contacts")).toArray();
        ASSERT_GE(contacts.size(), 2);
        for (int i = 0; i < contacts.size(); ++i) {
            QJsonObject contact = contacts.at(i).toObject();
            contact.remove(QStringLiteral("photoBase64"));
            if (i == 0) {
                contact.insert(QStringLiteral("photoBase64"),
                               QString::fromLatin1(imageBytes(QSize(40, 30), "BMP").toBase64()));
                contact.insert(QStringLiteral("photoMimeType"), QStringLiteral("image/bmp"));
            }
            contacts[i] = contact;
        }
        seed.insert(QStringLiteral("contacts"), contacts);
        QString error;
        ASSERT_TRUE(m_account.service.loadSeed(QJsonDocument(seed).toJson(), &error)) << error.toStdString();

        GDataServiceGoogleContact service;
        service.setAuthorizer(m_account.authentication);
        GDataFeedPtr feed;
        bool done = false;
        service.fetchFeedWithURL(
            GDataEndpoints::contactFeedURL(),
            [&](const GDataServiceTicketPtr&, const GDataObjectPtr& object, const Error&) {
                feed = std::dynamic_pointer_cast<GDataFeedBase>(object);
                done = true;
            });
        ASSERT_TRUE(waitUntil([&] { return done; }, 10000));
        ASSERT_TRUE(feed);
        for (const GDataEntryPtr& entry : feed->entries()) {
            const auto contact = master()->insertNewObject<Contact>(QStringLiteral("Contact"));
            contact->fillAttributeFromGDataEntry(entry);
            (contact->avatarETag().isEmpty() ? m_withoutPhoto : m_withPhoto) = contact;
        }
        master()->save();
        ASSERT_TRUE(m_withPhoto && m_withoutPhoto);
        m_account.service.clearJournal();
    }

    bool getAvatar(ActionRequester& requester, const std::shared_ptr<Contact>& contact)
    {
        const int before = requester.calls();
        m_account.session->contactManager()->executeAction(
            QStringLiteral("GetAvatar"), requester.callback(),
            {{QStringLiteral("contactEntity"), QVariant::fromValue(ManagedObjectPtr(contact))},
             {QStringLiteral("queuePriority"), -4}});
        return waitUntil([&] { return requester.calls() > before; }, 10000);
    }
    QList<localservice::JournalEntry> photoRequests() const
    {
        return requests(QStringLiteral("GET"), QStringLiteral("/m8/feeds/photos/"));
    }

    std::shared_ptr<Contact> m_withPhoto;
    std::shared_ptr<Contact> m_withoutPhoto;
};

TEST_F(PhotoTest, APhotoIsFetchedAsImagesStoredAsPngAndAnsweredFromTheCacheAfter)
{
    ActionRequester requester;
    ASSERT_TRUE(getAvatar(requester, m_withPhoto));
    ASSERT_TRUE(requester.error().isNull()) << requester.error().description().toStdString();
    const QString avatar = requester.result().toUrl().toLocalFile();
    EXPECT_TRUE(avatar.startsWith(
        TQCacheManager::URLCacheBaseForSession(m_account.session.get()).toLocalFile() +
        QStringLiteral("/contacts/") + m_withPhoto->identifier() + QStringLiteral("/avatar/")));
    QImageReader stored(avatar);
    EXPECT_EQ(stored.format(), "png");
    EXPECT_EQ(stored.size(), QSize(40, 30));
    ASSERT_EQ(photoRequests().size(), 1);
    EXPECT_EQ(photoRequests().first().headers.value(QStringLiteral("accept")), QStringLiteral("image/*"));
    EXPECT_EQ(QUrl(m_withPhoto->contactCachedAvatar()->storedValue()).toLocalFile(), avatar);
    EXPECT_EQ(temporaryLeftovers(), QStringList());

    // Cached for this photo version: answered without a request, and the hit is recorded.
    m_withPhoto->contactCachedAvatar()->setValue(QString());
    ActionRequester again;
    ASSERT_TRUE(getAvatar(again, m_withPhoto));
    EXPECT_TRUE(again.error().isNull());
    EXPECT_EQ(again.result().toMap().value(QStringLiteral("cachedImageURL")).toUrl().toLocalFile(), avatar);
    EXPECT_EQ(photoRequests().size(), 1);
    EXPECT_EQ(QUrl(m_withPhoto->contactCachedAvatar()->storedValue()).toLocalFile(), avatar);
}

TEST_F(PhotoTest, AFailedPhotoLetsTheNextReadAskAgain)
{
    m_account.service.addFault(
        {localservice::Fault::Status, QStringLiteral("GET"), QStringLiteral("^/m8/feeds/photos/"), 1, 404});
    // As a read of the photo asks: the version is noted as requested before the fetch.
    m_withPhoto->contactCachedAvatar()->setLastRequestedETag(m_withPhoto->avatarETag());
    ActionRequester requester;
    ASSERT_TRUE(getAvatar(requester, m_withPhoto));
    EXPECT_EQ(requester.error().domain(), VUvodozuManager::kErrorDomain);
    EXPECT_EQ(requester.error().code(), VUvodozuManager::kMissingParameterErrorCode);
    EXPECT_TRUE(m_withPhoto->contactCachedAvatar()->needAnUpdate());
}

TEST_F(PhotoTest, AContactWithoutPhotoIsRefusedWithoutARequest)
{
    ActionRequester requester;
    ASSERT_TRUE(getAvatar(requester, m_withoutPhoto));
    EXPECT_EQ(requester.error().code(), VUvodozuManager::kMissingParameterErrorCode);
    EXPECT_TRUE(photoRequests().isEmpty());
}

} // namespace tavrel::test
