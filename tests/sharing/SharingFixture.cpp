#include "SharingFixture.h"

#include "accounts/TQAccount.h"
#include "model/Contact.h"
#include "model/TQMOCManager.h"
#include "platform/gdata/OAuth2Authentication.h"
#include "platform/gdata/OAuth2Configuration.h"
#include "session/TQSessionManager.h"

namespace tavrel::test {

void SharingFixture::SetUp()
{
    TempHomeTest::SetUp();
    auto authentication = OAuth2Authentication::create(OAuth2Configuration());
    authentication->setUserEmail(kUser);
    m_session = std::make_unique<TQSession>(TQAccount::accountWithAuthToken(authentication));
    TQSessionManager::sharedManager()->setCurrentSession(m_session.get());
}

void SharingFixture::TearDown()
{
    TQSessionManager::sharedManager()->setCurrentSession(nullptr);
    m_session.reset();
    TempHomeTest::TearDown();
}

TQMOCMaster* SharingFixture::moc() const
{
    return m_session->mocManager()->masterMOC();
}

std::shared_ptr<Mail> SharingFixture::mail(const QString& address, const QString& name)
{
    auto record = moc()->insertNewObject<Mail>("Mail");
    record->setAddress(address);
    if (!name.isEmpty()) {
        auto contact = moc()->insertNewObject<Contact>("Contact");
        contact->setName(name);
        record->setContact(contact);
        record->updateDisplayName();
    }
    return record;
}

std::shared_ptr<File> SharingFixture::file(const QString& title, const std::shared_ptr<Mail>& owner)
{
    auto record = moc()->insertNewObject<File>("File");
    record->setTitle(title);
    record->setResourceId(QStringLiteral("document:") + title);
    record->setAlternateLink(QStringLiteral("https://docs.example.com/") + title);
    if (owner)
        record->setOwner(owner);
    return record;
}

void SharingFixture::access(const std::shared_ptr<File>& file, const QString& type, const QString& role,
                            bool link)
{
    auto permission = moc()->insertNewObject<GeneralACLPermission>("GeneralACLPermission");
    permission->setType(type);
    permission->setRole(role);
    permission->setHasLink(link);
    file->setGeneralACL(permission);
}

} // namespace tavrel::test
