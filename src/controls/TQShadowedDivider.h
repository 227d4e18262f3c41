#pragma once

#include <QWidget>

namespace tavrel {

// The line between a floating window's content and its drawer: a dark grey hairline along the top,
// with a soft shadow under it while shouldDrawShadow is on.
class TQShadowedDivider : public QWidget
{
    Q_OBJECT
public:
    explicit TQShadowedDivider(QWidget* parent = nullptr);

    // Plain: the owner asks for the redraw.
    bool shouldDrawShadow() const { return m_shouldDrawShadow; }
    void setShouldDrawShadow(bool shadow) { m_shouldDrawShadow = shadow; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    bool m_shouldDrawShadow = false;
};

} // namespace tavrel
