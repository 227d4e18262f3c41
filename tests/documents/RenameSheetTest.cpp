#include "DocumentsFixture.h"
#include "documents/TQRenameFileController.h"
#include "platform/ui/StringTable.h"
#include "support/WaitUntil.h"
#include "window/ActionRequests.h"

#include <QDialog>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <gtest/gtest.h>

namespace tavrel {
namespace {

using RenameSheetTest = test::DocumentsFixture;

QPushButton* renameButton(TQRenameFileController* sheet)
{
    for (QPushButton* button : sheet->window()->findChildren<QPushButton*>())
        if (button->text() == StringTable::text(QStringLiteral("Rename")))
            return button;
    return nullptr;
}

TEST_F(RenameSheetTest, RenameIsRefusedForAnEmptyOrUnchangedNameAndSendsTheTypedOne)
{
    const auto document = file(QStringLiteral("Budget"), QDateTime::currentDateTimeUtc());
    save();
    ActionRequests::Recorder requests;
    QWidget parent;
    parent.resize(400, 300);

    QPointer<TQRenameFileController> sheet = new TQRenameFileController;
    sheet->setProperty("item", QVariant::fromValue(ManagedObjectPtr(document)));
    sheet->showWindowModalToWindow(&parent);
    EXPECT_EQ(sheet->nameField()->text(), QStringLiteral("Budget"));
    QPushButton* rename = renameButton(sheet);
    ASSERT_TRUE(rename);
    struct Row
    {
        QString typed;
        bool enabled;
    };
    const Row rows[] = {{QString(), false},
                        {QStringLiteral("   "), false},
                        {QStringLiteral("Budget"), false},
                        {QStringLiteral("Budget 2027"), true},
                        {QStringLiteral("budget"), true}};
    for (const Row& row : rows) {
        sheet->nameField()->setText(row.typed);
        EXPECT_EQ(rename->isEnabled(), row.enabled) << row.typed.toStdString();
    }
    // Confirming the unchanged name (say with a key) sends nothing.
    sheet->nameField()->setText(QStringLiteral("Budget"));
    sheet->ok(nullptr);
    EXPECT_TRUE(requests.requests.isEmpty());
    ASSERT_TRUE(test::waitUntil([&] { return sheet.isNull(); }, 3000));

    // A new name is sent as typed, and the sheet goes.
    sheet = new TQRenameFileController;
    sheet->setItem(document);
    sheet->showWindowModalToWindow(&parent);
    sheet->nameField()->setText(QStringLiteral("Budget 2027"));
    renameButton(sheet)->click();
    ASSERT_EQ(requests.requests.size(), 1);
    const ActionRequests::Request request = requests.requests[0];
    EXPECT_EQ(request.action, QStringLiteral("RenameDocument"));
    EXPECT_EQ(request.parameters.value(QStringLiteral("newName")), QVariant(QStringLiteral("Budget 2027")));
    EXPECT_EQ(request.parameters.value(QStringLiteral("documentEntity")).value<ManagedObjectPtr>(),
              ManagedObjectPtr(document));
    EXPECT_TRUE(request.parameters.value(QStringLiteral("statusID"))
                    .toString()
                    .startsWith(QStringLiteral("rename_")));
    ASSERT_TRUE(test::waitUntil([&] { return sheet.isNull(); }, 3000));

    // Cancel sends nothing and frees the sheet.
    sheet = new TQRenameFileController;
    sheet->setItem(document);
    sheet->showWindowModalToWindow(&parent);
    sheet->nameField()->setText(QStringLiteral("Other"));
    sheet->cancel(nullptr);
    EXPECT_EQ(requests.requests.size(), 1);
    ASSERT_TRUE(test::waitUntil([&] { return sheet.isNull(); }, 3000));
}

} // namespace
} // namespace tavrel
