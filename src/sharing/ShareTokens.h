#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <memory>

namespace tavrel {

class Mail;
class ManagedObjectContext;

// One token of the people fields of the share-with and change-owner dialogs: a person of the
// address book (a stored mail record), a well-formed address nobody stored, or plain text that
// names nobody. Only the first two take part in sharing.
struct ShareToken
{
    enum Kind { Text, Address, Person };

    Kind kind = Text;
    std::shared_ptr<Mail> mail; // Person only
    QString address;            // Person and Address
    QString text;               // what was typed

    bool isPerson() const { return kind != Text; }
    // The person's name, for a stored person only.
    QString displayName() const;
    // As the field shows it: plain text as typed; a person "Name <address>", or the bare address.
    QString displayString() const;

    static ShareToken person(const std::shared_ptr<Mail>& mail);
    static ShareToken addressToken(const QString& address);
    static ShareToken plainText(const QString& text);
};

// How the dialogs turn typed text into tokens and offer completions. Lookups read the mail records of
// the context; the typed text is only ever an argument of the predicates. The signed-in user's own
// address never becomes a person.
class ShareTokens
{
public:
    // The share-with dialog's rules or the change-owner dialog's (which offers one person per
    // completion entry even when listed twice, and reads name and address together).
    enum class Rules { ShareWith, ChangeOwner };

    ShareTokens(Rules rules, ManagedObjectContext* context, QString username);

    // The completion texts for a typed substring: "Name <address>" when the name begins with it,
    // the bare address for a person without a name, else "address (Name)".
    QStringList completions(const QString& substring) const;
    // The token for finished text: the stored person of that address (the exact address before
    // one that only begins with it), an address token for a well-formed address nobody stored,
    // or plain text.
    ShareToken tokenForEditingString(const QString& text) const;

    // A normal mail address: a local part of letters, digits and ". _ % + - '", "@", and a domain of
    // dot-separated labels of letters, digits and inner hyphens.
    static bool isWellFormedAddress(const QString& text);

private:
    QList<std::shared_ptr<Mail>> fetch(const QString& format, const QStringList& arguments) const;

    Rules m_rules;
    ManagedObjectContext* m_context;
    QString m_username;
};

} // namespace tavrel
