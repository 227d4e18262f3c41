#pragma once

#include <QColor>
#include <QString>
#include <QWidget>

namespace tavrel {

// The title strip the main window draws inside its frame: a grey gradient with rounded top corners,
// lighter while the window is active, a 1-point line along the bottom and the title in the middle. A
// double click minimises the window when the setting asks for it; other presses go to the parent.
class TQTitlebarView : public QWidget
{
    Q_OBJECT
public:
    static inline const QString kMiniaturizeOnDoubleClickKey =
        QStringLiteral("AppleMiniaturizeOnDoubleClick");

    explicit TQTitlebarView(QWidget* parent = nullptr);

    double cornerRadius() const { return m_cornerRadius; }
    void setCornerRadius(double radius);
    QString title() const { return m_title; }
    void setTitle(const QString& title);

    static QColor topActiveColor();
    static QColor bottomActiveColor();
    static QColor borderActiveColor();
    static QColor topNotActiveColor();
    static QColor bottomNotActiveColor();
    static QColor borderNotActiveColor();

    // Active while its window is the active window.
    bool drawsActive() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    double m_cornerRadius = 4.0;
    QString m_title;
};

} // namespace tavrel
