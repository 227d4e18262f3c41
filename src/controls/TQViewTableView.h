#pragma once

#include <QTableView>

namespace tavrel {

// A table of row widgets (the view-based variants of the people-with-access list and of the documents
// shared with a contact) that casts a soft shadow band under its last row while that row shows.
class TQViewTableView : public QTableView
{
    Q_OBJECT
public:
    explicit TQViewTableView(QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace tavrel
