#pragma once

#include <QObject>
#include <QPointer>
#include <QWidget>

namespace tavrel {

// The base of every window controller: it owns its window, stands right behind it in the responder
// chain (commands the window's views do not answer reach it), and localises the window's titles
// and labels once the window has been built (awakeFromNib).
class TQWindowController : public QObject
{
    Q_OBJECT
public:
    explicit TQWindowController(QObject* parent = nullptr);
    // Deletes the window it still owns.
    ~TQWindowController() override;

    QWidget* window() const { return m_window; }
    // Takes the window (deleting a previous one) and puts the controller behind it.
    void setWindow(QWidget* window);

    // Subclasses build the window and call this last: every title and label of the window is
    // replaced by its translation of the interface table.
    virtual void awakeFromNib();

    // Shows the window in front and gives it the keyboard.
    Q_INVOKABLE virtual void showWindow(QObject* sender);
    // Closes the window without deleting it.
    void close();

private:
    QPointer<QWidget> m_window;
};

} // namespace tavrel
