#include "LocalServiceSeed.h"

#include "AtomText.h"

#include <QCryptographicHash>
#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace tavrel::localservice {

namespace {
using State = LocalServiceState;

const QString kRelBase = QStringLiteral("http://schemas.google.com/g/2005#");

QString md5(const QByteArray& data)
{
    return QString::fromLatin1(QCryptographicHash::hash(data, QCryptographicHash::Md5).toHex());
}

QString fullRel(const QString& rel)
{
    if (rel.isEmpty() || rel.contains(QLatin1Char('#')) || rel.contains(QLatin1Char('/')))
        return rel;
    return kRelBase + rel;
}

// A small deterministic generator (splitmix64): the same seed gives the same account on every machine.
class Random
{
public:
    explicit Random(quint64 seed) : m_state(seed * 0x2545F4914F6CDD1DULL + 1) {}
    quint64 next()
    {
        quint64 z = (m_state += 0x9e3779b97f4a7c15ULL);
        z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
        z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
        return z ^ (z >> 31);
    }
    int below(int n) { return n <= 0 ? 0 : int(next() % quint64(n)); }
    bool chance(int percent) { return below(100) < percent; }
    template <typename T> const T& pick(const QList<T>& list) { return list.at(below(int(list.size()))); }

private:
    quint64 m_state;
};

const QStringList kFirst = {
    QStringLiteral("Alice"),   QStringLiteral("Bruno"), QStringLiteral("Chiara"), QStringLiteral("Dmitri"),
    QStringLiteral("Elena"),   QStringLiteral("Farid"), QStringLiteral("Greta"),  QStringLiteral("Hugo"),
    QStringLiteral("Ingrid"),  QStringLiteral("Jonas"), QStringLiteral("Keiko"),  QStringLiteral("Lars"),
    QStringLiteral("Marta"),   QStringLiteral("Nils"),  QStringLiteral("Olga"),   QStringLiteral("Pablo"),
    QStringLiteral("Quentin"), QStringLiteral("Rosa"),  QStringLiteral("Sven"),   QStringLiteral("Tara"),
    QStringLiteral("Ugo"),     QStringLiteral("Vera"),  QStringLiteral("Wim"),    QStringLiteral("Yara")};
const QStringList kLast = {QStringLiteral("Adler"),   QStringLiteral("Berg"),     QStringLiteral("Costa"),
                           QStringLiteral("Dahl"),    QStringLiteral("Eriksen"),  QStringLiteral("Fontaine"),
                           QStringLiteral("Gallo"),   QStringLiteral("Horvat"),   QStringLiteral("Ito"),
                           QStringLiteral("Jansen"),  QStringLiteral("Kowalski"), QStringLiteral("Lindqvist"),
                           QStringLiteral("Moreau"),  QStringLiteral("Novak"),    QStringLiteral("Okafor"),
                           QStringLiteral("Petrov"),  QStringLiteral("Quist"),    QStringLiteral("Rossi"),
                           QStringLiteral("Schmidt"), QStringLiteral("Tanaka")};
const QStringList kAdjectives = {
    QStringLiteral("Quarterly"), QStringLiteral("Annual"),   QStringLiteral("Draft"),
    QStringLiteral("Final"),     QStringLiteral("Shared"),   QStringLiteral("Team"),
    QStringLiteral("Project"),   QStringLiteral("Travel"),   QStringLiteral("Research"),
    QStringLiteral("Weekly"),    QStringLiteral("Customer"), QStringLiteral("Board")};
const QStringList kNouns = {
    QStringLiteral("Budget"),    QStringLiteral("Report"),   QStringLiteral("Plan"),
    QStringLiteral("Notes"),     QStringLiteral("Minutes"),  QStringLiteral("Proposal"),
    QStringLiteral("Invoice"),   QStringLiteral("Roadmap"),  QStringLiteral("Summary"),
    QStringLiteral("Checklist"), QStringLiteral("Schedule"), QStringLiteral("Survey")};
const QStringList kFolderNames = {QStringLiteral("Projects"),  QStringLiteral("Archive"),
                                  QStringLiteral("Clients"),   QStringLiteral("Finance"),
                                  QStringLiteral("Photos"),    QStringLiteral("Personal"),
                                  QStringLiteral("Drafts"),    QStringLiteral("Travel"),
                                  QStringLiteral("Contracts"), QStringLiteral("Research")};

struct FileKind
{
    QString mime;
    QString extension;
};
const QList<FileKind> kFiles = {
    {QStringLiteral("image/png"), QStringLiteral("png")},
    {QStringLiteral("image/jpeg"), QStringLiteral("jpg")},
    {QStringLiteral("application/zip"), QStringLiteral("zip")},
    {QStringLiteral("text/plain"), QStringLiteral("txt")},
    {QStringLiteral("audio/mpeg"), QStringLiteral("mp3")},
    {QStringLiteral("application/vnd.oasis.opendocument.text"), QStringLiteral("odt")},
};

QJsonObject aclJson(const State::Acl& a)
{
    QJsonObject o;
    o.insert(QStringLiteral("scope"), a.scopeType);
    if (!a.scopeValue.isEmpty())
        o.insert(QStringLiteral("value"), a.scopeValue);
    o.insert(QStringLiteral("role"), a.role);
    if (!a.additionalRoles.isEmpty())
        o.insert(QStringLiteral("additionalRoles"), QJsonArray::fromStringList(a.additionalRoles));
    if (!a.key.isEmpty())
        o.insert(QStringLiteral("key"), a.key);
    return o;
}

QString time(const QDateTime& t)
{
    return t.isValid() ? AtomText::isoTime(t) : QString();
}
} // namespace

