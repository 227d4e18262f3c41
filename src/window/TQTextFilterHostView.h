#pragma once

#include "controls/TQHostView.h"

#include <QPointer>

class QKeyEvent;
class QLineEdit;

namespace tavrel {

// Holds a hidden search strip above a list: Ctrl+F slides the strip down into view, shortening the
// list by the strip's height, and puts the keyboard into its search field; Escape slides it back up
// and gives the list its height back.
class TQTextFilterHostView : public TQHostView
{
    Q_OBJECT
public:
    explicit TQTextFilterHostView(QWidget* parent = nullptr);

    QWidget* textFilter() const { return m_textFilter; }
    // The old strip goes; the new one is kept hidden.
    void setTextFilter(QWidget* textFilter);
    QWidget* referredView() const { return m_referredView; }
    void setReferredView(QWidget* view) { m_referredView = view; }
    QLineEdit* searchField() const { return m_searchField; }
    void setSearchField(QLineEdit* field) { m_searchField = field; }

    // Places the strip across the top, hidden, below the list in the stacking order.
    void awakeFromNib();
    // Ctrl+F while hidden, Escape while shown; answers whether the key was taken.
    bool performKeyEquivalent(QKeyEvent* event);
    void makeFilterVisible(bool visible);
    bool isFilterVisible() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void animationDidEnd(bool shouldHide);
    QPointer<QWidget> m_textFilter;
    QPointer<QWidget> m_referredView;
    QPointer<QLineEdit> m_searchField;
};

} // namespace tavrel
