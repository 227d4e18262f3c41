#include "controls/TQAnimatingBar.h"

#include "controls/DelayedPerform.h"
#include "controls/TQTableView.h"
#include "platform/ui/Animations.h"

#include <QMouseEvent>
#include <QPainter>
#include <QParallelAnimationGroup>
#include <QPropertyAnimation>
#include <QVariantAnimation>

namespace tavrel {

TQAnimatingBar::TQAnimatingBar(QWidget* parent) : TQHostView(parent)
{
    setAttribute(Qt::WA_TranslucentBackground);
    Animations::setOpacity(this, 0);
}

TQAnimatingBar::~TQAnimatingBar()
{
    DelayedPerform::cancelPreviousPerformRequests(this);
}

QList<QWidget*> TQAnimatingBar::buttons() const
{
    return findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly);
}

void TQAnimatingBar::layoutSubviews()
{
    const QList<QWidget*> views = buttons();
    const auto n = views.size();
    auto* group = new QParallelAnimationGroup(this);
    for (qsizetype i = 0; i + 1 < n; ++i) {
        QWidget* view = views[i];
        const QPoint target(view->x() - (view->width() + 6) * int(n - 1 - i), view->y());
        group->addAnimation(Animations::property(view, "pos", target, Animations::kShort));
    }
    connect(group, &QAbstractAnimation::finished, this, [this] { animationDidStop(false); });
    Animations::start(group);
}

void TQAnimatingBar::scheduleRemoveFromSuperview()
{
    m_removing = true;
    const QList<QWidget*> views = buttons();
    auto* group = new QParallelAnimationGroup(this);
    if (!views.isEmpty()) {
        const QPoint last = views.last()->pos();
        for (qsizetype i = 0; i + 1 < views.size(); ++i)
            group->addAnimation(Animations::property(views[i], "pos", last, Animations::kShort));
    }
    const double from = Animations::opacity(this);
    auto* fade = Animations::variant(from, 0.0, Animations::kShort, Animations::Curve::EaseInOut);
    connect(fade, &QVariantAnimation::valueChanged, this,
            [this](const QVariant& value) { Animations::setOpacity(this, value.toDouble()); });
    group->addAnimation(fade);
    connect(group, &QAbstractAnimation::finished, this, [this] { animationDidStop(true); });
    Animations::start(group);
}

void TQAnimatingBar::animationDidStop(bool doRemoving)
{
    if (!doRemoving || !parentWidget())
        return;
    DelayedPerform::cancelPreviousPerformRequests(this);
    DelayedPerform::perform(this, 0, [this] { removeFromSuperview(); });
}

void TQAnimatingBar::removeFromSuperview()
{
    DelayedPerform::cancelPreviousPerformRequests(this);
    QWidget* parent = parentWidget();
    // Already taken out: whoever did so owns it now.
    if (!parent)
        return;
    // The bar lives in the table's viewport.
    if (auto* table = parent ? qobject_cast<TQTableView*>(parent->parentWidget()) : nullptr) {
        table->setShouldHighlightSelection(true);
        table->viewport()->update();
    }
    hide();
    setParent(nullptr);
    deleteLater();
}

void TQAnimatingBar::mousePressEvent(QMouseEvent* event)
{
    event->accept();
}

void TQAnimatingBar::mouseDoubleClickEvent(QMouseEvent* event)
{
    event->accept();
}

void TQAnimatingBar::drawRect(QPainter& painter)
{
    painter.fillRect(QRectF(rect()).adjusted(0, 1, 0, -1), backgroundColor());
}

} // namespace tavrel
