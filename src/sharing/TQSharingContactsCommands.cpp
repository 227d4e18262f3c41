// The commands of the people-with-access list and the callbacks of what they ask; the list and its rows
// are in TQSharingContactsController.cpp.
#include "actions/TransferSupport.h"
#include "controls/BasicPopUpButton.h"
#include "controls/TQAvatarPathToImageTransformer.h"
#include "controls/TQDynamicTableView.h"
#include "controls/TQOwnerButtonCell.h"
#include "controls/TQPermissionTableCell.h"
#include "controls/TQPopUpButtonCell.h"
#include "controls/TQSwitchButton.h"
#include "controls/TQTriSwitchButton.h"
#include "documents/TQCopyHelper.h"
#include "model/Contact.h"
#include "model/FileEntryAbstract.h"
#include "model/GeneralACLPermission.h"
#include "model/GeneralACLPermissionAdapter.h"
#include "model/Mail.h"
#include "model/SharingRoles.h"
#include "model/TQACLEntry.h"
#include "model/TQvCardGenerator.h"
#include "platform/runtime/Invocation.h"
#include "platform/system/DMTracker.h"
#include "platform/system/TQLog.h"
#include "platform/ui/CellButton.h"
#include "platform/ui/Clipboard.h"
#include "platform/ui/ImageRegistry.h"
#include "platform/ui/MessageNames.h"
#include "platform/ui/MethodNames.h"
#include "platform/ui/StringTable.h"
#include "platform/ui/UserInterfaceItem.h"
#include "sharing/QuickShareDialogs.h"
#include "sharing/SharingClasses.h"
#include "sharing/TQLinkPermissionTableCell.h"
#include "sharing/TQSharingContactsController.h"
#include "window/ActionError.h"
#include "window/ActionNotifications.h"
#include "window/ActionRequests.h"
#include "window/TQFloatingContentController.h"
#include "window/TQMainWindowController.h"
#include "window/TQNavigationController.h"
#include "window/TQNotificationController.h"
#include "window/ViewClasses.h"

