#pragma once

#include "documents/TQAllItemsController.h"

class QDropEvent;

namespace tavrel {

class TQListDrops;

// The collections place's list: the all-items list over the collections. Documents and files from the
// file manager dropped on a collection's row go into that collection; a drop that is not on a
// collection's row is refused, having no collection to go into.
class TQAllCollectionsController : public TQAllItemsController
{
    Q_OBJECT
public:
    explicit TQAllCollectionsController(QObject* parent = nullptr);
    ~TQAllCollectionsController() override;

    void awakeFromNib() override;
    QString noSearchString() const override;
    Predicate placePredicate() const override;
    TQListDrops* drops() const { return m_drops; }

    // The table's drop delegate (TQDestinationDropDelegate).
    Q_INVOKABLE bool acceptorCanAcceptDraggingInfo(QObject* acceptor, QDropEvent* info);
    Q_INVOKABLE bool acceptorValidateDraggingInfo(QObject* acceptor, QDropEvent* info);
    Q_INVOKABLE bool acceptorProcessDraggingInfo(QObject* acceptor, QDropEvent* info);
    // After a drop of documents: tells whoever moved them for the drag (the sidebar) to put them back.
    Q_INVOKABLE void performSlideBackIfNeeded();

protected:
    QWidget* makeNoItemsView(QWidget* parent) override;

private:
    TQListDrops* m_drops;
};

} // namespace tavrel
