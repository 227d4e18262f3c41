#pragma once

#include "controls/TQHoverableCell.h"

#include <QLabel>
#include <QPointer>
#include <QWidget>

namespace tavrel {

class CellButton;
class TQSwitchButton;
class TQTrackingTextField;

// The row of a person with access, as a widget of the view-based tables: photo, name, a grey details
// line, the permission switch and the leave-sharing button. It lights up white under the mouse, and
// shows the name as a link while the pointer is on the photo. The parts are placed by whoever builds
// the row and handed over; awake() styles them.
class TQTablePermissionCellView : public QWidget, public TQHoverableCell
{
    Q_OBJECT
public:
    explicit TQTablePermissionCellView(QWidget* parent = nullptr);
    ~TQTablePermissionCellView() override;

    TQTrackingTextField* textField() const { return m_textField; }
    void setTextField(TQTrackingTextField* field) { m_textField = field; }
    QLabel* detailsField() const { return m_detailsField; }
    void setDetailsField(QLabel* field) { m_detailsField = field; }
    CellButton* actionButton() const { return m_actionButton; }
    void setActionButton(CellButton* button) { m_actionButton = button; }
    TQSwitchButton* permissionButton() const { return m_permissionButton; }
    void setPermissionButton(TQSwitchButton* button) { m_permissionButton = button; }
    QWidget* photoButton() const { return m_photoButton; }
    // Its hover is followed while the row exists.
    void setPhotoButton(QWidget* button);

    // Fonts, colours and the leave-sharing images of the parts.
    void awake();
    // The name centred without details, at 66 % of the height with them.
    void layoutTitle();
    // Shows or hides the leave-sharing button.
    void setDeletable(bool deletable);

    bool hovered() const override { return m_hovered; }
    void setHovered(bool hovered) override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    QPointer<TQTrackingTextField> m_textField;
    QPointer<QLabel> m_detailsField;
    QPointer<CellButton> m_actionButton;
    QPointer<TQSwitchButton> m_permissionButton;
    QPointer<QWidget> m_photoButton;
    bool m_hovered = false;
};

} // namespace tavrel
