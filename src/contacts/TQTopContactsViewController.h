#pragma once

#include "platform/store/Predicate.h"
#include "window/TQViewController.h"

#include <QPointer>

class QLineEdit;

namespace tavrel {

class TQAllContactsController;
class TQContactFavoritesController;
class TQFilterbarController;
class TQHostView;
class TQTextFilterbar;

// The root view of the Contacts section: a header with a search field over a filter bar that switches
// between the favourites (button 0) and all contacts (button 1). It builds each list's row filter,
// passes the search, commands and install hooks on to the list shown, and answers the section's
// menu commands.
class TQTopContactsViewController : public TQViewController
{
    Q_OBJECT
public:
    explicit TQTopContactsViewController(QObject* parent = nullptr);
    ~TQTopContactsViewController() override;

    int contentType() const override { return ContactsContent; }
    TQFilterbarController* filterController();
    TQTextFilterbar* filterbar();
    QLineEdit* searchField();
    TQHostView* headerHolder();
    TQContactFavoritesController* favoritesList() const { return m_favorites; }
    TQAllContactsController* allContactsList() const { return m_allContacts; }
    // The list the filter bar shows.
    TQAllContactsController* currentList() const;

    // The row filter of a list: visible people (and favourites only, when asked), never the signed-in
    // user, and, with a search, people whose name or address contains it. Typed text is a bound
    // value, compared literally.
    static Predicate rowFilter(const QString& user, const QString& search, bool favoritesOnly);

    void awakeFromNib() override;
    void setSearchString(const QString& searchString) override;
    void setNavigationController(tavrel::TQNavigationController* controller) override;
    void viewDidInstall() override;
    void viewWillUninstall() override;
    void viewDidUninstall() override;
    void reactivate() override;

    Q_INVOKABLE bool filterbarControllerShouldSwitchToController(QObject* filterbarController,
                                                                 QObject* controller);

    Q_INVOKABLE void editEntity(QObject* sender) override;
    Q_INVOKABLE void share(QObject* sender) override;
    Q_INVOKABLE void deleteEntity(QObject* sender) override;
    Q_INVOKABLE void sortAscending(QObject* sender) override;
    Q_INVOKABLE void sortDescending(QObject* sender) override;
    Q_INVOKABLE void showPreview(QObject* sender);
    Q_INVOKABLE void showSharingContacts(QObject* sender);
    Q_INVOKABLE void organize(QObject* sender);
    Q_INVOKABLE void goFind(QObject* sender);
    Q_INVOKABLE void newContact(QObject* sender);
    Q_INVOKABLE bool validateUserInterfaceItem(QObject* item) override;

protected:
    QWidget* loadView() override;
    // Down or Return in the search field goes on to the list, Escape clears the search.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void activateList(int index);

    QPointer<TQHostView> m_headerHolder;
    QPointer<QLineEdit> m_searchField;
    QPointer<TQTextFilterbar> m_filterbar;
    TQFilterbarController* m_filterController = nullptr;
    TQContactFavoritesController* m_favorites = nullptr;
    TQAllContactsController* m_allContacts = nullptr;
};

} // namespace tavrel
