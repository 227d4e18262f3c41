#pragma once

#include "LocalServiceState.h"
#include "Response.h"

namespace tavrel::localservice {

// What the person a token was issued to may do with a document, as the real service decides it: the
// owner everything; writers change the document and trash it, and share it when writers may invite;
// readers and commenters only mark it for themselves (starred, viewed, hidden). Only the owner
// deletes for good, hands the document over or changes who may open it without being named.
class AccessRoles
{
public:
    enum Rank { None = 0, Reader = 1, Commenter = 2, Writer = 3, Owner = 4 };

    // The best role the account holds: as owner, through its own rule, or through a rule of its
    // domain or of everyone that needs no link key.
    static Rank rankOf(const LocalServiceState::Doc& d, const QString& account);
    static bool isOwner(const LocalServiceState::Doc& d, const QString& account)
    {
        return rankOf(d, account) == Owner;
    }
    static bool canEdit(const LocalServiceState::Doc& d, const QString& account)
    {
        return rankOf(d, account) >= Writer;
    }
    static bool canShare(const LocalServiceState::Doc& d, const QString& account);
    // Whether a rule of that scope and role may be written (added, changed or removed) by the account:
    // general access and ownership are the owner's.
    static bool canWriteRule(const LocalServiceState::Doc& d, const QString& account,
                             const QString& scopeType, const QString& role);

    // The service's refusal, in its own error format.
    static Response forbidden(const QByteArray& reason);
    static const QByteArray kNotPermitted;
};

} // namespace tavrel::localservice
