#include "platform/runtime/Timing.h"

#include <gtest/gtest.h>

namespace tavrel::test {

TEST(Timing, OverridesApplyByNameWhileTheyLive)
{
    static constexpr Timing kInterval{"testInterval", 30000};
    EXPECT_EQ(kInterval.milliseconds(), 30000);
    {
        Timing::Override fast(QStringLiteral("testInterval"), 20);
        EXPECT_EQ(kInterval.milliseconds(), 20);
        {
            Timing::Override faster(QStringLiteral("testInterval"), 5);
            EXPECT_EQ(kInterval.duration().count(), 5);
        }
        EXPECT_EQ(kInterval.milliseconds(), 20);
    }
    EXPECT_DOUBLE_EQ(kInterval.seconds(), 30.0);
}

} // namespace tavrel::test
