#include "platform/runtime/Error.h"

#include <gtest/gtest.h>

using tavrel::Error;

TEST(ErrorTest, NullAndDescriptions)
{
    EXPECT_TRUE(Error().isNull());
    Error e(QStringLiteral("D"), 7, {{Error::kLocalizedDescriptionKey, QStringLiteral("Broken")}});
    EXPECT_FALSE(e.isNull());
    EXPECT_EQ(e.localizedDescription(), QStringLiteral("Broken"));
    EXPECT_TRUE(Error(QStringLiteral("D"), 7).localizedDescription().contains(QStringLiteral("D error 7")));
}
