// File names made from document titles: never a slash or NUL, never "." or "..", at most 255 bytes, and a
// valid title decodes to itself or, when it had to be cut, to a prefix of itself. Any name decodes
// without harm. The names of downloads and exports are one name inside their folder, neither hidden nor
// a Qt resource path, without control characters, within their limit; an account's folder made from an
// address is one name inside the support folder.
#include "FuzzSupport.h"
#include "actions/TransferSupport.h"
#include "model/TQPlaces.h"
#include "platform/runtime/FileNameEncoding.h"

#include <QStringDecoder>

using namespace tavrel;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes = fuzz::bytesOf(data, size);
    (void)FileNameEncoding::stringByDecodingFileName(QString::fromLatin1(bytes));

    // Titles come as text: only valid UTF-8 makes one (a leading U+FEFF is part of the title).
    QStringDecoder decoder(QStringDecoder::Utf8,
                           QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
    const QString title = decoder.decode(bytes);
    if (decoder.hasError())
        return 0;
    const QString safe = TransferSupport::safeFileName(title, title.size() % 3 ? QString() : title.left(8));
    fuzz::check(!safe.isEmpty() && safe.toUtf8().size() <= TransferSupport::kMaximumSafeNameBytes,
                "a download's name is empty or too long", safe);
    fuzz::check(!safe.contains(QLatin1Char('/')) && !safe.startsWith(QLatin1Char('.')) &&
                    !safe.startsWith(QLatin1Char(':')),
                "a download's name leaves its folder, hides or names a resource", safe);
    for (const QChar c : safe)
        fuzz::check(c.category() != QChar::Other_Control, "a download's name holds a control character",
                    safe);
    const QString folder = TQPlaces::folderNameForUsername(title);
    fuzz::check(title.isEmpty()
                    ? folder.isNull()
                    : !folder.isEmpty() && folder != QLatin1String(".") && folder != QLatin1String("..") &&
                          !folder.contains(QLatin1Char('/')) && !folder.contains(QChar(0)) &&
                          folder.toUtf8().size() <= FileNameEncoding::kMaximumNameBytes,
                "an account's folder is no single name", folder);
    const QString name = FileNameEncoding::stringByEncodingFileName(title);
    if (title.isEmpty()) {
        fuzz::check(name.isNull(), "an empty title has a file name");
        return 0;
    }
    const QByteArray encoded = name.toUtf8();
    fuzz::check(!encoded.isEmpty(), "a title has no file name", title);
    fuzz::check(encoded.size() <= FileNameEncoding::kMaximumNameBytes, "a file name is too long", name);
    fuzz::check(!encoded.contains('/') && !encoded.contains('\0'), "a file name holds a slash or NUL", name);
    fuzz::check(encoded != "." && encoded != "..", "a file name names a folder", name);
    const QString decoded = FileNameEncoding::stringByDecodingFileName(name);
    fuzz::check(!decoded.isEmpty() && title.startsWith(decoded), "a file name does not decode to its title",
                title + QLatin1Char('\n') + name + QLatin1Char('\n') + decoded);
    return 0;
}
