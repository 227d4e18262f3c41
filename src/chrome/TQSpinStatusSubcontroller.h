#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

class QLabel;
class QWidget;

namespace tavrel {

// How the status bar shows a message: a spinning indicator standing 8 points left of a label, the
// pair centred in the bar. The label shows `label`; it is laid out again whenever the bar's width
// changes while the presentation is installed.
class TQSpinStatusSubcontroller : public QObject
{
    Q_OBJECT
public:
    explicit TQSpinStatusSubcontroller(QObject* parent = nullptr);
    ~TQSpinStatusSubcontroller() override;

    // Built on first use.
    QWidget* view();
    QWidget* progressControl();
    QLabel* labelField();

    QString label() const { return m_label; }
    void setLabel(const QString& label);

    // Places the label and the indicator for the view's width and the label's text.
    virtual void layoutSubviews();
    // Called by the bar after adding the view to its holder and before taking it away.
    void viewDidInstall();
    void viewWillUninstall();

protected:
    virtual void loadView();
    bool eventFilter(QObject* watched, QEvent* event) override;
    virtual void showLabelText();

    QPointer<QWidget> m_view;
    QWidget* m_progressControl = nullptr;
    QLabel* m_labelField = nullptr;

private:
    QString m_label;
    QPointer<QWidget> m_observedSuperview;
    int m_observedWidth = -1;
};

} // namespace tavrel
