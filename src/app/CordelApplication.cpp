#include "app/CordelApplication.h"

#include "platform/runtime/Invocation.h"
#include "platform/system/TQLog.h"

#include <QEvent>
#include <QMetaMethod>
#include <QWindow>

namespace tavrel {

void EventObserverList::addEventObserver(QObject* target, const QString& selector)
{
    if (!target || selector.isEmpty()) {
        TQLog("E: Incorrect arguments for event observation!");
        return;
    }
    m_entries.append({target, selector});
}

void EventObserverList::removeEventObserver(QObject* target)
{
    for (qsizetype i = 0; i < m_entries.size(); ++i) {
        if (m_entries.at(i).target == target) {
            m_entries.removeAt(i);
            return;
        }
    }
}

void EventObserverList::notifyObservers(QEvent* event) const
{
    const QList<Entry> entries = m_entries;
    for (const Entry& entry : entries) {
        QObject* target = entry.target.data();
        if (!target)
            continue;
        const QByteArray name = Invocation::methodNameForSelector(entry.selector);
        QMetaObject::invokeMethod(target, name.constData(), Qt::DirectConnection, Q_ARG(QEvent*, event));
    }
}

CordelApplication::CordelApplication(int& argc, char** argv) : QApplication(argc, argv) {}

CordelApplication::~CordelApplication() = default;

CordelApplication* CordelApplication::sharedApplication()
{
    return qobject_cast<CordelApplication*>(QCoreApplication::instance());
}

void CordelApplication::addEventObserver(QObject* target, const QString& selector)
{
    m_eventObservers.addEventObserver(target, selector);
}

void CordelApplication::removeEventObserver(QObject* target)
{
    m_eventObservers.removeEventObserver(target);
}

bool CordelApplication::isObservedEvent(const QObject* receiver, const QEvent* event)
{
    if (!event->spontaneous() || !qobject_cast<const QWindow*>(receiver))
        return false;
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::Wheel:
    case QEvent::TouchBegin:
        return true;
    default:
        return false;
    }
}

bool CordelApplication::notify(QObject* receiver, QEvent* event)
{
    if (m_eventObservers.count() > 0 && isObservedEvent(receiver, event))
        m_eventObservers.notifyObservers(event);
    return QApplication::notify(receiver, event);
}

} // namespace tavrel
