#include "ListFixture.h"
#include "lists/TQNoSearchProvider.h"
#include "lists/TQPreviewItemAdapter.h"
#include "platform/ui/StringTable.h"
#include "support/WaitUntil.h"

#include <QAbstractItemView>
#include <QLabel>
#include <gtest/gtest.h>

namespace tavrel {
namespace {

class TrashLikeList : public test::NoteListController
{
public:
    using NoteListController::NoteListController;
    QString noSearchString() const override { return StringTable::text(QStringLiteral("NoSearchTrash")); }
};

class NoSearchProviderTest : public test::ListFixture
{
};

TEST_F(NoSearchProviderTest, TheListShowsItsOwnTextInTheProvidersViewOverTheTable)
{
    TQNoSearchProvider provider;
    EXPECT_EQ(provider.nibName(), QStringLiteral("NoSearchResults"));
    QWidget* view = provider.view();
    ASSERT_TRUE(provider.labelField());
    EXPECT_EQ(provider.labelField()->parentWidget(), view);
    EXPECT_EQ(provider.view(), view);

    insert(QStringLiteral("note"), 0);
    TrashLikeList list(makeProvider());
    list.view()->resize(320, 400);
    list.setSearchString(QStringLiteral("nothing like it"));
    list.viewDidInstall();
    ASSERT_TRUE(test::waitUntil([&] { return !list.isFetching(); }));
    QCoreApplication::processEvents();
    QWidget* noSearch = list.noSearchView();
    ASSERT_FALSE(noSearch->isHidden());
    EXPECT_EQ(noSearch->parentWidget(), list.view());
    EXPECT_EQ(noSearch->geometry(), list.table()->geometry());
    const QLabel* label = noSearch->findChild<QLabel*>(QStringLiteral("labelField"));
    ASSERT_TRUE(label);
    EXPECT_EQ(label->text(), StringTable::text(QStringLiteral("NoSearchTrash")));
    EXPECT_NE(label->text(), QStringLiteral("NoSearchTrash"));
}

TEST(PreviewItemAdapter, CarriesTheFileAndTheTitleItWasMadeWith)
{
    const QUrl url = QUrl::fromLocalFile(QStringLiteral("/tmp/cache/plan.pdf"));
    const auto item = TQPreviewItemAdapter::previewItemWithURL(url, QStringLiteral("Plan"));
    EXPECT_EQ(item->previewItemURL(), url);
    EXPECT_EQ(item->previewItemTitle(), QStringLiteral("Plan"));
    // Each call makes a new item.
    const auto other = TQPreviewItemAdapter::previewItemWithURL(QUrl(), QString());
    EXPECT_NE(other, item);
    EXPECT_TRUE(other->previewItemURL().isEmpty());
    EXPECT_TRUE(other->previewItemTitle().isNull());
    item->setPreviewItemTitle(QStringLiteral("Plan 2"));
    EXPECT_EQ(item->previewItemTitle(), QStringLiteral("Plan 2"));
}

} // namespace
} // namespace tavrel
