#include "platform/runtime/FileNameEncoding.h"

#include <QStringDecoder>
#include <cstring>

namespace tavrel {

namespace {

bool mustEscape(unsigned char byte)
{
    if (byte == ' ')
        return false;
    if (byte < 0x21 || byte >= 0x7f)
        return true;
    return std::strchr("\"#%<>[\\]^`{|}/0", byte) != nullptr;
}

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

} // namespace

QString FileNameEncoding::stringByEncodingFileName(const QString& title)
{
    if (title.isEmpty())
        return QString();
    QString text = title;
    if (text.size() >= 256) {
        qsizetype cut = 250;
        if (text.at(cut - 1).isHighSurrogate())
            --cut; // never split a character
        text.truncate(cut);
    }
    // "." and ".." would name the folder itself or its parent.
    if (text == QLatin1String(".") || text == QLatin1String(".."))
        return QStringLiteral("%2E").repeated(text.size());

    static const char hex[] = "0123456789ABCDEF";
    QString encoded;
    for (qsizetype i = 0; i < text.size();) {
        // One whole character (a surrogate pair counts as one) is escaped as a unit.
        const qsizetype length =
            (text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) ? 2 : 1;
        const QByteArray bytes = text.mid(i, length).toUtf8();
        QString unit;
        for (const char c : bytes) {
            const auto byte = static_cast<unsigned char>(c);
            if (mustEscape(byte)) {
                unit += QLatin1Char('%');
                unit += QLatin1Char(hex[byte >> 4]);
                unit += QLatin1Char(hex[byte & 0xf]);
            } else {
                unit += QLatin1Char(char(byte));
            }
        }
        // The encoded name is ASCII: its length is its size in bytes.
        if (encoded.size() + unit.size() > kMaximumNameBytes)
            break;
        encoded += unit;
        i += length;
    }
    return encoded;
}

QString FileNameEncoding::stringByDecodingFileName(const QString& name)
{
    if (name.isEmpty())
        return QString();
    const QByteArray input = name.toUtf8();
    QByteArray bytes;
    bytes.reserve(input.size());
    for (qsizetype i = 0; i < input.size(); ++i) {
        if (input.at(i) != '%') {
            bytes += input.at(i);
            continue;
        }
        if (i + 2 >= input.size())
            return QString();
        const int high = hexValue(input.at(i + 1));
        const int low = hexValue(input.at(i + 2));
        if (high < 0 || low < 0)
            return QString();
        bytes += char(high * 16 + low);
        i += 2;
    }
    // A leading U+FEFF belongs to the title: no byte-order mark is skipped.
    QStringDecoder decoder(QStringDecoder::Utf8,
                           QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
    const QString decoded = decoder.decode(bytes);
    if (decoder.hasError())
        return QString();
    return decoded;
}

} // namespace tavrel
