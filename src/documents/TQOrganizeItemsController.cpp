#include "documents/TQOrganizeItemsController.h"

namespace tavrel {

TQOrganizeItemsController::TQOrganizeItemsController(QObject* parent)
    : TQCollectionsViewController(QStringLiteral("CollectionsView"), parent)
{}

TQOrganizeItemsController::~TQOrganizeItemsController() = default;

CollectionsOutlineModel::StateRule TQOrganizeItemsController::stateRule() const
{
    return CollectionsOutlineModel::StateRule::Selection;
}

} // namespace tavrel
