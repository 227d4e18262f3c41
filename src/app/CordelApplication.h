#pragma once

#include <QApplication>
#include <QList>
#include <QPointer>
#include <QString>

namespace tavrel {

// The objects told of every input event before it is dispatched (a popover closing on a click outside
// it). Each observer is a target and the selector of a Q_INVOKABLE method taking the event
// ("onEventDidOccur:" calls onEventDidOccur(QEvent*)). An observer removes itself before it goes; one
// that is destroyed anyway is skipped.
class EventObserverList
{
public:
    // Appends the observer; without a target or a selector it logs and adds nothing.
    void addEventObserver(QObject* target, const QString& selector);
    // Removes the first entry of that target.
    void removeEventObserver(QObject* target);
    // Calls every observer in order, over a copy of the list taken before the first call, so observers
    // may remove themselves (or others) meanwhile.
    void notifyObservers(QEvent* event) const;
    qsizetype count() const { return m_entries.size(); }

private:
    struct Entry
    {
        QPointer<QObject> target;
        QString selector;
    };
    QList<Entry> m_entries;
};

// The application object: a QApplication that shows every spontaneous input event to its event
// observers before dispatching it. Code below the application reaches the observers by method name
// on qApp ("addEventObserver", "removeEventObserver").
class CordelApplication : public QApplication
{
    Q_OBJECT
public:
    // How the program shows itself: a window of its own (0), or the tray item only (1).
    enum ActivationPolicy { Regular = 0, Accessory = 1 };

    CordelApplication(int& argc, char** argv);
    ~CordelApplication() override;

    // The running application object when it is one of these.
    static CordelApplication* sharedApplication();

    Q_INVOKABLE void addEventObserver(QObject* target, const QString& selector);
    Q_INVOKABLE void removeEventObserver(QObject* target);
    EventObserverList& eventObservers() { return m_eventObservers; }

    ActivationPolicy activationPolicy() const { return m_activationPolicy; }
    void setActivationPolicy(ActivationPolicy policy) { m_activationPolicy = policy; }

    bool notify(QObject* receiver, QEvent* event) override;

    // Whether an event is one the observers see: user input reaching a window.
    static bool isObservedEvent(const QObject* receiver, const QEvent* event);

private:
    EventObserverList m_eventObservers;
    ActivationPolicy m_activationPolicy = Regular;
};

} // namespace tavrel
