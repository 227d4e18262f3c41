#pragma once

#include "documents/TQCollectionsViewController.h"

namespace tavrel {

// The Organize window's outline: the collections outline for a selection of documents, whose boxes are
// on when every selected document is in the collection, mixed when some are and off when none is. A
// box assigns or unassigns the whole selection. Titles do not open collections here.
class TQOrganizeItemsController : public TQCollectionsViewController
{
    Q_OBJECT
public:
    explicit TQOrganizeItemsController(QObject* parent = nullptr);
    ~TQOrganizeItemsController() override;

protected:
    CollectionsOutlineModel::StateRule stateRule() const override;
    bool titlesOpenCollections() const override { return false; }
};

} // namespace tavrel
