#pragma once

#include "app/TQActiveMenuItemController.h"
#include "progress/TQProgressAction.h"

namespace tavrel {

// One upload in the status line's submenu: "Uploading a.txt (37%)" with a button that cancels it.
class TQActionMenuItemController : public TQActiveMenuItemController
{
    Q_OBJECT
public:
    explicit TQActionMenuItemController(QWidgetAction* controlledItem);

    TQProgressActionPtr progressAction() const { return m_progressAction; }
    // The same action again changes nothing; a new one retitles the row.
    void setProgressAction(const TQProgressActionPtr& action);
    // Reads the action's part and total into the percentage.
    void progressDidChange();

    // " (N%)" of part and total, truncated; empty for a total of 0.
    static QString percentageExtension(quint64 part, quint64 total);

private:
    TQProgressActionPtr m_progressAction;
};

} // namespace tavrel
