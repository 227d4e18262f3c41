#include "sharing/ShareTokens.h"

#include "model/ContextFetch.h"
#include "model/Mail.h"
#include "model/SharingRoles.h"
#include "platform/store/FetchRequest.h"
#include "platform/store/Predicate.h"
#include "platform/system/TQLog.h"

#include <QRegularExpression>

namespace tavrel {

namespace {

// The person's name; a stored address without one shows the address as its name, which is none.
QString nameOf(const Mail& mail)
{
    const QString name = mail.displayName();
    return name.compare(mail.address(), Qt::CaseInsensitive) == 0 ? QString() : name;
}

} // namespace

QString ShareToken::displayName() const
{
    return mail ? nameOf(*mail) : QString();
}

QString ShareToken::displayString() const
{
    if (kind == Text)
        return text;
    const QString name = displayName();
    return name.isEmpty() ? address : QStringLiteral("%1 <%2>").arg(name, address);
}

ShareToken ShareToken::person(const std::shared_ptr<Mail>& mail)
{
    ShareToken token;
    token.kind = Person;
    token.mail = mail;
    token.address = mail ? mail->address() : QString();
    token.text = token.displayString();
    return token;
}

ShareToken ShareToken::addressToken(const QString& address)
{
    ShareToken token;
    token.kind = Address;
    token.address = address;
    token.text = address;
    return token;
}

ShareToken ShareToken::plainText(const QString& text)
{
    ShareToken token;
    token.text = text;
    return token;
}

ShareTokens::ShareTokens(Rules rules, ManagedObjectContext* context, QString username)
    : m_rules(rules), m_context(context), m_username(std::move(username))
{}

bool ShareTokens::isWellFormedAddress(const QString& text)
{
    static const QRegularExpression pattern(
        QStringLiteral("^[A-Za-z0-9._%+'-]+@[A-Za-z0-9](?:[A-Za-z0-9-]*[A-Za-z0-9])?(?:\\.[A-Za-z0-9](?:[A-"
                       "Za-z0-9-]*[A-Za-z0-9])?)*$"));
    return pattern.match(text).hasMatch();
}

QList<std::shared_ptr<Mail>> ShareTokens::fetch(const QString& format, const QStringList& arguments) const
{
    if (!m_context)
        return {};
    FetchRequest request(QStringLiteral("Mail"));
    QVariantList values;
    for (const QString& argument : arguments)
        values.append(argument);
    request.setPredicate(Predicate::fromFormat(format, values));
    Error error;
    const QList<std::shared_ptr<Mail>> found =
        ContextFetch::executeFetchRequestSafely<Mail>(m_context, request, &error);
    if (!error.isNull()) {
        TQLog("E: Cannot fetch contact for: %@ - error %@", arguments.value(0), error.localizedDescription());
        return {};
    }
    return found;
}

QStringList ShareTokens::completions(const QString& substring) const
{
    const QList<std::shared_ptr<Mail>> found = fetch(
        QStringLiteral("address BEGINSWITH[cd] %@ OR displayName BEGINSWITH[cd] %@"), {substring, substring});
    QStringList list;
    QStringList seen;
    const QString lowered = substring.toLower();
    for (const auto& mail : found) {
        const QString address = mail->address();
        if (address.isEmpty() || SharingRoles::sameAddress(address, m_username))
            continue;
        if (m_rules == Rules::ShareWith && seen.contains(address, Qt::CaseInsensitive))
            continue;
        seen.append(address);
        const QString name = nameOf(*mail);
        if (!name.isEmpty() && name.toLower().startsWith(lowered))
            list.append(QStringLiteral("%1 <%2>").arg(name, address));
        else if (name.isEmpty())
            list.append(address);
        else
            list.append(QStringLiteral("%1 (%2)").arg(address, name));
    }
    return list;
}

ShareToken ShareTokens::tokenForEditingString(const QString& typed) const
{
    const QString text = typed.trimmed();
    if (text.isEmpty() || SharingRoles::sameAddress(text, m_username))
        return ShareToken::plainText(typed);
    if (m_rules == Rules::ChangeOwner)
        TQLog("Tokenizing object for string: %@", text);

    // The address the text names, and how the stored people are looked up.
    QString address = text;
    QString format = m_rules == Rules::ShareWith
                         ? QStringLiteral("address BEGINSWITH[c] %@ OR displayName BEGINSWITH[cd] %@")
                         : QStringLiteral("address BEGINSWITH[cd] %@ OR displayName BEGINSWITH[cd] %@");
    QStringList arguments{text, text};
    const qsizetype parenthesis = text.indexOf(QStringLiteral(" ("));
    const qsizetype bracket = text.indexOf(QStringLiteral(" <"));
    if (parenthesis >= 0) {
        // "address (Name)"
        address = text.left(parenthesis).trimmed();
        if (SharingRoles::sameAddress(address, m_username))
            return ShareToken::plainText(typed);
        const qsizetype close = text.indexOf(QLatin1Char(')'), parenthesis);
        if (close >= 0) {
            if (m_rules == Rules::ShareWith) {
                format = QStringLiteral("address BEGINSWITH[c] %@");
                arguments = {address};
            } else {
                format = QStringLiteral("address BEGINSWITH %@ AND displayName BEGINSWITH %@");
                arguments = {address, text.mid(parenthesis + 2, close - parenthesis - 2)};
            }
        }
    } else if (bracket >= 0 && text.indexOf(QLatin1Char('>'), bracket) >= 0) {
        // "Name <address>"
        const qsizetype close = text.indexOf(QLatin1Char('>'), bracket);
        address = text.mid(bracket + 2, close - bracket - 2).trimmed();
        if (SharingRoles::sameAddress(address, m_username))
            return ShareToken::plainText(typed);
        if (m_rules == Rules::ShareWith) {
            format = QStringLiteral("address BEGINSWITH[c] %@");
            arguments = {address};
        } else {
            format = QStringLiteral("address BEGINSWITH %@ AND displayName BEGINSWITH %@");
            arguments = {address, text.left(bracket)};
        }
    }

    const QList<std::shared_ptr<Mail>> found = fetch(format, arguments);
    // The person of exactly that address first: "bob@x.com" must not become "bob@x.com.evil.org".
    for (const auto& mail : found)
        if (SharingRoles::sameAddress(mail->address(), address) &&
            !SharingRoles::sameAddress(address, m_username))
            return ShareToken::person(mail);
    if (isWellFormedAddress(address))
        return ShareToken::addressToken(address);
    // Someone whose address or name merely begins with the text (the last found, as before).
    for (auto it = found.crbegin(); it != found.crend(); ++it)
        if (!SharingRoles::sameAddress((*it)->address(), m_username) && !(*it)->address().isEmpty())
            return ShareToken::person(*it);
    return ShareToken::plainText(typed);
}

} // namespace tavrel
