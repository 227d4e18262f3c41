#include "controls/TQSwitchButton.h"

#include "controls/ControlServices.h"
#include "platform/ui/Animations.h"
#include "platform/ui/Drawing.h"
#include "platform/ui/ImageRegistry.h"

#include <QHash>
#include <QMouseEvent>
#include <QMutex>
#include <QPainter>
#include <QPainterPath>
#include <QVariantAnimation>

namespace tavrel {

namespace {

QColor borderColor()
{
    return QColor::fromRgbF(0.65234375f, 0.65234375f, 0.66015625f, 1.0f);
}

QHash<QString, QPixmap>& faceCache()
{
    static QHash<QString, QPixmap> cache;
    return cache;
}

} // namespace

TQSwitchButton::TQSwitchButton(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_Hover);
    setFocusPolicy(Qt::NoFocus);
}

TQSwitchButton::~TQSwitchButton() = default;

void TQSwitchButton::precacheButtonImages()
{
    for (const char* name : {"button_regular", "button_active", "button_edit", "button_view", "background"})
        ImageRegistry::pixmap(QString::fromLatin1(name));
}

QPixmap TQSwitchButton::imageNamed(const QString& name, bool active, const QRectF& bounds)
{
    const QString base = active ? QStringLiteral("button_active") : QStringLiteral("button_regular");
    const QString shown = name.isEmpty() ? QStringLiteral("_") : name;
    const QString key = shown + base;
    auto& cache = faceCache();
    const auto hit = cache.constFind(key);
    if (hit != cache.constEnd())
        return *hit;
    const QSize size = bounds.size().toSize();
    if (size.isEmpty()) {
        ControlServices::log(QStringLiteral("E: No GraphicsContext found. Get here due to some error."));
        return {};
    }
    const qreal ratio = 2;
    QPixmap image(size * ratio);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        const QRectF whole(QPointF(0, 0), bounds.size());
        ImageRegistry::draw(painter, base, whole);
        if (shown != QStringLiteral("_")) {
            const QSizeF natural = ImageRegistry::naturalSize(shown);
            ImageRegistry::draw(painter, shown, Drawing::centered(natural, whole));
        }
    }
    cache.insert(key, image);
    return image;
}

QRectF TQSwitchButton::trackFrame() const
{
    return QRectF(rect()).adjusted(2, 2, -2, -2);
}

QRectF TQSwitchButton::knobFrame() const
{
    return {m_knobX, 2, m_knobSize.width(), m_knobSize.height()};
}

QRectF TQSwitchButton::initialKnobRect(const QRectF& interior) const
{
    // The left half of the track's interior.
    return {interior.x(), interior.y(), interior.width() / 2, interior.height()};
}

void TQSwitchButton::setupLayers()
{
    const QRectF track = trackFrame();
    const QRectF interior = QRectF(0, 0, track.width(), track.height()).adjusted(1, 1, -1, -1);
    const QRectF start = initialKnobRect(interior).adjusted(-1, -1, 1, 1);
    m_knobSize = start.size();
    m_knobX = 2;
    m_knobFace = faceForState(Off);
    m_knobActive = false;
    m_hasLayers = true;
    update();
}

void TQSwitchButton::dropLayers()
{
    if (m_knobAnimation)
        m_knobAnimation->stop();
    m_hasLayers = false;
}

void TQSwitchButton::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (m_hasLayers)
        return;
    setupLayers();
    if (m_state != Off)
        updateKnobPosition();
}

bool TQSwitchButton::event(QEvent* event)
{
    if (event->type() == QEvent::ParentChange && !parentWidget())
        dropLayers();
    return QWidget::event(event);
}

QString TQSwitchButton::faceForState(int state) const
{
    switch (state) {
    case Off:
        return QStringLiteral("button_edit");
    case On:
        return QStringLiteral("button_view");
    default:
        return QString();
    }
}

qreal TQSwitchButton::knobCenterForState(int state) const
{
    const qreal track = trackFrame().width();
    const qreal knob = m_knobSize.width();
    switch (state) {
    case Off:
        return knob / 2 + 2;
    case On:
        return track - knob / 2 + 2;
    default:
        return track / 2 + 2;
    }
}

void TQSwitchButton::updateKnobPosition()
{
    updateKnobPositionWithDuration(kKnobMoveSeconds);
}

void TQSwitchButton::synchronizeState()
{
    updateKnobPositionWithDuration(0);
}

void TQSwitchButton::updateKnobPositionWithDuration(double seconds)
{
    moveKnob(knobCenterForState(m_state), faceForState(m_state), seconds);
}

