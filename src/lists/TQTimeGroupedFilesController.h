#pragma once

#include "controls/TQGroupWrapper.h"
#include "lists/ListModel.h"

#include <QHash>
#include <QString>

namespace tavrel {

class DocumentThumbnails;

// The rows of a document list: documents (File and Category records) sorted by a real attribute chosen
// from the sort key the list asks for, cut into groups by a groupper chosen by the same key; each group
// is opened by a header row holding a TQGroupWrapper.
//
// Only the ids and the few values the current grouping needs are read (one statement), so a list of
// 100,000 documents is sorted and grouped without loading its records; a row's record is made when it
// is asked for. A change of the store rearranges the rows: records that stay keep their rows (moved
// into their new groups), headers come and go with their groups.
//
// A row shows what its roles answer (ListModel::Role, read in TQTimeGroupedFilesRoles.cpp): a change of
// a document, of its access entry or of a person it shows redraws that row's roles it changed. The
// records of the rows about to be drawn are loaded in batches; thumbnails are read in the background.
class TQTimeGroupedFilesController : public ListModel
{
    Q_OBJECT
public:
    // The grouppers: what a sort key cuts the documents into.
    enum class Groupper {
        None,
        Time,       // today, yesterday, last week, last month, in the past
        Owner,      // owned by me, then by each owner
        Visibility, // private, link, web, domain link, domain
        Sharings,   // shared by me, shared with me, not shared
        Class,      // documents, presentations ... collections, others
        Collection, // in collections, not in collections
    };

    // The context is the main thread's; not owned. The entity: every document and collection.
    explicit TQTimeGroupedFilesController(ManagedObjectContext* context,
                                          const QString& entityName = QStringLiteral("FileEntryAbstract"),
                                          QObject* parent = nullptr);
    ~TQTimeGroupedFilesController() override;

    // The real sort key for a key a list asks for ("owner" sorts by "owner.address"); any other key is
    // its own sort key.
    static QString sortKeyForExternalKey(const QString& key);
    // The groupper for a key a list asks for; None for keys without groups ("title", "size").
    static Groupper groupperForExternalKey(const QString& key);
    // The maps of this controller's class (the mail variant has its own sort keys).
    virtual QString sortKeyFor(const QString& key) const { return sortKeyForExternalKey(key); }
    virtual Groupper groupperFor(const QString& key) const { return groupperForExternalKey(key); }

    Groupper groupper() const { return m_groupper; }

    // The user that the groups call "me" (compared exactly); the current session's user name unless
    // set.
    QString username() const;
    void setUsername(const QString& username);

    // The list asks for an order: the last descriptor counts, its key mapped to the real sort key and
    // the groupper. Switching only the groupper (same order) only regroups.
    void setSortDescriptors(const QList<SortDescriptor>& descriptors) override;

    // The rows (count(), objectAtRow() and rowOfObjectID() of the base count header rows too; a header
    // row has no record).
    bool isGroupRow(int row) const;
    // The header of a group row; none for a document row or beyond the rows.
    TQGroupWrapperPtr groupAtRow(int row) const;
    // The header a document row lies under (a group row answers itself); none above the first header,
    // without groups and beyond the rows.
    TQGroupWrapperPtr groupOfRow(int row) const;
    // The headers in row order.
    QList<TQGroupWrapperPtr> groups() const;

    // DisplayRole of a header row: its title; GroupRole: the header (TQGroupWrapperPtr) of a header
    // row, none for a document row; the document roles of a document row.
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    // Every role asked for, reading the row's record once.
    void multiData(const QModelIndex& index, QModelRoleDataSpan roleDataSpan) const override;
    // The edge of the thumbnails ThumbnailRole answers.
    static constexpr qreal kThumbnailEdge = 72;

protected:
    // The keys a groupper reads, after the sort key.
    QList<FetchColumn> fetchColumns() const override;
    QList<ManagedObjectID> arrangeFetchedRows(const QList<ManagedObjectID>& ids,
                                              const QList<QVariantList>& values) override;
    bool changeConcernsRows(const ObjectsDidChangeNotification& notification) const override;
    // A document's rows, its access entry's and each person's it shows (by the relationships back).
    void collectChangedRows(const ObjectsDidChangeNotification& notification,
                            ChangedRows* changed) const override;
    QList<int> recordRoles() const override;

    // What a groupper works on: the sorted documents with the values of its columns.
    struct Row
    {
        ManagedObjectID id;
        const QVariantList* values;
    };
    // One group: its header (none: the documents are shown without one) and its documents in order.
    struct Group
    {
        TQGroupWrapperPtr header;
        QList<ManagedObjectID> ids;
    };
    // The columns and the groups of a groupper; the mail variant adds its own.
    virtual QList<FetchColumn> columnsForGroupper(Groupper groupper) const;
    virtual QList<Group> groupRows(Groupper groupper, const QList<Row>& rows);
    void setGroupper(Groupper groupper) { m_groupper = groupper; }
    // A header of a group and title for the arrangement under way: the same object as in the last
    // arrangement when that showed it too.
    TQGroupWrapperPtr header(qint32 group, const QString& title);
    // The sort key to use for a key the list asks for: the class's map, or the base's when the entity
    // has no such attribute to sort by.
    QString realSortKey(const QString& key) const;
    // The shown name of a mail record's owner header: its name when it belongs to a contact, else its
    // address, else "UnknownUser".
    QString ownerTitleName(const QVariant& mailID, const QString& address) const;

private:
    // The value of a role of a row (a document's or a header's).
    QVariant rowValue(int row, const ManagedObjectPtr& record, int role) const;
    // Loads the records of the rows from about the row on, and the records their roles read through
    // to-ones, together.
    void loadRecordsAround(int row) const;
    QPixmap thumbnailOfRow(int row, const ManagedObjectPtr& record) const;
    void thumbnailReady(const QString& iconPath);

    QList<Group> timeGroups(const QList<Row>& rows);
    QList<Group> ownerGroups(const QList<Row>& rows);
    QList<Group> visibilityGroups(const QList<Row>& rows);
    QList<Group> sharingsGroups(const QList<Row>& rows);
    QList<Group> classGroups(const QList<Row>& rows);
    QList<Group> collectionGroups(const QList<Row>& rows);

    Groupper m_groupper = Groupper::None;
    // The key the list asked to sort by ("size" shows sizes under the titles).
    QString m_askedKey;
    // The records of the last batch loaded: the context holds unchanged records weakly.
    mutable QList<ManagedObjectPtr> m_loaded;
    mutable DocumentThumbnails* m_thumbnails = nullptr;
    // The rows waiting for the thumbnail of each file.
    mutable QHash<QString, QSet<ManagedObjectID>> m_waitingThumbnails;
    QString m_username;
    bool m_hasUsername = false;
    // Headers by their row key, and the key of each (group, title, how many alike came before) of the
    // last arrangement; headers made by the arrangement under way.
    QHash<qint64, TQGroupWrapperPtr> m_headers;
    QHash<QString, qint64> m_headerKeys;
    QHash<QString, int> m_arrangingTitles;
    QHash<qint64, TQGroupWrapperPtr> m_arrangingHeaders;
    QHash<const TQGroupWrapper*, qint64> m_keyOfHeader;
    qint64 m_nextHeaderKey = 1;
    // The rows of the last arrangement, and the header key of each of its documents once asked for.
    QList<ManagedObjectID> m_arranged;
    mutable QHash<ManagedObjectID, qint64> m_groupOfID;
    mutable bool m_groupOfIDValid = false;
};

} // namespace tavrel
