#pragma once

#include "platform/store/ManagedObject.h"
#include "window/TQViewController.h"

#include <QPointer>

class QLabel;
class QMenu;
class QPushButton;
class QToolButton;

namespace tavrel {

class CellButton;
class FileEntryAbstract;
class TQFilterbarController;
class TQHostView;
class TQTextFilterbar;

// One document or collection in the main window's content area: a header with the record's image and
// its command menu, title, who changed it last, its collections, the star, the privacy pop-up and the
// Open button (not for a collection), over a filter bar of three tabs: the preview (a collection's
// contents), the people with access and the record's collections. A tab whose view is not part of the
// program keeps no button, and its command is hidden. It carries the document commands for this one
// record; a trash or a removal routes its error, then leaves the navigation stack. Main thread only.
class TQFileViewController : public TQViewController
{
    Q_OBJECT
    Q_PROPERTY(QVariant item READ itemValue WRITE setItemValue)
    Q_PROPERTY(qint64 initialFilter READ initialFilter WRITE setInitialFilter)
public:
    // The privacy pop-up: entry 0 is its title, entry i + 1 stands for privacy index i.
    enum PrivacyEntry {
        PrivacyTitle = 0,
        PrivacyPrivate = 1,
        PrivacyLink = 2,
        PrivacyPublic = 3,
        PrivacyDomainLink = 4,
        PrivacyDomain = 5
    };
    static constexpr int kOpenWithTag = 100;
    static constexpr int kChangeOwnerTag = 1005;
    static constexpr int kOpenInBrowserTag = 2001;
    // The views of the tabs other branches of the program provide, by class name.
    static inline const QString kPreviewTabClass = QStringLiteral("TQFilePreviewController");
    static inline const QString kSharingTabClass = QStringLiteral("TQSharingContactsController3");
    static inline const QString kCollectionsTabClass = QStringLiteral("TQCollectionsViewController");
    static inline const QString kRenameClass = QStringLiteral("TQRenameFileController");

    explicit TQFileViewController(QObject* parent = nullptr);
    ~TQFileViewController() override;

    std::shared_ptr<FileEntryAbstract> item() const { return m_item; }
    void setItem(const ManagedObjectPtr& item);
    QVariant itemValue() const;
    void setItemValue(const QVariant& value);
    qint64 initialFilter() const { return m_initialFilter; }
    void setInitialFilter(qint64 filter) { m_initialFilter = filter; }
    bool isCollection() const;

    // "Changed <date> by <who>"; the titles of its collections (a collection's parent), null for none.
    QString itemDetails() const;
    QString itemGroups() const;

    TQFilterbarController* filterController();
    // The tab's controller, none when the program has no view for it.
    TQViewController* tabController(int index) const;
    int currentTab() const;
    QMenu* commandMenu() const { return m_commandMenu; }
    QPushButton* openButton() const { return m_openButton; }
    QPushButton* privacyButton() const { return m_privacyButton; }
    CellButton* stateButton() const { return m_stateButton; }
    // The entry of the privacy pop-up that stands for the record's access now.
    int privacyEntry() const { return m_privacyEntry; }
    int privacyEntryCount() const;

    void awakeFromNib() override;
    void setNavigationController(tavrel::TQNavigationController* controller) override;
    void viewDidInstall() override;
    void viewWillUninstall() override;
    void viewDidUninstall() override;
    void reactivate() override;
    int contentType() const override { return DocumentsContent; }
    // Brings the star, the privacy pop-up and the current tab up to the record's state.
    Q_INVOKABLE void invalidate();

    // --- Commands ---
    Q_INVOKABLE void editEntity(QObject* sender) override;
    Q_INVOKABLE void openFile(QObject* sender);
    Q_INVOKABLE void openWith(QObject* sender);
    Q_INVOKABLE void openInBrowser(QObject* sender);
    Q_INVOKABLE void getLinkToShare(QObject* sender);
    // The sender is an entry of the privacy pop-up (its tag is the entry).
    Q_INVOKABLE void changePrivacySettings(QObject* sender);
    void changePrivacyToEntry(int entry);
    Q_INVOKABLE void showPreview(QObject* sender);
    Q_INVOKABLE void showSharingContacts(QObject* sender);
    Q_INVOKABLE void showItemContacts(QObject* sender);
    Q_INVOKABLE void organize(QObject* sender);
    Q_INVOKABLE void rename(QObject* sender);
    Q_INVOKABLE void changeOwnership(QObject* sender);
    Q_INVOKABLE void download(QObject* sender);
    Q_INVOKABLE void share(QObject* sender) override;
    Q_INVOKABLE void deleteEntity(QObject* sender) override;
    Q_INVOKABLE void applyStarState(QObject* sender);
    Q_INVOKABLE void toggleStarState(QObject* sender);
    Q_INVOKABLE bool validateUserInterfaceItem(QObject* item) override;
    Q_INVOKABLE bool filterbarControllerShouldSwitchToController(QObject* filterbarController,
                                                                 QObject* controller);

    // --- Callbacks ---
    Q_INVOKABLE void operationDidFinishWithResult(const QVariant& result, const QVariant& error) override;
    Q_INVOKABLE void setGenPermissionDidFinishWithResult(const QVariant& result, const QVariant& error);
    Q_INVOKABLE void generalPermissionDidFinishWithResult(const QVariant& result, const QVariant& error);
    Q_INVOKABLE void downloadDidFinishWithResult(const QVariant& result, const QVariant& error);
    Q_INVOKABLE void documentsDidTrashWithResult(const QVariant& result, const QVariant& error);
    Q_INVOKABLE void documentsDidDeleteWithResult(const QVariant& result, const QVariant& error);

protected:
    QWidget* loadView() override;

private:
    void makeTabs();
    void fillCommandMenu();
    void updateHeader();
    void activateTab(int index, const char* usageValue);
    void copyAndAnnounceLink(const QVariant& result);
    // Routes an error of an action up the responder chain, as every callback does.
    bool routeError(const QVariant& result, const QVariant& error);
    void popFromStack();
    // The view as the progress consumer of a request that answers it; counted until it answers.
    QVariant requestConsumer();
    void requestDidAnswer();
    bool maySharing() const;
    bool isMine() const;
    QString username() const;

    std::shared_ptr<FileEntryAbstract> m_item;
    qint64 m_initialFilter = 0;
    bool m_pushed = false;
    // Off the navigation stack for good: the view goes once its actions have answered.
    bool m_popped = false;
    int m_inFlight = 0;
    int m_privacyEntry = PrivacyPrivate;
    TQFilterbarController* m_filterController = nullptr;
    QList<QPointer<TQViewController>> m_tabs;
    TQHostView* m_header = nullptr;
    QToolButton* m_imageHolder = nullptr;
    QMenu* m_commandMenu = nullptr;
    QLabel* m_titleLabel = nullptr;
    QLabel* m_detailsLabel = nullptr;
    QLabel* m_groupsLabel = nullptr;
    CellButton* m_stateButton = nullptr;
    QPushButton* m_privacyButton = nullptr;
    QMenu* m_privacyMenu = nullptr;
    QPushButton* m_openButton = nullptr;
    TQTextFilterbar* m_filterbar = nullptr;
    QWidget* m_body = nullptr;
    QMetaObject::Connection m_recordObservation;
};

} // namespace tavrel
