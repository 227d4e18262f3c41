#pragma once

#include <functional>

namespace tavrel::test {

// Runs a test program: headless (offscreen) and in a temporary home, both set before `run` makes the
// application object and runs the tests; the home's base folder is removed afterwards.
int runTestProgram(int argc, char** argv, const std::function<int(int& argc, char** argv)>& run);

} // namespace tavrel::test
