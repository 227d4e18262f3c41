#pragma once

#include "model/File.h"
#include "model/Mail.h"
#include "model/TQMOCMaster.h"
#include "session/TQSession.h"
#include "support/TempHome.h"
#include "window/ActionRequests.h"

#include <QWidget>
#include <memory>
#include <vector>

namespace tavrel {
class TQViewController;
}

namespace tavrel::test {

// A signed-in session in a temporary home, current while the test runs, whose store holds the people
// and documents the contact views show; actions are recorded, never run.
class ContactsFixture : public TempHomeTest
{
protected:
    static inline const QString kUser = QStringLiteral("me@example.com");

    void SetUp() override;
    void TearDown() override;

    TQMOCMaster* moc() const;
    void save();
    // A visible person with a contact of that name (none: no contact).
    std::shared_ptr<Mail> person(const QString& address, const QString& name = QString(),
                                 bool favorite = false);
    // A document the owner owns, shared with the editors.
    std::shared_ptr<File> document(const QString& title, const std::shared_ptr<Mail>& owner,
                                   const QList<std::shared_ptr<Mail>>& editors = {});
    // Shows the list's view in a holder and installs it, its rows fetched and bound to its table.
    void install(TQViewController* list);
    // Waits until an installed list has its rows and its table shows them.
    static bool waitUntilBound(TQViewController* list);
    // The addresses of a recorded request's "mailEntities".
    static QStringList addressesOf(const ActionRequests::Request& request);

    std::unique_ptr<TQSession> m_session;
    std::unique_ptr<ActionRequests::Recorder> m_requests;
    std::vector<std::unique_ptr<QWidget>> m_holders;
};

} // namespace tavrel::test
