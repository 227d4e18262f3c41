#include "support/TestProgram.h"

#include <QGuiApplication>
#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    return tavrel::test::runTestProgram(argc, argv, [](int& count, char** arguments) {
        QGuiApplication app(count, arguments);
        QCoreApplication::setApplicationName(QStringLiteral("Tavrel"));
        return RUN_ALL_TESTS();
    });
}
