#include "platform/ui/Animations.h"
#include "platform/ui/UiPlatform.h"
#include "support/TestProgram.h"
#include "window/ControlServicesFeed.h"

#include <QApplication>
#include <gtest/gtest.h>

// The main of the interface tests: a QApplication, the interface layer set up and fed to the controls,
// animations that finish at once.
int main(int argc, char** argv)
{
    return tavrel::test::runTestProgram(argc, argv, [](int& count, char** arguments) {
        QApplication app(count, arguments);
        QCoreApplication::setApplicationName(QStringLiteral("Tavrel"));
        QApplication::setStyle(QStringLiteral("Fusion"));
        tavrel::UiPlatform::initialize();
        tavrel::ControlServicesFeed::install();
        tavrel::Animations::setFactor(0.0);
        return RUN_ALL_TESTS();
    });
}
