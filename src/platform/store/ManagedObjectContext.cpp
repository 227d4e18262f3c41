#include "platform/store/ManagedObjectContext.h"

#include "platform/runtime/Exception.h"
#include "platform/store/KeyValueCoding.h"
#include "platform/store/PersistentStoreCoordinator.h"
#include "platform/store/PredicateNode.h"
#include "platform/store/SqliteConnection.h"
#include "platform/store/StoreSchema.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QMetaObject>
#include <QRecursiveMutex>
#include <QSet>

namespace tavrel {

const QString ManagedObjectContext::kErrorDomain = QStringLiteral("NSCocoaErrorDomain");

namespace {
using Storage = StoreSchema::Storage;

Error makeError(qint64 code, const QString& description)
{
    return Error(ManagedObjectContext::kErrorDomain, code, {{Error::kLocalizedDescriptionKey, description}});
}

QVariant readColumn(const SqliteStatement& s, int column, AttributeDescription::Type type)
{
    if (s.isNull(column))
        return {};
    switch (type) {
    case AttributeDescription::Type::String:
        return s.text(column);
    case AttributeDescription::Type::Int64:
        return s.int64(column);
    case AttributeDescription::Type::Double:
        return s.real(column);
    case AttributeDescription::Type::Bool:
        return s.int64(column) != 0;
    case AttributeDescription::Type::Date:
        return QDateTime::fromMSecsSinceEpoch(s.int64(column), Qt::UTC);
    case AttributeDescription::Type::Data:
        return s.blob(column);
    case AttributeDescription::Type::Transformable:
        return SqliteStatement::deserialize(s.blob(column));
    }
    return {};
}

void bindAttribute(SqliteStatement& s, int index, const AttributeDescription* a, const QVariant& value)
{
    // Values were converted to the attribute's type when set or read.
    switch (value.typeId()) {
    case QMetaType::UnknownType:
        s.bindNull(index);
        return;
    case QMetaType::QString:
        if (a->type == AttributeDescription::Type::String && !value.toString().isNull()) {
            s.bindText(index, value.toString());
            return;
        }
        break;
    case QMetaType::Bool:
        if (a->type == AttributeDescription::Type::Bool) {
            s.bindInt64(index, value.toBool() ? 1 : 0);
            return;
        }
        break;
    case QMetaType::LongLong:
        if (a->type == AttributeDescription::Type::Int64) {
            s.bindInt64(index, value.toLongLong());
            return;
        }
        break;
    case QMetaType::QDateTime:
        if (a->type == AttributeDescription::Type::Date && value.toDateTime().isValid()) {
            s.bindInt64(index, value.toDateTime().toMSecsSinceEpoch());
            return;
        }
        break;
    default:
        break;
    }
    if (KeyValueCoding::isNil(value)) {
        s.bindNull(index);
        return;
    }
    if (a->type == AttributeDescription::Type::Transformable) {
        s.bind(index, SqliteStatement::serialize(value));
        return;
    }
    s.bind(index, a->coerce(value));
}

// "IN (?, ?, ...)" for short lists; long ones (thousands of kept identifiers) go as one JSON array, since
// SQLite limits the number of bound values.
QString inList(const QVariantList& values, QVariantList& binds)
{
    constexpr qsizetype kMaxBound = 200;
    if (values.size() <= kMaxBound) {
        QStringList marks;
        for (const QVariant& v : values) {
            marks.append(QStringLiteral("?"));
            binds.append(v);
        }
        return QStringLiteral("(%1)").arg(marks.join(QLatin1Char(',')));
    }
    QJsonArray array;
    for (const QVariant& v : values) {
        if (v.typeId() == QMetaType::QString)
            array.append(v.toString());
        else if (v.typeId() == QMetaType::QDateTime)
            array.append(v.toDateTime().toMSecsSinceEpoch());
        else if (v.typeId() == QMetaType::Double || v.typeId() == QMetaType::Float)
            array.append(v.toDouble());
        else
            array.append(v.toLongLong());
    }
    binds.append(QString::fromUtf8(QJsonDocument(array).toJson(QJsonDocument::Compact)));
    return QStringLiteral("(SELECT value FROM json_each(?))");
}

// Translates what it can of a predicate into SQL over the alias "t"; the rest is evaluated in memory.
class SqlTranslator
{
public:
    explicit SqlTranslator(const StoreSchema& schema) : m_schema(schema) {}

    bool translate(const PredicateNode& n, const EntityDescription* e, const QString& alias, QString& out,
                   QVariantList& binds)
    {
        switch (n.kind) {
        case PredicateNode::Kind::True:
            out = QStringLiteral("1");
            return true;
        case PredicateNode::Kind::False:
            out = QStringLiteral("0");
            return true;
        case PredicateNode::Kind::Block:
            return false;
        case PredicateNode::Kind::Not: {
            QString inner;
            if (n.children.isEmpty() || !translate(*n.children.first(), e, alias, inner, binds))
                return false;
            out = QStringLiteral("NOT (%1)").arg(inner);
            return true;
        }
        case PredicateNode::Kind::And:
        case PredicateNode::Kind::Or: {
            QStringList parts;
            for (const auto& c : n.children) {
                QString part;
                if (!translate(*c, e, alias, part, binds))
                    return false;
                parts.append(QLatin1Char('(') + part + QLatin1Char(')'));
            }
            if (parts.isEmpty())
                out = n.kind == PredicateNode::Kind::And ? QStringLiteral("1") : QStringLiteral("0");
            else
                out = parts.join(n.kind == PredicateNode::Kind::And ? QStringLiteral(" AND ")
                                                                    : QStringLiteral(" OR "));
            return true;
        }
        case PredicateNode::Kind::Comparison:
            break;
        }
        if (n.right.kind != PredicateNode::Expression::Kind::Constant)
            return false;
        if (n.left.kind == PredicateNode::Expression::Kind::Self)
            return n.modifier == Predicate::Modifier::Direct && selfAtom(n, e, alias, out, binds);
        if (n.left.kind != PredicateNode::Expression::Kind::KeyPath)
            return false;
        return path(n, e, alias, n.left.keyPath.split(QLatin1Char('.')), out, binds);
    }

private:
    static bool kindMatches(AttributeDescription::Type type, const QVariant& v)
    {
        switch (type) {
        case AttributeDescription::Type::String:
            return v.typeId() == QMetaType::QString;
        case AttributeDescription::Type::Int64:
        case AttributeDescription::Type::Double:
        case AttributeDescription::Type::Bool:
            return KeyValueCoding::isNumber(v);
        case AttributeDescription::Type::Date:
            return v.typeId() == QMetaType::QDateTime;
        case AttributeDescription::Type::Data:
            return v.typeId() == QMetaType::QByteArray;
        case AttributeDescription::Type::Transformable:
            return false;
        }
        return false;
    }

    static bool isAscii(const QString& text)
    {
        for (QChar c : text)
            if (c.unicode() >= 0x80)
                return false;
        return true;
    }

