#include "ContactResource.h"

#include "AtomText.h"
#include "BatchFeed.h"
#include "FeedPaging.h"
#include "Precondition.h"

#include <QStringList>
#include <algorithm>
#include <pugixml.hpp>

namespace tavrel::localservice {

namespace {
using A = AtomText;
using State = LocalServiceState;

struct ContactInput
{
    QString title, fullName, givenName, familyName, notes, etag, id;
    bool hasName = false;
    QList<State::Email> emails;
    QList<QByteArray> extras;
};

ContactInput readContactEntry(const pugi::xml_node& entry)
{
    ContactInput in;
    in.etag = A::attribute(entry, "etag");
    for (pugi::xml_node c = entry.first_child(); c; c = c.next_sibling()) {
        if (c.type() != pugi::node_element)
            continue;
        const QString ns = A::namespaceOf(c);
        const QString local = A::localName(c.name());
        if (ns == QLatin1String(A::kAtom)) {
            if (local == QLatin1String("title"))
                in.title = QString::fromUtf8(c.text().get()).trimmed();
            else if (local == QLatin1String("content"))
                in.notes = QString::fromUtf8(c.text().get());
            else if (local == QLatin1String("id"))
                in.id = QString::fromUtf8(c.text().get()).trimmed();
            continue; // links, categories, times: the service's own
        }
        if (ns == QLatin1String(A::kApp) || ns == QLatin1String(A::kBatch))
            continue;
        if (ns == QLatin1String(A::kGd) && local == QLatin1String("name")) {
            in.hasName = true;
            in.fullName = A::text(c, A::kGd, "fullName").trimmed();
            in.givenName = A::text(c, A::kGd, "givenName").trimmed();
            in.familyName = A::text(c, A::kGd, "familyName").trimmed();
            continue;
        }
        if (ns == QLatin1String(A::kGd) && local == QLatin1String("email")) {
            State::Email e;
            e.address = QString::fromUtf8(c.attribute("address").value());
            e.rel = QString::fromUtf8(c.attribute("rel").value());
            e.label = QString::fromUtf8(c.attribute("label").value());
            e.primary = QString::fromUtf8(c.attribute("primary").value()) == QLatin1String("true");
            in.emails.append(e);
            continue;
        }
        if (ns == QLatin1String(A::kGd) && local == QLatin1String("deleted"))
            continue;
        in.extras.append(A::serializeStandalone(c));
    }
    return in;
}

void applyContact(State::Contact& c, const ContactInput& in)
{
    c.fullName = in.fullName;
    if (c.fullName.isEmpty())
        c.fullName = (in.givenName + QLatin1Char(' ') + in.familyName).trimmed();
    if (c.fullName.isEmpty())
        c.fullName = in.title;
    c.givenName = in.givenName;
    c.familyName = in.familyName;
    // The service splits a full name that comes alone, as the real one does.
    if (c.givenName.isEmpty() && c.familyName.isEmpty() && !c.fullName.isEmpty()) {
        const int space = c.fullName.indexOf(QLatin1Char(' '));
        c.givenName = space < 0 ? c.fullName : c.fullName.left(space);
        c.familyName = space < 0 ? QString() : c.fullName.mid(space + 1).trimmed();
    }
    // The title is the service's own: it follows the name, whatever title came with it.
    c.title = c.fullName;
    c.notes = in.notes;
    c.emails = in.emails;
    c.extras = in.extras;
}
} // namespace

ContactResource::ContactResource(LocalServiceState& state) : m_state(state) {}

Response ContactResource::feed(const Request& r)
{
    const bool showDeleted = r.flag("showdeleted");
    const QDateTime updatedMin =
        r.query.contains(QStringLiteral("updated-min")) ? A::parseTime(r.param("updated-min")) : QDateTime();
    auto matches = [&](const State::Contact& c) {
        if (c.deleted && !showDeleted)
            return false;
        if (updatedMin.isValid() && c.updated < updatedMin)
            return false;
        return true;
    };
    const int size = FeedPaging::pageSize(r);
    const int startIndex = std::max(1, r.param("start-index").toInt());
    int skip = startIndex - 1;
    QByteArray entries;
    int count = 0, total = 0;
    bool more = false;
    for (const auto& [seq, c] : m_state.contacts) {
        if (!matches(c))
            continue;
        ++total;
        if (skip > 0) {
            --skip;
            continue;
        }
        if (count == size) {
            more = true;
            continue;
        }
        entries += m_state.contactEntry(c);
        ++count;
    }
    const QByteArray etag =
        m_state.etag(QStringLiteral("contacts") + r.rawTarget, m_state.contactsVersion, true).toUtf8();
    if (r.header("if-none-match") == QString::fromUtf8(etag)) {
        Response out = Response::text(304, {});
        out.header("ETag", etag);
        return out;
    }
    const QByteArray feedUrl = m_state.contactsFeedUrl();
    QByteArray out = Response::kXmlHeader;
    out += "<feed" + AtomText::namespaces() + " gd:etag='" + A::escape(etag) + "'><id>" +
           A::escape(m_state.ownerEmail) + "</id><updated>" + A::isoBytes(QDateTime::currentDateTimeUtc()) +
           "</updated><category scheme='http://schemas.google.com/g/2005#kind' "
           "term='http://schemas.google.com/contact/2008#contact'/><title>" +
           A::escape(m_state.ownerName) + "'s Contacts</title>";
    out += "<link rel='alternate' type='text/html' href='" + A::escape(m_state.base.toUtf8()) + "'/>";
    out += "<link rel='http://schemas.google.com/g/2005#feed' type='application/atom+xml' href='" + feedUrl +
           "'/>";
    out += "<link rel='http://schemas.google.com/g/2005#post' type='application/atom+xml' href='" + feedUrl +
           "'/>";
    out += "<link rel='http://schemas.google.com/g/2005#batch' type='application/atom+xml' href='" + feedUrl +
           "/batch'/>";
    out += "<link rel='self' type='application/atom+xml' href='" +
           A::escape(m_state.base.toUtf8() + r.rawTarget.toUtf8()) + "'/>";
    if (more) {
        out += "<link rel='next' type='application/atom+xml' href='" +
               A::escape(FeedPaging::pageUrl(m_state.base, r, QStringLiteral("start-index"), QString(),
                                             QStringLiteral("start-index"),
                                             QString::number(startIndex + count))) +
               "'/>";
    }
    out +=
        "<author><name>" + A::escape(m_state.ownerName) + "</name><email>" + A::escape(m_state.ownerEmail) +
        "</email></author><generator version='1.0' uri='http://www.google.com/m8/feeds'>Contacts</generator>";
    out += "<openSearch:totalResults>" + QByteArray::number(total) +
           "</openSearch:totalResults><openSearch:startIndex>" + QByteArray::number(startIndex) +
           "</openSearch:startIndex><openSearch:itemsPerPage>" + QByteArray::number(size) +
           "</openSearch:itemsPerPage>";
    out += entries;
    out += "</feed>";
    Response resp = Response::xml(200, Response::kAtomFeed, out);
    resp.header("ETag", etag);
    return resp;
}

Response ContactResource::get(const Request& r, const QString& id)
{
    const State::Contact* c = m_state.contact(id);
    if (!c || c->deleted)
        return Response::text(404, "Contact not found.");
    if (r.header("if-none-match") == m_state.contactEtag(*c))
        return Response::text(304, {});
    Response out = Response::xml(200, Response::kAtomEntry, State::entryDocument(m_state.contactEntry(*c)));
    out.header("ETag", m_state.contactEtag(*c).toUtf8());
    return out;
}

Response ContactResource::create(const Request& r)
{
    pugi::xml_document doc;
    if (!doc.load_buffer(r.body.constData(), size_t(r.body.size())) ||
        !A::is(doc.document_element(), A::kAtom, "entry"))
        return Response::text(400, "Invalid contact entry");
    State::Contact c;
    applyContact(c, readContactEntry(doc.document_element()));
    State::Contact& stored = m_state.insertContact(std::move(c));
    Response out =
        Response::xml(201, Response::kAtomEntry, State::entryDocument(m_state.contactEntry(stored)));
    out.header("ETag", m_state.contactEtag(stored).toUtf8());
    out.header("Location", m_state.contactUrl(stored));
    out.header("Content-Location", m_state.contactUrl(stored));
    return out;
}

Response ContactResource::put(const Request& r, const QString& id)
{
    State::Contact* c = m_state.contact(id);
    if (!c || c->deleted)
        return Response::text(404, "Contact not found.");
    pugi::xml_document doc;
    if (!doc.load_buffer(r.body.constData(), size_t(r.body.size())) ||
        !A::is(doc.document_element(), A::kAtom, "entry"))
        return Response::text(400, "Invalid contact entry");
    const ContactInput in = readContactEntry(doc.document_element());
    QString sent = r.header("if-match");
    if (sent.isEmpty())
        sent = in.etag;
    if (auto refused = Precondition::refused(sent, m_state.contactEtag(*c), c->version, true))
        return *refused;
    applyContact(*c, in);
    m_state.touch(*c);
    Response out = Response::xml(200, Response::kAtomEntry, State::entryDocument(m_state.contactEntry(*c)));
    out.header("ETag", m_state.contactEtag(*c).toUtf8());
    return out;
}

Response ContactResource::remove(const Request& r, const QString& id)
{
    State::Contact* c = m_state.contact(id);
    if (!c || c->deleted)
        return Response::text(404, "Contact not found.");
    const QString sent = r.header("if-match");
    if (auto refused = Precondition::refused(sent, m_state.contactEtag(*c), c->version, true))
        return *refused;
    c->deleted = true;
    m_state.touch(*c);
    return Response::html(200, {});
}

Response ContactResource::batch(const Request& r)
{
    pugi::xml_document doc;
    QList<BatchFeed::Item> items;
    if (!BatchFeed::read(r.body, doc, items))
        return Response::text(400, "Invalid batch feed");
    QByteArray out = BatchFeed::head(m_state.contactsFeedUrl() + "/batch/" +
                                     QByteArray::number(QDateTime::currentMSecsSinceEpoch()));
    int success = 0, failures = 0, parsed = 0;
    for (const BatchFeed::Item& item : items) {
        ++parsed;
        if (!BatchFeed::isOperation(item.operation)) {
            out += BatchFeed::interrupted(QStringLiteral("Unknown batch operation: ") + item.operation,
                                          success, failures, parsed);
            break;
        }
        const ContactInput in = readContactEntry(item.entry);
        auto fail = [&](int code, const QString& reason) {
            ++failures;
            out += BatchFeed::error(in.id.isEmpty() ? item.batchId : in.id, QStringLiteral("Error"), code,
                                    reason, reason, item.batchId, item.operation);
        };
        if (item.operation == QLatin1String("insert")) {
            State::Contact c;
            applyContact(c, in);
            State::Contact& stored = m_state.insertContact(std::move(c));
            out += State::withTail(
                m_state.contactEntry(stored),
                BatchFeed::tail(item.batchId, 201, BatchFeed::reasonFor(201), item.operation));
            ++success;
            continue;
        }
        if (in.id.isEmpty() || !in.id.contains(QLatin1Char('/'))) {
            fail(400, QStringLiteral("Invalid entry Id/Uri"));
            continue;
        }
        State::Contact* c = m_state.contact(A::lastSegment(in.id));
        if (!c || c->deleted) {
            fail(404, BatchFeed::reasonFor(404));
            continue;
        }
        if (item.operation == QLatin1String("query")) {
            out += State::withTail(
                m_state.contactEntry(*c),
                BatchFeed::tail(item.batchId, 200, BatchFeed::reasonFor(200), item.operation));
            ++success;
            continue;
        }
        if (!in.etag.isEmpty() && !Precondition::matches(in.etag, m_state.contactEtag(*c))) {
            fail(412, Precondition::mismatchText(in.etag, c->version));
            continue;
        }
        if (item.operation == QLatin1String("update")) {
            applyContact(*c, in);
            m_state.touch(*c);
            out += State::withTail(
                m_state.contactEntry(*c),
                BatchFeed::tail(item.batchId, 200, BatchFeed::reasonFor(200), item.operation));
        } else {
            c->deleted = true;
            m_state.touch(*c);
            out += "<entry><id>" + A::escape(in.id) + "</id><updated>" +
                   A::isoBytes(QDateTime::currentDateTimeUtc()) + "</updated><title>" + A::escape(c->title) +
                   "</title><content>Deleted</content>" +
                   BatchFeed::tail(item.batchId, 200, BatchFeed::reasonFor(200), item.operation) + "</entry>";
        }
        ++success;
    }
    out += "</feed>";
    return Response::xml(200, Response::kAtomFeed, out);
}

Response ContactResource::getPhoto(const QString& id)
{
    const State::Contact* c = m_state.contact(id);
    if (!c || c->deleted)
        return Response::text(404, "Contact not found.");
    if (c->photo.isEmpty())
        return Response::text(404, "Photo not found");
    Response out = Response::xml(
        200, c->photoMime.isEmpty() ? QByteArray("image/png") : c->photoMime.toUtf8(), c->photo);
    out.header("ETag", m_state.photoEtag(*c).toUtf8());
    return out;
}

Response ContactResource::putPhoto(const Request& r, const QString& id)
{
    State::Contact* c = nullptr;
    if (auto refused = photoWriteRefused(r, id, c))
        return *refused;
    if (r.body.isEmpty())
        return Response::text(400, "Empty photo");
    c->photo = r.body;
    c->photoMime = r.header("content-type");
    ++c->photoVersion;
    m_state.touch(*c);
    Response out = Response::xml(200, Response::kAtomEntry, State::entryDocument(m_state.photoEntry(*c)));
    out.header("ETag", m_state.photoEtag(*c).toUtf8());
    return out;
}

Response ContactResource::deletePhoto(const Request& r, const QString& id)
{
    State::Contact* c = nullptr;
    if (auto refused = photoWriteRefused(r, id, c))
        return *refused;
    if (c->photo.isEmpty())
        return Response::text(404, "Photo not found");
    c->photo.clear();
    ++c->photoVersion;
    m_state.touch(*c);
    return Response::html(200, {});
}

Response ContactResource::photoOtherMethod(const Request& r, const QString& id)
{
    State::Contact* c = nullptr;
    if (auto refused = photoWriteRefused(r, id, c))
        return *refused;
    return Response::text(405, "Method not allowed");
}

std::optional<Response> ContactResource::photoWriteRefused(const Request& r, const QString& id,
                                                           LocalServiceState::Contact*& c)
{
    c = m_state.contact(id);
    if (!c || c->deleted)
        return Response::text(404, "Contact not found.");
    const QString sent = r.header("if-match");
    if (!sent.isEmpty() && sent != QLatin1String("*") &&
        (c->photo.isEmpty() || sent != m_state.photoEtag(*c)))
        return Response::text(412, Precondition::mismatchText(sent, c->photoVersion).toUtf8());
    return std::nullopt;
}

} // namespace tavrel::localservice
