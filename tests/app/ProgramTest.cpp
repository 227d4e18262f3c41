#include "platform/system/Paths.h"
#include "support/AccountTest.h"
#include "support/WaitUntil.h"

#include <QFile>
#include <QProcess>
#include <QRegularExpression>

namespace tavrel::test {
namespace {

// The tavrel program as built, started against the local service in the test's home (offscreen).
class ProgramTest : public AccountTest
{
protected:
    void SetUp() override
    {
        AccountTest::SetUp();
        m_program = QString::fromLocal8Bit(qgetenv("TAVREL_PROGRAM"));
        if (m_program.isEmpty())
            GTEST_SKIP() << "TAVREL_PROGRAM names the program; CTest sets it";
        startAccount(TestAccount::smallAccount(), false);
    }
    void TearDown() override
    {
        if (m_running.state() != QProcess::NotRunning) {
            m_running.kill();
            m_running.waitForFinished(5000);
        }
        AccountTest::TearDown();
    }

    QStringList arguments(const QStringList& command) const
    {
        return QStringList{QStringLiteral("--service"), m_account.service.baseUrl(),
                           QStringLiteral("--sign-in-without-browser")} +
               command;
    }
    static QString log()
    {
        QFile file(Paths::logFile());
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    }

    QString m_program;
    QProcess m_running;
};

TEST_F(ProgramTest, SignsInShowsTheAccountAndQuitsWithItsStoreSavedOnTheQuitVerb)
{
    m_running.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_running.start(m_program, arguments({}));
    ASSERT_TRUE(m_running.waitForStarted(10000));
    const QRegularExpression shown(QStringLiteral("MainWindow: %1 with [1-9][0-9]* documents")
                                       .arg(QRegularExpression::escape(m_account.address())));
    ASSERT_TRUE(waitUntil([&] { return shown.match(log()).hasMatch(); }, 30000)) << log().toStdString();

    // A later start with the quit verb hands it over and ends at once.
    QProcess quit;
    quit.start(m_program, arguments({QStringLiteral("quit")}));
    ASSERT_TRUE(quit.waitForFinished(15000));
    EXPECT_EQ(quit.exitCode(), 0);

    ASSERT_TRUE(m_running.waitForFinished(30000));
    EXPECT_EQ(m_running.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(m_running.exitCode(), 0);
    const QString written = log();
    EXPECT_TRUE(written.contains(QStringLiteral("Quit: the store of %1 is saved").arg(m_account.address())));
    EXPECT_TRUE(written.contains(QStringLiteral("Quit: done")));
}

} // namespace
} // namespace tavrel::test