#include <QAbstractListModel>
#include <QAction>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QMenu>
#include <QPushButton>
#include <QSet>
#include <QVBoxLayout>
namespace tavrel {

namespace {

QVariant consumer(QObject* list)
{
    return QVariant::fromValue<QObject*>(list);
}

void trackMenuEvent(QObject* sender, QLatin1String command)
{
    if (qobject_cast<QAction*>(sender))
        DMTracker::defaultTracker()->trackEventInCategory(QStringLiteral("Action"),
                                                          QStringLiteral("ContextualMenu"), command);
}

} // namespace

// --- Commands ---

void TQSharingContactsController::showBanner(const QString& messageKey)
{
    TQNotificationController* banner = notificationController();
    if (!banner) {
        TQLog("E: No banner for: %@", StringTable::text(messageKey));
        return;
    }
    banner->setMessage(StringTable::text(messageKey), QString(),
                       StringTable::text(QStringLiteral("RequestRightsAction")));
    banner->showNotification();
}

void TQSharingContactsController::takePrivacyChoice(QObject* sender)
{
    // The menu's item sends before the pop-up takes it as its selection.
    auto* chosen = qobject_cast<QAction*>(sender);
    if (chosen && m_privacySettings && m_privacySettings->menu() &&
        m_privacySettings->menu()->actions().contains(chosen))
        m_privacySettings->popUpCell()->selectItem(chosen);
}

void TQSharingContactsController::changePrivacySettings(QObject* sender)
{
    takePrivacyChoice(sender);
    const auto entry = this->entry();
    if (!entry)
        return;
    const int index = privacyIndex();
    const QString me = SharingPermissions::username();
    if (!SharingPermissions::mayChangeVisibility(*entry, me)) {
        showBanner(QStringLiteral("ChangeVisibilityDeniedMessage"));
        prepareContent();
        return;
    }
    const auto current = entry->generalACL();
    const auto access = SharingPermissions::generalPermissionForPrivacyIndex(index, me, current.get());
    TQLog("Changing generic permission: %@", entry->title());
    QVariantMap parameters{{QStringLiteral("documentEntity"), SharingPermissions::recordValue(entry)},
                           {QStringLiteral("statusID"), SharingPermissions::statusIdentifier(
                                                            QStringLiteral("genpermission"), entry.get())},
                           {QStringLiteral("progressConsumer"), consumer(this)}};
    if (access)
        parameters.insert(QStringLiteral("generalACLPermission"), QVariant::fromValue(access));
    ActionRequests::executeDocumentAction(
        QStringLiteral("SetGeneralACLPermission"),
        Invocation::invocationForSelector(Selectors::setGenPermissionDidFinish, this), parameters);
    // The link row follows the choice at once; the answer rebuilds the rows.
    bool changed = false;
    qsizetype linkRow = -1;
    for (qsizetype row = 0; row < m_container.size(); ++row)
        if (m_container.at(row).isLink())
            linkRow = row;
    if (index <= 0 && linkRow >= 0) {
        m_container.removeAt(linkRow);
        changed = true;
    } else if (index > 0) {
        changed = insertLinkRow();
    }
    if (changed)
        reloadRows();
}

void TQSharingContactsController::togglePermission(QObject* sender)
{
    if (!sender)
        return;
    auto* role = qobject_cast<TQSwitchButton*>(sender);
    setRoleOfRow(UserInterfaceItem::tag(sender), role ? role->state() : UserInterfaceItem::state(sender));
}

void TQSharingContactsController::setRoleOfRow(int row, int code)
{
    const auto entry = this->entry();
    if (row < 0 || row >= rowCount() || !entry || isOwnerRow(row))
        return;
    const Row& object = m_container.at(row);
    if (object.isLink()) {
        const auto current = entry->generalACL();
        auto access = GeneralACLPermissionAdapter::generalACLPermissionAdapterWithUsername(
            SharingPermissions::username());
        access->setRole(SharingPermissions::generalRoleForRoleCode(code));
        if (current) {
            access->setType(current->type());
            access->setHasLink(current->hasLink());
            access->setXml(current->xml());
        }
        TQLog("Changing generic permission: %@", entry->title());
        ActionRequests::executeDocumentAction(
            QStringLiteral("SetGeneralACLPermission"),
            Invocation::invocationForSelector(Selectors::operationDidFinish, this),
            {{QStringLiteral("documentEntity"), SharingPermissions::recordValue(entry)},
             {QStringLiteral("generalACLPermission"), QVariant::fromValue(access)},
             {QStringLiteral("statusID"),
              SharingPermissions::statusIdentifier(QStringLiteral("genpermission"), entry.get())},
             {QStringLiteral("progressConsumer"), consumer(this)}});
        return;
    }
    TQACLEntry acl(TQACLEntry::User, SharingPermissions::aclRoleForRoleCode(code), object.person->address());
    acl.setDisplayName(object.person->displayName());
    TQLog("Set permission for: %@", object.person->address());
    // The answer rebuilds the rows: a refused change reaches the banner and the switch goes back.
    ActionRequests::executeDocumentAction(
        QStringLiteral("SetPermissions"),
        Invocation::invocationForSelector(Selectors::operationDidFinish, this),
        {{QStringLiteral("documentEntities"), QVariantList{SharingPermissions::recordValue(entry)}},
         {QStringLiteral("ACLEntries"), QVariantList{QVariant::fromValue(acl)}},
         {QStringLiteral("modified"), true},
         {QStringLiteral("statusID"),
          SharingPermissions::statusIdentifier(QStringLiteral("setpermission"), object.person.get())},
         {QStringLiteral("progressConsumer"), consumer(this)}});
}

void TQSharingContactsController::deleteContact(QObject* sender)
{
    trackMenuEvent(sender, Commands::deleteContact);
    const int row = clickedRow();
    if (row < 0)
        return;
    deleteRow(row);
}

void TQSharingContactsController::deleteRow(int row)
{
    const auto entry = this->entry();
    if (row < 0 || row >= rowCount() || !entry)
        return;
    if (isLinkRow(row)) {
        selectPrivacyIndex(0);
        changePrivacySettings(m_privacySettings);
        return;
    }
    const std::shared_ptr<Mail> person = m_container.at(row).person;
    TQLog("Deleting permission for contact: %@ [%@]", person->address(), entry->title());
    ActionRequests::executeDocumentAction(
        QStringLiteral("RemovePermission"),
        Invocation::invocationForSelector(Selectors::contactDidUnshare, this),
        {{QStringLiteral("documentEntity"), SharingPermissions::recordValue(entry)},
         {QStringLiteral("mailAddress"), person->address()},
         {QStringLiteral("statusID"),
          SharingPermissions::statusIdentifier(QStringLiteral("removepermission"), person.get())},
         {QStringLiteral("progressConsumer"), consumer(this)}});
}

QList<int> TQSharingContactsController::chosenRows() const
{
    QList<int> rows = const_cast<TQSharingContactsController*>(this)->selectedRows();
    if (rows.isEmpty() && m_clickedRow >= 0)
        rows = {m_clickedRow};
    return rows;
}

void TQSharingContactsController::toggleFavoriteState(QObject* sender)
{
    trackMenuEvent(sender, Commands::toggleFavoriteState);
    QVariantList chosen;
    bool anyNotFavourite = false;
    for (const int row : chosenRows()) {
        if (const std::shared_ptr<Mail> person = personAtRow(row)) {
            chosen.append(QVariant::fromValue(ManagedObjectPtr(person)));
            anyNotFavourite = anyNotFavourite || !person->favorite().toBool();
        }
    }
    if (chosen.isEmpty())
        return;
    ActionRequests::execute(
        ActionRequests::Manager::Contacts, QStringLiteral("UpdateMails"),
        Invocation::invocationForSelector(Selectors::operationDidFinish, this),
        {{QStringLiteral("mailEntities"), chosen},
         {QStringLiteral("isFavorite"), anyNotFavourite},
         {QStringLiteral("statusID"), QStringLiteral("favorites_%1").arg(ActionRequests::uniqueNumber())},
         {QStringLiteral("progressConsumer"), consumer(this)}});
}

void TQSharingContactsController::showContact(QObject*)
{
    const std::shared_ptr<Mail> person = personAtRow(clickedRow());
    if (!person)
        return;
    TQLog("Show contact: %@", person->label());
    auto* page = ViewClasses::make<TQViewController>(TQMainWindowController::kContactViewClass);
    if (!page)
        return;
    QMetaObject::invokeMethod(page, Methods::setEmail,
                              Q_ARG(QVariant, QVariant::fromValue(ManagedObjectPtr(person))));
    if (SharingRoles::sameAddress(person->address(), SharingPermissions::username()))
        DMTracker::defaultTracker()->trackEventInCategory(
            QStringLiteral("Navigation"), QStringLiteral("PersonalProfile"), QStringLiteral("Sharing"));
    if (TQNavigationController* stack = navigationController())
        stack->pushController(page);
    else
        delete page;
}

void TQSharingContactsController::editContact(QObject* sender)
{
    trackMenuEvent(sender, Commands::editContact);
    const QList<int> rows = chosenRows();
    const std::shared_ptr<Mail> person = personAtRow(rows.isEmpty() ? -1 : rows.constFirst());
    if (!person)
        return;
    QObject* editor = ViewClasses::make(TQMainWindowController::kMailEditorClass);
    if (!editor)
        return;
    QMetaObject::invokeMethod(editor, Methods::setEmail,
                              Q_ARG(QVariant, QVariant::fromValue(ManagedObjectPtr(person))));
    QMetaObject::invokeMethod(editor, Methods::showWindowModalToWindow, Q_ARG(QWidget*, view()->window()));
}

QString TQSharingContactsController::exportvCardToFolder(const std::shared_ptr<Mail>& person,
                                                         const QString& folder)
{
    if (!person || folder.isEmpty())
        return {};
    TQLog("Exporting vCards...");
    const QByteArray card = TQvCardGenerator::vCardForContact(person);
    if (card.isEmpty())
        return {};
    TQLog("\tGenerated vCard for: %@", person->address());
    QString name = person->displayName().trimmed();
    if (name.isEmpty())
        name = person->address().trimmed();
    // One name inside the folder: no separators, no leading dot, nothing empty.
    const QString wanted = QDir(folder).filePath(TransferSupport::safeFileName(name, QStringLiteral("vcf")));
    // Created only where nothing exists, so a file that appears meanwhile is never replaced.
    for (int attempt = 0; attempt < 100; ++attempt) {
        QFile file(TQCopyHelper::freePathFor(wanted));
        if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly))
            continue;
        if (file.write(card) == card.size() && file.flush())
            return file.fileName();
        TQLog("E: Cannot write vCard: %@", file.fileName());
        file.remove();
        return {};
    }
    return {};
}

