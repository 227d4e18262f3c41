#pragma once

#include "model/FileEntryAbstract.h"
#include "platform/runtime/Error.h"
#include "support/AccountTest.h"

#include <QJsonObject>
#include <QObject>
#include <QWidget>

namespace tavrel {

class TQFloatingContentController;

// Takes the errors that travel up the responder chain, where the application delegate shows them in
// the banner.
class BannerErrors : public QObject
{
    Q_OBJECT
public:
    Q_INVOKABLE void processActionError(QObject* sender);
    QList<Error> errors;
};

namespace test {

// The sharing dialogs against the local service: an account synchronised from a seed of the
// fixture's own, current while the test runs, and the errors its actions report.
//
// The user (demo@tavrel.test) owns alpha (Ann of the user's domain edits, Eve of another views),
// beta (Ann views) and gamma (shared with nobody); bob owns "shared" (the user edits, writers may
// invite) and "readonly" (the user views).
class SharingDialogsFixture : public AccountTest
{
protected:
    static inline const QString kUser = QStringLiteral("demo@tavrel.test");

    void SetUp() override;
    void TearDown() override;
    // The service's documents and people; the fixtures of other lists bring their own.
    virtual const char* seed() const;

    std::shared_ptr<FileEntryAbstract> entry(const QString& resourceId) const;
    // The document as the service holds it now (owner, writersCanInvite, acl).
    QJsonObject serviceDocument(const QString& resourceId) const;
    // The role the service gives the address on the document ("owner", "writer" ...), empty for none.
    QString serviceRole(const QString& resourceId, const QString& address) const;
    // Requests of the journal that change access lists or entries ("POST ..." lines).
    QStringList changingRequests() const;
    // Shows the dialog in its floating window, as the lists do.
    QWidget* show(TQFloatingContentController* dialog);
    // Waits for an error to reach the banner's path.
    bool waitForError(int timeoutMs = 20000);

    BannerErrors m_banner;
};

} // namespace test
} // namespace tavrel
