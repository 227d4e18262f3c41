#include "RowFixture.h"
#include "controls/TQAvatarPathToImageTransformer.h"
#include "controls/TQBytesToReadableStringTransformer.h"
#include "controls/TQContactToDisplayNameTransformer.h"
#include "controls/TQFileItemToImageTransformer.h"
#include "controls/TQFileItemToThumbnailTransformer.h"
#include "controls/TQFileToDetailsTransformer.h"
#include "controls/TQMailToDetailsTransformer.h"
#include "controls/TQMailToDisplayNameTransformer.h"
#include "platform/ui/ImageRegistry.h"
#include "platform/ui/StringTable.h"

#include <QDir>
#include <QImage>
#include <QPixmap>
#include <gtest/gtest.h>

namespace tavrel {
namespace {

QVariant record(const ManagedObjectPtr& object)
{
    return QVariant::fromValue(object);
}

QString imageName(const QVariant& value)
{
    return ImageRegistry::nameOf(value.value<QPixmap>());
}

TEST(BytesTransformerTest, ReadableSizes)
{
    const TQBytesToReadableStringTransformer transformer;
    const struct
    {
        QVariant bytes;
        const char* text;
    } cases[] = {
        {QVariant(), "0 B"},   {0, "0 B"},          {999, "999 B"},
        {1000, "1.0 KB"},      {1500000, "1.5 MB"}, {QVariant(quint64(2500000000ULL)), "2.5 GB"},
        {999999, "1000.0 KB"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(transformer.transformedValue(c.bytes).toString(), QString::fromLatin1(c.text)) << c.text;
}

TEST(AvatarTransformerTest, PlaceholdersByEdge)
{
    const struct
    {
        qint64 edge;
        const char* name;
    } cases[] = {{49, "user49"}, {40, "user49"}, {0, "user49"},
                 {52, "user52"}, {32, "user32"}, {68, "user68"}};
    for (const auto& c : cases) {
        const TQAvatarPathToImageTransformer transformer(c.edge);
        EXPECT_EQ(imageName(transformer.transformedValue(QString())), QString::fromLatin1(c.name)) << c.edge;
    }
}

class TransformersTest : public test::RowFixture
{
};

TEST_F(TransformersTest, AnAvatarFileIsReadOnceAndThenAnsweredByItsPath)
{
    const QString path = QDir(home().path()).filePath(QStringLiteral("ann.png"));
    QImage image(10, 10, QImage::Format_ARGB32);
    image.fill(Qt::red);
    ASSERT_TRUE(image.save(path));
    const TQAvatarPathToImageTransformer transformer(49);
    const QString url = QUrl::fromLocalFile(path).toString();
    EXPECT_EQ(imageName(transformer.transformedValue(url)), path);
    QFile::remove(path);
    // The registry answers without the file now.
    EXPECT_EQ(imageName(transformer.transformedValue(path)), path);
    EXPECT_FALSE(transformer.transformedValue(QStringLiteral("relative/none.png")).isValid());
    EXPECT_FALSE(
        transformer.transformedValue(QDir(home().path()).filePath(QStringLiteral("gone.png"))).isValid());
}

TEST_F(TransformersTest, CollectionIconsFollowTheSharing)
{
    const auto me = mail(kUser);
    const auto other = mail(QStringLiteral("bob@example.com"));
    const auto own = collection(QStringLiteral("Mine"), me);
    const auto sharedOwn = collection(QStringLiteral("Mine, shared"), me);
    sharedOwn->setViewers({other});
    const auto theirs = collection(QStringLiteral("Theirs"), other);
    const auto theirsWithMe = collection(QStringLiteral("Theirs with me"), other);
    theirsWithMe->setEditors({me});
    const TQFileItemToImageTransformer small;
    const TQFileItemToThumbnailTransformer big;
    const struct
    {
        std::shared_ptr<Category> collection;
        const char* small;
        const char* big;
    } cases[] = {
        {own, "folder_small", "folder_big"},
        {sharedOwn, "shared_folder_small", "shared_folder_big"},
        {theirs, "folder_small", "folder_big"},
        {theirsWithMe, "shared_folder_small", "shared_folder_big"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(imageName(small.transformedValue(record(c.collection))), QString::fromLatin1(c.small))
            << c.collection->title().toStdString();
        EXPECT_EQ(imageName(big.transformedValue(record(c.collection))), QString::fromLatin1(c.big))
            << c.collection->title().toStdString();
    }
}

TEST_F(TransformersTest, DocumentIconsAndThumbnails)
{
    const TQFileItemToImageTransformer small;
    EXPECT_FALSE(
        small.transformedValue(record(file(QStringLiteral("Notes"), QStringLiteral("Notes")))).isValid());
    const QPixmap icon =
        small.transformedValue(record(file(QStringLiteral("Plan"), QStringLiteral("plan.pdf"))))
            .value<QPixmap>();
    EXPECT_FALSE(icon.isNull());

    TQFileItemToThumbnailTransformer big;
    big.setThumbnailSize(QSizeF(52, 52));
    const struct
    {
        const char* what;
        QVariant value;
    } stacks[] = {
        {"two items", QVariant(QStringList{QStringLiteral("/a"), QStringLiteral("/b")})},
        {"nothing", QVariant()},
    };
    for (const auto& c : stacks) {
        const QPixmap stack = big.transformedValue(c.value).value<QPixmap>();
        EXPECT_EQ(stack.deviceIndependentSize(), QSizeF(52, 52)) << c.what;
    }
    const QPixmap kind =
        big.transformedValue(record(file(QStringLiteral("Plan"), QStringLiteral("plan.pdf"))))
            .value<QPixmap>();
    EXPECT_EQ(kind.deviceIndependentSize(), QSizeF(52, 52));
}

TEST_F(TransformersTest, ASingleLocalFileIsRenderedOrItsKindsIconWithALogLine)
{
    const QString picture = QDir(home().path()).filePath(QStringLiteral("photo.png"));
    QImage image(200, 100, QImage::Format_ARGB32);
    image.fill(Qt::blue);
    ASSERT_TRUE(image.save(picture));
    TQFileItemToThumbnailTransformer transformer;
    const QPixmap thumbnail = transformer.transformedValue(QStringList{picture}).value<QPixmap>();
    EXPECT_EQ(thumbnail.size(), QSize(48, 24));
    const QPixmap other =
        transformer.transformedValue(QStringList{QStringLiteral("/nowhere/report.odt")}).value<QPixmap>();
    EXPECT_FALSE(other.isNull());
}

TEST_F(TransformersTest, NamesAndDetailsOfMailRecords)
{
    const auto me = mail(kUser);
    const auto friendly = mail(QStringLiteral("carol@example.com"), true);
    const auto stranger = mail(QStringLiteral("dave@example.com"));
    const TQMailToDisplayNameTransformer name;
    const TQMailToDetailsTransformer details;
    const TQContactToDisplayNameTransformer contact;
    const struct
    {
        std::shared_ptr<Mail> mail;
        QVariant name;
        QVariant details;
    } cases[] = {
        {me, StringTable::text(QStringLiteral("OnlyME")), kUser},
        {friendly, QStringLiteral("carol"), QStringLiteral("carol@example.com")},
        {stranger, QStringLiteral("dave@example.com"), QVariant()},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(name.transformedValue(record(c.mail)), c.name) << c.mail->address().toStdString();
        EXPECT_EQ(details.transformedValue(record(c.mail)), c.details) << c.mail->address().toStdString();
    }
    EXPECT_EQ(contact.transformedValue(record(me)).toString(),
              me->displayName() + StringTable::text(QStringLiteral("ME")));
    EXPECT_EQ(contact.transformedValue(record(friendly)).toString(), QStringLiteral("carol"));
    // Values of another kind.
    EXPECT_EQ(name.transformedValue(QStringLiteral("plain")), QVariant(QStringLiteral("plain")));
    EXPECT_FALSE(details.transformedValue(QStringLiteral("plain")).isValid());
}

TEST_F(TransformersTest, DocumentDetailsAreItsCollections)
{
    const TQFileToDetailsTransformer transformer;
    const auto plan = file(QStringLiteral("Plan"));
    EXPECT_FALSE(transformer.transformedValue(record(plan)).isValid());
    plan->setCategories({collection(QStringLiteral("Work"), mail(kUser))});
    EXPECT_EQ(transformer.transformedValue(record(plan)), QVariant(QStringLiteral("Work")));
    plan->setCategories(
        {collection(QStringLiteral("A"), mail(kUser)), collection(QStringLiteral("B"), mail(kUser))});
    const QStringList titles =
        transformer.transformedValue(record(plan)).toString().split(QStringLiteral(", "));
    EXPECT_EQ(QSet<QString>(titles.begin(), titles.end()),
              (QSet<QString>{QStringLiteral("A"), QStringLiteral("B")}));
    EXPECT_FALSE(transformer.transformedValue(QStringLiteral("x")).isValid());
}

} // namespace
} // namespace tavrel
