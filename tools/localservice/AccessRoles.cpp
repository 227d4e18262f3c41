#include "AccessRoles.h"

#include "AtomText.h"

namespace tavrel::localservice {

const QByteArray AccessRoles::kNotPermitted = "You do not have permission to perform this operation.";

namespace {

AccessRoles::Rank rankOfRule(const LocalServiceState::Acl& a)
{
    if (a.role == QLatin1String("owner"))
        return AccessRoles::Owner;
    if (a.role == QLatin1String("writer"))
        return AccessRoles::Writer;
    if (a.role == QLatin1String("commenter") || a.additionalRoles.contains(QStringLiteral("commenter")))
        return AccessRoles::Commenter;
    if (a.role == QLatin1String("reader"))
        return AccessRoles::Reader;
    return AccessRoles::None;
}

} // namespace

AccessRoles::Rank AccessRoles::rankOf(const LocalServiceState::Doc& d, const QString& account)
{
    if (account.isEmpty())
        return None;
    if (d.ownerEmail.isEmpty() || d.ownerEmail.compare(account, Qt::CaseInsensitive) == 0)
        return Owner;
    const QString domain = account.section(QLatin1Char('@'), 1);
    Rank best = None;
    for (const LocalServiceState::Acl& a : d.acl) {
        bool applies = false;
        if (a.scopeType == QLatin1String("user"))
            applies = a.scopeValue.compare(account, Qt::CaseInsensitive) == 0;
        else if (a.scopeType == QLatin1String("domain"))
            applies = a.key.isEmpty() && a.scopeValue.compare(domain, Qt::CaseInsensitive) == 0;
        else if (a.scopeType == QLatin1String("default"))
            applies = a.key.isEmpty();
        if (applies)
            best = std::max(best, rankOfRule(a));
    }
    return best;
}

bool AccessRoles::canShare(const LocalServiceState::Doc& d, const QString& account)
{
    const Rank rank = rankOf(d, account);
    return rank == Owner || (rank == Writer && d.writersCanInvite);
}

bool AccessRoles::canWriteRule(const LocalServiceState::Doc& d, const QString& account,
                               const QString& scopeType, const QString& role)
{
    if (scopeType == QLatin1String("default") || scopeType == QLatin1String("domain") ||
        role == QLatin1String("owner"))
        return isOwner(d, account);
    return canShare(d, account);
}

Response AccessRoles::forbidden(const QByteArray& reason)
{
    return Response::xml(403, "application/vnd.google.gdata.error+xml",
                         QByteArray(Response::kXmlHeader) +
                             "<errors xmlns='http://schemas.google.com/g/2005'><error><domain>GData</domain>"
                             "<code>ServiceForbiddenException</code><internalReason>" +
                             AtomText::escape(reason) + "</internalReason></error></errors>");
}

} // namespace tavrel::localservice
