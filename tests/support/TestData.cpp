#include "support/TestData.h"

#include <QDir>
#include <QFileInfo>

namespace tavrel::test {

QString testDataDir()
{
    const QString fromEnvironment = qEnvironmentVariable("TAVREL_TEST_DATA_DIR");
    if (!fromEnvironment.isEmpty())
        return fromEnvironment;
    QDir dir = QDir::current();
    do {
        if (QFileInfo(dir.filePath(QStringLiteral("tests/data"))).isDir())
            return dir.filePath(QStringLiteral("tests/data"));
    } while (dir.cdUp());
    return QString();
}

} // namespace tavrel::test
