#include "support/WaitUntil.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <httplib.h>
#include <signal.h>

namespace tavrel::test {
namespace {

QString programPath()
{
    return QCoreApplication::applicationDirPath() +
           QStringLiteral("/../tools/localservice/tavrel-localservice");
}

struct Started
{
    QString baseUrl;
    QString email;
};

Started readBanner(QProcess& process)
{
    Started s;
    EXPECT_TRUE(
        waitUntil([&] { return process.canReadLine() || process.state() == QProcess::NotRunning; }, 10000));
    s.baseUrl = QString::fromUtf8(process.readLine()).trimmed();
    EXPECT_TRUE(
        waitUntil([&] { return process.canReadLine() || process.state() == QProcess::NotRunning; }, 10000));
    s.email = QString::fromUtf8(process.readLine()).trimmed();
    return s;
}

TEST(LocalServiceProgram, ServesASeedAndStopsCleanlyOnSignals)
{
    if (!QFile::exists(programPath()))
        GTEST_SKIP() << "program not built";
    QTemporaryDir dir;
    const QString seed = dir.filePath(QStringLiteral("seed.json"));
    QFile file(seed);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(
        R"({"owner": {"email": "seed@tavrel.test"}, "documents": [{"kind": "document", "title": "Hello"}]})");
    file.close();

    for (int signal : {SIGTERM, SIGINT}) {
        QProcess process;
        process.start(programPath(),
                      {QStringLiteral("--port"), QStringLiteral("0"), QStringLiteral("--seed"), seed});
        ASSERT_TRUE(process.waitForStarted());
        const Started s = readBanner(process);
        EXPECT_EQ(s.email, QStringLiteral("seed@tavrel.test"));
        ASSERT_TRUE(s.baseUrl.startsWith(QLatin1String("http://127.0.0.1:"))) << s.baseUrl.toStdString();
        httplib::Client client(s.baseUrl.toStdString());
        auto front = client.Get("/");
        ASSERT_TRUE(front);
        EXPECT_EQ(front->status, 200);
        EXPECT_NE(front->body.find("seed@tavrel.test"), std::string::npos);
        EXPECT_EQ(client.Get("/feeds/default/private/full")->status, 401);

        ::kill(pid_t(process.processId()), signal);
        EXPECT_TRUE(waitUntil([&] { return process.state() == QProcess::NotRunning; }, 10000));
        EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(process.exitCode(), 0);
    }
}

TEST(LocalServiceProgram, RefusesBadArguments)
{
    if (!QFile::exists(programPath()))
        GTEST_SKIP() << "program not built";
    const std::vector<QStringList> rows = {
        {QStringLiteral("--port"), QStringLiteral("99999")},
        {QStringLiteral("--seed"), QStringLiteral("/nonexistent/seed.json")},
        {QStringLiteral("--documents"), QStringLiteral("many")},
    };
    for (const QStringList& args : rows) {
        QProcess process;
        process.start(programPath(), args);
        ASSERT_TRUE(process.waitForStarted());
        EXPECT_TRUE(waitUntil([&] { return process.state() == QProcess::NotRunning; }, 10000));
        EXPECT_NE(process.exitCode(), 0) << args.join(QLatin1Char(' ')).toStdString();
    }
}

} // namespace
} // namespace tavrel::test
