#include "window/TQMainWindow.h"

#include "platform/system/Settings.h"
#include "platform/ui/FloatingWindows.h"
#include "platform/ui/MessageNames.h"
#include "platform/ui/ResponderChain.h"
#include "window/StandardKeys.h"
#include "window/TQMainWindowController.h"
#include "window/TQTitlebar.h"
#include "window/TQTitlebarView.h"

#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QCloseEvent>
#include <QDialog>
#include <QGuiApplication>
#include <QHideEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QNativeGestureEvent>
#include <QPlainTextEdit>
#include <QScreen>
#include <QTextEdit>
#include <cmath>

namespace tavrel {

TQMainWindow::TQMainWindow(QWidget* parent) : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("mainWindow"));
    m_contentView = new QWidget(this);
    m_contentView->setObjectName(QStringLiteral("contentView"));
    setTitlebarView(new TQTitlebarView);
    qApp->installEventFilter(this);
    resize(kDefaultSize);
    setMinimumSize(kMinimumSize);
}

TQMainWindow::~TQMainWindow()
{
    if (isVisible())
        saveFrame();
}

void TQMainWindow::setVisible(bool visible)
{
    if (visible && !m_frameRestored && !isVisible()) {
        m_frameRestored = true;
        restoreFrame();
    }
    QWidget::setVisible(visible);
}

namespace {

// The settings file keeps texts: a frame is its left, top, width and height.
QRect frameFromSetting(const QStringList& numbers)
{
    if (numbers.size() != 4)
        return {};
    int values[4] = {};
    for (int i = 0; i < 4; ++i) {
        bool ok = false;
        values[i] = numbers.at(i).toInt(&ok);
        if (!ok)
            return {};
    }
    const QRect frame(values[0], values[1], values[2], values[3]);
    return frame.width() > 0 && frame.height() > 0 ? frame : QRect();
}

} // namespace

void TQMainWindow::restoreFrame()
{
    const QRect saved = frameFromSetting(Settings::stringListValue(kFrameKey));
    QScreen* screen = saved.isValid() ? QGuiApplication::screenAt(saved.center()) : nullptr;
    if (!screen)
        screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect available = screen->availableGeometry();
    // A small screen (or a large scale) gets the whole of it rather than a window running past it.
    setMinimumSize(kMinimumSize.boundedTo(available.size()));
    QRect frame = saved;
    if (!frame.isValid()) {
        frame = QRect(QPoint(0, 0), kDefaultSize);
        frame.moveCenter(available.center());
    }
    setGeometry(FloatingWindows::fittedFrame(frame, available));
}

void TQMainWindow::saveFrame() const
{
    const QRect frame = isMaximized() || isFullScreen() ? normalGeometry() : geometry();
    Settings::setValue(kFrameKey,
                       QStringList{QString::number(frame.x()), QString::number(frame.y()),
                                   QString::number(frame.width()), QString::number(frame.height())});
}

void TQMainWindow::hideEvent(QHideEvent* event)
{
    QWidget::hideEvent(event);
    if (!event->spontaneous())
        saveFrame();
}

TQMainWindowController* TQMainWindow::delegate() const
{
    return qobject_cast<TQMainWindowController*>(m_delegate.data());
}

void TQMainWindow::setDelegate(TQMainWindowController* delegate)
{
    m_delegate = delegate;
}

void TQMainWindow::setTitlebarHeight(double height)
{
    if (float(height) < float(minimumTitlebarHeight()))
        height = minimumTitlebarHeight();
    if (height == m_titlebarHeight)
        return;
    m_titlebarHeight = height;
    layoutWindow();
}

void TQMainWindow::setTitlebarView(TQTitlebarView* view)
{
    if (!view || view == m_titlebarView)
        return;
    delete m_titlebarView.data();
    m_titlebarView = view;
    view->setParent(this);
    view->setObjectName(QStringLiteral("titlebarView"));
    view->setTitle(m_shouldShowTitle ? m_mainTitle : QString());
    view->show();
    if (m_titlebar)
        installTitlebar(m_titlebar);
    layoutWindow();
}

void TQMainWindow::installTitlebar(TQTitlebar* titlebar)
{
    if (!titlebar) {
        if (m_titlebar)
            m_titlebar->hide();
        return;
    }
    m_titlebar = titlebar;
    titlebar->setParent(m_titlebarView);
    titlebar->setGeometry(kTitlebarLeading, 0, m_titlebarView->width() - kTitlebarLeading,
                          m_titlebarView->height());
    titlebar->show();
}

void TQMainWindow::layoutWindow()
{
    const int strip = int(m_titlebarHeight);
    if (m_titlebarView) {
        m_titlebarView->setGeometry(0, 0, width(), strip);
        if (m_titlebar)
            m_titlebar->setGeometry(kTitlebarLeading, 0, width() - kTitlebarLeading, strip);
    }
    m_contentView->setGeometry(0, strip, width(), height() - strip);
}

void TQMainWindow::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    layoutWindow();
}

