#include "documents/TQAllItemsDragging.h"

#include "actions/TransferSupport.h"
#include "controls/TQFileItemToThumbnailTransformer.h"
#include "controls/TQTableView.h"
#include "documents/TQAllItemsCommands.h"
#include "documents/TQAllItemsController.h"
#include "model/Category.h"
#include "model/File.h"
#include "model/TQStringExtensions.h"
#include "platform/runtime/Invocation.h"
#include "platform/runtime/NotificationCenter.h"
#include "platform/store/ManagedObjectContext.h"
#include "platform/system/DMTracker.h"
#include "platform/system/TQLog.h"
#include "platform/ui/DragBus.h"
#include "platform/ui/Drawing.h"
#include "platform/ui/ImageRegistry.h"
#include "platform/ui/MessageNames.h"
#include "platform/ui/ResponderChain.h"
#include "window/ActionRequests.h"
#include "window/TQMainWindowController.h"
#include "window/TQNavigationController.h"

#include <QDir>
#include <QDropEvent>
#include <QFile>
#include <QFileInfo>
#include <QMimeData>
#include <QPainter>
#include <QSaveFile>
#include <QTimer>

namespace tavrel {

namespace {

const QString kDocumentEntities = QStringLiteral("documentEntities");
const QString kProgressConsumer = QStringLiteral("progressConsumer");

std::shared_ptr<FileEntryAbstract> entryOf(const ManagedObjectPtr& record)
{
    return std::dynamic_pointer_cast<FileEntryAbstract>(record);
}

QVariantList recordValues(const QList<ManagedObjectPtr>& records)
{
    QVariantList values;
    for (const ManagedObjectPtr& record : records)
        values.append(QVariant::fromValue(record));
    return values;
}

QString numbered(const char* verb)
{
    return QStringLiteral("%1_%2").arg(QLatin1String(verb)).arg(ActionRequests::uniqueNumber());
}

// The main window's controller behind the list's window, when the list is in it.
TQMainWindowController* mainWindowControllerOf(QWidget* view)
{
    if (!view)
        return nullptr;
    for (QObject* responder : ResponderChain::chain(view))
        if (auto* controller = qobject_cast<TQMainWindowController*>(responder))
            return controller;
    return nullptr;
}

} // namespace

TQAllItemsDragging::TQAllItemsDragging(TQAllItemsController* list) : QObject(list), m_list(list)
{
    NotificationCenter::defaultCenter().addObserver(
        this, DragBus::kDragDidBeginNotification, QVariant(), [this](const Notification& notification) {
            if (m_list->isViewLoaded() && notification.object().value<QObject*>() == m_list->table())
                m_ownSequence = notification.userInfo().value(DragBus::kDragSequenceKey).toULongLong();
        });
}

TQAllItemsDragging::~TQAllItemsDragging()
{
    NotificationCenter::defaultCenter().removeObserver(this);
}

QMimeData* TQAllItemsDragging::mimeDataForRows(const QList<int>& rows)
{
    if (m_list->owner())
        if (TQNavigationController* navigation = m_list->navigationController())
            navigation->storeNavigationHistory();
    if (m_list->selectedRows() != rows) {
        m_list->selectRow(-1);
        for (const int row : rows)
            m_list->table()->selectionModel()->select(m_list->table()->model()->index(row, 0),
                                                      QItemSelectionModel::Select |
                                                          QItemSelectionModel::Rows);
        m_list->table()->viewport()->update();
    }
    QStringList identifiers;
    QList<QUrl> files;
    for (const int row : rows) {
        const auto entry = entryOf(m_list->recordAtRow(row));
        if (!entry)
            continue;
        identifiers.append(entry->identifier());
        const auto file = std::dynamic_pointer_cast<File>(entry);
        if (file && !file->filePath().isEmpty() && file->isFilePathConsistent()) {
            const QUrl url(file->filePath());
            if (url.isLocalFile() && QFileInfo::exists(url.toLocalFile()))
                files.append(url);
        }
    }
    auto* data = new QMimeData;
    DragBus::setFileURLs(data, files);
    DragBus::setFileItems(data, identifiers);
    return data;
}

QPixmap TQAllItemsDragging::dragImageForRows(const QList<int>& rows, QPoint* offset) const
{
    if (rows.isEmpty())
        return {};
    if (rows.size() == 1) {
        TQFileItemToThumbnailTransformer thumbnails;
        thumbnails.setShouldBlockPreviewGeneration(true);
        return thumbnails.transformedValue(QVariant::fromValue(m_list->recordAtRow(rows.constLast())))
            .value<QPixmap>();
    }
    const QPixmap base = ImageRegistry::pixmap(QStringLiteral("multiple_documents"), QSizeF(64, 64));
    const qreal ratio = base.devicePixelRatio() > 0 ? base.devicePixelRatio() : 1.0;
    const QSizeF baseSize = QSizeF(base.size()) / ratio;
    QPixmap canvas((baseSize + QSizeF(24, 24)).toSize() * ratio);
    canvas.setDevicePixelRatio(ratio);
    canvas.fill(Qt::transparent);
    QPainter painter(&canvas);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.drawPixmap(QPointF(0, 0), base);
    const QString count = QString::number(rows.size());
    const QFont font = Drawing::font(12, QFont::Bold);
    const qreal width = qMax<qreal>(22, Drawing::textSize(count, font).width() + 6);
    const qreal canvasWidth = baseSize.width() + 24;
    const qreal canvasHeight = baseSize.height() + 24;
    // The lower right corner, 2 points above the bottom edge.
    const QRectF badge(canvasWidth - width - 1, canvasHeight - 2 - 22, width, 22);
    painter.setPen(QPen(Qt::white, 2));
    painter.setBrush(QColor(220, 30, 30));
    painter.drawEllipse(badge);
    painter.setPen(Qt::white);
    painter.setFont(font);
    painter.drawText(badge, Qt::AlignCenter, count);
    painter.end();
    if (offset)
        *offset = QPoint(12, -12);
    return canvas;
}

QList<ManagedObjectPtr> TQAllItemsDragging::draggedRecords(const QMimeData* data) const
{
    QList<ManagedObjectPtr> records;
    ManagedObjectContext* context = m_list->managedObjectContext();
    if (!context)
        return records;
    for (const QString& identifier : DragBus::fileItems(data))
        if (auto record = FileEntryAbstract::fileEntryAbstractWithIdentifier(identifier, context))
            records.append(record);
    return records;
}

QStringList TQAllItemsDragging::namesOfPromisedFilesDroppedAtDestination(const QString& folder,
                                                                         const QList<int>& rows)
{
    QVariantList records;
    QVariantList destinations;
    QVariantList existing;
    QStringList names;
    for (const int row : rows) {
        const auto entry = entryOf(m_list->recordAtRow(row));
        if (!entry)
            continue;
        const QString exportName =
            TQStringExtensions::exportNameWithResourceId(entry->title(), entry->resourceId());
        if (exportName.isEmpty())
            continue;
        const QString name = TransferSupport::safeFileName(exportName);
        const QString path = QDir(folder).filePath(name);
        if (QFileInfo(path).dir().absolutePath() != QDir(folder).absolutePath())
            continue; // never outside the folder the user dropped on
        const QUrl destination = QUrl::fromLocalFile(path);
        if (QFileInfo::exists(path)) {
            existing.append(destination);
        } else if (std::dynamic_pointer_cast<Category>(entry)) {
            if (!QDir().mkdir(path))
                TQLog("E: Cannot promise directory: %@", path);
        } else {
            QSaveFile placeholder(path);
            if (!placeholder.open(QIODevice::WriteOnly) || !placeholder.commit())
                TQLog("E: Cannot promise file: %@", path);
        }
        records.append(QVariant::fromValue(ManagedObjectPtr(entry)));
        destinations.append(destination);
        names.append(name);
    }
    if (!records.isEmpty()) {
        const QVariantMap parameters{{kDocumentEntities, records},
                                     {QStringLiteral("destinationURLs"), destinations},
                                     {QStringLiteral("existedURLs"), existing}};
        QTimer::singleShot(0, this, [this, parameters] { scheduleDownloadWithParameters(parameters); });
    }
    return names;
}

void TQAllItemsDragging::scheduleDownloadWithParameters(const QVariantMap& parameters)
{
    TQLog("Downloading %lu documents", parameters.value(kDocumentEntities).toList().size());
    QVariantMap request = parameters;
    request.insert(QStringLiteral("progressID"), numbered("download"));
    request.insert(kProgressConsumer, QVariant::fromValue<QObject*>(m_list));
    ActionRequests::executeDocumentAction(
        QStringLiteral("GetFiles"),
        Invocation::invocationForSelector(Selectors::downloadDidFinish, m_list->commands()), request);
}

int TQAllItemsDragging::rowUnder(QDropEvent* info) const
{
    QAbstractItemView* table = m_list->table();
    return table->indexAt(info->position().toPoint()).row();
}

bool TQAllItemsDragging::isOwnDrag(QDropEvent* info) const
{
    const QMimeData* data = info->mimeData();
    if (!DragBus::hasFileItems(data))
        return false;
    return info->source() == m_list->table() ||
           (m_ownSequence != 0 && DragBus::sequence(data) == m_ownSequence);
}

bool TQAllItemsDragging::acceptorCanAcceptDraggingInfo(QObject*, QDropEvent* info)
{
    auto* table = qobject_cast<TQTableView*>(m_list->table());
    const QMimeData* data = info->mimeData();
    int target = TQTableView::DropNowhere;
    bool accepted = false;
    if (isOwnDrag(info)) {
        const int row = rowUnder(info);
        accepted = row >= 0 && !m_list->isGroupRow(row) && !m_list->selectedRows().contains(row) &&
                   std::dynamic_pointer_cast<Category>(m_list->recordAtRow(row)) != nullptr;
        target = accepted ? TQTableView::DropOnRow : TQTableView::DropNowhere;
    } else if (DragBus::hasFileItems(data)) {
        // Records of this program from another list: only those from the trash mean something here.
        accepted = DragBus::hasTrashedItems(data) && !draggedRecords(data).isEmpty();
        target = accepted ? TQTableView::DropOnTable : TQTableView::DropNowhere;
    } else {
        accepted = !DragBus::fileNames(data).isEmpty();
        target = accepted ? TQTableView::DropOnTable : TQTableView::DropNowhere;
    }
    if (table && table->dropTarget() != target) {
        table->setDropTarget(target);
        table->viewport()->update();
    }
    return accepted;
}

bool TQAllItemsDragging::acceptorValidateDraggingInfo(QObject* acceptor, QDropEvent* info)
{
    return acceptorCanAcceptDraggingInfo(acceptor, info);
}

bool TQAllItemsDragging::acceptorProcessDraggingInfo(QObject*, QDropEvent* info)
{
    const QMimeData* data = info->mimeData();
    QObject* consumer = m_list;
    const InvocationPtr finished = Invocation::invocationForSelector(Selectors::operationDidFinish, m_list);
    if (DragBus::hasFileItems(data)) {
        const QList<ManagedObjectPtr> records = draggedRecords(data);
        if (records.isEmpty())
            return false;
        if (DragBus::hasTrashedItems(data)) {
            TQLog("UnTrashing: %u documents", records.size());
            ActionRequests::executeDocumentAction(QStringLiteral("UntrashDocuments"), finished,
                                                  {{kDocumentEntities, recordValues(records)},
                                                   {QStringLiteral("statusID"), numbered("untrashing")},
                                                   {kProgressConsumer, QVariant::fromValue(consumer)}});
            return true;
        }
        auto* table = qobject_cast<TQTableView*>(m_list->table());
        const auto collection = std::dynamic_pointer_cast<Category>(m_list->recordAtRow(rowUnder(info)));
        if (!table || table->dropTarget() != TQTableView::DropOnRow || !collection)
            return false;
        ActionRequests::executeDocumentAction(
            QStringLiteral("AssignCollections"), finished,
            {{kDocumentEntities, recordValues(records)},
             {QStringLiteral("collectionEntity"), QVariant::fromValue(ManagedObjectPtr(collection))},
             {QStringLiteral("statusID"), numbered("tocollection")},
             {kProgressConsumer, QVariant::fromValue(consumer)}});
        return true;
    }
    const QList<QUrl> urls = DragBus::fileURLs(data);
    if (urls.isEmpty())
        return false;
    QVariantMap parameters{
        {QStringLiteral("fileURLs"), QVariant::fromValue(urls)},
        {QStringLiteral("managedObjectContext"),
         QVariant::fromValue<QObject*>(m_list->managedObjectContext())},
        {QStringLiteral("progressID"), numbered("upload")},
        {kProgressConsumer, QVariant::fromValue(consumer)},
    };
    if (TQMainWindowController* window = mainWindowControllerOf(m_list->view()))
        if (window->insideCategory())
            parameters.insert(QStringLiteral("collectionEntity"),
                              QVariant::fromValue(ManagedObjectPtr(window->insideCategory())));
    ActionRequests::executeDocumentAction(
        QStringLiteral("UploadFiles"),
        Invocation::invocationForSelector(Selectors::uploadDidFinish, m_list->commands()), parameters);
    DMTracker::defaultTracker()->trackEventInCategory(QStringLiteral("Share"), QStringLiteral("Drag&Drop"),
                                                      QStringLiteral("Finder"));
    return true;
}

} // namespace tavrel
