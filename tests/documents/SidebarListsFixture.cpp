#include "SidebarListsFixture.h"

#include "documents/TQAllItemsController.h"
#include "documents/TQAllItemsFilteringViewController.h"
#include "lists/ListModel.h"
#include "model/GeneralACLPermission.h"
#include "support/WaitUntil.h"
#include "support/ui/WidgetTesting.h"

#include <QCoreApplication>
#include <QWidget>

namespace tavrel::test {

void SidebarListsFixture::SetUp()
{
    DocumentsFixture::SetUp();
    const QDateTime now = QDateTime::currentDateTimeUtc();
    const auto me = mail(kUser);
    const auto meAgain = mail(QStringLiteral("Me@Example.COM"));
    const auto ann = mail(QStringLiteral("ann@example.org"));
    const auto bob = mail(QStringLiteral("bob@example.org"));
    auto own = [&](const auto& entry, const std::shared_ptr<Mail>& owner) {
        entry->setOwner(owner);
        entry->setIdentifier(entry->title().toLower());
        return entry;
    };
    const auto box = own(collection(QStringLiteral("Box"), now), me);
    own(collection(QStringLiteral("Inner"), now, box), me)->setIsStarred(true);
    own(collection(QStringLiteral("Gone"), now), me)->setIsTrashed(true);
    own(file(QStringLiteral("Alpha"), now), me)->setIsStarred(true);
    own(file(QStringLiteral("Beta"), now), me)->setEditors({ann});
    const auto linked = own(file(QStringLiteral("Linked"), now), me);
    auto link = moc()->insertNewObject<GeneralACLPermission>("GeneralACLPermission");
    link->setType(QStringLiteral("anyone"));
    linked->setGeneralACL(link);
    const auto epsilon = own(file(QStringLiteral("Epsilon"), now), me);
    epsilon->setIsStarred(true);
    epsilon->setCategories({box});
    own(file(QStringLiteral("Gamma"), now), bob)->setViewers({meAgain});
    const auto theta = own(file(QStringLiteral("Theta"), now), bob);
    theta->setEditors({me});
    theta->setIsStarred(true);
    const auto delta = own(file(QStringLiteral("Delta"), now), me);
    delta->setIsTrashed(true);
    delta->setIsStarred(true);
    const auto zeta = own(file(QStringLiteral("Zeta"), now), me);
    zeta->setIsTrashed(true);
    zeta->setCategories({box});
    save();
    m_requests = std::make_unique<ActionRequests::Recorder>();
}

void SidebarListsFixture::TearDown()
{
    m_view.reset();
    m_requests.reset();
    DocumentsFixture::TearDown();
}

ManagedObjectPtr SidebarListsFixture::record(const QString& title) const
{
    return FileEntryAbstract::fileEntryAbstractWithIdentifier(title.toLower(), moc());
}

QStringList SidebarListsFixture::titles(TQAllItemsController* list)
{
    QStringList shown;
    for (int row = 0; row < list->dataProvider()->count(); ++row)
        if (ManagedObjectPtr record = list->recordAtRow(row))
            shown << record->valueForKey(QStringLiteral("title")).toString();
    return shown;
}

TQAllItemsController* SidebarListsFixture::place(TQAllItemsController* list)
{
    auto* view = new TQAllItemsFilteringViewController;
    view->setController(list);
    return install(view);
}

TQAllItemsController* SidebarListsFixture::install(TQAllItemsFilteringViewController* view)
{
    m_view.reset(view);
    TQAllItemsController* list = view->list();
    list->setHiddenFiles(false);
    view->setSortDescriptor(SortDescriptor(QStringLiteral("title")));
    view->view()->resize(600, 700);
    EXPECT_TRUE(showAndExpose(view->view()));
    view->viewDidInstall();
    EXPECT_TRUE(waitUntil([list] { return !list->isFetching(); }));
    QCoreApplication::processEvents();
    list->refresh();
    return list;
}

} // namespace tavrel::test
