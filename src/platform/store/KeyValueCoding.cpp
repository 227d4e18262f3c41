#include "platform/store/KeyValueCoding.h"

#include "platform/runtime/Exception.h"
#include "platform/store/EntityDescription.h"
#include "platform/store/ManagedObject.h"

#include <QDateTime>
#include <QHash>
#include <QMutex>
#include <QObject>
#include <QRegularExpression>
#include <algorithm>

namespace tavrel {

namespace {
constexpr int kCaseInsensitive = 1;
constexpr int kDiacriticInsensitive = 2;
} // namespace

const ManagedObject* KeyValueCoding::record(const QVariant& value)
{
    if (value.typeId() == qMetaTypeId<ManagedObjectPtr>())
        return value.value<ManagedObjectPtr>().get();
    return nullptr;
}

bool KeyValueCoding::isNil(const QVariant& value)
{
    if (!value.isValid())
        return true;
    if (value.typeId() == qMetaTypeId<ManagedObjectPtr>())
        return !value.value<ManagedObjectPtr>();
    if (value.typeId() == QMetaType::QString)
        return value.toString().isNull();
    if (value.typeId() == QMetaType::Nullptr)
        return true;
    return false;
}

bool KeyValueCoding::isNumber(const QVariant& value)
{
    switch (value.typeId()) {
    case QMetaType::Bool:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Double:
    case QMetaType::Float:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Char:
    case QMetaType::SChar:
    case QMetaType::UChar:
        return true;
    default:
        return false;
    }
}

bool KeyValueCoding::isList(const QVariant& value)
{
    return value.typeId() == QMetaType::QVariantList || value.typeId() == QMetaType::QStringList;
}

QVariant KeyValueCoding::valueForKey(const QVariant& object, const QString& key)
{
    if (key.compare(QLatin1String("self"), Qt::CaseInsensitive) == 0)
        return object;
    if (isList(object)) {
        QVariantList result;
        for (const QVariant& element : object.toList()) {
            const QVariant v = valueForKey(element, key);
            if (isList(v))
                result.append(v.toList());
            else
                result.append(v);
        }
        return result;
    }
    if (const ManagedObject* r = record(object))
        return r->valueForKey(key);
    if (object.typeId() == qMetaTypeId<const EntityDescription*>()) {
        const auto* e = object.value<const EntityDescription*>();
        if (key == QLatin1String("name"))
            return e ? QVariant(e->name()) : QVariant();
        return {};
    }
    if (object.typeId() == QMetaType::QVariantMap)
        return object.toMap().value(key);
    if (object.typeId() == QMetaType::QVariantHash)
        return object.toHash().value(key);
    if (object.canConvert<QObject*>()) {
        if (QObject* o = object.value<QObject*>())
            return o->property(key.toUtf8().constData());
        return {};
    }
    return {};
}

QVariant KeyValueCoding::valueForKeyPath(const QVariant& object, const QString& keyPath)
{
    QVariant current = object;
    for (const QString& key : keyPath.split(QLatin1Char('.'))) {
        if (isNil(current))
            return {};
        current = valueForKey(current, key);
    }
    return current;
}

QString KeyValueCoding::fold(const QString& text, int options)
{
    // ASCII has no decompositions nor marks and folds its case to lower case: the common text skips
    // normalising.
    const bool ascii = std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 0x80; });
    if (ascii)
        return options & kCaseInsensitive ? text.toLower() : text;
    QString result = text;
    if (options & kDiacriticInsensitive) {
        QString decomposed = result.normalized(QString::NormalizationForm_KD);
        result.clear();
        result.reserve(decomposed.size());
        for (QChar c : decomposed)
            if (c.category() != QChar::Mark_NonSpacing && c.category() != QChar::Mark_SpacingCombining &&
                c.category() != QChar::Mark_Enclosing)
                result.append(c);
    }
    if (options & kCaseInsensitive) {
        QString folded = result.toCaseFolded();
        if (folded.size() == result.size()) {
            for (qsizetype i = 0; i < folded.size(); ++i)
                if (folded.at(i).unicode() < 0x80 && result.at(i).unicode() >= 0x80)
                    folded[i] = result.at(i);
        }
        result = folded;
    }
    return result;
}

