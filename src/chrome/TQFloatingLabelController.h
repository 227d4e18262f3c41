#pragma once

#include "chrome/TQModalContentController.h"
#include "controls/ControlPopovers.h"

#include <QSizeF>

class QLabel;

namespace tavrel {

// The floating label: a dark translucent window that sizes itself to its text, shown beside a hovered
// element and gone on the first click or key elsewhere. Two shared ones live for the whole process:
// the tooltip of the switch buttons and the hover label of link buttons and photos. Main thread only.
class TQFloatingLabelController : public TQModalContentController, public FloatingLabelPort
{
    Q_OBJECT
    Q_PROPERTY(QString label READ label WRITE setLabel NOTIFY labelChanged)
public:
    // The window's arrow position for each shared label.
    static constexpr int kTooltipArrow = -1;
    static constexpr int kLabelArrow = 2;
    // Room around the text inside the window's content.
    static constexpr qreal kHorizontalPadding = 4;
    static constexpr qreal kVerticalPadding = 8;

    explicit TQFloatingLabelController(QObject* parent = nullptr);
    ~TQFloatingLabelController() override;

    // Created on first use with a window of their own, and registered with the controls.
    static TQFloatingLabelController* tooltipController();
    static TQFloatingLabelController* labelController();
    // Gives a new label controller a window pointing with that arrow; the controller owns it.
    static void makeWindow(TQFloatingLabelController* controller, int arrow);

    // Keeps the window (modal set-up), drawn black at half opacity, as a small window.
    void setWindow(TQFloatingWindow* window) override;

    QString label() const { return m_label; }
    // Resizes the window to the text; the same text again changes nothing.
    void setLabel(const QString& label) override;
    QLabel* labelField() const { return m_labelField; }

    bool isWindowVisible() const override;
    void closeWindow() override;
    void attachToWindow(QWidget* window, const QPointF& point) override;
    void observeWindowWillClose(std::function<void()> handler) override;

signals:
    void labelChanged();

protected:
    QWidget* loadView() override;
    // The text's natural size in the label field's font.
    virtual QSizeF textSize(const QString& text) const;

private:
    QString m_label;
    QLabel* m_labelField = nullptr;
};

} // namespace tavrel
