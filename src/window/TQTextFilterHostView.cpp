#include "window/TQTextFilterHostView.h"

#include "platform/system/TQLog.h"
#include "platform/ui/Animations.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPropertyAnimation>

namespace tavrel {

TQTextFilterHostView::TQTextFilterHostView(QWidget* parent) : TQHostView(parent)
{
    // Keys typed anywhere in the host reach the strip's shortcuts first.
    qApp->installEventFilter(this);
}

void TQTextFilterHostView::setTextFilter(QWidget* textFilter)
{
    if (m_textFilter && m_textFilter != textFilter)
        delete m_textFilter.data();
    m_textFilter = textFilter;
    if (textFilter)
        textFilter->hide();
}

void TQTextFilterHostView::awakeFromNib()
{
    if (!m_textFilter)
        return;
    m_textFilter->setParent(this);
    m_textFilter->setGeometry(0, 0, width(), m_textFilter->height());
    if (m_referredView)
        m_textFilter->stackUnder(m_referredView);
    m_textFilter->hide();
}

bool TQTextFilterHostView::isFilterVisible() const
{
    return m_textFilter && !m_textFilter->isHidden();
}

bool TQTextFilterHostView::performKeyEquivalent(QKeyEvent* event)
{
    const bool hidden = !isFilterVisible();
    if (event->key() == Qt::Key_F && (event->modifiers() & Qt::ControlModifier) && hidden) {
        makeFilterVisible(true);
        return true;
    }
    if (event->key() == Qt::Key_Escape && !hidden) {
        makeFilterVisible(false);
        return true;
    }
    return false;
}

bool TQTextFilterHostView::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::ShortcutOverride && event->type() != QEvent::KeyPress)
        return false;
    auto* widget = qobject_cast<QWidget*>(watched);
    if (!widget || (widget != this && !isAncestorOf(widget)) || !isVisible())
        return false;
    auto* key = static_cast<QKeyEvent*>(event);
    const bool ours =
        (key->key() == Qt::Key_F && (key->modifiers() & Qt::ControlModifier) && !isFilterVisible()) ||
        (key->key() == Qt::Key_Escape && isFilterVisible());
    if (!ours)
        return false;
    if (event->type() == QEvent::ShortcutOverride) {
        event->accept(); // a key press follows, delivered to us
        return false;
    }
    return performKeyEquivalent(key);
}

void TQTextFilterHostView::makeFilterVisible(bool visible)
{
    if (!m_referredView || !m_textFilter)
        return;
    QWidget* strip = m_textFilter;
    const QRect list = m_referredView->geometry();
    const int height = strip->height();
    QRect stripEnd;
    QRect listEnd = list;
    if (visible) {
        // From just above the list's top edge down into place.
        strip->setGeometry(list.x(), list.y() - height, list.width(), height);
        strip->show();
        strip->raise();
        stripEnd = strip->geometry().translated(0, height);
        listEnd.setTop(list.top() + height);
    } else {
        if (QWidget* focus = QApplication::focusWidget();
            focus && (focus == strip || strip->isAncestorOf(focus)))
            focus->clearFocus();
        stripEnd = strip->geometry().translated(0, -height);
        listEnd.setTop(list.top() - height);
    }
    auto* stripMove =
        Animations::property(strip, "geometry", stripEnd, Animations::kNormal, Animations::Curve::EaseIn);
    auto* listMove = Animations::property(m_referredView, "geometry", listEnd, Animations::kNormal,
                                          Animations::Curve::EaseIn);
    connect(stripMove, &QAbstractAnimation::finished, this, [this, visible] { animationDidEnd(!visible); });
    Animations::start(listMove);
    Animations::start(stripMove);
}

void TQTextFilterHostView::animationDidEnd(bool shouldHide)
{
    if (!m_textFilter)
        return;
    if (shouldHide) {
        m_textFilter->hide();
        return;
    }
    if (!m_searchField)
        return;
    m_searchField->setFocus(Qt::ShortcutFocusReason);
    if (window() && window()->isActiveWindow() && QApplication::focusWidget() != m_searchField)
        TQLog("E: Cannot set filter as first responer - current: %@",
              QApplication::focusWidget() ? QApplication::focusWidget()->objectName()
                                          : QStringLiteral("none"));
}

} // namespace tavrel