int KeyValueCoding::compareStrings(const QString& left, const QString& right)
{
    // UTF-16 order differs from code point order only for surrogates against U+E000..U+FFFF.
    const qsizetype n = qMin(left.size(), right.size());
    for (qsizetype i = 0; i < n; ++i) {
        char16_t a = left[i].unicode();
        char16_t b = right[i].unicode();
        if (a == b)
            continue;
        auto fix = [](char16_t c) -> int {
            if (c >= 0xD800 && c <= 0xDFFF)
                return c + 0x2000;
            if (c >= 0xE000)
                return c - 0x800;
            return c;
        };
        return fix(a) < fix(b) ? -1 : 1;
    }
    return left.size() == right.size() ? 0 : (left.size() < right.size() ? -1 : 1);
}

namespace {
enum class Kind { Nil, Number, String, Date, Data, Record, Other };

Kind kindOf(const QVariant& v)
{
    if (KeyValueCoding::isNil(v))
        return Kind::Nil;
    if (KeyValueCoding::isNumber(v))
        return Kind::Number;
    switch (v.typeId()) {
    case QMetaType::QString:
        return Kind::String;
    case QMetaType::QDateTime:
        return Kind::Date;
    case QMetaType::QByteArray:
        return Kind::Data;
    default:
        break;
    }
    if (v.typeId() == qMetaTypeId<ManagedObjectPtr>())
        return Kind::Record;
    return Kind::Other;
}

bool isIntegral(const QVariant& v)
{
    return v.typeId() != QMetaType::Double && v.typeId() != QMetaType::Float;
}
} // namespace

bool KeyValueCoding::valuesEqual(const QVariant& left, const QVariant& right, int options)
{
    const Kind a = kindOf(left);
    const Kind b = kindOf(right);
    if (a == Kind::Nil || b == Kind::Nil)
        return a == b;
    if (a != b)
        return false;
    switch (a) {
    case Kind::Number:
        if (isIntegral(left) && isIntegral(right))
            return left.toLongLong() == right.toLongLong();
        return left.toDouble() == right.toDouble();
    case Kind::String:
        if (options)
            return fold(left.toString(), options) == fold(right.toString(), options);
        return left.toString() == right.toString();
    case Kind::Date:
        return left.toDateTime().toMSecsSinceEpoch() == right.toDateTime().toMSecsSinceEpoch();
    case Kind::Data:
        return left.toByteArray() == right.toByteArray();
    case Kind::Record:
        return record(left) == record(right) || record(left)->objectID() == record(right)->objectID();
    default:
        return left == right;
    }
}

bool KeyValueCoding::compareValues(const QVariant& left, const QVariant& right, int* result, int options)
{
    const Kind a = kindOf(left);
    const Kind b = kindOf(right);
    if (a == Kind::Nil || b == Kind::Nil || a != b)
        return false;
    switch (a) {
    case Kind::Number:
        if (isIntegral(left) && isIntegral(right)) {
            const qint64 x = left.toLongLong(), y = right.toLongLong();
            *result = x < y ? -1 : (x > y ? 1 : 0);
        } else {
            const double x = left.toDouble(), y = right.toDouble();
            *result = x < y ? -1 : (x > y ? 1 : 0);
        }
        return true;
    case Kind::String:
        *result = options ? compareStrings(fold(left.toString(), options), fold(right.toString(), options))
                          : compareStrings(left.toString(), right.toString());
        return true;
    case Kind::Date: {
        const qint64 x = left.toDateTime().toMSecsSinceEpoch(), y = right.toDateTime().toMSecsSinceEpoch();
        *result = x < y ? -1 : (x > y ? 1 : 0);
        return true;
    }
    case Kind::Data: {
        const int c = left.toByteArray().compare(right.toByteArray());
        *result = c < 0 ? -1 : (c > 0 ? 1 : 0);
        return true;
    }
    default:
        return false;
    }
}

