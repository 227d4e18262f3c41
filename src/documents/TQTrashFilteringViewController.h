#pragma once

#include "documents/TQAllItemsFilteringViewController.h"

#include <QPointer>

class QPushButton;

namespace tavrel {

class TQTrashItemsController;

// The trash place: the search and sort header over the trash list, with an "empty trash" button. The
// button asks first; once confirmed it stays disabled until the trash list shows nothing or the
// deletion has been answered (a failed one leaves records, and the user may try again).
class TQTrashFilteringViewController : public TQAllItemsFilteringViewController
{
    Q_OBJECT
public:
    explicit TQTrashFilteringViewController(QObject* parent = nullptr);
    ~TQTrashFilteringViewController() override;

    TQTrashItemsController* trashList() const;
    QPushButton* emptyTrashButton();

    // Asks whether to empty the trash, as a sheet on the view's window.
    Q_INVOKABLE void emptyTrash(QObject* sender);
    // The answer: the default button (1) deletes every trashed record for good.
    void alertDidEnd(int returnCode);
    Q_INVOKABLE void operationDidFinishWithResult(const QVariant& result, const QVariant& error) override;

protected:
    QWidget* loadView() override;

private:
    void installEmptyTrashButton();
    void followDeletion();
    void stopFollowingDeletion();

    QPointer<QPushButton> m_emptyTrash;
    QMetaObject::Connection m_rowsConnection;
    QMetaObject::Connection m_deletionConnection;
};

} // namespace tavrel
