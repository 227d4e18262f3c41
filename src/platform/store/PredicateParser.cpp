#include "platform/store/PredicateParser.h"

#include "platform/runtime/Exception.h"
#include "platform/store/PredicateNode.h"

#include <QSequentialIterable>
#include <QStringList>

namespace tavrel {

PredicateParser::PredicateParser(const QString& format, const QVariantList& arguments)
    : m_format(format), m_arguments(arguments)
{}

void PredicateParser::fail(const QString& why) const
{
    throw Exception(Exception::kInvalidArgumentException,
                    QStringLiteral("Unable to parse the format string \"%1\" (%2)").arg(m_format, why));
}

PredicateParser::Nesting::Nesting(PredicateParser& parser) : m_parser(parser)
{
    if (++m_parser.m_depth > kMaximumNesting)
        m_parser.fail(QStringLiteral("nested more than %1 deep").arg(kMaximumNesting));
}

bool PredicateParser::isWord(const Token& t, const char* word) const
{
    return t.type == Token::Type::Word && t.text.compare(QLatin1String(word), Qt::CaseInsensitive) == 0;
}

void PredicateParser::tokenize()
{
    const QString& s = m_format;
    qsizetype i = 0;
    auto isWordChar = [](QChar c) {
        return c.isLetterOrNumber() || c == QLatin1Char('_') || c == QLatin1Char('.') ||
               c == QLatin1Char('$') || c == QLatin1Char('@') || c == QLatin1Char('#');
    };
    while (i < s.size()) {
        const QChar c = s[i];
        if (c.isSpace()) {
            ++i;
            continue;
        }
        Token t;
        if (c == QLatin1Char('%')) {
            if (i + 1 < s.size() && s[i + 1] == QLatin1Char('@')) {
                t.type = Token::Type::Argument;
                i += 2;
            } else if (i + 1 < s.size() && s[i + 1] == QLatin1Char('K')) {
                t.type = Token::Type::KeyArgument;
                i += 2;
            } else {
                // Numeric conversions (%d, %i, %ld, %lld, %u, %f ...) take a number argument.
                qsizetype j = i + 1;
                while (j < s.size() &&
                       (s[j] == QLatin1Char('l') || s[j] == QLatin1Char('q') || s[j] == QLatin1Char('h')))
                    ++j;
                if (j < s.size() && QStringLiteral("diufgex").contains(s[j])) {
                    t.type = Token::Type::Argument;
                    i = j + 1;
                } else {
                    fail(QStringLiteral("unknown conversion at %1").arg(i));
                }
            }
        } else if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            const QChar quote = c;
            QString text;
            ++i;
            bool closed = false;
            while (i < s.size()) {
                if (s[i] == QLatin1Char('\\') && i + 1 < s.size()) {
                    const QChar e = s[i + 1];
                    text += e == QLatin1Char('n')   ? QChar(QLatin1Char('\n'))
                            : e == QLatin1Char('t') ? QChar(QLatin1Char('\t'))
                                                    : e;
                    i += 2;
                    continue;
                }
                if (s[i] == quote) {
                    closed = true;
                    ++i;
                    break;
                }
                text += s[i++];
            }
            if (!closed)
                fail(QStringLiteral("unterminated string"));
            t.type = Token::Type::String;
            t.value = text;
        } else if (c.isDigit() || (c == QLatin1Char('-') && i + 1 < s.size() && s[i + 1].isDigit())) {
            qsizetype j = i + 1;
            bool isDouble = false;
            while (j < s.size() && (s[j].isDigit() || s[j] == QLatin1Char('.') || s[j] == QLatin1Char('e') ||
                                    s[j] == QLatin1Char('E'))) {
                if (!s[j].isDigit())
                    isDouble = true;
                ++j;
            }
            const QString text = s.mid(i, j - i);
            bool ok = false;
            t.type = Token::Type::Number;
            if (isDouble)
                t.value = text.toDouble(&ok);
            else
                t.value = text.toLongLong(&ok);
            if (!ok)
                fail(QStringLiteral("bad number %1").arg(text));
            i = j;
        } else if (c == QLatin1Char('[')) {
            const qsizetype end = s.indexOf(QLatin1Char(']'), i);
            if (end < 0)
                fail(QStringLiteral("unterminated option"));
            t.type = Token::Type::Options;
            t.text = s.mid(i + 1, end - i - 1).trimmed().toLower();
            i = end + 1;
        } else if (c == QLatin1Char('(')) {
            t.type = Token::Type::LeftParen;
            ++i;
        } else if (c == QLatin1Char(')')) {
            t.type = Token::Type::RightParen;
            ++i;
        } else if (c == QLatin1Char('{')) {
            t.type = Token::Type::LeftBrace;
            ++i;
        } else if (c == QLatin1Char('}')) {
            t.type = Token::Type::RightBrace;
            ++i;
        } else if (c == QLatin1Char(',')) {
            t.type = Token::Type::Comma;
            ++i;
        } else if (isWordChar(c)) {
            qsizetype j = i;
            while (j < s.size() && isWordChar(s[j]))
                ++j;
            t.type = Token::Type::Word;
            t.text = s.mid(i, j - i);
            i = j;
        } else {
            static const char* const ops[] = {"==", "!=", "<>", "<=", "=<", ">=", "=>",
                                              "&&", "||", "=",  "<",  ">",  "!"};
            bool matched = false;
            for (const char* op : ops) {
                const QLatin1String o(op);
                if (QStringView(s).mid(i).startsWith(o)) {
                    t.type = Token::Type::Operator;
                    t.text = o;
                    i += o.size();
                    matched = true;
                    break;
                }
            }
            if (!matched)
                fail(QStringLiteral("unexpected character '%1'").arg(c));
        }
        m_tokens.append(t);
    }
    m_tokens.append(Token{});
}

