#pragma once

#include "platform/store/Predicate.h"

#include <QString>
#include <QVariantList>

namespace tavrel {

// Reads a predicate format string; values come from the arguments only.
class PredicateParser
{
public:
    // Parentheses, NOT and {lists} nest at most this deep: every reader of a predicate recurses.
    static constexpr int kMaximumNesting = 100;

    PredicateParser(const QString& format, const QVariantList& arguments);
    // Raises NSInvalidArgumentException naming the format on a syntax error, a missing argument or
    // nesting beyond kMaximumNesting.
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
    // Counts one level down for as long as it lives.
    struct Nesting
    {
        explicit Nesting(PredicateParser& parser);
        ~Nesting() { --m_parser.m_depth; }
        PredicateParser& m_parser;
    };

    QString m_format;
    QVariantList m_arguments;
    int m_argumentIndex = 0;
    QList<Token> m_tokens;
    int m_pos = 0;
    int m_depth = 0;
};

} // namespace tavrel
