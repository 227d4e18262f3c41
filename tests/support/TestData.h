#pragma once

#include <QString>

namespace tavrel::test {

// The folder tests/data of the source tree: from TAVREL_TEST_DATA_DIR (CTest sets it), otherwise found by
// looking upwards from the working folder, so a test program run by hand finds it too.
QString testDataDir();

} // namespace tavrel::test
