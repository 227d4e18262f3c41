#include "controls/TQTrackingButton.h"

namespace tavrel {

TQTrackingButton::TQTrackingButton(QWidget* parent) : CellButton(parent) {}

TQTrackingButton::TQTrackingButton(std::shared_ptr<Cell> cell, QWidget* parent)
    : CellButton(std::move(cell), parent)
{}

} // namespace tavrel
