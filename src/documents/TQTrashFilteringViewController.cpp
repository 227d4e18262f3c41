#include "documents/TQTrashFilteringViewController.h"

#include "controls/TQHostView.h"
#include "documents/TQTrashItemsController.h"
#include "lists/ListModel.h"
#include "platform/ui/Alert.h"
#include "platform/ui/StringTable.h"

#include <QHBoxLayout>
#include <QPointer>
#include <QPushButton>

namespace tavrel {

TQTrashFilteringViewController::TQTrashFilteringViewController(QObject* parent)
    : TQAllItemsFilteringViewController(new TQTrashItemsController, QStringLiteral("TrashView"), parent)
{
    setTitle(StringTable::text(QStringLiteral("TrashBack")));
    // Wrapping the list may have loaded the view already, before this class's loadView could run.
    if (isViewLoaded())
        installEmptyTrashButton();
}

TQTrashFilteringViewController::~TQTrashFilteringViewController()
{
    stopFollowingDeletion();
}

TQTrashItemsController* TQTrashFilteringViewController::trashList() const
{
    return qobject_cast<TQTrashItemsController*>(controller());
}

QPushButton* TQTrashFilteringViewController::emptyTrashButton()
{
    view();
    return m_emptyTrash;
}

QWidget* TQTrashFilteringViewController::loadView()
{
    QWidget* view = TQAllItemsFilteringViewController::loadView();
    installEmptyTrashButton();
    return view;
}

void TQTrashFilteringViewController::installEmptyTrashButton()
{
    if (m_emptyTrash || !headerHolder())
        return;
    m_emptyTrash = new QPushButton(StringTable::text(QStringLiteral("EmptyTrash")), headerHolder());
    m_emptyTrash->setObjectName(QStringLiteral("emptyTrash"));
    m_emptyTrash->setFixedHeight(22);
    m_emptyTrash->setFocusPolicy(Qt::NoFocus);
    connect(m_emptyTrash, &QPushButton::clicked, this, [this] { emptyTrash(m_emptyTrash); });
    // Between the sort pull-down and the search field, at the right of the stretch.
    if (auto* header = qobject_cast<QHBoxLayout*>(headerHolder()->layout()))
        header->insertWidget(header->count() - 1, m_emptyTrash);
}

void TQTrashFilteringViewController::emptyTrash(QObject*)
{
    auto* alert = new Alert(this);
    alert->setMessageText(StringTable::text(QStringLiteral("TrashCleanTitle")));
    alert->setDefaultButtonTitle(StringTable::text(QStringLiteral("OK")));
    alert->setAlternateButtonTitle(StringTable::text(QStringLiteral("Cancel")));
    alert->setInformativeText(StringTable::text(QStringLiteral("TrashCleanMessage")));
    QPointer<TQTrashFilteringViewController> self(this);
    alert->beginSheet(view()->window(), [self](int response, bool) {
        if (self)
            self->alertDidEnd(response);
    });
}

void TQTrashFilteringViewController::alertDidEnd(int returnCode)
{
    TQTrashItemsController* list = trashList();
    if (returnCode != Alert::DefaultResponse || !list)
        return;
    followDeletion();
    emptyTrashButton()->setEnabled(false);
    if (!list->deleteAllEntities(nullptr))
        stopFollowingDeletion();
}

void TQTrashFilteringViewController::followDeletion()
{
    disconnect(m_rowsConnection);
    disconnect(m_deletionConnection);
    TQTrashItemsController* list = trashList();
    if (ListModel* rows = list->dataProvider())
        m_rowsConnection = connect(rows, &ListModel::arrangedObjectsChanged, this, [this, rows] {
            if (rows->count() == 0)
                stopFollowingDeletion();
        });
    // Answered, the deletion gives the button back even when records stay (it failed, or more came).
    m_deletionConnection = connect(list, &TQTrashItemsController::deletionDidFinish, this,
                                   [this](bool) { stopFollowingDeletion(); });
}

void TQTrashFilteringViewController::stopFollowingDeletion()
{
    disconnect(m_rowsConnection);
    disconnect(m_deletionConnection);
    if (m_emptyTrash)
        m_emptyTrash->setEnabled(true);
}

void TQTrashFilteringViewController::operationDidFinishWithResult(const QVariant& result,
                                                                  const QVariant& error)
{
    TQAllItemsFilteringViewController::operationDidFinishWithResult(result, error);
    if (TQTrashItemsController* list = trashList())
        list->refresh();
}

} // namespace tavrel
