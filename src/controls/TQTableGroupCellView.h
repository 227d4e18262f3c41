#pragma once

#include <QVariant>
#include <QWidget>
#include <memory>

namespace tavrel {

class TQTitledGroupTableCell;

// A group header row of the view-based tables: it draws itself through a group row cell, titled
// from its object value's "title".
class TQTableGroupCellView : public QWidget
{
    Q_OBJECT
public:
    explicit TQTableGroupCellView(QWidget* parent = nullptr);
    ~TQTableGroupCellView() override;

    TQTitledGroupTableCell& helper();
    QVariantMap objectValue() const { return m_objectValue; }
    void setObjectValue(const QVariantMap& value);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::unique_ptr<TQTitledGroupTableCell> m_helper;
    QVariantMap m_objectValue;
};

} // namespace tavrel
