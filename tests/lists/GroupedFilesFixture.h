#pragma once

#include "controls/TQGroupWrapper.h"
#include "lists/TQTimeGroupedFilesController.h"
#include "model/Contact.h"
#include "model/Mail.h"
#include "model/TQDataModel.h"
#include "platform/runtime/Clock.h"
#include "platform/store/ManagedObjectContext.h"
#include "platform/store/PersistentStoreCoordinator.h"
#include "platform/ui/StringTable.h"
#include "support/ui/LoggingTest.h"

#include <QDir>
#include <memory>

namespace tavrel::test {

// An account store with a master context, a clock pinned to kNow and the calendar in UTC. The user is
// kMe.
class GroupedFilesFixture : public LoggingTest
{
protected:
    static inline const QString kMe = QStringLiteral("me@example.org");
    static inline const QDateTime kNow = QDateTime(QDate(2026, 3, 10), QTime(15, 0), Qt::UTC);

    void SetUp() override
    {
        LoggingTest::SetUp();
        TQGroupWrapper::setCalendarTimeZoneForTesting(QTimeZone::utc());
        Clock::setNowForTesting(kNow);
        m_coordinator = std::make_shared<PersistentStoreCoordinator>(TQDataModel::mainDataContext());
        m_coordinator->addPersistentStore(QDir(home().path()).filePath(QStringLiteral("data.storedata")));
        m_context = std::make_unique<ManagedObjectContext>(m_coordinator);
    }

    void TearDown() override
    {
        m_context.reset();
        m_coordinator->removePersistentStore();
        m_coordinator.reset();
        Clock::setNowForTesting(std::nullopt);
        TQGroupWrapper::setCalendarTimeZoneForTesting(std::nullopt);
        LoggingTest::TearDown();
    }

    // A mail address, with a contact of that name when one is given.
    std::shared_ptr<Mail> mail(const QString& address, const QString& contactName = QString())
    {
        auto record = m_context->insertNewObject<Mail>(QStringLiteral("Mail"));
        record->setAddress(address);
        if (!contactName.isNull()) {
            auto contact = m_context->insertNewObject<Contact>(QStringLiteral("Contact"));
            contact->setName(contactName);
            record->setContact(contact);
        }
        return record;
    }

    // A document (or another entity) modified some seconds before now.
    ManagedObjectPtr doc(const QString& title, qint64 secondsAgo,
                         const std::shared_ptr<Mail>& owner = nullptr, const QVariantMap& values = {},
                         const QString& entity = QStringLiteral("File"))
    {
        ManagedObjectPtr record = m_context->insertNewObject(entity);
        record->setValueForKey(QStringLiteral("title"), title);
        if (secondsAgo >= 0)
            record->setValueForKey(QStringLiteral("updatedDate"), kNow.addSecs(-secondsAgo));
        if (owner)
            record->setToOne(QStringLiteral("owner"), owner);
        for (auto it = values.begin(); it != values.end(); ++it)
            record->setValueForKey(it.key(), it.value());
        return record;
    }

    void save()
    {
        Error error;
        ASSERT_TRUE(m_context->save(&error)) << error.localizedDescription().toStdString();
    }

    template <typename T = TQTimeGroupedFilesController> std::unique_ptr<T> makeController()
    {
        auto controller = std::make_unique<T>(m_context.get());
        controller->setUsername(kMe);
        return controller;
    }

    // The rows as text: "# title" for a header, the record's title for a document.
    static QStringList rows(const TQTimeGroupedFilesController& controller)
    {
        QStringList result;
        for (int row = 0; row < controller.count(); ++row) {
            if (const TQGroupWrapperPtr group = controller.groupAtRow(row))
                result << QStringLiteral("# ") + group->title();
            else if (const ManagedObjectPtr record = controller.objectAtRow(row))
                result << record->valueForKey(QStringLiteral("title")).toString();
            else
                result << QStringLiteral("?");
        }
        return result;
    }

    static QString header(const char* key)
    {
        return QStringLiteral("# ") + StringTable::text(QLatin1String(key));
    }
    static QString owned(const QString& name)
    {
        return QStringLiteral("# ") + StringTable::format(QStringLiteral("owned by %@"), name);
    }

    std::shared_ptr<PersistentStoreCoordinator> m_coordinator;
    std::unique_ptr<ManagedObjectContext> m_context;
};

} // namespace tavrel::test