bool LocalServiceSeed::load(LocalServiceState& state, const QByteArray& json, QString* error)
{
    QJsonParseError parseError;
    const QJsonDocument doc = QJsonDocument::fromJson(json, &parseError);
    auto fail = [&](const QString& why) {
        if (error)
            *error = why;
        return false;
    };
    if (parseError.error != QJsonParseError::NoError)
        return fail(QStringLiteral("seed is not JSON: %1 at offset %2")
                        .arg(parseError.errorString())
                        .arg(parseError.offset));
    if (!doc.isObject())
        return fail(QStringLiteral("seed must be a JSON object"));
    const QJsonObject root = doc.object();

    // Check everything first, so that a bad seed leaves the account as it was.
    const QJsonArray docs = root.value(QStringLiteral("documents")).toArray();
    QSet<QString> ids;
    for (int i = 0; i < docs.size(); ++i) {
        const QJsonObject o = docs.at(i).toObject();
        const QString kind = o.value(QStringLiteral("kind")).toString(QStringLiteral("document"));
        if (State::kindFromTerm(QStringLiteral("http://schemas.google.com/docs/2007#") + kind).isEmpty())
            return fail(QStringLiteral("documents[%1]: unknown kind \"%2\"").arg(i).arg(kind));
        const QString rid = o.value(QStringLiteral("resourceId")).toString();
        if (!rid.isEmpty()) {
            if (!rid.startsWith(kind + QLatin1Char(':')) || rid.size() <= kind.size() + 1)
                return fail(QStringLiteral("documents[%1]: resourceId \"%2\" must be \"%3:<id>\"")
                                .arg(i)
                                .arg(rid, kind));
            if (ids.contains(rid))
                return fail(QStringLiteral("documents[%1]: duplicate resourceId \"%2\"").arg(i).arg(rid));
            ids.insert(rid);
        }
    }
    for (int i = 0; i < docs.size(); ++i) {
        for (const QJsonValue& p : docs.at(i).toObject().value(QStringLiteral("parents")).toArray()) {
            if (!p.toString().startsWith(QLatin1String("folder:")) || !ids.contains(p.toString()))
                return fail(QStringLiteral("documents[%1]: parent \"%2\" is not a folder of the seed")
                                .arg(i)
                                .arg(p.toString()));
        }
    }
    // Collections nest without cycles, as the service keeps them.
    QHash<QString, QStringList> parentsOf;
    for (const QJsonValue& v : docs) {
        const QString rid = v.toObject().value(QStringLiteral("resourceId")).toString();
        for (const QJsonValue& p : v.toObject().value(QStringLiteral("parents")).toArray())
            parentsOf[rid].append(p.toString());
    }
    for (auto it = parentsOf.constBegin(); it != parentsOf.constEnd(); ++it) {
        QStringList pending = it.value();
        QSet<QString> seen;
        while (!pending.isEmpty()) {
            const QString parent = pending.takeLast();
            if (parent == it.key())
                return fail(QStringLiteral("documents: collection \"%1\" lies inside itself").arg(it.key()));
            if (!seen.contains(parent)) {
                seen.insert(parent);
                pending += parentsOf.value(parent);
            }
        }
    }

    state.clear();
    const QJsonObject owner = root.value(QStringLiteral("owner")).toObject();
    state.ownerEmail = owner.value(QStringLiteral("email")).toString(QStringLiteral("demo@tavrel.test"));
    state.ownerName = owner.value(QStringLiteral("name")).toString(QStringLiteral("Demo User"));
    const QDateTime defaultTime = QDateTime(QDate(2026, 1, 1), QTime(9, 0), Qt::UTC);
    for (const QJsonValue& v : docs) {
        const QJsonObject o = v.toObject();
        State::Doc d;
        d.kind = o.value(QStringLiteral("kind")).toString(QStringLiteral("document"));
        const QString rid = o.value(QStringLiteral("resourceId")).toString();
        if (!rid.isEmpty())
            d.local = rid.mid(d.kind.size() + 1);
        d.title = o.value(QStringLiteral("title")).toString(QStringLiteral("Untitled"));
        d.mime = o.value(QStringLiteral("mimeType")).toString();
        if (d.mime.isEmpty() && d.kind == QLatin1String("pdf"))
            d.mime = QStringLiteral("application/pdf");
        if (d.mime.isEmpty() && d.kind == QLatin1String("file"))
            d.mime = QStringLiteral("application/octet-stream");
        d.filename = o.value(QStringLiteral("filename")).toString();
        d.ownerEmail = o.value(QStringLiteral("owner")).toString();
        d.ownerName = o.value(QStringLiteral("ownerName")).toString();
        d.modifiedByEmail = o.value(QStringLiteral("lastModifiedBy")).toString();
        d.modifiedByName = o.value(QStringLiteral("lastModifiedByName")).toString();
        for (const QJsonValue& p : o.value(QStringLiteral("parents")).toArray())
            d.parents << p.toString();
        for (const QJsonValue& l : o.value(QStringLiteral("labels")).toArray())
            d.labels.insert(l.toString());
        d.writersCanInvite = o.value(QStringLiteral("writersCanInvite")).toBool(true);
        auto when = [&](const char* key, const QDateTime& fallback) {
            const QString s = o.value(QString::fromLatin1(key)).toString();
            const QDateTime t = s.isEmpty() ? QDateTime() : AtomText::parseTime(s);
            return t.isValid() ? t : fallback;
        };
        d.published = when("published", defaultTime);
        d.updated = when("updated", d.published);
        d.edited = d.updated;
        d.lastViewed = when("lastViewed", QDateTime());
        if (o.contains(QStringLiteral("contentBase64")))
            d.content =
                QByteArray::fromBase64(o.value(QStringLiteral("contentBase64")).toString().toLatin1());
        else
            d.content = o.value(QStringLiteral("content")).toString().toUtf8();
        d.md5 = md5(d.content);
        d.revisions = std::max(1, o.value(QStringLiteral("revisions")).toInt(1));
        if (d.ownerEmail.isEmpty()) {
            d.ownerEmail = state.ownerEmail;
            d.ownerName = state.ownerName;
        }
        for (const QJsonValue& a : o.value(QStringLiteral("acl")).toArray()) {
            const QJsonObject ao = a.toObject();
            State::Acl acl;
            acl.scopeType = ao.value(QStringLiteral("scope")).toString(QStringLiteral("user"));
            acl.scopeValue = ao.value(QStringLiteral("value")).toString();
            acl.role = ao.value(QStringLiteral("role")).toString(QStringLiteral("reader"));
            for (const QJsonValue& r : ao.value(QStringLiteral("additionalRoles")).toArray())
                acl.additionalRoles << r.toString();
            acl.key = ao.value(QStringLiteral("key")).toString();
            d.acl.append(acl);
        }
        state.insertDoc(std::move(d));
    }
    for (const QJsonValue& v : root.value(QStringLiteral("contacts")).toArray()) {
        const QJsonObject o = v.toObject();
        State::Contact c;
        c.id = o.value(QStringLiteral("id")).toString();
        c.fullName = o.value(QStringLiteral("name")).toString();
        c.givenName = o.value(QStringLiteral("givenName")).toString();
        c.familyName = o.value(QStringLiteral("familyName")).toString();
        c.title = o.value(QStringLiteral("title")).toString(c.fullName);
        c.notes = o.value(QStringLiteral("notes")).toString();
        c.deleted = o.value(QStringLiteral("deleted")).toBool(false);
        for (const QJsonValue& e : o.value(QStringLiteral("emails")).toArray()) {
            const QJsonObject eo = e.toObject();
            State::Email email;
            email.address = eo.value(QStringLiteral("address")).toString();
            email.rel = fullRel(
                eo.value(QStringLiteral("rel"))
                    .toString(eo.contains(QStringLiteral("label")) ? QString() : QStringLiteral("other")));
            email.label = eo.value(QStringLiteral("label")).toString();
            email.primary = eo.value(QStringLiteral("primary")).toBool(false);
            c.emails.append(email);
        }
        if (o.contains(QStringLiteral("photoBase64"))) {
            c.photo = QByteArray::fromBase64(o.value(QStringLiteral("photoBase64")).toString().toLatin1());
            c.photoMime = o.value(QStringLiteral("photoMimeType")).toString(QStringLiteral("image/png"));
            c.photoVersion = 1;
        }
        const QString updated = o.value(QStringLiteral("updated")).toString();
        c.updated = updated.isEmpty() ? defaultTime : AtomText::parseTime(updated);
        state.insertContact(std::move(c));
    }
    return true;
}

