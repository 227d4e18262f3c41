#include "controls/TQBoxButton.h"

#include "controls/BasicButtonCell.h"
#include "controls/TQButtonCell.h"
#include "platform/ui/CurrentEvent.h"
#include "platform/ui/Drawing.h"
#include "platform/ui/ImageRegistry.h"
#include "platform/ui/ResponderChain.h"

#include <QPainter>

namespace tavrel {

TQBoxButton::TQBoxButton(QWidget* parent) : TQBoxButton(nullptr, parent) {}

TQBoxButton::TQBoxButton(std::shared_ptr<Cell> cell, QWidget* parent) : TQTrackingButton(parent)
{
    m_confirmTimer.setSingleShot(true);
    connect(&m_confirmTimer, &QTimer::timeout, this, &TQBoxButton::confirmClick);
    setCell(cell ? std::move(cell) : std::make_shared<TQButtonCell>());
}

TQBoxButton::~TQBoxButton()
{
    m_confirmTimer.stop();
}

void TQBoxButton::setCell(std::shared_ptr<Cell> cell)
{
    TQTrackingButton::setCell(std::move(cell));
    Cell* installed = this->cell();
    m_externalCommand = installed->command();
    m_externalFunction = installed->action();
    m_externalTarget = installed->target();
    // The real action is always the button's own.
    QPointer<TQBoxButton> self(this);
    installed->setCommand(QString());
    installed->setTarget(nullptr);
    installed->setAction([self](Cell&) {
        if (self)
            self->internalAction();
    });
}

void TQBoxButton::setAction(const QString& command)
{
    m_externalCommand = command;
    m_externalFunction = {};
}

void TQBoxButton::setAction(Cell::Action action)
{
    m_externalFunction = std::move(action);
    m_externalCommand.clear();
}

void TQBoxButton::setHiddenBackground(bool hidden)
{
    m_hiddenBackground = hidden;
    update();
}

void TQBoxButton::internalAction()
{
    if (!cell()->hasDoubleAction()) {
        confirmClick();
        return;
    }
    m_confirmTimer.stop();
    if (CurrentEvent::clickCount() == 2) {
        if (const Cell::Action& doubleAction = cell()->doubleAction())
            doubleAction(*cell());
        else
            ResponderChain::send(cell()->doubleCommand(), this, m_externalTarget, this);
        return;
    }
    m_confirmTimer.start(int(kConfirmClickDelay.milliseconds()));
}

void TQBoxButton::confirmClick()
{
    m_confirmTimer.stop();
    if (m_externalFunction) {
        const Cell::Action action = m_externalFunction;
        const std::shared_ptr<Cell> keep = sharedCell();
        action(*keep);
        return;
    }
    ResponderChain::send(m_externalCommand, this, m_externalTarget, this);
}

void TQBoxButton::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    if (!m_hiddenBackground)
        BasicButtonCell::drawImage(painter, ImageRegistry::pixmap(QStringLiteral("one_background")),
                                   QRectF(rect()));
    const QRectF cellFrame(Drawing::floorf(width() / 2.0 - 16), Drawing::floorf(height() / 2.0 - 16), 32, 32);
    cell()->paint(painter, cellFrame, *this);
}

} // namespace tavrel
