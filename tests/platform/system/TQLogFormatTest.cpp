#include "platform/system/TQLog.h"

#include <gtest/gtest.h>

using tavrel::detail::formatLogMessage;

TEST(TQLogFormat, ReplacesConversionsInOrder)
{
    const struct
    {
        const char* format;
        QStringList args;
        QString expected;
    } rows[] = {
        {"E: Cache: %@ failed", {"x"}, "E: Cache: x failed"},
        {"%llu of %lu: %@", {"1", "2", "z"}, "1 of 2: z"},
        {"100%% done", {}, "100% done"},
        {"caf\xc3\xa9 %@", {"ok"}, QString::fromUtf8("caf\xc3\xa9 ok")},
        {"missing %@ %@", {"one"}, "missing one "},
    };
    for (const auto& row : rows)
        EXPECT_EQ(formatLogMessage(row.format, row.args), row.expected) << row.format;
}
