#include "support/TestProgram.h"

#include "support/TempHome.h"

#include <gmock/gmock.h>
#include <memory>

namespace tavrel::test {

void removeBaseFolder();

int runTestProgram(int argc, char** argv, const std::function<int(int& argc, char** argv)>& run)
{
    // Headless, and never the real home: both must hold before the application object exists.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("TAVREL_TESTING", "1");
    auto home = std::make_unique<TempHome>();
    ::testing::InitGoogleMock(&argc, argv);
    const int result = run(argc, argv);
    home.reset();
    removeBaseFolder();
    return result;
}

} // namespace tavrel::test
