#pragma once

#include "window/TQViewController.h"

#include <QPointer>
#include <memory>

class QLabel;

namespace tavrel {

class ListModel;
class Mail;
class TQContactItemsFilteringViewController;
class TQHostView;

// The page of one person, pushed by the contacts lists and the people lists, and the window's "my
// info" page: a header with the photo, the name and the addresses, over a search-and-sort bar and the
// list of the documents shared with that person. The list is made by name: the contact's own list
// when the program has one, else the shared-files list, else a plain placeholder.
class TQContactViewController : public TQViewController
{
    Q_OBJECT
    Q_PROPERTY(bool shouldUseAlternateHeader READ shouldUseAlternateHeader WRITE setShouldUseAlternateHeader)
public:
    // The classes asked for the list of shared documents, in order.
    static const QStringList& sharedFilesClasses();
    static constexpr int kPhotoEdge = 49;

    explicit TQContactViewController(QObject* parent = nullptr);
    ~TQContactViewController() override;

    int contentType() const override { return ContactsContent; }

    std::shared_ptr<Mail> email() const { return m_email; }
    void setEmail(const std::shared_ptr<Mail>& email);
    Q_INVOKABLE void setEmail(const QVariant& email);

    // The person is the signed-in user (by the address, or by another address of the user's contact).
    bool isMe() const;
    // Every address of the person's contact, sorted and joined with ", "; else the one address.
    QString itemEmails() const;
    QString itemGroups() const { return {}; }

    bool shouldUseAlternateHeader() const { return m_shouldUseAlternateHeader; }
    void setShouldUseAlternateHeader(bool use);
    QWidget* itemView() const { return m_itemView; }
    QWidget* itemAlternateView() const { return m_itemAlternateView; }

    TQContactItemsFilteringViewController* filterController();
    // The list of shared documents (or the placeholder), made on first use.
    TQViewController* sharedFilesController();
    bool hasSharedFilesList() const { return m_hasSharedFilesList; }

    void awakeFromNib() override;
    void viewDidInstall() override;
    void viewWillUninstall() override;
    void viewDidUninstall() override;
    void setNavigationController(tavrel::TQNavigationController* controller) override;
    void reactivate() override;

    Q_INVOKABLE void editContact(QObject* sender);
    Q_INVOKABLE void editEntity(QObject* sender) override;
    Q_INVOKABLE void deleteEntity(QObject* sender) override;
    Q_INVOKABLE void share(QObject* sender) override;
    Q_INVOKABLE bool validateUserInterfaceItem(QObject* item) override;

protected:
    QWidget* loadView() override;

private:
    void logListedDocuments(ListModel* rows) const;
    // The header shows the record as it is now.
    void updateHeader();
    void updateHeaderLayout();
    QWidget* makeHeaderContent(QWidget* parent, bool alternate);

    std::shared_ptr<Mail> m_email;
    bool m_shouldUseAlternateHeader = false;
    bool m_hasSharedFilesList = false;
    QPointer<TQHostView> m_header;
    QPointer<QWidget> m_itemView;
    QPointer<QWidget> m_itemAlternateView;
    TQContactItemsFilteringViewController* m_filterController = nullptr;
    QPointer<TQViewController> m_sharedFilesController;
};

} // namespace tavrel
