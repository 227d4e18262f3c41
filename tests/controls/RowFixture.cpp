#include "RowFixture.h"

#include "accounts/TQAccount.h"
#include "model/Contact.h"
#include "platform/gdata/OAuth2Authentication.h"
#include "platform/gdata/OAuth2Configuration.h"
#include "session/TQSessionManager.h"

namespace tavrel::test {

void RowFixture::SetUp()
{
    TempHomeTest::SetUp();
    auto authentication = OAuth2Authentication::create(OAuth2Configuration());
    authentication->setUserEmail(kUser);
    m_session = std::make_unique<TQSession>(TQAccount::accountWithAuthToken(authentication));
    TQSessionManager::sharedManager()->setCurrentSession(m_session.get());
}

void RowFixture::TearDown()
{
    TQSessionManager::sharedManager()->setCurrentSession(nullptr);
    m_session.reset();
    TempHomeTest::TearDown();
}

TQMOCMaster* RowFixture::moc() const
{
    return m_session->mocManager()->masterMOC();
}

std::shared_ptr<Mail> RowFixture::mail(const QString& address, bool withContact)
{
    auto record = moc()->insertNewObject<Mail>("Mail");
    record->setAddress(address);
    if (withContact) {
        auto contact = moc()->insertNewObject<Contact>("Contact");
        contact->setName(address.section(QLatin1Char('@'), 0, 0));
        record->setContact(contact);
    }
    return record;
}

std::shared_ptr<File> RowFixture::file(const QString& title, const QString& filename)
{
    auto record = moc()->insertNewObject<File>("File");
    record->setTitle(title);
    record->setFilename(filename.isNull() ? title : filename);
    return record;
}

std::shared_ptr<Category> RowFixture::collection(const QString& title, const std::shared_ptr<Mail>& owner)
{
    auto record = moc()->insertNewObject<Category>("Category");
    record->setTitle(title);
    record->setOwner(owner);
    return record;
}

} // namespace tavrel::test