    bool path(const PredicateNode& n, const EntityDescription* e, const QString& alias,
              const QStringList& comps, QString& out, QVariantList& binds)
    {
        const QString& first = comps.first();
        if (comps.size() == 1) {
            if (n.modifier != Predicate::Modifier::Direct)
                return false;
            if (const AttributeDescription* a = e->attribute(first))
                return attributeAtom(n, a, alias + QLatin1Char('.') + StoreSchema::quote(first), out, binds);
            const RelationshipDescription* r = e->relationship(first);
            if (r && !r->toMany)
                return keyAtom(n, r->destination, alias + QLatin1Char('.') + StoreSchema::quote(first), out,
                               binds);
            return false;
        }
        const RelationshipDescription* r = e->relationship(first);
        if (!r)
            return false;
        const QString sub = QStringLiteral("t%1").arg(++m_aliases);
        const QString destTable = StoreSchema::quote(m_schema.table(r->destination).name);
        if (!r->toMany) {
            // Through a to-one: a missing record answers false, as in memory, for these operators only.
            if (n.modifier != Predicate::Modifier::Direct || n.op == Predicate::Operator::NotEqual ||
                KeyValueCoding::isNil(n.right.constant))
                return false;
            QString inner;
            if (!path(n, r->destination, sub, comps.mid(1), inner, binds))
                return false;
            out = QStringLiteral("EXISTS (SELECT 1 FROM %1 %2 WHERE %2.Z_PK = %3.%4 AND (%5))")
                      .arg(destTable, sub, alias, StoreSchema::quote(first), inner);
            return true;
        }
        if (n.modifier == Predicate::Modifier::Direct || comps.size() != 2)
            return false;
        const AttributeDescription* a = r->destination->attribute(comps[1]);
        if (!a)
            return false;
        QString inner;
        if (!attributeAtom(n, a, sub + QLatin1Char('.') + StoreSchema::quote(comps[1]), inner, binds))
            return false;
        const StoreSchema::Relation& rel = m_schema.relation(r);
        QString from;
        if (rel.storage == Storage::InverseForeignKey) {
            from = QStringLiteral("FROM %1 %2 WHERE %2.%3 = %4.Z_PK")
                       .arg(destTable, sub, StoreSchema::quote(rel.column), alias);
        } else if (rel.storage == Storage::JoinTable) {
            const QString j = QStringLiteral("j%1").arg(m_aliases);
            from = QStringLiteral("FROM %1 %2 JOIN %3 %4 ON %4.Z_PK = %2.%5 WHERE %2.%6 = %7.Z_PK")
                       .arg(StoreSchema::quote(rel.joinTable), j, destTable, sub, rel.otherColumn,
                            rel.selfColumn, alias);
        } else {
            return false;
        }
        switch (n.modifier) {
        case Predicate::Modifier::Any:
            out = QStringLiteral("EXISTS (SELECT 1 %1 AND (%2))").arg(from, inner);
            return true;
        case Predicate::Modifier::None:
            out = QStringLiteral("NOT EXISTS (SELECT 1 %1 AND (%2))").arg(from, inner);
            return true;
        case Predicate::Modifier::All:
            out = QStringLiteral("NOT EXISTS (SELECT 1 %1 AND NOT (%2))").arg(from, inner);
            return true;
        default:
            return false;
        }
    }

    // Every atom answers 0 or 1, never NULL, so NOT behaves as in memory.
    bool attributeAtom(const PredicateNode& n, const AttributeDescription* a, const QString& col,
                       QString& out, QVariantList& binds)
    {
        using Op = Predicate::Operator;
        const QVariant& v = n.right.constant;
        if (a->type == AttributeDescription::Type::Transformable)
            return false;
        if (KeyValueCoding::isNil(v)) {
            if (n.op == Op::Equal)
                out = col + QStringLiteral(" IS NULL");
            else if (n.op == Op::NotEqual)
                out = col + QStringLiteral(" IS NOT NULL");
            else
                out = QStringLiteral("0");
            return true;
        }
        if (n.op == Op::In) {
            if (!KeyValueCoding::isList(v) || n.options)
                return false;
            const QVariantList list = v.toList();
            if (list.isEmpty()) {
                out = QStringLiteral("0");
                return true;
            }
            for (const QVariant& element : list)
                if (KeyValueCoding::isNil(element) || !kindMatches(a->type, element) ||
                    a->type == AttributeDescription::Type::Data)
                    return false;
            out = QStringLiteral("(%1 IS NOT NULL AND %1 IN %2)").arg(col, inList(list, binds));
            return true;
        }
        if (!kindMatches(a->type, v))
            return false;
        const bool text = a->type == AttributeDescription::Type::String;
        switch (n.op) {
        case Op::Equal:
            if (n.options == Predicate::CaseInsensitive && text && isAscii(v.toString())) {
                // Text equal under folding to an ASCII text is equal ignoring ASCII case (but for the
                // Kelvin sign, the long s and U+FEFF), which a NOCASE index answers; the folding confirms.
                out = QStringLiteral("(%1 = ? COLLATE NOCASE AND tv_eq(%1, ?, %2))").arg(col).arg(n.options);
                binds.append(v);
            } else if (n.options && text) {
                out = QStringLiteral("tv_eq(%1, ?, %2)").arg(col).arg(n.options);
            } else {
                out = col + QStringLiteral(" IS ?");
            }
            binds.append(v);
            return true;
        case Op::NotEqual:
            if (n.options && text)
                out = QStringLiteral("NOT tv_eq(%1, ?, %2)").arg(col).arg(n.options);
            else
                out = col + QStringLiteral(" IS NOT ?");
            binds.append(v);
            return true;
        case Op::Less:
        case Op::LessOrEqual:
        case Op::Greater:
        case Op::GreaterOrEqual: {
            if (n.options)
                return false;
            static const char* const ops[] = {"<", "<=", ">", ">="};
            out = QStringLiteral("(%1 IS NOT NULL AND %1 %2 ?)")
                      .arg(col, QLatin1String(ops[int(n.op) - int(Op::Less)]));
            binds.append(v);
            return true;
        }
        case Op::BeginsWith:
        case Op::EndsWith:
        case Op::Contains:
        case Op::Like:
        case Op::Matches: {
            if (!text)
                return false;
            const int sop = n.op == Op::BeginsWith ? KeyValueCoding::BeginsWith
                            : n.op == Op::EndsWith ? KeyValueCoding::EndsWith
                            : n.op == Op::Contains ? KeyValueCoding::Contains
                            : n.op == Op::Like     ? KeyValueCoding::Like
                                                   : KeyValueCoding::Matches;
            out = QStringLiteral("tv_str(%1, %2, %3, ?)").arg(sop).arg(n.options).arg(col);
            binds.append(v);
            return true;
        }
        default:
            return false;
        }
    }

    static bool recordKey(const QVariant& v, const EntityDescription* e, qint64* key)
    {
        const ManagedObject* r = KeyValueCoding::record(v);
        if (!r || !r->entity() || r->entity()->rootEntity() != e->rootEntity())
            return false;
        *key = r->objectID().primaryKey();
        return true;
    }

    // A stored to-one compared with records or nil.
    bool keyAtom(const PredicateNode& n, const EntityDescription* destination, const QString& col,
                 QString& out, QVariantList& binds)
    {
        using Op = Predicate::Operator;
        const QVariant& v = n.right.constant;
        qint64 key = 0;
        if (n.op == Op::Equal || n.op == Op::NotEqual) {
            const bool equal = n.op == Op::Equal;
            if (KeyValueCoding::isNil(v)) {
                out = col + (equal ? QStringLiteral(" IS NULL") : QStringLiteral(" IS NOT NULL"));
                return true;
            }
            if (!KeyValueCoding::record(v))
                return false;
            if (!recordKey(v, destination, &key)) {
                out = equal ? QStringLiteral("0") : QStringLiteral("1");
                return true;
            }
            // "=" rather than "IS": the key is never NULL, and only "=" reaches a partial index.
            out = equal ? QStringLiteral("(%1 IS NOT NULL AND %1 = ?)").arg(col)
                        : col + QStringLiteral(" IS NOT ?");
            binds.append(key);
            return true;
        }
        if (n.op == Op::In && KeyValueCoding::isList(v)) {
            QVariantList keys;
            for (const QVariant& element : v.toList()) {
                if (!KeyValueCoding::record(element))
                    return false;
                if (recordKey(element, destination, &key))
                    keys.append(key);
            }
            out = keys.isEmpty()
                      ? QStringLiteral("0")
                      : QStringLiteral("(%1 IS NOT NULL AND %1 IN %2)").arg(col, inList(keys, binds));
            return true;
        }
        return false;
    }

    bool selfAtom(const PredicateNode& n, const EntityDescription* e, const QString& alias, QString& out,
                  QVariantList& binds)
    {
        using Op = Predicate::Operator;
        const QVariant& v = n.right.constant;
        const QString col = alias + QStringLiteral(".Z_PK");
        qint64 key = 0;
        if (n.op == Op::Equal || n.op == Op::NotEqual) {
            const bool equal = n.op == Op::Equal;
            if (KeyValueCoding::isNil(v)) {
                out = equal ? QStringLiteral("0") : QStringLiteral("1");
                return true;
            }
            if (!KeyValueCoding::record(v))
                return false;
            if (!recordKey(v, e, &key)) {
                out = equal ? QStringLiteral("0") : QStringLiteral("1");
                return true;
            }
            out = col + (equal ? QStringLiteral(" = ?") : QStringLiteral(" <> ?"));
            binds.append(key);
            return true;
        }
        if (n.op == Op::In && KeyValueCoding::isList(v)) {
            QVariantList keys;
            for (const QVariant& element : v.toList()) {
                if (!KeyValueCoding::record(element))
                    return false;
                if (recordKey(element, e, &key))
                    keys.append(key);
            }
            out = keys.isEmpty() ? QStringLiteral("0")
                                 : QStringLiteral("%1 IN %2").arg(col, inList(keys, binds));
            return true;
        }
        return false;
    }

