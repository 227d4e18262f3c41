#pragma once

#include <QStringList>
#include <memory>

namespace tavrel {

class Mail;

// Writes people's vCards as files. A file is named after the person's display name made safe the way
// downloads are ("/" becomes ":", no control characters, no leading dot, "#" for an empty name), and
// a name already taken in the folder gets " (n)", so an export never writes outside the chosen
// folder and never replaces a file.
class ContactVCards
{
public:
    // The file name for a display name, without the folder.
    static QString fileNameFor(const QString& displayName);
    // Writes each person's card into the folder (a person without a card is skipped); answers the
    // files written, in order. A file that cannot be written is left out.
    static QStringList writeVCards(const QList<std::shared_ptr<Mail>>& mails, const QString& folder);
};

} // namespace tavrel
