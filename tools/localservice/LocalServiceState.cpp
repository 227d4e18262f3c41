#include "LocalServiceState.h"

#include "AtomText.h"

#include <QSet>

namespace tavrel::localservice {

namespace {
using A = AtomText;

quint64 mix(quint64 x)
{
    x += 0x9e3779b97f4a7c15ULL;
    x = (x ^ (x >> 30)) * 0xbf58476d1ce4e5b9ULL;
    x = (x ^ (x >> 27)) * 0x94d049bb133111ebULL;
    return x ^ (x >> 31);
}

quint64 fnv(const QString& s)
{
    quint64 h = 1469598103934665603ULL;
    for (QChar c : s) {
        h ^= c.unicode();
        h *= 1099511628211ULL;
    }
    return h;
}

const char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-_";

QString code(quint64 value, int length)
{
    QString out;
    out.reserve(length);
    quint64 v = value;
    for (int i = 0; i < length; ++i) {
        if (i % 10 == 9)
            v = mix(v + quint64(i));
        out.append(QLatin1Char(kAlphabet[v & 63]));
        v >>= 6;
    }
    return out;
}

const char kLabels[] = "http://schemas.google.com/g/2005/labels";
} // namespace

QString LocalServiceState::Acl::id() const
{
    if (scopeType == QLatin1String("default"))
        return QStringLiteral("default");
    return scopeType + QLatin1Char(':') + scopeValue;
}

void LocalServiceState::clear()
{
    docs.clear();
    docSeq.clear();
    docLocal.clear();
    nextDocSeq = 1;
    changestamp = 0;
    changes.clear();
    contacts.clear();
    contactSeq.clear();
    nextContactSeq = 1;
    ++contactsVersion;
    idCounter = 0;
}

QDateTime LocalServiceState::now()
{
    QDateTime t = QDateTime::currentDateTimeUtc();
    if (lastNow.isValid() && t <= lastNow)
        t = lastNow.addMSecs(1);
    lastNow = t;
    return t;
}

QString LocalServiceState::newLocalId(const QString& kind)
{
    const quint64 n = ++idCounter;
    const QString counter = QString::number(n, 36);
    const bool native = isNative(kind);
    // Native documents look like "1…", uploaded files and folders like "0B…", as on the real service.
    QString id = native ? QStringLiteral("1") : QStringLiteral("0B");
    id += code(mix(n ^ idSalt), 24 - counter.size());
    id += counter;
    return id;
}

QString LocalServiceState::newContactId()
{
    const quint64 n = ++idCounter;
    return QString::number(mix(n ^ idSalt ^ 0x5555ULL) | (1ULL << 60), 16).right(16);
}

QString LocalServiceState::etag(const QString& key, quint64 version, bool weak) const
{
    const quint64 h = mix(fnv(key) ^ (version * 0x100000001b3ULL));
    QString tag = QLatin1Char('"') + code(h, 12) + QStringLiteral("t7ImBk") + QLatin1Char('"');
    return weak ? QStringLiteral("W/") + tag : tag;
}

bool LocalServiceState::isWithin(const QString& folder, const QString& ancestor)
{
    QStringList pending{folder};
    QSet<QString> seen;
    while (!pending.isEmpty()) {
        const QString current = pending.takeLast();
        if (current == ancestor)
            return true;
        if (seen.contains(current))
            continue;
        seen.insert(current);
        if (const Doc* d = doc(current))
            pending += d->parents;
    }
    return false;
}

LocalServiceState::Doc* LocalServiceState::doc(const QString& rid)
{
    auto it = docSeq.constFind(rid);
    if (it == docSeq.constEnd())
        return nullptr;
    auto d = docs.find(*it);
    return d == docs.end() ? nullptr : &d->second;
}

LocalServiceState::Doc* LocalServiceState::docByLocal(const QString& local)
{
    auto it = docLocal.constFind(local);
    return it == docLocal.constEnd() ? nullptr : doc(*it);
}

LocalServiceState::Doc& LocalServiceState::insertDoc(Doc d)
{
    d.seq = nextDocSeq++;
    if (d.local.isEmpty())
        d.local = newLocalId(d.kind);
    d.rid = d.kind + QLatin1Char(':') + d.local;
    if (!d.published.isValid())
        d.published = now();
    if (!d.updated.isValid())
        d.updated = d.published;
    if (!d.edited.isValid())
        d.edited = d.updated;
    if (d.ownerEmail.isEmpty()) {
        d.ownerEmail = ownerEmail;
        d.ownerName = ownerName;
    }
    if (d.modifiedByEmail.isEmpty()) {
        d.modifiedByEmail = d.ownerEmail;
        d.modifiedByName = d.ownerName;
    }
    bool hasOwner = false;
    for (const Acl& a : d.acl)
        hasOwner = hasOwner || a.role == QLatin1String("owner");
    if (!hasOwner) {
        Acl owner;
        owner.scopeType = QStringLiteral("user");
        owner.scopeValue = d.ownerEmail;
        owner.role = QStringLiteral("owner");
        d.acl.prepend(owner);
    }
    for (Acl& a : d.acl) {
        if (!a.updated.isValid())
            a.updated = d.updated;
    }
    d.changestamp = ++changestamp;
    changes[d.changestamp] = ChangeRecord{d.rid, d.kind, d.title, false, d.updated};
    const qint64 seq = d.seq;
    docSeq.insert(d.rid, seq);
    docLocal.insert(d.local, d.rid);
    auto [it, inserted] = docs.emplace(seq, std::move(d));
    Q_UNUSED(inserted);
    return it->second;
}

void LocalServiceState::touch(Doc& d, bool modified)
{
    const QDateTime t = now();
    ++d.version;
    if (modified)
        d.updated = t;
    d.edited = t;
    changes.erase(d.changestamp);
    d.changestamp = ++changestamp;
    changes[d.changestamp] = ChangeRecord{d.rid, d.kind, d.title, false, t};
    d.cache[0].clear();
    d.cache[1].clear();
    // Children show the folder's title in their parent links.
    if (d.kind == QLatin1String("folder")) {
        for (auto& [seq, child] : docs) {
            if (child.parents.contains(d.rid)) {
                child.cache[0].clear();
                child.cache[1].clear();
            }
        }
    }
}

void LocalServiceState::removeDoc(const QString& rid)
{
    Doc* d = doc(rid);
    if (!d)
        return;
    changes.erase(d->changestamp);
    const qint64 stamp = ++changestamp;
    changes[stamp] = ChangeRecord{d->rid, d->kind, d->title, true, now()};
    // Children of a removed folder lose it as a parent.
    if (d->kind == QLatin1String("folder")) {
        for (auto& [seq, other] : docs) {
            if (other.parents.removeAll(rid) > 0)
                touch(other, false);
        }
    }
    docLocal.remove(d->local);
    const qint64 seq = d->seq;
    docSeq.remove(rid);
    docs.erase(seq);
}

LocalServiceState::Contact* LocalServiceState::contact(const QString& id)
{
    auto it = contactSeq.constFind(id);
    if (it == contactSeq.constEnd())
        return nullptr;
    auto c = contacts.find(*it);
    return c == contacts.end() ? nullptr : &c->second;
}

LocalServiceState::Contact& LocalServiceState::insertContact(Contact c)
{
    c.seq = nextContactSeq++;
    if (c.id.isEmpty())
        c.id = newContactId();
    if (!c.updated.isValid())
        c.updated = now();
    contactSeq.insert(c.id, c.seq);
    ++contactsVersion;
    ++changestamp;
    const qint64 seq = c.seq;
    auto [it, inserted] = contacts.emplace(seq, std::move(c));
    Q_UNUSED(inserted);
    return it->second;
}

void LocalServiceState::touch(Contact& c)
{
    ++c.version;
    c.updated = now();
    c.cache.clear();
    ++contactsVersion;
    ++changestamp;
}

QString LocalServiceState::kindFromTerm(const QString& term)
{
    static const QString prefix = QStringLiteral("http://schemas.google.com/docs/2007#");
    if (!term.startsWith(prefix))
        return {};
    const QString k = term.mid(prefix.size());
    static const QStringList known = {QStringLiteral("document"),     QStringLiteral("spreadsheet"),
                                      QStringLiteral("presentation"), QStringLiteral("drawing"),
                                      QStringLiteral("form"),         QStringLiteral("pdf"),
                                      QStringLiteral("file"),         QStringLiteral("folder")};
    return known.contains(k) ? k : QString();
}

QString LocalServiceState::labelForKind(const Doc& d)
{
    if (d.kind == QLatin1String("file") || d.kind == QLatin1String("pdf"))
        return d.mime.isEmpty() ? QStringLiteral("application/octet-stream") : d.mime;
    return d.kind;
}

bool LocalServiceState::isNative(const QString& kind)
{
    return kind == QLatin1String("document") || kind == QLatin1String("spreadsheet") ||
           kind == QLatin1String("presentation") || kind == QLatin1String("drawing") ||
           kind == QLatin1String("form");
}

QByteArray LocalServiceState::docUrl(const QString& rid, const QString& projection) const
{
    return base.toUtf8() + "/feeds/default/private/" + projection.toUtf8() + '/' + A::percent(rid);
}

QByteArray LocalServiceState::docIdUrl(const QString& rid) const
{
    return base.toUtf8() + "/feeds/id/" + A::percent(rid);
}

QByteArray LocalServiceState::contentUrl(const Doc& d) const
{
    const QByteArray b = base.toUtf8();
    const QByteArray l = A::percent(d.local);
    if (d.kind == QLatin1String("document"))
        return b + "/feeds/download/documents/export/Export?id=" + l;
    if (d.kind == QLatin1String("spreadsheet"))
        return b + "/feeds/download/spreadsheets/Export?key=" + l;
    if (d.kind == QLatin1String("presentation"))
        return b + "/feeds/download/presentations/Export?id=" + l;
    if (d.kind == QLatin1String("drawing"))
        return b + "/feeds/download/drawings/Export?id=" + l;
    if (d.kind == QLatin1String("form"))
        return b + "/feeds/download/forms/Export?id=" + l;
    if (d.kind == QLatin1String("folder"))
        return docUrl(d.rid) + "/contents";
    return b + "/feeds/download/files/" + l + "?e=download&gd=true";
}

QByteArray LocalServiceState::contactsFeedUrl() const
{
    return base.toUtf8() + "/m8/feeds/contacts/" + A::percent(ownerEmail) + "/full";
}

QByteArray LocalServiceState::contactUrl(const Contact& c) const
{
    return contactsFeedUrl() + '/' + c.id.toUtf8();
}

QByteArray LocalServiceState::photoUrl(const Contact& c) const
{
    return base.toUtf8() + "/m8/feeds/photos/media/" + A::percent(ownerEmail) + '/' + c.id.toUtf8();
}

namespace {
void link(QByteArray& out, const char* rel, const char* type, const QByteArray& href,
          const QByteArray& extra = {})
{
    out += "<link rel='";
    out += rel;
    out += "' type='";
    out += type;
    out += "' href='";
    out += A::escape(href);
    out += '\'';
    out += extra;
    out += "/>";
}

void category(QByteArray& out, const char* scheme, const QString& term, const QString& label)
{
    out += "<category scheme='";
    out += scheme;
    out += "' term='";
    out += A::escape(term);
    out += '\'';
    if (!label.isNull()) {
        out += " label='";
        out += A::escape(label);
        out += '\'';
    }
    out += "/>";
}

void person(QByteArray& out, const char* element, const QString& email, const QString& name)
{
    out += '<';
    out += element;
    out += "><name>";
    out += A::escape(name.isEmpty() ? email.section(QLatin1Char('@'), 0, 0) : name);
    out += "</name><email>";
    out += A::escape(email);
    out += "</email></";
    out += element;
    out += '>';
}
} // namespace

bool LocalServiceState::inRoot(const Doc& d) const
{
    return d.parents.isEmpty() && d.ownerEmail.compare(ownerEmail, Qt::CaseInsensitive) == 0;
}

QByteArray LocalServiceState::withRootParent(const QByteArray& entry) const
{
    QByteArray root;
    link(root, "http://schemas.google.com/docs/2007#parent", "application/atom+xml",
         docUrl(QStringLiteral("folder:root")));
    QByteArray out = entry;
    const qsizetype at = out.indexOf("<link ");
    out.insert(at < 0 ? out.lastIndexOf("</entry>") : at, root);
    return out;
}

const QByteArray& LocalServiceState::docEntry(const Doc& d, bool expandAcl) const
{
    QByteArray& out = d.cache[expandAcl ? 1 : 0];
    if (!out.isEmpty())
        return out;
    const QByteArray self = docUrl(d.rid);
    const bool folder = d.kind == QLatin1String("folder");
    const bool trashed = d.labels.contains(QStringLiteral("trashed"));
    out.reserve(4096);
    out += "<entry gd:etag='";
    out += A::escape(docEtag(d));
    out += "'><id>";
    out += docIdUrl(d.rid);
    out += "</id><published>";
    out += A::isoBytes(d.published);
    out += "</published><updated>";
    out += A::isoBytes(d.updated);
    out += "</updated><app:edited>";
    out += A::isoBytes(d.edited);
    out += "</app:edited>";
    category(out, "http://schemas.google.com/g/2005#kind",
             QStringLiteral("http://schemas.google.com/docs/2007#") + d.kind, labelForKind(d));
    QStringList labels(d.labels.begin(), d.labels.end());
    if (d.ownerEmail.compare(ownerEmail, Qt::CaseInsensitive) == 0)
        labels << QStringLiteral("mine");
    else
        labels << QStringLiteral("shared-with-me");
    if (d.modifiedByEmail.compare(ownerEmail, Qt::CaseInsensitive) == 0)
        labels << QStringLiteral("modified-by-me");
    if (d.acl.size() > 1)
        labels << QStringLiteral("shared");
    labels.sort();
    for (const QString& l : labels)
        category(out, kLabels, QString::fromLatin1(kLabels) + QLatin1Char('#') + l, l);
    out += "<title>";
    out += A::escape(d.title);
    out += "</title>";
    out += "<content type='";
    out += folder ? QByteArray("application/atom+xml;type=feed")
                  : (isNative(d.kind) ? QByteArray("text/html") : A::escape(d.mime));
    out += "' src='";
    out += A::escape(contentUrl(d));
    out += "'/>";
    for (const QString& p : d.parents) {
        auto it = docSeq.constFind(p);
        QString title;
        if (it != docSeq.constEnd()) {
            auto f = docs.find(*it);
            if (f != docs.end())
                title = f->second.title;
        }
        link(out, "http://schemas.google.com/docs/2007#parent", "application/atom+xml", docUrl(p),
             " title='" + A::escape(title) + '\'');
    }
    const QByteArray b = base.toUtf8();
    const QByteArray l = A::percent(d.local);
    QByteArray alternate;
    if (d.kind == QLatin1String("document"))
        alternate = b + "/document/d/" + l + "/edit?usp=docslist_api";
    else if (d.kind == QLatin1String("spreadsheet"))
        alternate = b + "/spreadsheet/ccc?key=" + l + "&usp=docslist_api";
    else if (d.kind == QLatin1String("presentation"))
        alternate = b + "/presentation/d/" + l + "/edit?usp=docslist_api";
    else if (d.kind == QLatin1String("drawing"))
        alternate = b + "/drawings/d/" + l + "/edit?usp=docslist_api";
    else if (d.kind == QLatin1String("form"))
        alternate = b + "/forms/d/" + l + "/edit?usp=docslist_api";
    else if (folder)
        alternate = b + "/folderview?id=" + l + "&usp=docslist_api";
    else
        alternate = b + "/file/d/" + l + "/edit?usp=docslist_api";
    link(out, "alternate", "text/html", alternate);
    if (folder) {
        link(out, "http://schemas.google.com/g/2005#resumable-create-media", "application/atom+xml",
             b + "/feeds/upload/create-session/default/private/full/" + A::percent(d.rid) + "/contents");
    } else {
        link(out, "http://schemas.google.com/g/2005#resumable-edit-media", "application/atom+xml",
             b + "/feeds/upload/create-session/default/private/full/" + A::percent(d.rid));
        link(out, "http://schemas.google.com/docs/2007/thumbnail", "image/png",
             b + "/feeds/vt?gd=true&id=" + l + "&v=" + QByteArray::number(d.version) + "&sz=s220");
    }
    link(out, "self", "application/atom+xml", self);
    link(out, "edit", "application/atom+xml", self);
    if (!folder) {
        // The type is the uploader's (quotes may stand in its parameters).
        link(out, "edit-media", isNative(d.kind) ? "text/html" : A::escape(d.mime).constData(),
             b + "/feeds/default/media/" + A::percent(d.rid));
    }
    person(out, "author", d.ownerEmail, d.ownerName);
    out += "<gd:resourceId>";
    out += A::escape(d.rid);
    out += "</gd:resourceId>";
    if (trashed)
        out += "<gd:deleted/>";
    out += "<docs:isShareable value='true'/>";
    person(out, "gd:lastModifiedBy", d.modifiedByEmail, d.modifiedByName);
    if (d.lastViewed.isValid()) {
        out += "<gd:lastViewed>";
        out += A::isoBytes(d.lastViewed);
        out += "</gd:lastViewed>";
    }
    out += "<gd:quotaBytesUsed>";
    out += QByteArray::number(isNative(d.kind) || folder ? 0 : d.content.size());
    out += "</gd:quotaBytesUsed>";
    out += "<docs:writersCanInvite value='";
    out += d.writersCanInvite ? "true" : "false";
    out += "'/>";
    if (trashed)
        out += "<docs:isExplicitlyTrashed value='true'/>";
    if (!folder && !isNative(d.kind)) {
        out += "<docs:md5Checksum>";
        out += d.md5.toUtf8();
        out += "</docs:md5Checksum><docs:filename>";
        out += A::escape(d.filename.isEmpty() ? d.title : d.filename);
        out += "</docs:filename><docs:suggestedFilename>";
        out += A::escape(d.filename.isEmpty() ? d.title : d.filename);
        out += "</docs:suggestedFilename><docs:size>";
        out += QByteArray::number(d.content.size());
        out += "</docs:size>";
    }
    for (const QByteArray& x : d.extras)
        out += x;
    out += "<gd:feedLink rel='http://schemas.google.com/acl/2007#accessControlList' href='";
    out += self;
    out += "/acl'";
    if (expandAcl) {
        out += '>';
        out += aclFeedBody(d);
        out += "</gd:feedLink>";
    } else {
        out += "/>";
    }
    out += "<gd:feedLink rel='http://schemas.google.com/docs/2007/revisions' href='";
    out += self;
    out += "/revisions'/>";
    out += "</entry>";
    return out;
}

QByteArray LocalServiceState::aclEntry(const Doc& d, const Acl& a) const
{
    QByteArray out;
    const QByteArray url = docUrl(d.rid) + "/acl/" + A::percent(a.id());
    out += "<entry gd:etag='";
    out += A::escape(aclEtag(d, a));
    out += "'><id>";
    out += docIdUrl(d.rid) + "/acl/" + A::percent(a.id());
    out += "</id><updated>";
    out += A::isoBytes(a.updated);
    out += "</updated><app:edited>";
    out += A::isoBytes(a.updated);
    out += "</app:edited>";
    category(out, "http://schemas.google.com/g/2005#kind",
             QStringLiteral("http://schemas.google.com/acl/2007#accessRule"), QString());
    out += "<title>Document Permission - ";
    out += A::escape(a.scopeValue.isEmpty() ? a.scopeType : a.scopeValue);
    out += "</title>";
    link(out, "self", "application/atom+xml", url);
    link(out, "edit", "application/atom+xml", url);
    auto roles = [&](QByteArray& o) {
        o += "<gAcl:role value='";
        o += A::escape(a.role);
        o += "'/>";
        for (const QString& r : a.additionalRoles) {
            o += "<gAcl:additionalRole value='";
            o += A::escape(r);
            o += "'/>";
        }
    };
    if (!a.key.isEmpty()) {
        out += "<gAcl:withKey key='";
        out += A::escape(a.key);
        out += "'>";
        roles(out);
        out += "</gAcl:withKey>";
    } else {
        roles(out);
    }
    out += "<gAcl:scope type='";
    out += A::escape(a.scopeType);
    out += '\'';
    if (a.scopeType != QLatin1String("default")) {
        out += " value='";
        out += A::escape(a.scopeValue);
        out += '\'';
    }
    out += "/></entry>";
    return out;
}

QByteArray LocalServiceState::aclFeedBody(const Doc& d) const
{
    QByteArray out;
    const QByteArray url = docUrl(d.rid) + "/acl";
    out += "<feed gd:etag='";
    out += A::escape(etag(d.rid + QStringLiteral("/acl"), d.version, true));
    out += "'><id>";
    out += docIdUrl(d.rid) + "/acl";
    out += "</id><updated>";
    out += A::isoBytes(d.edited);
    out += "</updated>";
    category(out, "http://schemas.google.com/g/2005#kind",
             QStringLiteral("http://schemas.google.com/acl/2007#accessRule"), QString());
    out += "<title>Document Permissions</title>";
    link(out, "http://schemas.google.com/g/2005#feed", "application/atom+xml", url);
    link(out, "http://schemas.google.com/g/2005#post", "application/atom+xml", url);
    link(out, "http://schemas.google.com/g/2005#batch", "application/atom+xml", url + "/batch");
    link(out, "self", "application/atom+xml", url);
    out += "<openSearch:totalResults>";
    out += QByteArray::number(d.acl.size());
    out += "</openSearch:totalResults><openSearch:startIndex>1</openSearch:startIndex>";
    for (const Acl& a : d.acl)
        out += aclEntry(d, a);
    out += "</feed>";
    return out;
}

const QByteArray& LocalServiceState::contactEntry(const Contact& c) const
{
    QByteArray& out = c.cache;
    if (!out.isEmpty())
        return out;
    out += "<entry gd:etag='";
    out += A::escape(contactEtag(c));
    out += "'><id>";
    out += base.toUtf8() + "/m8/feeds/contacts/" + A::percent(ownerEmail) + "/base/" + c.id.toUtf8();
    out += "</id><updated>";
    out += A::isoBytes(c.updated);
    out += "</updated><app:edited>";
    out += A::isoBytes(c.updated);
    out += "</app:edited>";
    category(out, "http://schemas.google.com/g/2005#kind",
             QStringLiteral("http://schemas.google.com/contact/2008#contact"), QString());
    out += "<title>";
    out += A::escape(c.title.isEmpty() ? c.fullName : c.title);
    out += "</title>";
    if (!c.notes.isEmpty()) {
        out += "<content>";
        out += A::escape(c.notes);
        out += "</content>";
    }
    link(out, "http://schemas.google.com/contacts/2008/rel#photo", "image/*", photoUrl(c),
         c.photo.isEmpty() ? QByteArray() : " gd:etag='" + A::escape(photoEtag(c)) + '\'');
    link(out, "self", "application/atom+xml", contactUrl(c));
    link(out, "edit", "application/atom+xml", contactUrl(c));
    if (c.deleted) {
        out += "<gd:deleted/>";
    } else {
        if (!c.fullName.isEmpty() || !c.givenName.isEmpty() || !c.familyName.isEmpty()) {
            out += "<gd:name>";
            if (!c.fullName.isEmpty())
                out += "<gd:fullName>" + A::escape(c.fullName) + "</gd:fullName>";
            if (!c.givenName.isEmpty())
                out += "<gd:givenName>" + A::escape(c.givenName) + "</gd:givenName>";
            if (!c.familyName.isEmpty())
                out += "<gd:familyName>" + A::escape(c.familyName) + "</gd:familyName>";
            out += "</gd:name>";
        }
        for (const Email& e : c.emails) {
            out += "<gd:email";
            if (!e.rel.isEmpty())
                out += " rel='" + A::escape(e.rel) + '\'';
            if (!e.label.isEmpty())
                out += " label='" + A::escape(e.label) + '\'';
            out += " address='" + A::escape(e.address) + '\'';
            if (e.primary)
                out += " primary='true'";
            out += "/>";
        }
        for (const QByteArray& x : c.extras)
            out += x;
    }
    out += "</entry>";
    return out;
}

QByteArray LocalServiceState::photoEntry(const Contact& c) const
{
    QByteArray out;
    out += "<entry gd:etag='";
    out += A::escape(photoEtag(c));
    out += "'><id>";
    out += photoUrl(c);
    out += "</id><updated>";
    out += A::isoBytes(c.updated);
    out += "</updated><app:edited>";
    out += A::isoBytes(c.updated);
    out += "</app:edited>";
    link(out, "self", "application/atom+xml", photoUrl(c));
    link(out, "edit", "application/atom+xml", photoUrl(c));
    out += "</entry>";
    return out;
}

qint64 LocalServiceState::quotaUsed(bool trashOnly) const
{
    qint64 total = 0;
    for (const auto& [seq, d] : docs) {
        if (trashOnly && !d.labels.contains(QStringLiteral("trashed")))
            continue;
        if (!isNative(d.kind) && d.kind != QLatin1String("folder") &&
            d.ownerEmail.compare(ownerEmail, Qt::CaseInsensitive) == 0)
            total += d.content.size();
    }
    return total;
}

QByteArray LocalServiceState::metadataEntry() const
{
    QByteArray out;
    const QByteArray url = base.toUtf8() + "/feeds/metadata/default";
    out += "<entry gd:etag='";
    out += A::escape(etag(QStringLiteral("metadata"), quint64(changestamp), true));
    out += "'><id>";
    out += base.toUtf8() + "/feeds/metadata/" + A::percent(ownerEmail);
    out += "</id><updated>";
    out += A::isoBytes(lastNow.isValid() ? lastNow : QDateTime::currentDateTimeUtc());
    out += "</updated>";
    category(out, "http://schemas.google.com/g/2005#kind",
             QStringLiteral("http://schemas.google.com/docs/2007#metadata"), QString());
    out += "<title>Document List User Metadata</title>";
    link(out, "self", "application/atom+xml", url);
    person(out, "author", ownerEmail, ownerName);
    out += "<gd:quotaBytesTotal>16106127360</gd:quotaBytesTotal><gd:quotaBytesUsed>";
    out += QByteArray::number(quotaUsed(false));
    out += "</gd:quotaBytesUsed><docs:quotaBytesUsedInTrash>";
    out += QByteArray::number(quotaUsed(true));
    out += "</docs:quotaBytesUsedInTrash><docs:largestChangestamp value='";
    out += QByteArray::number(changestamp);
    out += "'/><docs:remainingChangestamps value='0'/>";
    for (const char* kind : {"document", "spreadsheet", "presentation", "drawing", "file", "pdf"}) {
        out += "<docs:maxUploadSize kind='";
        out += kind;
        out += "'>10737418240</docs:maxUploadSize>";
    }
    out += "</entry>";
    return out;
}

QByteArray LocalServiceState::entryDocument(const QByteArray& entry)
{
    QByteArray out = "<?xml version='1.0' encoding='UTF-8'?><entry" + AtomText::namespaces();
    out += entry.mid(6); // after "<entry"
    return out;
}

QByteArray LocalServiceState::withTail(const QByteArray& entry, const QByteArray& tail)
{
    return entry.left(entry.size() - 8) + tail + "</entry>";
}

} // namespace tavrel::localservice
