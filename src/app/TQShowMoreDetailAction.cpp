#include "app/TQShowMoreDetailAction.h"

#include "app/TQErrorDetailWindowController.h"

namespace tavrel {

void TQShowMoreDetailAction::execute() const
{
    TQErrorDetailWindowController::sharedController()->showDetailsForError(m_error);
}

} // namespace tavrel
