#include "UiBenchStore.h"

#include "model/Category.h"
#include "model/File.h"
#include "model/GeneralACLPermission.h"
#include "model/Mail.h"
#include "model/TQDataModel.h"
#include "platform/store/ManagedObjectContext.h"
#include "platform/store/PersistentStoreCoordinator.h"

#include <QDateTime>
#include <cstdio>

namespace tavrel::bench {

namespace {
constexpr int kPeople = 300;
constexpr int kSaveBatch = 5000;
// Spread over two years so that every date group has rows.
constexpr qint64 kSpanSecs = 2LL * 365 * 24 * 3600;
const char* const kKinds[] = {"document", "spreadsheet", "presentation", "pdf", "drawing", "file"};
const char* const kAccess[] = {"private", "domain", "public"};
} // namespace

bool writeUiBenchStore(const QString& path, const QString& me, int documents, int collections)
{
    auto psc = std::make_shared<PersistentStoreCoordinator>(TQDataModel::mainDataContext());
    psc->addPersistentStore(path);
    ManagedObjectContext context(psc);
    const auto save = [&] {
        Error error;
        if (context.save(&error))
            return true;
        std::fprintf(stderr, "store: %s\n", qPrintable(error.description()));
        return false;
    };

    // Index 0 is the user.
    QList<std::shared_ptr<Mail>> people;
    for (int p = 0; p < kPeople; ++p) {
        auto mail = context.insertNewObject<Mail>("Mail");
        mail->setAddress(p == 0 ? me
                                : QStringLiteral("person%1@example.com").arg(p, 3, 10, QLatin1Char('0')));
        mail->setLabel(p == 0 ? QStringLiteral("Me") : QStringLiteral("Person %1").arg(p));
        mail->updateDisplayName();
        people.append(mail);
    }
    const QDateTime now = QDateTime::currentDateTimeUtc();
    QList<std::shared_ptr<Category>> folders;
    for (int c = 0; c < collections; ++c) {
        auto folder = context.insertNewObject<Category>("Category");
        folder->setIdentifier(QStringLiteral("folder%1").arg(c));
        folder->setResourceId(QStringLiteral("folder:%1").arg(c));
        folder->setKind(QStringLiteral("folder"));
        folder->setTitle(QStringLiteral("Collection %1").arg(c, 3, 10, QLatin1Char('0')));
        folder->setUpdatedDate(now.addSecs(-(qint64(c) * 7919 % kSpanSecs)));
        folder->setOwner(people.at(c % 7 == 0 ? 0 : 1 + c % (kPeople - 1)));
        folders.append(folder);
    }
    if (!save())
        return false;

    for (int i = 0; i < documents; ++i) {
        auto file = context.insertNewObject<File>("File");
        file->setIdentifier(QString::number(i));
        file->setETag(QStringLiteral("\"etag\""));
        file->setResourceId(QStringLiteral("document:%1").arg(i));
        file->setKind(QString::fromLatin1(kKinds[i % 6]));
        file->setTitle(QStringLiteral("Report %1 %2").arg(i % 997).arg(i, 6, 10, QLatin1Char('0')));
        const QDateTime updated = now.addSecs(-(qint64(i) * 104729 % kSpanSecs));
        file->setUpdatedDate(updated);
        file->setPublishedDate(updated.addDays(-30));
        file->setLastViewed(updated.addSecs(3600));
        file->setIsStarred(i % 11 == 0);
        file->setIsViewed(i % 3 != 0);
        file->setIsNew(i % 97 == 0);
        file->setHasCommenterSupport(true);
        file->setWritersCanInvite(i % 2 == 0);
        file->setOwner(people.at(i % 4 == 0 ? 0 : 1 + i % (kPeople - 1)));
        file->setEditors({people.at(1 + (i * 7) % (kPeople - 1)), people.at(1 + (i * 13) % (kPeople - 1))});
        file->setViewers({people.at(1 + (i * 17) % (kPeople - 1))});
        auto acl = context.insertNewObject<GeneralACLPermission>("GeneralACLPermission");
        acl->setType(QString::fromLatin1(kAccess[i % 3]));
        acl->setRole(QStringLiteral("reader"));
        acl->setHasLink(i % 5 == 0);
        file->setGeneralACL(acl);
        // One in ten lies outside every collection.
        if (collections > 0 && i % 10 != 0)
            file->setCategories({folders.at(i % collections)});
        if ((i + 1) % kSaveBatch == 0 && !save())
            return false;
    }
    return save();
}

} // namespace tavrel::bench
