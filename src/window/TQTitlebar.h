#pragma once

#include "controls/TQButtonbar.h"

#include <QList>
#include <QPointer>
#include <QRect>

class QAbstractButton;

namespace tavrel {

// The button bar inside the main window's title strip: its own buttons stand at the right end, and at
// its left end it shows the back button of the navigation stack's top. Pushes and pops slide and fade
// the navigation buttons; the navigation buttons can be remembered and brought back (a mode switch
// undone by a cancelled drag).
class TQTitlebar : public TQButtonbar
{
    Q_OBJECT
public:
    explicit TQTitlebar(QWidget* parent = nullptr);

    // The navigation buttons pushed so far, oldest first; the last one is shown.
    QList<QAbstractButton*> navigationHistory() const;
    QList<QAbstractButton*> navigations() const { return navigationHistory(); }
    bool preserveOriginalButtonSizes() const { return m_preserveOriginalButtonSizes; }
    void setPreserveOriginalButtonSizes(bool preserve) { m_preserveOriginalButtonSizes = preserve; }

    // Own buttons from the right: 20x20, the rightmost 15 from the edge, 20 apart.
    void layoutButtons() override;

    void pushNavigationButton(QAbstractButton* button) { pushButton(button, true); }
    void popNavigationButton() { popButtonAnimated(true); }
    // The bar takes the button; nothing for null.
    void pushButton(QAbstractButton* button, bool animated);
    void popButtonAnimated(bool animated);
    // Every navigation button leaves the bar (the stack got a new root).
    void dropNavigationButtons();
    void storeNavigationButtons();
    void restoreNavigationButtons();

    // Where navigation buttons come from and go to: the first own button's x, else the bar's width.
    int referenceX() const;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    struct Slide
    {
        QPointer<QAbstractButton> button;
        QRect endFrame;
        double endOpacity = 1.0;
        bool removeAtEnd = false;
    };
    void performAnimationWithSettings(const QList<Slide>& slides);
    QList<QPointer<QAbstractButton>> m_navigationHistory;
    QList<QPointer<QAbstractButton>> m_storage;
    bool m_preserveOriginalButtonSizes = false;
};

} // namespace tavrel
