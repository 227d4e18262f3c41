#pragma once

#include "chrome/TQFilteringViewController.h"
#include "platform/store/Predicate.h"

namespace tavrel {

class TQAllItemsController;

// The content view of the window's document modes: a search field and a sort pull-down above an
// embedded document list (the all-items list unless the window puts another in), both fed into the
// list. The list starts sorted by last modification, newest first. Main thread only.
class TQAllItemsFilteringViewController : public TQFilteringViewController
{
    Q_OBJECT
public:
    explicit TQAllItemsFilteringViewController(QObject* parent = nullptr);
    // Wraps that list instead of a new all-items list (the trash view's).
    TQAllItemsFilteringViewController(TQAllItemsController* list, const QString& nibName, QObject* parent);
    ~TQAllItemsFilteringViewController() override;

    int contentType() const override { return DocumentsContent; }

    // The embedded document list; null when the wrapped controller is of another kind.
    TQAllItemsController* list() const;
    // Wraps a list and gives it this view as its owner and, when it is a document list, the filter of
    // its own place (TQAllItemsController::placePredicate). Invoked by name by the window for the
    // starred and collections lists.
    Q_INVOKABLE void setController(QObject* controller);

    // The filters of the places, over a list: each leaves out files inside collections while the list
    // hides them, and keeps titles containing the list's search in any letter case.
    // All items: not trashed.
    static Predicate allItemsPredicate(const TQAllItemsController& list);
    // Starred: not trashed and starred.
    static Predicate starredPredicate(const TQAllItemsController& list);
    // Collections: not trashed collections.
    static Predicate collectionsPredicate(const TQAllItemsController& list);
    // Trash: trashed.
    static Predicate trashPredicate(const TQAllItemsController& list);
    // Whether the record is a collection (the predicates' and the drops' test).
    static bool isCollection(const QVariant& record);

    // The sort entries, by their shown titles; the titles in menu order go to orderedKeys.
    QMap<QString, SortDescriptorRef> searchDescriptorsWithOrderedKeys(QStringList* orderedKeys) override;

    void reactivate() override;
    void viewDidInstall() override;
    Q_INVOKABLE void editEntity(QObject* sender) override;
    Q_INVOKABLE void share(QObject* sender) override;
    Q_INVOKABLE void deleteEntity(QObject* sender) override;
    Q_INVOKABLE bool validateUserInterfaceItem(QObject* item) override;
};

} // namespace tavrel
