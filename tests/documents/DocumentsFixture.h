#pragma once

#include "model/Category.h"
#include "model/File.h"
#include "model/Mail.h"
#include "model/TQMOCMaster.h"
#include "session/TQSession.h"
#include "support/TempHome.h"

#include <QDateTime>
#include <memory>

namespace tavrel::test {

// A signed-in session in a temporary home, current while the test runs, with its store for the
// documents the lists show.
class DocumentsFixture : public TempHomeTest
{
protected:
    static inline const QString kUser = QStringLiteral("me@example.com");

    void SetUp() override;
    void TearDown() override;

    TQMOCMaster* moc() const;
    void save();
    std::shared_ptr<Mail> mail(const QString& address, const QString& name = QString());
    // A document last modified at the time by the editor (none: nobody known).
    std::shared_ptr<File> file(const QString& title, const QDateTime& updated,
                               const std::shared_ptr<Mail>& editor = nullptr);
    std::shared_ptr<Category> collection(const QString& title, const QDateTime& updated,
                                         const std::shared_ptr<Category>& parent = nullptr);

    std::unique_ptr<TQSession> m_session;
};

} // namespace tavrel::test
