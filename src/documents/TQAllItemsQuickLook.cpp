#include "documents/TQAllItemsQuickLook.h"

#include "controls/TQTableView.h"
#include "documents/TQAllItemsController.h"
#include "lists/ListModel.h"
#include "lists/TQPreviewItemAdapter.h"
#include "model/Category.h"
#include "model/File.h"
#include "model/Mail.h"
#include "model/TQFolderPreviewContent.h"
#include "model/TQUtility.h"
#include "platform/runtime/Invocation.h"
#include "platform/system/DMTracker.h"
#include "platform/system/TQLog.h"
#include "platform/ui/MessageNames.h"
#include "platform/ui/StringTable.h"
#include "session/TQSession.h"
#include "session/TQSessionManager.h"
#include "window/ActionRequests.h"

#include <QFileInfo>
#include <QKeyEvent>

namespace tavrel {

namespace {

void logMultipleSelection()
{
    TQLog("E: QuickLook support not implemented for multiple selection");
}

bool isCollection(const ManagedObjectPtr& record)
{
    return std::dynamic_pointer_cast<Category>(record) != nullptr;
}

QString titleOf(const ManagedObjectPtr& record)
{
    const auto entry = std::dynamic_pointer_cast<FileEntryAbstract>(record);
    return entry ? entry->title() : QString();
}

// The cached copy is there and answers the record's version.
bool hasCurrentCopy(const ManagedObjectPtr& record)
{
    const auto file = std::dynamic_pointer_cast<File>(record);
    if (!file || file->filePath().isEmpty() || !file->isFilePathConsistent())
        return false;
    return QFileInfo::exists(QUrl(file->filePath()).toLocalFile());
}

TQFolderPreviewContent::Person personOf(const std::shared_ptr<Mail>& mail)
{
    return mail ? TQFolderPreviewContent::Person{mail->address(), mail->displayName()}
                : TQFolderPreviewContent::Person{};
}

QList<TQFolderPreviewContent::Person> peopleOf(const QList<std::shared_ptr<Mail>>& mails)
{
    QList<TQFolderPreviewContent::Person> people;
    for (const auto& mail : mails)
        people.append(personOf(mail));
    return people;
}

QUrl collectionPage(const std::shared_ptr<Category>& collection)
{
    TQFolderPreviewContent content;
    content.title = collection->title();
    content.itemCount = quint64(collection->files().size() + collection->sons().size());
    content.owner = personOf(collection->owner());
    content.updatedDate = collection->updatedDate();
    content.lastModifiedBy = personOf(collection->lastModifiedBy());
    content.editors = peopleOf(collection->editors());
    content.viewers = peopleOf(collection->viewers());
    content.commenters = peopleOf(collection->commenters());
    TQSession* session = TQSessionManager::sharedManager()->currentSession();
    return TQUtility::sharedInstance()->preparePreviewWithCategory(content,
                                                                   session ? session->username() : QString());
}

} // namespace

TQAllItemsQuickLook::TQAllItemsQuickLook(TQAllItemsController* list) : QObject(list), m_list(list) {}

TQAllItemsQuickLook::~TQAllItemsQuickLook()
{
    if (TQPreviewPanel* panel = TQPreviewPanel::existingPreviewPanel(); panel && panel->controller() == this)
        panel->setController(nullptr);
}

bool TQAllItemsQuickLook::isControllingPanel() const
{
    TQPreviewPanel* panel = TQPreviewPanel::existingPreviewPanel();
    return panel && panel->controller() == this && panel->isVisible();
}

ManagedObjectPtr TQAllItemsQuickLook::lastSelectedRecord() const
{
    const QList<ManagedObjectPtr> records = m_list->selectedRecords();
    return records.isEmpty() ? nullptr : records.constLast();
}

void TQAllItemsQuickLook::toggleQuickLook()
{
    if (isControllingPanel())
        TQPreviewPanel::existingPreviewPanel()->closePanel();
    else
        activateQuickLook();
}

void TQAllItemsQuickLook::activateQuickLook()
{
    const QList<ManagedObjectPtr> records = m_list->selectedRecords();
    if (records.size() != 1)
        logMultipleSelection();
    if (records.isEmpty())
        return;
    TQPreviewPanel* panel = TQPreviewPanel::sharedPreviewPanel();
    panel->setController(this);
    m_controlling = true;
    const ManagedObjectPtr record = records.constLast();
    const bool collection = isCollection(record);
    const bool download = !collection && !hasCurrentCopy(record);
    if (download)
        m_overlayShown = true;
    if (collection) {
        panel->resize(kCollectionPanelWidth, kCollectionPanelHeight);
        panel->center();
    }
    panel->makeKeyAndOrderFront();
    panel->reloadData();
    if (download) {
        const QString key = record->objectID().toString();
        if (!m_downloading.contains(key)) {
            m_downloading.insert(key);
            ++m_pending;
            TQLog("Downloading %lu documents", records.size());
            QVariantList values;
            for (const ManagedObjectPtr& each : records)
                values.append(QVariant::fromValue(each));
            ActionRequests::executeDocumentAction(
                QStringLiteral("GetFiles"),
                Invocation::invocationForSelector(Selectors::getForQLDidFinish, this),
                {{QStringLiteral("documentEntities"), values},
                 {QStringLiteral("progressID"),
                  QStringLiteral("download_%1").arg(ActionRequests::uniqueNumber())},
                 {QStringLiteral("progressConsumer"), QVariant::fromValue<QObject*>(m_list)},
                 {QStringLiteral("queuePriority"), kHighQueuePriority}});
        }
    }
    DMTracker::defaultTracker()->trackEventInCategory(QStringLiteral("Action"), QStringLiteral("Quicklook"),
                                                      collection ? QStringLiteral("Folder")
                                                                 : QStringLiteral("File"));
}

void TQAllItemsQuickLook::getForQLDidFinishWithResult(const QVariant& result, const QVariant& error)
{
    TQLog("Received action callback");
    m_list->operationDidFinishWithResult(result, error);
    // Whatever came back, the record may be asked for again.
    m_downloading.clear();
    m_pending = qMax(0, m_pending - 1);
    removeOverlay();
    if (isControllingPanel())
        TQPreviewPanel::existingPreviewPanel()->reloadData();
}

int TQAllItemsQuickLook::numberOfPreviewItems()
{
    if (m_list->selectedRecords().size() == 1)
        return 1;
    logMultipleSelection();
    return 0;
}

std::shared_ptr<TQPreviewItemAdapter> TQAllItemsQuickLook::previewItemAtIndex(int)
{
    const QList<ManagedObjectPtr> records = m_list->selectedRecords();
    if (records.size() != 1) {
        logMultipleSelection();
        return TQPreviewItemAdapter::previewItemWithURL(TQPreviewPanel::kErrorPageURL,
                                                        StringTable::text(QStringLiteral("Error")));
    }
    const ManagedObjectPtr record = records.constFirst();
    if (const auto collection = std::dynamic_pointer_cast<Category>(record)) {
        removeOverlay();
        return TQPreviewItemAdapter::previewItemWithURL(collectionPage(collection), collection->title());
    }
    const auto file = std::dynamic_pointer_cast<File>(record);
    if (file && !file->filePath().isEmpty()) {
        const QUrl url(file->filePath());
        if (url.isLocalFile() && QFileInfo::exists(url.toLocalFile())) {
            removeOverlay();
            return TQPreviewItemAdapter::previewItemWithURL(url, url.fileName());
        }
    }
    return TQPreviewItemAdapter::previewItemWithURL(
        m_overlayShown ? TQPreviewPanel::kLoadingPageURL : TQPreviewPanel::kErrorPageURL, titleOf(record));
}

bool TQAllItemsQuickLook::previewPanelHandleEvent(QKeyEvent* event)
{
    if (event->type() != QEvent::KeyPress)
        return false;
    const int rows = m_list->dataProvider() ? m_list->dataProvider()->rowCount() : 0;
    const QList<int> selected = m_list->selectedRows();
    const int current = selected.isEmpty() ? -1 : selected.constLast();
    int next = -1;
    if (event->key() == Qt::Key_Down) {
        next = current + 1;
        if (m_list->isGroupRow(next))
            next = current + 2;
        if (next >= rows)
            return false;
    } else if (event->key() == Qt::Key_Up) {
        next = current - 1;
        if (m_list->isGroupRow(next))
            next = current - 2;
        if (next < 0)
            return false;
    } else {
        return false;
    }
    if (QAbstractItemView* table = m_list->table())
        table->scrollTo(table->model()->index(next, 0));
    m_list->selectRow(next);
    activateQuickLook();
    return true;
}

void TQAllItemsQuickLook::previewPanelDidResize()
{
    TQPreviewPanel* panel = TQPreviewPanel::existingPreviewPanel();
    if (!panel || panel->controller() != this)
        return;
    const QSize wanted(kCollectionPanelWidth, kCollectionPanelHeight);
    if (panel->size() != wanted && isCollection(lastSelectedRecord())) {
        panel->resize(wanted);
        panel->center();
    }
}

void TQAllItemsQuickLook::endPreviewPanelControl()
{
    m_controlling = false;
}

} // namespace tavrel
