#pragma once

#include "lists/ListFetch.h"
#include "platform/store/ManagedObject.h"
#include "platform/store/ManagedObjectContext.h"
#include "platform/store/Predicate.h"
#include "platform/store/SortDescriptor.h"

#include <QAbstractListModel>
#include <QHash>
#include <QPointer>
#include <QSet>
#include <atomic>
#include <memory>

namespace tavrel {

class ObjectsDidChangeNotification;

// The rows of a list: the records of an entity that match a filter and the search, in the order of
// the sort descriptors. It stands where the design has an array controller (arrangedObjects,
// fetchWithRequest, automaticallyPreparesContent, rearrangeObjects).
//
// The search text is only ever the argument of the search format ("title CONTAINS[cd] %@"; every %@
// receives the text), so quotes, %, * and backslashes in it match literally.
// While only the text of such a search of one text attribute changes, a fetch without the search (made
// at the first character) is filtered in memory with the store's own folding, giving the rows a fetch would
// give; anything that may have changed what the store holds, and unsaved changes of the entities the fetch
// reads (not of others, such as a cached file's bookkeeping), make the next search fetch again.
//
// Rows are kept as record ids and turned into the main context's records when asked, so a list of
// 100,000 rows loads only the records that are shown. The first fetch can run on another thread
// (makeFetch, ListFetch::run, adoptFetch); later, while the model prepares its content automatically,
// each change of the main context's records moves, inserts, removes or redraws the rows concerned,
// never resetting the whole list for a change. Only an arrangement that removes or inserts more than
// a few dozen separate runs of rows (a new search or grouping of a long list) resets it, which is one
// pass where row-by-row updates would move the rows below each run again.
class ListModel : public QAbstractListModel
{
    Q_OBJECT
public:
    // What a row shows, one role per fact, so that a view draws a row from its index alone and a change
    // of a record redraws only the facts it changed. The base answers the record, its id and its title;
    // the document lists answer the rest.
    enum Role {
        ObjectRole = Qt::UserRole + 1,
        ObjectIDRole,
        // The header (TQGroupWrapperPtr) of a group row, none for a record's row.
        GroupRole,
        // Whether the row is a group header (bool).
        GroupRowRole,
        TitleRole,
        SubtitleRole,
        // The line under the subtitle (a document's collections).
        DetailsRole,
        // The people with access, in the order the row shows them (QList<ManagedObjectPtr>).
        PeopleRole,
        // The general access: 1 private, 2 anyone with the link, 3 public, 4 the domain with the link, 5
        // the domain (int).
        AccessIndexRole,
        // The badge: 1 new, 2 modified, 3 not starred, 4 starred (int); StarredRole the star (bool).
        ItemStateRole,
        StarredRole,
        // The access entry the row's link button shows (ManagedObjectPtr), invalid when it has none.
        LinkRole,
        // The row's picture (QPixmap), resolved in the background: a placeholder until it is ready.
        ThumbnailRole,
    };

    // The context is the main thread's; not owned.
    ListModel(ManagedObjectContext* context, const QString& entityName, QObject* parent = nullptr);
    ~ListModel() override;

    ManagedObjectContext* managedObjectContext() const { return m_context; }
    QString entityName() const { return m_entityName; }

    // A filter of the list's own (none: every record of the entity).
    Predicate filterPredicate() const { return m_filterPredicate; }
    void setFilterPredicate(const Predicate& predicate);
    // The predicate format the search text is given to, one argument per %@.
    QString searchFormat() const { return m_searchFormat; }
    void setSearchFormat(const QString& format);
    QString searchString() const { return m_searchString; }
    void setSearchString(const QString& searchString);
    QList<SortDescriptor> sortDescriptors() const { return m_sortDescriptors; }
    virtual void setSortDescriptors(const QList<SortDescriptor>& descriptors);
    // The key a row shows as its text (DisplayRole); "title" unless set.
    void setDisplayKey(const QString& key) { m_displayKey = key; }

