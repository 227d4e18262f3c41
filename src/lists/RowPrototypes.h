#pragma once

#include <QModelIndex>

class QAbstractItemView;

namespace tavrel {

class Cell;
class TQTitledGroupTableCell;

// What the lists that draw their rows with prototype cells do alike.
class RowPrototypes
{
public:
    // The table tracks a press on a copy of a row's cell, which shares the prototype's subcells: rows
    // drawn meanwhile must not change them. True once per press (a new tracked copy), when the list
    // must make its prototypes anew.
    class TrackingWatch
    {
    public:
        bool prototypesMustBeRemade(const QAbstractItemView* view);

    private:
        const Cell* m_seen = nullptr;
    };

    // A group header row's cell from the row's roles (GroupRole, TitleRole); none without a header.
    static Cell* configureHeader(TQTitledGroupTableCell& cell, const QModelIndex& index);
};

} // namespace tavrel
