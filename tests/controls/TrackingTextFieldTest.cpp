#include "controls/TQHoverableCell.h"
#include "controls/TQTextView.h"
#include "controls/TQTrackingTextField.h"
#include "controls/TextFieldCell.h"
#include "support/ui/WidgetTesting.h"

#include <QApplication>
#include <QImage>
#include <QLineEdit>
#include <QTest>
#include <QVBoxLayout>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

namespace tavrel {
namespace {

// Receives the field's commands.
class FieldOwner : public QObject
{
    Q_OBJECT
public:
    Q_INVOKABLE void openLink(QObject* sender)
    {
        ++links;
        lastSender = sender;
    }
    Q_INVOKABLE void rename(QObject*) { ++actions; }
    Q_INVOKABLE void renameDidEnd(QObject* sender)
    {
        ++endEdits;
        lastSender = sender;
    }
    int links = 0;
    int actions = 0;
    int endEdits = 0;
    QObject* lastSender = nullptr;
};

class TrackingTextFieldTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        window = std::make_unique<QWidget>();
        window->resize(320, 90);
        auto* layout = new QVBoxLayout(window.get());
        field = new TQTrackingTextField(QStringLiteral("Ana"));
        field->setEditable(false);
        field->setFixedWidth(300);
        field->cell()->setCommand(QStringLiteral("openLink:"));
        field->cell()->setTarget(&owner);
        other = new QLineEdit;
        layout->addWidget(field);
        layout->addWidget(other);
        ASSERT_TRUE(test::showAndExpose(window.get()));
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
        text = field->textArea();
        ASSERT_LT(text.width(), 100); // a short text in a wide field
    }
    bool hovered() const { return field->hoverCell()->hovered(); }
    QPoint overText() const { return QPoint(int(text.center().x()), int(text.center().y())); }
    QPoint besideText() const { return QPoint(int(text.right()) + 40, int(text.center().y())); }

    FieldOwner owner;
    std::unique_ptr<QWidget> window;
    TQTrackingTextField* field = nullptr;
    QLineEdit* other = nullptr;
    QRectF text;
};