    // Entity, filter and search together, and the order.
    Predicate predicate() const;
    FetchRequest fetchRequest() const;

    // The rows.
    int count() const { return int(m_ids.size()); }
    const QList<ManagedObjectID>& arrangedObjectIDs() const { return m_ids; }
    // The main context's record of a row (a fault until its values are read), none beyond the rows and
    // for a row of the list's own (a group header of a subclass).
    ManagedObjectPtr objectAtRow(int row) const;
    int rowOfObjectID(const ManagedObjectID& id) const;

    // A fetch of the current request to run on any thread, then hand to adoptFetch on this one.
    virtual ListFetchPtr makeFetch();
    // Takes the fetched rows; a failed fetch leaves the rows as they are. Answers whether the rows are
    // what a fetch would give now: false when the fetch failed, or when the request, the store (a save
    // of any context) or the main context's unsaved records the request reads may have changed since
    // the fetch was made (it reads the store in a context of its own).
    bool adoptFetch(const ListFetch& fetch);
    // Fetches now, on this thread, and takes the rows; answers false with the error on failure.
    bool fetchWithRequest(const std::optional<FetchRequest>& request, bool merge, Error* error);
    // Fetches again and moves the rows to their new places.
    void rearrangeObjects();

    // While set, the list follows the main context's changes.
    bool automaticallyPreparesContent() const { return m_automaticallyPreparesContent; }
    void setAutomaticallyPreparesContent(bool prepares);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QHash<int, QByteArray> roleNames() const override;

signals:
    // After every change of the rows (the design's observation of "arrangedObjects"); a change of what
    // rows show alone is dataChanged.
    void arrangedObjectsChanged();

protected:
    // The values a subclass reads with the ids of every fetch (none in the base).
    virtual QList<FetchColumn> fetchColumns() const { return {}; }
    // Makes the rows from a fetch's ids in order and their values (one list per id, empty lists when
    // no columns were asked for): the base shows the ids as they are; a subclass may drop ids and put
    // rows of its own (ownRowID) among them. Rows that stay keep their place in the view's eyes.
    virtual QList<ManagedObjectID> arrangeFetchedRows(const QList<ManagedObjectID>& ids,
                                                      const QList<QVariantList>& values);
    // Whether a change of the main context may change the rows (the base: a record of its entity was
    // inserted, updated or deleted).
    virtual bool changeConcernsRows(const ObjectsDidChangeNotification& notification) const;
    // The rows' records a change of the main context shows differently, with the roles it changes
    // (the base: each updated record, with every role its row shows). Records that are not rows are
    // left out by the caller.
    using ChangedRows = QHash<ManagedObjectID, QList<int>>;
    virtual void collectChangedRows(const ObjectsDidChangeNotification& notification,
                                    ChangedRows* changed) const;
    // The roles a row's own record feeds.
    virtual QList<int> recordRoles() const;
    // Emits dataChanged for each row, with its roles, one row at a time (the rows themselves stay, so
    // arrangedObjectsChanged is not emitted).
    void emitRowsChanged(const ChangedRows& changed);
    // The id of a row of the list's own, told apart from records by isOwnRowID; equal keys, equal ids.
    static ManagedObjectID ownRowID(qint64 key);
    static bool isOwnRowID(const ManagedObjectID& id);
    // Whether a record of one of the entities (or of a sub-entity) was inserted, updated or deleted.
    static bool changeOfEntities(const ObjectsDidChangeNotification& notification,
                                 const QSet<QString>& names);
    // The entities whose records the filter or search predicate, the order, the subclass's columns and
    // the searched key (none: empty) read (the list's own and those reached through relationships); false
    // when that cannot be told (a block, a key that is not in the model), so that any change counts.
    bool entitiesRead(const Predicate& predicate, const QString& searchKey, QSet<QString>* names) const;

private:
    void contextObjectsDidChange(const ObjectsDidChangeNotification& notification);
    // dataChanged for each of the rows that are shown; whether any was.
    bool redrawRows(const ChangedRows& changed);
    // Fetches the request with the subclass's columns and arranges the rows.
    bool fetchRows(const FetchRequest& request, QList<ManagedObjectID>* rows, Error* error);
    // Turns the rows into the new ids with removals, insertions and moves; the rows in `changed` redraw
    // their roles.
    void applyIDs(const QList<ManagedObjectID>& ids, const ChangedRows& changed = {});
    // Turns the rows into the new ids (which differ); false when that reset the list (nothing else to
    // tell).
    bool replaceRows(const QList<ManagedObjectID>& ids);
    // The row of each id, made when first asked for after the rows changed (a long list's rows change
    // with every character of a search, their rows are rarely looked up). While rows are being
    // replaced it still tells the rows from before.
    const QHash<ManagedObjectID, int>& rowIndex() const;
    void invalidateRowIndex();
    // A search of one text attribute of the list's records, "key CONTAINS[options] %@": the key and the
    // options, or false for any other search format.
    bool searchInMemory(QString* key, int* options) const;
    // The rows of the current request from the kept fetch without the search, filtered in memory by
    // the search text; false when that fetch may no longer be what the store holds.
    bool filterSearchBase(QList<ManagedObjectID>* rows);
    // Fetches the current request without the search, with the searched key, and keeps it.
    bool fetchSearchBase(Error* error);
    void forgetSearchBase() { m_searchBase = {}; }
    // Counts the saves of the store's contexts from now on.
    void countSaves();
    // Whether the context holds unsaved changes a fetch of the current request would see.
    bool searchBaseHasUnsavedChanges(bool anyChange, const QSet<QString>& entities) const;
    // The runs of rows that applyIDs would remove (rows that do not stay) and insert (ids that come)
    // one by one, counted up to one past kMaximumRuns.
    int runsToApply(const QList<bool>& stays, const QList<bool>& comes) const;
    static constexpr int kMaximumRuns = 64;

