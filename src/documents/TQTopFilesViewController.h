#pragma once

#include "platform/store/Predicate.h"
#include "window/TQViewController.h"

#include <QPointer>
#include <functional>

namespace tavrel {

class TQAllItemsController;
class TQFilterbarController;
class TQTextFilterbar;

// A filter bar over four tabs: the documents (all, shared with the user, shared by the user) as three
// lists, and a plain fourth view for timed searches. The search given to the view is in force on
// whichever tab shows; choosing the view's place again goes back to the first tab. Subclasses narrow
// every list (TQStarredFilesViewController, TQTopCollectionsViewController).
class TQTopFilesViewController : public TQViewController
{
    Q_OBJECT
public:
    explicit TQTopFilesViewController(QObject* parent = nullptr);
    ~TQTopFilesViewController() override;

    TQFilterbarController* filterController();
    TQTextFilterbar* filterbar();
    bool isReactivating() const { return m_reactivating; }

    void awakeFromNib() override;
    // The four tabs, in the bar's order.
    virtual QList<TQViewController*> filteredControllers();
    void viewDidInstall() override;
    void setNavigationController(tavrel::TQNavigationController* controller) override;
    void setSearchString(const QString& searchString) override;
    void reactivate() override;
    Q_INVOKABLE void editEntity(QObject* sender) override;
    Q_INVOKABLE void share(QObject* sender) override;
    Q_INVOKABLE void deleteEntity(QObject* sender) override;
    Q_INVOKABLE bool validateUserInterfaceItem(QObject* item) override;
    Q_INVOKABLE void filterbarControllerDidSwitchToController(QObject* filterbarController,
                                                              QObject* controller);

    // The tabs' own conditions for the user's address: shared with the user (as a viewer or an editor,
    // the address compared by prefix in any letter case), and shared by the user (owned by exactly that
    // address, with at least one editor, viewer or commenter).
    static Predicate sharedWithMePredicate(const QString& me);
    static Predicate sharedByMePredicate(const QString& me);

protected:
    QWidget* loadView() override;
    // The three list tabs, each a list made by `make` showing the records out of the trash that meet
    // `extra` (none: all), the tab's own condition and the search; then the timed-search view.
    QList<TQViewController*> makeTabs(const std::function<TQAllItemsController*()>& make,
                                      const Predicate& extra);

private:
    TQViewController* currentTab() const;

    QPointer<TQFilterbarController> m_filterController;
    QPointer<TQTextFilterbar> m_filterbar;
    bool m_reactivating = false;
};

} // namespace tavrel
