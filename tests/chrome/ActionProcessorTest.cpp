#include "chrome/TQActionProcessor.h"
#include "chrome/TQOpenPrefAction.h"

#include <gtest/gtest.h>

namespace tavrel {
namespace {

class CountingAction : public IUIAction
{
public:
    explicit CountingAction(QString name) : m_name(std::move(name)) {}
    QString name() const override { return m_name; }
    void execute() override { ++runs; }
    int runs = 0;

private:
    QString m_name;
};

TEST(ActionProcessor, RunsTheLastActionRegisteredUnderALinksName)
{
    TQActionProcessor processor;
    auto first = std::make_shared<CountingAction>(QStringLiteral("moreDetail"));
    auto second = std::make_shared<CountingAction>(QStringLiteral("moreDetail"));
    std::weak_ptr<CountingAction> firstWatch = first;
    processor.pushAction(first);
    processor.pushAction(second);
    processor.pushAction(nullptr);
    first.reset();
    // The replaced action is let go; the registry keeps the new one after its maker lets go.
    EXPECT_TRUE(firstWatch.expired());
    std::weak_ptr<CountingAction> secondWatch = second;
    second.reset();

    processor.notificationController(nullptr, QStringLiteral("moreDetail"));
    processor.notificationController(nullptr, QStringLiteral("unknown"));
    ASSERT_FALSE(secondWatch.expired());
    EXPECT_EQ(secondWatch.lock()->runs, 1);

    // Long after the banner went, the link still works.
    processor.notificationController(nullptr, QStringLiteral("moreDetail"));
    EXPECT_EQ(secondWatch.lock()->runs, 2);
}

TEST(ActionProcessor, OpenPreferencesRunsTheInstalledOpener)
{
    TQActionProcessor processor;
    int opened = 0;
    processor.pushAction(std::make_shared<TQOpenPrefAction>());
    // Without an opener nothing happens.
    processor.notificationController(nullptr, QStringLiteral("openPreferences"));
    TQOpenPrefAction::setPreferencesOpener([&opened](QObject*) { ++opened; });
    processor.notificationController(nullptr, QStringLiteral("openPreferences"));
    TQOpenPrefAction::setPreferencesOpener({});
    EXPECT_EQ(opened, 1);
}

TEST(ActionProcessor, IsTheBannersDelegateByMethodName)
{
    // The banner calls its delegate by the selector "notificationController:requestPerformAction:".
    const int index =
        TQActionProcessor::staticMetaObject.indexOfMethod("notificationController(QObject*,QString)");
    EXPECT_GE(index, 0);
    EXPECT_EQ(TQActionProcessor::sharedActionProcessor(), TQActionProcessor::sharedActionProcessor());
}

} // namespace
} // namespace tavrel
