#pragma once

#include <QObject>

class QWidget;

namespace tavrel {

// Whether a view may reach the service: the list that owns the view keeps it equal to the connection,
// and the cells drawn in the view (or in any widget inside it) take it from their host. A view without
// one is offline. Main thread only.
class OnlineFlag : public QObject
{
    Q_OBJECT
public:
    // The view's flag, made (offline) on first use; it dies with the view.
    static OnlineFlag* of(QWidget* view);
    // The flag of the nearest of the widget and its ancestors that carries one; offline without.
    static bool isOnline(const QWidget* widget);

    bool isOnline() const { return m_online; }
    // A change redraws the view and everything in it, so that its cells take the new value.
    void setOnline(bool online);

signals:
    void onlineChanged(bool online);

private:
    explicit OnlineFlag(QWidget* view);
    bool m_online = false;
};

} // namespace tavrel
