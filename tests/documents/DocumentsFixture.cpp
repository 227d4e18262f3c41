#include "DocumentsFixture.h"

#include "accounts/TQAccount.h"
#include "model/Contact.h"
#include "model/TQMOCManager.h"
#include "platform/gdata/OAuth2Authentication.h"
#include "platform/gdata/OAuth2Configuration.h"
#include "session/TQSessionManager.h"

namespace tavrel::test {

void DocumentsFixture::SetUp()
{
    TempHomeTest::SetUp();
    auto authentication = OAuth2Authentication::create(OAuth2Configuration());
    authentication->setUserEmail(kUser);
    m_session = std::make_unique<TQSession>(TQAccount::accountWithAuthToken(authentication));
    TQSessionManager::sharedManager()->setCurrentSession(m_session.get());
}

void DocumentsFixture::TearDown()
{
    TQSessionManager::sharedManager()->setCurrentSession(nullptr);
    m_session.reset();
    TempHomeTest::TearDown();
}

TQMOCMaster* DocumentsFixture::moc() const
{
    return m_session->mocManager()->masterMOC();
}

void DocumentsFixture::save()
{
    Error error;
    ASSERT_TRUE(moc()->ManagedObjectContext::save(&error)) << error.description().toStdString();
}

std::shared_ptr<Mail> DocumentsFixture::mail(const QString& address, const QString& name)
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

std::shared_ptr<File> DocumentsFixture::file(const QString& title, const QDateTime& updated,
                                             const std::shared_ptr<Mail>& editor)
{
    auto record = moc()->insertNewObject<File>("File");
    record->setTitle(title);
    record->setFilename(title);
    record->setUpdatedDate(updated);
    record->setResourceId(QStringLiteral("document:") + title);
    if (editor)
        record->setLastModifiedBy(editor);
    return record;
}

std::shared_ptr<Category> DocumentsFixture::collection(const QString& title, const QDateTime& updated,
                                                       const std::shared_ptr<Category>& parent)
{
    auto record = moc()->insertNewObject<Category>("Category");
    record->setTitle(title);
    record->setUpdatedDate(updated);
    record->setResourceId(QStringLiteral("folder:") + title);
    if (parent)
        record->setParent(parent);
    return record;
}

} // namespace tavrel::test
