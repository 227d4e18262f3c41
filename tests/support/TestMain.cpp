#include "support/TempHome.h"

#include <QGuiApplication>
#include <gmock/gmock.h>
#include <memory>

namespace tavrel::test {
void removeBaseFolder();
}

int main(int argc, char** argv)
{
    // Headless, and never the real home: both must hold before the application object exists.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("TAVREL_TESTING", "1");
    auto home = std::make_unique<tavrel::test::TempHome>();
    ::testing::InitGoogleMock(&argc, argv);
    int result = 0;
    {
        QGuiApplication app(argc, argv);
        QCoreApplication::setApplicationName(QStringLiteral("Tavrel"));
        result = RUN_ALL_TESTS();
    }
    home.reset();
    tavrel::test::removeBaseFolder();
    return result;
}
