#pragma once

#include "controls/TQGroupWrapper.h"
#include "platform/store/ManagedObject.h"

#include <QList>
#include <QString>
#include <QVariant>
#include <memory>

namespace tavrel {

class FileEntryAbstract;

// What a document row shows, read from its record: the values of the document lists' roles
// (ListModel::Role). Each function reads only what its role shows, so that a change redraws only the
// roles it touches.
class DocumentRowRoles
{
public:
    // The line under the title: the readable size when the list is sorted by size; in a group, the
    // group's text for the date and who changed it last ("me" for the user); else the short date.
    static QString subtitle(const FileEntryAbstract& entry, const TQGroupWrapperPtr& group, bool bySize,
                            const QString& me);
    // A document's collections, or a collection's parent.
    static QString details(const FileEntryAbstract& entry);
    // The owner unless it is the user, then the editors, viewers and commenters.
    static QList<ManagedObjectPtr> people(const FileEntryAbstract& entry, const QString& me);
    // 1 private, then with the link 2 (by default) or 4 (domain), without it 3 and 5.
    static int accessIndex(const FileEntryAbstract& entry);
    // 1 new, 2 modified, 3 not starred, 4 starred.
    static int itemState(const FileEntryAbstract& entry);
    // The access entry the link button shows: the general access of a document with a link; none else.
    static ManagedObjectPtr link(const FileEntryAbstract& entry);
    // The value of a role for a document row; invalid for a role that is not about the record.
    static QVariant value(const FileEntryAbstract& entry, int role, const TQGroupWrapperPtr& group,
                          bool bySize, const QString& me);
    // The roles a change of the document record itself redraws, of its access entry, and of a person.
    static QList<int> recordRoles();
    static QList<int> accessRoles();
    static QList<int> personRoles();
};

} // namespace tavrel
