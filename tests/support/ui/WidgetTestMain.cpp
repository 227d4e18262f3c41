#include "platform/ui/Animations.h"
#include "platform/ui/UiPlatform.h"
#include "support/TempHome.h"

#include <QApplication>
#include <gmock/gmock.h>
#include <memory>

namespace tavrel::test {
void removeBaseFolder();
}

// The main of the interface tests: a QApplication on the offscreen platform, the interface layer set
// up, and animations that finish at once.
int main(int argc, char** argv)
{
    // Headless, and never the real home: both must hold before the application object exists.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("TAVREL_TESTING", "1");
    auto home = std::make_unique<tavrel::test::TempHome>();
    ::testing::InitGoogleMock(&argc, argv);
    int result = 0;
    {
        QApplication app(argc, argv);
        QCoreApplication::setApplicationName(QStringLiteral("Tavrel"));
        QApplication::setStyle(QStringLiteral("Fusion"));
        tavrel::UiPlatform::initialize();
        tavrel::Animations::setFactor(0.0);
        result = RUN_ALL_TESTS();
    }
    home.reset();
    tavrel::test::removeBaseFolder();
    return result;
}
