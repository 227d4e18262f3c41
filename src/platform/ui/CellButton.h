#pragma once

#include "platform/ui/Cell.h"
#include "platform/ui/CellHost.h"

#include <QAbstractButton>
#include <memory>

namespace tavrel {

// A button that hosts one cell: it paints the cell over its whole rectangle, tells it hover while the
// button is enabled, and runs the cell's tracking from its own press, move and release handlers. A
// release inside sends the cell's action and then emits clicked(). Space and Return click it from the
// keyboard. The cell follows the button's enabled state.
class CellButton : public QAbstractButton, public CellHost
{
    Q_OBJECT
public:
    explicit CellButton(QWidget* parent = nullptr);
    explicit CellButton(std::shared_ptr<Cell> cell, QWidget* parent = nullptr);
    ~CellButton() override;

    Cell* cell() const { return m_cell.get(); }
    const std::shared_ptr<Cell>& sharedCell() const { return m_cell; }
    template <typename T> T* cellAs() const { return dynamic_cast<T*>(m_cell.get()); }
    // Installs the cell (cancelling a tracking in progress) and redraws.
    virtual void setCell(std::shared_ptr<Cell> cell);

    // The cell's title and on/off state; both redraw.
    QString title() const;
    void setTitle(const QString& title);
    int state() const;
    void setState(int state);

    // A click from the keyboard or from code: the cell's action, then clicked().
    void performClick();

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

    QWidget* hostWidget() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void changeEvent(QEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    bool hitButton(const QPoint& position) const override;

private:
    void cancelTracking();

    std::shared_ptr<Cell> m_cell;
    // The cell being tracked: kept so that a cell replaced during tracking still ends its tracking.
    std::shared_ptr<Cell> m_trackingCell;
};

} // namespace tavrel
