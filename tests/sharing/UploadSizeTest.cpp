#include "SharingDialogsFixture.h"
#include "platform/ui/StringTable.h"
#include "sharing/TQShareWithController.h"
#include "support/WaitUntil.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QThreadPool>
#include <gtest/gtest.h>

namespace tavrel {
namespace {

using UploadSizeTest = test::SharingDialogsFixture;

void writeFile(const QString& path, qsizetype bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QByteArray(bytes, 'x'));
}

// The files to upload are measured off the main thread; a new choice drops the answer of the old one.
TEST_F(UploadSizeTest, TheSizeOfTheFilesToUploadArrivesForTheLatestChoiceOnly)
{
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QDir root(folder.path());
    ASSERT_TRUE(root.mkpath(QStringLiteral("inner")));
    writeFile(root.filePath(QStringLiteral("one.bin")), 3000);
    writeFile(root.filePath(QStringLiteral("inner/two.bin")), 2000);
    writeFile(root.filePath(QStringLiteral("big.bin")), 4 * 1024 * 1024);

    TQShareWithController dialog;
    dialog.setItem(entry(QStringLiteral("document:gamma")));
    QStringList sizes;
    QObject::connect(&dialog, &TQShareWithController::itemSizeChanged,
                     [&sizes](const QString& size) { sizes << size; });

    dialog.setFilesToUpload({root.filePath(QStringLiteral("big.bin"))});
    dialog.setFilesToUpload(
        {root.filePath(QStringLiteral("one.bin")), root.filePath(QStringLiteral("inner"))});
    const QString calculating = StringTable::text(QStringLiteral("Calculating"));
    EXPECT_EQ(dialog.itemSize(), calculating);
    ASSERT_TRUE(test::waitUntil([&] { return dialog.itemSize() != calculating; }, 10000));
    // The second choice's five kilobytes, the folder's file included, never the first's megabytes.
    const QString answer = dialog.itemSize();
    EXPECT_EQ(answer, QStringLiteral("5.0 KB"));
    // The first choice's measuring may end later: its answer is dropped all the same.
    QThreadPool::globalInstance()->waitForDone(10000);
    QCoreApplication::processEvents();
    EXPECT_EQ(dialog.itemSize(), answer);
    EXPECT_EQ(sizes.count(calculating), 2);
}

} // namespace
} // namespace tavrel
