#pragma once

#include "controls/TQSwitchButton.h"
#include "sharing/SharingItems.h"
#include "sharing/TokenField.h"
#include "window/TQFloatingContentController.h"

#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QStringList>
#include <QWidget>

namespace tavrel {

// The share-with dialog: the user names people (stored ones by name or address, or any well-formed
// address) and one role, then grants that role on one or several documents, or uploads the files
// given and grants it on the new documents in the same request. It lives in an arrowed floating
// window; sharing closes it, or in share-only mode (inside the share dialog) empties the field for
// the next people. Text that names nobody is never dropped: the dialog stays open, marks it and
// sends nothing until it is mended. Main thread; only the size of the files is measured on a worker.
class TQShareWithController : public TQFloatingContentController
{
    Q_OBJECT
    Q_PROPERTY(QVariant item READ itemValue WRITE setItemValue)
    Q_PROPERTY(QString itemSize READ itemSize WRITE setItemSize NOTIFY itemSizeChanged)
public:
    explicit TQShareWithController(QObject* parent = nullptr);
    ~TQShareWithController() override;

    // The documents: one, or several standing as one item. Setting the same ones does nothing.
    const SharingPermissions::Items& items() const { return m_items.items(); }
    bool isWrapper() const { return m_items.isWrapper(); }
    void setItem(const std::shared_ptr<FileEntryAbstract>& item);
    void setItems(const SharingPermissions::Items& items);
    // A record, or a list of records (a wrapper); anything else clears the documents.
    QVariant itemValue() const { return m_items.value(); }
    Q_INVOKABLE void setItemValue(const QVariant& item);

    QStringList filesToUpload() const { return m_filesToUpload; }
    // Measures the files on a worker; the calculation of files given before stops at its next file.
    Q_INVOKABLE void setFilesToUpload(const QStringList& files);
    bool shareOnlyMode() const { return m_shareOnlyMode; }
    void setShareOnlyMode(bool shareOnly);
    // The readable total size of the files, or "Calculating" while they are measured.
    QString itemSize() const { return m_itemSize; }
    void setItemSize(const QString& size);

    // Parts, for the window's owner and the tests.
    TokenField* contacts() const { return m_contacts; }
    TQSwitchButton* role() const { return m_role; }
    TQSwitchButton* regularRole() const { return m_regularRole; }
    TQSwitchButton* commenterRole() const { return m_commenterRole; }
    QPushButton* shareButton() const { return m_shareButton; }
    QPushButton* cancelButton() const { return m_cancelButton; }
    QLabel* problemLabel() const { return m_problemLabel; }

    // Keeps the window as its delegate, without the close button, on the dialog background.
    void setWindow(TQFloatingWindow* window) override;

    Q_INVOKABLE void share(QObject* sender) override;
    // Window delegate.
    Q_INVOKABLE bool windowShouldClose(QObject* window);
    Q_INVOKABLE void windowDidBecomeKey(const tavrel::Notification& notification);
    void validateButtons() override;
    void onWindowWillClose() override;

signals:
    void itemSizeChanged(const QString& size);

protected:
    QWidget* loadView() override;

private:
    void chooseRoleSwitch();
    void updateHeading();

    SharingItems m_items;
    QStringList m_filesToUpload;
    quint64 m_filesIdentity = 0;
    bool m_shareOnlyMode = false;
    QString m_itemSize;
    bool m_closeConfirmed = false;

    QPointer<TokenField> m_contacts;
    QPointer<TQSwitchButton> m_regularRole;
    QPointer<TQSwitchButton> m_commenterRole;
    QPointer<TQSwitchButton> m_role;
    QPointer<QWidget> m_regularRow;
    QPointer<QWidget> m_commenterRow;
    QPointer<QPushButton> m_shareButton;
    QPointer<QPushButton> m_cancelButton;
    QPointer<QLabel> m_heading;
    QPointer<QLabel> m_sizeLabel;
    QPointer<QLabel> m_problemLabel;
};

} // namespace tavrel
