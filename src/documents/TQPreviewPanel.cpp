#include "documents/TQPreviewPanel.h"

#include "controls/DocumentPreviewView.h"
#include "lists/TQPreviewItemAdapter.h"
#include "platform/ui/StringTable.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QPointer>
#include <QScreen>
#include <QVBoxLayout>

namespace tavrel {

namespace {

QPointer<TQPreviewPanel> sharedPanel;

} // namespace

TQPreviewPanel* TQPreviewPanel::sharedPreviewPanel()
{
    if (!sharedPanel)
        sharedPanel = new TQPreviewPanel;
    return sharedPanel;
}

TQPreviewPanel* TQPreviewPanel::existingPreviewPanel()
{
    return sharedPanel;
}

TQPreviewPanel::TQPreviewPanel() : QWidget(nullptr, Qt::Window)
{
    setObjectName(QStringLiteral("previewPanel"));
    setAttribute(Qt::WA_DeleteOnClose, false);
    setWindowTitle(StringTable::text(QStringLiteral("Preview")));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_view = new DocumentPreviewView(this);
    m_view->setFocusPolicy(Qt::NoFocus);
    layout->addWidget(m_view);
    setFocusPolicy(Qt::StrongFocus);
    resize(720, 560);
}

TQPreviewPanel::~TQPreviewPanel()
{
    if (m_controller)
        m_controller->endPreviewPanelControl();
}

void TQPreviewPanel::setController(TQPreviewPanelController* controller)
{
    if (m_controller == controller)
        return;
    TQPreviewPanelController* previous = m_controller;
    m_controller = controller;
    if (previous)
        previous->endPreviewPanelControl();
}

void TQPreviewPanel::reloadData()
{
    std::shared_ptr<TQPreviewItemAdapter> item;
    if (m_controller && m_controller->numberOfPreviewItems() > 0)
        item = m_controller->previewItemAtIndex(0);
    if (!item) {
        m_url = QUrl();
        m_title.clear();
        m_view->clear();
        return;
    }
    m_url = item->previewItemURL();
    m_title = item->previewItemTitle();
    setWindowTitle(m_title.isEmpty() ? StringTable::text(QStringLiteral("Preview")) : m_title);
    if (m_url == kLoadingPageURL)
        m_view->showLoading(m_title);
    else if (m_url == kErrorPageURL || !m_url.isLocalFile())
        m_view->showError(m_title);
    else
        m_view->showFile(m_url.toLocalFile(), m_title);
}

void TQPreviewPanel::makeKeyAndOrderFront()
{
    show();
    raise();
    activateWindow();
}

void TQPreviewPanel::center()
{
    QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    QRect frame = frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    move(frame.topLeft());
}

void TQPreviewPanel::closePanel()
{
    close();
}

void TQPreviewPanel::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Space || event->key() == Qt::Key_Escape) {
        closePanel();
        return;
    }
    if (m_controller && m_controller->previewPanelHandleEvent(event))
        return;
    QWidget::keyPressEvent(event);
}

void TQPreviewPanel::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    if (m_controller)
        m_controller->previewPanelDidResize();
}

void TQPreviewPanel::closeEvent(QCloseEvent* event)
{
    QWidget::closeEvent(event);
    setController(nullptr);
    m_view->clear();
}

} // namespace tavrel
