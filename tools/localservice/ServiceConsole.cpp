#include "ServiceConsole.h"

#include "LocalService.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <limits>

namespace tavrel::localservice {

namespace {

QByteArray done(bool ok)
{
    return ok ? QByteArrayLiteral("ok\n.\n") : QByteArrayLiteral("error: nothing matched\n.\n");
}

} // namespace

QByteArray ServiceConsole::answer(const QByteArray& command)
{
    const QByteArray line = command.trimmed();
    const qsizetype space = line.indexOf(' ');
    const QByteArray verb = space < 0 ? line : line.left(space);
    const QString rest = space < 0 ? QString() : QString::fromUtf8(line.mid(space + 1)).trimmed();
    const QStringList words = rest.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    // The title after an id is the rest of the line.
    const QString afterFirst = words.isEmpty() ? QString() : rest.mid(words.first().size()).trimmed();

    QByteArray out;
    if (verb == "token") {
        out = m_service.issueAccessToken().toUtf8() + '\n';
    } else if (verb == "refresh-token") {
        out = m_service.issueRefreshToken(m_service.ownerEmail()).toUtf8() + '\n';
    } else if (verb == "journal") {
        for (const JournalEntry& entry : m_service.journal())
            out += entry.method.toUtf8() + ' ' + QByteArray::number(entry.status) + ' ' +
                   QByteArray::number(entry.body.size()) + ' ' + entry.rawTarget.toUtf8() + '\n';
    } else if (verb == "clear-journal") {
        m_service.clearJournal();
        return done(true);
    } else if (verb == "ids") {
        for (const QString& id : m_service.documentIds())
            out += id.toUtf8() + '\n';
    } else if (verb == "document" && !rest.isEmpty()) {
        // The title, then each parent folder, of one document.
        const DocumentSnapshot document = m_service.document(rest);
        if (document.resourceId.isEmpty())
            return done(false);
        out = document.title.toUtf8() + '\n';
        for (const QString& parent : document.parents)
            out += parent.toUtf8() + '\n';
    } else if (verb == "changestamp") {
        out = QByteArray::number(m_service.largestChangestamp()) + '\n';
    } else if (verb == "add" && !rest.isEmpty()) {
        return done(!m_service.addDocument(rest).isEmpty());
    } else if (verb == "rename" && words.size() >= 2) {
        return done(m_service.renameDocument(words.first(), afterFirst));
    } else if (verb == "trash" && words.size() == 1) {
        return done(m_service.trashDocument(words.first()));
    } else if (verb == "delete" && words.size() == 1) {
        return done(m_service.deleteDocument(words.first()));
    } else if (verb == "hang" && words.size() == 1) {
        Fault fault;
        fault.kind = Fault::Hang;
        fault.pathPattern = words.first();
        fault.count = std::numeric_limits<int>::max();
        m_service.addFault(fault);
        return done(true);
    } else if (verb == "clear-faults") {
        m_service.clearFaults();
        return done(true);
    } else if (verb == "revoke-tokens") {
        m_service.revokeTokens();
        return done(true);
    } else if (verb == "acl" && words.size() == 1) {
        // Who has access to the document: the owner, then one entry per line.
        const QJsonObject seed = QJsonDocument::fromJson(m_service.exportSeed()).object();
        bool found = false;
        for (const QJsonValue& value : seed.value(QStringLiteral("documents")).toArray()) {
            const QJsonObject document = value.toObject();
            if (document.value(QStringLiteral("resourceId")).toString() != words.first())
                continue;
            found = true;
            out += "owner " + document.value(QStringLiteral("owner")).toString().toUtf8() + '\n';
            for (const QJsonValue& each : document.value(QStringLiteral("acl")).toArray()) {
                const QJsonObject acl = each.toObject();
                QStringList roles{acl.value(QStringLiteral("role")).toString()};
                for (const QJsonValue& extra : acl.value(QStringLiteral("additionalRoles")).toArray())
                    roles.append(extra.toString());
                out += roles.join(QLatin1Char('+')).toUtf8() + ' ' +
                       acl.value(QStringLiteral("scope")).toString().toUtf8() + ' ' +
                       acl.value(QStringLiteral("value")).toString().toUtf8() + '\n';
            }
        }
        if (!found)
            return done(false);
    } else if (verb == "share" && words.size() == 3) {
        return done(m_service.shareDocument(words.at(0), words.at(1), words.at(2)));
    } else {
        return "error: unknown command " + verb + "\n.\n";
    }
    return out + ".\n";
}

} // namespace tavrel::localservice