    const StoreSchema& m_schema;
    int m_aliases = 0;
};

struct FetchPlan
{
    const EntityDescription* entity = nullptr;
    QString where;
    QVariantList binds;
    QList<std::shared_ptr<const PredicateNode>> residual; // evaluated in memory, all must hold
    QString orderBy;
    bool sqlSort = true;
    bool dirty = false;
};

void bindAll(SqliteStatement& s, const QVariantList& binds, int first = 1)
{
    for (int i = 0; i < binds.size(); ++i)
        s.bind(first + i, binds[i]);
}
} // namespace

struct ManagedObjectContext::Private
{
    std::shared_ptr<PersistentStoreCoordinator> coordinator;
    std::unique_ptr<SqliteConnection> db;
    QHash<ManagedObjectID, std::weak_ptr<ManagedObject>> registry;
    QHash<ManagedObjectID, ManagedObjectPtr> inserted, updated, deleted, observed;
    QHash<ManagedObjectID, ManagedObjectPtr> pendingInserted, pendingUpdated, pendingDeleted;
    bool pendingInvalidated = false;
    bool processScheduled = false;
    bool destroying = false;
    QRecursiveMutex mutex;

    QHash<const EntityDescription*, QString> insertStatements;
    // Held around every use of the connection; the coordinator takes it to close the store.
    std::recursive_mutex dbMutex;
    quint64 generation = 0;

