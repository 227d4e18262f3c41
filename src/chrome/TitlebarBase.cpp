#include "chrome/TitlebarBase.h"

#include "chrome/TQTitlebarTitleCell.h"
#include "platform/ui/CellHost.h"

#include <QAbstractButton>
#include <QPainter>

namespace tavrel {

namespace {
constexpr int kMargin = 8;
constexpr int kSpacing = 6;

class BarHost : public CellHost
{
public:
    explicit BarHost(QWidget* widget) : m_widget(widget) {}
    QWidget* hostWidget() const override { return m_widget; }

private:
    QWidget* m_widget;
};
} // namespace

TitlebarBase::TitlebarBase(QWidget* parent) : TQButtonbar(parent) {}

void TitlebarBase::setTitle(const QString& title)
{
    m_title = title;
    update();
}

void TitlebarBase::pushButton(QAbstractButton* button, bool)
{
    QList<QAbstractButton*> buttons = this->buttons();
    buttons << button;
    setButtons(buttons);
    button->show();
}

void TitlebarBase::popButtonAnimated(bool)
{
    QList<QAbstractButton*> buttons = this->buttons();
    if (!buttons.isEmpty()) {
        buttons.removeLast();
        setButtons(buttons);
    }
}

void TitlebarBase::layoutButtons()
{
    int x = kMargin;
    for (QAbstractButton* button : buttons()) {
        const QSize size = button->size();
        button->move(x, (height() - size.height()) / 2);
        x += size.width() + kSpacing;
    }
}

void TitlebarBase::resizeEvent(QResizeEvent* event)
{
    TQButtonbar::resizeEvent(event);
    layoutButtons();
}

void TitlebarBase::paintEvent(QPaintEvent* event)
{
    TQButtonbar::paintEvent(event);
    QPainter painter(this);
    TQTitlebarTitleCell cell(m_title);
    BarHost host(this);
    cell.paint(painter, rect(), host);
}

} // namespace tavrel
