#pragma once

#include "documents/TQAllItemsController.h"

class QDropEvent;

namespace tavrel {

class TQListDrops;

// The starred place's list: the all-items list over the starred documents and collections. Documents
// dropped on it are starred, or restored from the trash and starred, or put into the collection of the
// row they are dropped on; files from the file manager upload starred at the top level.
class TQAllFavoritesController : public TQAllItemsController
{
    Q_OBJECT
public:
    explicit TQAllFavoritesController(QObject* parent = nullptr);
    ~TQAllFavoritesController() override;

    void awakeFromNib() override;
    QString noSearchString() const override;
    Predicate placePredicate() const override;
    TQListDrops* drops() const { return m_drops; }

    // The table's drop delegate (TQDestinationDropDelegate).
    Q_INVOKABLE bool acceptorCanAcceptDraggingInfo(QObject* acceptor, QDropEvent* info);
    Q_INVOKABLE bool acceptorValidateDraggingInfo(QObject* acceptor, QDropEvent* info);
    Q_INVOKABLE bool acceptorProcessDraggingInfo(QObject* acceptor, QDropEvent* info);

protected:
    QWidget* makeNoItemsView(QWidget* parent) override;

private:
    TQListDrops* m_drops;
};

} // namespace tavrel
