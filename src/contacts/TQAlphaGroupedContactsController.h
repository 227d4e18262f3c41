#pragma once

#include "lists/ListModel.h"

#include <QHash>
#include <QSet>
#include <memory>

namespace tavrel {

class ContactAvatars;
class Mail;

// The rows of a contacts list: one per mail address (a Mail record, never a Contact), sorted by the
// list's descriptors and, while grouping, with a header row of the upper-cased first letter before
// each run of people whose names start alike ("#" for a person without a name). The favourites list
// orders by the number of documents shared with each person instead, most first.
//
// Rows answer their facts as roles (title, address, star, shared-document count, photo), so a list
// draws a row from its index alone; photos are read in the background for the rows being drawn.
class TQAlphaGroupedContactsController : public ListModel
{
    Q_OBJECT
public:
    enum ContactRole {
        // The number of documents shared with the person (int).
        SharedCountRole = ThumbnailRole + 100,
        // Whether the person is a favourite (bool).
        FavoriteRole,
        // The person's address (QString), for the row's own use.
        AddressRole,
    };
    // The edge of the photos the rows show.
    static constexpr int kPhotoEdge = 68;

    explicit TQAlphaGroupedContactsController(ManagedObjectContext* context, QObject* parent = nullptr);
    ~TQAlphaGroupedContactsController() override;

    bool groupping() const { return m_groupping; }
    void setGroupping(bool groupping);
    // Orders by shared-document count, most first; ties by name, then address.
    bool sortsBySharings() const { return m_sortsBySharings; }
    void setSortsBySharings(bool sorts);

    bool isGroupRow(int row) const;
    std::shared_ptr<Mail> mailAtRow(int row) const;

    // The distinct documents (collections left out) the person owns, edits or views.
    static int sharedDocumentCount(const Mail& mail);
    // The header letter of a name: its upper-cased first character, "#" for an empty name.
    static QString headerLetter(const QString& displayName);

    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QHash<int, QByteArray> roleNames() const override;
    // People drag out as vCard files: written into a private temporary folder when the drag starts
    // and carried as file URLs, so a file manager copies them where they are dropped.
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QStringList mimeTypes() const override;
    QMimeData* mimeData(const QModelIndexList& indexes) const override;
    Qt::DropActions supportedDragActions() const override { return Qt::CopyAction; }

protected:
    QList<FetchColumn> fetchColumns() const override;
    QList<ManagedObjectID> arrangeFetchedRows(const QList<ManagedObjectID>& ids,
                                              const QList<QVariantList>& values) override;
    bool changeConcernsRows(const ObjectsDidChangeNotification& notification) const override;
    void collectChangedRows(const ObjectsDidChangeNotification& notification,
                            ChangedRows* changed) const override;
    QList<int> recordRoles() const override;

private:
    void avatarReady(const QString& avatarPath);

    bool m_groupping = false;
    bool m_sortsBySharings = false;
    QHash<ManagedObjectID, QString> m_headers;
    ContactAvatars* m_avatars = nullptr;
    // The rows that asked for each photo still being read.
    mutable QHash<QString, QSet<ManagedObjectID>> m_askedAvatars;
};

} // namespace tavrel
