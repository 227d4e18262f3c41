#pragma once

#include <QAction>

namespace tavrel {

// A menu item that shows the "-white" variant of its image while it is highlighted. The menus' owners
// call setPreparingHighlight(false) on every item and then true on the item about to be highlighted.
class TQInvertableMenuItem : public QAction
{
    Q_OBJECT
public:
    explicit TQInvertableMenuItem(QObject* parent = nullptr) : QAction(parent) {}
    TQInvertableMenuItem(const QString& text, QObject* parent) : QAction(text, parent) {}

    // Swaps the image by name; an item without a named image, or whose variant is missing, keeps it.
    void setPreparingHighlight(bool preparing);
    // The name of the item's image, empty when it has none of ours.
    QString imageName() const;
    void setImageName(const QString& name);
};

} // namespace tavrel