void TQMainWindow::setTitle(const QString& title)
{
    m_mainTitle = title;
    // The window manager's entry (task bar, window list) carries the title too.
    setWindowTitle(title);
    if (m_shouldShowTitle && m_titlebarView)
        m_titlebarView->setTitle(title);
}

void TQMainWindow::setShouldShowTitle(bool show)
{
    m_shouldShowTitle = show;
    if (m_titlebarView)
        m_titlebarView->setTitle(show ? m_mainTitle : QString());
}

bool TQMainWindow::isEditingText() const
{
    QWidget* focus = QApplication::focusWidget();
    if (!focus || focus->window() != this)
        return false;
    if (auto* line = qobject_cast<QLineEdit*>(focus))
        return !line->isReadOnly();
    if (auto* text = qobject_cast<QTextEdit*>(focus))
        return !text->isReadOnly();
    if (auto* plain = qobject_cast<QPlainTextEdit*>(focus))
        return !plain->isReadOnly();
    return qobject_cast<QAbstractSpinBox*>(focus) != nullptr;
}

bool TQMainWindow::performKeyEquivalent(QKeyEvent* event)
{
    // The platform's keys of the commands; those of a list only while a list (not its editor) has focus.
    QWidget* focus = QApplication::focusWidget();
    const bool onList = focus && focus->window() == this && !isEditingText() &&
                        qobject_cast<QAbstractItemView*>(focus) != nullptr;
    if (const QString command = StandardKeys::commandForKey(event, onList); !command.isEmpty())
        if (ResponderChain::send(command, this, nullptr, focus))
            return true;
    if (isEditingText())
        return false;
    if (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
        return false;
    if (event->key() == Qt::Key_Escape || event->key() == Qt::Key_Left) {
        TQMainWindowController* controller = delegate();
        return controller && controller->performKeyEquivalent(event);
    }
    if (event->key() == Qt::Key_Right)
        return ResponderChain::send(Commands::showDetails, this) != nullptr;
    return false;
}

bool TQMainWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress && event->type() != QEvent::ShortcutOverride)
        return false;
    auto* widget = qobject_cast<QWidget*>(watched);
    auto* key = static_cast<QKeyEvent*>(event);
    // The program's other windows (dialogs, preferences) close with the window's key; Escape, which a
    // dialog takes itself, closes the others too.
    if (event->type() == QEvent::KeyPress && widget && widget->window() != this &&
        !QApplication::activePopupWidget()) {
        QWidget* other = widget->window();
        const Qt::WindowType type = other->windowType();
        const bool closes = StandardKeys::commandForKey(key, false) == Commands::close ||
                            (key->key() == Qt::Key_Escape && key->modifiers() == Qt::NoModifier &&
                             !qobject_cast<QDialog*>(other) && !qobject_cast<QLineEdit*>(widget));
        if (closes && (type == Qt::Window || type == Qt::Dialog || type == Qt::Sheet)) {
            other->close();
            return true;
        }
    }
    if (!widget || widget->window() != this || QApplication::activePopupWidget() ||
        QApplication::activeModalWidget())
        return false;
    if (event->type() == QEvent::ShortcutOverride) {
        // Ctrl+R wins over any widget's own use of it.
        if (key->key() == Qt::Key_R && (key->modifiers() & Qt::ControlModifier))
            event->accept();
        return false;
    }
    // Lists and fields use the arrows themselves: the arrows they leave reach keyPressEvent.
    if (key->key() == Qt::Key_Left || key->key() == Qt::Key_Right)
        return false;
    return performKeyEquivalent(key);
}

bool TQMainWindow::event(QEvent* event)
{
    if (event->type() == QEvent::NativeGesture) {
        auto* gesture = static_cast<QNativeGestureEvent*>(event);
        if (gesture->gestureType() == Qt::SwipeNativeGesture &&
            swipeGoesBack({float(gesture->delta().x()), 0.0f}, false)) {
            ResponderChain::send(Commands::goBack, this);
            return true;
        }
    }
    return QWidget::event(event);
}

bool TQMainWindow::swipeGoesBack(const QList<float>& movements, bool naturalScrolling)
{
    if (movements.size() < 2)
        return false;
    double sum = 0;
    for (float movement : movements)
        sum += movement;
    if (naturalScrolling)
        sum = -sum;
    const float magnitude = std::fabs(float(sum));
    return magnitude >= kSwipeThreshold && magnitude > 0;
}

void TQMainWindow::keyPressEvent(QKeyEvent* event)
{
    if ((event->key() == Qt::Key_Left || event->key() == Qt::Key_Right) && performKeyEquivalent(event))
        return;
    QWidget::keyPressEvent(event);
}

void TQMainWindow::closeEvent(QCloseEvent* event)
{
    // Closing never quits: the window only hides.
    event->ignore();
    hide();
}

void TQMainWindow::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::ActivationChange && m_titlebarView)
        m_titlebarView->update();
    QWidget::changeEvent(event);
}

} // namespace tavrel