void TQSharingContactsController::exportTovCard(QObject* sender)
{
    trackMenuEvent(sender, Commands::exportTovCard);
    const QList<int> rows = chosenRows();
    const std::shared_ptr<Mail> person = personAtRow(rows.isEmpty() ? -1 : rows.constFirst());
    if (!person)
        return;
    auto* panel = new QFileDialog(isViewLoaded() ? view()->window() : nullptr);
    panel->setObjectName(QStringLiteral("vCardFolderPanel"));
    panel->setFileMode(QFileDialog::Directory);
    panel->setOption(QFileDialog::ShowDirsOnly, true);
    panel->setLabelText(QFileDialog::Accept, StringTable::text(QStringLiteral("Select")));
    panel->setAttribute(Qt::WA_DeleteOnClose);
    const QPointer<TQSharingContactsController> self(this);
    connect(panel, &QFileDialog::fileSelected, panel, [self, person](const QString& folder) {
        if (!self)
            return;
        if (exportvCardToFolder(person, folder).isEmpty())
            self->showBanner(QStringLiteral("ExportVCardFailed"));
    });
    panel->open();
}

void TQSharingContactsController::copyLink(QObject* sender)
{
    trackMenuEvent(sender, Commands::copyLink);
    const int row = clickedRow();
    if (!isLinkRow(row)) {
        TQLog("E: Logic error! This can be called only for Link, instead got: %@",
              row >= 0 && row < rowCount() ? m_container.at(row).person->address() : QString::number(row));
        return;
    }
    const QString link = m_container.at(row).link;
    TQLog("Copied link: %@", link);
    QList<QUrl> urls;
    for (const QString& each : link.split(QLatin1Char(';'), Qt::SkipEmptyParts))
        urls.append(QUrl(each));
    Clipboard::clear();
    Clipboard::writeURLs(urls);
}