void LocalServiceSeed::generate(LocalServiceState& state, const GenerateOptions& options)
{
    state.clear();
    state.ownerEmail = options.ownerEmail;
    state.ownerName = options.ownerName;
    state.idSalt = 0x9e3779b97f4a7c15ULL ^ (quint64(options.seed) << 17);
    Random random(options.seed);
    const QDateTime end = QDateTime(QDate(2026, 11, 1), QTime(8, 0), Qt::UTC);
    const QString domain = options.ownerEmail.section(QLatin1Char('@'), 1);

    struct Person
    {
        QString name, email;
    };
    QList<Person> people;
    for (int i = 0; i < std::max(1, options.sharedPeople); ++i) {
        const QString first = kFirst.at(i % kFirst.size());
        const QString last = kLast.at((i / kFirst.size() + i * 7) % kLast.size());
        const QString email =
            QStringLiteral("%1.%2%3@%4")
                .arg(first.toLower(), last.toLower(), i < kFirst.size() ? QString() : QString::number(i),
                     i % 3 == 0 ? domain : QStringLiteral("example.org"));
        people.append({first + QLatin1Char(' ') + last, email});
    }

    auto times = [&](State::Doc& d) {
        d.published = end.addSecs(-qint64(random.below(700 * 24 * 3600)) - 3600);
        d.updated = std::min(end, d.published.addSecs(random.below(30 * 24 * 3600)));
        d.edited = d.updated;
    };
    auto share = [&](State::Doc& d, bool ownedByOther) {
        const int extra = random.below(4);
        QSet<QString> used{d.ownerEmail};
        if (ownedByOther) {
            State::Acl mine;
            mine.scopeType = QStringLiteral("user");
            mine.scopeValue = state.ownerEmail;
            mine.role = random.chance(60) ? QStringLiteral("writer") : QStringLiteral("reader");
            if (mine.role == QLatin1String("reader") && random.chance(40))
                mine.additionalRoles << QStringLiteral("commenter");
            d.acl.append(mine);
            used.insert(state.ownerEmail);
        }
        for (int i = 0; i < extra; ++i) {
            const Person& p = random.pick(people);
            if (used.contains(p.email))
                continue;
            used.insert(p.email);
            State::Acl a;
            a.scopeType = random.chance(10) ? QStringLiteral("group") : QStringLiteral("user");
            a.scopeValue = p.email;
            a.role = random.chance(50) ? QStringLiteral("writer") : QStringLiteral("reader");
            if (a.role == QLatin1String("reader") && random.chance(35))
                a.additionalRoles << QStringLiteral("commenter");
            d.acl.append(a);
        }
        const int general = random.below(100);
        if (general < 8) {
            State::Acl link;
            link.scopeType = QStringLiteral("default");
            link.role = QStringLiteral("reader");
            link.key = QStringLiteral("k") + QString::number(random.next() % 100000000ULL, 36);
            d.acl.append(link);
        } else if (general < 12) {
            State::Acl dom;
            dom.scopeType = QStringLiteral("domain");
            dom.scopeValue = domain;
            dom.role = random.chance(70) ? QStringLiteral("reader") : QStringLiteral("writer");
            d.acl.append(dom);
        } else if (general < 14) {
            State::Acl pub;
            pub.scopeType = QStringLiteral("default");
            pub.role = QStringLiteral("reader");
            d.acl.append(pub);
        }
    };
    auto owner = [&](State::Doc& d) {
        if (random.chance(80)) {
            d.ownerEmail = state.ownerEmail;
            d.ownerName = state.ownerName;
            return false;
        }
        const Person& p = random.pick(people);
        d.ownerEmail = p.email;
        d.ownerName = p.name;
        return true;
    };

    QStringList folders;
    for (int i = 0; i < options.collections; ++i) {
        State::Doc d;
        d.kind = QStringLiteral("folder");
        d.title = kFolderNames.at(i % kFolderNames.size()) +
                  (i < kFolderNames.size() ? QString()
                                           : QLatin1Char(' ') + QString::number(i / kFolderNames.size() + 1));
        times(d);
        const bool other = owner(d);
        if (!folders.isEmpty() && random.chance(40))
            d.parents << random.pick(folders);
        d.labels.insert(QStringLiteral("viewed"));
        d.lastViewed = d.updated;
        if (random.chance(10))
            d.labels.insert(QStringLiteral("starred"));
        share(d, other);
        folders << state.insertDoc(std::move(d)).rid;
    }

    for (int i = 0; i < options.documents; ++i) {
        State::Doc d;
        const int k = random.below(100);
        d.kind = k < 40   ? QStringLiteral("document")
                 : k < 60 ? QStringLiteral("spreadsheet")
                 : k < 70 ? QStringLiteral("presentation")
                 : k < 75 ? QStringLiteral("drawing")
                 : k < 77 ? QStringLiteral("form")
                 : k < 87 ? QStringLiteral("pdf")
                          : QStringLiteral("file");
        d.title = random.pick(kAdjectives) + QLatin1Char(' ') + random.pick(kNouns) + QLatin1Char(' ') +
                  QString::number(i + 1);
        if (d.kind == QLatin1String("pdf")) {
            d.mime = QStringLiteral("application/pdf");
            d.filename = d.title + QStringLiteral(".pdf");
            d.title = d.filename;
        } else if (d.kind == QLatin1String("file")) {
            const FileKind& f = random.pick(kFiles);
            d.mime = f.mime;
            d.filename = d.title + QLatin1Char('.') + f.extension;
            d.title = d.filename;
        }
        d.content = QByteArrayLiteral("Tavrel demo content\n") + d.title.toUtf8() + '\n';
        d.md5 = md5(d.content);
        times(d);
        const bool other = owner(d);
        if (other) {
            d.modifiedByEmail = d.ownerEmail;
            d.modifiedByName = d.ownerName;
        }
        if (!folders.isEmpty() && random.chance(60)) {
            d.parents << random.pick(folders);
            if (random.chance(5)) {
                const QString second = random.pick(folders);
                if (!d.parents.contains(second))
                    d.parents << second;
            }
        }
        if (random.chance(70)) {
            d.labels.insert(QStringLiteral("viewed"));
            d.lastViewed = other && random.chance(30) ? d.published : d.updated;
        }
        if (random.chance(8))
            d.labels.insert(QStringLiteral("starred"));
        if (!other && random.chance(2))
            d.labels.insert(QStringLiteral("trashed"));
        if (random.chance(1))
            d.labels.insert(QStringLiteral("hidden"));
        d.writersCanInvite = random.chance(85);
        share(d, other);
        state.insertDoc(std::move(d));
    }

    static const QByteArray png = QByteArray::fromBase64(
        "iVBORw0KGgoAAAANSUhEUgAAAAEAAAABCAAAAAA6fptVAAAACklEQVR4nGNoAAAAggCBd81ytgAAAABJRU5ErkJggg==");
    for (int i = 0; i < options.contacts; ++i) {
        State::Contact c;
        QString first, last, email;
        if (i < people.size()) {
            first = people.at(i).name.section(QLatin1Char(' '), 0, 0);
            last = people.at(i).name.section(QLatin1Char(' '), 1);
            email = people.at(i).email;
        } else {
            first = random.pick(kFirst);
            last = random.pick(kLast);
            email = QStringLiteral("%1.%2.%3@example.net").arg(first.toLower(), last.toLower()).arg(i);
        }
        c.givenName = first;
        c.familyName = last;
        c.fullName = first + QLatin1Char(' ') + last;
        c.title = c.fullName;
        State::Email work;
        work.address = email;
        work.rel = kRelBase + QStringLiteral("work");
        work.primary = true;
        c.emails << work;
        if (random.chance(30)) {
            State::Email home;
            home.address = QStringLiteral("%1%2@home.example").arg(first.toLower()).arg(i);
            home.rel = kRelBase + QStringLiteral("home");
            c.emails << home;
        }
        if (random.chance(15)) {
            c.photo = png;
            c.photoMime = QStringLiteral("image/png");
            c.photoVersion = 1;
        }
        c.updated = end.addSecs(-qint64(random.below(400 * 24 * 3600)));
        state.insertContact(std::move(c));
    }
}

