#include "chrome/TQProgressStatusSubcontroller.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QWidget>

namespace tavrel {

namespace {
constexpr int kBarHeight = 6;
constexpr int kBarWidth = 160;
} // namespace

QProgressBar* TQProgressStatusSubcontroller::progressBar()
{
    return static_cast<QProgressBar*>(progressControl());
}

void TQProgressStatusSubcontroller::loadView()
{
    m_view = new QWidget;
    m_view->resize(300, 22);
    auto* layout = new QHBoxLayout(m_view);
    layout->setContentsMargins(12, 0, 12, 0);
    layout->setSpacing(10);
    m_labelField = new QLabel(m_view);
    m_labelField->setObjectName(QStringLiteral("labelField"));
    m_labelField->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_labelField->setMinimumWidth(20);
    m_labelField->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    auto* bar = new QProgressBar(m_view);
    bar->setRange(0, 100);
    bar->setTextVisible(false);
    bar->setFixedSize(kBarWidth, kBarHeight);
    m_progressControl = bar;
    layout->addWidget(m_labelField, 1);
    layout->addWidget(bar, 0, Qt::AlignVCenter);
    layout->addStretch(1);
    showLabelText();
}

void TQProgressStatusSubcontroller::showLabelText()
{
    if (m_labelField)
        m_labelField->setText(label());
}

} // namespace tavrel
