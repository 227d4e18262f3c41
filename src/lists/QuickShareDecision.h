#pragma once

#include "platform/store/ManagedObject.h"

#include <QList>
#include <QString>

namespace tavrel {

// Which sharing view fits the user's standing on a selection of documents. Every list that shares a
// selection (the all-items list, the shared-files list, the collections outline) asks here, so that
// they all open the same view for the same documents; how a list anchors and opens that view is its
// own.
//
// Roles are read through SharingRoles: whole addresses, any letter case.
class QuickShareDecision
{
public:
    // The user's standing, each flag OR-ed over the selection.
    struct Flags
    {
        bool owner = false;         // O: the user owns it
        bool shared = false;        // S: someone besides the owner has a role
        bool viewer = false;        // V: the user views it
        bool editorInvites = false; // E+: the user edits it and writers may invite
        bool editor = false;        // E: the user edits it and writers may not invite
        bool none = false;          // N: none of O, V, E, E+ (a commenter only counts here)

        // "O:+ E:- E+:- V:- N:-", the line every list logs.
        QString logLine() const;
    };

    enum class Mode {
        ReadOnly,  // A: the user may share none of them: who has access, read only
        AskToDrop, // B: some may be shared, some not: ask whether to go on with those alone
        ShareWith, // C: all the user's own, shared with nobody yet: the share-with dialog
        ShareList, // D: every one may be shared (and some are shared already): the full share list
    };

    static Flags flagsFor(const QList<ManagedObjectPtr>& selection, const QString& me);
    static Mode modeFor(const Flags& flags);
    static Mode decide(const QList<ManagedObjectPtr>& selection, const QString& me, Flags* flags = nullptr);
    // "Quick Share Dialog: Mode A detected".
    static QString modeLogLine(Mode mode);

    // Whether the user may share the record (owner, or editor where writers may invite); a record
    // that is not a document may not be shared.
    static bool isPermitted(const ManagedObjectPtr& record, const QString& me);
    // The records the user may share, in order.
    static QList<ManagedObjectPtr> permittedOnly(const QList<ManagedObjectPtr>& selection, const QString& me);
};

} // namespace tavrel
