#include "platform/system/Logger.h"

#include <gtest/gtest.h>

namespace tavrel::test {

TEST(Logger, OnlyActiveNamesLogAndDebugWritesNothing)
{
    QStringList lines;
    Logger::setOutput([&](const QString& line) { lines << line; });
    EXPECT_EQ(Logger::initWithName(QStringLiteral("other")), nullptr);
    auto logger = Logger::initWithName(QStringLiteral("login"));
    ASSERT_TRUE(logger);
    logger->info("signed in as %@", QStringLiteral("demo"));
    logger->warn("slow");
    logger->error("failed %d", 3);
    logger->debug("hidden");
    Logger::setOutput({});
    EXPECT_EQ(lines,
              (QStringList{QStringLiteral("INFO [login]: signed in as demo"),
                           QStringLiteral("WARN [login]: slow"), QStringLiteral("ERROR [login]: failed 3")}));
}

} // namespace tavrel::test
