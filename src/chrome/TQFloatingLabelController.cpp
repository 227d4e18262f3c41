#include "chrome/TQFloatingLabelController.h"

#include "controls/TQFloatingWindow.h"

#include <QFontMetricsF>
#include <QHBoxLayout>
#include <QLabel>
#include <QtMath>

namespace tavrel {

TQFloatingLabelController::TQFloatingLabelController(QObject* parent)
    : TQModalContentController(QStringLiteral("FloatingLabelView"), parent)
{}

TQFloatingLabelController::~TQFloatingLabelController()
{
    if (ControlPopovers::labelController() == this)
        ControlPopovers::setLabelController(nullptr);
    if (ControlPopovers::tooltipController() == this)
        ControlPopovers::setTooltipController(nullptr);
    // The window holds the view as its content: the view goes with the controller, then the window.
    if (TQFloatingWindow* own = window()) {
        setWindow(nullptr);
        delete own;
    }
}

QWidget* TQFloatingLabelController::loadView()
{
    auto* view = new QWidget;
    view->setObjectName(nibName());
    view->resize(60, 22);
    auto* layout = new QHBoxLayout(view);
    layout->setContentsMargins(kHorizontalPadding / 2, kVerticalPadding / 2, kHorizontalPadding / 2,
                               kVerticalPadding / 2);
    m_labelField = new QLabel(view);
    m_labelField->setAlignment(Qt::AlignCenter);
    QPalette palette = m_labelField->palette();
    palette.setColor(QPalette::WindowText, Qt::white);
    m_labelField->setPalette(palette);
    layout->addWidget(m_labelField);
    return view;
}

void TQFloatingLabelController::makeWindow(TQFloatingLabelController* controller, int arrow)
{
    QWidget* view = controller->view();
    auto* window = new TQFloatingWindow(view->rect(), QString(), arrow);
    window->setContentView(view);
    controller->setWindow(window);
}

namespace {

// Process-wide: never deleted, so that no cell ever holds a freed label.
TQFloatingLabelController* sharedLabel(TQFloatingLabelController*& held, int arrow)
{
    if (!held) {
        held = new TQFloatingLabelController;
        TQFloatingLabelController::makeWindow(held, arrow);
    }
    return held;
}

} // namespace

TQFloatingLabelController* TQFloatingLabelController::tooltipController()
{
    static TQFloatingLabelController* shared = nullptr;
    if (!shared)
        ControlPopovers::setTooltipController(sharedLabel(shared, kTooltipArrow));
    return shared;
}

TQFloatingLabelController* TQFloatingLabelController::labelController()
{
    static TQFloatingLabelController* shared = nullptr;
    if (!shared)
        ControlPopovers::setLabelController(sharedLabel(shared, kLabelArrow));
    return shared;
}

void TQFloatingLabelController::setWindow(TQFloatingWindow* window)
{
    TQModalContentController::setWindow(window);
    if (!window)
        return;
    window->setFrameBackgroundColor(QColor(0, 0, 0, 128));
    window->setWindowSize(1);
}

QSizeF TQFloatingLabelController::textSize(const QString& text) const
{
    const QFontMetricsF metrics(m_labelField ? m_labelField->font() : QFont());
    const QSizeF size = metrics.size(0, text);
    return {std::ceil(size.width()), std::ceil(size.height())};
}

void TQFloatingLabelController::setLabel(const QString& label)
{
    if (label == m_label && label.isNull() == m_label.isNull())
        return;
    view();
    const QSizeF size = textSize(label);
    if (TQFloatingWindow* own = window()) {
        // The content area fits the text with its padding; where the arrow points is the opener's.
        const QRectF content(0, 0, size.width() + kHorizontalPadding, size.height() + kVerticalPadding);
        own->setFrame(own->frameRectForContentRect(content).toAlignedRect());
    }
    m_label = label;
    m_labelField->setText(label);
    emit labelChanged();
}

bool TQFloatingLabelController::isWindowVisible() const
{
    return window() && window()->isVisible();
}

void TQFloatingLabelController::closeWindow()
{
    if (window())
        window()->close();
}

void TQFloatingLabelController::attachToWindow(QWidget* parent, const QPointF& point)
{
    if (window())
        window()->attachToWindow(parent, point.toPoint());
}

void TQFloatingLabelController::observeWindowWillClose(std::function<void()> handler)
{
    if (!window())
        return;
    auto connection = std::make_shared<QMetaObject::Connection>();
    *connection = connect(window(), &TQFloatingWindow::windowWillClose, this, [connection, handler] {
        QObject::disconnect(*connection);
        handler();
    });
}

} // namespace tavrel
