#pragma once

#include <QPointer>
#include <QWidget>

namespace tavrel {

// The host view of a custom menu row: tells its delegate (the row's controller) when the pointer
// enters and leaves it, through the delegate's mouseEntered / mouseExited when it has them.
class TQMenuView : public QWidget
{
    Q_OBJECT
public:
    explicit TQMenuView(QWidget* parent = nullptr);

    QObject* delegate() const { return m_delegate; }
    void setDelegate(QObject* delegate) { m_delegate = delegate; }

protected:
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void forward(const char* method);

    QPointer<QObject> m_delegate;
    bool m_hovered = false;
};

} // namespace tavrel
