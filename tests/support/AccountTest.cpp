#include "AccountTest.h"

#include "platform/gdata/GDataEndpoints.h"
#include "platform/system/TQLogger.h"

namespace tavrel::test {

void AccountTest::SetUp()
{
    TempHomeTest::SetUp();
    TQLogger::resetForTesting();
}

void AccountTest::TearDown()
{
    m_account.close();
    GDataEndpoints::setServiceBaseURL(QUrl());
    TQLogger::resetForTesting();
    TempHomeTest::TearDown();
}

void AccountTest::startService(TestAccount& account, const localservice::GenerateOptions& options)
{
    QString error;
    ASSERT_TRUE(account.startService(options, &error)) << error.toStdString();
}

void AccountTest::startAccount(const localservice::GenerateOptions& options, bool withSession)
{
    startService(m_account, options);
    if (HasFatalFailure())
        return;
    m_account.useService();
    if (withSession)
        m_account.openSession();
}

} // namespace tavrel::test
