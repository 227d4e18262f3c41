#pragma once

#include "model/Category.h"
#include "model/File.h"
#include "model/Mail.h"
#include "model/TQMOCManager.h"
#include "model/TQMOCMaster.h"
#include "platform/ui/CellHost.h"
#include "session/TQSession.h"
#include "support/TempHome.h"

#include <QWidget>
#include <memory>

namespace tavrel::test {

// A host whose current event's mouse lies where the test puts it.
class PointerHost : public CellHost
{
public:
    explicit PointerHost(QWidget* widget = nullptr) : m_widget(widget) {}
    QWidget* hostWidget() const override { return m_widget; }
    void updateCellRect(const QRectF& rect) override { updates.append(rect); }
    QPointF mousePosition() const override { return mouse; }

    QPointF mouse{-100, -100};
    QList<QRectF> updates;

private:
    QWidget* m_widget;
};

// A signed-in session in a temporary home, current while the test runs, with its store for records.
class RowFixture : public TempHomeTest
{
protected:
    static inline const QString kUser = QStringLiteral("me@example.com");

    void SetUp() override;
    void TearDown() override;

    TQMOCMaster* moc() const;
    std::shared_ptr<Mail> mail(const QString& address, bool withContact = false);
    std::shared_ptr<File> file(const QString& title, const QString& filename = QString());
    std::shared_ptr<Category> collection(const QString& title, const std::shared_ptr<Mail>& owner);

    std::unique_ptr<TQSession> m_session;
};

} // namespace tavrel::test
