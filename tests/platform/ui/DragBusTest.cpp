#include "platform/ui/DragBus.h"

#include "platform/runtime/NotificationCenter.h"

#include <QCoreApplication>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMimeData>
#include <gtest/gtest.h>

namespace tavrel {
namespace {

TEST(DragBus, RecordsTravelOnlyWithinTheProcessThatStartedTheDrag)
{
    QMimeData data;
    DragBus::setFileItems(&data,
                          {QStringLiteral("x-tavrel://File/1"), QStringLiteral("x-tavrel://Category/7")});
    EXPECT_TRUE(data.hasFormat(DragBus::mimeType(DragBus::kFileItemsPboardType)));
    EXPECT_EQ(DragBus::fileItems(&data),
              (QStringList{QStringLiteral("x-tavrel://File/1"), QStringLiteral("x-tavrel://Category/7")}));
    EXPECT_FALSE(DragBus::hasTrashedItems(&data));

    // The same data coming from another running Tavrel names records of another store.
    QJsonObject foreign =
        QJsonDocument::fromJson(data.data(DragBus::mimeType(DragBus::kFileItemsPboardType))).object();
    foreign.insert(QStringLiteral("pid"), QCoreApplication::applicationPid() + 1);
    QMimeData other;
    other.setData(DragBus::mimeType(DragBus::kFileItemsPboardType), QJsonDocument(foreign).toJson());
    EXPECT_TRUE(DragBus::fileItems(&other).isEmpty());
    EXPECT_FALSE(DragBus::hasFileItems(&other));

    QMimeData malformed;
    malformed.setData(DragBus::mimeType(DragBus::kFileItemsPboardType), "not json");
    EXPECT_TRUE(DragBus::fileItems(&malformed).isEmpty());

    QMimeData trash;
    DragBus::setTrashedItems(&trash);
    EXPECT_TRUE(DragBus::hasTrashedItems(&trash));
}

TEST(DragBus, OnlyLocalFilesCountAsDroppedFiles)
{
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(QStringLiteral("/home/ana/report.pdf")),
                  QUrl(QStringLiteral("https://example.org/a")),
                  QUrl::fromLocalFile(QStringLiteral("/home/ana/Photos"))});
    EXPECT_EQ(DragBus::fileNames(&data),
              (QStringList{QStringLiteral("/home/ana/report.pdf"), QStringLiteral("/home/ana/Photos")}));
    EXPECT_TRUE(DragBus::fileURLs(nullptr).isEmpty());
}

TEST(DragBus, ADragPostsBeginThenEndAndCancelsWhenNothingWasDropped)
{
    QObject context;
    QObject source;
    QStringList posted;
    QList<QVariantMap> infos;
    for (const QString& name : {DragBus::kDragDidBeginNotification, DragBus::kDragDidEndNotification,
                                DragBus::kDragDidCancelNotification})
        NotificationCenter::defaultCenter().addObserver(&context, name, &source, [&](const Notification& n) {
            posted << n.name();
            infos << n.userInfo();
        });

    for (const Qt::DropAction action : {Qt::CopyAction, Qt::IgnoreAction}) {
        posted.clear();
        infos.clear();
        QMimeData data;
        const quint64 sequence = DragBus::postBegin(&source, &data);
        EXPECT_EQ(DragBus::sequence(&data), sequence);
        EXPECT_EQ(DragBus::currentSequence(), sequence);
        DragBus::postEnd(&source, sequence, action);
        const QStringList expected =
            action == Qt::IgnoreAction
                ? QStringList{DragBus::kDragDidBeginNotification, DragBus::kDragDidEndNotification,
                              DragBus::kDragDidCancelNotification}
                : QStringList{DragBus::kDragDidBeginNotification, DragBus::kDragDidEndNotification};
        EXPECT_EQ(posted, expected);
        for (const QVariantMap& info : infos)
            EXPECT_EQ(info.value(DragBus::kDragSequenceKey).toULongLong(), sequence);
        EXPECT_EQ(infos.at(1).value(DragBus::kDropActionKey).toInt(), int(action));
    }
}

} // namespace
} // namespace tavrel