void TQSharingContactsController::openInBrowser(QObject*)
{
    const int row = clickedRow();
    if (!isLinkRow(row)) {
        TQLog("E: Logic error! This can be called only for Link, instead got: %@", QString::number(row));
        return;
    }
    const QString link = m_container.at(row).link;
    TQLog("Open in browser: %@", link);
    QDesktopServices::openUrl(QUrl(link));
    DMTracker::defaultTracker()->trackEventInCategory(
        QStringLiteral("Action"), QStringLiteral("OpenGoogleDocs"), QStringLiteral("Google Docs"));
}

void TQSharingContactsController::share(QObject*)
{
    const auto entry = this->entry();
    if (!entry)
        return;
    auto* dialog = ViewClasses::make<TQFloatingContentController>(TQMainWindowController::kShareWithClass);
    if (!dialog)
        return;
    dialog->setProperty("item", SharingPermissions::recordValue(entry));
    QWidget* window = QuickShareDialogs::showQuickShareDialog(
        isViewLoaded() ? view() : nullptr, dialog, {SharingPermissions::recordValue(entry)}, QPoint());
    if (window) {
        const QPointer<TQSharingContactsController> self(this);
        connect(window, &QObject::destroyed, this, [self] {
            if (self && self->isInstalled())
                self->prepareContent();
        });
    }
}