QVariant PredicateParser::takeArgument()
{
    if (m_argumentIndex >= m_arguments.size())
        fail(QStringLiteral("too few arguments"));
    QVariant v = m_arguments[m_argumentIndex++];
    // Any list or set of values (QStringList, QList<qint64>, QSet<QString> ...) is a list of values.
    if (v.typeId() != QMetaType::QString && v.typeId() != QMetaType::QByteArray &&
        v.typeId() != QMetaType::QVariantList && v.canView<QSequentialIterable>()) {
        QVariantList list;
        for (const QVariant& element : v.view<QSequentialIterable>())
            list.append(element);
        return list;
    }
    return v;
}

Predicate PredicateParser::parse()
{
    tokenize();
    NodePtr node = parseOr();
    if (peek().type != Token::Type::End)
        fail(QStringLiteral("unexpected text after the predicate"));
    return Predicate(node);
}

PredicateParser::NodePtr PredicateParser::parseOr()
{
    NodePtr left = parseAnd();
    QList<NodePtr> items{left};
    while (isWord(peek(), "OR") ||
           (peek().type == Token::Type::Operator && peek().text == QLatin1String("||"))) {
        next();
        items.append(parseAnd());
    }
    if (items.size() == 1)
        return left;
    auto node = std::make_shared<PredicateNode>();
    node->kind = PredicateNode::Kind::Or;
    node->children = items;
    return node;
}

PredicateParser::NodePtr PredicateParser::parseAnd()
{
    NodePtr left = parseNot();
    QList<NodePtr> items{left};
    while (isWord(peek(), "AND") ||
           (peek().type == Token::Type::Operator && peek().text == QLatin1String("&&"))) {
        next();
        items.append(parseNot());
    }
    if (items.size() == 1)
        return left;
    auto node = std::make_shared<PredicateNode>();
    node->kind = PredicateNode::Kind::And;
    node->children = items;
    return node;
}

PredicateParser::NodePtr PredicateParser::parseNot()
{
    if (isWord(peek(), "NOT") ||
        (peek().type == Token::Type::Operator && peek().text == QLatin1String("!"))) {
        next();
        const Nesting nesting(*this);
        auto node = std::make_shared<PredicateNode>();
        node->kind = PredicateNode::Kind::Not;
        node->children = {parseNot()};
        return node;
    }
    return parsePrimary();
}

PredicateParser::NodePtr PredicateParser::parsePrimary()
{
    if (peek().type == Token::Type::LeftParen) {
        next();
        const Nesting nesting(*this);
        NodePtr inner = parseOr();
        if (next().type != Token::Type::RightParen)
            fail(QStringLiteral("missing ')'"));
        return inner;
    }
    if (isWord(peek(), "TRUEPREDICATE") || isWord(peek(), "FALSEPREDICATE")) {
        auto node = std::make_shared<PredicateNode>();
        node->kind = isWord(peek(), "TRUEPREDICATE") ? PredicateNode::Kind::True : PredicateNode::Kind::False;
        next();
        return node;
    }
    return parseComparison();
}

