#include "window/TQTitlebar.h"

#include "platform/ui/Animations.h"

#include <QAbstractButton>
#include <QPropertyAnimation>
#include <cmath>

namespace tavrel {

namespace {
constexpr int kOwnButtonSize = 20;
constexpr int kRightGap = 15;
constexpr int kButtonGap = 20;
constexpr int kSlideMargin = 20;

QList<QAbstractButton*> live(const QList<QPointer<QAbstractButton>>& buttons)
{
    QList<QAbstractButton*> result;
    for (const auto& button : buttons)
        if (button)
            result.append(button);
    return result;
}
} // namespace

TQTitlebar::TQTitlebar(QWidget* parent) : TQButtonbar(parent) {}

QList<QAbstractButton*> TQTitlebar::navigationHistory() const
{
    return live(m_navigationHistory);
}

void TQTitlebar::resizeEvent(QResizeEvent* event)
{
    TQButtonbar::resizeEvent(event);
    layoutButtons();
    // Navigation buttons stay centred vertically.
    for (QAbstractButton* button : navigationHistory())
        button->move(button->x(), (height() - button->height()) / 2);
}

void TQTitlebar::layoutButtons()
{
    if (m_preserveOriginalButtonSizes)
        return;
    const QList<QAbstractButton*> own = buttons();
    int edge = width();
    for (int i = own.size() - 1; i >= 0; --i) {
        const int gap = i == own.size() - 1 ? kRightGap : kButtonGap;
        edge -= kOwnButtonSize + gap;
        own.at(i)->setGeometry(edge, (height() - kOwnButtonSize) / 2, kOwnButtonSize, kOwnButtonSize);
    }
}

int TQTitlebar::referenceX() const
{
    const QList<QAbstractButton*> own = buttons();
    return own.isEmpty() ? width() : own.constFirst()->x();
}

void TQTitlebar::pushButton(QAbstractButton* button, bool animated)
{
    if (!button)
        return;
    QSize size = button->size();
    if (size.isEmpty())
        size = button->sizeHint();
    const int y = int(std::floor((height() - size.height()) / 2.0 + 0.5));
    const QRect home(QPoint(0, y), size);
    button->setParent(this);
    button->setGeometry(home);
    button->show();
    QAbstractButton* previous =
        m_navigationHistory.isEmpty() ? nullptr : m_navigationHistory.constLast().data();
    if (!animated) {
        if (previous)
            previous->hide();
    } else {
        QList<Slide> slides;
        button->move(referenceX() - (size.width() + kSlideMargin), y);
        Animations::setOpacity(button, 0.0);
        slides.append({button, home, 1.0, false});
        if (previous)
            slides.append({previous,
                           previous->geometry().translated(-previous->x() - int(1.5 * previous->width()), 0),
                           0.0, true});
        performAnimationWithSettings(slides);
    }
    m_navigationHistory.append(button);
}

void TQTitlebar::popButtonAnimated(bool animated)
{
    while (!m_navigationHistory.isEmpty() && !m_navigationHistory.constLast())
        m_navigationHistory.removeLast();
    if (m_navigationHistory.isEmpty())
        return;
    QPointer<QAbstractButton> top = m_navigationHistory.takeLast();
    QAbstractButton* previous =
        m_navigationHistory.isEmpty() ? nullptr : m_navigationHistory.constLast().data();
    if (previous) {
        previous->setParent(this);
        previous->show();
    }
    if (!animated) {
        if (previous)
            previous->move(0, previous->y());
        top->hide();
        if (!m_storage.contains(top))
            top->deleteLater();
        return;
    }
    QList<Slide> slides;
    slides.append({top,
                   top->geometry().translated(referenceX() - (top->width() + kSlideMargin) - top->x(), 0),
                   0.0, true});
    if (previous)
        slides.append({previous, previous->geometry().translated(-previous->x(), 0), 1.0, false});
    performAnimationWithSettings(slides);
}

void TQTitlebar::dropNavigationButtons()
{
    for (QAbstractButton* button : navigationHistory()) {
        // A stored button stays alive for a later restore.
        button->hide();
        if (!m_storage.contains(button))
            button->deleteLater();
    }
    m_navigationHistory.clear();
}

void TQTitlebar::storeNavigationButtons()
{
    m_storage = m_navigationHistory;
}

void TQTitlebar::restoreNavigationButtons()
{
    if (m_storage.isEmpty())
        return;
    const QList<QPointer<QAbstractButton>> stored = std::exchange(m_storage, {});
    for (QAbstractButton* button : navigationHistory())
        button->hide();
    m_navigationHistory.clear();
    if (QAbstractButton* last = stored.constLast())
        pushButton(last, false);
    m_navigationHistory = stored;
    for (QAbstractButton* button : navigationHistory())
        if (button != stored.constLast())
            button->hide();
}

void TQTitlebar::performAnimationWithSettings(const QList<Slide>& slides)
{
    for (const Slide& slide : slides) {
        if (!slide.button)
            continue;
        QPointer<QAbstractButton> button = slide.button;
        auto* move = Animations::property(button, "geometry", slide.endFrame, Animations::kNormal,
                                          Animations::Curve::Linear);
        if (slide.removeAtEnd)
            connect(move, &QAbstractAnimation::finished, this, [this, button] {
                if (!button)
                    return;
                button->hide();
                Animations::setOpacity(button, 1.0);
                // A button still in the history (pushed over) comes back on a pop; others go.
                if (!m_navigationHistory.contains(button) && !m_storage.contains(button))
                    button->deleteLater();
            });
        Animations::fade(button, slide.endOpacity, Animations::kNormal, Animations::Curve::Linear);
        Animations::start(move);
    }
}

} // namespace tavrel
