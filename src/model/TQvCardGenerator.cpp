#include "model/TQvCardGenerator.h"

#include "model/Contact.h"
#include "model/Mail.h"

#include <QFile>
#include <QUrl>

namespace tavrel {

namespace {
constexpr int kMaxLineOctets = 75;
const QByteArray kCrlf("\r\n");

QByteArray readPhoto(const QString& avatar)
{
    if (avatar.isEmpty())
        return {};
    QString path = avatar;
    if (!avatar.startsWith(QLatin1Char('/'))) {
        const QUrl url(avatar);
        if (!url.isLocalFile())
            return {};
        path = url.toLocalFile();
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

// A UTF-8 continuation byte may not start a physical line: the fold goes before its lead byte.
qsizetype foldPoint(const QByteArray& line, qsizetype from, qsizetype room)
{
    qsizetype end = from + room;
    if (end >= line.size())
        return line.size();
    while (end > from && (static_cast<unsigned char>(line.at(end)) & 0xC0) == 0x80)
        --end;
    return end > from ? end : from + room;
}
} // namespace

QString TQvCardGenerator::escapeText(const QString& text)
{
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == QLatin1Char('\\'))
            out += QLatin1String("\\\\");
        else if (c == QLatin1Char(','))
            out += QLatin1String("\\,");
        else if (c == QLatin1Char(';'))
            out += QLatin1String("\\;");
        else if (c == QLatin1Char('\r')) {
            out += QLatin1String("\\n");
            if (i + 1 < text.size() && text.at(i + 1) == QLatin1Char('\n'))
                ++i;
        } else if (c == QLatin1Char('\n') || c == QChar(0x2028) || c == QChar(0x2029) || c == QChar(0x85))
            out += QLatin1String("\\n");
        else if (c.unicode() < 0x20 && c != QLatin1Char('\t'))
            continue; // other control characters have no place in a content line
        else
            out += c;
    }
    return out;
}

QByteArray TQvCardGenerator::foldLine(const QByteArray& line)
{
    QByteArray out;
    qsizetype at = 0;
    qsizetype room = kMaxLineOctets;
    do {
        const qsizetype end = foldPoint(line, at, room);
        if (at > 0)
            out += ' ';
        out += line.mid(at, end - at);
        out += kCrlf;
        at = end;
        room = kMaxLineOctets - 1; // continuation lines begin with one blank
    } while (at < line.size());
    return out;
}

QByteArray TQvCardGenerator::vCardForContact(const std::shared_ptr<Mail>& mail)
{
    if (!mail)
        return {};
    const auto contact = mail->contact();
    return vCardForContact(mail, contact ? readPhoto(contact->avatar()) : QByteArray());
}

QByteArray TQvCardGenerator::vCardForContact(const std::shared_ptr<Mail>& mail, const QByteArray& photo)
{
    if (!mail)
        return {};
    QByteArray card;
    card += "BEGIN:VCARD" + kCrlf;
    card += "VERSION:3.0" + kCrlf;
    const QByteArray name = escapeText(mail->displayName()).toUtf8();
    card += foldLine("N:" + name);
    card += foldLine("FN:" + name);

    if (!photo.isEmpty()) {
        // The header stands alone; the Base64 text follows on continuation lines of one blank and at
        // most 74 characters, which unfold to the header followed by the whole text.
        card += "PHOTO;BASE64:" + kCrlf;
        const QByteArray encoded = photo.toBase64();
        for (qsizetype at = 0; at < encoded.size(); at += kMaxLineOctets - 1)
            card += ' ' + encoded.mid(at, kMaxLineOctets - 1) + kCrlf;
    }

    const auto contact = mail->contact();
    QList<std::shared_ptr<Mail>> mails;
    if (contact)
        mails = contact->mails();
    else
        mails.append(mail);
    const auto primary = contact ? contact->primaryMail() : nullptr;
    for (const auto& m : mails) {
        const QByteArray pref = (primary && m == primary) ? "PREF," : "";
        card += foldLine("EMAIL;TYPE=" + pref + "INTERNET:" + escapeText(m->address()).toUtf8());
    }
    card += "END:VCARD" + kCrlf;
    return card;
}

} // namespace tavrel