int KeyValueCoding::sortCompare(const QVariant& left, const QVariant& right, int options, bool localized)
{
    const Kind a = kindOf(left);
    const Kind b = kindOf(right);
    if (a != b)
        return int(a) < int(b) ? -1 : 1;
    if (a == Kind::Nil)
        return 0;
    if (a == Kind::String && localized) {
        const int c = options ? QString::localeAwareCompare(left.toString().toCaseFolded(),
                                                            right.toString().toCaseFolded())
                              : QString::localeAwareCompare(left.toString(), right.toString());
        return c < 0 ? -1 : (c > 0 ? 1 : 0);
    }
    if (a == Kind::Record) {
        const ManagedObjectID x = record(left)->objectID(), y = record(right)->objectID();
        return x < y ? -1 : (y < x ? 1 : 0);
    }
    int result = 0;
    if (compareValues(left, right, &result, options))
        return result;
    return 0;
}

namespace {
// LIKE: '*' any run, '?' one character; everything else literal.
QString likeToRegex(const QString& pattern)
{
    QString re;
    re.reserve(pattern.size() * 2 + 4);
    re += QLatin1String("\\A(?:");
    for (qsizetype i = 0; i < pattern.size(); ++i) {
        const QChar c = pattern[i];
        if (c == QLatin1Char('*'))
            re += QLatin1String(".*");
        else if (c == QLatin1Char('?'))
            re += QLatin1Char('.');
        else if (c == QLatin1Char('\\') && i + 1 < pattern.size())
            re += QRegularExpression::escape(QString(pattern[++i]));
        else
            re += QRegularExpression::escape(QString(c));
    }
    re += QLatin1String(")\\z");
    return re;
}

QRegularExpression cachedRegex(const QString& pattern, bool anchored, bool caseInsensitive)
{
    static QMutex mutex;
    static QHash<QString, QRegularExpression> cache;
    const QString key = QString::number(int(anchored) * 2 + int(caseInsensitive)) + pattern;
    QMutexLocker lock(&mutex);
    auto it = cache.constFind(key);
    if (it != cache.constEnd())
        return *it;
    QRegularExpression::PatternOptions po =
        QRegularExpression::DotMatchesEverythingOption | QRegularExpression::UseUnicodePropertiesOption;
    if (caseInsensitive)
        po |= QRegularExpression::CaseInsensitiveOption;
    QRegularExpression re(anchored ? QStringLiteral("\\A(?:%1)\\z").arg(pattern) : pattern, po);
    if (cache.size() > 512)
        cache.clear();
    cache.insert(key, re);
    return re;
}
} // namespace

bool KeyValueCoding::stringMatch(StringOperator op, const QString& value, const QString& pattern, int options)
{
    switch (op) {
    case BeginsWith:
        return fold(value, options).startsWith(fold(pattern, options));
    case EndsWith:
        return fold(value, options).endsWith(fold(pattern, options));
    case Contains:
        return fold(value, options).contains(fold(pattern, options));
    case Like: {
        const QRegularExpression re = cachedRegex(likeToRegex(fold(pattern, options)), false, false);
        return re.match(fold(value, options)).hasMatch();
    }
    case Matches: {
        const QRegularExpression re = cachedRegex(pattern, true, options & kCaseInsensitive);
        if (!re.isValid())
            throw Exception(Exception::kInvalidArgumentException,
                            QStringLiteral("Can't do regex matching, reason: %1").arg(re.errorString()));
        return re.match(options & kDiacriticInsensitive ? fold(value, kDiacriticInsensitive) : value)
            .hasMatch();
    }
    }
    return false;
}

} // namespace tavrel
