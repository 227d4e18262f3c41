#include "contacts/ContactVCards.h"

#include "actions/TransferSupport.h"
#include "documents/TQCopyHelper.h"
#include "model/Mail.h"
#include "model/TQvCardGenerator.h"
#include "platform/system/TQLog.h"

#include <QDir>
#include <QFile>

namespace tavrel {

QString ContactVCards::fileNameFor(const QString& displayName)
{
    const QString name = displayName.trimmed().isEmpty() ? QStringLiteral("#") : displayName;
    return TransferSupport::safeFileName(name, QStringLiteral("vcf"));
}

QStringList ContactVCards::writeVCards(const QList<std::shared_ptr<Mail>>& mails, const QString& folder)
{
    QStringList written;
    const QDir directory(folder);
    for (const auto& mail : mails) {
        if (!mail)
            continue;
        const QByteArray card = TQvCardGenerator::vCardForContact(mail);
        if (card.isEmpty())
            continue;
        TQLog("\tGenerated vCard for: %@", mail->displayName());
        const QString wanted = directory.filePath(fileNameFor(mail->displayName()));
        // Created only where nothing exists, so a file that appears meanwhile is never replaced.
        for (int attempt = 0; attempt < 100; ++attempt) {
            QFile file(TQCopyHelper::freePathFor(wanted));
            if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly))
                continue;
            if (file.write(card) == card.size() && file.flush()) {
                written.append(file.fileName());
            } else {
                TQLog("E: Cannot write vCard: %@", file.fileName());
                file.remove();
            }
            break;
        }
    }
    return written;
}

} // namespace tavrel
