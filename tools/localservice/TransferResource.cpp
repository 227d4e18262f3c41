#include "TransferResource.h"

#include "AccessRoles.h"
#include "AtomText.h"
#include "Precondition.h"

#include <QCryptographicHash>
#include <QRegularExpression>
#include <QUrl>
#include <QUrlQuery>
#include <pugixml.hpp>

namespace tavrel::localservice {

namespace {
using A = AtomText;
using State = LocalServiceState;
// A stated length beyond this is not trusted for a reservation; the bytes still arrive chunk by chunk.
constexpr qint64 kMaximumReservedUploadBytes = qint64(512) << 20;

QByteArray mimeForExport(const QString& format)
{
    static const QMap<QString, QByteArray> types = {
        {QStringLiteral("odt"), "application/vnd.oasis.opendocument.text"},
        {QStringLiteral("doc"), "application/msword"},
        {QStringLiteral("docx"), "application/vnd.openxmlformats-officedocument.wordprocessingml.document"},
        {QStringLiteral("rtf"), "application/rtf"},
        {QStringLiteral("txt"), "text/plain"},
        {QStringLiteral("html"), "text/html"},
        {QStringLiteral("pdf"), "application/pdf"},
        {QStringLiteral("xls"), "application/vnd.ms-excel"},
        {QStringLiteral("xlsx"), "application/vnd.openxmlformats-officedocument.spreadsheetml.sheet"},
        {QStringLiteral("ods"), "application/x-vnd.oasis.opendocument.spreadsheet"},
        {QStringLiteral("csv"), "text/csv"},
        {QStringLiteral("tsv"), "text/tab-separated-values"},
        {QStringLiteral("ppt"), "application/vnd.ms-powerpoint"},
        {QStringLiteral("pptx"), "application/vnd.openxmlformats-officedocument.presentationml.presentation"},
        {QStringLiteral("odp"), "application/vnd.oasis.opendocument.presentation"},
        {QStringLiteral("png"), "image/png"},
        {QStringLiteral("jpeg"), "image/jpeg"},
        {QStringLiteral("svg"), "image/svg+xml"},
    };
    return types.value(format.toLower(), "application/octet-stream");
}

QString nativeKindForUpload(const QString& mime)
{
    static const QStringList documents = {
        QStringLiteral("text/plain"),
        QStringLiteral("text/html"),
        QStringLiteral("application/rtf"),
        QStringLiteral("application/msword"),
        QStringLiteral("application/vnd.oasis.opendocument.text"),
        QStringLiteral("application/vnd.openxmlformats-officedocument.wordprocessingml.document")};
    static const QStringList spreadsheets = {
        QStringLiteral("text/csv"),
        QStringLiteral("text/tab-separated-values"),
        QStringLiteral("application/vnd.ms-excel"),
        QStringLiteral("application/vnd.oasis.opendocument.spreadsheet"),
        QStringLiteral("application/x-vnd.oasis.opendocument.spreadsheet"),
        QStringLiteral("application/vnd.openxmlformats-officedocument.spreadsheetml.sheet")};
    static const QStringList presentations = {
        QStringLiteral("application/vnd.ms-powerpoint"),
        QStringLiteral("application/vnd.oasis.opendocument.presentation"),
        QStringLiteral("application/vnd.openxmlformats-officedocument.presentationml.presentation")};
    const QString m = mime.section(QLatin1Char(';'), 0, 0).trimmed().toLower();
    if (documents.contains(m))
        return QStringLiteral("document");
    if (spreadsheets.contains(m))
        return QStringLiteral("spreadsheet");
    if (presentations.contains(m))
        return QStringLiteral("presentation");
    return {};
}

// A byte count as a header states it: decimal digits that fit.
bool parseCount(const QString& text, qint64* count)
{
    bool ok = false;
    *count = text.toLongLong(&ok);
    return ok && *count >= 0 && !text.startsWith(QLatin1Char('+')) && !text.startsWith(QLatin1Char('-'));
}

// A tiny valid PNG (1x1, grey), for thumbnails and generated contact photos.
const QByteArray& tinyPng()
{
    static const QByteArray png = QByteArray::fromBase64(
        "iVBORw0KGgoAAAANSUhEUgAAAAEAAAABCAAAAAA6fptVAAAACklEQVR4nGNoAAAAggCBd81ytgAAAABJRU5ErkJggg==");
    return png;
}
} // namespace

TransferResource::TransferResource(LocalServiceState& state, DocumentResource& documents)
    : m_state(state), m_documents(documents)
{
    m_clock.start();
}

void TransferResource::dropExpiredSessions()
{
    const qint64 now = m_clock.elapsed();
    for (auto it = m_uploads.begin(); it != m_uploads.end();) {
        if (now - it->lastUsedMs >= m_sessionLifetimeMs)
            it = m_uploads.erase(it);
        else
            ++it;
    }
}

int TransferResource::openSessions()
{
    dropExpiredSessions();
    return int(m_uploads.size());
}

QByteArray TransferResource::writeRefusal(const Upload& up, const QString& account)
{
    const State::Doc* target = m_state.doc(up.update ? up.rid : up.parent);
    if (target && !AccessRoles::canEdit(*target, account))
        return AccessRoles::kNotPermitted;
    return {};
}

Response TransferResource::startUpload(const Request& r, const QString& rest, const QString& projection)
{
    dropExpiredSessions();
    Upload up;
    up.account = r.account;
    up.projection = projection;
    up.mime = r.header("x-upload-content-type");
    if (up.mime.isEmpty())
        up.mime = QStringLiteral("application/octet-stream");
    const QString length = r.header("x-upload-content-length");
    if (length.isEmpty())
        up.total = -1;
    else if (!parseCount(length, &up.total))
        return Response::text(400, "Invalid X-Upload-Content-Length: " + length.left(40).toUtf8());
    up.filename = QUrl::fromPercentEncoding(r.header("slug").toUtf8());
    up.title = up.filename;
    up.convert = !r.query.contains(QStringLiteral("convert")) || r.flag("convert");
    up.newRevision = r.flag("new-revision");
    if (!r.body.trimmed().isEmpty()) {
        pugi::xml_document doc;
        if (!doc.load_buffer(r.body.constData(), size_t(r.body.size())) ||
            !A::is(doc.document_element(), A::kAtom, "entry"))
            return Response::text(400, "Invalid metadata entry");
        up.meta = DocInput::read(doc.document_element());
        up.hasMeta = true;
        if (up.meta.hasTitle && !up.meta.title.trimmed().isEmpty())
            up.title = up.meta.title;
    }
    const QStringList parts = rest.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    if (parts.size() == 2 && parts.at(1) == QLatin1String("contents")) {
        const State::Doc* f = m_state.doc(parts.at(0));
        if (!f || f->kind != QLatin1String("folder"))
            return Response::text(404, "Not Found");
        up.parent = f->rid;
    } else if (parts.size() == 1) {
        const State::Doc* d = m_state.doc(parts.at(0));
        if (!d)
            return Response::text(404, "Not Found");
        const QString sent = r.header("if-match");
        if (auto refused = Precondition::refused(sent, m_state.docEtag(*d), d->version, false))
            return *refused;
        up.update = true;
        up.rid = d->rid;
    } else if (!parts.isEmpty()) {
        return Response::text(404, "Not Found");
    } else if (r.method != QLatin1String("POST")) {
        return Response::text(405, "Method not allowed");
    }
    if (const QByteArray refusal = writeRefusal(up, r.account); !refusal.isEmpty())
        return AccessRoles::forbidden(refusal);
    // Nothing is to follow an empty file: the service makes the document at once, without a session.
    if (!up.update && up.total == 0)
        return complete(std::move(up));
    up.lastUsedMs = m_clock.elapsed();
    ++m_uploadCounter;
    const QString id =
        QStringLiteral("AEnB2U") +
        QString::fromLatin1(QCryptographicHash::hash(QByteArray::number(m_uploadCounter) + r.path.toUtf8(),
                                                     QCryptographicHash::Sha1)
                                .toBase64(QByteArray::Base64UrlEncoding | QByteArray::OmitTrailingEquals)) +
        QString::number(m_uploadCounter);
    m_uploads.insert(id, up);
    QUrlQuery q;
    for (auto it = r.query.constBegin(); it != r.query.constEnd(); ++it)
        q.addQueryItem(it.key(), it.value());
    q.addQueryItem(QStringLiteral("upload_id"), id);
    QUrl location(m_state.base + r.path);
    location.setQuery(q);
    Response out = Response::html(200, {});
    out.header("Location", location.toEncoded());
    return out;
}

Response TransferResource::putChunk(const Request& r, const QString& uploadId)
{
    dropExpiredSessions();
    auto it = m_uploads.find(uploadId);
    if (it == m_uploads.end())
        return Response::text(404, "No such upload session");
    Upload& up = *it;
    // The role may have gone since the session opened; a refused chunk is not kept.
    if (const QByteArray refusal = writeRefusal(up, r.account); !refusal.isEmpty())
        return AccessRoles::forbidden(refusal);
    up.lastUsedMs = m_clock.elapsed();
    auto incomplete = [&]() {
        Response out = Response::text(308, {});
        if (!up.data.isEmpty())
            out.header("Range", "bytes=0-" + QByteArray::number(up.data.size() - 1));
        return out;
    };
    // A range is refused when a number does not fit, or when it contradicts the total the session knows
    // (from its start or an earlier chunk): nothing is stored from it.
    const QString range = r.header("content-range");
    static const QRegularExpression full(QStringLiteral("^bytes (\\d+)-(\\d+)/(\\d+|\\*)$"));
    static const QRegularExpression status(QStringLiteral("^bytes \\*/(\\d+|\\*)$"));
    const auto totalOf = [&](const QString& text, qint64* total) {
        *total = up.total;
        if (text == QLatin1String("*"))
            return true;
        qint64 stated = 0;
        if (!parseCount(text, &stated) || (up.total >= 0 && stated != up.total))
            return false;
        *total = stated;
        return true;
    };
    qint64 total = -1;
    if (auto m = status.match(range); m.hasMatch()) {
        if (!totalOf(m.captured(1), &total) || (total >= 0 && up.data.size() > total))
            return Response::text(400, "Content-Range contradicts the upload's length");
        up.total = total;
        if (!(up.total == 0 && up.data.isEmpty())) // an empty file finishes below
            return incomplete();
    } else if (auto m = full.match(range); m.hasMatch()) {
        qint64 first = 0, last = 0;
        if (!parseCount(m.captured(1), &first) || !parseCount(m.captured(2), &last) ||
            !totalOf(m.captured(3), &total) || (total >= 0 && last >= total))
            return Response::text(400, "Content-Range contradicts the upload's length");
        if (last < first || (!r.truncated && r.body.size() != last - first + 1))
            return Response::text(400, "Content-Range does not match the body");
        up.total = total;
        if (first > up.data.size())
            return incomplete(); // a gap: the client asks where to go on
        const qint64 skip = up.data.size() - first;
        // The whole file is held at the end anyway: one allocation instead of one per chunk.
        if (up.data.isEmpty() && up.total > 0 && up.total <= kMaximumReservedUploadBytes)
            up.data.reserve(up.total);
        if (skip < r.body.size())
            up.data.append(QByteArrayView(r.body).sliced(skip));
        if (r.truncated || up.total < 0 || up.data.size() < up.total)
            return incomplete();
    } else if (range.isEmpty() && up.total < 0) {
        up.data = r.body;
        up.total = up.data.size();
    } else if (range.isEmpty()) {
        if (r.body.size() > up.total)
            return Response::text(400, "The body is longer than the upload's length");
        up.data = r.body;
        if (r.truncated || up.data.size() < up.total)
            return incomplete();
    } else {
        return Response::text(400, "Invalid Content-Range");
    }

    Upload done = std::move(up);
    m_uploads.erase(it);
    return complete(std::move(done));
}

Response TransferResource::complete(Upload done)
{
    const bool expand = done.projection == QLatin1String("expandAcl");
    const QString md5 =
        QString::fromLatin1(QCryptographicHash::hash(done.data, QCryptographicHash::Md5).toHex());
    if (done.update) {
        State::Doc* d = m_state.doc(done.rid);
        if (!d)
            return Response::text(404, "Not Found");
        d->content = done.data;
        d->md5 = md5;
        if (!State::isNative(d->kind))
            d->mime = done.mime;
        if (done.hasMeta)
            m_documents.applyInput(*d, done.meta, false);
        if (done.newRevision)
            ++d->revisions;
        d->modifiedByEmail = m_state.ownerEmail;
        d->modifiedByName = m_state.ownerName;
        m_state.touch(*d);
        return m_documents.entryResponse(200, *d, expand);
    }
    QString kind = done.convert ? nativeKindForUpload(done.mime) : QString();
    if (kind.isEmpty())
        kind = done.mime.startsWith(QLatin1String("application/pdf")) ? QStringLiteral("pdf")
                                                                      : QStringLiteral("file");
    DocInput in = done.meta;
    in.title = done.title.isEmpty() ? QStringLiteral("Untitled") : done.title;
    in.hasTitle = true;
    State::Doc& d = m_documents.createDoc(in, kind, done.parent);
    d.content = done.data;
    d.md5 = md5;
    d.mime = done.mime;
    d.filename = done.filename;
    d.cache[0].clear();
    d.cache[1].clear();
    const QByteArray location = done.parent.isEmpty()
                                    ? m_state.docUrl(d.rid)
                                    : m_state.docUrl(done.parent) + "/contents/" + A::percent(d.rid);
    return m_documents.entryResponse(201, d, expand, location);
}

Response TransferResource::download(const Request& r)
{
    const State::Doc* d = nullptr;
    QString format = r.param("exportFormat");
    if (format.isEmpty())
        format = r.param("format");
    if (r.path.startsWith(QLatin1String("/feeds/default/media/"))) {
        d = m_state.doc(r.path.mid(QStringLiteral("/feeds/default/media/").size()));
    } else if (r.path.startsWith(QLatin1String("/feeds/download/files/"))) {
        d = m_state.docByLocal(r.path.mid(QStringLiteral("/feeds/download/files/").size()));
    } else {
        const QString id = r.query.contains(QStringLiteral("id")) ? r.param("id") : r.param("key");
        d = m_state.docByLocal(id);
    }
    if (!d || d->kind == QLatin1String("folder"))
        return Response::text(404, "Not Found");
    Response out;
    out.status = 200;
    out.body = d->content;
    QString ext;
    if (State::isNative(d->kind)) {
        if (format.isEmpty())
            format = d->kind == QLatin1String("spreadsheet") ? QStringLiteral("xls") : QStringLiteral("pdf");
        // Asked for the old presentation format, the service sends the newer one, and says so.
        if (d->kind == QLatin1String("presentation") &&
            format.compare(QLatin1String("ppt"), Qt::CaseInsensitive) == 0)
            format = QStringLiteral("pptx");
        out.contentType = mimeForExport(format);
        ext = QLatin1Char('.') + format;
        if (out.body.isEmpty())
            out.body = d->title.toUtf8() + '\n';
    } else {
        out.contentType = d->mime.toUtf8();
    }
    const QString name = (d->filename.isEmpty() || State::isNative(d->kind) ? d->title : d->filename) + ext;
    if (d->kind == QLatin1String("presentation")) {
        // As the service names presentations: a plain ASCII name without spaces, and the real one in
        // the extended parameter.
        QByteArray plain;
        for (const QChar c : name)
            if (c.unicode() > 0x20 && c.unicode() < 0x7f && c != QLatin1Char('"') && c != QLatin1Char('\\'))
                plain += char(c.unicode());
        out.header("Content-Disposition", "attachment; filename=\"" + plain + "\"; filename*=UTF-8''" +
                                              QUrl::toPercentEncoding(name));
    } else {
        out.header("Content-Disposition", "attachment;filename=\"" + QUrl::toPercentEncoding(name) + '"');
    }
    return out;
}

Response TransferResource::thumbnail() const
{
    return Response::xml(200, "image/png", tinyPng());
}

void TransferResource::clear()
{
    m_uploads.clear();
}

} // namespace tavrel::localservice
