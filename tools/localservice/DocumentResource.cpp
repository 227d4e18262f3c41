#include "DocumentResource.h"

#include "AccessRoles.h"
#include "AtomText.h"
#include "BatchFeed.h"
#include "Precondition.h"

#include <QCryptographicHash>

namespace tavrel::localservice {

namespace {
using A = AtomText;
using State = LocalServiceState;

const QStringList kSettableLabels = {QStringLiteral("starred"), QStringLiteral("trashed"),
                                     QStringLiteral("viewed"), QStringLiteral("hidden")};

// Why the account may not make the change the entry asks for; empty when it may. Marks of one's own
// (starred, viewed, hidden) are anyone's; the title and the trash are the writers'; whether writers may
// share is the owner's.
QByteArray changeRefusal(const State::Doc& d, const DocInput& in, const QString& account)
{
    const bool retitles = in.hasTitle && !in.title.trimmed().isEmpty() && in.title != d.title;
    const bool trashes =
        in.labels.contains(QStringLiteral("trashed")) != d.labels.contains(QStringLiteral("trashed"));
    const bool invites = in.hasWritersCanInvite && in.writersCanInvite != d.writersCanInvite;
    if ((retitles || trashes) && !AccessRoles::canEdit(d, account))
        return AccessRoles::kNotPermitted;
    if (invites && !AccessRoles::isOwner(d, account))
        return AccessRoles::kNotPermitted;
    return {};
}

// Trashing is the writers', deleting for good the owner's.
QByteArray removalRefusal(const State::Doc& d, bool permanent, const QString& account)
{
    if (permanent ? !AccessRoles::isOwner(d, account) : !AccessRoles::canEdit(d, account))
        return AccessRoles::kNotPermitted;
    return {};
}
} // namespace

DocumentResource::DocumentResource(LocalServiceState& state) : m_state(state) {}

Response DocumentResource::get(const Request& r, const QString& rid, bool expand)
{
    const State::Doc* d = m_state.doc(rid);
    if (!d)
        return Response::text(404, "Not Found");
    if (r.header("if-none-match") == m_state.docEtag(*d)) {
        Response out = Response::text(304, {});
        out.header("ETag", m_state.docEtag(*d).toUtf8());
        return out;
    }
    return entryResponse(200, *d, expand);
}

Response DocumentResource::put(const Request& r, const QString& rid, bool expand)
{
    State::Doc* d = m_state.doc(rid);
    if (!d)
        return Response::text(404, "Not Found");
    pugi::xml_document doc;
    if (!doc.load_buffer(r.body.constData(), size_t(r.body.size())) ||
        !A::is(doc.document_element(), A::kAtom, "entry"))
        return Response::text(400, "Invalid request URI or entry: the body is not an Atom entry");
    const DocInput in = DocInput::read(doc.document_element());
    if (const QByteArray refusal = changeRefusal(*d, in, r.account); !refusal.isEmpty())
        return AccessRoles::forbidden(refusal);
    QString sent = r.header("if-match");
    if (sent.isEmpty())
        sent = in.etag;
    if (auto refused = Precondition::refused(sent, m_state.docEtag(*d), d->version, true))
        return *refused;
    const bool wasViewed = d->labels.contains(QStringLiteral("viewed"));
    applyInput(*d, in, true);
    if (!wasViewed && d->labels.contains(QStringLiteral("viewed")))
        d->lastViewed = m_state.now();
    d->modifiedByEmail = m_state.ownerEmail;
    d->modifiedByName = m_state.ownerName;
    m_state.touch(*d);
    return entryResponse(200, *d, expand);
}

Response DocumentResource::remove(const Request& r, const QString& rid)
{
    State::Doc* d = m_state.doc(rid);
    if (!d)
        return Response::text(404, "Not Found");
    if (const QByteArray refusal = removalRefusal(*d, r.flag("delete"), r.account); !refusal.isEmpty())
        return AccessRoles::forbidden(refusal);
    const QString sent = r.header("if-match");
    if (auto refused = Precondition::refused(sent, m_state.docEtag(*d), d->version, true))
        return *refused;
    if (r.flag("delete"))
        m_state.removeDoc(rid);
    else {
        trash(*d, true);
        m_state.touch(*d);
    }
    return Response::html(200, {});
}

Response DocumentResource::create(const Request& r, const QString& folder, bool expand)
{
    pugi::xml_document doc;
    if (!doc.load_buffer(r.body.constData(), size_t(r.body.size())) ||
        !A::is(doc.document_element(), A::kAtom, "entry"))
        return Response::text(400, "Invalid request URI or entry: the body is not an Atom entry");
    const DocInput in = DocInput::read(doc.document_element());
    // What goes into a collection changes it: the collection's writers' and its owner's.
    if (const State::Doc* f = folder.isEmpty() ? nullptr : m_state.doc(folder);
        f && !AccessRoles::canEdit(*f, r.account))
        return AccessRoles::forbidden(AccessRoles::kNotPermitted);
    // An entry naming an existing document, posted to a folder's contents, puts it into the folder.
    if (!folder.isEmpty() && !in.id.isEmpty() && m_state.doc(in.id)) {
        State::Doc* d = m_state.doc(in.id);
        // Only what the account can open goes into its collections.
        if (AccessRoles::rankOf(*d, r.account) == AccessRoles::None)
            return AccessRoles::forbidden(AccessRoles::kNotPermitted);
        // As the real service: no collection inside itself, however many collections lie between.
        if (d->kind == QLatin1String("folder") && m_state.isWithin(folder, d->rid))
            return Response::text(400, "Invalid request: a collection cannot be put inside itself");
        if (!d->parents.contains(folder)) {
            d->parents.append(folder);
            m_state.touch(*d, false);
        }
        const QByteArray location = m_state.docUrl(folder) + "/contents/" + A::percent(d->rid);
        return entryResponse(201, *d, expand, location);
    }
    if (!folder.isEmpty() && !in.id.isEmpty())
        return Response::text(404, "Not Found: " + in.id.toUtf8());
    // An entry naming a document and no kind, posted to the list, asks for a copy of it.
    if (folder.isEmpty() && !in.id.isEmpty() && in.kind.isEmpty())
        return copy(r, in, expand);
    if (in.kind.isEmpty())
        return Response::text(400, "Invalid request: the entry has no kind category");
    State::Doc& d = createDoc(in, in.kind, folder);
    return entryResponse(201, d, expand, m_state.docUrl(d.rid));
}

Response DocumentResource::copy(const Request& r, const DocInput& in, bool expand)
{
    const State::Doc* source = m_state.doc(in.id);
    if (!source)
        return Response::text(404, "Not Found: " + in.id.toUtf8());
    if (AccessRoles::rankOf(*source, r.account) == AccessRoles::None)
        return AccessRoles::forbidden(AccessRoles::kNotPermitted);
    if (source->kind == QLatin1String("folder"))
        return Response::text(400, "Invalid request: a collection cannot be copied");
    DocInput copied = in;
    if (!copied.hasTitle || copied.title.trimmed().isEmpty())
        copied.title = QStringLiteral("Copy of ") + source->title;
    copied.hasTitle = true;
    copied.extras = source->extras;
    const State::Doc original = *source; // createDoc may move the documents around
    State::Doc& d = createDoc(copied, original.kind, {});
    d.content = original.content;
    d.md5 = original.md5;
    d.mime = original.mime;
    d.filename = original.filename;
    d.cache[0].clear();
    d.cache[1].clear();
    return entryResponse(201, d, expand, m_state.docUrl(d.rid));
}

Response DocumentResource::removeFromFolder(const Request& r, const QString& folder, const QString& rid)
{
    State::Doc* d = m_state.doc(rid);
    if (!d || !d->parents.contains(folder))
        return Response::text(404, "Not Found");
    if (const State::Doc* f = m_state.doc(folder); f && !AccessRoles::canEdit(*f, r.account))
        return AccessRoles::forbidden(AccessRoles::kNotPermitted);
    const QString sent = r.header("if-match");
    if (auto refused = Precondition::refused(sent, m_state.docEtag(*d), d->version, false))
        return *refused;
    d->parents.removeAll(folder);
    m_state.touch(*d, false);
    return Response::html(200, {});
}

Response DocumentResource::batch(const Request& r, bool expand)
{
    pugi::xml_document doc;
    QList<BatchFeed::Item> items;
    if (!BatchFeed::read(r.body, doc, items))
        return Response::text(400, "Invalid batch feed");
    const bool permanent = r.flag("delete");
    QByteArray out = BatchFeed::head(m_state.base.toUtf8() + "/feeds/id/batch/" +
                                     QByteArray::number(QDateTime::currentMSecsSinceEpoch()));
    int success = 0, failures = 0, parsed = 0;
    for (const BatchFeed::Item& item : items) {
        ++parsed;
        if (!BatchFeed::isOperation(item.operation)) {
            out += BatchFeed::interrupted(QStringLiteral("Unknown batch operation: ") + item.operation,
                                          success, failures, parsed);
            break;
        }
        const DocInput in = DocInput::read(item.entry);
        const QString entryIdText = A::text(item.entry, A::kAtom, "id").trimmed();
        auto fail = [&](int code, const QString& reason) {
            ++failures;
            out += BatchFeed::error(entryIdText.isEmpty() ? item.batchId : entryIdText,
                                    code == 412 || code == 400 ? QStringLiteral("Error")
                                                               : BatchFeed::reasonFor(code),
                                    code, reason, reason, item.batchId, item.operation);
        };
        if (item.operation == QLatin1String("insert")) {
            if (in.kind.isEmpty()) {
                fail(400, QStringLiteral("Missing kind category"));
                continue;
            }
            State::Doc& d = createDoc(in, in.kind, {});
            out += State::withTail(
                m_state.docEntry(d, expand),
                BatchFeed::tail(item.batchId, 201, BatchFeed::reasonFor(201), item.operation));
            ++success;
            continue;
        }
        if (in.id.isEmpty()) {
            fail(400, QStringLiteral("Missing entry id"));
            continue;
        }
        State::Doc* d = m_state.doc(in.id);
        if (!d) {
            fail(404, BatchFeed::reasonFor(404));
            continue;
        }
        if (item.operation == QLatin1String("query")) {
            // A query names the entry by its address, not by its atom id.
            if (entryIdText.contains(QLatin1String("/feeds/id/"))) {
                fail(404, BatchFeed::reasonFor(404));
                continue;
            }
            out += State::withTail(
                m_state.docEntry(*d, expand),
                BatchFeed::tail(item.batchId, 200, BatchFeed::reasonFor(200), item.operation));
            ++success;
            continue;
        }
        // Inside a batch an entity tag is compared as it stands: "*" forces nothing there.
        if (!in.etag.isEmpty() && (in.etag.trimmed() == QLatin1String("*") ||
                                   !Precondition::matches(in.etag, m_state.docEtag(*d)))) {
            fail(412, Precondition::mismatchText(in.etag, d->version));
            continue;
        }
        // An update replaces the entry: one without its kind is no entry of the list.
        if (item.operation == QLatin1String("update") && in.kind.isEmpty()) {
            fail(400, QStringLiteral("Missing kind category"));
            continue;
        }
        const QByteArray refusal = item.operation == QLatin1String("update")
                                       ? changeRefusal(*d, in, r.account)
                                       : removalRefusal(*d, permanent, r.account);
        if (!refusal.isEmpty()) {
            fail(403, QString::fromUtf8(refusal));
            continue;
        }
        if (item.operation == QLatin1String("update")) {
            applyInput(*d, in, true);
            d->modifiedByEmail = m_state.ownerEmail;
            d->modifiedByName = m_state.ownerName;
            m_state.touch(*d);
            out += State::withTail(
                m_state.docEntry(*d, expand),
                BatchFeed::tail(item.batchId, 200, BatchFeed::reasonFor(200), item.operation));
        } else {
            const QString title = d->title;
            const QByteArray idUrl = m_state.docIdUrl(d->rid);
            if (permanent) {
                m_state.removeDoc(d->rid);
            } else {
                trash(*d, true);
                m_state.touch(*d);
            }
            out += "<entry><id>" + idUrl + "</id><updated>" + A::isoBytes(QDateTime::currentDateTimeUtc()) +
                   "</updated><title>" + A::escape(title) + "</title><content>Deleted</content>" +
                   BatchFeed::tail(item.batchId, 200, BatchFeed::reasonFor(200), item.operation) + "</entry>";
        }
        ++success;
    }
    out += "</feed>";
    return Response::xml(200, Response::kAtomFeed, out);
}

Response DocumentResource::entryResponse(int status, const State::Doc& d, bool expand,
                                         const QByteArray& location) const
{
    Response out =
        Response::xml(status, Response::kAtomEntry, State::entryDocument(m_state.docEntry(d, expand)));
    out.header("ETag", m_state.docEtag(d).toUtf8());
    if (!location.isEmpty()) {
        out.header("Location", location);
        out.header("Content-Location", location);
    }
    return out;
}

void DocumentResource::applyInput(State::Doc& d, const DocInput& in, bool replaceLabels)
{
    if (in.hasTitle && !in.title.trimmed().isEmpty())
        d.title = in.title;
    if (replaceLabels) {
        for (const QString& l : kSettableLabels) {
            if (in.labels.contains(l))
                d.labels.insert(l);
            else
                d.labels.remove(l);
        }
    }
    if (d.labels.contains(QStringLiteral("viewed")) && !d.lastViewed.isValid())
        d.lastViewed = m_state.now();
    if (in.hasWritersCanInvite)
        d.writersCanInvite = in.writersCanInvite;
    d.extras = in.extras;
}

State::Doc& DocumentResource::createDoc(const DocInput& in, const QString& kind, const QString& folder)
{
    State::Doc d;
    d.kind = kind;
    d.title = in.title.trimmed().isEmpty() ? QStringLiteral("Untitled") : in.title;
    if (kind == QLatin1String("pdf"))
        d.mime = QStringLiteral("application/pdf");
    if (!folder.isEmpty())
        d.parents << folder;
    applyInput(d, in, true);
    d.labels.insert(QStringLiteral("viewed"));
    d.lastViewed = m_state.now();
    d.published = d.lastViewed;
    d.md5 = QString::fromLatin1(QCryptographicHash::hash(d.content, QCryptographicHash::Md5).toHex());
    return m_state.insertDoc(std::move(d));
}

void DocumentResource::trash(State::Doc& d, bool on)
{
    if (on)
        d.labels.insert(QStringLiteral("trashed"));
    else
        d.labels.remove(QStringLiteral("trashed"));
}

} // namespace tavrel::localservice
