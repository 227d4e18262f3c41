#include "chrome/TQSpinStatusSubcontroller.h"

#include "controls/SpinningIndicator.h"

#include <QEvent>
#include <QFontMetrics>
#include <QLabel>
#include <QWidget>

namespace tavrel {

namespace {
constexpr int kIndicatorEdge = 16;
} // namespace

TQSpinStatusSubcontroller::TQSpinStatusSubcontroller(QObject* parent) : QObject(parent) {}

TQSpinStatusSubcontroller::~TQSpinStatusSubcontroller()
{
    viewWillUninstall();
    delete m_view.data();
}

QWidget* TQSpinStatusSubcontroller::view()
{
    if (!m_view)
        loadView();
    return m_view;
}

QWidget* TQSpinStatusSubcontroller::progressControl()
{
    view();
    return m_progressControl;
}

QLabel* TQSpinStatusSubcontroller::labelField()
{
    view();
    return m_labelField;
}

void TQSpinStatusSubcontroller::loadView()
{
    m_view = new QWidget;
    m_view->resize(300, 22);
    auto* indicator = new SpinningIndicator(m_view);
    indicator->setGeometry(0, (22 - kIndicatorEdge) / 2, kIndicatorEdge, kIndicatorEdge);
    m_progressControl = indicator;
    m_labelField = new QLabel(m_view);
    m_labelField->setObjectName(QStringLiteral("labelField"));
    m_labelField->setGeometry(kIndicatorEdge + 8, 3, 200, 16);
    showLabelText();
}

void TQSpinStatusSubcontroller::setLabel(const QString& label)
{
    m_label = label;
    showLabelText();
}

void TQSpinStatusSubcontroller::showLabelText()
{
    // The field truncates at its tail, as a one-line text field does.
    if (m_labelField)
        m_labelField->setText(
            QFontMetrics(m_labelField->font()).elidedText(m_label, Qt::ElideRight, m_labelField->width()));
}

void TQSpinStatusSubcontroller::layoutSubviews()
{
    QWidget* view = this->view();
    const double width = view->width();
    const double indicatorWidth = m_progressControl->width();
    // The text's own width, clipped to the view's bounds.
    const double textWidth =
        std::min<double>(QFontMetrics(m_labelField->font()).horizontalAdvance(m_label), width);
    double labelWidth = width - indicatorWidth - 24;
    if (textWidth < labelWidth)
        labelWidth = textWidth + 4;
    const double labelX = (width - labelWidth) * 0.5 + indicatorWidth;
    const double indicatorX = labelX - indicatorWidth - 8;
    m_labelField->setGeometry(qRound(labelX), m_labelField->y(), qRound(labelWidth), m_labelField->height());
    m_progressControl->move(qRound(indicatorX), m_progressControl->y());
    showLabelText();
}

void TQSpinStatusSubcontroller::viewDidInstall()
{
    viewWillUninstall();
    m_observedSuperview = m_view ? m_view->parentWidget() : nullptr;
    if (m_observedSuperview) {
        m_observedWidth = m_observedSuperview->width();
        m_observedSuperview->installEventFilter(this);
    }
}

void TQSpinStatusSubcontroller::viewWillUninstall()
{
    if (m_observedSuperview)
        m_observedSuperview->removeEventFilter(this);
    m_observedSuperview = nullptr;
}

bool TQSpinStatusSubcontroller::eventFilter(QObject* watched, QEvent* event)
{
    // A change of height alone leaves the layout as it is.
    if (watched == m_observedSuperview && event->type() == QEvent::Resize) {
        const int width = m_observedSuperview->width();
        if (width != m_observedWidth) {
            m_observedWidth = width;
            m_view->resize(width, m_view->height());
            layoutSubviews();
        }
    }
    return QObject::eventFilter(watched, event);
}

} // namespace tavrel
