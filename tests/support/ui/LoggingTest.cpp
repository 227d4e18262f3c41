#include "support/ui/LoggingTest.h"

#include "platform/system/Paths.h"
#include "platform/system/TQLogger.h"

#include <QFile>

namespace tavrel::test {

void LoggingTest::SetUp()
{
    TempHomeTest::SetUp();
    TQLogger::resetForTesting();
}

void LoggingTest::TearDown()
{
    TQLogger::resetForTesting();
    TempHomeTest::TearDown();
}

QByteArray LoggingTest::logContents()
{
    QFile file(Paths::logFile());
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

int LoggingTest::logCount(const QByteArray& text)
{
    return int(logContents().count(text));
}

} // namespace tavrel::test
