#include "DocumentFeedResource.h"

#include "AtomText.h"
#include "FeedPaging.h"

#include <QUrl>
#include <algorithm>
#include <deque>
#include <vector>

namespace tavrel::localservice {

namespace {
using A = AtomText;
using State = LocalServiceState;
} // namespace

DocumentFeedResource::DocumentFeedResource(LocalServiceState& state) : m_state(state) {}

Response DocumentFeedResource::list(const Request& r, const QString& projection,
                                    const QStringList& categories, const QString& folder)
{
    const bool expand = projection == QLatin1String("expandAcl") || r.flag("expand-acl");
    bool showFolders = r.flag("showfolders") || !folder.isEmpty();
    bool showDeleted = r.flag("showdeleted");
    // Category path: AND of terms, "|" for OR inside a term, "-" to negate.
    QList<QStringList> terms;
    for (const QString& c : categories) {
        QStringList alternatives = c.split(QLatin1Char('|'), Qt::SkipEmptyParts);
        for (QString& a : alternatives) {
            a = QUrl::fromPercentEncoding(a.toUtf8());
            a = a.section(QLatin1Char('#'), -1);
            a = a.section(QLatin1Char('}'), -1);
            if (a == QLatin1String("folder"))
                showFolders = true;
            if (a == QLatin1String("trashed"))
                showDeleted = true;
        }
        terms.append(alternatives);
    }
    const QString q = r.param("q").trimmed();
    const QString title = r.param("title");
    const bool titleExact = r.flag("title-exact");
    auto matches = [&](const State::Doc& d) {
        const bool isFolder = d.kind == QLatin1String("folder");
        if (isFolder && !showFolders)
            return false;
        if (d.labels.contains(QStringLiteral("trashed")) && !showDeleted)
            return false;
        if (!folder.isEmpty() && !d.parents.contains(folder))
            return false;
        if (!q.isEmpty() && !d.title.contains(q, Qt::CaseInsensitive))
            return false;
        if (!title.isEmpty()) {
            if (titleExact ? d.title.compare(title, Qt::CaseInsensitive) != 0
                           : !d.title.contains(title, Qt::CaseInsensitive))
                return false;
        }
        for (const QStringList& alternatives : terms) {
            bool any = false;
            for (const QString& a : alternatives) {
                const bool negate = a.startsWith(QLatin1Char('-'));
                const QString t = negate ? a.mid(1) : a;
                bool has = d.kind == t || d.labels.contains(t);
                if (t == QLatin1String("mine"))
                    has = d.ownerEmail.compare(m_state.ownerEmail, Qt::CaseInsensitive) == 0;
                if (has != negate)
                    any = true;
            }
            if (!any)
                return false;
        }
        return true;
    };

    const int size = FeedPaging::pageSize(r);
    auto it = m_state.docs.begin();
    int startIndex = 1;
    if (r.query.contains(QStringLiteral("start-key"))) {
        const qint64 key = r.param("start-key").mid(1).toLongLong();
        it = m_state.docs.lower_bound(key);
    } else if (r.query.contains(QStringLiteral("start-index"))) {
        startIndex = std::max(1, r.param("start-index").toInt());
        int skip = startIndex - 1;
        while (it != m_state.docs.end() && skip > 0) {
            if (matches(it->second))
                --skip;
            ++it;
        }
    }
    // The page's serialised entries stay in their documents' caches while the lock is held; those given
    // the root as parent are copies.
    const bool showRoot = r.flag("showroot");
    std::deque<QByteArray> rooted;
    std::vector<const QByteArray*> page;
    qint64 pageBytes = 0;
    int count = 0;
    qint64 nextKey = -1;
    for (; it != m_state.docs.end(); ++it) {
        if (!matches(it->second))
            continue;
        if (count == size) {
            nextKey = it->first;
            break;
        }
        page.push_back(&m_state.docEntry(it->second, expand));
        if (showRoot && m_state.inRoot(it->second)) {
            rooted.push_back(m_state.withRootParent(*page.back()));
            page.back() = &rooted.back();
        }
        pageBytes += page.back()->size();
        ++count;
    }
    const QByteArray selfUrl = m_state.base.toUtf8() + r.rawTarget.toUtf8();
    QByteArray postUrl = folder.isEmpty()
                             ? m_state.base.toUtf8() + "/feeds/default/private/" + projection.toUtf8()
                             : m_state.docUrl(folder) + "/contents";
    const QByteArray etag = m_state.etag(r.rawTarget, quint64(m_state.changestamp), true).toUtf8();
    if (r.header("if-none-match") == QString::fromUtf8(etag)) {
        Response out = Response::text(304, {});
        out.header("ETag", etag);
        return out;
    }
    QString feedTitle = QStringLiteral("Available Documents - ") + m_state.ownerEmail;
    if (!folder.isEmpty())
        feedTitle = m_state.doc(folder)->title;
    QByteArray out = feedHead(m_state.base.toUtf8() + "/feeds/default/private/" + projection.toUtf8() +
                                  (folder.isEmpty() ? QByteArray() : '/' + A::percent(folder) + "/contents"),
                              feedTitle, selfUrl, postUrl, etag, projection);
    if (nextKey >= 0) {
        out += "<link rel='next' type='application/atom+xml' href='" +
               A::escape(FeedPaging::pageUrl(m_state.base, r, QStringLiteral("start-index"),
                                             QStringLiteral("start-key"), QStringLiteral("start-key"),
                                             QLatin1Char('k') + QString::number(nextKey))) +
               "'/>";
    }
    out += "<author><name>" + A::escape(m_state.ownerName) + "</name><email>" +
           A::escape(m_state.ownerEmail) + "</email></author>";
    out += "<openSearch:startIndex>" + QByteArray::number(startIndex) + "</openSearch:startIndex>";
    out += "<openSearch:itemsPerPage>" + QByteArray::number(size) + "</openSearch:itemsPerPage>";
    out.reserve(out.size() + pageBytes + 16);
    for (const QByteArray* entry : page)
        out += *entry;
    out += "</feed>";
    Response resp = Response::xml(200, Response::kAtomFeed, out);
    resp.header("ETag", etag);
    return resp;
}

Response DocumentFeedResource::changes(const Request& r)
{
    const bool expand = r.flag("expand-acl");
    const int size = FeedPaging::pageSize(r);
    const qint64 start = std::max<qint64>(1, r.param("start-index").toLongLong());
    QByteArray entries;
    entries.reserve(size * 4096);
    int count = 0;
    qint64 next = -1;
    for (auto it = m_state.changes.lower_bound(start); it != m_state.changes.end(); ++it) {
        if (count == size) {
            next = it->first;
            break;
        }
        const State::ChangeRecord& c = it->second;
        const QByteArray stamp = "<docs:changestamp value='" + QByteArray::number(it->first) + "'/>";
        if (c.removed) {
            entries += "<entry><id>" + m_state.docIdUrl(c.rid) + "</id><updated>" + A::isoBytes(c.when) +
                       "</updated><category scheme='http://schemas.google.com/g/2005#kind' "
                       "term='http://schemas.google.com/docs/2007#" +
                       A::escape(c.kind) + "' label='" + A::escape(c.kind) + "'/><title>" +
                       A::escape(c.title) + "</title><gd:resourceId>" + A::escape(c.rid) +
                       "</gd:resourceId>" + stamp + "<docs:removed/></entry>";
        } else if (const State::Doc* d = m_state.doc(c.rid)) {
            entries += State::withTail(m_state.docEntry(*d, expand), stamp);
        }
        ++count;
    }
    const QByteArray selfUrl = m_state.base.toUtf8() + r.rawTarget.toUtf8();
    const QByteArray etag = m_state.etag(r.rawTarget, quint64(m_state.changestamp), true).toUtf8();
    QByteArray out = feedHead(m_state.base.toUtf8() + "/feeds/default/private/changes",
                              QStringLiteral("Available Changes - ") + m_state.ownerEmail, selfUrl,
                              m_state.base.toUtf8() + "/feeds/default/private/full", etag);
    if (next >= 0) {
        out += "<link rel='next' type='application/atom+xml' href='" +
               A::escape(FeedPaging::pageUrl(m_state.base, r, QStringLiteral("start-index"), QString(),
                                             QStringLiteral("start-index"), QString::number(next))) +
               "'/>";
    }
    out += "<author><name>" + A::escape(m_state.ownerName) + "</name><email>" +
           A::escape(m_state.ownerEmail) + "</email></author>";
    out += "<openSearch:startIndex>1</openSearch:startIndex><openSearch:itemsPerPage>" +
           QByteArray::number(size) + "</openSearch:itemsPerPage>";
    out += "<docs:largestChangestamp value='" + QByteArray::number(m_state.changestamp) + "'/>";
    out += entries;
    out += "</feed>";
    Response resp = Response::xml(200, Response::kAtomFeed, out);
    resp.header("ETag", etag);
    return resp;
}

QString DocumentFeedResource::revisionEtag(const State::Doc& d, int number) const
{
    // Only the latest revision changes (with the document); earlier ones stay as they were.
    return m_state.etag(d.rid + QStringLiteral("/revisions/") + QString::number(number),
                        number == d.revisions ? d.version : 1);
}

QByteArray DocumentFeedResource::revisionEntry(const State::Doc& d, int number) const
{
    const QByteArray n = QByteArray::number(number);
    const QByteArray self = m_state.docUrl(d.rid) + "/revisions/" + n;
    QByteArray content = m_state.contentUrl(d);
    content += (content.contains('?') ? "&revision=" : "?revision=") + n;
    QByteArray out = "<entry gd:etag='" + A::escape(revisionEtag(d, number)) + "'><id>" +
                     m_state.docIdUrl(d.rid) + "/revisions/" + n + "</id><updated>" + A::isoBytes(d.updated) +
                     "</updated><title>Revision " + n + "</title><content type='" +
                     (State::isNative(d.kind) ? QByteArray("text/html") : A::escape(d.mime)) + "' src='" +
                     A::escape(content) + "'/><link rel='self' type='application/atom+xml' href='" +
                     A::escape(self) + "'/><author><name>" + A::escape(d.modifiedByName) + "</name><email>" +
                     A::escape(d.modifiedByEmail) + "</email></author></entry>";
    return out;
}

Response DocumentFeedResource::revisions(const QString& rid)
{
    const State::Doc* d = m_state.doc(rid);
    if (!d || d->kind == QLatin1String("folder"))
        return Response::text(404, "Not Found");
    const QByteArray url = m_state.docUrl(rid) + "/revisions";
    QByteArray out = Response::kXmlHeader;
    out += "<feed" + AtomText::namespaces() + "><id>" + url + "</id><updated>" + A::isoBytes(d->updated) +
           "</updated><title>Revisions</title><link rel='self' type='application/atom+xml' href='" +
           A::escape(url) + "'/>";
    for (int i = 1; i <= d->revisions; ++i)
        out += revisionEntry(*d, i);
    out += "</feed>";
    return Response::xml(200, Response::kAtomFeed, out);
}

Response DocumentFeedResource::revision(const QString& rid, const QString& number)
{
    const State::Doc* d = m_state.doc(rid);
    bool ok = false;
    const int n = number.toInt(&ok);
    if (!d || d->kind == QLatin1String("folder") || !ok || n < 1 || n > d->revisions)
        return Response::text(404, "Not Found");
    const QByteArray entry = revisionEntry(*d, n);
    Response out = Response::xml(200, Response::kAtomEntry, State::entryDocument(entry));
    out.header("ETag", revisionEtag(*d, n).toUtf8());
    return out;
}

Response DocumentFeedResource::metadata() const
{
    return Response::xml(200, Response::kAtomEntry, State::entryDocument(m_state.metadataEntry()));
}

QByteArray DocumentFeedResource::feedHead(const QByteArray& id, const QString& title,
                                          const QByteArray& selfUrl, const QByteArray& postUrl,
                                          const QByteArray& etag, const QString& projection) const
{
    QByteArray out;
    out += Response::kXmlHeader;
    out += "<feed";
    out += AtomText::namespaces();
    out += " gd:etag='" + A::escape(etag) + "'><id>";
    out += A::escape(id);
    out += "</id><updated>";
    out += A::isoBytes(QDateTime::currentDateTimeUtc());
    out += "</updated><category scheme='http://schemas.google.com/g/2005#kind' "
           "term='http://schemas.google.com/docs/2007#item' label='item'/><title>";
    out += A::escape(title);
    out += "</title>";
    const QByteArray b = m_state.base.toUtf8();
    out += "<link rel='alternate' type='text/html' href='" + A::escape(b) + "'/>";
    out += "<link rel='http://schemas.google.com/g/2005#resumable-create-media' type='application/atom+xml' "
           "href='" +
           A::escape(b + "/feeds/upload/create-session/default/private/full") + "'/>";
    out += "<link rel='http://schemas.google.com/g/2005#feed' type='application/atom+xml' href='" +
           A::escape(postUrl) + "'/>";
    out += "<link rel='http://schemas.google.com/g/2005#post' type='application/atom+xml' href='" +
           A::escape(postUrl) + "'/>";
    out += "<link rel='http://schemas.google.com/g/2005#batch' type='application/atom+xml' href='" +
           A::escape(b + "/feeds/default/private/" + projection.toUtf8() + "/batch") + "'/>";
    out += "<link rel='self' type='application/atom+xml' href='" + A::escape(selfUrl) + "'/>";
    return out;
}

} // namespace tavrel::localservice
