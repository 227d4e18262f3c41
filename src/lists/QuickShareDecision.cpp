#include "lists/QuickShareDecision.h"

#include "model/FileEntryAbstract.h"
#include "model/SharingRoles.h"

namespace tavrel {

namespace {

QChar mark(bool flag)
{
    return flag ? QLatin1Char('+') : QLatin1Char('-');
}

} // namespace

QString QuickShareDecision::Flags::logLine() const
{
    return QStringLiteral("O:%1 E:%2 E+:%3 V:%4 N:%5")
        .arg(mark(owner), mark(editor), mark(editorInvites), mark(viewer), mark(none));
}

QuickShareDecision::Flags QuickShareDecision::flagsFor(const QList<ManagedObjectPtr>& selection,
                                                       const QString& me)
{
    Flags flags;
    for (const ManagedObjectPtr& record : selection) {
        const auto* entry = dynamic_cast<const FileEntryAbstract*>(record.get());
        if (!entry) {
            // Nothing the user could have a role on.
            flags.none = true;
            continue;
        }
        const bool owner = SharingRoles::isOwner(*entry, me);
        const bool viewer = SharingRoles::isViewer(*entry, me);
        const bool editing = SharingRoles::isEditor(*entry, me);
        const bool invites = editing && entry->writersCanInvite();
        const bool editor = editing && !invites;
        flags.owner = flags.owner || owner;
        flags.shared = flags.shared || SharingRoles::isSharedWithPeople(*entry);
        flags.viewer = flags.viewer || viewer;
        flags.editorInvites = flags.editorInvites || invites;
        flags.editor = flags.editor || editor;
        flags.none = flags.none || !(owner || viewer || editor || invites);
    }
    return flags;
}

QuickShareDecision::Mode QuickShareDecision::modeFor(const Flags& flags)
{
    if (!flags.owner && !flags.editorInvites)
        return Mode::ReadOnly;
    if (flags.owner && !flags.shared && !flags.editor && !flags.viewer && !flags.editorInvites && !flags.none)
        return Mode::ShareWith;
    if (!flags.none)
        return Mode::ShareList;
    return Mode::AskToDrop;
}

QuickShareDecision::Mode QuickShareDecision::decide(const QList<ManagedObjectPtr>& selection,
                                                    const QString& me, Flags* flags)
{
    const Flags found = flagsFor(selection, me);
    if (flags)
        *flags = found;
    return modeFor(found);
}

QString QuickShareDecision::modeLogLine(Mode mode)
{
    static const char letters[] = {'A', 'B', 'C', 'D'};
    return QStringLiteral("Quick Share Dialog: Mode %1 detected").arg(QLatin1Char(letters[int(mode)]));
}

bool QuickShareDecision::isPermitted(const ManagedObjectPtr& record, const QString& me)
{
    const auto* entry = dynamic_cast<const FileEntryAbstract*>(record.get());
    return entry && SharingRoles::mayShare(*entry, me);
}

QList<ManagedObjectPtr> QuickShareDecision::permittedOnly(const QList<ManagedObjectPtr>& selection,
                                                          const QString& me)
{
    QList<ManagedObjectPtr> kept;
    for (const ManagedObjectPtr& record : selection)
        if (isPermitted(record, me))
            kept.append(record);
    return kept;
}

} // namespace tavrel