TEST_F(TrackingTextFieldTest, TheCellIsHoveredOnlyOverTheTextAndOnlyWhileEnabled)
{
    enum class Step { EnterOverText, EnterBeside, MoveOverText, MoveBeside, Leave };
    struct Row
    {
        const char* name;
        bool enabled;
        std::vector<std::pair<Step, bool>> steps; // the step and the hover after it
    };
    const std::vector<Row> rows{
        {"entering over the text, then moving beside it and back",
         true,
         {{Step::EnterOverText, true},
          {Step::MoveBeside, false},
          {Step::MoveOverText, true},
          {Step::Leave, false}}},
        {"entering beside the text", true, {{Step::EnterBeside, false}, {Step::MoveOverText, true}}},
        {"disabled: nothing changes", false, {{Step::EnterOverText, false}, {Step::MoveOverText, false}}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        field->hoverCell()->setHovered(false);
        field->setEnabled(row.enabled);
        for (const auto& [step, expected] : row.steps) {
            switch (step) {
            case Step::EnterOverText:
                test::enterWidget(field, overText());
                break;
            case Step::EnterBeside:
                test::enterWidget(field, besideText());
                break;
            case Step::MoveOverText:
                test::moveMouse(field, overText());
                break;
            case Step::MoveBeside:
                test::moveMouse(field, besideText());
                break;
            case Step::Leave:
                test::leaveWidget(field);
                break;
            }
            EXPECT_EQ(hovered(), expected);
        }
    }
    // A disabled field keeps the hover it had: it ignores the leave as well.
    field->hoverCell()->setHovered(true);
    test::leaveWidget(field);
    EXPECT_TRUE(hovered());
}

TEST_F(TrackingTextFieldTest, AClickReleasedOverTheTextSendsTheCellsAction)
{
    enum class At { Text, Beside, Outside };
    struct Row
    {
        const char* name;
        std::vector<At> path; // press, moves..., release
        int links;
    };
    const std::vector<Row> rows{
        {"press and release over the text", {At::Text, At::Text}, 1},
        {"leaving the text and coming back before the release",
         {At::Text, At::Beside, At::Outside, At::Text},
         1},
        {"released beside the text", {At::Text, At::Beside}, 0},
        {"released outside the field", {At::Text, At::Outside}, 0},
        {"pressed beside a short text: no link click", {At::Beside, At::Text}, 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        owner.links = 0;
        const auto point = [&](At at) {
            return at == At::Text ? overText() : at == At::Beside ? besideText() : QPoint(150, 60);
        };
        QTest::mousePress(field, Qt::LeftButton, {}, point(row.path.front()));
        for (size_t i = 1; i + 1 < row.path.size(); ++i) {
            QTest::mouseMove(field, point(row.path[i]));
            // While the button is down the hover follows the text area.
            EXPECT_EQ(hovered(), row.path.front() == At::Text && row.path[i] == At::Text);
        }
        QTest::mouseRelease(field, Qt::LeftButton, {}, point(row.path.back()));
        EXPECT_EQ(owner.links, row.links);
        if (row.links) {
            EXPECT_EQ(owner.lastSender, field);
        }
        EXPECT_FALSE(hovered());
    }
}

TEST_F(TrackingTextFieldTest, AnEditableFieldIsAnOrdinaryLineEdit)
{
    field->setEditable(true);
    QTest::mouseClick(field, Qt::LeftButton, {}, overText());
    EXPECT_EQ(owner.links, 0);
    EXPECT_TRUE(field->hasFocus());
}

TEST_F(TrackingTextFieldTest, EndingAnEditSendsTheEndEditActionOnceAndTakesTheKeyboardAway)
{
    struct Row
    {
        const char* name;
        bool endEditAction;
        bool byReturn;
        int endEdits;
        int actions;
        bool focusAfter;
    };
    const std::vector<Row> rows{
        {"Return with an end-edit action", true, true, 1, 0, false},
        {"the keyboard going elsewhere with an end-edit action", true, false, 1, 0, false},
        {"Return without one: the field's own action, the field keeps the keyboard", false, true, 0, 1, true},
        {"the keyboard going elsewhere without one", false, false, 0, 0, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        owner.endEdits = owner.actions = 0;
        field->setEditable(true);
        field->setTarget(&owner);
        field->setAction(QStringLiteral("rename:"));
        field->setEndEditAction(row.endEditAction ? QStringLiteral("renameDidEnd:") : QString());
        field->setFocus();
        ASSERT_TRUE(field->hasFocus());
        QTest::keyClicks(field, QStringLiteral("x"));
        if (row.byReturn)
            QTest::keyClick(field, Qt::Key_Return);
        else
            other->setFocus();
        EXPECT_EQ(owner.endEdits, row.endEdits);
        EXPECT_EQ(owner.actions, row.actions);
        EXPECT_EQ(field->hasFocus(), row.focusAfter);
        if (row.endEdits) {
            EXPECT_EQ(owner.lastSender, field);
        }
        // Nothing more arrives when the keyboard moves on afterwards.
        other->setFocus();
        EXPECT_EQ(owner.endEdits, row.endEdits);
        EXPECT_EQ(owner.actions, row.actions);
    }
}

TEST(TextView, KeepsTheArrowCursorAndNeverDrawsACaret)
{
    QWidget window;
    window.resize(240, 120);
    auto* view = new TQTextView(&window);
    view->setGeometry(0, 0, 240, 120);
    view->setPlainText(QStringLiteral("Shared with Ana and Luis"));
    ASSERT_TRUE(test::showAndExpose(&window));
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));

    test::moveMouse(view->viewport(), QPoint(20, 10));
    EXPECT_EQ(view->viewport()->cursor().shape(), Qt::ArrowCursor);

    // Even editable, focused and with a caret that never blinks off, no caret is drawn: the view
    // looks the same as without the keyboard.
    const int flashTime = QApplication::cursorFlashTime();
    QApplication::setCursorFlashTime(0);
    view->setReadOnly(false);
    view->setFocus();
    QTextCursor cursor = view->textCursor();
    cursor.setPosition(3);
    view->setTextCursor(cursor);
    const QRect caret = view->cursorRect();
    const QImage focused = view->viewport()->grab().toImage();
    view->clearFocus();
    const QImage unfocused = view->viewport()->grab().toImage();
    QApplication::setCursorFlashTime(flashTime);
    EXPECT_FALSE(view->shouldDrawInsertionPoint());
    for (int y = caret.top(); y <= caret.bottom(); ++y)
        EXPECT_EQ(focused.pixel(caret.left(), y), unfocused.pixel(caret.left(), y)) << y;
}

} // namespace
} // namespace tavrel

#include "TrackingTextFieldTest.moc"
