#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

class QLabel;
class QWidget;

namespace tavrel {

// The view a list shows in place of its rows when its search finds nothing: one centred label, whose
// text the list puts in (its noSearchString). The list adds the view to its own and sizes it.
class TQNoSearchProvider : public QObject
{
    Q_OBJECT
public:
    explicit TQNoSearchProvider(QObject* parent = nullptr);
    ~TQNoSearchProvider() override;

    // The name the view is known by.
    QString nibName() const { return QStringLiteral("NoSearchResults"); }
    // Built on first use; whoever adds it to a parent owns it from then on.
    QWidget* view();
    // Not owned: the label inside the view.
    QLabel* labelField() const { return m_labelField; }
    void setLabelField(QLabel* field) { m_labelField = field; }

    // A centred grey message over white, the look of the lists' empty views; its label is "labelField".
    static QWidget* makeMessageView(QWidget* parent, const QString& text);

private:
    QPointer<QWidget> m_view;
    QPointer<QLabel> m_labelField;
};

} // namespace tavrel
