#include "ReliabilityFixture.h"

#include "model/FileEntryAbstract.h"
#include "model/Mail.h"
#include "model/TQMOCMaster.h"
#include "platform/store/FetchRequest.h"

namespace tavrel::test {

QMap<QString, QStringList> ReliabilityTest::storedAccess(TQMOCMaster* master)
{
    QMap<QString, QStringList> access;
    for (const auto& record :
         master->executeFetchRequest(FetchRequest(QStringLiteral("FileEntryAbstract")))) {
        const auto entry = std::dynamic_pointer_cast<FileEntryAbstract>(record);
        if (!entry)
            continue;
        QStringList lines;
        const auto add = [&](const QString& role, const QList<std::shared_ptr<Mail>>& mails) {
            for (const auto& mail : mails)
                lines.append(role + QLatin1Char(' ') + mail->address());
        };
        add(QStringLiteral("writer"), entry->editors());
        add(QStringLiteral("reader"), entry->viewers());
        add(QStringLiteral("commenter"), entry->commenters());
        lines = sorted(lines);
        lines.prepend(QStringLiteral("owner ") + (entry->owner() ? entry->owner()->address() : QString()));
        access.insert(entry->resourceId(), lines);
    }
    return access;
}

QStringList ReliabilityTest::sorted(QStringList list)
{
    list.sort();
    return list;
}

} // namespace tavrel::test
