#include "platform/system/SettingsFileFormat.h"

#include <QIODevice>
#include <QStringDecoder>
#include <QStringList>
#include <mutex>
#include <optional>

namespace tavrel {

namespace {

// A leading U+FEFF of a value is part of it, not a byte-order mark.
QString decodeUtf8(const QByteArray& bytes)
{
    QStringDecoder decoder(QStringDecoder::Utf8,
                           QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
    return decoder.decode(bytes);
}

int hexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

const char kHex[] = "0123456789ABCDEF";

// Lines of the file. A backslash carries a line over its newline; ";" outside quotes starts a comment.
// Quotes end with their line, so one broken line never swallows the lines after it.
QList<QByteArray> logicalLines(const QByteArray& text)
{
    QList<QByteArray> lines;
    QByteArray line;
    bool inQuotes = false;
    bool inComment = false;
    for (qsizetype i = text.startsWith("\xEF\xBB\xBF") ? 3 : 0; i < text.size(); ++i) {
        const char c = text.at(i);
        if (c == '\n' || c == '\r') {
            lines.append(line);
            line.clear();
            inQuotes = inComment = false;
        } else if (inComment) {
            continue;
        } else if (c == '\\' && i + 1 < text.size()) {
            line += c;
            line += text.at(++i);
            // "\r\n" after a backslash is one line break.
            if (i + 1 < text.size() && text.at(i) == '\r' && text.at(i + 1) == '\n')
                line += text.at(++i);
        } else if (c == ';' && !inQuotes) {
            inComment = true;
        } else {
            if (c == '"')
                inQuotes = !inQuotes;
            line += c;
        }
    }
    lines.append(line);
    return lines;
}

// "\" is a slash, "%XX" a character up to U+00FF and "%UXXXX" any UTF-16 unit.
QString unescapeKey(const QByteArray& key)
{
    QString out;
    QByteArray run;
    const auto flush = [&] {
        out += decodeUtf8(run);
        run.clear();
    };
    for (qsizetype i = 0; i < key.size(); ++i) {
        const char c = key.at(i);
        if (c == '\\') {
            flush();
            out += QLatin1Char('/');
            continue;
        }
        if (c == '%' && i + 5 < key.size() && key.at(i + 1) == 'U') {
            int value = 0;
            bool ok = true;
            for (int d = 2; d < 6 && ok; ++d) {
                const int digit = hexDigit(key.at(i + d));
                ok = digit >= 0;
                value = value * 16 + digit;
            }
            if (ok) {
                flush();
                out += QChar(char16_t(value));
                i += 5;
                continue;
            }
        }
        if (c == '%' && i + 2 < key.size() && hexDigit(key.at(i + 1)) >= 0 && hexDigit(key.at(i + 2)) >= 0) {
            flush();
            out += QChar(char16_t(hexDigit(key.at(i + 1)) * 16 + hexDigit(key.at(i + 2))));
            i += 2;
            continue;
        }
        run += c;
    }
    flush();
    return out;
}

// As QSettings keys are: no empty groups, no slash at either end.
QString normalizedKey(const QString& key)
{
    return key.split(QLatin1Char('/'), Qt::SkipEmptyParts).join(QLatin1Char('/'));
}

QString sectionName(const QByteArray& header)
{
    const QByteArray name = header.trimmed();
    if (name.compare("general", Qt::CaseInsensitive) == 0)
        return QString();
    // A group that is really called "General" is written "%General".
    if (name.compare("%general", Qt::CaseInsensitive) == 0)
        return QString::fromLatin1(name.mid(1));
    return normalizedKey(unescapeKey(name));
}

// The text of one value: C escapes, quotes (which protect spaces, ";", "," and "=") and, outside quotes,
// commas between the items of a list. Spaces around an unquoted item do not count.
struct ValueText
{
    QStringList items;
    bool isList = false;
};

ValueText splitValue(const QByteArray& value)
{
    ValueText result;
    QString current = QStringLiteral("");
    QByteArray run;
    bool inQuotes = false;
    bool skipping = true; // spaces before an item
    qsizetype kept = 0;   // what escapes and quotes made is never trimmed
    const auto flush = [&] {
        if (!run.isEmpty())
            current += decodeUtf8(run);
        run.clear();
    };
    const auto finishItem = [&] {
        flush();
        qsizetype end = current.size();
        while (end > kept &&
               (current.at(end - 1) == QLatin1Char(' ') || current.at(end - 1) == QLatin1Char('\t')))
            --end;
        current.truncate(end);
        result.items.append(current);
        current = QStringLiteral("");
        kept = 0;
        skipping = true;
    };
    for (qsizetype i = 0; i < value.size(); ++i) {
        const char c = value.at(i);
        if (skipping && !inQuotes && (c == ' ' || c == '\t'))
            continue;
        skipping = false;
        if (c == '\\') {
            flush();
            if (++i >= value.size())
                break;
            const char e = value.at(i);
            static const char escapes[] = "a\ab\bf\fn\nr\rt\tv\v\"\"?\?''\\\\";
            const char* found = nullptr;
            for (const char* p = escapes; *p; p += 2) {
                if (*p == e) {
                    found = p;
                    break;
                }
            }
            if (found) {
                current += QLatin1Char(found[1]);
            } else if (e == 'x' || (e >= '0' && e <= '7')) {
                const int base = e == 'x' ? 16 : 8;
                unsigned value16 = e == 'x' ? 0 : unsigned(e - '0');
                bool any = e != 'x';
                while (i + 1 < value.size()) {
                    const int digit = hexDigit(value.at(i + 1));
                    if (digit < 0 || digit >= base)
                        break;
                    value16 = (value16 * unsigned(base) + unsigned(digit)) & 0xFFFF;
                    any = true;
                    ++i;
                }
                if (any)
                    current += QChar(char16_t(value16));
            } else if (e == '\r' || e == '\n') {
                // A line carried over: the break is no part of the value.
                if (i + 1 < value.size() && (value.at(i + 1) == '\r' || value.at(i + 1) == '\n') &&
                    value.at(i + 1) != e)
                    ++i;
            }
            kept = current.size();
        } else if (c == '"') {
            flush();
            inQuotes = !inQuotes;
            if (!inQuotes) {
                kept = current.size();
                skipping = true;
            }
        } else if (c == ',' && !inQuotes) {
            finishItem();
            result.isList = true;
        } else {
            run += c;
        }
    }
    finishItem();
    return result;
}

// The value of one text: the "@" forms of bytes, strings and nothing are understood, "@@" is a text
// starting with "@". Nothing (nullopt) for Qt's serialised forms, which are never read.
std::optional<QVariant> valueOfText(const QString& text)
{
    if (!text.startsWith(QLatin1Char('@')))
        return QVariant(text);
    if (text.startsWith(QLatin1String("@@")))
        return QVariant(text.mid(1));
    if (text.endsWith(QLatin1Char(')'))) {
        if (text.startsWith(QLatin1String("@ByteArray(")))
            return QVariant(QStringView(text).sliced(11).chopped(1).toLatin1());
        if (text.startsWith(QLatin1String("@String(")))
            return QVariant(text.sliced(8).chopped(1));
        if (text == QLatin1String("@Invalid()"))
            return QVariant();
        if (text.startsWith(QLatin1String("@Variant(")) || text.startsWith(QLatin1String("@DateTime(")))
            return std::nullopt;
    }
    return QVariant(text);
}

// A list of texts only is a QStringList; one holding bytes or nothing too a QVariantList.
std::optional<QVariant> valueOf(const ValueText& text)
{
    if (!text.isList)
        return valueOfText(text.items.first());
    QVariantList values;
    bool texts = true;
    for (const QString& item : text.items) {
        const std::optional<QVariant> value = valueOfText(item);
        if (!value)
            return std::nullopt;
        texts = texts && value->typeId() == QMetaType::QString;
        values.append(*value);
    }
    if (!texts)
        return QVariant(values);
    QStringList list;
    for (const QVariant& value : values)
        list.append(value.toString());
    return QVariant(list);
}

QByteArray escapedKey(const QString& key)
{
    QByteArray out;
    for (const QChar qc : key) {
        const char16_t c = qc.unicode();
        if (c == u'/') {
            out += '\\';
        } else if ((c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9') ||
                   c == u'_' || c == u'-' || c == u'.') {
            out += char(c);
        } else if (c <= 0xFF) {
            out += '%';
            out += kHex[c >> 4];
            out += kHex[c & 0xF];
        } else {
            out += "%U";
            for (int shift = 12; shift >= 0; shift -= 4)
                out += kHex[(c >> shift) & 0xF];
        }
    }
    return out;
}

// One item, escaped and quoted where needed. Bytes (the text of "@ByteArray(...)") keep every character
// above U+007E as an escape, so that they come back as the same bytes.
QByteArray escapedText(const QString& text)
{
    const bool bytes = text.startsWith(QLatin1String("@ByteArray("));
    QByteArray out;
    bool needsQuotes = false;
    bool escapeHexDigit = false; // a hex digit right after "\x.." or "\0" would lengthen the escape
    const auto hexEscape = [&](char16_t c) {
        out += "\\x";
        out += QByteArray::number(uint(c), 16);
        escapeHexDigit = true;
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text.at(i).unicode();
        if (c == u';' || c == u',' || c == u'=')
            needsQuotes = true;
        if (escapeHexDigit && c < 0x80 && hexDigit(char(c)) >= 0) {
            hexEscape(c);
            continue;
        }
        escapeHexDigit = false;
        switch (c) {
        case u'\0':
            out += "\\0";
            escapeHexDigit = true;
            break;
        case u'\a':
            out += "\\a";
            break;
        case u'\b':
            out += "\\b";
            break;
        case u'\f':
            out += "\\f";
            break;
        case u'\n':
            out += "\\n";
            break;
        case u'\r':
            out += "\\r";
            break;
        case u'\t':
            out += "\\t";
            break;
        case u'\v':
            out += "\\v";
            break;
        case u'"':
        case u'\\':
            out += '\\';
            out += char(c);
            break;
        default:
            if (c < 0x20 || (bytes && c >= 0x7F)) {
                hexEscape(c);
            } else if (QChar::isHighSurrogate(c) && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
                out += text.mid(i, 2).toUtf8();
                ++i;
            } else if (QChar::isSurrogate(c)) {
                hexEscape(c); // half a pair has no UTF-8 form
            } else {
                out += QString(QChar(c)).toUtf8();
            }
        }
    }
    if (needsQuotes || out.startsWith(' ') || out.endsWith(' '))
        out = '"' + out + '"';
    return out;
}

QString textOf(const QVariant& value)
{
    switch (value.typeId()) {
    case QMetaType::UnknownType:
        return QStringLiteral("@Invalid()");
    case QMetaType::QByteArray:
        return QStringLiteral("@ByteArray(") + QString::fromLatin1(value.toByteArray()) + QLatin1Char(')');
    case QMetaType::Bool:
        return value.toBool() ? QStringLiteral("true") : QStringLiteral("false");
    default: {
        const QString text = value.toString();
        return text.startsWith(QLatin1Char('@')) ? QLatin1Char('@') + text : text;
    }
    }
}

QByteArray escapedValue(const QVariant& value)
{
    if (value.typeId() != QMetaType::QStringList && value.typeId() != QMetaType::QVariantList)
        return escapedText(textOf(value));
    const QVariantList items = value.toList();
    if (items.isEmpty())
        return "@Invalid()";
    QByteArray out;
    for (qsizetype i = 0; i < items.size(); ++i) {
        if (i > 0)
            out += ", ";
        out += escapedText(textOf(items.at(i)));
    }
    return out;
}

} // namespace

QSettings::Format SettingsFileFormat::format()
{
    static QSettings::Format registered = QSettings::InvalidFormat;
    static std::once_flag once;
    std::call_once(once, [] {
        registered = QSettings::registerFormat(QStringLiteral("conf"), &SettingsFileFormat::read,
                                               &SettingsFileFormat::write, Qt::CaseSensitive);
    });
    return registered;
}

QSettings::SettingsMap SettingsFileFormat::fromText(const QByteArray& text)
{
    QSettings::SettingsMap map;
    QString section;
    for (const QByteArray& raw : logicalLines(text)) {
        const QByteArray line = raw.trimmed();
        if (line.isEmpty())
            continue;
        if (line.startsWith('[')) {
            const qsizetype end = line.indexOf(']');
            section = sectionName(end < 0 ? line.mid(1) : line.mid(1, end - 1));
            continue;
        }
        const qsizetype equals = line.indexOf('=');
        if (equals <= 0)
            continue;
        const QString key = unescapeKey(line.left(equals).trimmed());
        const QString full = normalizedKey(section.isEmpty() ? key : section + QLatin1Char('/') + key);
        if (full.isEmpty())
            continue;
        const std::optional<QVariant> value = valueOf(splitValue(line.mid(equals + 1)));
        // Nothing, as "@Invalid()" says, is no value; a serialised one is never read.
        if (value && value->isValid())
            map.insert(full, *value);
    }
    return map;
}

QByteArray SettingsFileFormat::toText(const QSettings::SettingsMap& map)
{
    // Keys outside any group first, under "[General]"; then each group, by the part before the first "/".
    QMap<QString, QByteArray> sections;
    for (auto it = map.constBegin(); it != map.constEnd(); ++it) {
        const qsizetype slash = it.key().indexOf(QLatin1Char('/'));
        const QString section = slash < 0 ? QString() : it.key().left(slash);
        const QString key = slash < 0 ? it.key() : it.key().mid(slash + 1);
        sections[section] += escapedKey(key) + '=' + escapedValue(it.value()) + '\n';
    }
    QByteArray out;
    for (auto it = sections.constBegin(); it != sections.constEnd(); ++it) {
        if (!out.isEmpty())
            out += '\n';
        if (it.key().isEmpty())
            out += "[General]\n";
        else if (it.key().compare(QLatin1String("general"), Qt::CaseInsensitive) == 0)
            out += "[%" + it.key().toLatin1() + "]\n";
        else
            out += '[' + escapedKey(it.key()) + "]\n";
        out += it.value();
    }
    return out;
}

bool SettingsFileFormat::read(QIODevice& device, QSettings::SettingsMap& map)
{
    map = fromText(device.readAll());
    return true;
}

bool SettingsFileFormat::write(QIODevice& device, const QSettings::SettingsMap& map)
{
    const QByteArray text = toText(map);
    return device.write(text) == text.size();
}

} // namespace tavrel