    const StoreSchema& schema() const { return coordinator->schema(); }
    // "INSERT INTO table (every column of the entity) VALUES (?, ...)", made once per entity.
    const QString& insertSql(const EntityDescription* e)
    {
        auto it = insertStatements.constFind(e);
        if (it != insertStatements.constEnd())
            return *it;
        QStringList cols{QStringLiteral("Z_PK"), QStringLiteral("Z_ENT")};
        for (const AttributeDescription* a : e->attributes())
            cols.append(StoreSchema::quote(a->name));
        for (const RelationshipDescription* rel : e->relationships())
            if (!rel->toMany) {
                cols.append(StoreSchema::quote(rel->name));
                cols.append(StoreSchema::quote(rel->name + QStringLiteral("_ent")));
            }
        QString marks = QStringLiteral("?");
        for (qsizetype i = 1; i < cols.size(); ++i)
            marks += QStringLiteral(",?");
        return *insertStatements.insert(
            e, QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                   .arg(StoreSchema::quote(schema().table(e).name), cols.join(QLatin1Char(',')), marks));
    }
    SqliteConnection& connection()
    {
        if (db && generation != coordinator->storeGeneration())
            db.reset();
        if (!db)
            db = coordinator->openConnection();
        return *db;
    }
    ManagedObjectPtr registered(const ManagedObjectID& id) const
    {
        auto it = registry.constFind(id);
        return it == registry.constEnd() ? ManagedObjectPtr() : it->lock();
    }
};

ManagedObjectContext::ManagedObjectContext(std::shared_ptr<PersistentStoreCoordinator> coordinator,
                                           QObject* parent)
    : QObject(parent), d(std::make_unique<Private>())
{
    qRegisterMetaType<tavrel::ObjectsDidChangeNotification>();
    qRegisterMetaType<tavrel::SaveNotification>();
    if (!coordinator)
        throw Exception(Exception::kInvalidArgumentException,
                        QStringLiteral("A context needs a store coordinator"));
    d->coordinator = std::move(coordinator);
    d->generation = d->coordinator->storeGeneration();
    d->coordinator->registerContext(this);
}

std::unique_lock<std::recursive_mutex> ManagedObjectContext::lockConnection()
{
    return std::unique_lock<std::recursive_mutex>(d->dbMutex);
}

void ManagedObjectContext::closeConnection()
{
    std::lock_guard use(d->dbMutex);
    d->db.reset();
}

void ManagedObjectContext::adoptCurrentStore()
{
    const quint64 current = d->coordinator->storeGeneration();
    if (d->generation == current || !d->coordinator->hasStore())
        return; // while no store is added, uses answer errors and the records stay
    d->generation = current;
    {
        std::lock_guard use(d->dbMutex);
        d->db.reset();
    }
    // Its records and changes belong to a store that is gone; the new store reuses their keys.
    reset();
}

ManagedObjectContext::~ManagedObjectContext()
{
    d->coordinator->unregisterContext(this);
    d->destroying = true;
    for (const auto& weak : std::as_const(d->registry))
        if (auto o = weak.lock())
            o->m_context = nullptr;
    d->pendingInserted.clear();
    d->pendingUpdated.clear();
    d->pendingDeleted.clear();
    d->inserted.clear();
    d->updated.clear();
    d->deleted.clear();
    d->observed.clear();
    d->registry.clear();
}

PersistentStoreCoordinator* ManagedObjectContext::persistentStoreCoordinator() const
{
    return d->coordinator.get();
}

const std::shared_ptr<PersistentStoreCoordinator>& ManagedObjectContext::coordinator() const
{
    return d->coordinator;
}

void ManagedObjectContext::forget(const ManagedObjectID& id)
{
    if (d->destroying)
        return;
    auto it = d->registry.find(id);
    if (it != d->registry.end() && it->expired())
        d->registry.erase(it);
}

namespace {
ManagedObjectPtr makeObject(const EntityDescription* e, const ManagedObjectID&)
{
    ManagedObjectPtr o = e->recordFactory()();
    if (!o)
        throw Exception(Exception::kInternalInconsistencyException,
                        QStringLiteral("The record class of %1 made nothing").arg(e->name()));
    return o;
}
} // namespace

ManagedObjectPtr ManagedObjectContext::insertNewObject(const QString& entityName)
{
    adoptCurrentStore();
    const EntityDescription* e = d->coordinator->managedObjectModel().entity(entityName);
    if (!e)
        throw Exception(Exception::kInvalidArgumentException,
                        QStringLiteral("The model has no entity named %1").arg(entityName));
    if (e->isAbstract())
        throw Exception(Exception::kInvalidArgumentException,
                        QStringLiteral("The entity %1 is abstract and cannot be inserted").arg(entityName));
    const ManagedObjectID id(e, d->coordinator->nextPrimaryKey(e->rootEntity()), true);
    ManagedObjectPtr o = makeObject(e, id);
    o->m_entity = e;
    o->m_id = id;
    o->m_context = this;
    o->m_inserted = true;
    o->m_loaded = true;
    o->m_values.resize(e->attributes().size());
    for (int i = 0; i < e->attributes().size(); ++i)
        o->m_values.set(i, e->attributes()[i]->coerce(e->attributes()[i]->defaultValue));
    o->m_relations.resize(e->relationships().size());
    o->m_relations.loadAllEmpty();
    d->registry.insert(id, o);
    d->inserted.insert(id, o);
    d->pendingInserted.insert(id, o);
    recordChange(o.get());
    o->awakeFromInsert();
    return o;
}

ManagedObjectPtr ManagedObjectContext::objectRegisteredForID(const ManagedObjectID& id) const
{
    const_cast<ManagedObjectContext*>(this)->adoptCurrentStore();
    return d->registered(id);
}

ManagedObjectPtr ManagedObjectContext::objectWithID(const ManagedObjectID& id)
{
    adoptCurrentStore();
    if (id.isNull())
        return {};
    if (auto o = d->registered(id))
        return o;
    const EntityDescription* e = d->coordinator->managedObjectModel().entity(id.entity()->name());
    if (e != id.entity())
        return {}; // an id of another model
    ManagedObjectPtr o = makeObject(e, id);
    o->m_entity = e;
    o->m_id = ManagedObjectID(e, id.primaryKey(), false);
    o->m_context = this;
    o->m_values.resize(e->attributes().size());
    o->m_relations.resize(e->relationships().size());
    d->registry.insert(o->m_id, o);
    return o;
}

ManagedObjectPtr ManagedObjectContext::existingObjectWithID(const ManagedObjectID& id, Error* error)
{
    ManagedObjectPtr o = objectWithID(id);
    bool found = o && !o->m_deleted;
    if (found && !o->m_loaded && !o->m_inserted)
        found = fireFault(o.get());
    if (!found) {
        if (error)
            *error = makeError(ObjectNotFoundError,
                               QStringLiteral("The record %1 is not in the store").arg(id.toString()));
        return {};
    }
    return o;
}

namespace {
void applyRow(ManagedObject* o, const SqliteStatement& s, const StoreSchema& schema, bool keepChanged,
              KeyBits* changedAttributes, KeyBits* changedRelations, RecordValues& values,
              RecordRelations& relations)
{
    const EntityDescription* e = o->entity();
    const StoreSchema::Layout& layout = schema.layout(e);
    for (int i = 0; i < e->attributes().size(); ++i) {
        if (keepChanged && changedAttributes->contains(i))
            continue;
        values.set(i, readColumn(s, layout.attributeColumns[i], e->attributes()[i]->type));
    }
    for (int r = 0; r < e->relationships().size(); ++r) {
        if (keepChanged && changedRelations->contains(r))
            continue;
        const RelationshipDescription* rel = e->relationships()[r];
        if (rel->toMany) {
            relations.unload(r);
            continue;
        }
        const int col = layout.relationColumns[r];
        if (col < 0 || s.isNull(col)) {
            relations.set(r, {});
            continue;
        }
        const EntityDescription* target =
            s.isNull(col + 1) ? nullptr : schema.entityForNumber(int(s.int64(col + 1)));
        if (!target || !target->isKindOfEntity(rel->destination))
            target = rel->destination;
        relations.set(r, QList<ManagedObjectID>{ManagedObjectID(target, s.int64(col))});
    }
}
} // namespace

bool ManagedObjectContext::fireFault(const ManagedObject* object)
{
    std::unique_lock use(d->dbMutex);
    auto* self = const_cast<ManagedObject*>(object);
    if (self->m_loaded || self->m_inserted)
        return true;
    QList<ManagedObjectPtr> targets{self->shared_from_this()};
    if (self->m_batch) {
        const auto& ids = self->m_batch->ids;
        for (qsizetype j = self->m_batchIndex + 1; j < ids.size() && targets.size() < self->m_batch->size;
             ++j) {
            ManagedObjectPtr other = d->registered(ids[j]);
            if (other && !other->m_loaded && !other->m_inserted &&
                other->m_entity->rootEntity() == self->m_entity->rootEntity())
                targets.append(other);
        }
    }
    QHash<qint64, ManagedObjectPtr> byKey;
    for (const auto& t : targets)
        byKey.insert(t->m_id.primaryKey(), t);
    QList<ManagedObjectPtr> loaded;
    try {
        const StoreSchema& schema = d->schema();
        QString sql = schema.selectAll(self->m_entity) + QStringLiteral(" WHERE t.Z_PK IN (");
        for (qsizetype i = 0; i < targets.size(); ++i)
            sql += i ? QStringLiteral(",?") : QStringLiteral("?");
        sql += QLatin1Char(')');
        SqliteStatement& s = d->connection().prepare(sql);
        for (qsizetype i = 0; i < targets.size(); ++i)
            s.bindInt64(int(i + 1), targets[i]->m_id.primaryKey());
        while (s.step()) {
            ManagedObjectPtr t = byKey.value(s.int64(0));
            if (!t || t->m_loaded)
                continue;
            applyRow(t.get(), s, schema, true, &t->m_changedAttributes, &t->m_changedRelationships,
                     t->m_values, t->m_relations);
            t->m_loaded = true;
            t->m_batch.reset();
            loaded.append(t);
        }
        s.reset();
    } catch (const std::exception&) {
        return false;
    }
    for (const auto& t : loaded)
        t->awakeFromFetch();
    return self->m_loaded;
}

const QList<ManagedObjectID>& ManagedObjectContext::relationList(const ManagedObject* object, int index)
{
    static const QList<ManagedObjectID> empty;
    auto* o = const_cast<ManagedObject*>(object);
    if (index < 0 || index >= o->m_relations.size())
        return empty;
    const RelationshipDescription* rel = o->m_entity->relationships()[index];
    if (!rel->toMany) {
        o->fire();
        if (!o->m_relations.isLoaded(index))
            o->m_relations.set(index, {});
        return o->m_relations.list(index);
    }
    if (o->m_relations.isLoaded(index))
        return o->m_relations.list(index);
    QList<ManagedObjectID> ids;
    if (!o->m_inserted) {
        std::unique_lock use(d->dbMutex);
        try {
            const StoreSchema& schema = d->schema();
            const StoreSchema::Relation& storage = schema.relation(rel);
            QString sql;
            if (storage.storage == Storage::InverseForeignKey) {
                sql = QStringLiteral("SELECT t.Z_PK, t.Z_ENT FROM %1 t WHERE t.%2 = ? ORDER BY t.Z_PK")
                          .arg(StoreSchema::quote(schema.table(rel->destination).name),
                               StoreSchema::quote(storage.column));
            } else {
                sql =
                    QStringLiteral("SELECT %1, %1_ENT FROM %2 WHERE %3 = ? ORDER BY rowid")
                        .arg(storage.otherColumn, StoreSchema::quote(storage.joinTable), storage.selfColumn);
            }
            SqliteStatement& s = d->connection().prepare(sql);
            s.bindInt64(1, o->m_id.primaryKey());
            while (s.step()) {
                const EntityDescription* target = schema.entityForNumber(int(s.int64(1)));
                if (!target || !target->isKindOfEntity(rel->destination))
                    continue;
                ids.append(ManagedObjectID(target, s.int64(0)));
            }
            s.reset();
        } catch (const std::exception&) {
        }
    }
    o->m_relations.set(index, ids);
    return o->m_relations.list(index);
}

void ManagedObjectContext::recordChange(ManagedObject* object)
{
    ManagedObjectPtr o = object->shared_from_this();
    if (!object->m_inserted && !object->m_deleted) {
        d->updated.insert(object->m_id, o);
        if (!d->pendingInserted.contains(object->m_id))
            d->pendingUpdated.insert(object->m_id, o);
    }
    if (!d->processScheduled) {
        d->processScheduled = true;
        QMetaObject::invokeMethod(
            this,
            [this] {
                if (d->processScheduled)
                    processPendingChanges();
            },
            Qt::QueuedConnection);
    }
}

namespace {
void willChangeRelation(ManagedObject* o, int index, QHash<int, QList<ManagedObjectID>>& saved,
                        const QList<ManagedObjectID>& current, KeyBits& changed)
{
    if (!o->isInserted() && !saved.contains(index))
        saved.insert(index, current);
    changed.insert(index);
}
} // namespace

void ManagedObjectContext::setToOneRelationship(ManagedObject* object, const RelationshipDescription* rel,
                                                ManagedObject* target)
{
    const int index = rel->index;
    const QList<ManagedObjectID>& current = relationList(object, index);
    const ManagedObjectID old = current.isEmpty() ? ManagedObjectID() : current.first();
    const ManagedObjectID wanted = target ? target->m_id : ManagedObjectID();
    if (old == wanted)
        return;
    willChangeRelation(object, index, object->m_savedRelations, object->m_relations.list(index),
                       object->m_changedRelationships);
    object->m_relations.set(index,
                            wanted.isNull() ? QList<ManagedObjectID>() : QList<ManagedObjectID>{wanted});
    recordChange(object);
    object->notifyObservers(rel->name);
    if (!rel->inverse)
        return;
    if (!old.isNull())
        if (auto oldTarget = objectWithID(old))
            removeRelated(oldTarget.get(), rel->inverse, object->m_id);
    if (target)
        addRelated(target, rel->inverse, object);
}

void ManagedObjectContext::addRelated(ManagedObject* object, const RelationshipDescription* rel,
                                      ManagedObject* target)
{
    // Also the inverse step of a to-one: "object.rel" gains target, whatever kind rel is.
    const int index = rel->index;
    relationList(object, index); // loads it
    if (object->m_relations.contains(index, target->m_id))
        return;
    if (!rel->toMany) {
        setToOneRelationship(object, rel, target);
        return;
    }
    willChangeRelation(object, index, object->m_savedRelations, object->m_relations.list(index),
                       object->m_changedRelationships);
    // In place: nothing else may share the list here, or every append would copy it whole.
    object->m_relations.append(index, target->m_id);
    recordChange(object);
    object->notifyObservers(rel->name);
    if (rel->inverse)
        addRelated(target, rel->inverse, object);
}

void ManagedObjectContext::removeRelated(ManagedObject* object, const RelationshipDescription* rel,
                                         const ManagedObjectID& id)
{
    const int index = rel->index;
    relationList(object, index); // loads it
    if (!object->m_relations.contains(index, id))
        return;
    willChangeRelation(object, index, object->m_savedRelations, object->m_relations.list(index),
                       object->m_changedRelationships);
    object->m_relations.remove(index, id);
    recordChange(object);
    object->notifyObservers(rel->name);
    if (rel->inverse)
        if (auto target = objectWithID(id))
            removeRelated(target.get(), rel->inverse, object->m_id);
}

void ManagedObjectContext::keepObserved(ManagedObject* object, bool keep)
{
    if (keep)
        d->observed.insert(object->m_id, object->shared_from_this());
    else
        d->observed.remove(object->m_id);
}

void ManagedObjectContext::deleteObject(const ManagedObjectPtr& object)
{
    if (!object || object->m_context != this || object->m_deleted)
        return;
    object->fire();
    object->m_deleted = true;
    const ManagedObjectID id = object->m_id;
    d->updated.remove(id);
    d->deleted.insert(id, object);
    d->pendingInserted.remove(id);
    d->pendingUpdated.remove(id);
    d->pendingDeleted.insert(id, object);
    recordChange(object.get());
    const auto& rels = object->m_entity->relationships();
    for (const RelationshipDescription* rel : rels) {
        using Rule = RelationshipDescription::DeleteRule;
        if (rel->deleteRule == Rule::Deny || rel->deleteRule == Rule::NoAction) {
            relationList(object.get(), rel->index); // kept for the check on save
            continue;
        }
        const QList<ManagedObjectID> ids = relationList(object.get(), rel->index);
        for (const ManagedObjectID& other : ids) {
            ManagedObjectPtr target = objectWithID(other);
            if (!target)
                continue;
            if (rel->inverse)
                removeRelated(target.get(), rel->inverse, id);
            if (rel->deleteRule == Rule::Cascade)
                deleteObject(target);
        }
    }
}

bool ManagedObjectContext::hasChanges() const
{
    const_cast<ManagedObjectContext*>(this)->adoptCurrentStore();
    return !d->inserted.isEmpty() || !d->updated.isEmpty() || !d->deleted.isEmpty();
}

QList<ManagedObjectPtr> ManagedObjectContext::insertedObjects() const
{
    const_cast<ManagedObjectContext*>(this)->adoptCurrentStore();
    QList<ManagedObjectPtr> result;
    for (const auto& o : std::as_const(d->inserted))
        if (!o->m_deleted)
            result.append(o);
    return result;
}

QList<ManagedObjectPtr> ManagedObjectContext::updatedObjects() const
{
    const_cast<ManagedObjectContext*>(this)->adoptCurrentStore();
    return d->updated.values();
}

QList<ManagedObjectPtr> ManagedObjectContext::deletedObjects() const
{
    const_cast<ManagedObjectContext*>(this)->adoptCurrentStore();
    QList<ManagedObjectPtr> result;
    for (const auto& o : std::as_const(d->deleted))
        if (!o->m_inserted)
            result.append(o);
    return result;
}

QList<ManagedObjectPtr> ManagedObjectContext::registeredObjects() const
{
    QList<ManagedObjectPtr> result;
    for (const auto& weak : std::as_const(d->registry))
        if (auto o = weak.lock())
            result.append(o);
    return result;
}

bool ManagedObjectContext::save(Error* error)
{
    adoptCurrentStore();
    if (!hasChanges())
        return true;
    // A Deny rule holds while the deleted record still refers to a record that stays.
    for (const auto& o : std::as_const(d->deleted)) {
        for (const RelationshipDescription* rel : o->m_entity->relationships()) {
            if (rel->deleteRule != RelationshipDescription::DeleteRule::Deny)
                continue;
            for (const ManagedObjectID& other : relationList(o.get(), rel->index)) {
                ManagedObjectPtr target = d->registered(other);
                if (target && target->m_deleted)
                    continue;
                if (error)
                    *error = makeError(
                        DeniedDeleteError,
                        QStringLiteral("%1 cannot be deleted while its relationship \"%2\" refers to %3")
                            .arg(o->m_id.toString(), rel->name, other.toString()));
                return false;
            }
        }
    }

    SaveNotification note;
    note.source = this;
    QList<ManagedObjectPtr> inserted, updated, deleted;
    for (const auto& o : std::as_const(d->inserted))
        if (!o->m_deleted)
            inserted.append(o);
    for (const auto& o : std::as_const(d->updated))
        if (!o->m_deleted && !o->m_inserted)
            updated.append(o);
    for (const auto& o : std::as_const(d->deleted))
        if (!o->m_inserted)
            deleted.append(o);

    PersistentStoreCoordinator& psc = *d->coordinator;
    psc.lockWrites();
    std::unique_lock use(d->dbMutex);
    try {
        const StoreSchema& schema = d->schema();
        SqliteConnection& db = d->connection();
        db.exec(QStringLiteral("BEGIN IMMEDIATE"));
        try {
            auto writeJoinDeltas = [&](ManagedObject* o) {
                for (int r : std::as_const(o->m_changedRelationships)) {
                    const RelationshipDescription* rel = o->m_entity->relationships()[r];
                    const StoreSchema::Relation& storage = schema.relation(rel);
                    if (storage.storage != Storage::JoinTable || !o->m_relations.isLoaded(r))
                        continue;
                    const QList<ManagedObjectID> before = o->m_savedRelations.value(r);
                    const QList<ManagedObjectID>& now = o->m_relations.list(r);
                    const QString table = StoreSchema::quote(storage.joinTable);
                    // Sets only for long lists: short ones are scanned faster than hashed.
                    const bool large = before.size() > 16 && now.size() > 16;
                    const QSet<ManagedObjectID> beforeSet =
                        large ? QSet<ManagedObjectID>(before.cbegin(), before.cend())
                              : QSet<ManagedObjectID>();
                    const QSet<ManagedObjectID> nowSet =
                        large ? QSet<ManagedObjectID>(now.cbegin(), now.cend()) : QSet<ManagedObjectID>();
                    for (const ManagedObjectID& id : now) {
                        if (large ? beforeSet.contains(id) : before.contains(id))
                            continue;
                        SqliteStatement& s = db.prepare(
                            QStringLiteral(
                                "INSERT OR IGNORE INTO %1 (%2, %2_ENT, %3, %3_ENT) VALUES (?, ?, ?, ?)")
                                .arg(table, storage.selfColumn, storage.otherColumn));
                        s.bindInt64(1, o->m_id.primaryKey());
                        s.bindInt64(2, schema.entityNumber(o->m_entity));
                        s.bindInt64(3, id.primaryKey());
                        s.bindInt64(4, schema.entityNumber(id.entity()));
                        s.run();
                    }
                    for (const ManagedObjectID& id : before) {
                        if (large ? nowSet.contains(id) : now.contains(id))
                            continue;
                        SqliteStatement& s =
                            db.prepare(QStringLiteral("DELETE FROM %1 WHERE %2 = ? AND %3 = ?")
                                           .arg(table, storage.selfColumn, storage.otherColumn));
                        s.bindInt64(1, o->m_id.primaryKey());
                        s.bindInt64(2, id.primaryKey());
                        s.run();
                    }
                }
            };
            // Keys ascending per table: rows append to the end of each B-tree instead of splitting pages.
            // Sorted as plain keys, so the sort does not visit the records.
            struct Row
            {
                const EntityDescription* root;
                qint64 key;
                ManagedObject* record;
            };
            std::vector<Row> rows;
            rows.reserve(size_t(inserted.size()));
            for (const auto& o : std::as_const(inserted))
                rows.push_back(Row{o->m_entity->rootEntity(), o->m_id.primaryKey(), o.get()});
            std::sort(rows.begin(), rows.end(), [](const Row& a, const Row& b) {
                if (a.root != b.root)
                    return std::less<const EntityDescription*>()(a.root, b.root);
                return a.key < b.key;
            });
            const EntityDescription* lastEntity = nullptr;
            SqliteStatement* insert = nullptr;
            quint64 cacheGeneration = 0;
            qint64 entityNumber = 0;
            for (const Row& row : rows) {
                ManagedObject* o = row.record;
                const EntityDescription* e = o->m_entity;
                if (e != lastEntity || db.cacheGeneration() != cacheGeneration) {
                    insert = &db.prepare(d->insertSql(e));
                    cacheGeneration = db.cacheGeneration();
                    entityNumber = schema.entityNumber(e);
                    lastEntity = e;
                } else {
                    insert->reset();
                }
                SqliteStatement& s = *insert;
                int n = 1;
                s.bindInt64(n++, o->m_id.primaryKey());
                s.bindInt64(n++, entityNumber);
                // Parameters left unbound are NULL after the reset.
                for (int i = 0; i < e->attributes().size(); ++i, ++n)
                    if (const QVariant& value = o->m_values.at(i); value.isValid())
                        bindAttribute(s, n, e->attributes()[i], value);
                for (const RelationshipDescription* rel : e->relationships()) {
                    if (rel->toMany)
                        continue;
                    const QList<ManagedObjectID>& ids = o->m_relations.list(rel->index);
                    if (!ids.isEmpty()) {
                        s.bindInt64(n, ids.first().primaryKey());
                        s.bindInt64(n + 1, schema.entityNumber(ids.first().entity()));
                    }
                    n += 2;
                }
                s.run();
                writeJoinDeltas(o);
            }
            for (const auto& o : std::as_const(updated)) {
                const EntityDescription* e = o->m_entity;
                QStringList sets;
                QList<std::function<void(SqliteStatement&, int&)>> binders;
                const QList<int> attrs = o->m_changedAttributes.values();
                for (int i : attrs)
                    sets.append(StoreSchema::quote(e->attributes()[i]->name) + QStringLiteral(" = ?"));
                const QList<int> rels = o->m_changedRelationships.values();
                QList<int> storedRels;
                for (int r : rels)
                    if (!e->relationships()[r]->toMany) {
                        storedRels.append(r);
                        sets.append(StoreSchema::quote(e->relationships()[r]->name) + QStringLiteral(" = ?"));
                        sets.append(StoreSchema::quote(e->relationships()[r]->name + QStringLiteral("_ent")) +
                                    QStringLiteral(" = ?"));
                    }
                if (!sets.isEmpty()) {
                    SqliteStatement& s = db.prepare(
                        QStringLiteral("UPDATE %1 SET %2 WHERE Z_PK = ?")
                            .arg(StoreSchema::quote(schema.table(e).name), sets.join(QStringLiteral(", "))));
                    int n = 1;
                    for (int i : attrs)
                        bindAttribute(s, n++, e->attributes()[i], o->m_values.at(i));
                    for (int r : storedRels) {
                        const QList<ManagedObjectID>& ids = o->m_relations.list(r);
                        if (!ids.isEmpty()) {
                            s.bindInt64(n++, ids.first().primaryKey());
                            s.bindInt64(n++, schema.entityNumber(ids.first().entity()));
                        } else {
                            s.bindNull(n++);
                            s.bindNull(n++);
                        }
                    }
                    s.bindInt64(n, o->m_id.primaryKey());
                    s.run();
                }
                writeJoinDeltas(o.get());
            }
            for (const auto& o : std::as_const(deleted)) {
                const EntityDescription* e = o->m_entity;
                SqliteStatement& s = db.prepare(QStringLiteral("DELETE FROM %1 WHERE Z_PK = ?")
                                                    .arg(StoreSchema::quote(schema.table(e).name)));
                s.bindInt64(1, o->m_id.primaryKey());
                s.run();
                for (const RelationshipDescription* rel : e->relationships()) {
                    const StoreSchema::Relation& storage = schema.relation(rel);
                    if (storage.storage != Storage::JoinTable)
                        continue;
                    SqliteStatement& j =
                        db.prepare(QStringLiteral("DELETE FROM %1 WHERE %2 = ?")
                                       .arg(StoreSchema::quote(storage.joinTable), storage.selfColumn));
                    j.bindInt64(1, o->m_id.primaryKey());
                    j.run();
                }
            }
            db.exec(QStringLiteral("COMMIT"));
        } catch (...) {
            try {
                db.exec(QStringLiteral("ROLLBACK"));
            } catch (...) {
            }
            throw;
        }
    } catch (const std::exception& failure) {
        psc.unlockWrites();
        if (error)
            *error = makeError(SaveError, QStringLiteral("The changes could not be saved: %1")
                                              .arg(QString::fromStdString(failure.what())));
        return false;
    }
    psc.unlockWrites();
    use.unlock(); // not held while others hear of the save

    // The store holds the changes: the records are clean now.
    // Ids compare and hash alike whether temporary or not: the registry keeps its entries.
    note.inserted.reserve(inserted.size());
    for (const auto& o : std::as_const(inserted)) {
        o->m_id.m_temporary = false;
        o->m_inserted = false;
        note.inserted.append(o->m_id);
    }
    for (const auto& o : std::as_const(updated)) {
        QStringList keys;
        for (int i : std::as_const(o->m_changedAttributes))
            keys.append(o->m_entity->attributes()[i]->name);
        for (int r : std::as_const(o->m_changedRelationships))
            keys.append(o->m_entity->relationships()[r]->name);
        note.updated.append(o->m_id);
        note.updatedKeys.insert(o->m_id, keys);
    }
    for (const auto& o : std::as_const(d->deleted)) {
        if (!o->m_inserted)
            note.deleted.append(o->m_id);
        d->registry.remove(o->m_id);
        d->observed.remove(o->m_id);
        o->m_inserted = false;
        o->m_context = nullptr;
    }
    for (const auto& list : {inserted, updated}) {
        for (const auto& o : list) {
            o->m_changedAttributes.clear();
            o->m_changedRelationships.clear();
            o->m_savedRelations.clear();
        }
    }
    d->inserted.clear();
    d->updated.clear();
    d->deleted.clear();
    processPendingChanges();
    emit didSave(note);
    psc.announceSave(note);
    releaseSaved(inserted);
    return true;
}

void ManagedObjectContext::releaseSaved(QList<ManagedObjectPtr>& saved)
{
    // A large import leaves most of its records held by nobody once saved. Erasing their registry
    // entries one by one as each goes costs more than the import's own rows; when they are most of the
    // registry, the few others are kept in a new one instead.
    // Released in the order they lie in memory, which is the order they were made.
    std::sort(saved.begin(), saved.end(), [](const ManagedObjectPtr& a, const ManagedObjectPtr& b) {
        return std::less<ManagedObject*>()(a.get(), b.get());
    });
    qsizetype unheld = 0;
    for (const auto& o : std::as_const(saved))
        unheld += o.use_count() == 1 ? 1 : 0;
    if (unheld < 1024 || unheld * 2 < d->registry.size()) {
        saved.clear();
        return;
    }
    for (const auto& o : std::as_const(saved))
        if (o.use_count() == 1)
            o->m_context = nullptr; // leaves without telling the registry
    saved.clear();
    QHash<ManagedObjectID, std::weak_ptr<ManagedObject>> kept;
    kept.reserve(d->registry.size() - unheld);
    for (auto it = d->registry.cbegin(); it != d->registry.cend(); ++it)
        if (!it->expired())
            kept.insert(it.key(), *it);
    d->registry = std::move(kept);
}

namespace {
bool matchesEntity(const ManagedObject* o, const EntityDescription* e, bool sub)
{
    return sub ? o->entity()->isKindOfEntity(e) : o->entity() == e;
}
} // namespace

static FetchPlan makePlan(const FetchRequest& request, const StoreSchema& schema,
                          const ManagedObjectModel& model)
{
    FetchPlan plan;
    plan.entity = model.entity(request.entityName());
    if (!plan.entity)
        throw SqliteConnection::Failure(
            0, QStringLiteral("The model has no entity named %1").arg(request.entityName()));
    QStringList conditions;
    const QString filter =
        schema.entityFilter(plan.entity, request.includesSubentities(), QStringLiteral("t"));
    if (!filter.isEmpty())
        conditions.append(filter);
    if (const auto& node = request.predicate().node()) {
        SqlTranslator translator(schema);
        QList<std::shared_ptr<const PredicateNode>> parts;
        if (node->kind == PredicateNode::Kind::And)
            parts = node->children;
        else
            parts = {node};
        for (const auto& part : parts) {
            QString sql;
            QVariantList binds;
            if (translator.translate(*part, plan.entity, QStringLiteral("t"), sql, binds)) {
                conditions.append(QLatin1Char('(') + sql + QLatin1Char(')'));
                plan.binds.append(binds);
            } else {
                plan.residual.append(part);
            }
        }
    }
    if (!conditions.isEmpty())
        plan.where = QStringLiteral(" WHERE ") + conditions.join(QStringLiteral(" AND "));
    QStringList order;
    for (const SortDescriptor& sd : request.sortDescriptors()) {
        // An attribute, or an attribute reached through to-one relationships (as "owner.address"),
        // read by a subquery that answers NULL where a link is missing, as nil sorts in memory.
        const QStringList comps = sd.key().split(QLatin1Char('.'));
        const EntityDescription* e = plan.entity;
        QString term;
        QStringList closers;
        QString alias = QStringLiteral("t");
        for (int i = 0; i + 1 < comps.size() && e; ++i) {
            const RelationshipDescription* r = e->relationship(comps[i]);
            if (!r || r->toMany) {
                e = nullptr;
                break;
            }
            const QString sub = QStringLiteral("s%1_%2").arg(order.size()).arg(i);
            term += QStringLiteral("(SELECT ");
            closers.prepend(QStringLiteral(" FROM %1 %2 WHERE %2.Z_PK = %3.%4)")
                                .arg(StoreSchema::quote(schema.table(r->destination).name), sub, alias,
                                     StoreSchema::quote(r->name)));
            alias = sub;
            e = r->destination;
        }
        const AttributeDescription* a = e ? e->attribute(comps.last()) : nullptr;
        if (sd.hasComparator() || !a || a->type == AttributeDescription::Type::Transformable) {
            plan.sqlSort = false;
            break;
        }
        term += alias + QLatin1Char('.') + StoreSchema::quote(a->name) + closers.join(QString());
        if (a->type == AttributeDescription::Type::String) {
            switch (sd.comparison()) {
            case SortDescriptor::Comparison::CaseInsensitive:
                term += QStringLiteral(" COLLATE TV_CI");
                break;
            case SortDescriptor::Comparison::Localized:
                term += QStringLiteral(" COLLATE TV_LOC");
                break;
            case SortDescriptor::Comparison::LocalizedCaseInsensitive:
                term += QStringLiteral(" COLLATE TV_LOCCI");
                break;
            default:
                break;
            }
        }
        order.append(term + (sd.ascending() ? QStringLiteral(" ASC") : QStringLiteral(" DESC")));
    }
    // Ties go by key, in the direction of the last key, so an index serves the whole order.
    const bool lastDescending =
        !request.sortDescriptors().isEmpty() && !request.sortDescriptors().last().ascending();
    order.append(lastDescending ? QStringLiteral("t.Z_PK DESC") : QStringLiteral("t.Z_PK"));
    plan.orderBy = QStringLiteral(" ORDER BY ") + order.join(QStringLiteral(", "));
    return plan;
}

namespace {
bool contextIsDirtyFor(const QHash<ManagedObjectID, ManagedObjectPtr>& a,
                       const QHash<ManagedObjectID, ManagedObjectPtr>& b,
                       const QHash<ManagedObjectID, ManagedObjectPtr>& c, const EntityDescription* e,
                       bool sub)
{
    for (const auto* set : {&a, &b, &c})
        for (const auto& o : *set)
            if (matchesEntity(o.get(), e, sub))
                return true;
    return false;
}
} // namespace

QList<ManagedObjectPtr> ManagedObjectContext::executeFetchRequest(const FetchRequest& request, Error* error)
{
    adoptCurrentStore();
    std::unique_lock use(d->dbMutex);
    QList<ManagedObjectPtr> result;
    try {
        const StoreSchema& schema = d->schema();
        FetchPlan plan = makePlan(request, schema, d->coordinator->managedObjectModel());
        const bool sub = request.includesSubentities();
        plan.dirty = request.includesPendingChanges() &&
                     contextIsDirtyFor(d->inserted, d->updated, d->deleted, plan.entity, sub);
        const bool memoryWindow = !plan.residual.isEmpty() || !plan.sqlSort || plan.dirty;
        const bool faultsOnly = request.fetchBatchSize() > 0 && plan.residual.isEmpty() && plan.sqlSort;
        QString sql = faultsOnly ? QStringLiteral("SELECT t.Z_PK, t.Z_ENT FROM %1 t")
                                       .arg(StoreSchema::quote(schema.table(plan.entity).name))
                                 : schema.selectAll(plan.entity);
        sql += plan.where + plan.orderBy;
        if (!memoryWindow && (request.fetchLimit() > 0 || request.fetchOffset() > 0))
            sql += QStringLiteral(" LIMIT %1 OFFSET %2")
                       .arg(request.fetchLimit() > 0 ? request.fetchLimit() : -1)
                       .arg(request.fetchOffset());
        SqliteConnection& db = d->connection();
        SqliteStatement& s = db.prepare(sql);
        bindAll(s, plan.binds);
        QList<ManagedObjectPtr> fetched;
        QList<ManagedObjectID> ids;
        std::shared_ptr<ManagedObject::FaultBatch> batch;
        if (faultsOnly) {
            batch = std::make_shared<ManagedObject::FaultBatch>();
            batch->size = request.fetchBatchSize();
        }
        while (s.step()) {
            const EntityDescription* e = schema.entityForNumber(int(s.int64(1)));
            if (!e)
                continue; // a record of an entity this model does not know
            const ManagedObjectID id(e, s.int64(0));
            ManagedObjectPtr o = d->registered(id);
            if (!o) {
                o = makeObject(e, id);
                o->m_entity = e;
                o->m_id = id;
                o->m_context = this;
                o->m_values.resize(e->attributes().size());
                o->m_relations.resize(e->relationships().size());
                d->registry.insert(id, o);
            }
            if (!faultsOnly && !o->m_loaded && !o->m_inserted) {
                applyRow(o.get(), s, schema, true, &o->m_changedAttributes, &o->m_changedRelationships,
                         o->m_values, o->m_relations);
                o->m_loaded = true;
                o->m_batch.reset();
                fetched.append(o);
            } else if (faultsOnly && !o->m_loaded) {
                o->m_batch = batch;
                o->m_batchIndex = batch->ids.size();
            }
            if (batch)
                batch->ids.append(id);
            result.append(o);
        }
        s.reset();
        for (const auto& o : std::as_const(fetched))
            o->awakeFromFetch();
        if (!plan.residual.isEmpty()) {
            result.removeIf([&](const ManagedObjectPtr& o) {
                const QVariant v = QVariant::fromValue(o);
                for (const auto& part : std::as_const(plan.residual))
                    if (!part->evaluate(v))
                        return true;
                return false;
            });
        }
        if (plan.dirty) {
            const Predicate& predicate = request.predicate();
            QSet<ManagedObject*> present;
            for (const auto& o : std::as_const(result))
                present.insert(o.get());
            result.removeIf([&](const ManagedObjectPtr& o) {
                if (o->m_deleted)
                    return true;
                if (d->updated.contains(o->m_id))
                    return !predicate.evaluate(o.get());
                return false;
            });
            for (const auto* set : {&d->updated, &d->inserted}) {
                for (const auto& o : *set) {
                    if (o->m_deleted || present.contains(o.get()) ||
                        !matchesEntity(o.get(), plan.entity, sub))
                        continue;
                    if (predicate.evaluate(o.get()))
                        result.append(o);
                }
            }
        }
        if (!plan.sqlSort || plan.dirty)
            SortDescriptor::sortObjects(result, request.sortDescriptors());
        if (memoryWindow) {
            const qsizetype offset = qMin(request.fetchOffset(), result.size());
            result = result.mid(offset, request.fetchLimit() > 0 ? request.fetchLimit() : -1);
        }
        if (error)
            *error = Error();
    } catch (const SqliteConnection::Failure& failure) {
        if (error)
            *error = makeError(FetchError, QString::fromStdString(failure.what()));
        return {};
    } catch (const Exception& failure) {
        // A key path the records do not have, or a pattern that does not compile.
        if (error)
            *error = makeError(FetchError, failure.reason());
        return {};
    } catch (const std::exception& failure) {
        if (error)
            *error = makeError(FetchError, QString::fromStdString(failure.what()));
        return {};
    }
    return result;
}

QList<ManagedObjectID> ManagedObjectContext::executeFetchRequestForIDs(const FetchRequest& request,
                                                                       Error* error)
{
    adoptCurrentStore();
    std::unique_lock use(d->dbMutex);
    QList<ManagedObjectID> ids;
    try {
        const StoreSchema& schema = d->schema();
        FetchPlan plan = makePlan(request, schema, d->coordinator->managedObjectModel());
        const bool dirty =
            request.includesPendingChanges() && contextIsDirtyFor(d->inserted, d->updated, d->deleted,
                                                                  plan.entity, request.includesSubentities());
        if (plan.residual.isEmpty() && plan.sqlSort && !dirty) {
            QString sql = QStringLiteral("SELECT t.Z_PK, t.Z_ENT FROM %1 t")
                              .arg(StoreSchema::quote(schema.table(plan.entity).name)) +
                          plan.where + plan.orderBy;
            if (request.fetchLimit() > 0 || request.fetchOffset() > 0)
                sql += QStringLiteral(" LIMIT %1 OFFSET %2")
                           .arg(request.fetchLimit() > 0 ? request.fetchLimit() : -1)
                           .arg(request.fetchOffset());
            SqliteStatement& s = d->connection().prepare(sql);
            bindAll(s, plan.binds);
            while (s.step())
                if (const EntityDescription* e = schema.entityForNumber(int(s.int64(1))))
                    ids.append(ManagedObjectID(e, s.int64(0)));
            s.reset();
            if (error)
                *error = Error();
            return ids;
        }
    } catch (const std::exception& failure) {
        if (error)
            *error = makeError(FetchError, QString::fromStdString(failure.what()));
        return {};
    }
    Error inner;
    for (const auto& o : executeFetchRequest(request, &inner))
        ids.append(o->m_id);
    if (error)
        *error = inner;
    return ids;
}

qint64 ManagedObjectContext::countForFetchRequest(const FetchRequest& request, Error* error)
{
    adoptCurrentStore();
    std::unique_lock use(d->dbMutex);
    try {
        const StoreSchema& schema = d->schema();
        FetchPlan plan = makePlan(request, schema, d->coordinator->managedObjectModel());
        const bool dirty =
            request.includesPendingChanges() && contextIsDirtyFor(d->inserted, d->updated, d->deleted,
                                                                  plan.entity, request.includesSubentities());
        if (plan.residual.isEmpty() && !dirty) {
            SqliteStatement& s =
                d->connection().prepare(QStringLiteral("SELECT COUNT(*) FROM %1 t")
                                            .arg(StoreSchema::quote(schema.table(plan.entity).name)) +
                                        plan.where);
            bindAll(s, plan.binds);
            qint64 n = s.step() ? s.int64(0) : 0;
            s.reset();
            n = qMax<qint64>(0, n - request.fetchOffset());
            if (request.fetchLimit() > 0)
                n = qMin<qint64>(n, request.fetchLimit());
            if (error)
                *error = Error();
            return n;
        }
    } catch (const std::exception& failure) {
        if (error)
            *error = makeError(FetchError, QString::fromStdString(failure.what()));
        return -1;
    }
    FetchRequest copy = request;
    copy.setFetchBatchSize(0);
    Error inner;
    const auto objects = executeFetchRequest(copy, &inner);
    if (error)
        *error = inner;
    return inner.isNull() ? objects.size() : -1;
}

void ManagedObjectContext::refreshObject(const ManagedObjectPtr& object, bool mergeChanges)
{
    std::unique_lock use(d->dbMutex);
    if (!object || object->m_context != this || object->m_inserted)
        return;
    if (!mergeChanges) {
        if (object->m_loaded)
            object->willTurnIntoFault();
        const ManagedObjectID id = object->m_id;
        d->updated.remove(id);
        object->m_changedAttributes.clear();
        object->m_changedRelationships.clear();
        object->m_savedRelations.clear();
        if (object->m_deleted) {
            object->m_deleted = false;
            d->deleted.remove(id);
        }
        object->m_loaded = false;
        object->m_values.resize(object->m_values.size());
        object->m_relations.resize(object->m_relations.size());
        return;
    }
    // To-many lists may be loaded on a fault too; unchanged ones are read again when next needed.
    for (int r = 0; r < object->m_relations.size(); ++r)
        if (object->m_entity->relationships()[r]->toMany && !object->m_changedRelationships.contains(r))
            object->m_relations.unload(r);
    if (!object->m_loaded)
        return;
    try {
        const StoreSchema& schema = d->schema();
        SqliteStatement& s =
            d->connection().prepare(schema.selectAll(object->m_entity) + QStringLiteral(" WHERE t.Z_PK = ?"));
        s.bindInt64(1, object->m_id.primaryKey());
        if (s.step())
            applyRow(object.get(), s, schema, true, &object->m_changedAttributes,
                     &object->m_changedRelationships, object->m_values, object->m_relations);
        s.reset();
    } catch (const std::exception&) {
    }
}

void ManagedObjectContext::mergeChangesFromContextDidSaveNotification(const SaveNotification& notification)
{
    if (notification.source == this)
        return;
    for (const ManagedObjectID& id : notification.deleted) {
        ManagedObjectPtr o = d->registered(id);
        if (!o)
            continue;
        o->m_deleted = true;
        d->updated.remove(id);
        d->inserted.remove(id);
        d->deleted.remove(id);
        d->observed.remove(id);
        d->registry.remove(id);
        d->pendingUpdated.remove(id);
        d->pendingDeleted.insert(id, o);
        o->m_context = nullptr;
    }
    for (const ManagedObjectID& id : notification.updated) {
        ManagedObjectPtr o = d->registered(id);
        if (!o)
            continue;
        refreshObject(o, true);
        if (!d->pendingInserted.contains(id))
            d->pendingUpdated.insert(id, o);
        const QStringList keys = notification.updatedKeys.value(id);
        for (const QString& key : keys) {
            const int a = o->m_entity->attributeIndex(key);
            if (a >= 0 && o->m_changedAttributes.contains(a))
                continue; // the unsaved value stays, so nothing changed here
            o->notifyObservers(key);
        }
    }
    // New records arrive as faults that load together when the first of them is touched.
    auto batch = std::make_shared<ManagedObject::FaultBatch>();
    batch->ids = notification.inserted;
    batch->size = 200;
    for (qsizetype i = 0; i < notification.inserted.size(); ++i) {
        const ManagedObjectID& id = notification.inserted[i];
        ManagedObjectPtr o = objectWithID(id);
        if (!o)
            continue;
        if (!o->m_loaded && !o->m_inserted) {
            o->m_batch = batch;
            o->m_batchIndex = i;
        }
        d->pendingInserted.insert(id, o);
    }
    processPendingChanges();
}

void ManagedObjectContext::reset()
{
    // Records end what they started (observations) before they leave the context.
    const QList<ManagedObjectPtr> live = registeredObjects();
    for (const auto& o : live)
        if (o->m_loaded && !o->m_deleted)
            o->willTurnIntoFault();
    for (const auto& o : live)
        o->m_context = nullptr;
    d->registry.clear();
    d->inserted.clear();
    d->updated.clear();
    d->deleted.clear();
    d->observed.clear();
    d->pendingInserted.clear();
    d->pendingUpdated.clear();
    d->pendingDeleted.clear();
    d->pendingInvalidated = true;
    processPendingChanges();
}

void ManagedObjectContext::processPendingChanges()
{
    d->processScheduled = false;
    ObjectsDidChangeNotification note;
    note.inserted = d->pendingInserted.values();
    note.updated = d->pendingUpdated.values();
    note.deleted = d->pendingDeleted.values();
    note.invalidatedAll = d->pendingInvalidated;
    d->pendingInserted.clear();
    d->pendingUpdated.clear();
    d->pendingDeleted.clear();
    d->pendingInvalidated = false;
    if (!note.isEmpty())
        emit objectsDidChange(note);
}

void ManagedObjectContext::lock()
{
    d->mutex.lock();
}

void ManagedObjectContext::unlock()
{
    d->mutex.unlock();
}

bool ManagedObjectContext::tryLock()
{
    return d->mutex.tryLock();
}

} // namespace tavrel
