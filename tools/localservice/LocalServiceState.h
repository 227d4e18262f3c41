#pragma once

#include "LocalService.h"

#include <QByteArray>
#include <QDateTime>
#include <QHash>
#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>
#include <map>

namespace tavrel::localservice {

// The account the service holds, with its serialisation to Atom. Not thread-safe: LocalService
// guards it with its one mutex.
class LocalServiceState
{
public:
    struct Acl
    {
        QString scopeType; // user, group, domain, default
        QString scopeValue;
        QString role; // owner, writer, reader
        QStringList additionalRoles;
        QString key; // non-empty: the rule holds only with the link key (gAcl:withKey)
        quint64 version = 1;
        QDateTime updated;
        QString id() const;
    };

    struct Doc
    {
        qint64 seq = 0;
        QString rid;   // "document:1abc"
        QString kind;  // document spreadsheet presentation drawing form pdf file folder
        QString local; // "1abc"
        QString title;
        QString mime;
        QString filename;
        QString ownerEmail, ownerName;
        QString modifiedByEmail, modifiedByName;
        QStringList parents;  // folder resource ids
        QSet<QString> labels; // starred trashed viewed hidden
        bool writersCanInvite = true;
        QDateTime published, updated, edited, lastViewed;
        QByteArray content;
        QString md5;
        QList<Acl> acl;
        QList<QByteArray> extras; // elements the service does not model, written back unchanged
        quint64 version = 1;
        int revisions = 1;
        qint64 changestamp = 0;
        mutable QByteArray cache[2]; // serialised entry: [0] plain, [1] with the access list inline
    };

    struct ChangeRecord
    {
        QString rid;
        QString kind;
        QString title;
        bool removed = false;
        QDateTime when;
    };

    struct Email
    {
        QString address;
        QString rel; // full URI, e.g. http://schemas.google.com/g/2005#work
        QString label;
        bool primary = false;
    };

    struct Contact
    {
        qint64 seq = 0;
        QString id; // 16 hex digits
        QString title, fullName, givenName, familyName, notes;
        QList<Email> emails;
        QList<QByteArray> extras;
        QByteArray photo;
        QString photoMime;
        quint64 photoVersion = 0;
        quint64 version = 1;
        QDateTime updated;
        bool deleted = false;
        mutable QByteArray cache;
    };

    QString base; // http://127.0.0.1:PORT
    QString ownerEmail = QStringLiteral("demo@tavrel.test");
    QString ownerName = QStringLiteral("Demo User");

    std::map<qint64, Doc> docs;
    QHash<QString, qint64> docSeq;    // resource id -> seq
    QHash<QString, QString> docLocal; // local id -> resource id
    qint64 nextDocSeq = 1;
    qint64 changestamp = 0;
    std::map<qint64, ChangeRecord> changes;

    std::map<qint64, Contact> contacts;
    QHash<QString, qint64> contactSeq;
    qint64 nextContactSeq = 1;
    quint64 contactsVersion = 1;

    quint64 idCounter = 0;
    quint64 idSalt = 0x9e3779b97f4a7c15ULL;
    QDateTime lastNow;

    void clear();
    QDateTime now();
    QString newLocalId(const QString& kind);
    QString newContactId();
    QString etag(const QString& key, quint64 version, bool weak = false) const;

    Doc* doc(const QString& rid);
    Doc* docByLocal(const QString& local);
    // Whether the collection `folder` is `ancestor` or lies inside it, through any chain of parents:
    // putting `ancestor` into `folder` would make a cycle.
    bool isWithin(const QString& folder, const QString& ancestor);
    Doc& insertDoc(Doc doc); // assigns seq and a changestamp
    // Records a change of the document: new ETag, times, changestamp; drops the cached text.
    void touch(Doc& doc, bool modified = true);
    void removeDoc(const QString& rid); // permanent: leaves a removed change
    Contact* contact(const QString& id);
    Contact& insertContact(Contact contact);
    void touch(Contact& contact);

    static QString kindFromTerm(const QString& term);
    static QString labelForKind(const Doc& doc);
    static bool isNative(const QString& kind);
    QString docEtag(const Doc& d) const { return etag(d.rid, d.version); }
    QString aclEtag(const Doc& d, const Acl& a) const { return etag(d.rid + a.id(), a.version, true); }
    QString contactEtag(const Contact& c) const { return etag(c.id, c.version); }
    QString photoEtag(const Contact& c) const
    {
        return etag(c.id + QStringLiteral("/photo"), c.photoVersion);
    }

    // Links
    QByteArray docUrl(const QString& rid, const QString& projection = QStringLiteral("full")) const;
    QByteArray docIdUrl(const QString& rid) const;
    QByteArray contentUrl(const Doc& d) const;
    QByteArray contactsFeedUrl() const;
    QByteArray contactUrl(const Contact& c) const;
    QByteArray photoUrl(const Contact& c) const;

    // Whether the document sits in the account's root: its own, in no collection.
    bool inRoot(const Doc& d) const;
    // The entry with a parent link to the root collection (lists asked with showroot=true).
    QByteArray withRootParent(const QByteArray& entry) const;

    // Serialisation. Entries come without namespace declarations (wrap with entryDocument()).
    const QByteArray& docEntry(const Doc& d, bool expandAcl) const;
    QByteArray aclEntry(const Doc& d, const Acl& a) const;
    QByteArray aclFeedBody(const Doc& d) const; // the <feed> of the access list, no declarations
    const QByteArray& contactEntry(const Contact& c) const;
    QByteArray photoEntry(const Contact& c) const;
    QByteArray metadataEntry() const;
    static QByteArray entryDocument(const QByteArray& entry); // adds the XML header and declarations
    static QByteArray withTail(const QByteArray& entry, const QByteArray& tail); // before </entry>

    qint64 quotaUsed(bool trashOnly) const;
};

} // namespace tavrel::localservice