bool PredicateParser::parseExpression(void* out)
{
    auto& e = *static_cast<PredicateNode::Expression*>(out);
    Token t = next();
    switch (t.type) {
    case Token::Type::Argument:
        e.kind = PredicateNode::Expression::Kind::Constant;
        e.constant = takeArgument();
        return true;
    case Token::Type::KeyArgument: {
        e.kind = PredicateNode::Expression::Kind::KeyPath;
        e.keyPath = takeArgument().toString();
        if (e.keyPath.isEmpty())
            fail(QStringLiteral("empty key path argument"));
        // "%K.rest" continues the path.
        if (peek().type == Token::Type::Word && peek().text.startsWith(QLatin1Char('.')))
            e.keyPath += next().text;
        return true;
    }
    case Token::Type::String:
    case Token::Type::Number:
        e.kind = PredicateNode::Expression::Kind::Constant;
        e.constant = t.value;
        return true;
    case Token::Type::LeftBrace: {
        const Nesting nesting(*this);
        QVariantList list;
        if (peek().type != Token::Type::RightBrace) {
            for (;;) {
                PredicateNode::Expression element;
                parseExpression(&element);
                if (element.kind != PredicateNode::Expression::Kind::Constant)
                    fail(QStringLiteral("only values may stand in a list"));
                list.append(element.constant);
                if (peek().type == Token::Type::Comma) {
                    next();
                    continue;
                }
                break;
            }
        }
        if (next().type != Token::Type::RightBrace)
            fail(QStringLiteral("missing '}'"));
        e.kind = PredicateNode::Expression::Kind::Constant;
        e.constant = list;
        return true;
    }
    case Token::Type::Word: {
        const QString w = t.text;
        const QString upper = w.toUpper();
        e.kind = PredicateNode::Expression::Kind::Constant;
        if (upper == QLatin1String("YES") || upper == QLatin1String("TRUE")) {
            e.constant = true;
            return true;
        }
        if (upper == QLatin1String("NO") || upper == QLatin1String("FALSE")) {
            e.constant = false;
            return true;
        }
        if (upper == QLatin1String("NIL") || upper == QLatin1String("NULL")) {
            e.constant = QVariant();
            return true;
        }
        static const QStringList reserved{
            QStringLiteral("AND"),      QStringLiteral("OR"),         QStringLiteral("NOT"),
            QStringLiteral("IN"),       QStringLiteral("BEGINSWITH"), QStringLiteral("ENDSWITH"),
            QStringLiteral("CONTAINS"), QStringLiteral("LIKE"),       QStringLiteral("MATCHES"),
            QStringLiteral("ANY"),      QStringLiteral("ALL"),        QStringLiteral("NONE"),
            QStringLiteral("SOME")};
        if (reserved.contains(upper))
            fail(QStringLiteral("expected an expression, found %1").arg(w));
        if (w.startsWith(QLatin1Char('.')) || w.endsWith(QLatin1Char('.')) || w.contains(QLatin1String("..")))
            fail(QStringLiteral("bad key path %1").arg(w));
        QStringList parts = w.split(QLatin1Char('.'));
        if (parts.first().compare(QLatin1String("SELF"), Qt::CaseInsensitive) == 0)
            parts.removeFirst();
        if (parts.isEmpty()) {
            e.kind = PredicateNode::Expression::Kind::Self;
            return true;
        }
        e.kind = PredicateNode::Expression::Kind::KeyPath;
        e.keyPath = parts.join(QLatin1Char('.'));
        return true;
    }
    default:
        fail(QStringLiteral("expected an expression"));
    }
}

PredicateParser::NodePtr PredicateParser::parseComparison()
{
    auto node = std::make_shared<PredicateNode>();
    node->kind = PredicateNode::Kind::Comparison;
    if (isWord(peek(), "ANY") || isWord(peek(), "SOME")) {
        node->modifier = Predicate::Modifier::Any;
        next();
    } else if (isWord(peek(), "ALL")) {
        node->modifier = Predicate::Modifier::All;
        next();
    } else if (isWord(peek(), "NONE")) {
        node->modifier = Predicate::Modifier::None;
        next();
    }
    parseExpression(&node->left);
    const Token opToken = next();
    using Op = Predicate::Operator;
    if (opToken.type == Token::Type::Operator) {
        const QString& o = opToken.text;
        if (o == QLatin1String("=") || o == QLatin1String("=="))
            node->op = Op::Equal;
        else if (o == QLatin1String("!=") || o == QLatin1String("<>"))
            node->op = Op::NotEqual;
        else if (o == QLatin1String("<"))
            node->op = Op::Less;
        else if (o == QLatin1String("<=") || o == QLatin1String("=<"))
            node->op = Op::LessOrEqual;
        else if (o == QLatin1String(">"))
            node->op = Op::Greater;
        else if (o == QLatin1String(">=") || o == QLatin1String("=>"))
            node->op = Op::GreaterOrEqual;
        else
            fail(QStringLiteral("unexpected operator %1").arg(o));
    } else if (opToken.type == Token::Type::Word) {
        const QString w = opToken.text.toUpper();
        if (w == QLatin1String("BEGINSWITH"))
            node->op = Op::BeginsWith;
        else if (w == QLatin1String("ENDSWITH"))
            node->op = Op::EndsWith;
        else if (w == QLatin1String("CONTAINS"))
            node->op = Op::Contains;
        else if (w == QLatin1String("LIKE"))
            node->op = Op::Like;
        else if (w == QLatin1String("MATCHES"))
            node->op = Op::Matches;
        else if (w == QLatin1String("IN"))
            node->op = Op::In;
        else
            fail(QStringLiteral("unknown operator %1").arg(opToken.text));
    } else {
        fail(QStringLiteral("expected an operator"));
    }
    if (peek().type == Token::Type::Options) {
        const QString o = next().text;
        for (QChar c : o) {
            if (c == QLatin1Char('c'))
                node->options |= Predicate::CaseInsensitive;
            else if (c == QLatin1Char('d'))
                node->options |= Predicate::DiacriticInsensitive;
            else if (c != QLatin1Char('n') && c != QLatin1Char('l'))
                fail(QStringLiteral("unknown option [%1]").arg(o));
        }
    }
    parseExpression(&node->right);
    if (node->modifier != Predicate::Modifier::Direct &&
        node->left.kind != PredicateNode::Expression::Kind::KeyPath)
        fail(QStringLiteral("ANY, ALL and NONE need a key path"));
    return node;
}

} // namespace tavrel
