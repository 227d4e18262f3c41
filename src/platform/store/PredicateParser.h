#pragma once

#include "platform/store/Predicate.h"

#include <QString>
#include <QVariantList>

namespace tavrel {

// Reads a predicate format string; values come from the arguments only.
class PredicateParser
{
public:
    PredicateParser(const QString& format, const QVariantList& arguments);
    // Raises NSInvalidArgumentException naming the format on a syntax error or missing argument.
    Predicate parse();

private:
    struct Token
    {
        enum class Type {
            End,
            Word,
            String,
            Number,
            Operator,
            LeftParen,
            RightParen,
            LeftBrace,
            RightBrace,
            Comma,
            Argument,
            KeyArgument,
            Options
        };
        Type type = Type::End;
        QString text;
        QVariant value;
    };
    using NodePtr = std::shared_ptr<const class PredicateNode>;

    void tokenize();
    [[noreturn]] void fail(const QString& why) const;
    const Token& peek() const { return m_tokens[m_pos]; }
    Token next() { return m_tokens[m_pos++]; }
    bool isWord(const Token& t, const char* word) const;
    NodePtr parseOr();
    NodePtr parseAnd();
    NodePtr parseNot();
    NodePtr parsePrimary();
    NodePtr parseComparison();
    bool parseExpression(void* expression);
    QVariant takeArgument();

    QString m_format;
    QVariantList m_arguments;
    int m_argumentIndex = 0;
    QList<Token> m_tokens;
    int m_pos = 0;
};

} // namespace tavrel
