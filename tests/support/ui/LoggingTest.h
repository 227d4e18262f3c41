#pragma once

#include "support/TempHome.h"

#include <QByteArray>

namespace tavrel::test {

// A test in a temporary home whose log starts empty; logContents() reads what was written since.
class LoggingTest : public TempHomeTest
{
protected:
    void SetUp() override;
    void TearDown() override;
    static QByteArray logContents();
    static int logCount(const QByteArray& text);
};

} // namespace tavrel::test
