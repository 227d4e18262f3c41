#include "platform/ui/Alert.h"

#include "platform/system/Settings.h"
#include "platform/ui/StringTable.h"
#include "support/TempHome.h"
#include "support/ui/WidgetTesting.h"

#include <QCheckBox>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>
#include <optional>

namespace tavrel {
namespace {

const QString kKey = QStringLiteral("SuppressAlerts");

class AlertTest : public test::TempHomeTest
{
protected:
    void SetUp() override
    {
        TempHomeTest::SetUp();
        window = std::make_unique<QWidget>();
        window->resize(400, 300);
        ASSERT_TRUE(test::showAndExpose(window.get()));
    }
    // Opens the trash confirmation; answers the box shown.
    QMessageBox* open()
    {
        alert = new Alert;
        alert->setMessageText(StringTable::text(QStringLiteral("TrashItemTitle")));
        alert->setDefaultButtonTitle(StringTable::text(QStringLiteral("OK")));
        alert->setAlternateButtonTitle(StringTable::text(QStringLiteral("Cancel")));
        alert->setShowsSuppressionButton(true);
        alert->setSuppressionKey(kKey);
        answer.reset();
        alert->beginSheet(window.get(), [this](int response, bool checked) { answer = {response, checked}; });
        return alert->messageBox();
    }
    QAbstractButton* buttonTitled(QMessageBox* box, const QString& key)
    {
        for (QAbstractButton* button : box->buttons())
            if (button->text() == StringTable::text(key))
                return button;
        return nullptr;
    }

    std::unique_ptr<QWidget> window;
    QPointer<Alert> alert;
    std::optional<std::pair<int, bool>> answer;
};

TEST_F(AlertTest, TheSuppressionBoxIsStoredOnlyWhenTheAlertIsConfirmed)
{
    struct Row
    {
        const char* button; // nullptr: Escape
        bool ticked;
        int response;
        bool stored;
    };
    const Row rows[]{
        {"OK", true, Alert::DefaultResponse, true},
        {"OK", false, Alert::DefaultResponse, false},
        {"Cancel", true, Alert::AlternateResponse, false},
        {nullptr, true, Alert::AlternateResponse, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.button ? row.button : "Escape");
        Settings::remove(kKey);
        QMessageBox* box = open();
        ASSERT_NE(box, nullptr);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(box));
        EXPECT_EQ(box->windowModality(), Qt::WindowModal);
        ASSERT_NE(box->checkBox(), nullptr);
        EXPECT_EQ(box->checkBox()->text(), StringTable::text(QStringLiteral("DontAskAgain")));
        box->checkBox()->setChecked(row.ticked);
        if (row.button)
            QTest::mouseClick(buttonTitled(box, QString::fromLatin1(row.button)), Qt::LeftButton);
        else
            QTest::keyClick(box, Qt::Key_Escape);
        ASSERT_TRUE(answer.has_value());
        EXPECT_EQ(answer->first, row.response);
        EXPECT_EQ(answer->second, row.ticked);
        EXPECT_EQ(Alert::isSuppressed(kKey), row.stored);
        EXPECT_TRUE(QTest::qWaitFor([this] { return alert.isNull(); })) << "the alert deletes itself";
    }
}

} // namespace
} // namespace tavrel
