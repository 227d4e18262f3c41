#pragma once

#include "model/TQMOCManager.h"
#include "model/TQMOCMaster.h"
#include "support/TempHome.h"

#include <QObject>
#include <memory>

namespace tavrel::test {

// An account store in a temporary home, owned by a stand-in session whose "username" is the account.
class StoreFixture : public TempHomeTest
{
protected:
    static constexpr const char* kUser = "me@example.com";

    void SetUp() override
    {
        TempHomeTest::SetUp();
        m_session = std::make_unique<QObject>();
        m_session->setProperty("username", QString::fromLatin1(kUser));
        m_manager = std::make_unique<TQMOCManager>(m_session.get());
    }
    void TearDown() override
    {
        m_manager.reset();
        m_session.reset();
        TempHomeTest::TearDown();
    }
    TQMOCManager& manager() { return *m_manager; }
    TQMOCMaster* moc() { return m_manager->masterMOC(); }
    void save()
    {
        Error error;
        ASSERT_TRUE(moc()->ManagedObjectContext::save(&error)) << error.description().toStdString();
    }

    std::unique_ptr<QObject> m_session;
    std::unique_ptr<TQMOCManager> m_manager;
};

} // namespace tavrel::test