void TQSwitchButton::moveKnob(qreal centerX, const QString& face, double seconds)
{
    if (!m_hasLayers)
        return;
    m_knobFace = face;
    m_knobActive = false;
    const qreal target = centerX - m_knobSize.width() / 2;
    if (m_knobAnimation)
        m_knobAnimation->stop();
    if (seconds <= 0) {
        m_knobX = target;
        update();
        return;
    }
    auto* animation = Animations::variant(m_knobX, target, seconds, Animations::Curve::EaseInOut, this);
    connect(animation, &QVariantAnimation::valueChanged, this, [this](const QVariant& value) {
        m_knobX = value.toReal();
        update();
    });
    m_knobAnimation = animation;
    Animations::start(animation);
}

void TQSwitchButton::highlight(bool flag)
{
    m_knobActive = flag;
    m_knobFace = faceForState(m_state);
    update();
}

void TQSwitchButton::applyStateForPoint(const QPointF& point)
{
    const QRectF left(0, 0, width() / 2.0, height());
    setState(left.contains(point) ? Off : On);
}

void TQSwitchButton::setState(int state)
{
    if (state == m_state)
        return;
    // A click on the switch: off and on swap, mixed becomes on.
    m_state = m_state == On ? Off : On;
    sendAction();
    if (m_hasLayers)
        updateKnobPosition();
}

void TQSwitchButton::sendAction()
{
    const QPointer<TQSwitchButton> guard = this;
    if (const Action action = m_action)
        action(*this);
    if (guard)
        emit activated();
}

void TQSwitchButton::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || !isEnabled())
        return;
    const QPointF point = event->position();
    if (onKnob(point)) {
        m_clickedPoint = point;
        highlight(true);
    } else if (m_state != Mixed) {
        highlight(false);
    }
}

void TQSwitchButton::mouseMoveEvent(QMouseEvent* event)
{
    if (!(event->buttons() & Qt::LeftButton) || !isEnabled())
        return;
    const QPointF point = event->position();
    if (rect().contains(point.toPoint()) && m_state != Mixed)
        applyStateForPoint(point);
    highlight(onKnob(point));
}

void TQSwitchButton::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || !isEnabled())
        return;
    const QPointF point = event->position();
    if (point == m_clickedPoint) {
        setState(m_state == Off ? On : Off);
        m_clickedPoint = QPointF();
    } else if (rect().contains(point.toPoint()) && m_state != Mixed) {
        applyStateForPoint(point);
    }
    highlight(false);
}

void TQSwitchButton::drawFace(QPainter& painter, const QRectF& rect, const QString& name)
{
    const QSizeF natural = ImageRegistry::naturalSize(name);
    painter.save();
    painter.setOpacity(0.3);
    ImageRegistry::draw(painter, name, Drawing::centered(natural, rect));
    painter.restore();
}

void TQSwitchButton::drawTrack(QPainter& painter, const QRectF& track)
{
    const QRectF interior = QRectF(0, 0, track.width(), track.height()).adjusted(1, 1, -1, -1);
    const qreal half = interior.width() / 2;
    painter.save();
    painter.translate(track.topLeft());
    drawFace(painter, QRectF(1, 1, half, track.height() - 2), QStringLiteral("button_edit"));
    drawFace(painter, QRectF(half + 1, 1, (track.width() - 4) / 2, track.height() - 2),
             QStringLiteral("button_view"));
    painter.restore();
}

void TQSwitchButton::paintEvent(QPaintEvent*)
{
    if (!m_hasLayers)
        return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    if (!isEnabled())
        painter.setOpacity(0.5);
    const QRectF track = trackFrame();
    QPainterPath trackPath;
    trackPath.addRoundedRect(track.adjusted(0.5, 0.5, -0.5, -0.5), 2, 2);
    // The track's soft shadow, one point down.
    painter.fillPath(trackPath.translated(0, 1), QColor(0, 0, 0, 40));
    painter.save();
    painter.setClipPath(trackPath);
    ImageRegistry::draw(painter, QStringLiteral("background"), track);
    drawTrack(painter, track);
    painter.restore();
    painter.setPen(QPen(borderColor(), 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(trackPath);

    const QRectF knob = knobFrame();
    QPainterPath knobPath;
    knobPath.addRoundedRect(knob.adjusted(0.5, 0.5, -0.5, -0.5), 2, 2);
    painter.fillPath(knobPath.translated(0, 1), QColor(0, 0, 0, 26));
    painter.save();
    painter.setClipPath(knobPath);
    const QPixmap face = imageNamed(m_knobFace, m_knobActive, QRectF(QPointF(), knob.size()));
    if (!face.isNull())
        painter.drawPixmap(Drawing::centered(face.deviceIndependentSize(), knob), face, face.rect());
    painter.restore();
    painter.setPen(QPen(borderColor(), 1));
    painter.drawPath(knobPath);
}

} // namespace tavrel
