#pragma once

#include "model/File.h"
#include "model/GeneralACLPermission.h"
#include "model/Mail.h"
#include "model/TQMOCMaster.h"
#include "session/TQSession.h"
#include "support/TempHome.h"

#include <memory>

namespace tavrel::test {

// A session in a temporary home, current while the test runs, with a store for the records the
// sharing views read. Nothing talks to a service.
class SharingFixture : public TempHomeTest
{
protected:
    static inline const QString kUser = QStringLiteral("me@example.com");

    void SetUp() override;
    void TearDown() override;

    TQMOCMaster* moc() const;
    std::shared_ptr<Mail> mail(const QString& address, const QString& name = QString());
    std::shared_ptr<File> file(const QString& title, const std::shared_ptr<Mail>& owner = nullptr);
    // A general permission of the type ("default", "domain" ...) and role on the file.
    void access(const std::shared_ptr<File>& file, const QString& type, const QString& role, bool link);

    std::unique_ptr<TQSession> m_session;
};

} // namespace tavrel::test
