#include "ContactsFixture.h"

#include "accounts/TQAccount.h"
#include "lists/ListModel.h"
#include "lists/TQTableViewController.h"
#include "model/Contact.h"
#include "model/TQMOCManager.h"
#include "platform/gdata/OAuth2Authentication.h"
#include "platform/gdata/OAuth2Configuration.h"
#include "session/TQSessionManager.h"
#include "support/WaitUntil.h"

#include <QAbstractItemView>
#include <functional>
#include <gtest/gtest.h>

namespace tavrel::test {

void ContactsFixture::SetUp()
{
    TempHomeTest::SetUp();
    auto authentication = OAuth2Authentication::create(OAuth2Configuration());
    authentication->setUserEmail(kUser);
    m_session = std::make_unique<TQSession>(TQAccount::accountWithAuthToken(authentication));
    TQSessionManager::sharedManager()->setCurrentSession(m_session.get());
    m_requests = std::make_unique<ActionRequests::Recorder>();
}

void ContactsFixture::TearDown()
{
    m_holders.clear();
    m_requests.reset();
    TQSessionManager::sharedManager()->setCurrentSession(nullptr);
    m_session.reset();
    TempHomeTest::TearDown();
}

TQMOCMaster* ContactsFixture::moc() const
{
    return m_session->mocManager()->masterMOC();
}

void ContactsFixture::save()
{
    Error error;
    ASSERT_TRUE(moc()->ManagedObjectContext::save(&error)) << error.description().toStdString();
}

std::shared_ptr<Mail> ContactsFixture::person(const QString& address, const QString& name, bool favorite)
{
    auto record = moc()->insertNewObject<Mail>("Mail");
    record->setAddress(address);
    record->setVisible(true);
    record->setFavorite(favorite);
    if (!name.isEmpty()) {
        auto contact = moc()->insertNewObject<Contact>("Contact");
        contact->setName(name);
        record->setContact(contact);
    }
    record->updateDisplayName();
    return record;
}

std::shared_ptr<File> ContactsFixture::document(const QString& title, const std::shared_ptr<Mail>& owner,
                                                const QList<std::shared_ptr<Mail>>& editors)
{
    auto record = moc()->insertNewObject<File>("File");
    record->setTitle(title);
    record->setFilename(title);
    record->setResourceId(QStringLiteral("document:") + title);
    record->setIdentifier(title);
    record->setUpdatedDate(QDateTime::currentDateTimeUtc());
    record->setOwner(owner);
    record->setEditors(editors);
    return record;
}

void ContactsFixture::install(TQViewController* list)
{
    m_holders.push_back(std::make_unique<QWidget>());
    QWidget* holder = m_holders.back().get();
    holder->resize(600, 600);
    list->view()->setParent(holder);
    list->view()->setGeometry(holder->rect());
    list->viewDidInstall();
    ASSERT_TRUE(waitUntilBound(list));
}

bool ContactsFixture::waitUntilBound(TQViewController* list)
{
    auto* table = qobject_cast<TQTableViewController*>(list);
    const std::function<bool()> ready = [table] {
        return !table || (!table->isFetching() &&
                          table->table()->model() == static_cast<QAbstractItemModel*>(table->dataProvider()));
    };
    return waitUntil(ready, 5000);
}

QStringList ContactsFixture::addressesOf(const ActionRequests::Request& request)
{
    QStringList addresses;
    for (const QVariant& value : request.parameters.value(QStringLiteral("mailEntities")).toList())
        if (auto mail = std::dynamic_pointer_cast<Mail>(value.value<ManagedObjectPtr>()))
            addresses.append(mail->address());
    return addresses;
}

} // namespace tavrel::test
