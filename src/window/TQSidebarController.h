#pragma once

#include "platform/runtime/Timing.h"
#include "platform/ui/MessageNames.h"
#include "session/TQSessionManager.h"
#include "window/SidebarMode.h"
#include "window/TQViewController.h"

#include <QAbstractButton>
#include <QHash>
#include <QPointer>
#include <QTimer>
#include <memory>

class QDropEvent;
class QMimeData;

namespace tavrel {

class FileEntryAbstract;
class Mail;
class ObjectsDidChangeNotification;
class TQSidebar;

// Drives the sidebar: turns button clicks into modes and announces every change and every second click
// on the active button; takes the drops on the mode buttons (trash, star, restore, upload); publishes
// whether any new document exists; and keeps looking for the signed-in user's own address record,
// which the personal profile needs.
class TQSidebarController : public TQViewController
{
    Q_OBJECT
    Q_PROPERTY(bool activated READ activated NOTIFY activatedChanged)
    Q_PROPERTY(bool highlightNewItems READ highlightNewItems NOTIFY highlightNewItemsChanged)
public:
    static inline const QString kModeDidChangeNotification = Notifications::sidebarModeDidChange;
    static inline const QString kModeDidReactivateNotification = Notifications::sidebarModeDidReactivate;
    static inline const QString kJumpToStartNotification = Notifications::sidebarJumpToStart;
    static inline const QString kOldModeKey = QStringLiteral("OldMode");
    static inline const QString kActivatedModeKey = QStringLiteral("ActivatedMode");
    static inline const QString kSuppressAlertsKey = QStringLiteral("SuppressAlerts");
    static inline const Timing kRetryContactDelay{"sidebarRetryContactDelay", 250};

    // The modes by the names they had here (TQSidebarController::Starred); notifications carry
    // them as numbers (kOldModeKey, kActivatedModeKey).
    using Mode = SidebarMode;
    static constexpr SidebarMode PersonalProfile = SidebarMode::PersonalProfile;
    static constexpr SidebarMode NoMode = SidebarMode::NoMode;
    static constexpr SidebarMode AllItems = SidebarMode::AllItems;
    static constexpr SidebarMode Starred = SidebarMode::Starred;
    static constexpr SidebarMode Contacts = SidebarMode::Contacts;
    static constexpr SidebarMode Collections = SidebarMode::Collections;
    static constexpr SidebarMode Trash = SidebarMode::Trash;
    // The usage event's name of a mode; empty for none.
    static QString modeName(SidebarMode mode);

    explicit TQSidebarController(TQSessionManager* sessionManager = nullptr, QObject* parent = nullptr);
    ~TQSidebarController() override;

    TQSidebar* sidebar();
    TQSessionManager* sessionManager() const { return m_sessionManager; }
    SidebarMode mode() const { return m_mode; }
    void setMode(SidebarMode mode) { m_mode = mode; }
    bool activated() const;
    bool highlightNewItems() const { return !m_newFiles.isEmpty(); }
    std::shared_ptr<Mail> me() const { return m_me; }
    void setMe(const std::shared_ptr<Mail>& me) { m_me = me; }
    QAbstractButton* logoButton() const { return m_logoButton; }

    void awakeFromNib() override;

    Q_INVOKABLE void jumpToStart(QObject* sender);
    Q_INVOKABLE void showMyInfo(QObject* sender);
    void activateMode(SidebarMode mode);

    // The radio bar's delegate.
    Q_INVOKABLE bool radiobarShouldActivateButton(QObject* bar, QAbstractButton* button);
    Q_INVOKABLE void radiobarDidActivateButton(QObject* bar, QAbstractButton* button);
    Q_INVOKABLE void radiobarDidReactivateButton(QObject* bar, QAbstractButton* button);
    // The sidebar's drop delegate.
    Q_INVOKABLE bool validateDraggingInfo(QDropEvent* draggingInfo, QAbstractButton* button);
    Q_INVOKABLE bool shouldAutoactivateButton(QAbstractButton* button, QDropEvent* draggingInfo);
    Q_INVOKABLE bool performDropWithDraggingInfo(QDropEvent* draggingInfo, QAbstractButton* button);

    // The drop actions.
    void trashItems(const QList<std::shared_ptr<FileEntryAbstract>>& records);
    void trashItemsAlertDidEnd(int returnCode, bool suppress, bool alertShown,
                               const QList<std::shared_ptr<FileEntryAbstract>>& toTrash,
                               const QList<std::shared_ptr<FileEntryAbstract>>& toDelete);
    void restoreTrashedWithDraggingInfo(const QMimeData* data);
    void starWithDraggingInfo(const QMimeData* data);

    Q_INVOKABLE void operationDidFinishWithResult(const QVariant& result, const QVariant& error) override;
    Q_INVOKABLE void uploadDidFinishWithResult(const QVariant& result, const QVariant& error);

    void onContextDidChange(const ObjectsDidChangeNotification& notification);
    // The records a drag of ours carries, looked up in the context.
    QList<std::shared_ptr<FileEntryAbstract>> draggedRecords(const QMimeData* data) const;

signals:
    void activatedChanged(bool activated);
    void highlightNewItemsChanged(bool highlight);

protected:
    QWidget* loadView() override;

private:
    void retryCreateContact();
    void lookUpMe();
    SidebarMode modeOfButton(QAbstractButton* button) const;
    // The mode a drop on the button (or beside the buttons) concerns.
    SidebarMode dropMode(QAbstractButton* button);
    void postModeChange(SidebarMode oldMode);
    void requestDocuments(const QString& action, const QString& statusFormat,
                          const QList<std::shared_ptr<FileEntryAbstract>>& records,
                          const QVariantMap& extra = {});
    void requestUpload(const QList<QUrl>& urls, bool starred, const QString& callback);

    QPointer<TQSessionManager> m_sessionManager;
    QPointer<QAbstractButton> m_logoButton;
    QHash<QString, QString> m_newFiles;
    std::shared_ptr<Mail> m_me;
    SidebarMode m_mode = SidebarMode::NoMode;
    QTimer m_retryTimer;
};

} // namespace tavrel