    QPointer<ManagedObjectContext> m_context;
    QString m_entityName;
    Predicate m_filterPredicate;
    QString m_searchFormat = QStringLiteral("title CONTAINS[cd] %@");
    QString m_searchString;
    QList<SortDescriptor> m_sortDescriptors;
    QString m_displayKey = QStringLiteral("title");
    QList<ManagedObjectID> m_ids;
    mutable QHash<ManagedObjectID, int> m_rowOfID;
    mutable bool m_rowIndexValid = true;
    // The fetch without the search (with the same filter, order and columns) made for the first
    // character typed, so that typing a search filters it in memory instead of matching every record's text
    // in SQL again. Forgotten on a change of the records it reads, a save of any context, another fetch or
    // another request.
    struct SearchBase
    {
        bool valid = false;
        QString key;
        int options = 0;
        QList<FetchColumn> columns;
        quint64 storeGeneration = 0;
        quint64 saves = 0;
        // Unsaved changes of other entities leave the fetch as the store answers it.
        bool anyChange = true;
        QSet<QString> entities;
        QList<ManagedObjectID> ids;
        QList<QVariantList> values;
        // The searched key's text of each row, folded as the search is; empty for a value that is not
        // text, which no search matches.
        QList<QString> folded;
    };
    SearchBase m_searchBase;
    // Saves of any context of the store, counted on the saving thread.
    std::shared_ptr<std::atomic<quint64>> m_saves = std::make_shared<std::atomic<quint64>>(0);
    QMetaObject::Connection m_savesConnection;
    // Changes of the request (filter, search, order), counted.
    quint64 m_requestChanges = 0;
    bool m_automaticallyPreparesContent = false;
    QMetaObject::Connection m_changesConnection;
};

} // namespace tavrel