QByteArray LocalServiceSeed::exportJson(const LocalServiceState& state)
{
    QJsonObject root;
    QJsonObject owner;
    owner.insert(QStringLiteral("email"), state.ownerEmail);
    owner.insert(QStringLiteral("name"), state.ownerName);
    root.insert(QStringLiteral("owner"), owner);
    QJsonArray docs;
    // Folders first, so that every parent precedes its children.
    for (int pass = 0; pass < 2; ++pass) {
        for (const auto& [seq, d] : state.docs) {
            if ((d.kind == QLatin1String("folder")) != (pass == 0))
                continue;
            QJsonObject o;
            o.insert(QStringLiteral("resourceId"), d.rid);
            o.insert(QStringLiteral("kind"), d.kind);
            o.insert(QStringLiteral("title"), d.title);
            if (!d.mime.isEmpty())
                o.insert(QStringLiteral("mimeType"), d.mime);
            if (!d.filename.isEmpty())
                o.insert(QStringLiteral("filename"), d.filename);
            o.insert(QStringLiteral("owner"), d.ownerEmail);
            o.insert(QStringLiteral("ownerName"), d.ownerName);
            o.insert(QStringLiteral("lastModifiedBy"), d.modifiedByEmail);
            o.insert(QStringLiteral("lastModifiedByName"), d.modifiedByName);
            if (!d.parents.isEmpty())
                o.insert(QStringLiteral("parents"), QJsonArray::fromStringList(d.parents));
            QStringList labels(d.labels.begin(), d.labels.end());
            labels.sort();
            if (!labels.isEmpty())
                o.insert(QStringLiteral("labels"), QJsonArray::fromStringList(labels));
            o.insert(QStringLiteral("writersCanInvite"), d.writersCanInvite);
            o.insert(QStringLiteral("published"), time(d.published));
            o.insert(QStringLiteral("updated"), time(d.updated));
            if (d.lastViewed.isValid())
                o.insert(QStringLiteral("lastViewed"), time(d.lastViewed));
            if (!d.content.isEmpty())
                o.insert(QStringLiteral("contentBase64"), QString::fromLatin1(d.content.toBase64()));
            if (d.revisions > 1)
                o.insert(QStringLiteral("revisions"), d.revisions);
            QJsonArray acl;
            for (const State::Acl& a : d.acl)
                acl.append(aclJson(a));
            o.insert(QStringLiteral("acl"), acl);
            docs.append(o);
        }
    }
    root.insert(QStringLiteral("documents"), docs);
    QJsonArray contacts;
    for (const auto& [seq, c] : state.contacts) {
        QJsonObject o;
        o.insert(QStringLiteral("id"), c.id);
        o.insert(QStringLiteral("name"), c.fullName);
        if (!c.givenName.isEmpty())
            o.insert(QStringLiteral("givenName"), c.givenName);
        if (!c.familyName.isEmpty())
            o.insert(QStringLiteral("familyName"), c.familyName);
        if (c.title != c.fullName)
            o.insert(QStringLiteral("title"), c.title);
        if (!c.notes.isEmpty())
            o.insert(QStringLiteral("notes"), c.notes);
        QJsonArray emails;
        for (const State::Email& e : c.emails) {
            QJsonObject eo;
            eo.insert(QStringLiteral("address"), e.address);
            if (!e.rel.isEmpty())
                eo.insert(QStringLiteral("rel"), e.rel);
            if (!e.label.isEmpty())
                eo.insert(QStringLiteral("label"), e.label);
            if (e.primary)
                eo.insert(QStringLiteral("primary"), true);
            emails.append(eo);
        }
        o.insert(QStringLiteral("emails"), emails);
        if (!c.photo.isEmpty()) {
            o.insert(QStringLiteral("photoBase64"), QString::fromLatin1(c.photo.toBase64()));
            o.insert(QStringLiteral("photoMimeType"), c.photoMime);
        }
        if (c.deleted)
            o.insert(QStringLiteral("deleted"), true);
        o.insert(QStringLiteral("updated"), time(c.updated));
        contacts.append(o);
    }
    root.insert(QStringLiteral("contacts"), contacts);
    return QJsonDocument(root).toJson(QJsonDocument::Indented);
}

} // namespace tavrel::localservice
