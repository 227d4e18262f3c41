#include "controls/TQNormalPulldownCell.h"

#include "controls/SystemColors.h"
#include "platform/runtime/Invocation.h"
#include "platform/ui/Drawing.h"
#include "platform/ui/ImageRegistry.h"
#include "platform/ui/MessageNames.h"
#include "platform/ui/UserInterfaceItem.h"

#include <QAction>
#include <QMenu>
#include <QPainter>
#include <QPainterPath>

namespace tavrel {

namespace {
const QString kValidateSelector = Commands::validateUserInterfaceItem;
}

TQNormalPulldownCell::TQNormalPulldownCell(const QString& title, bool pullsDown)
    : BasicPopUpButtonCell(title, pullsDown)
{
    setArrowPosition(NoArrow);
    m_styler = {QStringLiteral("stub"), Drawing::font(12),
                QColor::fromRgbF(0.296875f, 0.296875f, 0.29296875f), Qt::AlignLeft};
}

QColor TQNormalPulldownCell::borderColor() const
{
    return SystemColors::controlShadowColor();
}

QPixmap TQNormalPulldownCell::activeImage() const
{
    return ImageRegistry::pixmap(QStringLiteral("normal_active"));
}

QPixmap TQNormalPulldownCell::regularImage() const
{
    return ImageRegistry::pixmap(QStringLiteral("normal_regular"));
}

void TQNormalPulldownCell::menuWillOpen(QMenu* menu)
{
    const QList<QAction*> actions = menu ? menu->actions() : QList<QAction*>();
    for (int i = 1; i < actions.size(); ++i) {
        QAction* item = actions[i];
        QObject* target = UserInterfaceItem::target(item);
        bool enabled = false;
        if (target && Invocation::respondsToSelector(target, kValidateSelector)) {
            const InvocationPtr validate = Invocation::invocationForSelector(kValidateSelector, target);
            validate->setArgument(Invocation::kFirstArgument,
                                  QVariant::fromValue(static_cast<QObject*>(item)));
            validate->invoke();
            enabled = validate->returnValue().toBool();
        }
        item->setEnabled(enabled);
    }
}

void TQNormalPulldownCell::drawWithFrame(QPainter& painter, const QRectF& frame, CellHost& host)
{
    const QPixmap face = isHighlighted() ? activeImage() : regularImage();
    const QRectF r = frame.adjusted(1, 2, -1, -2);
    QPainterPath outline;
    outline.addRoundedRect(r, 4, 4);
    painter.save();
    fillPathWithImage(painter, outline, face, r);
    if (const QColor border = borderColor(); border.isValid())
        strokeInside(painter, r, 4, border);
    const QString title = popUpTitle();
    if (title.isEmpty()) {
        BasicPopUpButtonCell::drawInterior(painter, frame.translated(0, -1), host);
    } else {
        // The title at its own size, centred across the face and down the frame.
        const QSizeF measured = Drawing::textSize(title, m_styler.font);
        const QSizeF size(Drawing::ceilf(measured.width()), Drawing::ceilf(measured.height()));
        const QRectF textRect(Drawing::floorf(r.x() + (r.width() - size.width()) / 2),
                              Drawing::floorf(frame.y() + (frame.height() - size.height()) / 2),
                              qMin(size.width(), r.width()), size.height());
        Drawing::drawText(painter, textRect, title, m_styler.font, m_styler.color,
                          m_styler.alignment | Qt::AlignVCenter);
    }
    painter.restore();
}

} // namespace tavrel
