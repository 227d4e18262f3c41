#include "lists/TQNoSearchProvider.h"

#include <QLabel>
#include <QVBoxLayout>
#include <QWidget>

namespace tavrel {

TQNoSearchProvider::TQNoSearchProvider(QObject* parent) : QObject(parent) {}

// A view nobody took is the provider's to delete.
TQNoSearchProvider::~TQNoSearchProvider()
{
    if (m_view && !m_view->parentWidget())
        delete m_view.data();
}

QWidget* TQNoSearchProvider::makeMessageView(QWidget* parent, const QString& text)
{
    auto* view = new QWidget(parent);
    view->setAutoFillBackground(true);
    QPalette palette = view->palette();
    palette.setColor(QPalette::Window, Qt::white);
    palette.setColor(QPalette::WindowText, QColor(0xA5, 0xA5, 0xA5));
    view->setPalette(palette);
    auto* layout = new QVBoxLayout(view);
    auto* label = new QLabel(text, view);
    label->setObjectName(QStringLiteral("labelField"));
    label->setAlignment(Qt::AlignCenter);
    label->setWordWrap(true);
    QFont font = label->font();
    font.setPointSizeF(font.pointSizeF() + 3);
    font.setBold(true);
    label->setFont(font);
    layout->addWidget(label);
    return view;
}

QWidget* TQNoSearchProvider::view()
{
    if (m_view)
        return m_view;
    m_view = makeMessageView(nullptr, QString());
    m_view->setObjectName(nibName());
    setLabelField(m_view->findChild<QLabel*>(QStringLiteral("labelField")));
    return m_view;
}

} // namespace tavrel
