#include "AccessListResource.h"

#include "AccessRoles.h"
#include "AtomText.h"
#include "BatchFeed.h"
#include "Precondition.h"

#include <QStringList>
#include <atomic>
#include <pugixml.hpp>

namespace tavrel::localservice {

namespace {
using A = AtomText;
using State = LocalServiceState;

struct AclInput
{
    QString scopeType, scopeValue, role, key, etag, id;
    bool withKey = false; // a gAcl:withKey element, with or without a key
    QStringList additionalRoles;
    bool valid() const { return !scopeType.isEmpty() && !role.isEmpty(); }
};

AclInput readAclEntry(const pugi::xml_node& entry)
{
    AclInput in;
    in.etag = A::attribute(entry, "etag");
    in.id = A::lastSegment(A::text(entry, A::kAtom, "id").trimmed());
    auto roles = [&](const pugi::xml_node& parent) {
        for (pugi::xml_node c = parent.first_child(); c; c = c.next_sibling()) {
            if (A::is(c, A::kAcl, "role"))
                in.role = QString::fromUtf8(c.attribute("value").value());
            else if (A::is(c, A::kAcl, "additionalRole"))
                in.additionalRoles << QString::fromUtf8(c.attribute("value").value());
        }
    };
    roles(entry);
    if (pugi::xml_node k = A::child(entry, A::kAcl, "withKey")) {
        in.withKey = true;
        in.key = QString::fromUtf8(k.attribute("key").value());
        roles(k);
    }
    if (pugi::xml_node s = A::child(entry, A::kAcl, "scope")) {
        in.scopeType = QString::fromUtf8(s.attribute("type").value());
        in.scopeValue = QString::fromUtf8(s.attribute("value").value());
    }
    return in;
}

QString checkAcl(const AclInput& in)
{
    static const QStringList types = {QStringLiteral("user"), QStringLiteral("group"),
                                      QStringLiteral("domain"), QStringLiteral("default")};
    static const QStringList roles = {QStringLiteral("owner"), QStringLiteral("writer"),
                                      QStringLiteral("reader"), QStringLiteral("commenter"),
                                      QStringLiteral("none")};
    if (!types.contains(in.scopeType))
        return QStringLiteral("Invalid scope type: ") + in.scopeType;
    if (in.scopeType != QLatin1String("default") && in.scopeValue.isEmpty())
        return QStringLiteral("Missing scope value");
    if (!roles.contains(in.role))
        return QStringLiteral("Invalid role: ") + in.role;
    return {};
}

void applyAcl(State::Acl& a, const AclInput& in, const QDateTime& now)
{
    a.scopeType = in.scopeType;
    a.scopeValue = in.scopeType == QLatin1String("default") ? QString() : in.scopeValue;
    a.role = in.role;
    a.additionalRoles = in.additionalRoles;
    a.key = in.key;
    // Asking for link access without a key: the service makes one up, as the real one does.
    if (in.withKey && a.key.isEmpty()) {
        static std::atomic<quint64> counter{0};
        const quint64 n = ++counter ^ quint64(now.toMSecsSinceEpoch());
        a.key = QStringLiteral("k") + QString::number(n * 0x9e3779b97f4a7c15ULL % 0xffffffffffULL, 36);
    }
    ++a.version;
    a.updated = now;
}
// A rule of the account itself: anyone may leave a document shared with them.
bool isOwnRule(const State::Acl& a, const QString& account)
{
    return a.scopeType == QLatin1String("user") && a.scopeValue.compare(account, Qt::CaseInsensitive) == 0;
}

// A person made owner takes the document over; the owner before stays a writer.
void settleOwnership(State::Doc& d, int newOwner)
{
    const State::Acl& rule = d.acl.at(newOwner);
    if (rule.role != QLatin1String("owner") || rule.scopeType != QLatin1String("user"))
        return;
    for (int i = 0; i < d.acl.size(); ++i)
        if (i != newOwner && d.acl.at(i).role == QLatin1String("owner")) {
            d.acl[i].role = QStringLiteral("writer");
            ++d.acl[i].version;
        }
    d.ownerEmail = rule.scopeValue;
    d.ownerName.clear();
}
} // namespace

AccessListResource::AccessListResource(LocalServiceState& state) : m_state(state) {}

Response AccessListResource::feed(const QString& rid)
{
    const State::Doc* d = m_state.doc(rid);
    if (!d)
        return Response::text(404, "Not Found");
    QByteArray body = m_state.aclFeedBody(*d);
    QByteArray out = Response::kXmlHeader;
    out += "<feed" + AtomText::namespaces() + body.mid(5);
    return Response::xml(200, Response::kAtomFeed, out);
}

Response AccessListResource::create(const Request& r, const QString& rid)
{
    State::Doc* d = m_state.doc(rid);
    if (!d)
        return Response::text(404, "Not Found");
    pugi::xml_document doc;
    if (!doc.load_buffer(r.body.constData(), size_t(r.body.size())) ||
        !A::is(doc.document_element(), A::kAtom, "entry"))
        return Response::text(400, "Invalid access rule entry");
    const AclInput in = readAclEntry(doc.document_element());
    if (const QString error = checkAcl(in); !error.isEmpty())
        return Response::text(400, error.toUtf8());
    if (!AccessRoles::canWriteRule(*d, r.account, in.scopeType, in.role))
        return AccessRoles::forbidden(AccessRoles::kNotPermitted);
    State::Acl a;
    applyAcl(a, in, m_state.now());
    for (const State::Acl& other : d->acl) {
        if (other.id() == a.id())
            return Response::text(409, "Conflict: a rule with this scope exists");
    }
    d->acl.append(a);
    settleOwnership(*d, int(d->acl.size()) - 1);
    m_state.touch(*d, false);
    const QByteArray location = m_state.docUrl(rid) + "/acl/" + A::percent(a.id());
    Response out =
        Response::xml(201, Response::kAtomEntry, State::entryDocument(m_state.aclEntry(*d, d->acl.last())));
    out.header("ETag", m_state.aclEtag(*d, d->acl.last()).toUtf8());
    out.header("Location", location);
    out.header("Content-Location", location);
    return out;
}

Response AccessListResource::getRule(const Request& r, const QString& rid, const QString& aclId)
{
    const RuleTarget t = target(r, rid, aclId, false);
    if (t.refused)
        return *t.refused;
    const State::Doc& d = *t.doc;
    Response out = Response::xml(200, Response::kAtomEntry,
                                 State::entryDocument(m_state.aclEntry(d, d.acl.at(t.index))));
    out.header("ETag", m_state.aclEtag(d, d.acl.at(t.index)).toUtf8());
    return out;
}

Response AccessListResource::putRule(const Request& r, const QString& rid, const QString& aclId)
{
    const RuleTarget t = target(r, rid, aclId, true);
    if (t.refused)
        return *t.refused;
    State::Doc* d = t.doc;
    const int index = t.index;
    pugi::xml_document doc;
    if (!doc.load_buffer(r.body.constData(), size_t(r.body.size())) ||
        !A::is(doc.document_element(), A::kAtom, "entry"))
        return Response::text(400, "Invalid access rule entry");
    AclInput in = readAclEntry(doc.document_element());
    if (in.scopeType.isEmpty()) {
        in.scopeType = d->acl.at(index).scopeType;
        in.scopeValue = d->acl.at(index).scopeValue;
    }
    if (const QString error = checkAcl(in); !error.isEmpty())
        return Response::text(400, error.toUtf8());
    if (!AccessRoles::canWriteRule(*d, r.account, in.scopeType, in.role) ||
        !AccessRoles::canWriteRule(*d, r.account, in.scopeType, d->acl.at(index).role))
        return AccessRoles::forbidden(AccessRoles::kNotPermitted);
    applyAcl(d->acl[index], in, m_state.now());
    settleOwnership(*d, index);
    m_state.touch(*d, false);
    Response out = Response::xml(200, Response::kAtomEntry,
                                 State::entryDocument(m_state.aclEntry(*d, d->acl.at(index))));
    out.header("ETag", m_state.aclEtag(*d, d->acl.at(index)).toUtf8());
    return out;
}

Response AccessListResource::deleteRule(const Request& r, const QString& rid, const QString& aclId)
{
    const RuleTarget t = target(r, rid, aclId, true);
    if (t.refused)
        return *t.refused;
    State::Doc* d = t.doc;
    if (d->acl.at(t.index).role == QLatin1String("owner"))
        return Response::text(403, "Forbidden: the owner cannot be removed");
    const State::Acl& rule = d->acl.at(t.index);
    if (!isOwnRule(rule, r.account) && !AccessRoles::canWriteRule(*d, r.account, rule.scopeType, rule.role))
        return AccessRoles::forbidden(AccessRoles::kNotPermitted);
    d->acl.removeAt(t.index);
    const bool lostAccess =
        d->ownerEmail.compare(m_state.ownerEmail, Qt::CaseInsensitive) != 0 &&
        aclId.compare(QStringLiteral("user:") + m_state.ownerEmail, Qt::CaseInsensitive) == 0;
    if (lostAccess)
        m_state.removeDoc(rid);
    else
        m_state.touch(*d, false);
    return Response::html(200, {});
}

Response AccessListResource::ruleOtherMethod(const Request& r, const QString& rid, const QString& aclId)
{
    const RuleTarget t = target(r, rid, aclId, true);
    if (t.refused)
        return *t.refused;
    return Response::text(405, "Method not allowed");
}

AccessListResource::RuleTarget AccessListResource::target(const Request& r, const QString& rid,
                                                          const QString& aclId, bool write) const
{
    RuleTarget t;
    t.doc = m_state.doc(rid);
    if (t.doc) {
        for (int i = 0; i < t.doc->acl.size(); ++i) {
            if (t.doc->acl.at(i).id() == aclId)
                t.index = i;
        }
    }
    if (t.index < 0) {
        t.refused = Response::text(404, "Not Found");
        return t;
    }
    if (write) {
        const State::Acl& rule = t.doc->acl.at(t.index);
        t.refused =
            Precondition::refused(r.header("if-match"), m_state.aclEtag(*t.doc, rule), rule.version, false);
    }
    return t;
}

Response AccessListResource::batch(const Request& r, const QString& rid)
{
    State::Doc* d = m_state.doc(rid);
    if (!d)
        return Response::text(404, "Not Found");
    pugi::xml_document doc;
    QList<BatchFeed::Item> items;
    if (!BatchFeed::read(r.body, doc, items))
        return Response::text(400, "Invalid batch feed");
    QByteArray out = BatchFeed::head(m_state.docIdUrl(rid) + "/acl/batch/" +
                                     QByteArray::number(QDateTime::currentMSecsSinceEpoch()));
    int success = 0, failures = 0, parsed = 0;
    bool changed = false;
    bool removed = false;
    for (const BatchFeed::Item& item : items) {
        ++parsed;
        if (!BatchFeed::isOperation(item.operation)) {
            out += BatchFeed::interrupted(QStringLiteral("Unknown batch operation: ") + item.operation,
                                          success, failures, parsed);
            break;
        }
        AclInput in = readAclEntry(item.entry);
        auto fail = [&](int code, const QString& reason) {
            ++failures;
            out += BatchFeed::error(in.id.isEmpty() ? item.batchId : in.id, QStringLiteral("Error"), code,
                                    reason, reason, item.batchId, item.operation);
        };
        int index = -1;
        const QString wanted = in.id.isEmpty() ? QString() : in.id;
        for (int i = 0; i < d->acl.size(); ++i) {
            if (!wanted.isEmpty() && d->acl.at(i).id() == wanted)
                index = i;
        }
        if (item.operation == QLatin1String("insert")) {
            if (const QString error = checkAcl(in); !error.isEmpty()) {
                fail(400, error);
                continue;
            }
            if (!AccessRoles::canWriteRule(*d, r.account, in.scopeType, in.role)) {
                fail(403, QString::fromUtf8(AccessRoles::kNotPermitted));
                continue;
            }
            State::Acl a;
            applyAcl(a, in, m_state.now());
            bool duplicate = false;
            for (const State::Acl& other : d->acl)
                duplicate = duplicate || other.id() == a.id();
            if (duplicate) {
                fail(409, QStringLiteral("Conflict"));
                continue;
            }
            d->acl.append(a);
            settleOwnership(*d, int(d->acl.size()) - 1);
            changed = true;
            out += State::withTail(
                m_state.aclEntry(*d, d->acl.last()),
                BatchFeed::tail(item.batchId, 201, BatchFeed::reasonFor(201), item.operation));
            ++success;
            continue;
        }
        if (wanted.isEmpty()) {
            fail(400, QStringLiteral("Missing entry id"));
            continue;
        }
        if (index < 0) {
            fail(404, BatchFeed::reasonFor(404));
            continue;
        }
        if (!in.etag.isEmpty() && !Precondition::matches(in.etag, m_state.aclEtag(*d, d->acl.at(index)))) {
            fail(412, Precondition::mismatchText(in.etag, d->acl.at(index).version));
            continue;
        }
        if (item.operation == QLatin1String("query")) {
            out += State::withTail(
                m_state.aclEntry(*d, d->acl.at(index)),
                BatchFeed::tail(item.batchId, 200, BatchFeed::reasonFor(200), item.operation));
        } else if (item.operation == QLatin1String("update")) {
            if (in.scopeType.isEmpty()) {
                in.scopeType = d->acl.at(index).scopeType;
                in.scopeValue = d->acl.at(index).scopeValue;
            }
            if (const QString error = checkAcl(in); !error.isEmpty()) {
                fail(400, error);
                continue;
            }
            if (!AccessRoles::canWriteRule(*d, r.account, in.scopeType, in.role) ||
                !AccessRoles::canWriteRule(*d, r.account, in.scopeType, d->acl.at(index).role)) {
                fail(403, QString::fromUtf8(AccessRoles::kNotPermitted));
                continue;
            }
            applyAcl(d->acl[index], in, m_state.now());
            settleOwnership(*d, index);
            changed = true;
            out += State::withTail(
                m_state.aclEntry(*d, d->acl.at(index)),
                BatchFeed::tail(item.batchId, 200, BatchFeed::reasonFor(200), item.operation));
        } else {
            if (d->acl.at(index).role == QLatin1String("owner")) {
                fail(403, QStringLiteral("The owner cannot be removed"));
                continue;
            }
            const State::Acl& rule = d->acl.at(index);
            if (!isOwnRule(rule, r.account) &&
                !AccessRoles::canWriteRule(*d, r.account, rule.scopeType, rule.role)) {
                fail(403, QString::fromUtf8(AccessRoles::kNotPermitted));
                continue;
            }
            const QString id = d->acl.at(index).id();
            d->acl.removeAt(index);
            changed = true;
            if (d->ownerEmail.compare(m_state.ownerEmail, Qt::CaseInsensitive) != 0 &&
                id.compare(QStringLiteral("user:") + m_state.ownerEmail, Qt::CaseInsensitive) == 0)
                removed = true;
            out += "<entry><id>" + m_state.docIdUrl(rid) + "/acl/" + A::percent(id) + "</id><updated>" +
                   A::isoBytes(QDateTime::currentDateTimeUtc()) + "</updated><title>" + A::escape(id) +
                   "</title><content>Deleted</content>" +
                   BatchFeed::tail(item.batchId, 200, BatchFeed::reasonFor(200), item.operation) + "</entry>";
        }
        ++success;
    }
    out += "</feed>";
    if (removed)
        m_state.removeDoc(rid);
    else if (changed)
        m_state.touch(*d, false);
    return Response::xml(200, Response::kAtomFeed, out);
}

} // namespace tavrel::localservice
