#pragma once

#include <QByteArray>
#include <memory>

namespace tavrel {

class Mail;

// A vCard 3.0 card for one address-book address: the shown name, the contact's photo and every
// address of the contact with the primary one marked. Values are escaped and long lines folded with
// CRLF and one blank, so a name can never add properties of its own.
class TQvCardGenerator
{
public:
    // The card as UTF-8 bytes, or nothing when given nothing. The photo is read from the contact's
    // cached avatar (a file URL string or a path); a missing or empty file gives no photo.
    static QByteArray vCardForContact(const std::shared_ptr<Mail>& mail);
    // The same with the photo's bytes given (empty: no photo).
    static QByteArray vCardForContact(const std::shared_ptr<Mail>& mail, const QByteArray& photo);

    // TEXT value escaping of vCard 3.0: backslash, comma, semicolon, and line breaks as "\n".
    static QString escapeText(const QString& text);
    // One content line folded to at most 75 octets per physical line, each ending in CRLF.
    static QByteArray foldLine(const QByteArray& line);
};

} // namespace tavrel
