#include "ControlTestSupport.h"
#include "TableFixture.h"
#include "controls/TQHoverdAdaptorButtonCell.h"
#include "controls/TQSwitchButton.h"
#include "controls/TQTableGroupCellView.h"
#include "controls/TQTableHoverRowView.h"
#include "controls/TQTablePermissionCellView.h"
#include "controls/TQTrackingTextField.h"
#include "controls/TQUISettings.h"
#include "controls/TQViewTableView.h"
#include "platform/ui/CellButton.h"
#include "support/ui/LoggingTest.h"
#include "support/ui/WidgetTesting.h"

#include <QApplication>
#include <QHeaderView>
#include <QLabel>
#include <QScrollBar>
#include <gtest/gtest.h>

namespace tavrel {
namespace {

class ViewRowsTest : public test::LoggingTest
{
};

TEST_F(ViewRowsTest, RowViewsPaintBackgroundSelectionAndSeparator)
{
    TQTableHoverRowView row;
    row.resize(200, 40);
    const struct
    {
        bool selected;
        QColor fill;
    } cases[] = {{false, TQUISettings::rowBackgroundColor()}, {true, Qt::white}};
    for (const auto& c : cases) {
        row.setSelected(c.selected);
        const QImage image = row.grab().toImage();
        EXPECT_TRUE(test::sameColor(image.pixelColor(100, 10), c.fill)) << c.selected;
        EXPECT_TRUE(test::sameColor(image.pixelColor(100, 39), TQUISettings::gridBackgroundColor()))
            << c.selected;
    }
}

TEST_F(ViewRowsTest, APermissionRowCentresItsNameWithoutDetails)
{
    TQTablePermissionCellView row;
    row.resize(400, 60);
    auto* title = new TQTrackingTextField(QStringLiteral("Ann"), &row);
    title->setGeometry(70, 0, 200, 20);
    auto* details = new QLabel(&row);
    row.setTextField(title);
    row.setDetailsField(details);
    auto* leave = new CellButton(std::make_shared<TQHoverdAdaptorButtonCell>(), &row);
    row.setActionButton(leave);
    row.awake();
    row.layoutTitle();
    EXPECT_EQ(title->y(), 60 - 20 - 20); // centred: bottom-up 20
    EXPECT_TRUE(details->isHidden());
    details->setText(QStringLiteral("ann@example.com"));
    row.layoutTitle();
    EXPECT_EQ(title->y(), 60 - int(std::floor(0.66f * 60 - 10)) - 20);
    EXPECT_FALSE(details->isHidden());
    row.setDeletable(false);
    EXPECT_TRUE(leave->isHidden());
    row.setDeletable(true);
    EXPECT_FALSE(leave->isHidden());
}

TEST_F(ViewRowsTest, HoveringThePhotoShowsTheNameAsALink)
{
    QWidget window;
    window.resize(400, 60);
    auto* row = new TQTablePermissionCellView(&window);
    row->resize(400, 60);
    auto* title = new TQTrackingTextField(QStringLiteral("Ann"), row);
    title->setGeometry(70, 20, 200, 20);
    auto* photo = new QWidget(row);
    photo->setGeometry(8, 4, 52, 52);
    row->setTextField(title);
    row->setPhotoButton(photo);
    ASSERT_TRUE(test::showAndExpose(&window));
    ASSERT_TRUE(title->hoverCell());
    QEvent enter(QEvent::HoverEnter);
    QApplication::sendEvent(photo, &enter);
    EXPECT_TRUE(title->hoverCell()->hovered());
    QEvent leave(QEvent::HoverLeave);
    QApplication::sendEvent(photo, &leave);
    EXPECT_FALSE(title->hoverCell()->hovered());
    // The row itself lights up white under the mouse.
    row->setHovered(true);
    EXPECT_TRUE(test::sameColor(row->grab().toImage().pixelColor(300, 55), Qt::white));
}

TEST_F(ViewRowsTest, TheShadowBandShowsOnlyUnderAVisibleLastRow)
{
    QWidget window;
    window.resize(200, 200);
    auto* table = new TQViewTableView(&window);
    table->setGeometry(0, 0, 200, 200);
    auto model = test::rowsModel(0);
    table->setModel(model.get());
    table->verticalHeader()->setDefaultSectionSize(40);
    ASSERT_TRUE(test::showAndExpose(&window));
    const auto bandShows = [&] {
        const QImage image = table->viewport()->grab().toImage();
        const int y = model->rowCount() * 40 + 2;
        return y < image.height() &&
               !test::sameColor(image.pixelColor(100, y), table->viewport()->palette().color(QPalette::Base));
    };
    EXPECT_FALSE(bandShows());
    model = test::rowsModel(2);
    table->setModel(model.get());
    EXPECT_TRUE(bandShows());
}

TEST_F(ViewRowsTest, AGroupViewDrawsItsTitleThroughItsHelper)
{
    TQTableGroupCellView view;
    view.resize(200, 23);
    view.setObjectValue({{QStringLiteral("title"), QStringLiteral("Today")}});
    view.grab();
    EXPECT_EQ(view.helper().title(), QStringLiteral("Today"));
}

} // namespace
} // namespace tavrel
