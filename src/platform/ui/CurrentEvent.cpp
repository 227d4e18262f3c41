#include "platform/ui/CurrentEvent.h"

#include <QApplication>
#include <QCursor>
#include <QEnterEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QStyleHints>
#include <QWidget>

namespace tavrel {

namespace {

struct Record
{
    QEvent::Type type = QEvent::None;
    Qt::MouseButton button = Qt::NoButton;
    Qt::MouseButtons buttons;
    Qt::KeyboardModifiers modifiers;
    int key = 0;
    QString text;
    quint64 timestamp = 0;
    QPointF globalPosition;
    bool hasPosition = false;

    // The last press counted, to count the next and to recognise the same press delivered again
    // (an event travels from the window to the widget and up to its parents).
    int clickCount = 0;
    Qt::MouseButton pressButton = Qt::NoButton;
    quint64 pressTimestamp = 0;
    QPointF pressPosition;
    bool hasPress = false;
};

Record& record()
{
    static Record r;
    return r;
}

bool isPress(QEvent::Type type)
{
    return type == QEvent::MouseButtonPress || type == QEvent::MouseButtonDblClick;
}

} // namespace

CurrentEvent& CurrentEvent::instance()
{
    static CurrentEvent* filter = new CurrentEvent;
    return *filter;
}

void CurrentEvent::install()
{
    static bool installed = false;
    if (installed || !qApp)
        return;
    installed = true;
    qApp->installEventFilter(&instance());
}

void CurrentEvent::recordMouse(const QMouseEvent* event)
{
    Record& r = record();
    const QPointF global = event->globalPosition();
    if (isPress(event->type())) {
        const bool samePress = r.hasPress && r.pressTimestamp == event->timestamp() &&
                               r.pressButton == event->button() && r.pressPosition == global;
        if (!samePress) {
            const auto* hints = QGuiApplication::styleHints();
            const QPointF distance = global - r.pressPosition;
            const bool continues =
                r.hasPress && r.pressButton == event->button() && event->timestamp() >= r.pressTimestamp &&
                event->timestamp() - r.pressTimestamp <= quint64(hints->mouseDoubleClickInterval()) &&
                qMax(qAbs(distance.x()), qAbs(distance.y())) <= hints->mouseDoubleClickDistance();
            r.clickCount = continues ? r.clickCount + 1 : 1;
            r.pressButton = event->button();
            r.pressTimestamp = event->timestamp();
            r.pressPosition = global;
            r.hasPress = true;
        }
    }
    r.type = event->type() == QEvent::MouseButtonDblClick ? QEvent::MouseButtonPress : event->type();
    r.button = event->button();
    r.buttons = event->buttons();
    r.modifiers = event->modifiers();
    r.timestamp = event->timestamp();
    r.globalPosition = global;
    r.hasPosition = true;
}

bool CurrentEvent::eventFilter(QObject*, QEvent* event)
{
    Record& r = record();
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
        recordMouse(static_cast<QMouseEvent*>(event));
        break;
    case QEvent::KeyPress:
    case QEvent::KeyRelease: {
        const auto* key = static_cast<QKeyEvent*>(event);
        r.type = event->type();
        r.key = key->key();
        r.text = key->text();
        r.modifiers = key->modifiers();
        r.timestamp = key->timestamp();
        break;
    }
    case QEvent::Enter: {
        // Where the mouse came in, for hover decided before it first moves.
        const auto* enter = static_cast<QEnterEvent*>(event);
        r.globalPosition = enter->globalPosition();
        r.hasPosition = true;
        break;
    }
    default:
        break;
    }
    return false;
}

QEvent::Type CurrentEvent::type()
{
    return record().type;
}

bool CurrentEvent::isMouseEvent()
{
    const QEvent::Type t = record().type;
    return t == QEvent::MouseButtonPress || t == QEvent::MouseButtonRelease || t == QEvent::MouseMove;
}

bool CurrentEvent::isKeyEvent()
{
    const QEvent::Type t = record().type;
    return t == QEvent::KeyPress || t == QEvent::KeyRelease;
}

int CurrentEvent::clickCount()
{
    return qMax(1, record().clickCount);
}

Qt::MouseButton CurrentEvent::button()
{
    return record().button;
}

Qt::MouseButtons CurrentEvent::buttons()
{
    return record().buttons;
}

Qt::KeyboardModifiers CurrentEvent::modifiers()
{
    return record().modifiers;
}

int CurrentEvent::key()
{
    return isKeyEvent() ? record().key : 0;
}

QString CurrentEvent::text()
{
    return isKeyEvent() ? record().text : QString();
}

quint64 CurrentEvent::timestamp()
{
    return record().timestamp;
}

bool CurrentEvent::isCancel()
{
    return isKeyEvent() && record().key == Qt::Key_Escape;
}

QPointF CurrentEvent::globalMousePosition()
{
    const Record& r = record();
    return r.hasPosition ? r.globalPosition : QPointF(QCursor::pos());
}

QPointF CurrentEvent::mousePosition(const QWidget* widget)
{
    const QPointF global = globalMousePosition();
    return widget ? widget->mapFromGlobal(global) : global;
}

void CurrentEvent::reset()
{
    record() = Record();
}

} // namespace tavrel
