#pragma once

#include "controls/TQButtonbar.h"

namespace tavrel {

// The part of the window's title bar that the floating title bar builds on: a stack of buttons
// pushed from the left (the navigation buttons among them) and popped from the right, the title drawn
// centred. Pushing and popping here are immediate; the window's own title bar animates them.
class TitlebarBase : public TQButtonbar
{
    Q_OBJECT
public:
    explicit TitlebarBase(QWidget* parent = nullptr);

    QString title() const { return m_title; }
    void setTitle(const QString& title);

    virtual void pushButton(QAbstractButton* button, bool animated);
    virtual void popButtonAnimated(bool animated);
    virtual void pushNavigationButton(QAbstractButton* button) { pushButton(button, true); }
    virtual void popNavigationButton() { popButtonAnimated(true); }
    void layoutButtons() override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    QString m_title;
};

} // namespace tavrel
