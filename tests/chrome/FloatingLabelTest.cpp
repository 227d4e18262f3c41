#include "chrome/TQFloatingLabelController.h"
#include "controls/ControlPopovers.h"
#include "controls/TQFloatingWindow.h"
#include "support/TempHome.h"
#include "support/ui/WidgetTesting.h"

#include <QLabel>
#include <QSignalSpy>
#include <gtest/gtest.h>

namespace tavrel {
namespace {

class FloatingLabelTest : public test::TempHomeTest
{
};

// Measures texts by a fixed table, counting each measurement.
class MeasuredLabel : public TQFloatingLabelController
{
public:
    QMap<QString, QSizeF> sizes;
    mutable int measured = 0;

protected:
    QSizeF textSize(const QString& text) const override
    {
        ++measured;
        return sizes.value(text);
    }
};

TEST_F(FloatingLabelTest, WindowFitsTheTextWithItsPaddingOncePerText)
{
    MeasuredLabel label;
    label.sizes = {{"Copy link", QSizeF(100, 14)}, {"Anyone with the link can view", QSizeF(183, 16)}};
    TQFloatingLabelController::makeWindow(&label, TQFloatingLabelController::kLabelArrow);
    QSignalSpy changed(&label, &TQFloatingLabelController::labelChanged);

    struct Row
    {
        QString text;
        QSizeF content;
        int measured;
    };
    const QList<Row> rows = {
        {"Copy link", QSizeF(104, 22), 1},
        {"Copy link", QSizeF(104, 22), 1}, // the same text: no new measure, no new size
        {"Anyone with the link can view", QSizeF(187, 24), 2},
        {"Copy link", QSizeF(104, 22), 3},
    };
    for (const Row& row : rows) {
        label.setLabel(row.text);
        TQFloatingWindow* window = label.window();
        EXPECT_EQ(window->contentRectForFrameRect(window->frame()).size(), row.content)
            << row.text.toStdString();
        EXPECT_EQ(label.measured, row.measured) << row.text.toStdString();
        EXPECT_EQ(label.labelField()->text(), row.text);
        EXPECT_EQ(label.window()->contentView(), label.view());
    }
    EXPECT_EQ(changed.count(), 3);
}

TEST_F(FloatingLabelTest, SharedLabelsAreMadeOnceDarkAndSmallAndRegisteredWithTheControls)
{
    TQFloatingLabelController* tooltip = TQFloatingLabelController::tooltipController();
    TQFloatingLabelController* label = TQFloatingLabelController::labelController();
    EXPECT_NE(tooltip, label);
    EXPECT_EQ(TQFloatingLabelController::tooltipController(), tooltip);
    EXPECT_EQ(TQFloatingLabelController::labelController(), label);
    EXPECT_EQ(ControlPopovers::tooltipController(), tooltip);
    EXPECT_EQ(ControlPopovers::labelController(), label);
    for (TQFloatingLabelController* shared : {tooltip, label}) {
        ASSERT_TRUE(shared->window());
        EXPECT_EQ(shared->window()->frameBackgroundColor(), QColor(0, 0, 0, 128));
        EXPECT_EQ(shared->window()->windowSize(), 1);
        EXPECT_TRUE(shared->window()->keepArrowPersistent());
        EXPECT_EQ(shared->window()->contentView(), shared->view());
    }
}

TEST_F(FloatingLabelTest, ShownLabelStaysOnAMoveElsewhereAndGoesOnAClickThere)
{
    QWidget other;
    other.resize(200, 120);
    ASSERT_TRUE(test::showAndExpose(&other));
    TQFloatingLabelController* label = TQFloatingLabelController::labelController();
    label->setLabel(QStringLiteral("Open in the browser"));
    int closings = 0;
    label->observeWindowWillClose([&closings] { ++closings; });
    label->attachToWindow(&other, QPointF(100, 60));
    ASSERT_TRUE(label->isWindowVisible());
    ASSERT_TRUE(label->isWatchingEvents());

    test::moveMouse(&other, QPoint(20, 20));
    EXPECT_TRUE(label->isWindowVisible());
    test::multiClick(&other, QPoint(20, 20), 1);
    EXPECT_FALSE(label->isWindowVisible());
    EXPECT_EQ(closings, 1);

    // Shown again, it heeds the next click elsewhere too; the earlier observer is not called again.
    label->attachToWindow(&other, QPointF(100, 60));
    ASSERT_TRUE(label->isWindowVisible());
    test::multiClick(&other, QPoint(30, 30), 1);
    EXPECT_FALSE(label->isWindowVisible());
    EXPECT_EQ(closings, 1);
}

} // namespace
} // namespace tavrel
