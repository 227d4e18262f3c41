#pragma once

#include "documents/TQAllItemsCommands.h"

namespace tavrel {

class TQContactSharedFilesController3;

// The commands of a person's shared-files list: the document list's, except that removing acts on the
// person's access (never the trash), plus sharing with people, by link and in the sharing settings,
// and stopping sharing with the person. A document the person owns keeps the person: no request
// removes an owner.
class TQContactSharedFilesCommands : public TQAllItemsCommands
{
    Q_OBJECT
public:
    explicit TQContactSharedFilesCommands(TQContactSharedFilesController3* list);
    ~TQContactSharedFilesCommands() override;

    // The row selected last (the table's current row when selected), -1 when none.
    int selectedRow() const;

    // The person loses access to the selected row's document.
    Q_INVOKABLE void deleteEntity(QObject* sender) override;
    // The person loses access to the selected documents that are not the person's own.
    Q_INVOKABLE void unshare(QObject* sender);
    // The stop-sharing button of a row: that row becomes the selection, then deleteEntity.
    void stopSharingOne(QObject* sender);
    // The share-with dialog for the selection, whatever the user's rights.
    Q_INVOKABLE void shareWith(QObject* sender);
    // The links of the selected documents the user may share, to the clipboard; documents without a
    // link get one first.
    Q_INVOKABLE void getLinkToShare(QObject* sender);
    void shareLinkWithForSelection(const QList<ManagedObjectPtr>& records);
    Q_INVOKABLE void showSharingSettings(QObject* sender);
    // A refused change says so in the banner.
    Q_INVOKABLE void toggleGenericPermission(QObject* sender) override;

    Q_INVOKABLE void deleteDidFinishWithResult(const QVariant& result, const QVariant& error);
    // The links of the answered documents that have one go to the clipboard.
    Q_INVOKABLE void generalPermissionDidFinishWithResult(const QVariant& result,
                                                          const QVariant& error) override;

private:
    void showDenied(const char* messageKey, const QString& action);
    // Copies the links and announces them; false when there are none.
    static bool copyLinks(const QList<ManagedObjectPtr>& records);

    TQContactSharedFilesController3* m_contactList;
};

} // namespace tavrel
