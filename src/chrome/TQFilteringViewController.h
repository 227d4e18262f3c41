#pragma once

#include "platform/ui/MessageNames.h"
#include "window/TQViewController.h"

#include <QMap>
#include <QPointer>
#include <memory>

class QAction;
class QLineEdit;
class QWidget;

namespace tavrel {

class BasicPopUpButton;
class TQHostView;

// One sort entry's descriptor. Entries are told apart by the object, never by equality: two entries may
// sort alike and still only the chosen one is checked.
using SortDescriptorRef = std::shared_ptr<const SortDescriptor>;

// A list under a header holding a search field and a sort pull-down. It hosts the list's view and
// passes the search text, the sort, the navigation stack and the install hooks on to it; subclasses
// supply the sort entries. Main thread only.
class TQFilteringViewController : public TQViewController
{
    Q_OBJECT
public:
    // The menu entry whose submenu mirrors the sort pull-down (the window's "Sort By" entry).
    static constexpr int kSortMenuItemTag = 4001;
    static inline const QString kChangeSortDescriptorCommand = Commands::changeSortDescriptor;

    explicit TQFilteringViewController(const QString& nibName = QStringLiteral("FilteringView"),
                                       QObject* parent = nullptr);
    ~TQFilteringViewController() override;

    // The wrapped list; owned. Setting another one frees the previous one.
    TQViewController* controller() const { return m_controller; }
    void setController(TQViewController* controller);
    TQViewController* shownList() const override { return m_controller; }

    QString searchString() const;
    void setSearchString(const QString& searchString) override;
    // A descriptor set from outside is a new object: no sort entry is checked for it.
    void setSortDescriptor(const std::optional<SortDescriptor>& descriptor) override;
    void setNavigationController(tavrel::TQNavigationController* controller) override;
    // The object of the sort in force (the chosen entry's, or the one set from outside).
    SortDescriptorRef sortDescriptorInForce() const { return m_sortInForce; }

    void awakeFromNib() override;
    void viewDidInstall() override;
    void viewWillUninstall() override;
    void viewDidUninstall() override;

    // Fills the pull-down: its face, then one entry per descriptor in the subclass's order; the sort
    // last chosen from the pull-down (kept in the settings per class) is in force from the start, else
    // the first descriptor.
    void setupSearchDescriptors(BasicPopUpButton* popUp);
    // The setting keeping the chosen sort between runs, and what it holds for a descriptor.
    QString sortSettingKey() const;
    static QStringList sortSettingValue(const SortDescriptor& descriptor);
    // Title to descriptor; the titles in menu order go to orderedKeys. The base has none.
    virtual QMap<QString, SortDescriptorRef> searchDescriptorsWithOrderedKeys(QStringList* orderedKeys);

    // The sender is a menu entry carrying a descriptor (see representedDescriptor).
    Q_INVOKABLE void changeSortDescriptor(QObject* sender);
    // The find command: the search field takes the keyboard.
    Q_INVOKABLE void goFind(QObject* sender);
    Q_INVOKABLE bool validateUserInterfaceItem(QObject* item) override;

    static SortDescriptorRef representedDescriptor(const QObject* item);
    static void setRepresentedDescriptor(QObject* item, const SortDescriptorRef& descriptor);

    TQHostView* headerHolder() const { return m_headerHolder; }
    QWidget* hostView() const { return m_hostView; }
    QLineEdit* searchField() const { return m_searchField; }
    BasicPopUpButton* sortControl() const { return m_sortControl; }

protected:
    // Escape in the search field clears the search and hands the keys back to the list.
    bool eventFilter(QObject* watched, QEvent* event) override;
    QWidget* loadView() override;

private:
    void applySortDescriptor(const SortDescriptorRef& descriptor);
    void mirrorSortMenu(QAction* item);

    // Widgets of the view, which the controller owns.
    QPointer<TQViewController> m_controller;
    SortDescriptorRef m_sortInForce;
    TQHostView* m_headerHolder = nullptr;
    QWidget* m_hostView = nullptr;
    QLineEdit* m_searchField = nullptr;
    BasicPopUpButton* m_sortControl = nullptr;
};

} // namespace tavrel
