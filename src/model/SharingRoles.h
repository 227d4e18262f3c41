#pragma once

#include <QString>
#include <memory>

namespace tavrel {

class FileEntryAbstract;

// The user's standing on one document, read from its owner and people lists. Addresses are compared
// whole and without regard to letter case: a prefix match would make "bob@x.com" an editor wherever
// "bob@x.com.evil.org" is one. Every list, dialog and decision that asks who someone is on a document
// asks here, so that they all agree.
class SharingRoles
{
public:
    static bool sameAddress(const QString& first, const QString& second);

    static bool isOwner(const FileEntryAbstract& file, const QString& address);
    static bool isEditor(const FileEntryAbstract& file, const QString& address);
    static bool isViewer(const FileEntryAbstract& file, const QString& address);
    static bool isCommenter(const FileEntryAbstract& file, const QString& address);
    // Whether anyone besides the owner has a role (an editor, viewer or commenter).
    static bool isSharedWithPeople(const FileEntryAbstract& file);

    // The user may share the document when they own it, or edit it and writers may invite.
    static bool mayShare(const FileEntryAbstract& file, const QString& address);
    static bool mayShare(const std::shared_ptr<FileEntryAbstract>& file, const QString& address)
    {
        return file && mayShare(*file, address);
    }
};

} // namespace tavrel
