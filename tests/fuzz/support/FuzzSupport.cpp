#include "FuzzSupport.h"

#include "support/TempHome.h"

#include <QCoreApplication>
#include <cstdio>
#include <cstdlib>
#include <memory>

namespace tavrel::test {
void removeBaseFolder(); // TempHome.cpp
}

namespace tavrel::fuzz {

namespace {
std::unique_ptr<test::TempHome>& home()
{
    static std::unique_ptr<test::TempHome> instance;
    return instance;
}
} // namespace

void setUpProcess(int* argc, char*** argv)
{
    home() = std::make_unique<test::TempHome>();
    // Qt keeps the count by reference: it must outlive the application object, which lives until exit.
    static int count = *argc;
    static QCoreApplication application(count, *argv);
    QCoreApplication::setApplicationName(QStringLiteral("Tavrel"));
    // The temporary home goes with the process, also when libFuzzer ends it with exit().
    std::atexit([] {
        home().reset();
        test::removeBaseFolder();
    });
}

QString homePath()
{
    return home() ? home()->path() : QString();
}

void fail(const char* what, const QString& detail)
{
    std::fprintf(stderr, "fuzz target: %s\n", what);
    if (!detail.isEmpty())
        std::fprintf(stderr, "%s\n", detail.toUtf8().constData());
    std::fflush(stderr);
    std::abort();
}

} // namespace tavrel::fuzz