void TQSharingContactsController::showSharingSettings(QObject*)
{
    const auto entry = this->entry();
    if (!entry)
        return;
    auto* settings =
        ViewClasses::make<TQFloatingContentController>(QLatin1String(SharingClasses::kSharingSettingsClass));
    if (!settings)
        return;
    settings->setProperty("items", QVariantList{SharingPermissions::recordValue(entry)});
    QuickShareDialogs::showCentred(isViewLoaded() ? view() : nullptr, settings,
                                   StringTable::text(QStringLiteral("WindowSharingSettings")));
}

bool TQSharingContactsController::validateUserInterfaceItem(QObject* item)
{
    const bool base = TQItemDetailsController::validateUserInterfaceItem(item);
    const QString command = UserInterfaceItem::command(item);
    if (command == Commands::newFakeAction)
        return false;
    if (command == Commands::togglePermission || command == Commands::changePrivacySettings)
        return base;
    if (command == Commands::toggleFavoriteState) {
        const QList<int> rows = chosenRows();
        const std::shared_ptr<Mail> person = personAtRow(rows.isEmpty() ? -1 : rows.constFirst());
        const bool enabled = person && person->contact() &&
                             !SharingRoles::sameAddress(person->address(), SharingPermissions::username());
        if (enabled)
            UserInterfaceItem::setTitle(item, StringTable::text(person->favorite().toBool()
                                                                    ? QStringLiteral("RemoveFromFavorites")
                                                                    : QStringLiteral("AddToFavorites")));
        return enabled;
    }
    if (command == Commands::showContact || command == Commands::editContact ||
        command == Commands::exportTovCard) {
        const QList<int> rows = chosenRows();
        return base && personAtRow(rows.isEmpty() ? -1 : rows.constFirst()) != nullptr;
    }
    if (command == Commands::deleteContact)
        return base && clickedRow() >= 0;
    if (command == Commands::copyLink)
        return isLinkRow(clickedRow());
    return base;
}

// --- Callbacks ---

void TQSharingContactsController::operationDidFinishWithResult(const QVariant& result, const QVariant& error)
{
    TQViewController::operationDidFinishWithResult(result, error);
    prepareContent();
}

void TQSharingContactsController::setGenPermissionDidFinishWithResult(const QVariant& result,
                                                                      const QVariant& error)
{
    operationDidFinishWithResult(result, error);
    if (!ActionError::errorFromValue(error).isNull())
        return;
    const QVariantList records = ActionNotifications::records(result);
    const auto document =
        records.isEmpty()
            ? nullptr
            : std::dynamic_pointer_cast<FileEntryAbstract>(records.constLast().value<ManagedObjectPtr>());
    const auto access = document ? document->generalACL() : nullptr;
    if (!access || !access->hasLink().toBool() || document->alternateLink().isEmpty())
        return;
    Clipboard::clear();
    Clipboard::writeURLs({QUrl(document->alternateLink())});
    ActionNotifications::post(document->title(), StringTable::text(QStringLiteral("LinkPermissionFormat")));
}

void TQSharingContactsController::contactDidUnshareWithResult(const QVariant& result, const QVariant& error)
{
    operationDidFinishWithResult(result, error);
}

} // namespace tavrel
