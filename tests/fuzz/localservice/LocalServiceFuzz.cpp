// The local service's request handling, in-process: any request message gets an answer (a status, and
// well-formed XML wherever it says it answers Atom), never a crash, and a refused one changes nothing.
//
// Input: up to eight HTTP/1.1 request messages, separated by lines "=====". One without an Authorization
// header gets the account's token, so that inputs reach the handlers behind it; "$LOCATION" in a message
// stands for the path and query of the last Location answered (an upload session, a new entry).
#include "FuzzSupport.h"
#include "LocalService.h"

#include <QUrl>
#include <pugixml.hpp>

using namespace tavrel;
using localservice::LocalService;

namespace {

LocalService& service()
{
    static LocalService instance;
    return instance;
}

QByteArray& token()
{
    static QByteArray value;
    return value;
}

localservice::GenerateOptions accountOptions()
{
    localservice::GenerateOptions options;
    options.documents = 8;
    options.collections = 3;
    options.contacts = 4;
    options.sharedPeople = 3;
    return options;
}

QByteArray withToken(const QByteArray& message)
{
    qsizetype headEnd = message.indexOf("\n\n");
    const qsizetype crlf = message.indexOf("\r\n\r\n");
    if (crlf >= 0 && (headEnd < 0 || crlf < headEnd))
        headEnd = crlf;
    const QByteArray head = (headEnd < 0 ? message : message.left(headEnd)).toLower();
    if (head.contains("\nauthorization:"))
        return message;
    const qsizetype lineEnd = message.indexOf('\n');
    if (lineEnd < 0)
        return message + "\r\nAuthorization: Bearer " + token() + "\r\n\r\n";
    return message.left(lineEnd + 1) + "Authorization: Bearer " + token() + "\r\n" + message.mid(lineEnd + 1);
}

QList<QByteArray> splitMessages(const QByteArray& input)
{
    QList<QByteArray> messages;
    qsizetype from = 0;
    for (;;) {
        const qsizetype separator = input.indexOf("\n=====\n", from);
        if (separator < 0) {
            messages.append(input.mid(from));
            return messages;
        }
        messages.append(input.mid(from, separator - from));
        from = separator + 7;
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    fuzz::setUpProcess(argc, argv);
    service().generate(accountOptions());
    token() = service().issueAccessToken().toUtf8();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    LocalService& s = service();
    // Every input meets the same account.
    s.generate(accountOptions());
    s.clearJournal();

    QByteArray location;
    int count = 0;
    for (QByteArray message : splitMessages(fuzz::bytesOf(data, size))) {
        if (++count > 8)
            break;
        message.replace("$LOCATION", location);
        const qint64 stamp = s.largestChangestamp();
        const localservice::DirectAnswer answer = s.handleMessage(withToken(message));
        fuzz::check(answer.status >= 200 && answer.status < 600, "an answer without a status",
                    QString::number(answer.status));
        if (answer.status == 400 || answer.status == 401 || answer.status == 403)
            fuzz::check(s.largestChangestamp() == stamp, "a refused request changed the account",
                        QString::fromUtf8(answer.body));
        QByteArray type;
        for (const auto& [name, value] : answer.headers) {
            if (name.compare("Content-Type", Qt::CaseInsensitive) == 0)
                type = value;
            if (name.compare("Location", Qt::CaseInsensitive) == 0)
                location = QUrl::fromEncoded(value).toEncoded(QUrl::RemoveScheme | QUrl::RemoveAuthority);
        }
        if (type.startsWith("application/atom+xml") && !answer.body.isEmpty()) {
            pugi::xml_document document;
            const pugi::xml_parse_result parsed =
                document.load_buffer(answer.body.constData(), size_t(answer.body.size()));
            fuzz::check(bool(parsed), "the service answered broken XML", QString::fromUtf8(answer.body));
        }
    }
    return 0;
}
